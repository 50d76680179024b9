#include "framework/Dpi.h"

namespace fw {

namespace {

constexpr int kDefaultDpi = 96;

// GetDpiForWindow is looked up, not imported: Windows 7 and 8 do not have it.
using DpiForWindow = UINT(WINAPI*)(HWND);

DpiForWindow DpiForWindowFunction() {
    static const DpiForWindow function = [] {
        HMODULE user = GetModuleHandleW(L"user32.dll");
        FARPROC found = user ? GetProcAddress(user, "GetDpiForWindow") : nullptr;
        return reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(found));
    }();
    return function;
}

} // namespace

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDefaultDpi;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : kDefaultDpi;
}

int WindowDpi(HWND window) {
    if (DpiForWindow function = DpiForWindowFunction(); function && window) {
        if (const UINT dpi = function(window); dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    return SystemDpi();
}

} // namespace fw
