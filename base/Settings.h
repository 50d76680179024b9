// The persistent settings: seventeen 32-bit values in the settings key of the machine-wide registry, loaded once
// when the application object is built. Only RestoreUserSettings steers this program; the others belong to the
// graphics-card tools of the older code base and are kept so that the stored data keeps its form.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct AppSettings {
    std::uint32_t IphonePassWord = 635281;
    bool OSDClockShow = false;
    bool OSDTempShow = true;
    bool OSDFramerateShow = false;
    bool OSDFanSpeedShow = true;
    bool FanTempSet = false;
    bool RestoreUserSettings = true;
    bool AutoUpdate = true;
    std::uint32_t SamplingPeriod = 1;
    std::uint32_t HighSet = 0;
    std::uint32_t HighSet2 = 0;
    std::uint32_t HighSet3 = 0;
    std::uint32_t FanSpeedTest = 0;
    std::uint32_t FansSet = 1;
    std::uint32_t FansHighSet = 1;
    std::uint32_t TempSet = 1;
    std::uint32_t TemplowSet = 1;
};

// The settings key as the program sees it: values read raw, 4 bytes at most, and written as REG_DWORD.
class ISettingsRegistry {
public:
    virtual ~ISettingsRegistry() = default;
    // Reads a value into data (capacity 4); size is 4 on entry and the number of bytes read on success.
    // A value of more than 4 bytes fails.
    virtual bool ReadValue(std::u16string_view name, std::uint8_t* data, std::uint32_t& size) = 0;
    virtual bool WriteDword(std::u16string_view name, std::uint32_t value) = 0;
};

enum class SettingLoad {
    Raw,         // the 4 bytes as a little-endian number
    NonzeroTrue, // bool: nonzero is true
    NonzeroOne,  // number: nonzero is 1
};

struct SettingRow {
    std::u16string_view name;
    SettingLoad load;
    bool writtenBackWhenMissing;
    bool AppSettings::*flag;            // for NonzeroTrue
    std::uint32_t AppSettings::*number; // for Raw and NonzeroOne
};

// The seventeen values, in the order they are loaded.
extern const std::array<SettingRow, 17> kSettingRows;

// Reads every row in order into settings (which holds the defaults); a missing value keeps its default and,
// for the six written-back rows, is written with its default (the write's result is ignored).
void LoadSettings(ISettingsRegistry& registry, AppSettings& settings);

// The program's own values beside the seventeen, one character type for every setting name (the remembered
// lighting's are in lighting/RememberedLighting.h).
// The shared SMBus mutex taken around every library call: on unless this value is 0.
inline constexpr std::u16string_view kSharedSmbusAccessValue = u"SharedSmbusAccess";
// The lights switched off while the PC sleeps: on when nonzero, off when missing.
inline constexpr std::u16string_view kLightsOffWhileAsleepValue = u"LightsOffWhileAsleep";
// The SDK server: allowed (nonzero) or not (zero or missing), and its port (missing or out of range: the default).
inline constexpr std::u16string_view kSdkServerValue = u"SdkServer";
inline constexpr std::u16string_view kSdkServerPortValue = u"SdkServerPort";

// One stored 32-bit value within lowest-highest, or nothing when missing, not 4 bytes or out of that range.
std::optional<std::uint32_t> ReadStoredDword(ISettingsRegistry& registry, std::u16string_view name,
                                             std::uint32_t lowest = 0, std::uint32_t highest = UINT32_MAX);

// A subkey of the settings key that holds named binary values (the lighting profiles). Reading is bounded: at most
// maxValues values, names of at most maxNameUnits UTF-16 units and data of at most maxBytes bytes; a value whose
// name or data is longer is listed with its data cut to nothing and `tooLong` set, so that it reads as damaged.
struct NamedValue {
    std::u16string name;
    std::vector<std::uint8_t> data;
    bool tooLong = false;
};
class ISettingsList {
public:
    virtual ~ISettingsList() = default;
    virtual std::vector<NamedValue> ReadAll(std::size_t maxValues, std::size_t maxNameUnits, std::size_t maxBytes) = 0;
    virtual bool WriteBinary(std::u16string_view name, const std::vector<std::uint8_t>& data) = 0;
    virtual bool Remove(std::u16string_view name) = 0;
};
