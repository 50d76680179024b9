// One module's SPD contents as read from the bus, and the store of the modules found at start.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kSpdImageSize = 512;
// Byte n of the image is SPD byte n; bytes are unsigned.
using SpdImage = std::array<std::uint8_t, kSpdImageSize>;

// The store holds at most eight modules, in the order they answered.
inline constexpr std::size_t kSpdImageStoreSize = 8;
using SpdImageStoreArray = std::array<SpdImage, kSpdImageStoreSize>;
