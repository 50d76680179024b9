#include "lighting/TrayMenu_win32.h"

#include <shellapi.h>

#include <cwchar>
#include <iterator>

#include "app/Language.h"
#include "app/MultiLangSupp_win32.h"
#include "res/resource.h"

namespace {

// The first, shortest layout of the notification record: the one every version of the shell takes (152 bytes in
// a 32-bit program, 160 in a 64-bit one).
constexpr DWORD kNotifyRecordSize = NOTIFYICONDATAW_V1_SIZE;
// The balloon needs the second layout, which every shell since the balloons came takes.
constexpr DWORD kBalloonRecordSize = NOTIFYICONDATAW_V2_SIZE;

NOTIFYICONDATAW Record(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = kNotifyRecordSize;
    data.hWnd = window;
    data.uID = IDI_TRAY;
    return data;
}

void SetItemText(HMENU menu, UINT position, const wchar_t* text) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = const_cast<wchar_t*>(text);
    SetMenuItemInfoW(menu, position, TRUE, &item);
}

} // namespace

void AddTrayIcon(HWND window) {
    NOTIFYICONDATAW data = Record(window);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    wcsncpy_s(data.szTip, 64, Msg(kMsgProductName), _TRUNCATE);
    Shell_NotifyIconW(NIM_ADD, &data);
}

void RemoveTrayIcon(HWND window) {
    NOTIFYICONDATAW data = Record(window);
    Shell_NotifyIconW(NIM_DELETE, &data);
}

void ShowTrayBalloon(HWND window, const wchar_t* text) {
    NOTIFYICONDATAW data = Record(window);
    data.cbSize = kBalloonRecordSize;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_WARNING;
    wcsncpy_s(data.szInfo, std::size(data.szInfo), text, _TRUNCATE);
    wcsncpy_s(data.szInfoTitle, std::size(data.szInfoTitle), Msg(kMsgProductName), _TRUNCATE);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

TrayMenu LoadTrayMenu() {
    TrayMenu tray{fw::UniqueMenu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU))), nullptr};
    tray.popup = tray.menu.Get() ? GetSubMenu(tray.menu.Get(), 0) : nullptr;
    if (tray.popup) {
        SetItemText(tray.popup, 0, Msg(kMsgMainWindow));
        SetItemText(tray.popup, 5, Msg(kMsgQuit));
        SetItemText(tray.popup, 3, Msg(kMsgAbout));
    }
    return tray;
}

void AddRestoreLightingItem(HMENU popup, bool checked) {
    constexpr UINT kAfterFirstSeparator = 2;
    InsertMenuW(popup, kAfterFirstSeparator, MF_BYPOSITION | MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED),
                ID_TRAY_RESTORE_LIGHTING, Msg(kMsgRestoreLighting));
}
