#include "lighting/DarkHandOver.h"

#include "base/LittleEndian.h"

namespace {

constexpr std::uint8_t kRuleAsleep = 0x01, kRuleDisplay = 0x02, kRuleLocked = 0x04, kRuleNight = 0x08;

bool MinuteOfDay(std::uint16_t value) {
    return value < kMinutesPerDay;
}

} // namespace

DarkRecord EncodeDarkRequest(const DarkRequest& request) {
    DarkRecord bytes{};
    StoreLe16(bytes.data(), kDarkHandOverVersion);
    bytes[2] = static_cast<std::uint8_t>(request.rule);
    bytes[3] = request.on ? 1 : 0;
    StoreLe16(bytes.data() + 4, request.minutes);
    StoreLe16(bytes.data() + 6, request.from);
    StoreLe16(bytes.data() + 8, request.to);
    return bytes;
}

std::optional<DarkRequest> DecodeDarkRequest(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kDarkRecordSize || LoadLe16(bytes.data()) != kDarkHandOverVersion ||
        bytes[2] > static_cast<std::uint8_t>(DarkRule::Night) || bytes[3] > 1) {
        return std::nullopt;
    }
    DarkRequest request{static_cast<DarkRule>(bytes[2]), bytes[3] == 1, LoadLe16(bytes.data() + 4),
                        LoadLe16(bytes.data() + 6), LoadLe16(bytes.data() + 8)};
    const bool keepsWindow = request.from == kKeepNightWindow && request.to == kKeepNightWindow;
    const bool window = MinuteOfDay(request.from) && MinuteOfDay(request.to) && request.from != request.to;
    const bool idle = request.rule == DarkRule::Idle;
    const bool night = request.rule == DarkRule::Night;
    if ((request.rule == DarkRule::None && request.on) ||
        (idle ? (request.on != (request.minutes != 0) || request.minutes > kIdleMinutesMax) : request.minutes != 0) ||
        (night ? !(keepsWindow || (window && request.on)) : !keepsWindow)) {
        return std::nullopt;
    }
    return request;
}

DarkRecord EncodeDarkAnswer(const DarkAnswer& answer) {
    DarkRecord bytes{};
    StoreLe16(bytes.data(), kDarkHandOverVersion);
    bytes[2] = answer.reasons;
    bytes[3] =
        static_cast<std::uint8_t>((answer.rules.asleep ? kRuleAsleep : 0) | (answer.rules.display ? kRuleDisplay : 0) |
                                  (answer.rules.locked ? kRuleLocked : 0) | (answer.rules.night ? kRuleNight : 0));
    StoreLe16(bytes.data() + 4, static_cast<std::uint16_t>(answer.rules.idleMinutes));
    StoreLe16(bytes.data() + 6, static_cast<std::uint16_t>(answer.rules.nightWindow.from));
    StoreLe16(bytes.data() + 8, static_cast<std::uint16_t>(answer.rules.nightWindow.to));
    return bytes;
}

std::optional<DarkAnswer> DecodeDarkAnswer(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kDarkRecordSize || LoadLe16(bytes.data()) != kDarkHandOverVersion ||
        (bytes[2] & ~kDarkReasonsAll) != 0 || (bytes[3] & ~0x0F) != 0 || LoadLe16(bytes.data() + 4) > kIdleMinutesMax) {
        return std::nullopt;
    }
    const auto window = NightWindowOf(LoadLe16(bytes.data() + 6), LoadLe16(bytes.data() + 8));
    if (!window) {
        return std::nullopt;
    }
    DarkAnswer answer;
    answer.reasons = bytes[2];
    answer.rules.asleep = (bytes[3] & kRuleAsleep) != 0;
    answer.rules.display = (bytes[3] & kRuleDisplay) != 0;
    answer.rules.locked = (bytes[3] & kRuleLocked) != 0;
    answer.rules.night = (bytes[3] & kRuleNight) != 0;
    answer.rules.idleMinutes = LoadLe16(bytes.data() + 4);
    answer.rules.nightWindow = *window;
    return answer;
}

DarkSettings ApplyDarkRequest(DarkSettings rules, const DarkRequest& request) {
    switch (request.rule) {
    case DarkRule::None:
        break;
    case DarkRule::Asleep:
        rules.asleep = request.on;
        break;
    case DarkRule::Display:
        rules.display = request.on;
        break;
    case DarkRule::Locked:
        rules.locked = request.on;
        break;
    case DarkRule::Idle:
        rules.idleMinutes = request.minutes;
        break;
    case DarkRule::Night:
        rules.night = request.on;
        if (request.from != kKeepNightWindow) {
            rules.nightWindow = {request.from, request.to};
        }
        break;
    }
    return rules;
}
