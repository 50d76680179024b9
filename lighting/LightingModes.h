// The ten lighting modes: their numbers, their names as printed on their buttons, and what each one sends. The one
// home of these facts for the page, the command sequences, the SDK server, prismelctl and the stand-in's views.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Modes: 0 none applied yet, 1 Static, 2 Breathing, 3 Single flash, 4 Double flash, 5 Rainbow, 6 Prismel,
// 7 Meteor, 8 Marquee, 9 Twinkle, 10 Colour cycle.
inline constexpr std::int32_t kModeNone = 0;
inline constexpr std::int32_t kModeStatic = 1;
inline constexpr std::int32_t kModeBreathing = 2;
inline constexpr std::int32_t kModeSingleFlash = 3;
inline constexpr std::int32_t kModeDoubleFlash = 4;
inline constexpr std::int32_t kModeRainbow = 5;
inline constexpr std::int32_t kModePrismel = 6;
inline constexpr std::int32_t kModeMeteor = 7;
inline constexpr std::int32_t kModeMarquee = 8;
inline constexpr std::int32_t kModeTwinkle = 9;
inline constexpr std::int32_t kModeColourCycle = 10;
inline constexpr std::int32_t kModeCount = 10;

// The modes under their buttons' English names, by number; 0 is "none".
inline constexpr std::array<std::string_view, kModeCount + 1> kModeNames = {
    "none",    "Static", "Breathing", "Single flash", "Double flash", "Rainbow",
    "Prismel", "Meteor", "Marquee",   "Twinkle",      "Colour cycle",
};

// What a mode sends besides its number: the colour of the boxes, the speed step; and whether the lighting timer
// animates it frame by frame on command-set modules.
struct ModeFacts {
    bool sendsColour;
    bool sendsSpeed;
    bool animated;
};
inline constexpr std::array<ModeFacts, kModeCount + 1> kModeFacts = {{
    {false, false, false}, // none
    {true, false, false},  // Static
    {true, true, false},   // Breathing
    {true, true, false},   // Single flash
    {true, true, false},   // Double flash
    {false, true, false},  // Rainbow
    {false, false, false}, // Prismel
    {false, true, true},   // Meteor
    {false, true, true},   // Marquee
    {false, true, true},   // Twinkle
    {false, true, true},   // Colour cycle
}};

// The facts of mode 0-10; a number outside that range has those of "none".
inline constexpr const ModeFacts& FactsOf(std::int32_t mode) {
    return kModeFacts[mode >= kModeNone && mode <= kModeCount ? static_cast<std::size_t>(mode) : 0];
}

// A mode's name as on its button (1-10), or "none" for 0 and anything else.
std::string_view ModeName(std::int32_t mode);
// A mode by its name (case, blanks, '-' and '_' ignored; "color" for "colour") or its number 1-10; 0 when it is
// neither.
std::int32_t ModeByWord(std::string_view word);
