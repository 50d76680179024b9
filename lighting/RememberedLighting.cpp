#include "lighting/RememberedLighting.h"

#include "lighting/LightingSequences.h"

namespace {

constexpr std::array<std::u16string_view, 3> kColourValues = {kRememberedRedValue, kRememberedGreenValue,
                                                              kRememberedBlueValue};

template <typename T>
void WriteIfChanged(ISettingsRegistry& registry, std::u16string_view name, T now, std::optional<T>& known) {
    if (known == now) {
        return;
    }
    if (registry.WriteDword(name, static_cast<std::uint32_t>(now))) {
        known = now;
    }
}

} // namespace

RememberedLighting ReadRememberedLighting(ISettingsRegistry& registry) {
    RememberedLighting remembered;
    if (auto mode = ReadStoredDword(registry, kRememberedModeValue, kModeStatic, kModeCount)) {
        remembered.mode = static_cast<std::int32_t>(*mode);
    }
    for (std::size_t i = 0; i < kColourValues.size(); ++i) {
        if (auto channel = ReadStoredDword(registry, kColourValues[i], 0, 255)) {
            remembered.colour[i] = static_cast<std::uint8_t>(*channel);
        }
    }
    if (auto speed = ReadStoredDword(registry, kRememberedSpeedValue, 0, kSpeedStepCount - 1)) {
        remembered.speedStep = static_cast<std::uint8_t>(*speed);
    }
    if (auto on = ReadStoredDword(registry, kRememberedPowerValue, 0, 1)) {
        remembered.on = *on != 0;
    }
    return remembered;
}

void WriteRememberedLighting(ISettingsRegistry& registry, const LightingChoice& now, RememberedLighting& known) {
    if (now.mode >= kModeStatic && now.mode <= kModeCount) {
        WriteIfChanged(registry, kRememberedModeValue, now.mode, known.mode);
    }
    for (std::size_t i = 0; i < kColourValues.size(); ++i) {
        WriteIfChanged(registry, kColourValues[i], now.colour[i], known.colour[i]);
    }
    if (now.speedStep < kSpeedStepCount) {
        WriteIfChanged(registry, kRememberedSpeedValue, now.speedStep, known.speedStep);
    }
    WriteIfChanged(registry, kRememberedPowerValue, now.on, known.on);
}

bool ReadRestoreLighting(ISettingsRegistry& registry) {
    return ReadStoredDword(registry, kRestoreLightingValue, 1, UINT32_MAX).has_value();
}

bool WriteRestoreLighting(ISettingsRegistry& registry, bool on) {
    return registry.WriteDword(kRestoreLightingValue, on ? 1u : 0u);
}

std::optional<LightingChoice> PlanRestore(const RememberedLighting& remembered, const LightingChoice& defaults) {
    const bool off = remembered.on == false;
    if (!remembered.mode && !off) {
        return std::nullopt;
    }
    LightingChoice choice = defaults;
    choice.mode = remembered.mode.value_or(defaults.mode);
    for (std::size_t i = 0; i < choice.colour.size(); ++i) {
        choice.colour[i] = remembered.colour[i].value_or(defaults.colour[i]);
    }
    choice.speedStep = remembered.speedStep.value_or(defaults.speedStep);
    choice.on = !off;
    return choice;
}

bool SendableWithoutWindow(const LightingChoice& choice) {
    return !choice.on || choice.mode < kModeMeteor;
}
