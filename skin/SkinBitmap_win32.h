// Skin bitmaps in the program's language. A bitmap with words has, besides its English form, a patch of the same
// id for each other language (skin/SkinPatch.h); the language is the one the program chose at start.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"

// The bitmap resource `bitmapId` of the program's own module as a bitmap compatible with the screen, as
// LoadBitmapW gives it: for Chinese with the language's patch applied, and in English when the language has no
// patch for it or the patch does not fit. Null if there is no such bitmap.
fw::Bitmap LoadSkinBitmap(UINT bitmapId);
