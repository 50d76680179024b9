// The bitmap button's decisions that need no window: whether a release counts as a click, and where its
// caption goes. Portable: no window system types.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/SkinScale.h"

// A press held this long or longer is not a click.
inline constexpr std::int32_t kVxClickLimitMs = 2000;
// The caption is read with a buffer of 64 characters: at most 63 of them are drawn.
inline constexpr std::size_t kVxCaptionMaxChars = 63;

// True when the release at `releaseTick` ends a click that was pressed at `pressTick` (both system tick counts,
// which wrap every 49.7 days): the ticks' difference, taken as a signed 32-bit value, is within 2000 ms either way.
bool IsVxClick(std::uint32_t pressTick, std::uint32_t releaseTick) noexcept;

// A rectangle in client pixels, right and bottom exclusive, laid out like a Win32 RECT.
struct VxRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend bool operator==(const VxRect&, const VxRect&) = default;
};

// One line of the caption: characters [offset, offset + length) of the caption, drawn centred on one line in box.
struct VxCaptionLine {
    std::size_t offset = 0;
    std::size_t length = 0;
    VxRect box;

    friend bool operator==(const VxCaptionLine&, const VxCaptionLine&) = default;
};

// Where a caption is drawn on a width x height button. Only its first 63 characters count. An empty caption has
// no line; one without a line feed is one line over the button less its bottom 6 pixels; one with a line feed
// splits at the first one into an upper and a lower half, and the pressed button draws both one pixel further left.
// The pixels are 96 DPI ones, at `scale` scaled like the artwork.
struct VxCaptionLayout {
    std::size_t count = 0;
    std::array<VxCaptionLine, 2> lines{};
};

template <class Char>
VxCaptionLayout LayoutVxCaption(std::basic_string_view<Char> caption, int width, int height, bool pressed,
                                const SkinScale& scale = SkinScale()) noexcept {
    VxCaptionLayout layout;
    caption = caption.substr(0, kVxCaptionMaxChars);
    if (caption.empty()) {
        return layout;
    }
    const std::size_t feed = caption.find(static_cast<Char>('\n'));
    if (feed == std::basic_string_view<Char>::npos) {
        layout.count = 1;
        layout.lines[0] = {0, caption.size(), {0, 0, width, height - scale.Px(6)}};
        return layout;
    }
    const int left = pressed ? 0 : scale.Px(1);
    const int right = pressed ? width - scale.Px(1) : width;
    layout.count = 2;
    layout.lines[0] = {0, feed, {left, scale.Px(6), right, height / 2 + scale.Px(4)}};
    layout.lines[1] = {feed + 1, caption.size() - feed - 1, {left, height / 2, right, height - 1}};
    return layout;
}
