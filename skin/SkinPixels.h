// Skin images in memory at any scale: 32-bit pixels (blue, green, red, alpha), top row first, rows packed. What the
// window makes of the artwork drawn above 100 %: a language's patch laid over the English drawing, and a drawing
// resized to a scale between the steps it was drawn at. Portable: no window system types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct SkinPixels {
    std::vector<std::uint8_t> bits; // width * height * 4 bytes
    int width = 0;
    int height = 0;

    bool IsWhole() const {
        return width > 0 && height > 0 &&
               bits.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    }
};

// The largest side a skin image may have at any scale.
inline constexpr int kSkinPixelsLargestSide = 8192;

// Lays a patch over the image: where the patch's alpha is 255 its colour replaces the image's, where it is 0 the
// image's stays. A patch of another size, or with any other alpha, leaves the image as it was and gives false.
bool ApplyAlphaPatch(SkinPixels& image, const SkinPixels& patch);

// The image resized to width x height with a bicubic (Catmull-Rom) filter, widened when shrinking so that every
// source pixel counts. A pixel that would come out near-white (each byte at least 253) is set to (250, 250, 250), as
// the artwork itself never holds one: the window outline reads white as outside. Alpha becomes 255. False, with
// `out` untouched, for a source that is not whole or a size outside 1 .. kSkinPixelsLargestSide.
bool ResampleSkinPixels(const SkinPixels& source, int width, int height, SkinPixels& out);
