#include "base/Fonts_win32.h"

#include <cwchar>
#include <string>

#include "base/SkinScale.h"
#include "framework/Utf16.h"

namespace {

// Program-wide: a face found once stays found for the rest of the process.
std::array<bool, kFontRegistrations.size()> g_needsRegistering = {true, true};

struct FaceSearch {
    const wchar_t* face;
    bool* needsRegistering;
};

int CALLBACK CompareFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM param) {
    auto* search = reinterpret_cast<FaceSearch*>(param);
    if (std::wcscmp(font->lfFaceName, search->face) == 0) {
        *search->needsRegistering = false;
        return 0; // found: stop
    }
    return 1;
}

} // namespace

void ResetFontRegistrationState() {
    g_needsRegistering.fill(true);
}

bool RegisterAndCreateFonts(FontSlots& slots, int dpi) {
    {
        fw::MemoryDC dc;
        for (std::size_t row = 0; row < kFontRegistrations.size(); ++row) {
            std::wstring face = Wide(kFontRegistrations[row].face);
            FaceSearch search{face.c_str(), &g_needsRegistering[row]};
            EnumFontFamiliesW(dc.Get(), face.c_str(), CompareFace, reinterpret_cast<LPARAM>(&search));
            if (g_needsRegistering[row] && AddFontResourceW(Wide(kFontRegistrations[row].file).c_str()) == 0) {
                return false;
            }
        }
    }
    CreateFontSlots(slots, dpi);
    return true;
}

void CreateFontSlots(FontSlots& slots, int dpi) {
    const SkinScale scale(dpi);
    for (std::size_t slot = 0; slot < kFontSlots.size(); ++slot) {
        const FontSlotRow& row = kFontSlots[slot];
        LOGFONTW font{};
        font.lfHeight = scale.Px(row.height);
        font.lfWeight = row.weight;
        font.lfEscapement = row.escapement;
        font.lfOrientation = row.orientation;
        font.lfQuality = kFontQuality;
        std::wstring face = Wide(row.face);
        wcsncpy_s(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
        slots[slot].Reset(CreateFontIndirectW(&font));
    }
}
