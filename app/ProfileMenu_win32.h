// The tray menu's "Profiles" submenu: the profiles (the one holding the applied lighting checked; a click loads
// it), "Save current lighting as…" and "Delete" with the same list. Its map is chained into the main window's.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/MessageMap.h"
#include "framework/Wnd.h"
#include "lighting/LightingPage_win32.h"
#include "res/resource.h"

// The "Profiles" submenu of these profiles (a profile holding applied checked, a damaged one greyed), its items
// numbered from ID_TRAY_PROFILE_LOAD_FIRST and ID_TRAY_PROFILE_DELETE_FIRST in the order listed (at most 200).
// Null when the menus cannot be made.
HMENU MakeProfileSubmenu(const std::vector<Profile>& profiles, const LightingChoice& applied);

class CProfileMenu : public CMessageMap {
public:
    CProfileMenu(CWnd& window, CLightingPage& lighting) : m_window(window), m_lighting(lighting) {}

    BEGIN_MSG_MAP(CProfileMenu)
    COMMAND_RANGE_CODE_CALL(ID_TRAY_PROFILE_LOAD_FIRST, ID_TRAY_PROFILE_LOAD_LAST, 0, OnLoad)
    COMMAND_RANGE_CODE_CALL(ID_TRAY_PROFILE_DELETE_FIRST, ID_TRAY_PROFILE_DELETE_LAST, 0, OnDelete)
    COMMAND_CODE_CALL(ID_TRAY_PROFILE_SAVE, 0, OnSave)
    END_MSG_MAP()

    // Puts the submenu into the tray menu's pop-up, with the profiles stored now.
    void AddTo(HMENU popup);

private:
    // A profile's item: loaded as choosing its mode, speed and colour and pressing Apply (or the toggle) would.
    void OnLoad(int id);
    // "Save current lighting as…": the applied lighting under the name given.
    void OnSave();
    // A profile under "Delete", after asking.
    void OnDelete(int id);
    // The name of the item's profile, as listed when the menu was opened.
    const std::u16string* NameOf(int id, int first) const;

    CWnd& m_window;
    CLightingPage& m_lighting;
    std::vector<std::u16string> m_listed;
};
