// Skin bitmaps in the program's language. A bitmap with words has, besides its English form, a patch of the same
// id for each other language (skin/SkinPatch.h); the language is the one the program chose at start.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>

#include "framework/Gdi.h"
#include "skin/SkinPixels.h"
#include "base/SkinScale.h"

// The bitmap resource `bitmapId` of the program's own module as a bitmap compatible with the screen, as
// LoadBitmapW gives it: for Chinese with the language's patch applied, and in English when the language has no
// patch for it or the patch does not fit. Null if there is no such bitmap.
fw::Bitmap LoadSkinBitmap(UINT bitmapId);

// The 96 DPI size of bitmap resource `bitmapId`, read from its header; 0 x 0 if there is none.
SIZE SkinBitmapSize(UINT bitmapId);

// The bitmap `bitmapId` for a window at `scale`, exactly `size` pixels (the scaled rectangle it fills). At 96 DPI it
// is LoadSkinBitmap's. Above, it is the artwork drawn at the step ChooseSkinArt picks (a PNG decoded with the
// system's imaging component, with the program's language's patch laid over it), resized when its size is not
// `size`; when that step's drawing is missing or does not decode, the 96 DPI bitmap is resized instead. Null if there
// is no such bitmap at all.
fw::Bitmap LoadSkinBitmap(UINT bitmapId, const SkinScale& scale, SIZE size);

// Decodes, on a thread of its own, the scaled drawings a window at `scale` loads first (ids in the order it loads
// them), while the program's thread makes its fonts and its window: LoadSkinBitmap then takes each one decoded, or
// waits for it. Nothing happens at 96 DPI, whose bitmaps need no decoding. One prefetch at a time; it ends (and
// what it decoded that nobody took is dropped) when the object does.
class CSkinArtPrefetch {
public:
    CSkinArtPrefetch(const SkinScale& scale, std::span<const UINT> ids);
    ~CSkinArtPrefetch();
    CSkinArtPrefetch(const CSkinArtPrefetch&) = delete;
    CSkinArtPrefetch& operator=(const CSkinArtPrefetch&) = delete;

    struct State;

private:
    std::unique_ptr<State> m_state;
    fw::UniqueHandle m_thread;
};

// An image file's bytes (a PNG, or any format the system's imaging component reads) as 32-bit pixels; empty when
// they do not decode or the image is larger than kSkinPixelsLargestSide. COM must be initialised on the thread.
SkinPixels DecodeSkinImage(std::span<const std::uint8_t> bytes);
