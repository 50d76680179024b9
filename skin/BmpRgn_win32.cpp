#include "skin/BmpRgn_win32.h"

#include <climits>
#include <cstdint>
#include <new>
#include <vector>

#include "skin/BmpRgnScan.h"
#include "skin/SkinBitmap_win32.h"

void CBmpRgn::SetInsets(int leftInset, int rightInset) {
    m_leftInset = leftInset;
    m_rightInset = rightInset;
}

void CBmpRgn::ShapeWindow(HWND window, UINT bitmapId) {
    m_window = window;
    m_bitmap = LoadSkinBitmap(bitmapId);
    Shape();
}

bool CBmpRgn::Shape() {
    if (!m_bitmap || !m_window || !IsWindow(m_window)) {
        return false;
    }
    BITMAP info{};
    if (GetObjectW(m_bitmap.Get(), sizeof(info), &info) != sizeof(info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
        return false;
    }
    const int w = info.bmWidth;
    const int h = info.bmHeight;
    const int stride = info.bmWidthBytes;

    // Where the client area sits inside the window, and how much larger than it the window is. Both are 0 for
    // the borderless windows of the skin; a framed window keeps its frame around a client area of the bitmap's size.
    RECT windowRect{};
    RECT clientRect{};
    POINT clientOrigin{0, 0};
    if (!GetWindowRect(m_window, &windowRect) || !GetClientRect(m_window, &clientRect) ||
        !ClientToScreen(m_window, &clientOrigin)) {
        return false;
    }
    m_frameWidth = clientOrigin.x - windowRect.left;
    m_frameHeight = clientOrigin.y - windowRect.top;
    const int extraWidth = (windowRect.right - windowRect.left) - clientRect.right;
    const int extraHeight = (windowRect.bottom - windowRect.top) - clientRect.bottom;

    const std::uint64_t size = static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(h);
    if (stride <= 0 || size > static_cast<std::uint64_t>(LONG_MAX)) {
        return false;
    }
    std::vector<std::uint8_t> bits;
    std::vector<POINT> points;
    try {
        bits.resize(static_cast<std::size_t>(size));
        points.reserve(2 * static_cast<std::size_t>(h));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (GetBitmapBits(m_bitmap.Get(), static_cast<LONG>(size), bits.data()) != static_cast<LONG>(size)) {
        return false;
    }
    const BmpRgnPixels pixels{bits, w, h, stride, stride / w};
    const std::vector<BmpRgnVertex> outline = ScanBmpRgnOutline(pixels, m_keyColour, m_leftInset, m_rightInset);
    if (outline.empty()) {
        return false;
    }
    for (const BmpRgnVertex& vertex : outline) {
        points.push_back({vertex.x + m_frameWidth, vertex.y + m_frameHeight});
    }

    m_region.Reset(CreateRectRgn(0, 0, w + extraWidth, h + extraHeight));
    fw::Region polygon(CreatePolygonRgn(points.data(), static_cast<int>(points.size()), ALTERNATE));
    if (!m_region || !polygon || CombineRgn(m_region.Get(), m_region.Get(), polygon.Get(), RGN_AND) == ERROR) {
        return false;
    }
    if (!SetWindowRgn(m_window, m_region.Get(), TRUE)) {
        return false;
    }
    m_region.Release(); // the window's now
    // Keep the top-left corner where it is; only the size follows the bitmap.
    SetWindowPos(m_window, nullptr, 0, 0, w + extraWidth, h + extraHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}
