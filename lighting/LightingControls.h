// The lighting page's own decisions, apart from any window: which mode and speed a button stands for, the power
// toggle's image, the colour boxes and how their numbers are kept within 0-255, and what a wheel pick means.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "lighting/LightingSequences.h"
#include "lighting/RememberedLighting.h"
#include "res/SkinLayout.h"
#include "res/resource.h"

inline constexpr int kModeButtonCount = IDC_BTN_MODE_LAST - IDC_BTN_MODE_FIRST + 1;
inline constexpr int kSpeedButtonCount = IDC_BTN_SPEED_LAST - IDC_BTN_SPEED_FIRST + 1;
static_assert(kModeButtonCount == kModeCount && kSpeedButtonCount == kSpeedStepCount);

// The red, green and blue boxes, in that order, and the colour they hold at start.
inline constexpr std::array<int, 3> kColourBoxIds = {IDC_RED_BOX, IDC_GREEN_BOX, IDC_BLUE_BOX};
inline constexpr std::array<std::int32_t, 3> kDefaultColour = {SKIN_DEFAULT_RED, SKIN_DEFAULT_GREEN, SKIN_DEFAULT_BLUE};
inline constexpr bool IsColourBox(int id) {
    return id == IDC_RED_BOX || id == IDC_GREEN_BOX || id == IDC_BLUE_BOX;
}

inline constexpr std::int32_t ModeOfButton(int id) {
    return id - IDC_BTN_MODE_FIRST + 1;
}
inline constexpr std::int32_t SpeedIndexOfButton(int id) {
    return id - IDC_BTN_SPEED_FIRST;
}
// Speed button 5 (index 4) is the fastest, step 0.
inline constexpr std::uint8_t SpeedValueFor(std::int32_t speedIndex) {
    return static_cast<std::uint8_t>(4 - speedIndex);
}

// The window's choice before anything is applied: mode 6, the default colour, speed button 1 (step 4), on.
inline LightingChoice StartingChoice() {
    return {kModePrismel,
            {static_cast<std::uint8_t>(kDefaultColour[0]), static_cast<std::uint8_t>(kDefaultColour[1]),
             static_cast<std::uint8_t>(kDefaultColour[2])},
            SpeedValueFor(0),
            true};
}
// The speed button (index 0-4) that sends a speed step.
inline constexpr std::int32_t SpeedIndexOfStep(std::uint8_t step) {
    return 4 - static_cast<std::int32_t>(step);
}

// The power toggle shows the model's power state: its on or its off image.
inline constexpr int PowerImageOf(bool on) {
    return on ? IDB_POWER_ON : IDB_POWER_OFF;
}

// A colour box's value kept within 0-255; the text is written back only when the value had to change.
struct ClampedBox {
    std::int32_t value;
    bool writeBack;
};
inline constexpr ClampedBox ClampColourBox(std::int32_t value) {
    if (value > 255) {
        return {255, true};
    }
    if (value < 0) {
        return {0, true};
    }
    return {value, false};
}

// A pick on the wheel: the colour taken, or nothing for the wheel's background outside its disc.
inline constexpr std::optional<std::uint32_t> WheelPick(std::uint32_t picked) {
    if (picked == SKIN_COLOUR_WHEEL_BACKGROUND) {
        return std::nullopt;
    }
    return picked;
}
