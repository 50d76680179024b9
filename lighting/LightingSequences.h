// The lighting command sequences: what a lighting choice sends to the modules, and the animation of modes 7-10.
// Portable: the two library calls and the lighting timer are reached through LightingPort, and the two command
// sets the modules understand come in as SmbusFlags.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "base/Colour.h"
#include "lighting/LightingModes.h"
#include "memory/SmbusBinding.h"
#include "res/SkinLayout.h"

inline constexpr std::int32_t kSpeedStepCount = 5;
inline constexpr std::int32_t kLedCount = 5;

// The main window's lighting timer.
inline constexpr unsigned kLightingTimerId = 22;
inline constexpr std::int32_t kInitialTimerPeriodMs = 130;
// The Direct mode's frame timer: a client's frames go out at most once per period, the latest one each time.
inline constexpr unsigned kDirectFrameTimerId = 23;
inline constexpr std::int32_t kDirectFramePeriodMs = 20;
// A command that found the bus busy is tried again on this timer until it goes out.
inline constexpr unsigned kBusRetryTimerId = 24;
inline constexpr unsigned kBusRetryPeriodMs = 10;
// The second sending of the lighting after a resume.
inline constexpr unsigned kResumeResendTimerId = 25;
inline constexpr unsigned kResumeResendDelayMs = 2000;
// The effect call's speed unit per mode 0-10.
inline constexpr std::array<std::uint16_t, kModeCount + 1> ModeSpeedUnit = {0, 0, 100, 50, 50, 10, 12, 4, 4, 4, 4};

struct LedColour {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
    friend bool operator==(const LedColour&, const LedColour&) = default;
};

inline constexpr std::uint32_t kPaletteSize = 7;
inline constexpr std::array<LedColour, kPaletteSize> RainbowPalette = {{
    {255, 0, 0},
    {255, 100, 0},
    {255, 255, 0},
    {0, 255, 0},
    {0, 100, 255},
    {0, 0, 255},
    {100, 0, 255},
}};

// RGBI2CMode commands: select (a = 2, 3 or 4), parameter (a = number, b = value), LED k (16 + k, a/b/c = r/g/b).
inline constexpr std::uint8_t kCommandSelect = 1;
inline constexpr std::uint8_t kCommandParameter = 2;
inline constexpr std::uint8_t kCommandFirstLed = 16;
// Select 2: the modules' own effect; 3: their colour effects, set by parameters; 4: LEDs driven frame by frame.
inline constexpr std::uint8_t kSelectOwnEffect = 2;
inline constexpr std::uint8_t kSelectColourEffect = 3;
inline constexpr std::uint8_t kSelectFrames = 4;
// Parameters of the colour effects: 0 the effect, 1-3 the speed of effects 1, 3 and 4, 16 whether the modules
// cycle the colours themselves, 17 the rainbow's speed.
inline constexpr std::uint8_t kParamEffect = 0;
inline constexpr std::uint8_t kParamBreathingSpeed = 1;
inline constexpr std::uint8_t kParamSingleFlashSpeed = 2;
inline constexpr std::uint8_t kParamDoubleFlashSpeed = 3;
inline constexpr std::uint8_t kParamOwnColours = 16;
inline constexpr std::uint8_t kParamRainbowSpeed = 17;
// Effect numbers of parameter 0.
inline constexpr std::uint8_t kEffectStatic = 0;
inline constexpr std::uint8_t kEffectBreathing = 1;
inline constexpr std::uint8_t kEffectSingleFlash = 3;
inline constexpr std::uint8_t kEffectDoubleFlash = 4;
inline constexpr std::uint8_t kEffectRainbow = 0;

// What the sequences send through: the SMBus library's two lighting calls and the window's lighting timer.
class LightingPort : public SmbusLightingCalls {
public:
    virtual void StartLightingTimer(std::int32_t periodMs) = 0;
    virtual void StopLightingTimer() = 0;
};

// The three colour boxes as the shell's decimal conversion reads them.
struct ColourBoxValues {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
};

// What the controls show that was not applied (or not yet): the mode and speed buttons, the colour boxes and the
// colour wheel's pick. Choosing sends nothing; Apply, the power toggle and Reset take the choice to the modules.
struct ShownLighting {
    std::int32_t SelectedMode = kModePrismel; // the mode chosen on the mode buttons
    std::int32_t SpeedIndex = 0;              // the speed button last pressed, 0-4
    ColourBoxValues Boxes{};                  // what the colour boxes hold, as last written or typed
    // The colour wheel's pick (its background too, when that was clicked): the swatch and its text show it.
    std::uint32_t WheelColour = ColourRefOf(SKIN_DEFAULT_RED, SKIN_DEFAULT_GREEN, SKIN_DEFAULT_BLUE);
};

// The lighting of the running program, the one model the page is drawn from and every reader asks: what was
// applied, which is what the modules show (the remembered lighting, prismelctl's status and the SDK's controller
// say this), the animation's place, and apart from them what the controls show.
struct LightingState {
    std::int32_t CurrentMode = kModeNone; // the mode last applied
    std::uint8_t SpeedValue = 0;          // the speed step last applied (4 - SpeedIndex at Apply); 0 is the fastest
    // The colour last applied; until then the colour the boxes start with.
    std::uint32_t CurrentColor = ColourRefOf(SKIN_DEFAULT_RED, SKIN_DEFAULT_GREEN, SKIN_DEFAULT_BLUE);
    bool PowerOn = true;                          // the power toggle: on unless the user switched the lights off
    bool Direct = false;                          // a client sends the LEDs frame by frame
    std::array<LedColour, kLedCount> LedColors{}; // the last LED frame built
    std::uint32_t AnimStep = 0;
    std::uint32_t PaletteIndex = 0;
    std::int32_t TimerPeriod = kInitialTimerPeriodMs;
    ShownLighting Shown;
};

// Sends CurrentMode with the boxes' colour and SpeedValue to the command sets the flags name.
void ApplyLighting(LightingState& state, SmbusFlags flags, ColourBoxValues boxes, LightingPort& port);
// Selects mode 6 and sends it at once.
void ResetLighting(LightingState& state, SmbusFlags flags, LightingPort& port);
// The power toggle turning off: both calls go out whatever the flags say.
void SwitchOffLighting(LightingPort& port);
// One lighting-timer tick: the next frame of modes 7-10; nothing for other modes.
void StepAnimation(LightingState& state, LightingPort& port);
// One LED command for LED k (0-4) from LedColors[k].
void SendLedColor(const LightingState& state, std::int32_t k, LightingPort& port);

// The effect call's colour argument: opaque alpha, then red, green, blue down to the low byte.
std::uint32_t EffectColour(ColourBoxValues boxes);
