#include "memory/ModuleInfoPage_win32.h"

#include <cstdio>
#include <optional>
#include <string>

#include "base/StartupTrace.h"
#include "framework/Accessible.h"
#include "framework/Gdi.h"
#include "framework/Utf16.h"
#include "memory/ModuleDetection.h"
#include "memory/ModuleView.h"
#include "memory/SmbusLibrary_win32.h"
#include "memory/SpdDecode.h"

namespace {

constexpr int kColumnWidth = 100;

// The hidden list control, read as the view's table.
class ListTable final : public ModuleTable {
public:
    explicit ListTable(const CListCtrl& list) : m_list(list) {}
    int RowCount() const override { return m_list.GetItemCount(); }
    std::u16string Cell(int row, int column) const override { return Utf16(m_list.GetItemText(row, column)); }

private:
    const CListCtrl& m_list;
};

// Text straight onto the paint device context, in the view's font; the device context gets its font back at the end.
class PaintCanvas final : public TextCanvas {
public:
    PaintCanvas(HDC dc, HFONT font, const SkinScale& scale) : m_dc(dc), m_viewFont(font), m_scale(scale) {}
    void SelectViewFont() override {
        if (m_viewFont && !m_font) {
            m_font.emplace(m_dc, m_viewFont);
        }
    }
    void SetTextColour(std::uint32_t colour) override { SetTextColor(m_dc, colour); }
    void PutText(int x, int y, std::u16string_view text) override {
        TextOutW(m_dc, m_scale.Px(x), m_scale.Px(y), reinterpret_cast<const wchar_t*>(text.data()),
                 static_cast<int>(text.size()));
    }

private:
    HDC m_dc;
    HFONT m_viewFont;
    SkinScale m_scale;
    std::optional<fw::SelectScope> m_font;
};

} // namespace

void CModuleInfoPage::SetUpModuleInfoTable() {
    m_tableSetUp = true;
    m_table.SetExtendedStyle(m_table.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    // The table is never shown: it holds the rows the module page paints. Without scroll bars to keep up to date,
    // filling it is several times faster.
    m_table.ModifyStyle(0, LVS_NOSCROLL);
    for (int column = 0; column < kModuleInfoColumnCount; ++column) {
        m_table.InsertColumn(column, Wide(kModuleInfoColumns[static_cast<std::size_t>(column)]).c_str(), kColumnWidth,
                             LVCFMT_CENTER);
    }
    for (int row = 0; row < kFixedRowCount; ++row) {
        m_table.InsertItem(row, Wide(m_labels.rows[static_cast<std::size_t>(row)]).c_str());
    }
}

namespace {

// Each probe and module read holds the shared bus; a read passed over is traced.
class TracedBusGate final : public CBusMutexGate {
public:
    using CBusMutexGate::CBusMutexGate;
    bool Take(unsigned long waitMs) override {
        const bool taken = CBusMutexGate::Take(waitMs);
        if (!taken) {
            StartupPhase("bus busy: a module position was passed over");
        }
        return taken;
    }
};

} // namespace

void CModuleInfoPage::DetectModules() {
    TracedBusGate gate(m_library.Bus());
    m_moduleCount = ::DetectModules([&](std::uint8_t first, std::uint8_t second,
                                        std::uint16_t offset) { return m_library.ReadSpd(first, second, offset); },
                                    m_store, &gate);
    for (std::size_t n = 0; n < m_store.size(); ++n) {
        if (m_store[n][0] == 0) {
            continue;
        }
        wchar_t label[16];
        std::swprintf(label, std::size(label), L"DIMM%d", static_cast<int>(n));
        m_shadowList.AddString(label);
        m_selector.AddItem(label, static_cast<int>(n));
    }
}

void CModuleInfoPage::DecodeSelectedModule() {
    const int selected = m_shadowList.GetCurSel();
    if (selected < 0 || static_cast<std::size_t>(selected) >= m_store.size()) {
        return;
    }
    FillTable();
    Fill(DecodeSpd(m_store[static_cast<std::size_t>(selected)], m_labels.rows, m_labels.none));
}

void CModuleInfoPage::DecodeFirstModule() {
    const int selected = m_shadowList.GetCurSel();
    if (selected >= 0 && static_cast<std::size_t>(selected) < m_store.size()) {
        m_firstModule = DecodeSpd(m_store[static_cast<std::size_t>(selected)], m_labels.rows, m_labels.none);
        m_xmpProfileCount = m_firstModule->xmpProfileCount;
    }
}

void CModuleInfoPage::FillTable() {
    if (!m_tableSetUp) {
        SetUpModuleInfoTable();
    }
    if (m_firstModule) {
        const DecodedModule module = std::move(*m_firstModule);
        m_firstModule.reset();
        Fill(module);
    }
}

void CModuleInfoPage::Fill(const DecodedModule& module) {
    for (int row = 0; row + 1 < kFixedRowCount && row < static_cast<int>(module.rows.size()); ++row) {
        m_table.SetItemText(row, 1, Wide(module.rows[static_cast<std::size_t>(row)][1]).c_str());
    }
    for (int row = m_table.GetItemCount() - 1; row >= kFixedRowCount; --row) {
        m_table.DeleteItem(row);
    }
    for (std::size_t row = kFixedRowCount; row < module.rows.size(); ++row) {
        const ModuleInfoRow& cells = module.rows[row];
        const int item = m_table.InsertItem(static_cast<int>(row), Wide(cells[0]).c_str());
        for (int column = 1; column < kModuleInfoColumnCount; ++column) {
            m_table.SetItemText(item, column, Wide(cells[static_cast<std::size_t>(column)]).c_str());
        }
    }
    m_xmpProfileCount = module.xmpProfileCount;
    m_dialog.Invalidate(false);
    fw::RaiseDescriptionChange(m_selector.m_hWnd); // the selector's description is the view's text
}

void CModuleInfoPage::Paint(HDC dc, std::int32_t subPage, const SkinScale& scale) const {
    ListTable table(m_table);
    PaintCanvas canvas(dc, m_viewFont, scale);
    DrawModuleSubPage(table, subPage, m_xmpProfileCount, m_labels, canvas);
}

std::wstring CModuleInfoPage::Text(std::int32_t subPage) const {
    const std::u16string text = ModuleViewText(ListTable(m_table), subPage, m_xmpProfileCount, m_labels);
    return std::wstring(text.begin(), text.end());
}

void CModuleInfoPage::OnModuleSelected() {
    m_shadowList.SetCurSel(m_selector.GetCurSel());
    DecodeSelectedModule();
}
