// The tray menu's "Lights off" submenu: one checkable item per dark rule (the PC asleep, the display off, the PC
// locked, no input for a while, the night), each written to the settings at once. Its map is chained into the main
// window's.
#pragma once

#include <windows.h>

#include <string>

#include "framework/MessageMap.h"
#include "lighting/Darkness.h"
#include "lighting/LightingPage_win32.h"
#include "res/resource.h"

// The submenu for these rules, in the program's language; the idle and night items show the stored minutes and
// times (10 minutes and 23:00-07:00 when none are stored). Null when it cannot be made.
HMENU MakeDarkSubmenu(const DarkSettings& rules);
// The tray tip: the product's name, and while dark the reasons in the program's language.
std::wstring DarkTip(std::uint8_t reasons);

class CDarkMenu : public CMessageMap {
public:
    explicit CDarkMenu(CLightingPage& lighting) : m_lighting(lighting) {}

    BEGIN_MSG_MAP(CDarkMenu)
    COMMAND_ID_CALL(ID_TRAY_LIGHTS_OFF_ASLEEP, OnAsleep)
    COMMAND_ID_CALL(ID_TRAY_LIGHTS_OFF_DISPLAY, OnDisplay)
    COMMAND_ID_CALL(ID_TRAY_LIGHTS_OFF_LOCKED, OnLocked)
    COMMAND_ID_CALL(ID_TRAY_LIGHTS_OFF_IDLE, OnIdle)
    COMMAND_ID_CALL(ID_TRAY_LIGHTS_OFF_NIGHT, OnNight)
    END_MSG_MAP()

    // Puts the submenu into the tray menu's pop-up.
    void AddTo(HMENU popup) const;

private:
    // Each item turns its rule over and stores it at once.
    void OnAsleep() {
        Change([](DarkSettings& rules) { rules.asleep = !rules.asleep; });
    }
    void OnDisplay() {
        Change([](DarkSettings& rules) { rules.display = !rules.display; });
    }
    void OnLocked() {
        Change([](DarkSettings& rules) { rules.locked = !rules.locked; });
    }
    void OnIdle() {
        Change([](DarkSettings& rules) { rules.idleMinutes = rules.idleMinutes ? 0 : kDefaultIdleMinutes; });
    }
    void OnNight() {
        Change([](DarkSettings& rules) { rules.night = !rules.night; });
    }
    template <class Edit> void Change(Edit edit) {
        DarkSettings rules = m_lighting.DarkRules();
        edit(rules);
        m_lighting.SetDarkRules(rules);
    }

    CLightingPage& m_lighting;
};
