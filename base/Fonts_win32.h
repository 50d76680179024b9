// Registering the fonts the skin needs and creating the eight fonts of the font table.
#pragma once

#include <windows.h>

#include <array>

#include "base/FontTable.h"
#include "framework/Gdi.h"
#include "res/SkinLayout.h"

using FontSlots = std::array<fw::Font, kFontSlotCount>;

// For each face that is not installed, registers its file from the current directory (the program's own). When a
// registration fails nothing is created and false is returned; otherwise slots 0-7 are created at `dpi` (their
// heights are 96 DPI pixels) and true returned.
bool RegisterAndCreateFonts(FontSlots& slots, int dpi = SKIN_BASE_DPI);
// Slots 0-7 made anew at `dpi`, the faces already registered.
void CreateFontSlots(FontSlots& slots, int dpi);

// Forgets which faces were found, so that the next call enumerates again (for tests).
void ResetFontRegistrationState();
