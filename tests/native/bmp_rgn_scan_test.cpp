#include "skin/BmpRgnScan.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// A bitmap in device layout: blue, green, red (and an unused fourth byte), rows padded to an even stride plus
// two bytes. Padding and fourth bytes are 0, which would read as opaque if the scan ever looked at them.
class TestBitmap {
public:
    TestBitmap(int width, int height, int bytesPerPixel)
        : width_(width), height_(height), bpp_(bytesPerPixel), stride_((width * bytesPerPixel + 1) / 2 * 2 + 2),
          bits_(static_cast<std::size_t>(stride_) * height, 0) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                Set(x, y, 255, 255, 255);
            }
        }
    }

    // Paints row y from a picture: '.' white, '#' dark grey.
    TestBitmap& Row(int y, const std::string& picture) {
        for (int x = 0; x < static_cast<int>(picture.size()); ++x) {
            if (picture[x] == '#') {
                Set(x, y, 40, 40, 40);
            }
        }
        return *this;
    }

    TestBitmap& Set(int x, int y, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        std::uint8_t* pixel = &bits_[static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x) * bpp_];
        pixel[0] = blue;
        pixel[1] = green;
        pixel[2] = red;
        return *this;
    }

    BmpRgnPixels Pixels() const { return {bits_, width_, height_, stride_, bpp_}; }

    std::vector<BmpRgnVertex> Scan(int leftInset = 0, int rightInset = 0, std::uint32_t key = kBmpRgnWhite) const {
        return ScanBmpRgnOutline(Pixels(), key, leftInset, rightInset);
    }

private:
    int width_, height_, bpp_, stride_;
    std::vector<std::uint8_t> bits_;
};

// The left edge, row by row (vertices 0 to h-1).
std::vector<int> Lefts(const std::vector<BmpRgnVertex>& v) {
    std::vector<int> xs;
    for (std::size_t i = 0; i < v.size() / 2; ++i) {
        xs.push_back(v[i].x);
    }
    return xs;
}

// The right edge, row by row (vertex 2h-1-i belongs to row i).
std::vector<int> Rights(const std::vector<BmpRgnVertex>& v) {
    std::vector<int> xs;
    for (std::size_t i = 0; i < v.size() / 2; ++i) {
        xs.push_back(v[v.size() - 1 - i].x);
    }
    return xs;
}

using Xs = std::vector<int>;

class BmpRgnScanTest : public ::testing::TestWithParam<int> {
protected:
    int Bpp() const { return GetParam(); }
};

TEST_P(BmpRgnScanTest, OpaqueBordersGiveTheFirstAndLastColumnsMovedByTheInsets) {
    TestBitmap bmp(5, 3, Bpp());
    for (int y = 0; y < 3; ++y) {
        bmp.Row(y, "#####");
    }
    const auto v = bmp.Scan();
    ASSERT_EQ(v.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(v[i], (BmpRgnVertex{0, i}));     // down the left edge
        EXPECT_EQ(v[5 - i], (BmpRgnVertex{4, i})); // back up the right edge
    }
    EXPECT_EQ(Lefts(bmp.Scan(1, 0)), (Xs{1, 1, 1}));
    EXPECT_EQ(Rights(bmp.Scan(1, 0)), (Xs{4, 4, 4}));
    EXPECT_EQ(Rights(bmp.Scan(0, 2)), (Xs{2, 2, 2}));
}

// Whole: every row from the first column to the last, holes inside allowed; one white end anywhere is not.
TEST_P(BmpRgnScanTest, AnOutlineIsWholeOnlyWhenEveryRowSpansTheWidth) {
    const struct {
        std::vector<std::string> rows;
        bool whole;
    } cases[] = {
        {{"####", "####"}, true},  {{"#..#", "####"}, true},  {{"####", ".###"}, false},
        {{"###.", "####"}, false}, {{"####", "...."}, false}, {{"#"}, true},
    };
    for (const auto& c : cases) {
        TestBitmap bmp(static_cast<int>(c.rows[0].size()), static_cast<int>(c.rows.size()), Bpp());
        for (std::size_t y = 0; y < c.rows.size(); ++y) {
            bmp.Row(static_cast<int>(y), c.rows[y]);
        }
        EXPECT_EQ(BmpRgnOutlineIsWhole(bmp.Scan(), static_cast<int>(c.rows[0].size())), c.whole)
            << c.rows[1 % c.rows.size()];
        EXPECT_FALSE(BmpRgnOutlineIsWhole(bmp.Scan(1, 0), static_cast<int>(c.rows[0].size()))) << "inset";
    }
    EXPECT_FALSE(BmpRgnOutlineIsWhole({}, 4));
}

TEST_P(BmpRgnScanTest, EachByteWithinTwoOfWhiteCountsAsKey) {
    for (int channel = 0; channel < 3; ++channel) {
        for (const int value : {253, 252}) {
            TestBitmap bmp(3, 1, Bpp());
            bmp.Row(0, "..#");
            std::uint8_t rgb[3] = {255, 255, 255};
            rgb[channel] = static_cast<std::uint8_t>(value);
            bmp.Set(0, 0, rgb[0], rgb[1], rgb[2]);
            SCOPED_TRACE("channel " + std::to_string(channel) + " value " + std::to_string(value));
            EXPECT_EQ(Lefts(bmp.Scan()), (Xs{value == 253 ? 2 : 0}));
        }
    }
}

TEST_P(BmpRgnScanTest, RowsKeepTheirOutermostOpaquePixelsOnly) {
    TestBitmap bmp(7, 3, Bpp());
    bmp.Row(0, "..###..")   // opaque only in the middle: the white ends are cut
        .Row(1, "#.....#")  // a white hole between opaque ends stays inside
        .Row(2, "....#.."); // a single opaque pixel
    const auto v = bmp.Scan();
    EXPECT_EQ(Lefts(v), (Xs{2, 0, 4}));
    EXPECT_EQ(Rights(v), (Xs{4, 6, 4}));
}

TEST_P(BmpRgnScanTest, RowWithoutOpaquePixelBecomesZeroWidthAtTheLeftEdgeAbove) {
    TestBitmap bmp(5, 6, Bpp());
    bmp.Row(1, ".##..").Row(3, "#####");
    // Rows 0 (above the first opaque row), 2, 4 and 5 have nothing opaque.
    const auto v = bmp.Scan();
    EXPECT_EQ(Lefts(v), (Xs{1, 1, 1, 0, 0, 0}));
    EXPECT_EQ(Rights(v), (Xs{1, 2, 1, 4, 0, 0}));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(v[i].y, i);
        EXPECT_EQ(v[11 - i].y, i);
    }
    // The anchor is the left vertex itself, insets included.
    const auto shifted = bmp.Scan(1, 1);
    EXPECT_EQ(Lefts(shifted), (Xs{2, 2, 2, 1, 1, 1}));
    EXPECT_EQ(Rights(shifted), (Xs{2, 1, 2, 3, 1, 1}));
}

TEST_P(BmpRgnScanTest, ImageWithoutOpaquePixelEnclosesNothing) {
    // The zero padding and fourth bytes would be opaque if they were scanned.
    TestBitmap bmp(4, 3, Bpp());
    const auto v = bmp.Scan(1, 0);
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(Lefts(v), (Xs{0, 0, 0}));
    EXPECT_EQ(Rights(v), (Xs{0, 0, 0}));
}

TEST_P(BmpRgnScanTest, KeyColourIsComparedAsRedGreenBlueAgainstBlueGreenRedBytes) {
    const std::uint32_t red = 0x000000FF; // COLORREF: red in the low byte
    TestBitmap bmp(3, 1, Bpp());
    bmp.Set(0, 0, 255, 0, 0).Set(1, 0, 255, 0, 0).Set(2, 0, 0, 0, 255); // red, red, blue
    EXPECT_EQ(Lefts(bmp.Scan(0, 0, red)), (Xs{2}));
    EXPECT_EQ(Rights(bmp.Scan(0, 0, red)), (Xs{2}));
}

TEST_P(BmpRgnScanTest, OneColumnImage) {
    TestBitmap bmp(1, 2, Bpp());
    bmp.Row(0, "#");
    const auto v = bmp.Scan();
    EXPECT_EQ(Lefts(v), (Xs{0, 0}));
    EXPECT_EQ(Rights(v), (Xs{0, 0}));
}

TEST_P(BmpRgnScanTest, UnusableDescriptionsShapeNothing) {
    TestBitmap bmp(4, 2, Bpp());
    bmp.Row(0, "####").Row(1, "####");
    const BmpRgnPixels good = bmp.Pixels();
    ASSERT_EQ(ScanBmpRgnOutline(good, kBmpRgnWhite, 0, 0).size(), 4u);

    auto scan = [](BmpRgnPixels p) { return ScanBmpRgnOutline(p, kBmpRgnWhite, 0, 0); };
    BmpRgnPixels p = good;
    p.width = 0;
    EXPECT_TRUE(scan(p).empty());
    p = good;
    p.height = 0;
    EXPECT_TRUE(scan(p).empty());
    p = good;
    p.height = -1;
    EXPECT_TRUE(scan(p).empty());
    for (const int bpp : {0, 1, 2, 5}) {
        p = good;
        p.bytesPerPixel = bpp;
        EXPECT_TRUE(scan(p).empty()) << bpp;
    }
    p = good;
    p.stride = 4 * Bpp() - 1;
    EXPECT_TRUE(scan(p).empty());
    p = good;
    p.bits = p.bits.first(static_cast<std::size_t>(p.stride) + 4 * Bpp() - 1); // last row one byte short
    EXPECT_TRUE(scan(p).empty());
    p.bits = good.bits.first(static_cast<std::size_t>(p.stride) + 4 * Bpp()); // last row without padding
    EXPECT_EQ(scan(p).size(), 4u);
    p.bits = {};
    EXPECT_TRUE(scan(p).empty());
}

TEST_P(BmpRgnScanTest, ExtremeInsetsSaturateInsteadOfOverflowing) {
    TestBitmap bmp(3, 1, Bpp());
    bmp.Row(0, "###");
    const auto v = bmp.Scan(INT_MAX, INT_MIN);
    EXPECT_EQ(v[0].x, INT32_MAX);
    EXPECT_EQ(v[1].x, INT32_MAX);
}

std::string BytesPerPixelName(const ::testing::TestParamInfo<int>& param) {
    return std::to_string(param.param) + "Bytes";
}

INSTANTIATE_TEST_SUITE_P(BytesPerPixel, BmpRgnScanTest, ::testing::Values(3, 4), BytesPerPixelName);

} // namespace
