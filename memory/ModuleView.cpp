#include "memory/ModuleView.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kHeadingX = SKIN_MODULE_HEADING_X;
constexpr int kHeadingY = SKIN_MODULE_HEADING_Y;

void DrawHeading(TextCanvas& canvas, std::u16string_view heading) {
    canvas.SelectViewFont();
    canvas.SetTextColour(kHeadingColour);
    canvas.PutText(kHeadingX, kHeadingY, heading);
}

// The seven cells of a row on a line; a row whose cell keyColumn is empty leaves its line blank.
void DrawRows(const ModuleTable& table, RowSpan span, int keyColumn, TextCanvas& canvas) {
    for (int line = 0; line < span.count; ++line) {
        const int row = span.first + line;
        if (table.Cell(row, keyColumn).empty()) {
            continue;
        }
        for (int column = 0; column < kModuleInfoColumnCount; ++column) {
            canvas.PutText(kViewColumnX[static_cast<std::size_t>(column)], ViewLineY(line), table.Cell(row, column));
        }
    }
}

template <std::size_t... I> constexpr std::array<LabelRecord, sizeof...(I)> Labels(std::index_sequence<I...>) {
    return {{{SKIN_MODULE_COLUMN_0_X, ViewLineY(static_cast<int>(I)), static_cast<int>(I), kValueColour}...}};
}
template <std::size_t... I> constexpr std::array<ValueRecord, sizeof...(I)> Values(std::index_sequence<I...>) {
    return {{{static_cast<int>(I), SKIN_MODULE_COLUMN_1_X, ViewLineY(static_cast<int>(I)), SKIN_MODULE_VALUE_RIGHT,
              ViewLineY(static_cast<int>(I)) + SKIN_MODULE_LINE_STEP, kValueColour}...}};
}

} // namespace

const std::array<LabelRecord, kViewLineCount> ModuleLabelLayout = Labels(std::make_index_sequence<kViewLineCount>());
const std::array<ValueRecord, kViewLineCount> ModuleValueLayout = Values(std::make_index_sequence<kViewLineCount>());

RowSpan JedecRowsShown(int rowCount, std::int32_t xmpProfileCount) {
    const int jedecRows = rowCount - kFirstJedecRow - kRowsPerXmpProfile * xmpProfileCount;
    if (jedecRows <= 0) {
        return {kFirstJedecRow, 0};
    }
    const int shown = std::min(jedecRows, kViewLineCount);
    return {kFirstJedecRow + jedecRows - shown, shown};
}

RowSpan XmpRowsShown(int rowCount, std::int32_t xmpProfileCount) {
    const int first = std::max(rowCount - kRowsPerXmpProfile * xmpProfileCount, kFirstJedecRow);
    return {first, std::clamp(rowCount - first, 0, kViewLineCount)};
}

void DrawModuleLabels(const ModuleLabels& labels, TextCanvas& canvas) {
    canvas.SelectViewFont();
    for (const LabelRecord& label : ModuleLabelLayout) {
        canvas.SetTextColour(label.colour);
        canvas.PutText(label.x, label.y, labels.rows[static_cast<std::size_t>(label.row)]);
    }
}

void DrawModuleValues(const ModuleTable& table, const ModuleLabels& labels, TextCanvas& canvas) {
    DrawHeading(canvas, labels.factsHeading);
    for (const ValueRecord& value : ModuleValueLayout) {
        std::u16string text = table.RowCount() > value.row ? table.Cell(value.row, 1) : std::u16string();
        if (text.empty()) {
            continue;
        }
        canvas.SetTextColour(value.colour);
        canvas.PutText(value.left, value.top, text);
    }
}

void DrawJedecPage(const ModuleTable& table, std::int32_t xmpProfileCount, const ModuleLabels& labels,
                   TextCanvas& canvas) {
    DrawHeading(canvas, labels.jedecHeading);
    canvas.SetTextColour(kValueColour);
    DrawRows(table, JedecRowsShown(table.RowCount(), xmpProfileCount), 0, canvas);
}

void DrawXmpPage(const ModuleTable& table, std::int32_t xmpProfileCount, const ModuleLabels& labels,
                 TextCanvas& canvas) {
    DrawHeading(canvas, labels.xmpHeading);
    canvas.SetTextColour(kValueColour);
    DrawRows(table, XmpRowsShown(table.RowCount(), xmpProfileCount), 1, canvas);
}

namespace {

// Keeps what is drawn, where, instead of drawing it.
class TextCollector final : public TextCanvas {
public:
    struct Piece {
        int x;
        int y;
        std::u16string text;
    };
    void SelectViewFont() override {}
    void SetTextColour(std::uint32_t) override {}
    void PutText(int x, int y, std::u16string_view text) override {
        // A text drawn twice in one place (the heading, by the labels and by the values) is read once.
        const bool again = std::any_of(m_pieces.begin(), m_pieces.end(),
                                       [&](const Piece& p) { return p.x == x && p.y == y && p.text == text; });
        if (!text.empty() && !again) {
            m_pieces.push_back({x, y, std::u16string(text)});
        }
    }
    std::u16string Text() {
        std::stable_sort(m_pieces.begin(), m_pieces.end(),
                         [](const Piece& a, const Piece& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
        std::u16string text;
        for (std::size_t i = 0; i < m_pieces.size(); ++i) {
            text += m_pieces[i].text;
            const bool lineEnds = i + 1 == m_pieces.size() || m_pieces[i + 1].y != m_pieces[i].y;
            text += lineEnds ? u'\n' : u'\t';
        }
        return text;
    }

private:
    std::vector<Piece> m_pieces;
};

} // namespace

void DrawModuleSubPage(const ModuleTable& table, std::int32_t subPage, std::int32_t xmpProfileCount,
                       const ModuleLabels& labels, TextCanvas& canvas) {
    switch (subPage) {
    case 1:
        DrawModuleLabels(labels, canvas);
        DrawModuleValues(table, labels, canvas);
        break;
    case 2:
        DrawJedecPage(table, xmpProfileCount, labels, canvas);
        break;
    case 3:
        DrawXmpPage(table, xmpProfileCount, labels, canvas);
        break;
    default:
        break;
    }
}

std::u16string ModuleViewText(const ModuleTable& table, std::int32_t subPage, std::int32_t xmpProfileCount,
                              const ModuleLabels& labels) {
    TextCollector collector;
    DrawModuleSubPage(table, subPage, xmpProfileCount, labels, collector);
    return collector.Text();
}
