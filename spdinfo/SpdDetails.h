// spdinfo --full: every field of a DDR4 SPD image that a buyer or an overclocker checks, in sections, each field
// with the text it prints and the JSON values it carries (numbers as numbers, times in ns, units in the key names).
// Portable: 512 bytes in, sections out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "memory/SpdImage.h"

// Byte 2 of every SPD says which memory the module carries; only DDR4 is decoded.
inline constexpr std::size_t kSpdMemoryTypeByte = 2;
inline constexpr std::uint8_t kSpdMemoryTypeDdr4 = 0x0C;

// The name the JEDEC memory type table gives a byte-2 code ("DDR5 SDRAM"), or empty for a code it does not name.
std::string_view SpdMemoryTypeName(std::uint8_t code);

// One JSON member of a field: its key and its value, already written as JSON.
struct SpdJsonMember {
    std::string key;
    std::string value;
};

struct SpdDetailField {
    std::string label;
    std::string text;
    std::vector<SpdJsonMember> json;
};

struct SpdDetailSection {
    std::string title;
    std::string key; // its member name in JSON
    std::vector<SpdDetailField> fields;
};

// What a field shows when the bytes give it no value: a reserved code, or a time or speed from no usable clock.
inline constexpr std::string_view kDetailReservedText = "?";
inline constexpr std::string_view kDetailNoTimeText = "-";

// The sections of a DDR4 image: SPD EEPROM information, memory characteristics, timings at standard speeds,
// timing parameters, other information, physical characteristics, manufacturer data, then one per XMP profile the
// module table shows.
std::vector<SpdDetailSection> DecodeSpdDetails(const SpdImage& image);
