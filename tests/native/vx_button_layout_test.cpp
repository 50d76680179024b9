#include "skin/VxButtonLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(VxButtonLayout, ClickIsAPressOfLessThan2000msEitherWayAcrossTheWrap) {
    EXPECT_TRUE(IsVxClick(1000, 1000));
    EXPECT_TRUE(IsVxClick(1000, 2999));
    EXPECT_FALSE(IsVxClick(1000, 3000));
    EXPECT_TRUE(IsVxClick(3000, 1001)); // a clock that went back counts by its distance
    EXPECT_FALSE(IsVxClick(3000, 1000));
    EXPECT_TRUE(IsVxClick(0xFFFFFC18u, 0x000003E7u)); // 1999 ms across the wrap
    EXPECT_FALSE(IsVxClick(0xFFFFFC18u, 0x000003E8u));
    EXPECT_FALSE(IsVxClick(0, 0x80000000u)); // the most negative difference
    EXPECT_FALSE(IsVxClick(0x80000000u, 0));
}

std::wstring Text(std::wstring_view caption, const VxCaptionLine& line) {
    return std::wstring(caption.substr(line.offset, line.length));
}

TEST(VxButtonLayout, OneLineCaptionFillsTheButtonLessSixPixelsAndDoesNotMove) {
    const std::wstring_view caption = L"Apply";
    for (bool pressed : {false, true}) {
        const VxCaptionLayout layout = LayoutVxCaption(caption, 97, 36, pressed);
        ASSERT_EQ(layout.count, 1u);
        EXPECT_EQ(Text(caption, layout.lines[0]), L"Apply");
        EXPECT_EQ(layout.lines[0].box, (VxRect{0, 0, 97, 30}));
    }
    EXPECT_EQ(LayoutVxCaption(std::wstring_view(), 97, 36, false).count, 0u);
}

TEST(VxButtonLayout, OnlyTheFirstLineFeedSplitsAndPressingMovesBothLinesLeft) {
    const std::wstring_view caption = L"Colour\ncycle\nnow";
    const VxCaptionLayout released = LayoutVxCaption(caption, 181, 37, false);
    ASSERT_EQ(released.count, 2u);
    EXPECT_EQ(Text(caption, released.lines[0]), L"Colour");
    EXPECT_EQ(Text(caption, released.lines[1]), L"cycle\nnow");
    EXPECT_EQ(released.lines[0].box, (VxRect{1, 6, 181, 22})); // 37 / 2 = 18
    EXPECT_EQ(released.lines[1].box, (VxRect{1, 18, 181, 36}));
    const VxCaptionLayout pressed = LayoutVxCaption(caption, 181, 37, true);
    EXPECT_EQ(pressed.lines[0].box, (VxRect{0, 6, 180, 22}));
    EXPECT_EQ(pressed.lines[1].box, (VxRect{0, 18, 180, 36}));

    const std::wstring_view edges = L"\n";
    const VxCaptionLayout empty = LayoutVxCaption(edges, 50, 40, false);
    ASSERT_EQ(empty.count, 2u);
    EXPECT_EQ(empty.lines[0].length, 0u);
    EXPECT_EQ(empty.lines[1].length, 0u);
}

TEST(VxButtonLayout, OnlyTheFirst63CharactersCount) {
    const std::wstring first63(63, L'x');
    const std::wstring longer = first63 + L"\nsecond line";
    const VxCaptionLayout layout = LayoutVxCaption(std::wstring_view(longer), 600, 40, false);
    ASSERT_EQ(layout.count, 1u); // the line feed is the 64th character
    EXPECT_EQ(layout.lines[0].length, 63u);

    const std::wstring split = std::wstring(60, L'a') + L"\nbcdef";
    const VxCaptionLayout cut = LayoutVxCaption(std::wstring_view(split), 600, 40, false);
    ASSERT_EQ(cut.count, 2u);
    EXPECT_EQ(Text(split, cut.lines[1]), L"bc");
}

} // namespace
