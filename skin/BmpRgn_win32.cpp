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
    m_bitmap = LoadSkinBitmap(bitmapId);
    ShapeWindow(window, m_bitmap.Get());
}

void CBmpRgn::ShapeWindow(HWND window, HBITMAP bitmap) {
    m_window = window;
    m_source = bitmap;
    Shape();
}

// Where the client area sits inside the window, how much larger than it the window is, and the window's size. Both are
// 0 for the borderless windows of the skin; a framed window keeps its frame around a client area of the bitmap's size.
bool CBmpRgn::MeasureFrame(SIZE& extra, SIZE& windowSize) {
    RECT windowRect{};
    RECT clientRect{};
    POINT clientOrigin{0, 0};
    if (!GetWindowRect(m_window, &windowRect) || !GetClientRect(m_window, &clientRect) ||
        !ClientToScreen(m_window, &clientOrigin)) {
        return false;
    }
    m_frameWidth = clientOrigin.x - windowRect.left;
    m_frameHeight = clientOrigin.y - windowRect.top;
    extra.cx = (windowRect.right - windowRect.left) - clientRect.right;
    extra.cy = (windowRect.bottom - windowRect.top) - clientRect.bottom;
    windowSize = {windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
    return true;
}

// The outline of the source's pixels that are not the key colour, in the bitmap's coordinates; empty on any
// failure.
std::vector<BmpRgnVertex> CBmpRgn::Scan(const BITMAP& info) const {
    const int stride = info.bmWidthBytes;
    const std::uint64_t size = static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(info.bmHeight);
    if (stride <= 0 || size > static_cast<std::uint64_t>(LONG_MAX)) {
        return {};
    }
    std::vector<std::uint8_t> bits;
    try {
        bits.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (GetBitmapBits(m_source, static_cast<LONG>(size), bits.data()) != static_cast<LONG>(size)) {
        return {};
    }
    const BmpRgnPixels pixels{bits, info.bmWidth, info.bmHeight, stride, stride / info.bmWidth};
    return ScanBmpRgnOutline(pixels, m_keyColour, m_leftInset, m_rightInset);
}

// The outline in window coordinates; empty on any failure.
std::vector<POINT> CBmpRgn::Outline(const BITMAP& info) const {
    std::vector<POINT> points;
    const std::vector<BmpRgnVertex> vertices = Scan(info);
    try {
        points.reserve(vertices.size());
    } catch (const std::bad_alloc&) {
        return {};
    }
    for (const BmpRgnVertex& vertex : vertices) {
        points.push_back({vertex.x + m_frameWidth, vertex.y + m_frameHeight});
    }
    return points;
}

bool CBmpRgn::CoversFace(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof(info), &info) != sizeof(info) || info.bmWidth <= 0 || info.bmHeight <= 0 ||
        m_leftInset != 0 || m_rightInset != 0) {
        return false;
    }
    m_source = bitmap;
    return BmpRgnOutlineIsWhole(Scan(info), info.bmWidth);
}

bool CBmpRgn::Shape() {
    if (!m_source || !m_window || !IsWindow(m_window)) {
        return false;
    }
    BITMAP info{};
    if (GetObjectW(m_source, sizeof(info), &info) != sizeof(info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
        return false;
    }
    SIZE extra{}, size{};
    if (!MeasureFrame(extra, size)) {
        return false;
    }
    const std::vector<POINT> points = Outline(info);
    if (points.empty()) {
        return false;
    }
    const int width = info.bmWidth + extra.cx;
    const int height = info.bmHeight + extra.cy;
    m_region.Reset(CreateRectRgn(0, 0, width, height));
    fw::Region polygon(CreatePolygonRgn(points.data(), static_cast<int>(points.size()), ALTERNATE));
    if (!m_region || !polygon || CombineRgn(m_region.Get(), m_region.Get(), polygon.Get(), RGN_AND) == ERROR) {
        return false;
    }
    // A window not on screen yet is drawn whole when it shows: redrawing it now would only cost time.
    if (!SetWindowRgn(m_window, m_region.Get(), IsWindowVisible(m_window))) {
        return false;
    }
    m_region.Release(); // the window's now
    // Keep the top-left corner where it is; only the size follows the bitmap.
    if (size.cx != width || size.cy != height) {
        SetWindowPos(m_window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}
