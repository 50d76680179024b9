// The module information view against a table of cells: where each sub-page draws what, the ten-line limit of the
// JEDEC sub-page, blank lines for empty rows, a view with no module, and the labels and headings of the language
// it is given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Language.h"
#include "base/Utf8.h"
#include "memory/ModuleView.h"

namespace {

class FakeTable final : public ModuleTable {
public:
    std::vector<ModuleInfoRow> rows;
    int RowCount() const override { return static_cast<int>(rows.size()); }
    std::u16string Cell(int row, int column) const override {
        return rows.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
    }
};

// Each text drawn as "x,y,colour:text" (text in UTF-8).
class RecordingCanvas final : public TextCanvas {
public:
    std::vector<std::string> drawn;
    bool fontSelected = false;
    void SelectViewFont() override { fontSelected = true; }
    void SetTextColour(std::uint32_t colour) override { colour_ = colour; }
    void PutText(int x, int y, std::u16string_view text) override {
        EXPECT_TRUE(fontSelected) << "every text is drawn in the view's font";
        drawn.push_back(std::to_string(x) + "," + std::to_string(y) + "," +
                        (colour_ == kHeadingColour ? "H"
                         : colour_ == kValueColour ? "V"
                                                   : "?") +
                        ":" + ToUtf8(text));
    }

private:
    std::uint32_t colour_ = 0;
};

// The fixed rows with values "v0".."v9", then jedec JEDEC rows ("J1".."Jn", CL from 10) and xmp profiles.
FakeTable Table(int jedec, int xmp, bool values = true) {
    FakeTable table;
    for (int row = 0; row < kFixedRowCount; ++row) {
        ModuleInfoRow cells;
        cells[0] = std::u16string(kFixedRowLabels[static_cast<std::size_t>(row)]);
        if (values && row < 10) {
            cells[1] = u"v" + std::u16string(1, static_cast<char16_t>(u'0' + row));
        }
        table.rows.push_back(cells);
    }
    for (int j = 1; j <= jedec; ++j) {
        std::string n = std::to_string(j);
        table.rows.push_back({u"J" + std::u16string(n.begin(), n.end()), u"r", u"c", u"3", u"4", u"5", u"6"});
    }
    for (int p = 1; p <= xmp; ++p) {
        table.rows.push_back({u"", u"P", u"", u"", u"", u"", u""});
        table.rows.push_back({u"s", u"S", u"2", u"3", u"4", u"5", u"6"});
        table.rows.push_back({u"v", u"V", u"", u"", u"", u"", u""});
    }
    return table;
}

TEST(ModuleView, FactsPageDrawsLabelsAndValuesOnTheTenLinesInTheLanguageGiven) {
    // The table's own label cells are Simplified Chinese: the labels drawn come from the language given.
    struct Case {
        std::int32_t language;
        std::string first, banks, last, heading;
    } cases[] = {
        {kEnglish, "Manufacturer", "Banks", "Voltage", "Module"},
        {kTraditionalChinese, "製造商", "Banks", "工作電壓", "Module"},
    };
    for (const Case& c : cases) {
        const ModuleLabels& labels = ModuleLabelsIn(c.language);
        FakeTable table = Table(3, 1);
        RecordingCanvas canvas;
        DrawModuleLabels(labels, canvas);
        DrawModuleValues(table, labels, canvas);
        ASSERT_EQ(canvas.drawn.size(), 21u) << c.first;
        EXPECT_EQ(canvas.drawn[0], "217,225,V:" + c.first);
        EXPECT_EQ(canvas.drawn[7], "217,428,V:" + c.banks);
        EXPECT_EQ(canvas.drawn[9], "217,486,V:" + c.last);
        EXPECT_EQ(canvas.drawn[10], "217,185,H:" + c.heading);
        EXPECT_EQ(canvas.drawn[11], "340,225,V:v0");
        EXPECT_EQ(canvas.drawn[20], "340,486,V:v9");

        // Without a module the values are empty and only the labels and the heading are drawn.
        RecordingCanvas empty;
        DrawModuleValues(Table(0, 0, false), labels, empty);
        EXPECT_EQ(empty.drawn, std::vector<std::string>{"217,185,H:" + c.heading});
    }
}

TEST(ModuleView, JedecPageShowsAtMostTenRowsTheHighestLatenciesFirstNumberedAsDecoded) {
    struct Case {
        int jedec;
        int xmp;
        std::string firstLine;
        std::string lastLine;
        std::size_t lines;
    };
    const Case cases[] = {
        {6, 0, "217,225,V:J1", "217,370,V:J6", 6},
        {10, 2, "217,225,V:J1", "217,486,V:J10", 10},
        {14, 1, "217,225,V:J5", "217,486,V:J14", 10},
        {18, 2, "217,225,V:J9", "217,486,V:J18", 10},
        {0, 2, "", "", 0},
    };
    for (const Case& c : cases) {
        FakeTable table = Table(c.jedec, c.xmp);
        RecordingCanvas canvas;
        DrawJedecPage(table, c.xmp, ModuleLabelsIn(kEnglish), canvas);
        ASSERT_EQ(canvas.drawn.size(), 1 + 7 * c.lines) << c.jedec;
        EXPECT_EQ(canvas.drawn[0], "217,185,H:JEDEC Timing");
        if (c.lines > 0) {
            EXPECT_EQ(canvas.drawn[1], c.firstLine) << c.jedec;
            EXPECT_EQ(canvas.drawn[canvas.drawn.size() - 7], c.lastLine) << c.jedec;
            EXPECT_EQ(canvas.drawn.back().substr(0, 4), "843,") << "the seventh column";
        }
    }
}

TEST(ModuleView, XmpPageShowsEachProfilesThreeLinesAndLeavesTitleCellsBlank) {
    FakeTable table = Table(12, 2);
    RecordingCanvas canvas;
    DrawXmpPage(table, 2, ModuleLabelsIn(kEnglish), canvas);
    ASSERT_EQ(canvas.drawn.size(), 1 + 6 * 7u);
    EXPECT_EQ(canvas.drawn[0], "217,185,H:XMP");
    EXPECT_EQ(canvas.drawn[2], "340,225,V:P") << "the title at x = 340 on line 0";
    EXPECT_EQ(canvas.drawn[8], "217,254,V:s");
    EXPECT_EQ(canvas.drawn[15], "217,283,V:v");
    EXPECT_EQ(canvas.drawn.back(), "843,370,V:");

    RecordingCanvas none;
    DrawXmpPage(Table(4, 0), 0, ModuleLabelsIn(kEnglish), none);
    EXPECT_EQ(none.drawn, std::vector<std::string>{"217,185,H:XMP"});
    // A table shorter than its profile count claims never reaches into the fixed rows.
    EXPECT_EQ(XmpRowsShown(kFixedRowCount + 1, 2), (RowSpan{kFixedRowCount, 1}));
    EXPECT_EQ(JedecRowsShown(kFixedRowCount + 1, 2), (RowSpan{kFixedRowCount, 0}));
}

} // namespace

namespace {

// What a screen reader reads of each sub-page: the same texts the page draws, a line at a time from the top.
TEST(ModuleView, EachSubPageReadsAsItsLinesFromTheTop) {
    const FakeTable table = Table(2, 1);
    const ModuleLabels& english = ModuleLabelsIn(kEnglish);
    const std::string facts = ToUtf8(ModuleViewText(table, 1, 1, english));
    EXPECT_EQ(facts.rfind("Module\n", 0), 0u) << facts;
    EXPECT_NE(facts.find("Manufacturer\tv0\n"), std::string::npos) << facts;
    EXPECT_NE(facts.find("Voltage\tv9\n"), std::string::npos) << facts;
    const std::string jedec = ToUtf8(ModuleViewText(table, 2, 1, english));
    EXPECT_NE(jedec.find("J2\tr\tc\t3\t4\t5\t6\n"), std::string::npos) << jedec;
    const std::string xmp = ToUtf8(ModuleViewText(table, 3, 1, english));
    EXPECT_NE(xmp.find("S\t2\t3\t4\t5\t6\n"), std::string::npos) << xmp;
    EXPECT_EQ(ModuleViewText(table, 4, 1, english), u"");
}

} // namespace
