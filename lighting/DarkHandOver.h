// prismelctl's dark rules: a request that reads them or sets one, and the program's answer with every rule and the
// reasons that hold now. Two fixed-size versioned records in WM_COPYDATA messages under their own tags.
// Request: version (2 bytes, little-endian), rule (0 none: only read), on (0 or 1), minutes (2 bytes: the idle
// rule's 1-1440), from and to (2 bytes each: the night's minutes after midnight, or both 0xFFFF to keep the stored
// window). Answer: version, the reasons holding now, the rules on (bit 0 asleep, 1 display, 2 locked, 3 night), the
// idle minutes (0: off), the night's from and to.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "lighting/Darkness.h"

// "PDQ1" and "PDA1".
inline constexpr std::uint32_t kDarkRequestTag = 0x31514450u;
inline constexpr std::uint32_t kDarkAnswerTag = 0x31414450u;
inline constexpr std::uint16_t kDarkHandOverVersion = 1;
inline constexpr std::size_t kDarkRecordSize = 10;
inline constexpr std::uint16_t kKeepNightWindow = 0xFFFF;

enum class DarkRule : std::uint8_t { None = 0, Asleep = 1, Display = 2, Locked = 3, Idle = 4, Night = 5 };

struct DarkRequest {
    DarkRule rule = DarkRule::None;
    bool on = false;
    std::uint16_t minutes = 0;
    std::uint16_t from = kKeepNightWindow;
    std::uint16_t to = kKeepNightWindow;
    friend bool operator==(const DarkRequest&, const DarkRequest&) = default;
};

struct DarkAnswer {
    std::uint8_t reasons = 0;
    DarkSettings rules;
    friend bool operator==(const DarkAnswer&, const DarkAnswer&) = default;
};

using DarkRecord = std::array<std::uint8_t, kDarkRecordSize>;
DarkRecord EncodeDarkRequest(const DarkRequest& request);
// Nothing for another size or version, an unknown rule, or a value out of range for the rule.
std::optional<DarkRequest> DecodeDarkRequest(std::span<const std::uint8_t> bytes);
DarkRecord EncodeDarkAnswer(const DarkAnswer& answer);
std::optional<DarkAnswer> DecodeDarkAnswer(std::span<const std::uint8_t> bytes);
// The rules after a request.
DarkSettings ApplyDarkRequest(DarkSettings rules, const DarkRequest& request);
