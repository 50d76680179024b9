#include "framework/Controls.h"

std::wstring CComboBox::GetLBText(int index) const {
    auto length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    auto got = SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == CB_ERR ? 0 : static_cast<std::size_t>(got));
    return text;
}

int CListCtrl::InsertColumn(int column, LPCWSTR heading, int width, int format) const {
    LVCOLUMNW col{};
    col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.fmt = format;
    col.pszText = const_cast<LPWSTR>(heading);
    col.cx = width;
    col.iSubItem = column;
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::InsertItem(int item, LPCWSTR text) const {
    LVITEMW row{};
    row.mask = LVIF_TEXT;
    row.iItem = item;
    row.pszText = const_cast<LPWSTR>(text);
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
}

bool CListCtrl::SetItemText(int item, int subItem, LPCWSTR text) const {
    LVITEMW cell{};
    cell.iSubItem = subItem;
    cell.pszText = const_cast<LPWSTR>(text);
    return SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell)) != FALSE;
}

std::wstring CListCtrl::GetItemText(int item, int subItem) const {
    // The control copies at most the buffer's size; grow until the text fits.
    for (std::size_t capacity = 256; capacity <= 65536; capacity *= 4) {
        std::wstring text(capacity, L'\0');
        LVITEMW cell{};
        cell.iSubItem = subItem;
        cell.pszText = text.data();
        cell.cchTextMax = static_cast<int>(capacity);
        auto got = static_cast<std::size_t>(
            SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell)));
        if (got + 1 < capacity) {
            text.resize(got);
            return text;
        }
    }
    return {};
}

int CListCtrl::GetColumnCount() const {
    HWND header = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

bool CImageList::Create(int width, int height, UINT flags, int initial, int grow) {
    DeleteImageList();
    m_hImageList = ImageList_Create(width, height, flags, initial, grow);
    return m_hImageList != nullptr;
}

void CImageList::AddCopies(HICON icon, int count) const {
    const int first = count > 0 ? Add(icon) : -1;
    if (first < 0) {
        return;
    }
    // The first image as an icon of the list's own size: adding it again needs no scaling and gives the same pixels.
    HICON image = ImageList_GetIcon(m_hImageList, first, ILD_NORMAL);
    for (int i = 1; i < count; ++i) {
        Add(image ? image : icon);
    }
    if (image) {
        DestroyIcon(image);
    }
}

HIMAGELIST CImageList::Detach() {
    HIMAGELIST list = m_hImageList;
    m_hImageList = nullptr;
    return list;
}

void CImageList::DeleteImageList() {
    if (m_hImageList) {
        ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
    }
}
