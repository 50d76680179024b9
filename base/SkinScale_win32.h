// The skin's scale in Win32 terms: the DPI a window is shown at, and a RECT of the 96 DPI layout at a scale.
#pragma once

#include <windows.h>

#include "base/SkinScale.h"

// A RECT (right and bottom exclusive) of the 96 DPI layout at the scale: its four edges scaled.
inline RECT ScaledRect(const SkinScale& scale, const RECT& r) {
    return {scale.Px(r.left), scale.Px(r.top), scale.Px(r.right), scale.Px(r.bottom)};
}

// The DPI of the monitor the window is on as the system gives it to a per-monitor aware program (Windows 10 1607
// and later), else the system's DPI.
int WindowDpi(HWND window);
// The system's DPI (the one a window starts at before it knows its monitor).
int SystemDpi();
