// Where the dark reasons come from on Windows: the console display's power setting, the session's lock and unlock,
// the time since the last input, the local time for the night. Each is watched only while the user has its rule on,
// and every message becomes an event of the darkness rule (Darkness.h) through the sink.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/Gdi.h"
#include "framework/MessageMap.h"
#include "framework/Unique.h"
#include "framework/Wnd.h"
#include "lighting/Darkness.h"

// WM_WTSSESSION_CHANGE: the change (WTS_SESSION_LOCK, WTS_SESSION_UNLOCK, ...) and the session.
template <> struct MessageParams<WM_WTSSESSION_CHANGE> {
    static auto Of(WPARAM wParam, LPARAM lParam) {
        return std::tuple(static_cast<UINT>(wParam), static_cast<DWORD>(lParam));
    }
};

// What the watch reports: a reason that begins or ends.
class DarknessSink {
public:
    virtual ~DarknessSink() = default;
    virtual void SetDarkReason(DarkReason reason, bool holds) = 0;
};

// The idle and night checks' timers of the main window.
inline constexpr unsigned kIdleTimerId = 26;
inline constexpr unsigned kNightTimerId = 27;

// Whether this session is locked now: its input desktop cannot be opened and switched to (the Winlogon desktop
// shows). Works from Windows 7 on; a program started while the session is already locked finds out this way.
bool SessionLocked();
// The local time as minutes after midnight.
std::int32_t LocalMinuteOfDay();

class CDarknessWatch : public CMessageMap {
public:
    CDarknessWatch(CWnd& window, DarknessSink& sink) : m_window(window), m_sink(sink) {}
    ~CDarknessWatch() override;
    CDarknessWatch(const CDarknessWatch&) = delete;
    CDarknessWatch& operator=(const CDarknessWatch&) = delete;

    BEGIN_MSG_MAP(CDarknessWatch)
    MESSAGE_CRACKED_OBSERVER(WM_WTSSESSION_CHANGE, OnSessionChange)
    SIGNAL_CALL(WM_TIMECHANGE, CheckNight)
    END_MSG_MAP()

    // Watches what the settings turn on (and stops watching the rest); each reason is looked at once now.
    void Watch(const DarkSettings& settings);
    // A power event the window received: the display's power setting, or a resume (the clock may have moved on
    // through the night, and the user may be back).
    void OnPowerEvent(UINT event, const POWERBROADCAST_SETTING* setting);
    // The idle and night timers.
    void OnTimer(UINT_PTR id);

private:
    void OnSessionChange(UINT change, DWORD session);
    void CheckIdle();
    void CheckNight();
    void WatchDisplay(bool on);
    void WatchSession(bool on);

    CWnd& m_window;
    DarknessSink& m_sink;
    DarkSettings m_settings;
    HPOWERNOTIFY m_displayNotify = nullptr;
    fw::UniqueModule m_wtsapi;
    bool m_sessionRegistered = false;
};
