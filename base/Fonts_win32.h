// Registering the fonts the skin needs and creating the eight fonts of the font table.
#pragma once

#include <windows.h>

#include <array>

#include "base/FontTable.h"
#include "framework/Gdi.h"

using FontSlots = std::array<fw::Font, kFontSlotCount>;

// For each face that is not installed, registers its file from the current directory (the program's own). When a
// registration fails nothing is created and false is returned; otherwise slots 0-7 are created and true returned.
bool RegisterAndCreateFonts(FontSlots& slots);

// Forgets which faces were found, so that the next call enumerates again (for tests).
void ResetFontRegistrationState();
