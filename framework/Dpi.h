// The screen's DPI as the system gives it to a per-monitor aware program.
#pragma once

#include <windows.h>

namespace fw {

// The system's DPI: the one a window starts at before it knows its monitor (96 when the system cannot say).
int SystemDpi();
// The DPI of the monitor the window is on (GetDpiForWindow, Windows 10 1607 and later), else the system's.
int WindowDpi(HWND window);

} // namespace fw
