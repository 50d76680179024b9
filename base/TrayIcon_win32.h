// The tray icon: adding and removing it, and a balloon at it.
#pragma once

#include <windows.h>

#include "framework/MessageMap.h"
#include "res/resource.h"

// Adds the tray icon of window (icon 128 of the program at the small-icon size of `dpi`, message 0 as the tip,
// callback WM_TRAY_NOTIFY) and asks for the shell's version 4 of the callback, which serves the keyboard too.
void AddTrayIcon(HWND window, int dpi = 96);
// Gives the tray icon the small-icon size of another DPI.
void ModifyTrayIcon(HWND window, int dpi);
void RemoveTrayIcon(HWND window);
// Puts another tip on the tray icon (what the pointer shows over it).
void SetTrayTip(HWND window, const wchar_t* tip);
// The message the shell broadcasts when the taskbar is made again (Explorer restarted): icons must be added anew.
UINT TaskbarCreatedMessage();
// Puts a checkable item between the tray menu pop-up's first two separators, above the items put there before.
void InsertTrayCheckItem(HMENU popup, UINT id, const wchar_t* text, bool checked);
// Shows text once in a balloon at the tray icon.
void ShowTrayBalloon(HWND window, const wchar_t* text);

// The tray icon's callback (the shell's version 4): the event in lParam's low word (a mouse message, NIN_SELECT,
// NIN_KEYSELECT or WM_CONTEXTMENU), and the icon's place on the screen in wParam, where a menu opened from the
// keyboard goes.
template <> struct MessageParams<WM_TRAY_NOTIFY> {
    static auto Of(WPARAM wParam, LPARAM lParam) {
        return std::tuple(static_cast<UINT>(LOWORD(lParam)),
                          POINT{static_cast<short>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam))});
    }
};
