#include "sdk/SdkController.h"

#include <algorithm>
#include <array>

namespace sdk {

namespace {

// What a client may set of modes 1-10 (their names are kModeNames).
struct ModeRow {
    bool hasSpeed;
    bool hasColour;
};
constexpr std::array<ModeRow, kModeCount> kModeRows = {{
    {false, true},  // Static
    {true, true},   // Breathing
    {true, true},   // Single flash
    {true, true},   // Double flash
    {true, false},  // Rainbow
    {false, false}, // Prismel
    {true, false},  // Meteor
    {true, false},  // Marquee
    {true, false},  // Twinkle
    {true, false},  // Colour cycle
}};

bool HasDirect(SmbusFlags flags) {
    return flags.useRgbI2cMode;
}

std::uint32_t FirstPageModeIndex(SmbusFlags flags) {
    return HasDirect(flags) ? 1u : 0u;
}

Rgb RgbOf(std::uint32_t colorRef) {
    return {static_cast<std::uint8_t>(colorRef), static_cast<std::uint8_t>(colorRef >> 8),
            static_cast<std::uint8_t>(colorRef >> 16)};
}

std::uint32_t ColourRefOf(Rgb colour) {
    return std::uint32_t{colour.red} | (std::uint32_t{colour.green} << 8) | (std::uint32_t{colour.blue} << 16);
}

ModeDescription PageMode(std::int32_t mode, const LightingSnapshot& lighting) {
    const ModeRow& row = kModeRows[static_cast<std::size_t>(mode - 1)];
    ModeDescription description;
    description.name = kModeNames[static_cast<std::size_t>(mode)];
    description.value = mode;
    if (row.hasSpeed) {
        description.flags |= kModeHasSpeed;
        description.speedMin = kSpeedFirst;
        description.speedMax = kSpeedLast;
        description.speed = static_cast<std::uint32_t>(lighting.speedIndex) + kSpeedFirst;
    }
    if (row.hasColour) {
        description.flags |= kModeHasModeSpecificColour;
        description.coloursMin = 1;
        description.coloursMax = 1;
        description.colourMode = kColourModeSpecific;
        description.colours = {RgbOf(lighting.colour)};
    }
    return description;
}

} // namespace

std::uint32_t ModeCount(SmbusFlags flags) {
    return FirstPageModeIndex(flags) + kModeCount + 1;
}

ControllerDescription DescribeController(const LightingSnapshot& lighting) {
    ControllerDescription controller;
    controller.name = "Zorva Prismel DDR4";
    controller.vendor = "Zorva";
    controller.description = "RGB DDR4 memory modules";
    controller.location = "SMBus library MsIo32.dll";
    controller.zoneName = "All modules";
    if (HasDirect(lighting.flags)) {
        ModeDescription direct;
        direct.name = "Direct";
        direct.value = kValueDirect;
        direct.flags = kModeHasPerLedColour;
        direct.colourMode = kColourModePerLed;
        controller.modes.push_back(direct);
    }
    for (std::int32_t mode = 1; mode <= kModeCount; ++mode) {
        controller.modes.push_back(PageMode(mode, lighting));
    }
    ModeDescription off;
    off.name = "Off";
    off.value = kValueOff;
    controller.modes.push_back(off);

    const std::uint32_t first = FirstPageModeIndex(lighting.flags);
    if (!lighting.powerOn) {
        controller.activeMode = static_cast<std::int32_t>(controller.modes.size() - 1);
    } else if (lighting.direct && HasDirect(lighting.flags)) {
        controller.activeMode = 0;
    } else if (lighting.mode >= 1 && lighting.mode <= kModeCount) {
        controller.activeMode = static_cast<std::int32_t>(first) + lighting.mode - 1;
    } else {
        controller.activeMode = static_cast<std::int32_t>(first) + kModePrismel - 1;
    }
    for (std::size_t k = 0; k < controller.leds.size(); ++k) {
        const LedColour& led = lighting.leds[k];
        controller.leds[k] = {static_cast<std::uint8_t>(led.red), static_cast<std::uint8_t>(led.green),
                              static_cast<std::uint8_t>(led.blue)};
    }
    return controller;
}

ModeTarget TargetOf(SmbusFlags flags, const ModeRequest& request, std::int32_t currentSpeedIndex) {
    const std::uint32_t first = FirstPageModeIndex(flags);
    if (HasDirect(flags) && request.index == 0) {
        return {ModeTarget::Kind::Direct, kModeNone, 0, std::nullopt};
    }
    if (request.index >= ModeCount(flags) - 1) {
        return {ModeTarget::Kind::Off, kModeNone, 0, std::nullopt};
    }
    ModeTarget target;
    target.mode = static_cast<std::int32_t>(request.index - first) + 1;
    const ModeRow& row = kModeRows[static_cast<std::size_t>(target.mode - 1)];
    target.speedIndex = currentSpeedIndex;
    if (row.hasSpeed) {
        target.speedIndex = static_cast<std::int32_t>(std::clamp(request.speed, kSpeedFirst, kSpeedLast) - kSpeedFirst);
    }
    if (row.hasColour && request.colour) {
        target.colour = ColourRefOf(*request.colour);
    }
    return target;
}

} // namespace sdk
