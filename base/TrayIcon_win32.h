// The tray icon: adding and removing it, and a balloon at it.
#pragma once

#include <windows.h>

// Adds the tray icon of window (icon 128 of the program, message 0 as the tip, callback WM_TRAY_NOTIFY).
void AddTrayIcon(HWND window);
void RemoveTrayIcon(HWND window);
// Shows text once in a balloon at the tray icon.
void ShowTrayBalloon(HWND window, const wchar_t* text);
