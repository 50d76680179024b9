// How a second copy of the program, and prismelctl, find the running copy's main window: the window carries a
// property of this name.
#pragma once

#include <windows.h>

inline constexpr wchar_t kMainWindowProperty[] = L"PrismelMainWindow";

inline BOOL CALLBACK TakeMainWindow(HWND window, LPARAM result) {
    if (GetPropW(window, kMainWindowProperty)) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}
// The running copy's main window, found by that property; null when no copy runs.
inline HWND RunningMainWindow() {
    HWND found = nullptr;
    EnumWindows(TakeMainWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}
