// The module page's words in each language, and the decoder writing the labels it is given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Language.h"
#include "base/Utf8.h"
#include "memory/ModuleLabels.h"

namespace {

std::vector<std::string> Utf8(const FixedRowLabels& rows) {
    std::vector<std::string> texts;
    for (std::u16string_view row : rows) {
        texts.push_back(ToUtf8(row));
    }
    return texts;
}

TEST(ModuleLabels, EachLanguageHasItsLabelsAndHeadings) {
    struct Case {
        std::int32_t language;
        // Lines 0, 2, 4, 7 and 9 (the last shown), the spare row 10, the three headings.
        std::vector<std::string> words;
    } cases[] = {
        {kEnglish,
         {"Manufacturer", "Serial number", "Memory type", "Banks", "Voltage", "test", "Module", "JEDEC Timing", "XMP"}},
        {kSimplifiedChinese,
         {"制造商", "序列号", "存储类型", "Banks", "工作电压", "test", "Module", "JEDEC Timing", "XMP"}},
        {kTraditionalChinese,
         {"製造商", "序號", "記憶體類型", "Banks", "工作電壓", "test", "Module", "JEDEC Timing", "XMP"}},
    };
    for (const Case& c : cases) {
        const ModuleLabels& l = ModuleLabelsIn(c.language);
        std::vector<std::string> words;
        for (std::u16string_view word : {l.rows[0], l.rows[2], l.rows[4], l.rows[7], l.rows[9], l.rows[10],
                                         l.factsHeading, l.jedecHeading, l.xmpHeading}) {
            words.push_back(ToUtf8(word));
        }
        EXPECT_EQ(words, c.words) << c.language;
    }
    // A value that names no language gets the English words.
    EXPECT_EQ(&ModuleLabelsIn(3), &ModuleLabelsIn(kEnglish));
    EXPECT_EQ(&ModuleLabelsIn(-1), &ModuleLabelsIn(kEnglish));
    // Simplified Chinese keeps the page's labels, and spdinfo prints them.
    const std::vector<std::string> simplified = {"制造商",   "产品编号", "序列号", "模组容量", "存储类型", "存储速度",
                                                 "内存位宽", "Banks",    "Ranks",  "工作电压", "test"};
    EXPECT_EQ(Utf8(ModuleLabelsIn(kSimplifiedChinese).rows), simplified);
    EXPECT_EQ(Utf8(kFixedRowLabels), simplified);
}

TEST(ModuleLabels, TheDecoderWritesTheLabelsItIsGivenOnTheFixedAndTheXmpRows) {
    SpdImage image{};
    image[384] = 0x0C; // one XMP profile
    image[385] = 0x4A;
    image[386] = 0x01;
    const DecodedModule module = DecodeSpd(image, ModuleLabelsIn(kEnglish).rows);
    ASSERT_EQ(module.rows.size(), static_cast<std::size_t>(kFixedRowCount + kRowsPerXmpProfile));
    std::vector<std::string> labels;
    for (std::size_t r : {0, 9, 12, 13}) {
        labels.push_back(ToUtf8(module.rows[r][0]));
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"Manufacturer", "Voltage", "Memory speed", "Voltage"}));
}

} // namespace

namespace {

// A blank part number and serial number read as the page's word for "none", in the page's language; spdinfo keeps
// its Chinese word.
TEST(ModuleLabels, ABlankPartNumberAndSerialShowTheWordForNoneInTheLabelsLanguage) {
    const SpdImage blank{};
    const struct {
        std::int32_t language;
        const char* none;
    } cases[] = {{kEnglish, "None"}, {kSimplifiedChinese, "无"}, {kTraditionalChinese, "無"}};
    constexpr std::size_t kPartRow = 1, kSerialRow = 2;
    for (const auto& c : cases) {
        const ModuleLabels& labels = ModuleLabelsIn(c.language);
        const DecodedModule module = DecodeSpd(blank, labels.rows, labels.none);
        EXPECT_EQ(ToUtf8(module.rows[kPartRow][1]), c.none) << c.language;
        EXPECT_EQ(ToUtf8(module.rows[kSerialRow][1]), c.none) << c.language;
    }
    EXPECT_EQ(ToUtf8(DecodeSpd(blank, kFixedRowLabels).rows[kPartRow][1]), "无");
}

} // namespace
