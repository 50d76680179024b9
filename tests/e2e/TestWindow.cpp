// A small window that the driver's own tests work: a push button that opens a message box, an edit box whose
// text follows a custom notification message, and a face painted in known colours.
#include "tests/e2e/TestWindow.h"

namespace {

using namespace testwin;

HWND g_text = nullptr;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateWindowExW(0, L"Button", L"Ask", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 120, 80, 24, window,
                        reinterpret_cast<HMENU>(kAskButton), nullptr, nullptr);
        g_text = CreateWindowExW(0, L"Edit", L"hello", WS_CHILD | WS_VISIBLE | WS_BORDER, 100, 120, 150, 24, window,
                                 reinterpret_cast<HMENU>(kTextBox), nullptr, nullptr);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kAskButton && HIWORD(wParam) == BN_CLICKED) {
            int answer = MessageBoxW(window, L"Button pressed", L"Test window", MB_OKCANCEL | MB_ICONERROR);
            SetWindowTextW(g_text, answer == IDOK ? L"answered OK" : L"answered Cancel");
        }
        return 0;
    case kNotify: {
        wchar_t text[64];
        wsprintfW(text, L"event %u/%u", static_cast<unsigned>(wParam), static_cast<unsigned>(lParam));
        SetWindowTextW(g_text, text);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT top{0, 0, 300, 100};
        HBRUSH red = CreateSolidBrush(RGB(200, 30, 30));
        FillRect(dc, &top, red);
        DeleteObject(red);
        RECT bottom{0, 100, 300, 200};
        HBRUSH blue = CreateSolidBrush(RGB(20, 40, 220));
        FillRect(dc, &bottom, blue);
        DeleteObject(blue);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(kExitCode);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    cls.lpszClassName = kClass;
    RegisterClassW(&cls);
    HWND window = CreateWindowExW(0, cls.lpszClassName, L"Driver test window", WS_POPUP | WS_VISIBLE, 200, 150, 300,
                                  200, nullptr, nullptr, instance, nullptr);
    if (!window) {
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
