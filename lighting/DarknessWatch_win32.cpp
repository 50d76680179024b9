#include "lighting/DarknessWatch_win32.h"

#include <algorithm>

namespace {

// The power settings the display's state comes in (Windows 8 and later; Windows 7 has only the second).
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
// The night is looked at again at least this often, so that a change of the time zone or of daylight saving
// time, which moves the local time without a message, is seen within it.
constexpr std::uint32_t kNightRecheckMaxMs = 15 * 60 * 1000;

using RegisterSessionFn = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSessionFn = BOOL(WINAPI*)(HWND);

template <class F> F Entry(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
}

} // namespace

bool SessionLocked() {
    HDESK desktop = OpenInputDesktop(0, FALSE, DESKTOP_SWITCHDESKTOP);
    if (!desktop) {
        return true;
    }
    const bool locked = !SwitchDesktop(desktop);
    CloseDesktop(desktop);
    return locked;
}

std::int32_t LocalMinuteOfDay() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wHour * 60 + now.wMinute;
}

CDarknessWatch::~CDarknessWatch() {
    WatchDisplay(false);
    WatchSession(false);
}

void CDarknessWatch::Watch(const DarkSettings& settings) {
    m_settings = settings;
    WatchDisplay(settings.display);
    if (!settings.display) {
        m_sink.SetDarkReason(kDarkDisplayOff, false);
    }
    WatchSession(settings.locked);
    m_sink.SetDarkReason(kDarkLocked, settings.locked && SessionLocked());
    if (settings.idleMinutes == 0) {
        m_window.KillTimer(kIdleTimerId);
        m_sink.SetDarkReason(kDarkIdle, false);
    } else {
        CheckIdle();
    }
    if (!settings.night) {
        m_window.KillTimer(kNightTimerId);
        m_sink.SetDarkReason(kDarkNight, false);
    } else {
        CheckNight();
    }
}

void CDarknessWatch::WatchDisplay(bool on) {
    if (on && !m_displayNotify) {
        m_displayNotify =
            RegisterPowerSettingNotification(m_window.m_hWnd, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
        if (!m_displayNotify) {
            m_displayNotify =
                RegisterPowerSettingNotification(m_window.m_hWnd, &kMonitorPowerOn, DEVICE_NOTIFY_WINDOW_HANDLE);
        }
    } else if (!on && m_displayNotify) {
        UnregisterPowerSettingNotification(m_displayNotify);
        m_displayNotify = nullptr;
    }
}

void CDarknessWatch::WatchSession(bool on) {
    if (on && !m_sessionRegistered) {
        // Loaded only for this rule, so that the program's start needs no more libraries than before.
        if (!m_wtsapi) {
            m_wtsapi.Reset(LoadLibraryExW(L"wtsapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        }
        if (const auto registerSession = Entry<RegisterSessionFn>(m_wtsapi.Get(), "WTSRegisterSessionNotification")) {
            m_sessionRegistered = registerSession(m_window.m_hWnd, 0 /* NOTIFY_FOR_THIS_SESSION */) != FALSE;
        }
    } else if (!on && m_sessionRegistered) {
        if (const auto unregister = Entry<UnregisterSessionFn>(m_wtsapi.Get(), "WTSUnRegisterSessionNotification")) {
            unregister(m_window.m_hWnd);
        }
        m_sessionRegistered = false;
    }
}

void CDarknessWatch::OnPowerEvent(UINT event, const POWERBROADCAST_SETTING* setting) {
    if (event == PBT_POWERSETTINGCHANGE) {
        if (!m_settings.display || !setting || setting->DataLength < sizeof(DWORD) ||
            (setting->PowerSetting != kConsoleDisplayState && setting->PowerSetting != kMonitorPowerOn)) {
            return;
        }
        DWORD state = 0;
        std::copy_n(setting->Data, sizeof state, reinterpret_cast<UCHAR*>(&state));
        // 0 off, 1 on, 2 dimmed (not dark).
        m_sink.SetDarkReason(kDarkDisplayOff, state == 0);
        return;
    }
    if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) {
        if (m_settings.night) {
            CheckNight();
        }
        if (m_settings.idleMinutes != 0) {
            CheckIdle();
        }
    }
}

void CDarknessWatch::OnSessionChange(UINT change, DWORD) {
    if (!m_settings.locked) {
        return;
    }
    if (change == WTS_SESSION_LOCK) {
        m_sink.SetDarkReason(kDarkLocked, true);
    } else if (change == WTS_SESSION_UNLOCK) {
        m_sink.SetDarkReason(kDarkLocked, false);
    }
}

void CDarknessWatch::OnTimer(UINT_PTR id) {
    if (id == kIdleTimerId) {
        CheckIdle();
    } else if (id == kNightTimerId) {
        CheckNight();
    }
}

void CDarknessWatch::CheckIdle() {
    if (m_settings.idleMinutes == 0) {
        return;
    }
    LASTINPUTINFO input{sizeof input, 0};
    const DWORD idleMs = GetLastInputInfo(&input) ? GetTickCount() - input.dwTime : 0;
    const IdleCheck check = ::CheckIdle(m_settings.idleMinutes, idleMs);
    m_sink.SetDarkReason(kDarkIdle, check.idle);
    m_window.SetTimer(kIdleTimerId, check.nextCheckMs);
}

void CDarknessWatch::CheckNight() {
    if (!m_settings.night) {
        return;
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::int32_t minute = now.wHour * 60 + now.wMinute;
    m_sink.SetDarkReason(kDarkNight, InNight(m_settings.nightWindow, minute));
    // To the next start or end of the night (to its minute's first second), at most kNightRecheckMaxMs ahead.
    const std::uint64_t untilBoundary = std::uint64_t(MinutesToNightBoundary(m_settings.nightWindow, minute)) * 60000 -
                                        now.wSecond * 1000u - now.wMilliseconds + 50;
    m_window.SetTimer(kNightTimerId, static_cast<UINT>(std::min<std::uint64_t>(untilBoundary, kNightRecheckMaxMs)));
}
