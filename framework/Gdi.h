// RAII owners for GDI objects, device contexts, kernel handles, menus, libraries and registry keys. An owner
// deletes what it holds; a view (Owns = false) only carries the handle, so one type serves both (as in
// GdiObject<HFONT, false> for a font that belongs to the application).
#pragma once

#include <windows.h>

#include <utility>

#include "framework/Unique.h"

namespace fw {

template <class H, bool Owns> struct GdiTraits {
    using Handle = H;
    static constexpr Handle Empty() { return nullptr; }
    static bool Valid(Handle handle) { return handle != nullptr; }
    static void Close(Handle handle) {
        if constexpr (Owns) {
            DeleteObject(handle);
        }
    }
};
template <class Handle, bool Owns = true> using GdiObject = Unique<GdiTraits<Handle, Owns>>;

using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Pen = GdiObject<HPEN>;
using Region = GdiObject<HRGN>;

// The header of a device-independent bitmap of 32 bits a pixel (blue, green, red, unused), top row first.
inline BITMAPINFO TopDownBgra(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Selects an object into a device context and puts the previous one back when it ends.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectScope() {
        if (m_previous) {
            SelectObject(m_dc, m_previous);
        }
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// A memory device context compatible with another one (or with the screen).
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith = nullptr) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (m_dc) {
            DeleteDC(m_dc);
        }
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HDC m_dc;
};

// The device context of a window's client area (or of the screen for a null window), released when it ends.
class WindowDC {
public:
    explicit WindowDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~WindowDC() {
        if (m_dc) {
            ReleaseDC(m_window, m_dc);
        }
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// BeginPaint / EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND window) : m_window(window) { m_dc = BeginPaint(window, &m_paint); }
    ~PaintDC() { EndPaint(m_window, &m_paint); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC Get() const { return m_dc; }
    const PAINTSTRUCT& Info() const { return m_paint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc = nullptr;
};

// A kernel handle closed with CloseHandle; INVALID_HANDLE_VALUE (what CreateFile gives on failure) holds nothing.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static constexpr Handle Empty() { return nullptr; }
    static bool Valid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
};
using UniqueHandle = Unique<KernelHandleTraits>;
// A menu destroyed with DestroyMenu, a library freed with FreeLibrary, a registry key closed with RegCloseKey.
using UniqueMenu = Unique<NullTraits<HMENU, DestroyMenu>>;
using UniqueModule = Unique<NullTraits<HMODULE, FreeLibrary>>;
using UniqueKey = Unique<NullTraits<HKEY, RegCloseKey>>;

} // namespace fw
