#include "lighting/RunningCopy_win32.h"
#include "app/TessaroHDApp_win32.h"

#include <commctrl.h>
#include <objbase.h>

#include "app/ControlTable.h"
#include "app/IniFiles_win32.h"
#include "base/Language.h"
#include "base/MultiLangSupp_win32.h"
#include "base/SettingsStore_win32.h"
#include "framework/Dpi.h"
#include "app/StartMode.h"
#include "base/StartupTrace.h"
#include "app/UserSettingsRestore.h"
#include "framework/ProgramFolder.h"
#include "lighting/RememberedLighting.h"
#include "lighting/RestoreWithoutWindow_win32.h"
#include "app/TessaroHDDlg_win32.h"

namespace {

// The graphics-card layer has nothing to apply to on a machine without the graphics-card library.
class CNoGpuSettingsTarget final : public IGpuSettingsTarget {
public:
    void SetClock(std::size_t, PerfState, ClockDomain, std::int32_t) override {}
    void SetVoltageStep(std::size_t, PerfState, std::int32_t) override {}
    void SetFanAuto(std::size_t) override {}
    void SetFanSpeed(std::size_t, std::int32_t) override {}
    void SetAlarmTemperature(std::size_t, std::int32_t) override {}
    void Wait(std::chrono::milliseconds time) override { Sleep(static_cast<DWORD>(time.count())); }
};

} // namespace

CTessaroHDApp::CTessaroHDApp() {
    m_settingsStore.KeepOpen(); // until the window has started (EndStart), or the start ends without one
    Construct(m_settingsStore);
}

CTessaroHDApp::CTessaroHDApp(ISettingsRegistry& registry) {
    Construct(registry);
}

void CTessaroHDApp::Construct(ISettingsRegistry& registry) {
    m_comInitialised = SUCCEEDED(CoInitialize(nullptr));
    LoadSettings(registry, m_settings);
    m_restoreLighting = ReadRestoreLighting(registry);
}

void CTessaroHDApp::SetRestoreLighting(bool on) {
    if (WriteRestoreLighting(m_settingsStore, on)) {
        m_restoreLighting = on;
    }
}

std::int32_t CTessaroHDApp::Language() const {
    const CMultiLangSupp* language = CMultiLangSupp::Instance();
    return language ? language->Language() : kEnglish;
}

int CTessaroHDApp::ExitInstance() {
    const int code = CWinApp::ExitInstance();
    return m_startExitCode != 0 ? m_startExitCode : code;
}

CTessaroHDApp::~CTessaroHDApp() {
    m_instanceMutex.Reset();
    if (m_comInitialised) {
        CoUninitialize();
    }
}

void CTessaroHDApp::MakeProgramDirectoryCurrent() {
    // The whole path, however long: a cut path would name some other directory.
    m_programDirectory = ProgramFolder();
    if (!m_programDirectory.empty()) {
        SetCurrentDirectoryW(m_programDirectory.c_str());
    }
}

void CTessaroHDApp::ReadStartMode(LPCWSTR commandLine) {
    m_startMode = ParseStartMode(reinterpret_cast<const char16_t*>(commandLine));
}

CTessaroHDApp::InstanceCheck CTessaroHDApp::CheckSingleInstance() {
    m_instanceMutex.Reset(CreateMutexW(nullptr, TRUE, kInstanceMutexName));
    if (!m_instanceMutex) {
        return InstanceCheck::MutexUnavailable;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // Bring the running copy forward.
        if (HWND running = RunningMainWindow()) {
            ShowWindow(running, SW_SHOWNORMAL);
            SetForegroundWindow(running);
        }
        return InstanceCheck::AnotherInstanceRuns;
    }
    return InstanceCheck::FirstInstance;
}

void CTessaroHDApp::RunLegacyRestore() {
    CWin32IniFiles files;
    CNoGpuCards cards;
    CNoGpuSettingsTarget target;
    RestoreUserSettings(files, cards, target);
}

bool CTessaroHDApp::CreateFonts() {
    return RegisterAndCreateFonts(m_fonts, fw::SystemDpi());
}

void CTessaroHDApp::ScaleFonts(int dpi) {
    CreateFontSlots(m_fonts, dpi);
}

void CTessaroHDApp::RunMainWindow() {
    CTessaroHDDlg dialog(*this);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
}

bool CTessaroHDApp::InitInstance() {
    StartupPhase("entry point");
    MakeProgramDirectoryCurrent();
    ReadStartMode(m_lpCmdLine);
    switch (CheckSingleInstance()) {
    case InstanceCheck::AnotherInstanceRuns:
        return false;
    case InstanceCheck::MutexUnavailable:
        MessageBoxW(nullptr, Msg(kMsgStartedByOtherUser), Msg(kMsgProductName), MB_ICONERROR);
        return false;
    case InstanceCheck::FirstInstance:
        break;
    }
    if (m_settings.RestoreUserSettings) {
        RunLegacyRestore();
    }
    if (m_startMode == kStartOnlyApplySettings) {
        if (m_restoreLighting) {
            m_startExitCode = SendRememberedLightingWithoutWindow(m_smbus, m_settingsStore, m_programDirectory);
        }
        return false;
    }
    StartupPhase("instance checked");
    if (m_startMode != kStartSysTray) { // in the tray the window makes its artwork when it first shows
        const auto firstImages = ImagesLoadedAtStart();
        m_artPrefetch.emplace(SkinScale(fw::SystemDpi()), firstImages);
    }
    if (!CreateFonts()) {
        MessageBoxW(nullptr, Msg(kMsgAddFontFailed), Msg(kMsgProductName), MB_ICONERROR);
    }
    StartupPhase("fonts created");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    StartupPhase("common controls ready");
    RunMainWindow();
    return false;
}
