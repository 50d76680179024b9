// CMyComboBox: the skin's drop-down list. Owner-drawn: every item and the selection field are 30 pixels high,
// drawn as white text on the dark teal of the list rows (the highlight colour when selected). Each item added with
// AddItem carries its own copy of its text in a record the control owns until its window is destroyed.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Accessible.h"
#include "framework/Controls.h"

// For screen readers it has a name and role of its own, the selected item's text as its value, and as its
// description whatever its owner says goes with it (the page it chooses for).
class CMyComboBox : public CComboBox, private fw::AccessibleAnswers {
public:
    CMyComboBox() = default;
    ~CMyComboBox() override;

    // Inserts text at position (-1: at the end) with a record holding a copy of it. Returns the new item's
    // position, or CB_ERR if the insertion failed (nothing added) or the record could not be made (the text stays
    // in the list, without a record).
    int AddItem(LPCWSTR text, int position);
    // Copies the text of item index's record into text and returns 1; returns 0, text unchanged, when the item
    // has no record.
    int GetItemText(int index, std::wstring& text) const;
    // The owner's image list of the items. Kept, not owned, not drawn.
    void SetImageList(HIMAGELIST images) { m_imageList = images; }
    // How far the items' text starts from their left edge (10 pixels at 96 DPI).
    void SetTextIndent(int pixels) { m_textIndent = pixels; }
    // The height of the selection field and of every item, those to come and those listed (30 pixels at 96 DPI).
    void SetItemHeights(int pixels);
    HIMAGELIST GetImageList() const { return m_imageList; }
    // Records alive: one per item added with AddItem until the window is destroyed.
    std::size_t GetRecordCount() const { return m_records.size(); }

    // What a screen reader is told: the name (in the program's language) and the role (ROLE_SYSTEM_*).
    void SetAccessible(std::wstring name, LONG role);
    // The description's source; an empty function or text gives none.
    void SetAccessibleDescription(std::function<std::wstring()> description) { m_description = std::move(description); }

    BEGIN_MSG_MAP(CMyComboBox)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_GETOBJECT, OnGetObject)
    END_MSG_MAP()

protected:
    void DrawItem(DRAWITEMSTRUCT* item) override;
    void MeasureItem(MEASUREITEMSTRUCT* item) override;

private:
    struct ItemRecord {
        std::wstring text;
    };

    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnGetObject(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    // fw::AccessibleAnswers
    std::wstring AccessibleName() const override { return m_accessibleName; }
    LONG AccessibleRole() const override { return m_accessibleRole; }
    std::wstring AccessibleValue() const override;
    std::wstring AccessibleDescription() const override { return m_description ? m_description() : std::wstring(); }
    const ItemRecord* RecordOf(int index) const;
    void ReleaseRecords();

    int m_itemHeight = 30;
    HIMAGELIST m_imageList = nullptr;
    std::vector<std::unique_ptr<ItemRecord>> m_records;
    int m_textIndent = 10;
    std::wstring m_accessibleName;
    LONG m_accessibleRole = ROLE_SYSTEM_COMBOBOX;
    std::function<std::wstring()> m_description;
    fw::AccessibleSlot m_accessible{m_hWnd, *this};
};
