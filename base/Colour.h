// A colour as Windows keeps it (a COLORREF): red in bits 0-7, green in bits 8-15, blue in bits 16-23. The one home
// of that packing for the portable code, which has no <windows.h> and its RGB and Get?Value macros.
#pragma once

#include <array>
#include <cstdint>

inline constexpr std::uint32_t ColourRefOf(std::int32_t red, std::int32_t green, std::int32_t blue) {
    return (static_cast<std::uint32_t>(red) & 0xFFu) | ((static_cast<std::uint32_t>(green) & 0xFFu) << 8) |
           ((static_cast<std::uint32_t>(blue) & 0xFFu) << 16);
}
inline constexpr std::uint8_t RedOf(std::uint32_t colour) {
    return static_cast<std::uint8_t>(colour & 0xFFu);
}
inline constexpr std::uint8_t GreenOf(std::uint32_t colour) {
    return static_cast<std::uint8_t>((colour >> 8) & 0xFFu);
}
inline constexpr std::uint8_t BlueOf(std::uint32_t colour) {
    return static_cast<std::uint8_t>((colour >> 16) & 0xFFu);
}
// Red, green and blue, in that order.
inline constexpr std::array<std::uint8_t, 3> BytesOf(std::uint32_t colour) {
    return {RedOf(colour), GreenOf(colour), BlueOf(colour)};
}
inline constexpr std::uint32_t ColourRefOf(const std::array<std::uint8_t, 3>& rgb) {
    return ColourRefOf(rgb[0], rgb[1], rgb[2]);
}
