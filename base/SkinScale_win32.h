// The skin's scale in Win32 terms: a RECT of the 96 DPI layout at a scale.
#pragma once

#include <windows.h>

#include "base/SkinScale.h"

// A RECT (right and bottom exclusive) of the 96 DPI layout at the scale: its four edges scaled.
inline RECT ScaledRect(const SkinScale& scale, const RECT& r) {
    return {scale.Px(r.left), scale.Px(r.top), scale.Px(r.right), scale.Px(r.bottom)};
}
