#include "skin/MyComboBox_win32.h"

#include <optional>
#include <utility>

#include <algorithm>
#include <new>

#include "framework/Gdi.h"
#include "res/SkinLayout.h"

namespace {

constexpr COLORREF kItemTextColour = SKIN_COLOUR_CONTROL_TEXT;

} // namespace

CMyComboBox::~CMyComboBox() {
    // Normally the records went with the window; an object that outlives nothing still frees them.
    ReleaseRecords();
}

int CMyComboBox::AddItem(LPCWSTR text, int position) {
    const int index = InsertString(position, text ? text : L"");
    if (index < 0) {
        return CB_ERR;
    }
    std::unique_ptr<ItemRecord> record;
    try {
        record = std::make_unique<ItemRecord>(ItemRecord{text ? text : L""});
        m_records.reserve(m_records.size() + 1);
    } catch (const std::bad_alloc&) {
        return CB_ERR;
    }
    if (SetItemData(index, reinterpret_cast<DWORD_PTR>(record.get())) == CB_ERR) {
        return CB_ERR;
    }
    m_records.push_back(std::move(record)); // cannot throw: reserved
    return index;
}

int CMyComboBox::GetItemText(int index, std::wstring& text) const {
    const ItemRecord* record = RecordOf(index);
    if (!record) {
        return 0;
    }
    text = record->text;
    return 1;
}

// Only our own records count: item data that is 0, CB_ERR or anything this control did not attach is no record.
const CMyComboBox::ItemRecord* CMyComboBox::RecordOf(int index) const {
    if (!m_hWnd || index < 0) {
        return nullptr;
    }
    const auto data = GetItemData(index);
    if (data == 0 || data == static_cast<DWORD_PTR>(CB_ERR)) {
        return nullptr;
    }
    const auto found = std::find_if(m_records.begin(), m_records.end(), [data](const auto& record) {
        return reinterpret_cast<DWORD_PTR>(record.get()) == data;
    });
    return found == m_records.end() ? nullptr : found->get();
}

void CMyComboBox::SetItemHeights(int pixels) {
    m_itemHeight = pixels;
    if (!m_hWnd) {
        return;
    }
    for (int index = -1; index < GetCount(); ++index) {
        SetItemHeight(index, pixels);
    }
}

void CMyComboBox::MeasureItem(MEASUREITEMSTRUCT* item) {
    item->itemHeight = static_cast<UINT>(m_itemHeight);
}

// One item: the row fill (highlight and focus rectangle when selected), then the record's text in white, 10 pixels
// in, on one line, vertically centred. The selection field of an empty list (item -1) is not drawn at all.
void CMyComboBox::DrawItem(DRAWITEMSTRUCT* item) {
    if (item->itemID == static_cast<UINT>(-1)) {
        return;
    }
    HDC dc = item->hDC;
    RECT row = item->rcItem;
    const int saved = ::SaveDC(dc);
    ::SetBkMode(dc, TRANSPARENT);
    if (item->itemState & ODS_SELECTED) {
        fw::Brush highlight(::CreateSolidBrush(::GetSysColor(COLOR_HIGHLIGHT)));
        ::FillRect(dc, &row, highlight.Get());
        if (item->itemAction & ODA_FOCUS) {
            ::DrawFocusRect(dc, &row);
        }
    } else {
        fw::Brush fill(::CreateSolidBrush(SKIN_COLOUR_LIST_ROW));
        ::FillRect(dc, &row, fill.Get());
    }
    ::SetTextColor(dc, kItemTextColour);
    if (const ItemRecord* record = RecordOf(static_cast<int>(item->itemID))) {
        RECT text = row;
        text.left += m_textIndent;
        ::DrawTextW(dc, record->text.c_str(), static_cast<int>(record->text.size()), &text, DT_VCENTER | DT_SINGLELINE);
    }
    ::RestoreDC(dc, saved); // the list's DC goes back as it came
}

// Releases the records with the window, from the last item to the first, and empties the list.
LRESULT CMyComboBox::OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    ReleaseRecords();
    return result;
}

LRESULT CMyComboBox::OnGetObject(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    const std::optional<LRESULT> answer = m_accessible.Answer(wParam, static_cast<LONG>(lParam));
    handled = answer.has_value() ? TRUE : FALSE;
    return answer.value_or(0);
}

void CMyComboBox::SetAccessible(std::wstring name, LONG role) {
    const bool renamed = name != m_accessibleName;
    m_accessibleName = std::move(name);
    m_accessibleRole = role;
    if (renamed) {
        fw::RaiseNameChange(m_hWnd);
    }
}

std::wstring CMyComboBox::AccessibleValue() const {
    std::wstring text;
    const int selected = GetCurSel();
    if (selected >= 0 && GetItemText(selected, text) == 0) {
        text.clear();
    }
    return text;
}

void CMyComboBox::ReleaseRecords() {
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        for (int index = GetCount() - 1; index >= 0; --index) {
            if (const ItemRecord* record = RecordOf(index)) {
                SetItemData(index, 0);
                std::erase_if(m_records, [record](const auto& owned) { return owned.get() == record; });
            }
        }
        ResetContent();
    }
    m_records.clear(); // and any whose item the owner deleted
}
