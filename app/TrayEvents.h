// What the tray icon's callback events mean, mouse and keyboard alike. The icon speaks the shell's version 4 (the
// event in the low word of lParam): a left press or NIN_SELECT (a click, released) shows the window, as do
// NIN_KEYSELECT (Enter or Space on the icon); a right press opens the menu, and WM_CONTEXTMENU (Shift+F10, the menu
// key) opens it too, except the one that follows a right press, which has opened it already.
#pragma once

#include <cstdint>

// The events, as the shell sends them.
inline constexpr std::uint32_t kTrayLeftButtonDown = 0x0201;  // WM_LBUTTONDOWN
inline constexpr std::uint32_t kTrayRightButtonDown = 0x0204; // WM_RBUTTONDOWN
inline constexpr std::uint32_t kTrayContextMenu = 0x007B;     // WM_CONTEXTMENU
inline constexpr std::uint32_t kTraySelect = 0x0400;          // NIN_SELECT (WM_USER)
inline constexpr std::uint32_t kTrayKeySelect = 0x0401;       // NIN_KEYSELECT (NIN_SELECT | NINF_KEY)

enum class TrayAction { None, ShowWindow, OpenMenu };

class TrayEvents {
public:
    TrayAction On(std::uint32_t event);

private:
    bool m_menuOpenedByPress = false;
};
