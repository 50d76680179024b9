// Language patches of the skin's bitmaps. A bitmap with words is stored in English; another language's artwork is
// stored as a patch of it: the rectangles where the words differ, with their pixels (tools/gen_skin.py writes them).
//
// Layout, little-endian: the 32-bit SKIN_PATCH_MAGIC, then 16-bit numbers: the bitmap's width and height, the count
// of rectangles, and per rectangle its x, y, width and height followed by width * height pixels, top row first,
// each as blue, green and red bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// A 24-bit image in memory: rows `stride` bytes apart, stored from the bottom row up when bottomUp (as a DIB).
struct SkinImage {
    std::span<std::uint8_t> bits;
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    bool bottomUp = true;
};

inline constexpr std::size_t kSkinPatchMaxRectangles = 256;

// Copies the patch's rectangles into the image. The patch must be made for an image of exactly this size, every
// rectangle must lie inside it, and the bytes must add up exactly, with at most kSkinPatchMaxRectangles rectangles;
// otherwise the result is false and the image is left as it was.
bool ApplySkinPatch(std::span<const std::uint8_t> patch, const SkinImage& image);
