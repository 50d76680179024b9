#include "skin/BmpRgnScan.h"

#include <algorithm>
#include <limits>
#include <new>

namespace {

bool Differs(std::uint8_t keyByte, std::uint8_t pixelByte) {
    const int difference = static_cast<int>(keyByte) - static_cast<int>(pixelByte);
    return difference > kBmpRgnTolerance || difference < -kBmpRgnTolerance;
}

// x moved by an inset, kept within the vertex type even for absurd insets.
std::int32_t Shifted(int x, std::int64_t by) {
    const std::int64_t shifted = static_cast<std::int64_t>(x) + by;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(shifted, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

bool IsUsable(const BmpRgnPixels& p) {
    if (p.width <= 0 || p.height <= 0 || (p.bytesPerPixel != 3 && p.bytesPerPixel != 4)) {
        return false;
    }
    const std::int64_t rowBytes = static_cast<std::int64_t>(p.width) * p.bytesPerPixel;
    if (p.stride < rowBytes) {
        return false;
    }
    const std::int64_t needed = static_cast<std::int64_t>(p.height - 1) * p.stride + rowBytes;
    return p.bits.data() != nullptr && static_cast<std::uint64_t>(needed) <= p.bits.size();
}

} // namespace

bool IsBmpRgnOpaque(const std::uint8_t* pixel, std::uint32_t keyColour) {
    const auto keyRed = static_cast<std::uint8_t>(keyColour & 0xFFu);
    const auto keyGreen = static_cast<std::uint8_t>((keyColour >> 8) & 0xFFu);
    const auto keyBlue = static_cast<std::uint8_t>((keyColour >> 16) & 0xFFu);
    return Differs(keyBlue, pixel[0]) || Differs(keyGreen, pixel[1]) || Differs(keyRed, pixel[2]);
}

std::vector<BmpRgnVertex> ScanBmpRgnOutline(const BmpRgnPixels& pixels, std::uint32_t keyColour, int leftInset,
                                            int rightInset) noexcept {
    if (!IsUsable(pixels)) {
        return {};
    }
    const int w = pixels.width;
    const int h = pixels.height;
    const int p = pixels.bytesPerPixel;
    std::vector<BmpRgnVertex> vertices;
    try {
        vertices.resize(2 * static_cast<std::size_t>(h));
    } catch (const std::bad_alloc&) {
        return {};
    }
    const auto left = [&](int row) -> BmpRgnVertex& { return vertices[static_cast<std::size_t>(row)]; };
    const auto right = [&](int row) -> BmpRgnVertex& {
        return vertices[2 * static_cast<std::size_t>(h) - 1 - static_cast<std::size_t>(row)];
    };

    bool haveAnchor = false;
    std::int32_t anchorX = 0; // left vertex of the last row above that had an opaque pixel
    for (int i = 0; i < h; ++i) {
        left(i).y = right(i).y = i;
        const std::uint8_t* row = pixels.bits.data() + static_cast<std::size_t>(i) * pixels.stride;
        int first = 0;
        while (first < w && !IsBmpRgnOpaque(row + static_cast<std::size_t>(first) * p, keyColour)) {
            ++first;
        }
        if (first == w) {
            left(i).x = right(i).x = anchorX; // rows above the first opaque row are settled below
            continue;
        }
        int last = w - 1;
        while (!IsBmpRgnOpaque(row + static_cast<std::size_t>(last) * p, keyColour)) {
            --last; // stops at `first` at the latest
        }
        left(i).x = Shifted(first, leftInset);
        right(i).x = Shifted(last, -static_cast<std::int64_t>(rightInset));
        if (!haveAnchor) {
            for (int above = 0; above < i; ++above) {
                left(above).x = right(above).x = left(i).x;
            }
            haveAnchor = true;
        }
        anchorX = left(i).x;
    }
    return vertices;
}

bool BmpRgnOutlineIsWhole(const std::vector<BmpRgnVertex>& outline, int width) noexcept {
    if (outline.empty() || width <= 0) {
        return false;
    }
    const std::size_t height = outline.size() / 2;
    for (std::size_t row = 0; row < height; ++row) {
        if (outline[row].x != 0 || outline[outline.size() - 1 - row].x != width - 1) {
            return false;
        }
    }
    return true;
}
