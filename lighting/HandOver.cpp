#include "lighting/HandOver.h"

#include <algorithm>
#include <optional>

#include "base/LittleEndian.h"
#include "lighting/LightingSequences.h"

namespace {

// Request: version (2 bytes, little-endian), command, mode, flags, speed, red, green, blue, 3 zero bytes.
// Status: version, mode, speed, red, green, blue, flags, modules, 3 zero bytes.
constexpr std::uint8_t kFlagColour = 0x01;
constexpr std::uint8_t kRequestFlags = kFlagColour;
constexpr std::uint8_t kFlagOn = 0x01;
constexpr std::uint8_t kFlagRgbI2cMode = 0x02;
constexpr std::uint8_t kFlagZorvaEffect = 0x04;
constexpr std::uint8_t kStatusFlags = kFlagOn | kFlagRgbI2cMode | kFlagZorvaEffect;
constexpr std::size_t kRequestPadding = 9;
constexpr std::size_t kStatusPadding = 9;

void PutVersion(std::span<std::uint8_t> bytes) {
    StoreLe16(bytes.data(), kHandOverVersion);
}

bool VersionMatches(std::span<const std::uint8_t> bytes) {
    return LoadLe16(bytes.data()) == kHandOverVersion;
}

bool PaddingIsZero(std::span<const std::uint8_t> bytes, std::size_t from) {
    return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(),
                       [](std::uint8_t b) { return b == 0; });
}

// What is wrong with a message's frame (its size, version and zero padding), if anything.
std::optional<HandOverRefusal> FrameRefusal(std::span<const std::uint8_t> bytes, std::size_t size,
                                            std::size_t padding) {
    if (bytes.size() != size) {
        return HandOverRefusal::WrongSize;
    }
    if (!VersionMatches(bytes)) {
        return HandOverRefusal::WrongVersion;
    }
    if (!PaddingIsZero(bytes, padding)) {
        return HandOverRefusal::NonzeroPadding;
    }
    return std::nullopt;
}

bool SpeedInRange(std::uint8_t speed, bool allowNone) {
    return (allowNone && speed == 0) || (speed >= 1 && speed <= kSpeedStepCount);
}

} // namespace

RequestBytes EncodeRequest(const HandOverRequest& request) {
    RequestBytes bytes{};
    PutVersion(bytes);
    bytes[2] = static_cast<std::uint8_t>(request.command);
    bytes[3] = request.mode;
    bytes[4] = request.hasColour ? kFlagColour : 0;
    bytes[5] = request.speed;
    std::copy(request.colour.begin(), request.colour.end(), bytes.begin() + 6);
    return bytes;
}

std::variant<HandOverRequest, HandOverRefusal> DecodeRequest(std::span<const std::uint8_t> bytes) {
    if (const auto refusal = FrameRefusal(bytes, kHandOverRequestSize, kRequestPadding)) {
        return *refusal;
    }
    HandOverRequest request;
    const std::uint8_t command = bytes[2];
    if (command < static_cast<std::uint8_t>(HandOverCommand::Mode) ||
        command > static_cast<std::uint8_t>(HandOverCommand::Status)) {
        return HandOverRefusal::UnknownCommand;
    }
    request.command = static_cast<HandOverCommand>(command);
    const bool isMode = request.command == HandOverCommand::Mode;
    request.mode = bytes[3];
    if (isMode ? (request.mode < kModeStatic || request.mode > kModeCount) : request.mode != 0) {
        return HandOverRefusal::BadMode;
    }
    const std::uint8_t flags = bytes[4];
    request.hasColour = (flags & kFlagColour) != 0;
    if ((flags & ~kRequestFlags) != 0 || (request.hasColour && !isMode)) {
        return HandOverRefusal::BadFlags;
    }
    request.speed = bytes[5];
    if (!SpeedInRange(request.speed, true) || (!isMode && request.speed != 0)) {
        return HandOverRefusal::BadSpeed;
    }
    std::copy_n(bytes.begin() + 6, 3, request.colour.begin());
    if (!request.hasColour && request.colour != std::array<std::uint8_t, 3>{}) {
        return HandOverRefusal::NonzeroPadding;
    }
    return request;
}

StatusBytes EncodeStatus(const HandOverStatus& status) {
    StatusBytes bytes{};
    PutVersion(bytes);
    bytes[2] = status.mode;
    bytes[3] = status.speed;
    std::copy(status.colour.begin(), status.colour.end(), bytes.begin() + 4);
    bytes[7] = static_cast<std::uint8_t>((status.on ? kFlagOn : 0) | (status.useRgbI2cMode ? kFlagRgbI2cMode : 0) |
                                         (status.useSetZorvaEffect ? kFlagZorvaEffect : 0));
    bytes[8] = status.modules;
    return bytes;
}

std::variant<HandOverStatus, HandOverRefusal> DecodeStatus(std::span<const std::uint8_t> bytes) {
    if (const auto refusal = FrameRefusal(bytes, kHandOverStatusSize, kStatusPadding)) {
        return *refusal;
    }
    HandOverStatus status;
    status.mode = bytes[2];
    if (status.mode > kModeCount) {
        return HandOverRefusal::BadMode;
    }
    status.speed = bytes[3];
    if (!SpeedInRange(status.speed, false)) {
        return HandOverRefusal::BadSpeed;
    }
    std::copy_n(bytes.begin() + 4, 3, status.colour.begin());
    const std::uint8_t flags = bytes[7];
    if ((flags & ~kStatusFlags) != 0 || bytes[8] > kMaxModules) {
        return HandOverRefusal::BadFlags;
    }
    status.on = (flags & kFlagOn) != 0;
    status.useRgbI2cMode = (flags & kFlagRgbI2cMode) != 0;
    status.useSetZorvaEffect = (flags & kFlagZorvaEffect) != 0;
    status.modules = bytes[8];
    return status;
}
