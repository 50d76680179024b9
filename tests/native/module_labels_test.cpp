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
        std::string maker, type, bus, banks, voltage, facts, jedec, xmp;
    } cases[] = {
        {kEnglish, "Manufacturer", "Memory type", "Bus width", "Banks", "Voltage", "Module", "JEDEC Timing", "XMP"},
        {kSimplifiedChinese, "制造商", "存储类型", "内存位宽", "Banks", "工作电压", "模块", "JEDEC 时序", "XMP"},
        {kTraditionalChinese, "製造商", "記憶體類型", "記憶體位寬", "Banks", "工作電壓", "模組", "JEDEC 時序", "XMP"},
        // A value that names no language gets the English words.
        {3, "Manufacturer", "Memory type", "Bus width", "Banks", "Voltage", "Module", "JEDEC Timing", "XMP"},
        {-1, "Manufacturer", "Memory type", "Bus width", "Banks", "Voltage", "Module", "JEDEC Timing", "XMP"},
    };
    for (const Case& c : cases) {
        const ModuleLabels& labels = ModuleLabelsIn(c.language);
        const std::vector<std::string> rows = Utf8(labels.rows);
        EXPECT_EQ(rows[0], c.maker) << c.language;
        EXPECT_EQ(rows[4], c.type) << c.language;
        EXPECT_EQ(rows[6], c.bus) << c.language;
        EXPECT_EQ(rows[7], c.banks) << c.language;
        EXPECT_EQ(rows[9], c.voltage) << c.language << ": the last line the page shows";
        EXPECT_EQ(rows[10], "test") << c.language << ": the spare row keeps its placeholder";
        EXPECT_EQ(ToUtf8(labels.factsHeading), c.facts) << c.language;
        EXPECT_EQ(ToUtf8(labels.jedecHeading), c.jedec) << c.language;
        EXPECT_EQ(ToUtf8(labels.xmpHeading), c.xmp) << c.language;
    }
}

TEST(ModuleLabels, SimplifiedChineseKeepsThePagesLabelsAndSpdinfoPrintsThem) {
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
    const ModuleLabels& english = ModuleLabelsIn(kEnglish);
    const DecodedModule module = DecodeSpd(image, english.rows);
    ASSERT_EQ(module.rows.size(), static_cast<std::size_t>(kFixedRowCount + kRowsPerXmpProfile));
    std::vector<std::string> labels;
    for (const ModuleInfoRow& row : module.rows) {
        labels.push_back(ToUtf8(row[0]));
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"Manufacturer", "Part number", "Serial number", "Module capacity",
                                                "Memory type", "Memory speed", "Bus width", "Banks", "Ranks", "Voltage",
                                                "test", "", "Memory speed", "Voltage"}));
}

} // namespace
