// CMyComboBox: the skin's drop-down list. Owner-drawn: every item and the selection field are 30 pixels high,
// drawn as white text on the dark teal of the list rows (the highlight colour when selected). Each item added with
// AddItem carries its own copy of its text in a record the control owns until its window is destroyed.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "framework/Controls.h"

class CMyComboBox : public CComboBox {
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

    BEGIN_MSG_MAP(CMyComboBox)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

protected:
    void DrawItem(DRAWITEMSTRUCT* item) override;
    void MeasureItem(MEASUREITEMSTRUCT* item) override;

private:
    struct ItemRecord {
        std::wstring text;
    };

    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    const ItemRecord* RecordOf(int index) const;
    void ReleaseRecords();

    int m_itemHeight = 30;
    HIMAGELIST m_imageList = nullptr;
    std::vector<std::unique_ptr<ItemRecord>> m_records;
    int m_textIndent = 10;
};
