// The module information view: what the three sub-pages draw from the decoded table. Portable: the table is read
// through ModuleTable and the text goes straight to a TextCanvas (the paint device context in the program).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "memory/ModuleLabels.h"
#include "memory/SpdDecode.h"
#include "res/SkinLayout.h"

// The decoded module's table of text cells, as the view reads it.
class ModuleTable {
public:
    virtual ~ModuleTable() = default;
    virtual int RowCount() const = 0;
    virtual std::u16string Cell(int row, int column) const = 0;
};

// Where the view's text goes.
class TextCanvas {
public:
    virtual ~TextCanvas() = default;
    virtual void SelectViewFont() = 0; // font slot 0 of the application's font table
    virtual void SetTextColour(std::uint32_t colour) = 0;
    virtual void PutText(int x, int y, std::u16string_view text) = 0;
};

inline constexpr std::uint32_t kHeadingColour = SKIN_COLOUR_HEADING_TEXT;
inline constexpr std::uint32_t kValueColour = SKIN_COLOUR_VALUE_TEXT;
inline constexpr int kViewLineCount = SKIN_MODULE_LINE_COUNT;
inline constexpr int ViewLineY(int line) {
    return SKIN_MODULE_LINE_Y + SKIN_MODULE_LINE_STEP * line;
}
inline constexpr std::array<int, kModuleInfoColumnCount> kViewColumnX = {
    SKIN_MODULE_COLUMN_0_X, SKIN_MODULE_COLUMN_1_X, SKIN_MODULE_COLUMN_2_X, SKIN_MODULE_COLUMN_3_X,
    SKIN_MODULE_COLUMN_4_X, SKIN_MODULE_COLUMN_5_X, SKIN_MODULE_COLUMN_6_X,
};

// Sub-page 1's labels: one line each at x = 217, the label of a fixed row in the page's language.
struct LabelRecord {
    int x;
    int y;
    int row;
    std::uint32_t colour;
};
extern const std::array<LabelRecord, kViewLineCount> ModuleLabelLayout;
// Sub-page 1's values: column 1 of a table row, drawn at the rectangle's top-left.
struct ValueRecord {
    int row;
    int left;
    int top;
    int right;
    int bottom;
    std::uint32_t colour;
};
extern const std::array<ValueRecord, kViewLineCount> ModuleValueLayout;

// The sub-pages, with their labels and headings in the words of one language.
void DrawModuleLabels(const ModuleLabels& labels, TextCanvas& canvas);
void DrawModuleValues(const ModuleTable& table, const ModuleLabels& labels, TextCanvas& canvas);
// The JEDEC rows; a module with more than ten latencies shows the ten highest, which hold its rated speed.
void DrawJedecPage(const ModuleTable& table, std::int32_t xmpProfileCount, const ModuleLabels& labels,
                   TextCanvas& canvas);
void DrawXmpPage(const ModuleTable& table, std::int32_t xmpProfileCount, const ModuleLabels& labels,
                 TextCanvas& canvas);
// Sub-page 1 (labels and values), 2 (JEDEC rows) or 3 (XMP rows) onto the canvas; nothing for another number.
void DrawModuleSubPage(const ModuleTable& table, std::int32_t subPage, std::int32_t xmpProfileCount,
                       const ModuleLabels& labels, TextCanvas& canvas);

// The text a sub-page (1-3) draws, as a screen reader reads it: line by line from the top, each line's pieces from
// the left, a tab between pieces and a line feed after each line. Empty for another sub-page.
std::u16string ModuleViewText(const ModuleTable& table, std::int32_t subPage, std::int32_t xmpProfileCount,
                              const ModuleLabels& labels);

// The table rows a sub-page of rows shows: first row and how many, never more than the ten lines.
struct RowSpan {
    int first;
    int count;
    friend bool operator==(const RowSpan&, const RowSpan&) = default;
};
RowSpan JedecRowsShown(int rowCount, std::int32_t xmpProfileCount);
RowSpan XmpRowsShown(int rowCount, std::int32_t xmpProfileCount);
