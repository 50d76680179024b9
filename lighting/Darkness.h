// Dark when nobody is looking: the modules are dark while the user's power toggle is off or any dark reason holds
// (the PC asleep, the display off, the session locked, no input for a while, the night). Going dark sends the off
// sequence; while dark, what the user chooses is kept (and remembered) but nothing goes out; when the last reason
// ends, what the user last chose goes out again, and nothing while the toggle is off. The toggle always shows the
// user's choice. Portable: the rule, the night window and the idle rule; the Win32 side turns messages into events.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Settings.h"

enum DarkReason : std::uint8_t {
    kDarkAsleep = 1 << 0,
    kDarkDisplayOff = 1 << 1,
    kDarkLocked = 1 << 2,
    kDarkIdle = 1 << 3,
    kDarkNight = 1 << 4,
};
inline constexpr std::uint8_t kDarkReasonsAll = 0x1F;
// The reasons by name, in the order of their bits, as prismelctl and the tray tip say them.
inline constexpr std::array<std::string_view, 5> kDarkReasonNames = {"asleep", "display off", "locked", "idle",
                                                                     "night"};

// What a change of the reasons sends.
enum class DarkChange {
    None,
    GoDark,  // the off sequence: the modules really off, and the animation stopped
    Restore, // what the user last chose: the mode with its speed and colour, or a client's last Direct frame
};

class Darkness {
public:
    // A reason begins (holds = true) or ends, with the user's toggle on or off.
    DarkChange Set(DarkReason reason, bool holds, bool toggleOn);
    bool Dark() const { return m_reasons != 0; }
    std::uint8_t Reasons() const { return m_reasons; }

private:
    std::uint8_t m_reasons = 0;
};

// The reasons as words: "display off, locked"; empty when none holds.
std::string DescribeDarkReasons(std::uint8_t reasons);

// ---- The night ---------------------------------------------------------------------------------------------------
inline constexpr std::int32_t kMinutesPerDay = 24 * 60;
inline constexpr std::int32_t kDefaultNightFrom = 23 * 60;
inline constexpr std::int32_t kDefaultNightTo = 7 * 60;

// From `from` to `to`, minutes after midnight of local time; it spans midnight when to < from.
struct NightWindow {
    std::int32_t from = kDefaultNightFrom;
    std::int32_t to = kDefaultNightTo;
    friend bool operator==(const NightWindow&, const NightWindow&) = default;
};
// The window the stored times give: both in 0-1439 and different, else not set (nothing).
std::optional<NightWindow> NightWindowOf(std::optional<std::uint32_t> from, std::optional<std::uint32_t> to);
bool InNight(const NightWindow& night, std::int32_t minuteOfDay);
// Minutes from minuteOfDay (0-1439) to the next start or end of the window, 1-1440.
std::int32_t MinutesToNightBoundary(const NightWindow& night, std::int32_t minuteOfDay);
// "23:00-07:00"; and back from such a text (H:MM or HH:MM, 00:00-23:59, the two times different).
std::string NightText(const NightWindow& night);
std::optional<NightWindow> ParseNightText(std::string_view text);

// ---- No input for a while -----------------------------------------------------------------------------------------
inline constexpr std::uint32_t kIdleMinutesMax = 1440;
inline constexpr std::uint32_t kDefaultIdleMinutes = 10;
// The idle check never runs more often than this while the user is at the PC.
inline constexpr std::uint32_t kIdleCheckMinMs = 5000;
// While dark for lack of input, the next input is looked for this often.
inline constexpr std::uint32_t kIdleWakeCheckMs = 2000;

// Whether the PC counts as idle after idleMs without input, and when to look again.
struct IdleCheck {
    bool idle = false;
    std::uint32_t nextCheckMs = kIdleCheckMinMs;
};
IdleCheck CheckIdle(std::uint32_t idleMinutes, std::uint32_t idleMs);

// ---- The settings ----------------------------------------------------------------------------------------------
inline constexpr std::u16string_view kLightsOffWithDisplayValue = u"LightsOffWithDisplay";
inline constexpr std::u16string_view kLightsOffWhileLockedValue = u"LightsOffWhileLocked";
inline constexpr std::u16string_view kLightsOffAfterIdleValue = u"LightsOffAfterIdleMinutes";
inline constexpr std::u16string_view kLightsOffAtNightValue = u"LightsOffAtNight";
inline constexpr std::u16string_view kNightFromValue = u"NightFrom";
inline constexpr std::u16string_view kNightToValue = u"NightTo";

// Which reasons the user turned on. A value that is missing or does not read counts as off.
struct DarkSettings {
    bool asleep = false;
    bool display = false;
    bool locked = false;
    std::uint32_t idleMinutes = 0; // 0: never
    bool night = false;
    NightWindow nightWindow; // the stored window, or 23:00-07:00
    friend bool operator==(const DarkSettings&, const DarkSettings&) = default;
};
DarkSettings ReadDarkSettings(ISettingsRegistry& registry);
// Writes every value that differs from `before`; false when a write failed.
bool WriteDarkSettings(ISettingsRegistry& registry, const DarkSettings& now, const DarkSettings& before);
