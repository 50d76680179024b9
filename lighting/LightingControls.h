// The lighting page's own decisions, apart from any window: which images the mode, speed and power buttons get,
// how a colour box's number is kept within 0-255, and what a pick on the colour wheel means.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "lighting/ControlTable.h"
#include "lighting/LightingSequences.h"
#include "lighting/RememberedLighting.h"

inline constexpr int kModeButtonCount = IDC_BTN_MODE_LAST - IDC_BTN_MODE_FIRST + 1;
inline constexpr int kSpeedButtonCount = IDC_BTN_SPEED_LAST - IDC_BTN_SPEED_FIRST + 1;
static_assert(kModeButtonCount == kModeCount && kSpeedButtonCount == kSpeedStepCount);

struct ButtonImages {
    int id;
    int normal;
    int hot;
    friend bool operator==(const ButtonImages&, const ButtonImages&) = default;
};

// The images of a run of buttons with one of them shown selected (its hot image as both images); selected outside
// the run shows none selected.
template <std::size_t N> std::array<ButtonImages, N> RunImages(int firstId, int selectedId) {
    std::array<ButtonImages, N> images{};
    for (std::size_t i = 0; i < N; ++i) {
        const ButtonRow& row = ButtonRowOf(firstId + static_cast<int>(i));
        images[i] = {row.id, row.id == selectedId ? row.hotImage : row.normalImage, row.hotImage};
    }
    return images;
}
inline std::array<ButtonImages, kModeButtonCount> ModeButtonImages(std::int32_t selectedMode) {
    return RunImages<kModeButtonCount>(IDC_BTN_MODE_FIRST, IDC_BTN_MODE_FIRST + selectedMode - 1);
}
inline std::array<ButtonImages, kSpeedButtonCount> SpeedButtonImages(std::int32_t speedIndex) {
    return RunImages<kSpeedButtonCount>(IDC_BTN_SPEED_FIRST, IDC_BTN_SPEED_FIRST + speedIndex);
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

// The power toggle's state is its normal image: on, or off.
inline constexpr bool PowerIsOn(int normalImage) {
    return normalImage == IDB_POWER_ON;
}
inline constexpr int PowerImageAfterClick(int normalImage) {
    return normalImage == IDB_POWER_OFF ? IDB_POWER_ON : IDB_POWER_OFF;
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
