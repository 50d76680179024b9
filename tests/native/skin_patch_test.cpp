#include "skin/SkinPatch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "res/SkinLayout.h"

namespace {

struct Rect {
    int x, y, w, h;
};

void Put16(std::vector<std::uint8_t>& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// A patch as the generator writes it; the pixel at (x, y) of a rectangle is blue x, green y, red 200.
std::vector<std::uint8_t> MakePatch(int width, int height, const std::vector<Rect>& rects,
                                    std::uint32_t magic = SKIN_PATCH_MAGIC) {
    std::vector<std::uint8_t> out;
    Put16(out, static_cast<int>(magic & 0xFFFF));
    Put16(out, static_cast<int>(magic >> 16));
    Put16(out, width);
    Put16(out, height);
    Put16(out, static_cast<int>(rects.size()));
    for (const Rect& r : rects) {
        for (int v : {r.x, r.y, r.w, r.h}) {
            Put16(out, v);
        }
        for (int y = r.y; y < r.y + r.h; ++y) {
            for (int x = r.x; x < r.x + r.w; ++x) {
                out.insert(out.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 200});
            }
        }
    }
    return out;
}

// A 5 x 4 image with rows padded to 16 bytes, every byte 7.
struct Image {
    static constexpr int kWidth = 5, kHeight = 4;
    static constexpr std::size_t kStride = 16;
    std::vector<std::uint8_t> bits = std::vector<std::uint8_t>(kStride * kHeight, 7);
    SkinImage View(bool bottomUp) { return {bits, kWidth, kHeight, kStride, bottomUp}; }
    const std::uint8_t* Pixel(int x, int y, bool bottomUp) const {
        const int line = bottomUp ? kHeight - 1 - y : y;
        return &bits[static_cast<std::size_t>(line) * kStride + static_cast<std::size_t>(x) * 3];
    }
};

TEST(SkinPatch, CopiesEachRectangleToItsPlaceInEitherRowOrder) {
    const std::vector<Rect> rects = {{1, 0, 2, 2}, {4, 3, 1, 1}, {0, 2, 5, 1}};
    for (bool bottomUp : {true, false}) {
        SCOPED_TRACE(bottomUp ? "bottom-up" : "top-down");
        Image image;
        ASSERT_TRUE(ApplySkinPatch(MakePatch(Image::kWidth, Image::kHeight, rects), image.View(bottomUp)));
        for (int y = 0; y < Image::kHeight; ++y) {
            for (int x = 0; x < Image::kWidth; ++x) {
                bool inside = false;
                for (const Rect& r : rects) {
                    inside = inside || (x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h);
                }
                const std::uint8_t* p = image.Pixel(x, y, bottomUp);
                if (inside) {
                    EXPECT_EQ(p[0], x) << x << "," << y;
                    EXPECT_EQ(p[1], y) << x << "," << y;
                    EXPECT_EQ(p[2], 200) << x << "," << y;
                } else {
                    EXPECT_EQ(p[0] + p[1] + p[2], 21) << x << "," << y;
                }
            }
        }
        for (std::size_t row = 0; row < Image::kHeight; ++row) { // the row padding stays as it was
            EXPECT_EQ(image.bits[row * Image::kStride + 15], 7);
        }
    }
}

TEST(SkinPatch, RefusesAPatchThatDoesNotFitAndLeavesTheImageAlone) {
    const auto good = MakePatch(5, 4, {{0, 0, 2, 2}});
    auto truncated = good;
    truncated.pop_back();
    auto trailing = good;
    trailing.push_back(0);
    const std::vector<Rect> many(kSkinPatchMaxRectangles + 1, Rect{0, 0, 1, 1});
    const struct {
        const char* what;
        std::vector<std::uint8_t> patch;
    } cases[] = {
        {"empty", {}},
        {"header cut short", {good.begin(), good.begin() + 9}},
        {"wrong magic", MakePatch(5, 4, {{0, 0, 2, 2}}, SKIN_PATCH_MAGIC ^ 1)},
        {"made for another width", MakePatch(6, 4, {{0, 0, 2, 2}})},
        {"made for another height", MakePatch(5, 3, {{0, 0, 2, 2}})},
        {"rectangle past the right edge", MakePatch(5, 4, {{4, 0, 2, 1}})},
        {"rectangle past the bottom", MakePatch(5, 4, {{0, 3, 1, 2}})},
        {"rectangle far outside", MakePatch(5, 4, {{0xFFFF, 0xFFFF, 1, 1}})},
        {"empty rectangle", MakePatch(5, 4, {{1, 1, 0, 1}})},
        {"pixels cut short", truncated},
        {"bytes left over", trailing},
        {"rectangle header cut short", {good.begin(), good.begin() + 14}},
        {"too many rectangles", MakePatch(5, 4, many)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Image image;
        EXPECT_FALSE(ApplySkinPatch(c.patch, image.View(true)));
        EXPECT_EQ(image.bits, Image().bits);
    }
}

TEST(SkinPatch, RefusesAnImageSmallerThanItsSize) {
    const auto patch = MakePatch(5, 4, {{0, 0, 1, 1}});
    Image image;
    const SkinImage cases[] = {
        {std::span(image.bits).first(Image::kStride * 3), 5, 4, Image::kStride, true}, // too few rows
        {image.bits, 5, 4, 14, true},                                                  // stride under 3 * width
        {image.bits, 0, 4, Image::kStride, true},
        {{}, 5, 4, 0, true},
    };
    for (const SkinImage& view : cases) {
        EXPECT_FALSE(ApplySkinPatch(patch, view));
    }
    EXPECT_EQ(image.bits, Image().bits);
}

} // namespace
