// The skin at the screen's scale: every length of res/SkinLayout.h is one at 96 DPI, and the window scales each
// with one rule, the one tools/gen_skin.py draws the larger artwork with. Portable: no window system types.
#pragma once

#include <cstdint>

#include "res/SkinLayout.h"

// The DPIs a window can be asked to use; anything outside is taken as the nearest of these.
inline constexpr int kSkinSmallestDpi = 48;
inline constexpr int kSkinLargestDpi = 960;

// A rectangle as res/SkinLayout.h gives one: top-left corner and size.
struct SkinRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    constexpr int Right() const { return x + w; }
    constexpr int Bottom() const { return y + h; }
    friend bool operator==(const SkinRect&, const SkinRect&) = default;
};

// One DPI and the lengths at it. A length v is (v * dpi + 48) / 96 with half a pixel rounded away from zero; a
// rectangle scales its four edges, so rectangles that adjoin at 96 DPI still adjoin.
class SkinScale {
public:
    constexpr SkinScale() = default;
    constexpr explicit SkinScale(int dpi) : m_dpi(Bounded(dpi)) {}

    constexpr int Dpi() const { return m_dpi; }
    constexpr bool IsBase() const { return m_dpi == SKIN_BASE_DPI; }
    constexpr int Px(int v) const {
        const std::int64_t scaled = static_cast<std::int64_t>(v) * m_dpi;
        const std::int64_t half = SKIN_BASE_DPI / 2;
        return static_cast<int>(scaled >= 0 ? (scaled + half) / SKIN_BASE_DPI : -((-scaled + half) / SKIN_BASE_DPI));
    }
    constexpr SkinRect Rect(const SkinRect& r) const {
        const int left = Px(r.x), top = Px(r.y);
        return {left, top, Px(r.Right()) - left, Px(r.Bottom()) - top};
    }
    // A point of the 96 DPI layout; a length at this scale back at 96 DPI (for hit tests), rounded down.
    constexpr int Unscale(int v) const {
        return static_cast<int>(static_cast<std::int64_t>(v) * SKIN_BASE_DPI / m_dpi);
    }

    friend constexpr bool operator==(const SkinScale&, const SkinScale&) = default;

private:
    static constexpr int Bounded(int dpi) {
        return dpi < kSkinSmallestDpi ? kSkinSmallestDpi : dpi > kSkinLargestDpi ? kSkinLargestDpi : dpi;
    }
    int m_dpi = SKIN_BASE_DPI;
};

// Which drawing of the artwork serves a DPI: the one drawn at the nearest step at or above it (the largest above
// the largest step), resized to the scale's sizes unless it was drawn at exactly that DPI.
struct SkinArtChoice {
    int artDpi = SKIN_BASE_DPI;
    bool resized = false;
    // The resource type of that drawing: 0 for the 96 DPI bitmaps, else the scaled drawings' type of its step.
    int resourceType = 0;
    friend bool operator==(const SkinArtChoice&, const SkinArtChoice&) = default;
};
SkinArtChoice ChooseSkinArt(const SkinScale& scale);
