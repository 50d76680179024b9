// Thin wrappers for the standard controls the program uses. Each is a CWnd, so it can be bound to a dialog
// control (CDialog::BindControl) or created, and derived control classes see their window's messages first.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/Wnd.h"

class CButton : public CWnd {
public:
    bool Create(LPCWSTR caption, DWORD style, const RECT& rect, HWND parent, UINT id) {
        return CWnd::Create(L"Button", caption, style, rect, parent, id);
    }
    bool CreateThenAttach(LPCWSTR caption, DWORD style, const RECT& rect, HWND parent, UINT id) {
        return CWnd::CreateThenAttach(L"Button", caption, style, rect, parent, id);
    }
};

class CComboBox : public CWnd {
public:
    int AddString(LPCWSTR text) const { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, Text(text))); }
    int InsertString(int index, LPCWSTR text) const {
        return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), Text(text)));
    }
    int DeleteString(int index) const {
        return static_cast<int>(SendMessage(CB_DELETESTRING, static_cast<WPARAM>(index)));
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    int SetItemData(int index, DWORD_PTR data) const {
        return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
    }
    DWORD_PTR GetItemData(int index) const {
        return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index)));
    }
    int SetItemHeight(int index, int height) const {
        return static_cast<int>(SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(index), height));
    }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    std::wstring GetLBText(int index) const;

private:
    static LPARAM Text(LPCWSTR text) { return reinterpret_cast<LPARAM>(text); }
};

// A report-view list control used as a table of text cells.
class CListCtrl : public CWnd {
public:
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    void SetExtendedStyle(DWORD style) const {
        SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
    }
    int InsertColumn(int column, LPCWSTR heading, int width, int format = LVCFMT_LEFT) const;
    int InsertItem(int item, LPCWSTR text) const;
    bool SetItemText(int item, int subItem, LPCWSTR text) const;
    std::wstring GetItemText(int item, int subItem) const;
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    int GetColumnCount() const;
    bool DeleteItem(int item) const { return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item)) != FALSE; }
    bool DeleteAllItems() const { return SendMessage(LVM_DELETEALLITEMS) != FALSE; }
};

// An image list it owns, destroyed with the object unless detached.
class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    bool Create(int width, int height, UINT flags, int initial, int grow);
    int Add(HICON icon) const { return m_hImageList ? ImageList_AddIcon(m_hImageList, icon) : -1; }
    // Adds `count` images of `icon`, scaled to the list's size once.
    void AddCopies(HICON icon, int count) const;
    int GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }
    HIMAGELIST Detach();
    void DeleteImageList();
    operator HIMAGELIST() const { return m_hImageList; }

    HIMAGELIST m_hImageList = nullptr;
};
