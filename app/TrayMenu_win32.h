// The tray icon's pop-up menu in the program's language.
#pragma once

#include <windows.h>

#include "base/TrayIcon_win32.h"
#include "framework/Gdi.h"

// Menu 110 with the texts of its items "Main Window", "About" and "Quit" in the program's language. The pop-up
// is the menu's first sub-menu.
struct TrayMenu {
    fw::UniqueMenu menu;
    HMENU popup;
};
TrayMenu LoadTrayMenu();
// Puts the checkable item "Restore lighting at start" between the first two separators of the pop-up.
void AddRestoreLightingItem(HMENU popup, bool checked);
