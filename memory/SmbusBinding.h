// What the program relies on from the SMBus library: the ten entry points it resolves (five of them called),
// and what the answers mean.
#pragma once

#include <array>
#include <cstdint>

enum SmbusEntry : int {
    kInitializeSMB,
    kShutdownSMB,
    kRGBI2CMode,
    kRGBSMBCMD,
    kReadSPD,
    kCheckSPD,
    kSetSWModeRGB,
    kSetSevenColor,
    kSetZorvaEffect,
    kSetZorvaMCU,
    kSmbusEntryCount
};

// Resolved by name in this order.
inline constexpr std::array<const char*, kSmbusEntryCount> kSmbusEntryNames = {
    "InitializeSMB", "ShutdownSMB",  "RGBI2CMode",    "RGBSMBCMD",      "ReadSPD",
    "CheckSPD",      "SetSWModeRGB", "SetSevenColor", "SetZorvaEffect", "SetZorvaMCU",
};

// The two lighting command sets, from CheckSPD's answer: bit 1 command-set modules, bit 2 effect modules.
struct SmbusFlags {
    bool useRgbI2cMode = false;
    bool useSetZorvaEffect = false;
};

inline SmbusFlags FlagsFromCheckSpd(std::uint32_t answer) {
    std::uint32_t low = answer & 0xFFu;
    return {(low & 0x02u) != 0, (low & 0x04u) != 0};
}

// InitializeSMB's answer: the library is ready when the low byte is nonzero.
inline bool SmbusReady(std::uint32_t answer) {
    return (answer & 0xFFu) != 0;
}

// The library's two lighting calls, with the argument widths of its contract; no call names a module.
class SmbusLightingCalls {
public:
    virtual ~SmbusLightingCalls() = default;
    virtual void RgbI2cMode(std::uint8_t command, std::uint8_t a, std::uint8_t b, std::uint8_t c) = 0;
    virtual void SetZorvaEffect(std::uint8_t mode, std::uint16_t speed, std::uint8_t zero, std::uint32_t argb) = 0;
};
