#include "skin/VxButton_win32.h"

#include <windowsx.h>

#include <iterator>
#include <string_view>

#include "framework/Gdi.h"
#include "skin/BmpRgn_win32.h"
#include "skin/SkinBitmap_win32.h"
#include "skin/VxButtonLayout.h"

namespace {

std::uint32_t SystemTick() {
    return GetTickCount();
}

constexpr COLORREF kCaptionColour = RGB(255, 255, 255);

} // namespace

CVxButton::TickSource CVxButton::s_tickSource = &SystemTick;

CVxButton::TickSource CVxButton::SetTickSource(TickSource source) {
    TickSource previous = s_tickSource;
    s_tickSource = source ? source : &SystemTick;
    return previous;
}

void CVxButton::SetBitmaps(int normalImageId, int hotImageId, int spareValue) {
    m_normalImageId = normalImageId;
    m_hotImageId = hotImageId;
    m_spareValue = spareValue;
    if (m_hWnd) {
        Redraw();
    }
}

void CVxButton::GetBitmaps(int* normalImageId, int* hotImageId, int* spareValue) const {
    if (normalImageId) {
        *normalImageId = m_normalImageId;
    }
    if (hotImageId) {
        *hotImageId = m_hotImageId;
    }
    if (spareValue) {
        *spareValue = m_spareValue;
    }
}

// These messages are the button's own; everything else (a double-click's second press included) gets the system
// button's processing.
LRESULT CVxButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(wParam, lParam);
    case WM_ENABLE: {
        // The system button draws its own disabled look; paint ours over it.
        const LRESULT result = DefWindowProc(message, wParam, lParam);
        Redraw();
        return result;
    }
    case WM_SETTEXT: {
        // Store the text without letting the system button paint it.
        const LRESULT result = ::DefWindowProcW(m_hWnd, message, wParam, lParam);
        Redraw();
        return result;
    }
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SETFONT:
        m_captionFont = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_TIMER:
        if (wParam == kHoverTimerId) {
            OnHoverTimer();
        }
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(lParam);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers the face
    default:
        return CButton::WindowProc(message, wParam, lParam);
    }
}

// Shapes the new window from the normal image.
LRESULT CVxButton::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (DefWindowProc(WM_CREATE, wParam, lParam) == -1) {
        return -1;
    }
    CBmpRgn region;
    region.SetInsets(0, 0);
    region.ShapeWindow(m_hWnd, static_cast<UINT>(m_normalImageId));
    return 0;
}

// Hover follows the cursor; while hovering the button holds the capture, so it also hears when the cursor leaves.
void CVxButton::OnMouseMove(WPARAM keys, LPARAM point) {
    POINT screen{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    ::ClientToScreen(m_hWnd, &screen);
    const bool wasHovering = m_hover;
    m_hover = IsUnderScreenPoint(screen);
    if (m_hover) {
        if (::GetCapture() != m_hWnd) {
            ::SetCapture(m_hWnd);
        }
        ::SetTimer(m_hWnd, kHoverTimerId, kHoverTimerMs, nullptr);
    } else if (!(keys & MK_LBUTTON) && ::GetCapture() == m_hWnd) {
        // With the left button held the capture stays, so that the release still arrives here.
        ::ReleaseCapture();
    }
    if (m_hover != wasHovering) {
        Redraw();
    }
}

// Ends the hover when the cursor has left without a mouse move reaching the button.
void CVxButton::OnHoverTimer() {
    POINT cursor{};
    m_hover = ::GetCursorPos(&cursor) && IsUnderScreenPoint(cursor);
    if (m_hover) {
        return;
    }
    ::KillTimer(m_hWnd, kHoverTimerId);
    Redraw();
}

// A press: shows the hot image and, in colour-pick mode, takes the colour under the point.
void CVxButton::OnLButtonDown(LPARAM point) {
    m_pressTime = s_tickSource();
    m_pressed = true;
    Redraw();
    if (m_colourPick) {
        PickColour(GET_X_LPARAM(point), GET_Y_LPARAM(point));
    }
}

// Samples the pixel and marks it at once with a 7 x 7 square outline, outside the paint cycle.
void CVxButton::PickColour(int x, int y) {
    fw::WindowDC window(m_hWnd);
    HDC dc = window.Get();
    if (!dc) {
        return;
    }
    const COLORREF colour = ::GetPixel(dc, x, y);
    if (colour != CLR_INVALID) { // a point off the window keeps the last colour
        m_pickedColour = colour;
    }
    ::MoveToEx(dc, x - 3, y - 3, nullptr);
    ::LineTo(dc, x + 3, y - 3);
    ::LineTo(dc, x + 3, y + 3);
    ::LineTo(dc, x - 3, y + 3);
    ::LineTo(dc, x - 3, y - 3);
}

// A release ends the press; it is a click, posted to the parent, when the press was shorter than 2000 ms.
void CVxButton::OnLButtonUp() {
    m_pressed = false;
    Redraw();
    if (!IsVxClick(m_pressTime, s_tickSource())) {
        return;
    }
    const HWND parent = GetParent();
    if (!parent) {
        return;
    }
    const int id = GetDlgCtrlID();
    ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

void CVxButton::OnPaint() {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int width = client.right;
    const int height = client.bottom;
    fw::PaintDC paint(m_hWnd);
    HDC dc = paint.Get();
    if (!dc) {
        return;
    }
    const int imageId = (m_hover || m_pressed) ? m_hotImageId : m_normalImageId;
    if (imageId != 0) {
        DrawImage(dc, imageId, width, height);
    }

    fw::SelectScope font(dc, m_captionFont);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kCaptionColour);
    wchar_t text[kVxCaptionMaxChars + 1] = {};
    const int length = ::GetWindowTextW(m_hWnd, text, static_cast<int>(std::size(text)));
    const std::wstring_view caption(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    const VxCaptionLayout layout = LayoutVxCaption(caption, width, height, m_pressed);
    for (std::size_t i = 0; i < layout.count; ++i) {
        const VxCaptionLine& line = layout.lines[i];
        RECT box{line.box.left, line.box.top, line.box.right, line.box.bottom};
        ::DrawTextW(dc, text + line.offset, static_cast<int>(line.length), &box,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

// Stretches the whole image over the client area less its last column and row. Nothing outlives the paint.
void CVxButton::DrawImage(HDC dc, int imageId, int width, int height) const {
    const fw::Bitmap image = LoadSkinBitmap(static_cast<UINT>(imageId));
    BITMAP info{};
    if (!image || ::GetObjectW(image.Get(), sizeof(info), &info) != sizeof(info)) {
        return;
    }
    fw::MemoryDC memory(nullptr);
    if (!memory) {
        return;
    }
    fw::SelectScope selected(memory.Get(), image.Get());
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, 0, 0, width - 1, height - 1, memory.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
}
