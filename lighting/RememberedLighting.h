// The lighting the program remembers between runs: what the last Apply, Reset or power toggle sent, kept as six
// REG_DWORD values in the settings key, and the "RestoreLighting" switch that sends it again at start. A value
// that is missing, not 4 bytes or out of range reads as "nothing remembered" for that field alone.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/Settings.h"

// The remembered values' names, written once.
inline constexpr std::u16string_view kRememberedModeValue = u"CurrentMode";
inline constexpr std::u16string_view kRememberedRedValue = u"CurrentRed";
inline constexpr std::u16string_view kRememberedGreenValue = u"CurrentGreen";
inline constexpr std::u16string_view kRememberedBlueValue = u"CurrentBlue";
inline constexpr std::u16string_view kRememberedSpeedValue = u"CurrentSpeed";
inline constexpr std::u16string_view kRememberedPowerValue = u"LightsOn";
inline constexpr std::u16string_view kRestoreLightingValue = u"RestoreLighting";

// The lighting as sent: mode 1-10, colour, speed step 0-4 (0 the fastest, as sent) and the power toggle.
struct LightingChoice {
    std::int32_t mode = 0;
    std::array<std::uint8_t, 3> colour{};
    std::uint8_t speedStep = 0;
    bool on = true;
    friend bool operator==(const LightingChoice&, const LightingChoice&) = default;
};

// What the settings key holds, field by field; an empty field was not remembered (or was damaged).
struct RememberedLighting {
    std::optional<std::int32_t> mode;
    std::array<std::optional<std::uint8_t>, 3> colour{};
    std::optional<std::uint8_t> speedStep;
    std::optional<bool> on;
    friend bool operator==(const RememberedLighting&, const RememberedLighting&) = default;
};

RememberedLighting ReadRememberedLighting(ISettingsRegistry& registry);
// Writes the fields of now that differ from what the key holds (known), and records them in known. A failed write
// leaves that field as it was in known, so the next change tries it again.
void WriteRememberedLighting(ISettingsRegistry& registry, const LightingChoice& now, RememberedLighting& known);

// "RestoreLighting": nonzero is on; missing or damaged is off.
bool ReadRestoreLighting(ISettingsRegistry& registry);
bool WriteRestoreLighting(ISettingsRegistry& registry, bool on);

// What a restore at start does: nothing (no mode remembered and not remembered off), or the choice to show and
// send. Fields not remembered take the window's own defaults.
std::optional<LightingChoice> PlanRestore(const RememberedLighting& remembered, const LightingChoice& defaults);
// Whether a restore without the running window (the OnlyApplySettings start) may send the choice: modes 7-10 are
// animated by the window, so only "off" and modes 1-6 go out.
bool SendableWithoutWindow(const LightingChoice& choice);
