; The Windows installer of Zorva Prismel. Built by tools/package.sh with makensis; it passes
;   VERSION    the product's version, x.y.z
;   STAGE_DIR  the folder of files to install (the portable package's "Zorva Prismel" folder)
;   OUT_FILE   the installer to write
;   ICON_FILE  the program's icon
;   TARGET     x86-unicode (the release; the default) or amd64-unicode (the 64-bit test build's installer)
;
; Command line: /S silent; /D=<folder> install folder (last, unquoted); /NOAUTOSTART do not start with Windows.
; Uninstaller: /S silent (keeps the settings); /REMOVESETTINGS also removes the settings key.
!ifndef TARGET
    !define TARGET x86-unicode
!endif
Target ${TARGET}
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include Sections.nsh
!include WinMessages.nsh

!define PRODUCT "Zorva Prismel"
!define COMPANY "Zorva"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zorva Prismel"
; The program's settings. A 32-bit program sees them under Wow6432Node on 64-bit Windows, and so does this
; installer; the 64-bit test build's program and installer both use the registry's native view.
!define SETTINGS_KEY "Software\Tessaro HD"
!define TASK_NAME "Zorva Prismel"
!define SHORTCUT "$SMPROGRAMS\Zorva Prismel.lnk"
!define SMBUS_LIBRARY "MsIo32.dll"
; How a running copy is found and asked to end: its main window's property and the tray menu's Quit command.
!define MAIN_WINDOW_PROPERTY "PrismelMainWindow"
!define QUIT_COMMAND 1261
; Exit code of a copy that had to be ended because it did not quit when asked.
!define ENDED_EXIT_CODE 1

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
!if "${TARGET}" == "amd64-unicode"
    InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
    InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!cd "${STAGE_DIR}" ; File takes the staged files by their names

Var registeredHere ; uninstaller: 1 when the uninstall entry belongs to this folder (or is already gone)

; Functions both the installer and the uninstaller need; NSIS wants the uninstaller's copies prefixed "un.".
!macro SHARED_FUNCTIONS un
; Ends without a message unless the user has administrator rights (the program and its task run elevated,
; and its files and settings are machine-wide).
Function ${un}RequireAdministrator
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "admin"
        MessageBox MB_OK|MB_ICONSTOP "$(^Name) needs administrator rights to install or uninstall.$\r$\n\
Start this program again with $\"Run as administrator$\"." /SD IDOK
        SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
        Quit
    ${EndIf}
FunctionEnd

; Asks a running copy to quit as its tray menu's Quit does, waits up to 10 s for it to end, and ends it
; otherwise, so that its files can be replaced or removed. Only one copy runs per machine; three rounds at most.
Function ${un}EndRunningCopy
    StrCpy $3 0 ; rounds
    StrCpy $0 0 ; the window after which to look
    ${Do}
        System::Call "user32::FindWindowExW(p 0, p r0, p 0, p 0) p .r0"
        ${If} $0 P= 0
        ${OrIf} $3 >= 3
            ${ExitDo}
        ${EndIf}
        System::Call "user32::GetPropW(p r0, w '${MAIN_WINDOW_PROPERTY}') p .r1"
        ${If} $1 P<> 0
            IntOp $3 $3 + 1
            System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1) i"
            System::Call "kernel32::OpenProcess(i 0x100001, i 0, i r1) p .r2" ; SYNCHRONIZE | PROCESS_TERMINATE
            DetailPrint "Asking the running $(^Name) to quit"
            System::Call "user32::PostMessageW(p r0, i ${WM_COMMAND}, p ${QUIT_COMMAND}, p 0)"
            ${If} $2 P<> 0
                System::Call "kernel32::WaitForSingleObject(p r2, i 10000) i .r1"
                ${If} $1 <> 0 ; not WAIT_OBJECT_0
                    DetailPrint "$(^Name) did not quit; ending it"
                    System::Call "kernel32::TerminateProcess(p r2, i ${ENDED_EXIT_CODE})"
                    System::Call "kernel32::WaitForSingleObject(p r2, i 5000)"
                ${EndIf}
                System::Call "kernel32::CloseHandle(p r2)"
            ${EndIf}
            StrCpy $0 0 ; the window list changed: look again from the start
        ${EndIf}
    ${Loop}
FunctionEnd

; The program registers its font file for the session while it runs; a registered font file cannot be
; replaced or deleted until it is released.
Function ${un}ReleaseFont
    ${ForEach} $0 1 16 + 1
        System::Call "gdi32::RemoveFontResourceW(w '$INSTDIR\DS-DIGI.ttf') i .r1"
        ${IfThen} $1 = 0 ${|} ${ExitFor} ${|}
    ${Next}
FunctionEnd
!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

Section "-Program" SecProgram
    Call EndRunningCopy
    Call ReleaseFont
    SetOutPath "$INSTDIR"
    File "Prismel.exe"
    File "DS-DIGI.ttf"
    File "DS-DIGI-LICENSE.txt"
    File "README.txt"
    !if /FileExists "${STAGE_DIR}/spdinfo.exe"
        File "spdinfo.exe"
    !endif
    !if /FileExists "${STAGE_DIR}/prismelctl.exe"
        File "prismelctl.exe"
    !endif
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; The SMBus library comes with the modules' maker's software and is never shipped here. One put beside
    ; the installer is copied in; the uninstaller removes only a copy made this way.
    ${If} ${FileExists} "$EXEDIR\${SMBUS_LIBRARY}"
    ${AndIf} "$EXEDIR" != "$INSTDIR"
        DetailPrint "Copying ${SMBUS_LIBRARY} from $EXEDIR"
        CopyFiles /SILENT "$EXEDIR\${SMBUS_LIBRARY}" "$INSTDIR"
        WriteRegDWORD HKLM "${UNINSTALL_KEY}" "SmbusLibraryCopied" 1
    ${ElseIfNot} ${FileExists} "$INSTDIR\${SMBUS_LIBRARY}"
        MessageBox MB_OK|MB_ICONINFORMATION "$(^Name) needs the SMBus library ${SMBUS_LIBRARY}, which comes with \
the software of your memory modules' maker.$\r$\n$\r$\nCopy ${SMBUS_LIBRARY} from that software's folder into$\r$\n\
$INSTDIR$\r$\nbefore you start $(^Name)." /SD IDOK
    ${EndIf}

    CreateShortcut "${SHORTCUT}" "$INSTDIR\Prismel.exe" "" "$INSTDIR\Prismel.exe" 0

    ; One entry under "Add or remove programs", the same key for every version: installing again updates it.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Prismel.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; A task at the user's log-on rather than a Run key: the program asks for administrator rights, which a Run
; entry cannot give it without a prompt at every log-on. Unlike schtasks' defaults, the task also starts on
; battery power, runs at normal priority (5) and has no time limit, since the program stays in the tray.
Section "Start with Windows (in the tray)" SecAutostart
    InitPluginsDir
    StrCpy $5 "$PLUGINSDIR\autostart.xml"
    ${WordReplace} "$INSTDIR" "&" "&amp;" "+" $1
    ReadEnvStr $2 USERNAME
    ReadEnvStr $3 USERDOMAIN
    StrCpy $4 ""
    ${If} $2 != ""
        ${WordReplace} "$3\$2" "&" "&amp;" "+" $4
        StrCpy $4 "<UserId>$4</UserId>"
    ${EndIf}
    FileOpen $0 "$5" w
    FileWriteWord $0 0xFEFF
    ; One line a call: an NSIS string holds 1024 characters at most.
    FileWriteUTF16LE $0 '<?xml version="1.0" encoding="UTF-16"?>$\r$\n'
    FileWriteUTF16LE $0 '<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">$\r$\n'
    FileWriteUTF16LE $0 '  <RegistrationInfo><Author>${COMPANY}</Author><Description>Starts ${PRODUCT} in the tray at log-on.</Description></RegistrationInfo>$\r$\n'
    FileWriteUTF16LE $0 '  <Triggers><LogonTrigger><Enabled>true</Enabled>$4</LogonTrigger></Triggers>$\r$\n'
    FileWriteUTF16LE $0 '  <Principals><Principal id="Author">$4<LogonType>InteractiveToken</LogonType><RunLevel>HighestAvailable</RunLevel></Principal></Principals>$\r$\n'
    FileWriteUTF16LE $0 '  <Settings>$\r$\n'
    FileWriteUTF16LE $0 '    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>$\r$\n'
    FileWriteUTF16LE $0 '    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>$\r$\n'
    FileWriteUTF16LE $0 '    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>$\r$\n'
    FileWriteUTF16LE $0 '    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>$\r$\n'
    FileWriteUTF16LE $0 '    <Priority>5</Priority>$\r$\n'
    FileWriteUTF16LE $0 '    <Enabled>true</Enabled>$\r$\n'
    FileWriteUTF16LE $0 '  </Settings>$\r$\n'
    FileWriteUTF16LE $0 '  <Actions Context="Author"><Exec>$\r$\n'
    FileWriteUTF16LE $0 '    <Command>$1\Prismel.exe</Command><Arguments>SysTray</Arguments><WorkingDirectory>$1</WorkingDirectory>$\r$\n'
    FileWriteUTF16LE $0 '  </Exec></Actions>$\r$\n'
    FileWriteUTF16LE $0 '</Task>$\r$\n'
    FileClose $0
    nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Create /F /TN "${TASK_NAME}" /XML "$5"'
    Pop $0
    ${If} $0 != 0
        DetailPrint "schtasks could not create the log-on task ($0)"
        MessageBox MB_OK|MB_ICONEXCLAMATION "$(^Name) could not be set to start with Windows (schtasks: $0)." /SD IDOK
    ${EndIf}
SectionEnd

; The program sends the lighting it remembers when it starts (its "RestoreLighting" setting); installing again
; without this box turns that off.
Section "Restore my lighting when Windows starts" SecRestoreLighting
    WriteRegDWORD HKLM "${SETTINGS_KEY}" "RestoreLighting" 1
SectionEnd

Section "-Restore lighting off"
    ${IfNot} ${SectionIsSelected} ${SecRestoreLighting}
        WriteRegDWORD HKLM "${SETTINGS_KEY}" "RestoreLighting" 0
    ${EndIf}
SectionEnd

; Installing again without the log-on task removes one an earlier installation made.
Section "-Autostart off"
    ${IfNot} ${SectionIsSelected} ${SecAutostart}
        nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Delete /F /TN "${TASK_NAME}"'
        Pop $0
    ${EndIf}
SectionEnd

; Removes the files the installer put there, by name, never the folder's other contents: a folder the user
; added files to stays. Safe to run again, and after the files were deleted by hand.
Section "un.${PRODUCT}" UnSecProgram
    SectionIn RO
    ; An uninstaller copied somewhere else must not unregister the installation that the entry names.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    StrCpy $registeredHere 0
    ${If} $0 == ""
    ${OrIf} $0 == "$INSTDIR"
        StrCpy $registeredHere 1
    ${EndIf}

    Call un.EndRunningCopy
    Call un.ReleaseFont
    Delete /REBOOTOK "$INSTDIR\Prismel.exe"
    Delete /REBOOTOK "$INSTDIR\DS-DIGI.ttf"
    Delete "$INSTDIR\DS-DIGI-LICENSE.txt"
    Delete "$INSTDIR\README.txt"
    Delete /REBOOTOK "$INSTDIR\spdinfo.exe"
    Delete /REBOOTOK "$INSTDIR\prismelctl.exe"
    ${If} $registeredHere = 1
        ReadRegDWORD $1 HKLM "${UNINSTALL_KEY}" "SmbusLibraryCopied"
        ${If} $1 = 1
            Delete /REBOOTOK "$INSTDIR\${SMBUS_LIBRARY}"
        ${EndIf}
        Delete "${SHORTCUT}"
        nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Delete /F /TN "${TASK_NAME}"'
        Pop $1
        DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${EndIf}
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd

Section /o "un.Also remove the settings" UnSecSettings
    DeleteRegKey HKLM "${SETTINGS_KEY}"
SectionEnd

; Command-line options; after the sections, whose indexes they use.
Function .onInit
    SetShellVarContext all
    Call RequireAdministrator
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/NOAUTOSTART" $1
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SecAutostart}
    ${EndIf}
    ClearErrors
    ${GetOptions} $0 "/NORESTORELIGHTING" $1
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SecRestoreLighting}
    ${EndIf}
FunctionEnd

Function un.onInit
    SetShellVarContext all
    Call un.RequireAdministrator
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVESETTINGS" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${UnSecSettings}
    ${EndIf}
FunctionEnd
