#include "skin/SkinPatch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "res/SkinLayout.h"

namespace {

struct Rect {
    int x, y, w, h;
};

// A patch as the generator writes it, for a 5 x 4 image unless told otherwise; every pixel it carries is (1, 2, 3).
std::vector<std::uint8_t> MakePatch(const std::vector<Rect>& rects, int width = 5, int height = 4,
                                    std::uint32_t magic = SKIN_PATCH_MAGIC) {
    std::vector<std::uint8_t> out;
    const auto put = [&out](std::uint32_t v) { out.insert(out.end(), {std::uint8_t(v & 0xFF), std::uint8_t(v >> 8)}); };
    put(magic & 0xFFFF), put(magic >> 16), put(width), put(height), put(static_cast<std::uint32_t>(rects.size()));
    for (const Rect& r : rects) {
        put(r.x), put(r.y), put(r.w), put(r.h);
        for (int i = 0; i < r.w * r.h; ++i) {
            out.insert(out.end(), {1, 2, 3});
        }
    }
    return out;
}

// A 5 x 4 image, rows padded to 16 bytes, every byte 7; a row's pixels as '#' (patched) and '.' (untouched).
struct Image {
    std::vector<std::uint8_t> bits = std::vector<std::uint8_t>(64, 7);
    SkinImage View(bool bottomUp) { return {bits, 5, 4, 16, bottomUp}; }
    std::string Row(int line) const {
        std::string row;
        for (int x = 0; x < 5; ++x) {
            row += bits[static_cast<std::size_t>(line * 16 + x * 3)] == 1 ? '#' : '.';
        }
        return row + (bits[static_cast<std::size_t>(line * 16 + 15)] == 7 ? "" : "padding changed");
    }
};

TEST(SkinPatch, CopiesEachRectangleToItsPlaceInEitherRowOrder) {
    for (bool bottomUp : {true, false}) {
        Image image;
        ASSERT_TRUE(ApplySkinPatch(MakePatch({{1, 0, 2, 2}, {4, 3, 1, 1}}), image.View(bottomUp)));
        const std::vector<std::string> top = {".##..", ".##..", ".....", "....#"};
        for (int y = 0; y < 4; ++y) {
            EXPECT_EQ(image.Row(bottomUp ? 3 - y : y), top[static_cast<std::size_t>(y)]) << "row " << y;
        }
    }
}

TEST(SkinPatch, RefusesAPatchThatDoesNotFitAndLeavesTheImageAlone) {
    const auto good = MakePatch({{0, 0, 2, 2}});
    auto trailing = good;
    trailing.push_back(0);
    const std::vector<std::vector<std::uint8_t>> cases = {
        {},
        {good.begin(), good.begin() + 9},                      // header cut short
        {good.begin(), good.begin() + 14},                     // rectangle cut short
        {good.begin(), good.end() - 1},                        // pixels cut short
        trailing,                                              // bytes left over
        MakePatch({{0, 0, 2, 2}}, 5, 4, SKIN_PATCH_MAGIC ^ 1), // not a patch
        MakePatch({{0, 0, 2, 2}}, 6, 4),                       // made for another width
        MakePatch({{0, 0, 2, 2}}, 5, 3),                       // made for another height
        MakePatch({{4, 0, 2, 1}}),                             // past the right edge
        MakePatch({{0, 3, 1, 2}}),                             // past the bottom
        MakePatch({{0xFFFF, 0xFFFF, 1, 1}}),                   // far outside
        MakePatch({{1, 1, 0, 1}}),                             // empty rectangle
        MakePatch(std::vector<Rect>(kSkinPatchMaxRectangles + 1, Rect{0, 0, 1, 1})),
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        Image image;
        EXPECT_FALSE(ApplySkinPatch(cases[i], image.View(true))) << "case " << i;
        EXPECT_EQ(image.bits, Image().bits) << "case " << i;
    }
    Image image; // an image that is not as large as it says
    EXPECT_FALSE(ApplySkinPatch(good, {std::span(image.bits).first(48), 5, 4, 16, true}));
    EXPECT_FALSE(ApplySkinPatch(good, {image.bits, 5, 4, 14, true}));
}

} // namespace
