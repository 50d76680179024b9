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
