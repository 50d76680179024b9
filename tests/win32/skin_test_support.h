// What the skin tests share: a host window that records the commands it gets, message pumping, and a read-back
// of a window's pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/Gdi.h"
#include "framework/Wnd.h"

namespace skintest {

// Dispatches everything queued for this thread.
inline void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

inline void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        Pump();
        Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

// The client area of a window as it is on screen now, read from its device context.
class Capture {
public:
    explicit Capture(HWND window) {
        RECT client{};
        GetClientRect(window, &client);
        width = client.right;
        height = client.bottom;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        fw::Bitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        fw::MemoryDC memory(nullptr);
        {
            fw::SelectScope selected(memory.Get(), dib.Get());
            fw::WindowDC source(window);
            BitBlt(memory.Get(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
        }
        GdiFlush();
        const auto* words = static_cast<const std::uint32_t*>(bits);
        pixels.assign(words, words + static_cast<std::size_t>(width) * height);
    }

    COLORREF At(int x, int y) const {
        const std::uint32_t bgrx = pixels[static_cast<std::size_t>(y) * width + x];
        return RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
    }
    bool IsWhite(int x, int y) const { return At(x, y) == RGB(255, 255, 255); }

    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// A topmost borderless window away from the screen's corner, green where nothing covers it, which records the
// commands it receives and whether each was sent or posted.
class TestHost : public CWnd {
public:
    static constexpr COLORREF kFace = RGB(0, 160, 0);
    static constexpr int kLeft = 240;
    static constexpr int kTop = 180;

    struct Command {
        WPARAM wParam;
        LPARAM lParam;
        bool sent;
    };

    bool Open(int width, int height) {
        static fw::Brush face(CreateSolidBrush(kFace));
        WNDCLASSW cls{};
        cls.lpfnWndProc = ::DefWindowProcW;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.hbrBackground = face.Get();
        cls.lpszClassName = L"PrismelSkinTestHost";
        RegisterClassW(&cls);
        SetCursorPos(1270, 1010); // keep the real cursor off every test window
        const RECT rect{kLeft, kTop, kLeft + width, kTop + height};
        if (!Create(cls.lpszClassName, L"", WS_POPUP | WS_VISIBLE, rect, nullptr, 0, WS_EX_TOPMOST)) {
            return false;
        }
        UpdateWindow(m_hWnd);
        Pump();
        return true;
    }
    ~TestHost() override { DestroyWindow(); }

    std::vector<Command> commands;

protected:
    bool OnCommand(WPARAM wParam, LPARAM lParam) override {
        commands.push_back({wParam, lParam, InSendMessage() != FALSE});
        return true;
    }
};

} // namespace skintest
