#include "memory/SpdBytes.h"

#include <array>
#include <bit>
#include <cstdio>
#include <string_view>

namespace {

// Module, DRAM and on-module device makers by JEDEC bank (1 + continuation codes) and code, parity bit included.
struct Maker {
    int bank;
    std::uint8_t code;
    std::string_view name;
};
constexpr std::array<Maker, 21> kMakers = {{
    {1, 0x2C, "Micron Technology"},
    {1, 0xAD, "SK Hynix (former Hyundai Electronics)"},
    {1, 0xB3, "IDT (Renesas)"},
    {1, 0xCE, "Samsung"},
    {1, 0x0B, "Nanya Technology"},
    {1, 0xFE, "Elpida"},
    {1, 0xC1, "Infineon (Siemens)"},
    {2, 0x98, "Kingston"},
    {3, 0x9E, "Corsair"},
    {3, 0xB5, "SpecTek Incorporated"},
    {5, 0xCD, "G Skill Intl"},
    {5, 0xCB, "A-DATA Technology"},
    {5, 0xEF, "Team Group Inc."},
    {6, 0x02, "Patriot Memory"},
    {6, 0x9B, "Crucial Technology"},
    {6, 0x51, "Qimonda"},
    {7, 0x32, "Montage Technology Group"},
    {7, 0xDA, "Quenmark Microsystems"},
    {11, 0x8C, "Richtek Technology"},
    {11, 0xBA, "Foxline"},
    {12, 0x10, "Anpec Electronics"},
}};

bool OddParity(unsigned byte) {
    return std::popcount(byte) % 2 == 1;
}

} // namespace

const std::array<std::string_view, 32> kSpdRawCards = {
    "A", "B", "C", "D", "E",  "F",  "G",  "H",  "J",  "K",  "L",  "M",  "N",  "P",  "R",  "T",
    "U", "V", "W", "Y", "AA", "AB", "AC", "AD", "AE", "AF", "AG", "AH", "AJ", "AK", "AL", "ZZ",
};

std::uint16_t SpdCrc16(const std::uint8_t* data, std::size_t size) {
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc = static_cast<std::uint16_t>(crc ^ (data[i] << 8));
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        }
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
    if (continuation == 0 && code == 0) {
        return "Undefined";
    }
    if (!OddParity(continuation) || !OddParity(code)) {
        return "Unknown? (Invalid parity)";
    }
    const int bank = static_cast<int>(continuation & 0x7Fu) + 1;
    for (const Maker& maker : kMakers) {
        if (maker.bank == bank && maker.code == code) {
            return std::string(maker.name);
        }
    }
    char text[48];
    std::snprintf(text, sizeof text, "Unknown (bank %d, code 0x%02X)", bank, code);
    return text;
}
