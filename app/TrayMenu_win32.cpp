#include "app/TrayMenu_win32.h"

#include "base/Language.h"
#include "base/MultiLangSupp_win32.h"
#include "res/resource.h"

namespace {

void SetItemText(HMENU menu, UINT position, const wchar_t* text) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = const_cast<wchar_t*>(text);
    SetMenuItemInfoW(menu, position, TRUE, &item);
}

} // namespace

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
    InsertTrayCheckItem(popup, ID_TRAY_RESTORE_LIGHTING, Msg(kMsgRestoreLighting), checked);
}
