// The Wine session's desktop keeper, started once by the harness (tools/wine/common.sh) when it starts a session.
//
// Wine closes a desktop about a second after its last program ends, and the next program that needs it starts a
// new desktop process (explorer.exe /desktop) with its tray window. Without a program that stays, every test's
// first window call would start the desktop anew, race its test program and the program under test to do so,
// and sometimes land in the second in which the old one closes. The keeper is that program: it makes the desktop
// and waits for its tray window, says so by creating the ready file named on its command line, and then stays,
// showing nothing, until the session ends.
//
// Usage (under Wine): desktop_keeper.exe READY_FILE
#include <windows.h>

#include <string>

#include "framework/Gdi.h"

namespace {

// How long a loaded machine may take to bring up the desktop and its tray.
constexpr DWORD kDesktopTimeoutMs = 120000;
constexpr DWORD kPollMs = 50;
constexpr wchar_t kTrayWindowClass[] = L"Shell_TrayWnd";

// Waits until the desktop process has made the tray window that the programs' tray icons go to.
bool WaitForTray() {
    const DWORD start = GetTickCount();
    while (!FindWindowW(kTrayWindowClass, nullptr)) {
        if (GetTickCount() - start > kDesktopTimeoutMs) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

bool CreateReadyFile(const std::wstring& path) {
    fw::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    const std::wstring readyFile = commandLine;
    // The first window call of a process attaches it to the desktop, starting the desktop process if need be.
    if (readyFile.empty() || !GetDesktopWindow() || !WaitForTray() || !CreateReadyFile(readyFile)) {
        return 1;
    }
    // Stay attached to the desktop, with nothing on it, until the session's wineserver ends this process.
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
