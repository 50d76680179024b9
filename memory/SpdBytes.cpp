#include "memory/SpdBytes.h"

#include <array>
#include <bit>
#include <cstdio>
#include <string_view>

namespace {

bool OddParity(unsigned byte) {
    return std::popcount(byte) % 2 == 1;
}

} // namespace

const std::array<std::string_view, 32> kSpdRawCards = {
    "A", "B", "C", "D", "E",  "F",  "G",  "H",  "J",  "K",  "L",  "M",  "N",  "P",  "R",  "T",
    "U", "V", "W", "Y", "AA", "AB", "AC", "AD", "AE", "AF", "AG", "AH", "AJ", "AK", "AL", "ZZ",
};

namespace {

// The CRC of each byte value, shifted in from the top: one table step per byte instead of eight bit steps.
constexpr std::array<std::uint16_t, 256> kCrc16Table = [] {
    std::array<std::uint16_t, 256> table{};
    for (unsigned byte = 0; byte < table.size(); ++byte) {
        auto crc = static_cast<std::uint16_t>(byte << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        }
        table[byte] = crc;
    }
    return table;
}();

} // namespace

std::uint16_t SpdCrc16(const std::uint8_t* data, std::size_t size) {
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc = static_cast<std::uint16_t>((crc << 8) ^ kCrc16Table[(crc >> 8) ^ data[i]]);
    }
    return crc;
}

std::optional<int> SpdBcd(unsigned byte) {
    if ((byte >> 4) > 9 || (byte & 0x0Fu) > 9) {
        return std::nullopt;
    }
    return static_cast<int>((byte >> 4) * 10 + (byte & 0x0Fu));
}

std::string Jep106MakerName(unsigned continuation, unsigned code) {
    // Blank bytes, as written (0x00) or erased (0xFF), name no maker.
    if ((continuation == 0 && code == 0) || (continuation == 0xFF && code == 0xFF)) {
        return "Undefined";
    }
    if (!OddParity(continuation) || !OddParity(code)) {
        return "Unknown? (Invalid parity)";
    }
    const int bank = static_cast<int>(continuation & 0x7Fu) + 1;
    if (const std::string_view name = Jep106Name(bank, code); !name.empty()) {
        return std::string(name);
    }
    char text[48];
    std::snprintf(text, sizeof text, "Unknown (bank %d, code 0x%02X)", bank, code);
    return text;
}
