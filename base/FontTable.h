// The fonts the skinned window draws with: which faces must be installed (and the files that provide them when
// they are not), and the eight fonts created at start.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

struct FontRegistrationRow {
    std::u16string_view face;
    std::u16string_view file; // in the program's directory
};

inline constexpr std::array<FontRegistrationRow, 2> kFontRegistrations = {{
    {u"Arial", u"Arial.ttf"},
    {u"DS-Digital", u"DS-DIGI.ttf"},
}};

struct FontSlotRow {
    std::u16string_view face;
    std::int32_t height;      // logical units, cell height
    std::int32_t weight;      // 0 = default
    std::int32_t escapement;  // tenths of a degree
    std::int32_t orientation; // tenths of a degree
};

inline constexpr std::int32_t kFontSlotCount = 10; // slots 8 and 9 stay empty
inline constexpr std::uint8_t kFontQuality = 2;    // proof quality

// The slots of the font table, by what they are.
enum FontSlot : std::int32_t {
    kFontText = 0,          // Arial 16: the module view, the colour's hexadecimal text
    kFontDigitalLarge = 1,  // DS-Digital 24
    kFontDigitalSmall = 2,  // DS-Digital 18
    kFontDigitalTurned = 3, // DS-Digital 18, turned
    kFontBoldTurned = 4,    // Arial 12 bold, turned
    kFontButton = 5,        // Arial 12, turned: most bitmap buttons
    kFontTurnedUp = 6,      // Arial 12, turned the other way
    kFontCaption = 7,       // Arial 14: the captions of Apply and Reset
};

inline constexpr std::array<FontSlotRow, 8> kFontSlots = {{
    {u"Arial", 16, 0, 0, 0},
    {u"DS-Digital", 24, 0, 0, 0},
    {u"DS-Digital", 18, 0, 0, 0},
    {u"DS-Digital", 18, 0, -100, 900},
    {u"Arial", 12, 700, 100, 900},
    {u"Arial", 12, 0, -90, 900},
    {u"Arial", 12, 0, 60, 900},
    {u"Arial", 14, 0, 0, 0},
}};
