#include "sdk/SdkController.h"

#include <algorithm>
#include <array>

namespace sdk {

namespace {

bool HasDirect(SmbusFlags flags) {
    return flags.useRgbI2cMode;
}

std::uint32_t FirstPageModeIndex(SmbusFlags flags) {
    return HasDirect(flags) ? 1u : 0u;
}

Rgb RgbOf(std::uint32_t colour) {
    return {RedOf(colour), GreenOf(colour), BlueOf(colour)};
}

ModeDescription PageMode(std::int32_t mode, const LightingSnapshot& lighting) {
    const ModeFacts& row = FactsOf(mode);
    ModeDescription description;
    description.name = kModeNames[static_cast<std::size_t>(mode)];
    description.value = mode;
    if (row.sendsSpeed) {
        description.flags |= kModeHasSpeed;
        description.speedMin = kSpeedFirst;
        description.speedMax = kSpeedLast;
        description.speed = static_cast<std::uint32_t>(lighting.speedIndex) + kSpeedFirst;
    }
    if (row.sendsColour) {
        description.flags |= kModeHasModeSpecificColour;
        description.coloursMin = 1;
        description.coloursMax = 1;
        description.colourMode = kColourModeSpecific;
        description.colours = {RgbOf(lighting.colour)};
    }
    return description;
}

} // namespace

LightingSnapshot SnapshotOf(const LightingState& lighting, SmbusFlags flags, bool libraryStarted) {
    const bool applied = lighting.CurrentMode != kModeNone;
    LightingSnapshot snapshot;
    snapshot.flags = flags;
    snapshot.mode = applied ? lighting.CurrentMode : lighting.Shown.SelectedMode;
    snapshot.speedIndex = applied ? SpeedIndexOfStep(lighting.SpeedValue) : lighting.Shown.SpeedIndex;
    snapshot.colour = lighting.CurrentColor;
    snapshot.powerOn = lighting.PowerOn;
    snapshot.direct = lighting.Direct;
    snapshot.leds = lighting.LedColors;
    snapshot.libraryStarted = libraryStarted;
    return snapshot;
}

std::uint32_t ModeCount(SmbusFlags flags) {
    return FirstPageModeIndex(flags) + kModeCount + 1;
}

ControllerDescription DescribeController(const LightingSnapshot& lighting) {
    ControllerDescription controller;
    controller.name = "Zorva Prismel DDR4";
    controller.vendor = "Zorva";
    // A client that finds no lighting to drive is told why, where OpenRGB shows a device's description.
    controller.description = lighting.libraryStarted ? "RGB DDR4 memory modules"
                                                     : "RGB DDR4 memory modules: " + std::string(kLibraryNotStarted);
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
    const ModeFacts& row = FactsOf(target.mode);
    target.speedIndex = currentSpeedIndex;
    if (row.sendsSpeed) {
        target.speedIndex = static_cast<std::int32_t>(std::clamp(request.speed, kSpeedFirst, kSpeedLast) - kSpeedFirst);
    }
    if (row.sendsColour && request.colour) {
        target.colour = ColourRefOf(request.colour->red, request.colour->green, request.colour->blue);
    }
    return target;
}

} // namespace sdk
