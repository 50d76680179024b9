#include "tools/support/Program.h"

#include <string>

#include "base/SettingsStore_win32.h"
#include "res/SkinLayout.h"
#include "res/resource.h"
#include "tools/support/Files.h"

namespace support {

std::wstring InstallProgram(const std::wstring& bin, const std::wstring& folder, bool withFont) {
    for (const wchar_t* file : {L"Prismel.exe", L"MsIo32.dll", L"DS-DIGI.ttf"}) {
        if (!withFont && std::wstring(file) == L"DS-DIGI.ttf") {
            DeleteFileW((folder + L"\\" + file).c_str());
        } else if (!CopyFileTo(bin + L"\\" + file, folder + L"\\" + file)) {
            return file;
        }
    }
    return {};
}

LaunchOptions ProgramLaunch(const std::wstring& program, const StandInFiles& standIn, const std::wstring& arguments) {
    LaunchOptions options;
    options.program = program;
    options.arguments = arguments;
    options.environment = {standIn.Variable()};
    return options;
}

bool IsMainWindow(HWND window) {
    return !IsMessageBox(window) && GetDlgItem(window, IDC_BTN_CLOSE) != nullptr;
}

HWND WaitForMainWindow(const Process& process, DWORD timeoutMs) {
    HWND main = nullptr;
    WaitFor(
        [&] {
            for (HWND window : TopLevelWindows(process.Id(), kDialogClass)) {
                if (IsMainWindow(window)) {
                    main = window;
                    return true;
                }
            }
            return !process.Running();
        },
        timeoutMs);
    return main;
}

bool WaitUntilInitialised(HWND main, DWORD timeoutMs) {
    return WaitFor([&] { return GetText(GetDlgItem(main, IDC_RED_BOX)) == std::to_wstring(SKIN_DEFAULT_RED); },
                   timeoutMs);
}

void RemoveSettings() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
}

} // namespace support
