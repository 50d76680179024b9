#include "lighting/LightingSequences.h"

#include <optional>

namespace {

std::uint8_t LowByte(std::int32_t value) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
}

void Select(LightingPort& port, std::uint8_t what) {
    port.RgbI2cMode(kCommandSelect, what, 0, 0);
}

void Parameter(LightingPort& port, std::uint8_t number, std::uint8_t value) {
    port.RgbI2cMode(kCommandParameter, number, value, 0);
}

void SendLedFrame(const LightingState& state, LightingPort& port) {
    for (std::int32_t k = 0; k < kLedCount; ++k) {
        SendLedColor(state, k, port);
    }
}

// All five LEDs in the user's colour, then the frame.
void SendUserFrame(LightingState& state, LightingPort& port) {
    LedColour colour{RedOf(state.CurrentColor), GreenOf(state.CurrentColor), BlueOf(state.CurrentColor)};
    state.LedColors.fill(colour);
    SendLedFrame(state, port);
}

// The speed parameter of a colour effect: its number and value.
struct SpeedParameter {
    std::uint8_t number;
    std::uint8_t value;
};

// Modes 1-4 on command-set modules: select 3, the speed parameter if the effect has one, the effect's number as
// parameter 0, parameter 16 = 0, then all five LEDs in the user's colour.
void SendColourEffect(LightingState& state, LightingPort& port, std::optional<SpeedParameter> speed,
                      std::uint8_t effect) {
    Select(port, kSelectColourEffect);
    if (speed) {
        Parameter(port, speed->number, speed->value);
    }
    Parameter(port, kParamEffect, effect);
    Parameter(port, kParamOwnColours, 0);
    SendUserFrame(state, port);
}

void SendEffect(const LightingState& state, ColourBoxValues boxes, LightingPort& port) {
    std::int32_t mode = state.CurrentMode;
    if (mode < kModeNone || mode > kModeCount) {
        return;
    }
    std::uint32_t multiplier = mode == kModePrismel ? 1u : state.SpeedValue + 1u;
    auto speed = static_cast<std::uint16_t>(multiplier * ModeSpeedUnit[static_cast<std::size_t>(mode)]);
    port.SetZorvaEffect(LowByte(mode), speed, 0, FactsOf(mode).sendsColour ? EffectColour(boxes) : 0u);
}

void SendCommandSet(LightingState& state, LightingPort& port) {
    const std::uint8_t s = state.SpeedValue;
    switch (state.CurrentMode) {
    case kModeNone:
        Select(port, kSelectFrames);
        break;
    case kModeStatic:
        SendColourEffect(state, port, std::nullopt, kEffectStatic);
        break;
    case kModeBreathing:
        SendColourEffect(state, port, SpeedParameter{kParamBreathingSpeed, s}, kEffectBreathing);
        break;
    case kModeSingleFlash:
        SendColourEffect(state, port, SpeedParameter{kParamSingleFlashSpeed, s}, kEffectSingleFlash);
        break;
    case kModeDoubleFlash:
        SendColourEffect(state, port, SpeedParameter{kParamDoubleFlashSpeed, static_cast<std::uint8_t>(8 * s + 24)},
                         kEffectDoubleFlash);
        break;
    case kModeRainbow:
        Select(port, kSelectColourEffect);
        Parameter(port, kParamEffect, kEffectRainbow);
        Parameter(port, kParamRainbowSpeed, static_cast<std::uint8_t>(15 * (s + 4)));
        Parameter(port, kParamOwnColours, 1);
        break;
    case kModePrismel:
        Select(port, kSelectOwnEffect);
        break;
    case kModeMeteor:
    case kModeMarquee:
    case kModeTwinkle:
    case kModeColourCycle:
        Select(port, kSelectFrames);
        state.TimerPeriod = 20 * s + 50;
        port.StartLightingTimer(state.TimerPeriod);
        break;
    default:
        break;
    }
}

void AdvancePalette(LightingState& state) {
    state.PaletteIndex = (state.PaletteIndex + 1) % kPaletteSize;
}

// The one LED lit at each step of modes 7, 8 and 9.
constexpr std::array<std::uint32_t, 5> kMeteorLeds = {0, 1, 2, 3, 4};
constexpr std::array<std::uint32_t, 10> kMarqueeLeds = {0, 1, 2, 3, 4, 4, 3, 2, 1, 0};
constexpr std::array<std::uint32_t, 5> kTwinkleLeds = {0, 4, 1, 3, 2};

void LightOne(LightingState& state, std::uint32_t led) {
    state.LedColors.fill(LedColour{});
    state.LedColors[led] = RainbowPalette[state.PaletteIndex % kPaletteSize];
}

} // namespace

std::uint32_t EffectColour(ColourBoxValues boxes) {
    return 0xFF000000u | (std::uint32_t{LowByte(boxes.red)} << 16) | (std::uint32_t{LowByte(boxes.green)} << 8) |
           std::uint32_t{LowByte(boxes.blue)};
}

void ApplyLighting(LightingState& state, SmbusFlags flags, ColourBoxValues boxes, LightingPort& port) {
    port.StopLightingTimer();
    state.AnimStep = 0;
    state.PaletteIndex = 0;
    state.CurrentColor = ColourRefOf(boxes.red, boxes.green, boxes.blue);
    if (flags.useSetZorvaEffect) {
        SendEffect(state, boxes, port);
    }
    if (flags.useRgbI2cMode) {
        SendCommandSet(state, port);
    }
}

void ResetLighting(LightingState& state, SmbusFlags flags, LightingPort& port) {
    port.StopLightingTimer();
    state.Shown.SelectedMode = kModePrismel;
    state.CurrentMode = kModePrismel;
    if (flags.useRgbI2cMode) {
        Select(port, kSelectOwnEffect);
    }
    if (flags.useSetZorvaEffect) {
        port.SetZorvaEffect(kModePrismel, ModeSpeedUnit[kModePrismel], 0, 0);
    }
}

void SwitchOffLighting(LightingPort& port) {
    port.StopLightingTimer();
    Select(port, kSelectFrames);
    port.SetZorvaEffect(kModeStatic, 0, 0, 0xFF000000u);
}

void SendLedColor(const LightingState& state, std::int32_t k, LightingPort& port) {
    if (k < 0 || k >= kLedCount) {
        return;
    }
    const LedColour& led = state.LedColors[static_cast<std::size_t>(k)];
    port.RgbI2cMode(static_cast<std::uint8_t>(kCommandFirstLed + k), LowByte(led.red), LowByte(led.green),
                    LowByte(led.blue));
}

void StepAnimation(LightingState& state, LightingPort& port) {
    switch (state.CurrentMode) {
    case kModeMeteor:
    case kModeTwinkle: {
        const auto& leds = state.CurrentMode == kModeMeteor ? kMeteorLeds : kTwinkleLeds;
        LightOne(state, leds[state.AnimStep % leds.size()]);
        SendLedFrame(state, port);
        if (++state.AnimStep >= leds.size()) {
            state.AnimStep = 0;
            AdvancePalette(state);
        }
        break;
    }
    case kModeMarquee: {
        std::uint32_t step = state.AnimStep % kMarqueeLeds.size();
        LightOne(state, kMarqueeLeds[step]);
        SendLedFrame(state, port);
        // The colour changes at each end, so the end LED shows twice: in the old colour, then the new one.
        if (step == 4 || step == 9) {
            AdvancePalette(state);
        }
        state.AnimStep = (step + 1) % kMarqueeLeds.size();
        break;
    }
    case kModeColourCycle:
        for (std::uint32_t j = 0; j < kLedCount; ++j) {
            state.LedColors[j] = RainbowPalette[(state.PaletteIndex + 4 + kPaletteSize - j) % kPaletteSize];
        }
        SendLedFrame(state, port);
        AdvancePalette(state);
        state.AnimStep = 0;
        break;
    default:
        break;
    }
}
