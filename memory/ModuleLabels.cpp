#include "memory/ModuleLabels.h"

#include <array>

#include "base/Language.h"

namespace {

// By LanguageIndex. Row 10 is the spare row that the view never shows; it keeps its placeholder in every language.
// The sub-pages' headings are the page's own names in every language, as its users have always read them.
constexpr std::array<ModuleLabels, 3> kLabels = {{
    {{u"Manufacturer", u"Part number", u"Serial number", u"Module capacity", u"Memory type", u"Memory speed",
      u"Bus width", u"Banks", u"Ranks", u"Voltage", u"test"},
     u"Module",
     u"JEDEC Timing",
     u"XMP",
     u"None"},
    {{u"制造商", u"产品编号", u"序列号", u"模组容量", u"存储类型", u"存储速度", u"内存位宽", u"Banks", u"Ranks",
      u"工作电压", u"test"},
     u"Module",
     u"JEDEC Timing",
     u"XMP",
     u"无"},
    {{u"製造商", u"產品編號", u"序號", u"模組容量", u"記憶體類型", u"記憶體速度", u"記憶體位寬", u"Banks", u"Ranks",
      u"工作電壓", u"test"},
     u"Module",
     u"JEDEC Timing",
     u"XMP",
     u"無"},
}};

static_assert(kEnglish == 0 && kSimplifiedChinese == 1 && kTraditionalChinese == 2, "kLabels is in language order");

} // namespace

const FixedRowLabels kFixedRowLabels = kLabels[kSimplifiedChinese].rows;

const ModuleLabels& ModuleLabelsIn(std::int32_t language) {
    if (language < 0 || language >= static_cast<std::int32_t>(kLabels.size())) {
        language = kEnglish;
    }
    return kLabels[static_cast<std::size_t>(language)];
}
