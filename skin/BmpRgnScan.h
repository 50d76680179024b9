// The pixel scan behind CBmpRgn: turns a bitmap's bits into the outline polygon of a shaped window.
//
// Each row keeps the span from its first to its last pixel that differs from the key colour; the outline runs
// down the left ends of the rows and back up the right ends. Portable: no window system types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// One outline vertex, laid out like a Win32 POINT (two 32-bit signed integers).
struct BmpRgnVertex {
    std::int32_t x = 0;
    std::int32_t y = 0;

    friend bool operator==(const BmpRgnVertex&, const BmpRgnVertex&) = default;
};

// A bitmap's bits as a device-compatible bitmap holds them: rows from top to bottom, `stride` bytes apart,
// `bytesPerPixel` (3 or 4) bytes per pixel in blue, green, red order; a fourth byte is ignored.
struct BmpRgnPixels {
    std::span<const std::uint8_t> bits;
    int width = 0;
    int height = 0;
    int stride = 0;
    int bytesPerPixel = 0;
};

inline constexpr std::uint32_t kBmpRgnWhite = 0x00FFFFFFu; // COLORREF, red in the low byte
inline constexpr int kBmpRgnTolerance = 2;                 // a byte this close to the key's still matches

// True when the pixel whose first byte is at `pixel` (blue, green, red) differs from `keyColour` (a COLORREF)
// by more than kBmpRgnTolerance in any of the three colour bytes.
bool IsBmpRgnOpaque(const std::uint8_t* pixel, std::uint32_t keyColour);

// Scans the bitmap into 2 * height vertices: vertex i (0 <= i < height) is (first opaque x of row i + leftInset,
// i), and vertex 2 * height - 1 - i is (last opaque x of row i - rightInset, i).
//
// A row with no opaque pixel has nothing to keep: it becomes a zero-width span, both of its vertices at the
// left vertex of the nearest row above that has an opaque pixel (or, above the first such row, of that row).
// If no row has an opaque pixel, every vertex is at x = 0 and the outline encloses nothing.
//
// Returns an empty vector, and so shapes nothing, when the description is unusable: width or height not
// positive, bytes per pixel other than 3 or 4, a stride shorter than a row, a buffer too short for the rows,
// or no memory for the vertices.
std::vector<BmpRgnVertex> ScanBmpRgnOutline(const BmpRgnPixels& pixels, std::uint32_t keyColour, int leftInset,
                                            int rightInset) noexcept;

// True when the outline keeps every pixel of every row of a bitmap `width` pixels wide: each row's span runs from
// x = 0 to x = width - 1. Such an outline, as a polygon, covers the bitmap less its last column and row.
bool BmpRgnOutlineIsWhole(const std::vector<BmpRgnVertex>& outline, int width) noexcept;
