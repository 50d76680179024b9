#include "base/Settings.h"

#include "base/LittleEndian.h"

namespace {

constexpr SettingRow Flag(std::u16string_view name, bool AppSettings::*field) {
    return {name, SettingLoad::NonzeroTrue, false, field, nullptr};
}
constexpr SettingRow Number(std::u16string_view name, SettingLoad load, bool writeBack,
                            std::uint32_t AppSettings::*field) {
    return {name, load, writeBack, nullptr, field};
}

} // namespace

const std::array<SettingRow, 17> kSettingRows = {{
    Number(u"IphonePassWord", SettingLoad::Raw, true, &AppSettings::IphonePassWord),
    Flag(u"OSDClockShow", &AppSettings::OSDClockShow),
    Flag(u"OSDTempShow", &AppSettings::OSDTempShow),
    Flag(u"OSDFramerateShow", &AppSettings::OSDFramerateShow),
    Flag(u"OSDFanSpeedShow", &AppSettings::OSDFanSpeedShow),
    Flag(u"FanTempSet", &AppSettings::FanTempSet),
    Flag(u"RestoreUserSettings", &AppSettings::RestoreUserSettings),
    Flag(u"AutoUpdate", &AppSettings::AutoUpdate),
    Number(u"SamplingPeriod", SettingLoad::Raw, true, &AppSettings::SamplingPeriod),
    Number(u"HighSet", SettingLoad::NonzeroOne, false, &AppSettings::HighSet),
    Number(u"HighSet2", SettingLoad::NonzeroOne, false, &AppSettings::HighSet2),
    Number(u"HighSet3", SettingLoad::NonzeroOne, false, &AppSettings::HighSet3),
    Number(u"FanSpeedTest", SettingLoad::NonzeroOne, false, &AppSettings::FanSpeedTest),
    Number(u"FansSet", SettingLoad::Raw, true, &AppSettings::FansSet),
    Number(u"FansHighSet", SettingLoad::Raw, true, &AppSettings::FansHighSet),
    Number(u"TempSet", SettingLoad::Raw, true, &AppSettings::TempSet),
    Number(u"TemplowSet", SettingLoad::Raw, true, &AppSettings::TemplowSet),
}};

void LoadSettings(ISettingsRegistry& registry, AppSettings& settings) {
    for (const auto& row : kSettingRows) {
        std::uint8_t data[4] = {0, 0, 0, 0};
        std::uint32_t size = sizeof data;
        if (registry.ReadValue(row.name, data, size) && size <= sizeof data) {
            const std::uint32_t value = LoadLe32(data);
            switch (row.load) {
            case SettingLoad::Raw:
                settings.*row.number = value;
                break;
            case SettingLoad::NonzeroTrue:
                settings.*row.flag = value != 0;
                break;
            case SettingLoad::NonzeroOne:
                settings.*row.number = value != 0 ? 1u : 0u;
                break;
            }
        } else if (row.writtenBackWhenMissing) {
            registry.WriteDword(row.name, settings.*row.number);
        }
    }
}

std::optional<std::uint32_t> ReadStoredDword(ISettingsRegistry& registry, std::u16string_view name,
                                             std::uint32_t lowest, std::uint32_t highest) {
    std::uint8_t data[4] = {};
    std::uint32_t size = sizeof data;
    if (!registry.ReadValue(name, data, size) || size != sizeof data) {
        return std::nullopt;
    }
    const std::uint32_t value = LoadLe32(data);
    if (value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}
