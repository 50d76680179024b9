// The words of the module information page in each of the program's languages: the labels of the table's fixed
// rows (column 0; the XMP rows repeat the speed and voltage labels) and the headings of the three sub-pages.
// Names that read the same in every language stay as they are: Banks, Ranks, JEDEC, XMP.
#pragma once

#include <cstdint>
#include <string_view>

#include "memory/SpdDecode.h"

struct ModuleLabels {
    FixedRowLabels rows;
    std::u16string_view factsHeading; // sub-page 1
    std::u16string_view jedecHeading; // sub-page 2
    std::u16string_view xmpHeading;   // sub-page 3
    std::u16string_view none;         // a blank part number or serial number
};

// The page's words in a language (a LanguageIndex); the English ones for a value that names no language.
const ModuleLabels& ModuleLabelsIn(std::int32_t language);

// The labels spdinfo prints whatever the system's language: the Simplified Chinese ones, as it always has.
extern const FixedRowLabels kFixedRowLabels;
