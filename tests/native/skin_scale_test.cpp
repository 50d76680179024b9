#include "base/SkinScale.h"
#include "skin/SkinPixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Lengths at each DPI the artwork is drawn at, and between: half a pixel rounds up, and the page comes out at the
// sizes the generator draws it.
TEST(SkinScale, LengthsRoundOnceFromTheBaseLayout) {
    struct Case {
        int dpi, length, scaled;
    };
    const Case cases[] = {
        {96, 990, 990},   {96, 675, 675},   {120, 990, 1238}, {120, 675, 844},  {144, 990, 1485}, {144, 675, 1013},
        {168, 990, 1733}, {192, 990, 1980}, {192, 675, 1350}, {144, 700, 1050}, {120, 1, 1},      {144, 1, 2},
        {120, 2, 3},      {144, -1, -2},    {110, 169, 194},  {0, 990, 495},    {5000, 10, 100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SkinScale(c.dpi).Px(c.length), c.scaled) << c.dpi << " DPI, " << c.length;
    }
    EXPECT_TRUE(SkinScale().IsBase());
    EXPECT_EQ(SkinScale(20).Dpi(), kSkinSmallestDpi);
}

// Rectangles scale their edges: the speed buttons, which adjoin at 96 DPI, adjoin at every scale, and a rectangle's
// size is the difference of its edges, so two of the same size at different places may differ by a pixel.
TEST(SkinScale, RectanglesKeepTheirNeighbours) {
    const SkinRect speeds[] = {
        {SKIN_SPEED_1_X, SKIN_SPEED_1_Y, SKIN_SPEED_1_W, SKIN_SPEED_1_H},
        {SKIN_SPEED_2_X, SKIN_SPEED_2_Y, SKIN_SPEED_2_W, SKIN_SPEED_2_H},
        {SKIN_SPEED_3_X, SKIN_SPEED_3_Y, SKIN_SPEED_3_W, SKIN_SPEED_3_H},
        {SKIN_SPEED_4_X, SKIN_SPEED_4_Y, SKIN_SPEED_4_W, SKIN_SPEED_4_H},
        {SKIN_SPEED_5_X, SKIN_SPEED_5_Y, SKIN_SPEED_5_W, SKIN_SPEED_5_H},
    };
    for (int dpi : {96, 110, 120, 144, 168, 192, 240}) {
        const SkinScale scale(dpi);
        for (std::size_t i = 0; i + 1 < std::size(speeds); ++i) {
            EXPECT_EQ(scale.Rect(speeds[i]).Right(), scale.Rect(speeds[i + 1]).x) << dpi << " DPI, button " << i;
        }
    }
    EXPECT_EQ(SkinScale(120).Rect({150, 49, 181, 136}), (SkinRect{188, 61, 226, 170}));
    EXPECT_EQ(SkinScale(96).Rect({150, 49, 181, 136}), (SkinRect{150, 49, 181, 136}));
}

// The artwork a DPI is drawn from: the exact step where there is one, else the next step up resized down, and
// the largest step resized up beyond it.
TEST(SkinScale, ArtworkComesFromTheNearestStepAbove) {
    struct Case {
        int dpi;
        SkinArtChoice choice;
    };
    const Case cases[] = {
        {96, {96, false, 0}},
        {72, {96, true, 0}},
        {97, {120, true, SKIN_SCALED_RESOURCE_TYPE}},
        {120, {120, false, SKIN_SCALED_RESOURCE_TYPE}},
        {121, {144, true, SKIN_SCALED_RESOURCE_TYPE + 1}},
        {144, {144, false, SKIN_SCALED_RESOURCE_TYPE + 1}},
        {168, {168, false, SKIN_SCALED_RESOURCE_TYPE + 2}},
        {192, {192, false, SKIN_SCALED_RESOURCE_TYPE + 3}},
        {193, {192, true, SKIN_SCALED_RESOURCE_TYPE + 3}},
        {288, {192, true, SKIN_SCALED_RESOURCE_TYPE + 3}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseSkinArt(SkinScale(c.dpi)), c.choice) << c.dpi << " DPI";
    }
}

SkinPixels Filled(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r, std::uint8_t a = 255) {
    SkinPixels p;
    p.width = width;
    p.height = height;
    for (int i = 0; i < width * height; ++i) {
        p.bits.insert(p.bits.end(), {b, g, r, a});
    }
    return p;
}

// Resizing keeps flat colour exact (the wheel's background stays the colour that means "off the wheel"), keeps a
// dark-to-light edge in order, never makes a near-white pixel, and refuses what it cannot make.
TEST(SkinPixels, ResizeKeepsFlatColourAndTheOutlineRule) {
    SkinPixels out;
    ASSERT_TRUE(ResampleSkinPixels(Filled(40, 30, 0x0D, 0x1D, 0x25), 57, 11, out));
    ASSERT_TRUE(out.IsWhole());
    EXPECT_EQ(out.width, 57);
    for (std::size_t p = 0; p < out.bits.size(); p += 4) {
        ASSERT_EQ(out.bits[p], 0x0D);
        ASSERT_EQ(out.bits[p + 1], 0x1D);
        ASSERT_EQ(out.bits[p + 2], 0x25);
    }
    SkinPixels edge = Filled(8, 1, 10, 10, 10);
    for (int x = 4; x < 8; ++x) {
        edge.bits[static_cast<std::size_t>(x) * 4] = edge.bits[x * 4 + 1] = edge.bits[x * 4 + 2] = 255;
    }
    ASSERT_TRUE(ResampleSkinPixels(edge, 16, 1, out));
    EXPECT_EQ(out.bits[0], 10);
    EXPECT_LT(out.bits[6 * 4], out.bits[9 * 4]);
    for (std::size_t p = 0; p < out.bits.size(); p += 4) {
        EXPECT_FALSE(out.bits[p] >= 253 && out.bits[p + 1] >= 253 && out.bits[p + 2] >= 253) << p / 4;
    }
    const SkinPixels kept = out;
    SkinPixels torn = Filled(4, 4, 1, 2, 3);
    torn.bits.pop_back();
    EXPECT_FALSE(ResampleSkinPixels(torn, 8, 8, out));
    EXPECT_FALSE(ResampleSkinPixels(Filled(4, 4, 1, 2, 3), 0, 8, out));
    EXPECT_FALSE(ResampleSkinPixels(Filled(4, 4, 1, 2, 3), kSkinPixelsLargestSide + 1, 8, out));
    EXPECT_EQ(out.bits, kept.bits);
}

// A language's patch replaces exactly its opaque pixels; a patch of another size or with partial alpha changes
// nothing.
TEST(SkinPixels, AlphaPatchReplacesOnlyItsOpaquePixels) {
    SkinPixels image = Filled(3, 2, 9, 9, 9);
    SkinPixels patch = Filled(3, 2, 0, 0, 0, 0);
    patch.bits[4 * 4 + 0] = 1, patch.bits[4 * 4 + 1] = 2, patch.bits[4 * 4 + 2] = 3, patch.bits[4 * 4 + 3] = 255;
    ASSERT_TRUE(ApplyAlphaPatch(image, patch));
    for (int i = 0; i < 6; ++i) {
        const std::uint8_t expected = i == 4 ? 1 : 9;
        EXPECT_EQ(image.bits[static_cast<std::size_t>(i) * 4], expected) << i;
    }
    const SkinPixels before = image;
    SkinPixels partial = patch;
    partial.bits[3] = 128;
    EXPECT_FALSE(ApplyAlphaPatch(image, partial));
    EXPECT_FALSE(ApplyAlphaPatch(image, Filled(2, 3, 0, 0, 0, 255)));
    EXPECT_EQ(image.bits, before.bits);
}

} // namespace
