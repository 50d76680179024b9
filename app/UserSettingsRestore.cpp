#include "app/UserSettingsRestore.h"

#include <exception>

namespace {

using namespace std::chrono_literals;

// The file's keys of one performance state: clocks by ClockDomain, then the voltage (empty when the state has none).
struct StateKeys {
    PerfState state;
    std::array<std::u16string_view, 3> clocks;
    std::u16string_view voltage;
};

// "Shader3DPerformaceClock" is spelt so in the files that exist.
constexpr std::array<StateKeys, 3> StoredStateKeys = {{
    {PerfState::Mode2D, {u"Gpu2DClock", u"Shader2DClock", u"Memory2DClock"}, u"Gpu2DVolt"},
    {PerfState::Mode3DLowPower, {u"Gpu3DLowPowerClock", u"Shader3DLowPowerClock", u"Memory3DLowPowerClock"}, u""},
    {PerfState::Mode3DPerformance,
     {u"Gpu3DPerformanceClock", u"Shader3DPerformaceClock", u"Memory3DPerformanceClock"},
     u"Gpu3DPerformanceVolt"},
}};

constexpr std::int32_t FanModeAuto = 1;
constexpr std::int32_t FanModeManual = 2;
constexpr int DecimalBase = 10;

std::u16string SectionName(std::size_t cardIndex) {
    std::u16string name = u"Gpu";
    for (const char digit : std::to_string(cardIndex + 1)) {
        name += static_cast<char16_t>(digit);
    }
    return name;
}

// Whether the section names this card: its "Id" equals the card's identifier, ignoring case.
bool SectionMatches(const CIni& ini, std::u16string_view section, const GpuCardInfo& card) {
    char16_t id[256];
    return ini.ReadString(section, u"Id", id) && EqualIgnoringCase(id, card.identifier);
}

void RestoreCard(const CIni& ini, std::u16string_view section, std::size_t index, const GpuCardInfo& card,
                 IGpuSettingsTarget& target) {
    std::int32_t value = 0;
    for (const StateKeys& keys : StoredStateKeys) {
        const std::optional<GpuPerfStateLimits>& limits = card.states[static_cast<std::size_t>(keys.state)];
        if (!limits) {
            continue;
        }
        for (std::size_t domain = 0; domain < keys.clocks.size(); ++domain) {
            const std::optional<ValueRange>& range = limits->clocks[domain];
            if (range && ini.ReadInt(section, keys.clocks[domain], value, DecimalBase) && range->Contains(value)) {
                target.SetClock(index, keys.state, static_cast<ClockDomain>(domain), value);
            }
        }
        if (limits->voltageSteps && !keys.voltage.empty() && ini.ReadInt(section, keys.voltage, value, DecimalBase)) {
            const std::int32_t step = VoltageStep(value);
            if (limits->voltageSteps->Contains(step)) {
                target.SetVoltageStep(index, keys.state, step);
            }
        }
    }

    std::int32_t fanMode = 0;
    if (card.fanSpeed && ini.ReadInt(section, u"FanWorkMode", fanMode, DecimalBase)) {
        if (fanMode == FanModeAuto) {
            target.SetFanAuto(index);
        } else if (fanMode == FanModeManual && ini.ReadInt(section, u"FanSpeed", value, DecimalBase) &&
                   card.fanSpeed->Contains(value)) {
            target.SetFanSpeed(index, value);
            target.Wait(100ms); // the card needs this long to take the manual speed
        }
    }

    if (ini.ReadInt(section, u"AlarmTemperature", value, DecimalBase)) {
        target.SetAlarmTemperature(index, value);
    }
}

} // namespace

std::int32_t VoltageStep(std::int32_t millivolts) {
    // (v - 450) / 12.5 == 2 (v - 450) / 25; integer division truncates toward zero as the conversion does.
    return static_cast<std::int32_t>((std::int64_t{millivolts} - 450) * 2 / 25);
}

int RestoreUserSettings(IIniFileSource& files, IGpuCardList& cards, IGpuSettingsTarget& target,
                        std::u16string_view fileName) noexcept {
    try {
        const std::vector<GpuCardInfo> list = cards.Cards();
        if (list.empty()) {
            return 0;
        }
        CIni ini(files);
        if (!ini.Load(fileName, false)) {
            return 0;
        }
        int restored = 0;
        for (std::size_t index = 0; index < list.size(); ++index) {
            const std::u16string section = SectionName(index);
            if (SectionMatches(ini, section, list[index])) {
                RestoreCard(ini, section, index, list[index], target);
                ++restored;
            }
        }
        ini.Close();
        return restored;
    } catch (const std::exception&) {
        return 0; // start-up goes on whatever happens here
    }
}
