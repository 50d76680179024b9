// The tray icon: adding and removing it, and its pop-up menu in the program's language.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"

// Adds the tray icon of window (icon 128 of the program, message 0 as the tip, callback WM_TRAY_NOTIFY).
void AddTrayIcon(HWND window);
void RemoveTrayIcon(HWND window);
// Shows text once in a balloon at the tray icon.
void ShowTrayBalloon(HWND window, const wchar_t* text);

// Menu 110 with the texts of its items "Main Window", "About" and "Quit" in the program's language. The pop-up
// is the menu's first sub-menu.
struct TrayMenu {
    fw::UniqueMenu menu;
    HMENU popup;
};
TrayMenu LoadTrayMenu();
// Puts the checkable item "Restore lighting at start" between the first two separators of the pop-up.
void AddRestoreLightingItem(HMENU popup, bool checked);
