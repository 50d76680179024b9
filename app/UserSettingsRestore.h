// Start-up restore of stored graphics-card settings from "UserSettings.txt" (a carry-over of the graphics-card
// layer). Each card the layer reports has a section "Gpu<n>" (n counted from 1, in the layer's order) whose "Id"
// names the card; its stored clocks, voltages and fan settings are applied where the card allows them.
#pragma once

#include "app/Ini.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class PerfState { Mode2D, Mode3DLowPower, Mode3DPerformance };
enum class ClockDomain { Graphics, Shader, Memory };

struct ValueRange {
    std::int32_t min = 0;
    std::int32_t max = 0;
    bool Contains(std::int32_t value) const { return value >= min && value <= max; }
};

struct GpuPerfStateLimits {
    std::array<std::optional<ValueRange>, 3> clocks; // by ClockDomain; empty for a domain the card does not report
    std::optional<ValueRange> voltageSteps;          // empty when the state has no voltage control
};

// What the graphics-card layer reports about one card.
struct GpuCardInfo {
    std::u16string identifier;
    std::array<std::optional<GpuPerfStateLimits>, 3> states; // by PerfState; empty for a state the card lacks
    std::optional<ValueRange> fanSpeed;                      // empty when the card reports no fan control
};

class IGpuCardList {
public:
    virtual ~IGpuCardList() = default;
    virtual std::vector<GpuCardInfo> Cards() = 0;
};

// Applies settings to the card at an index of IGpuCardList::Cards().
class IGpuSettingsTarget {
public:
    virtual ~IGpuSettingsTarget() = default;
    virtual void SetClock(std::size_t card, PerfState state, ClockDomain domain, std::int32_t clock) = 0;
    virtual void SetVoltageStep(std::size_t card, PerfState state, std::int32_t step) = 0;
    virtual void SetFanAuto(std::size_t card) = 0;
    virtual void SetFanSpeed(std::size_t card, std::int32_t speed) = 0;
    virtual void SetAlarmTemperature(std::size_t card, std::int32_t temperature) = 0;
    virtual void Wait(std::chrono::milliseconds time) = 0;
};

// The card list of a machine without the graphics-card library: no cards.
class CNoGpuCards final : public IGpuCardList {
public:
    std::vector<GpuCardInfo> Cards() override { return {}; }
};

// Voltage step of a stored voltage in millivolts: (v - 450) / 12.5, truncated toward zero.
std::int32_t VoltageStep(std::int32_t millivolts);

// Applies the stored settings of every reported card whose section is found; returns how many cards that was.
// Without cards the file is not read. Never fails: a missing file or key just means nothing is applied.
int RestoreUserSettings(IIniFileSource& files, IGpuCardList& cards, IGpuSettingsTarget& target,
                        std::u16string_view fileName = u"UserSettings.txt") noexcept;
