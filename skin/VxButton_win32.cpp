#include "skin/VxButton_win32.h"

#include <windowsx.h>

#include <iterator>
#include <string_view>
#include <utility>

#include "framework/Gdi.h"
#include "skin/BmpRgn_win32.h"
#include "skin/SkinBitmap_win32.h"
#include "skin/VxButtonLayout.h"

namespace {

std::uint32_t SystemTick() {
    return GetTickCount();
}

constexpr COLORREF kCaptionColour = SKIN_COLOUR_CONTROL_TEXT;
// The focus cue: a bright band along the button's outline with a dark line inside it, so that it reads on the dark
// artwork and on light parts of it alike; in a High Contrast theme the theme's highlight and window colours.
constexpr COLORREF kFocusCueColour = SKIN_COLOUR_FOCUS_CUE;
constexpr COLORREF kFocusCueInnerColour = SKIN_COLOUR_FOCUS_CUE_INNER;
constexpr int kFocusCueWidth = 2;

bool HighContrast() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

} // namespace

CVxButton::TickSource CVxButton::s_tickSource = &SystemTick;

CVxButton::TickSource CVxButton::SetTickSource(TickSource source) {
    TickSource previous = s_tickSource;
    s_tickSource = source ? source : &SystemTick;
    return previous;
}

void CVxButton::SetBitmaps(int normalImageId, int hotImageId, int spareValue) {
    if ((normalImageId != m_normalImageId || hotImageId != m_hotImageId) && m_images == &m_ownImages) {
        m_ownImages.Release();
    }
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

// The image of `imageId`, loaded on first use and kept until the images change; null if it cannot be loaded.
HBITMAP CVxButton::Image(int imageId) const {
    return m_images->Get(imageId, m_scale, m_imageSize);
}

void CVxButton::ShareImages(CSkinImages& images) {
    m_ownImages.Release();
    m_images = &images;
    m_shapeOnCreate = false;
}

SIZE CVxButton::NormalImageSize() const {
    if (m_normalImageId != 0 && m_imageSize.cx > 0 && m_imageSize.cy > 0) {
        return m_imageSize;
    }
    BITMAP info{};
    HBITMAP image = Image(m_normalImageId);
    if (!image || ::GetObjectW(image, sizeof(info), &info) != sizeof(info)) {
        return {0, 0};
    }
    return {info.bmWidth, info.bmHeight};
}

void CVxButton::SetScale(const SkinScale& scale, SIZE size) {
    if (scale == m_scale && size.cx == m_imageSize.cx && size.cy == m_imageSize.cy) {
        return;
    }
    m_scale = scale;
    m_imageSize = size;
    if (m_images == &m_ownImages) {
        m_ownImages.Release();
    }
    if (m_hWnd) {
        Shape();
        Redraw();
    }
}

SIZE CVxButton::WindowSize() {
    HBITMAP normal = Image(m_normalImageId);
    BITMAP info{};
    if (!normal || ::GetObjectW(normal, sizeof info, &info) != sizeof info) {
        return NormalImageSize();
    }
    const Face face{m_normalImageId, m_scale.Dpi(), {info.bmWidth, info.bmHeight}};
    if (!(m_face == face)) {
        CBmpRgn region;
        region.SetInsets(0, 0);
        m_face = face;
        m_faceOnly = region.CoversFace(normal);
    }
    return m_faceOnly ? SIZE{info.bmWidth - 1, info.bmHeight - 1} : SIZE{info.bmWidth, info.bmHeight};
}

void CVxButton::Shape() {
    HBITMAP normal = Image(m_normalImageId);
    if (!normal || !m_hWnd) {
        return;
    }
    const SIZE size = WindowSize();
    if (!m_faceOnly) {
        m_layoutSize = {0, 0};
        m_hasRegion = true;
        CBmpRgn region;
        region.SetInsets(0, 0);
        region.ShapeWindow(m_hWnd, normal);
        return;
    }
    m_layoutSize = m_face.imageSize;
    if (m_hasRegion) {
        ::SetWindowRgn(m_hWnd, nullptr, IsWindowVisible());
        m_hasRegion = false;
    }
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    if (window.right - window.left != size.cx || window.bottom - window.top != size.cy) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

SIZE CVxButton::LayoutSize() const {
    if (m_layoutSize.cx > 0 && m_layoutSize.cy > 0) {
        return m_layoutSize;
    }
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    return {client.right, client.bottom};
}

// The button has no frame: there is nothing to draw outside its face, and the system's frame painting of a shaped
// window is slow.
void CVxButton::OnNcPaint(HRGN) {}

// The system button draws its own disabled look; paint ours over it.
LRESULT CVxButton::OnEnable(bool enabled) {
    const LRESULT result = DefWindowProc(WM_ENABLE, enabled ? TRUE : FALSE, 0);
    Redraw();
    return result;
}

// Stores the text without letting the system button paint it.
LRESULT CVxButton::OnSetText(const wchar_t* text) {
    const LRESULT result = ::DefWindowProcW(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    Redraw();
    return result;
}

void CVxButton::OnSetFont(HFONT font, bool) {
    m_captionFont = font;
}

void CVxButton::OnTimer(UINT_PTR id) {
    if (id == kHoverTimerId) {
        OnHoverTimer();
    }
}

LRESULT CVxButton::OnEraseBackground(HDC) {
    return 1; // the paint covers the face
}

// Shapes the new window from the normal image.
LRESULT CVxButton::OnCreate(const CREATESTRUCTW* create) {
    if (DefWindowProc(WM_CREATE, 0, reinterpret_cast<LPARAM>(create)) == -1) {
        return -1;
    }
    if (m_shapeOnCreate) {
        Shape();
    }
    return 0;
}

// Hover follows the cursor; while hovering the button holds the capture, so it also hears when the cursor leaves.
void CVxButton::OnMouseMove(UINT keys, POINT point) {
    POINT screen = point;
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
void CVxButton::OnLButtonDown(UINT, POINT point) {
    m_pressTime = s_tickSource();
    m_pressed = true;
    Redraw();
    if (m_colourPick) {
        PickColour(point.x, point.y);
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
    const int d = m_scale.Px(3);
    ::MoveToEx(dc, x - d, y - d, nullptr);
    ::LineTo(dc, x + d, y - d);
    ::LineTo(dc, x + d, y + d);
    ::LineTo(dc, x - d, y + d);
    ::LineTo(dc, x - d, y - d);
}

// A release ends the press; it is a click, posted to the parent, when the press was shorter than 2000 ms.
void CVxButton::OnLButtonUp(UINT, POINT) {
    m_pressed = false;
    Redraw();
    const HWND parent = GetParent();
    if (IsVxClick(m_pressTime, s_tickSource()) && parent) {
        const int id = GetDlgCtrlID();
        ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
    }
}

void CVxButton::OnPaint() {
    const SIZE face = LayoutSize();
    const int width = face.cx;
    const int height = face.cy;
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
    const VxCaptionLayout layout = LayoutVxCaption(caption, width, height, m_pressed, m_scale);
    for (std::size_t i = 0; i < layout.count; ++i) {
        const VxCaptionLine& line = layout.lines[i];
        RECT box{line.box.left, line.box.top, line.box.right, line.box.bottom};
        ::DrawTextW(dc, text + line.offset, static_cast<int>(line.length), &box,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    if (ShowsFocusCue()) {
        DrawFocusCue(dc, width, height);
    }
}

void CVxButton::SetAccessible(std::wstring name, LONG role) {
    const bool renamed = name != m_accessibleName;
    m_accessibleName = std::move(name);
    m_accessibleRole = role;
    if (renamed) {
        fw::RaiseNameChange(m_hWnd);
    }
}

void CVxButton::SetChecked(bool checked) {
    if (checked != m_checked) {
        m_checked = checked;
        fw::RaiseStateChange(m_hWnd);
    }
}

void CVxButton::PressByKey() const {
    if (const HWND parent = GetParent()) {
        ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
    }
}

bool CVxButton::DoAccessibleAction() {
    if (!IsWindowVisible() || !::IsWindowEnabled(m_hWnd)) {
        return false;
    }
    PressByKey();
    return true;
}

void CVxButton::PickAt(POINT point) {
    if (m_colourPick) {
        // The face drawn afresh first, so that only this pick's mark shows and the colour is the image's.
        Redraw();
        ::UpdateWindow(m_hWnd);
        PickColour(point.x, point.y);
    }
}

void CVxButton::OnFocusChange(HWND) {
    Redraw();
}

void CVxButton::OnUpdateUiState(UINT action, UINT flags) {
    // The system's default keeps the state; the system button's own handling would paint its face over the skin.
    ::DefWindowProcW(m_hWnd, WM_UPDATEUISTATE, MAKEWPARAM(action, flags), 0);
    // Kept here too: not every system answers WM_QUERYUISTATE from the state it was told.
    if ((flags & UISF_HIDEFOCUS) && (action == UIS_SET || action == UIS_CLEAR)) {
        m_focusCueHidden = action == UIS_SET;
    }
    if (::GetFocus() == m_hWnd) {
        Redraw();
    }
}

bool CVxButton::ShowsFocusCue() const {
    return ::GetFocus() == m_hWnd && !m_focusCueHidden;
}

// Along the window's outline (the shape cut from the normal image), as wide as the scale makes two pixels.
void CVxButton::DrawFocusCue(HDC dc, int width, int height) const {
    fw::Region outline(::CreateRectRgn(0, 0, width - 1, height - 1));
    if (!outline) {
        return;
    }
    ::GetWindowRgn(m_hWnd, outline.Get()); // keeps the rectangle when the window has no region
    const bool contrast = HighContrast();
    fw::Brush bright(::CreateSolidBrush(contrast ? ::GetSysColor(COLOR_HIGHLIGHT) : kFocusCueColour));
    fw::Brush dark(::CreateSolidBrush(contrast ? ::GetSysColor(COLOR_WINDOW) : kFocusCueInnerColour));
    const int band = m_scale.Px(kFocusCueWidth);
    const int line = m_scale.Px(1);
    if (dark) {
        ::FrameRgn(dc, outline.Get(), dark.Get(), band + line, band + line);
    }
    if (bright) {
        ::FrameRgn(dc, outline.Get(), bright.Get(), band, band);
    }
}

// Stretches the whole image over the client area less its last column and row.
void CVxButton::DrawImage(HDC dc, int imageId, int width, int height) const {
    HBITMAP image = Image(imageId);
    BITMAP info{};
    if (!image || ::GetObjectW(image, sizeof(info), &info) != sizeof(info)) {
        return;
    }
    fw::MemoryDC memory(nullptr);
    if (!memory) {
        return;
    }
    fw::SelectScope selected(memory.Get(), image);
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, 0, 0, width - 1, height - 1, memory.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
}
