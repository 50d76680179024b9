// SPD decoding: a module's 512 bytes in, the table of text cells that the module information view draws out.
// No window and no list control here: the Win32 layer copies the rows into its hidden table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "memory/SpdImage.h"

inline constexpr int kModuleInfoColumnCount = 7;
// Rows 0-9 hold the module facts in column 1, row 10 is a spare that is never filled; JEDEC rows start at 11.
inline constexpr int kFixedRowCount = 11;
inline constexpr int kFirstJedecRow = kFixedRowCount;
inline constexpr int kRowsPerXmpProfile = 3;

using ModuleInfoRow = std::array<std::u16string, kModuleInfoColumnCount>;

// Column headings of the table ("Field", "Value", "CL", "tRCD", "tRP", "tRAS", "tRC").
extern const std::array<std::u16string_view, kModuleInfoColumnCount> kModuleInfoColumns;
// Column-0 labels of the fixed rows 0-10 in one language (memory/ModuleLabels.h has them in each).
using FixedRowLabels = std::array<std::u16string_view, kFixedRowCount>;

// What a cell shows when the bytes give it no meaning: "?" for a code the DDR4 layout reserves (capacity, banks,
// bus width), "-" for a speed or a clock count that no usable clock period gives (a blank or damaged SPD).
inline constexpr std::u16string_view kReservedCodeText = u"?";
inline constexpr std::u16string_view kNoTimeText = u"-";

// Makers by their JEDEC code pair (SPD bytes 320 and 321, continuation count and ID, each with its parity bit),
// searched in this order; codes not in the table show as two hex bytes. Our own code pair comes first.
struct ManufacturerEntry {
    std::uint8_t bank;
    std::uint8_t id;
    std::u16string_view name;
};
extern const std::array<ManufacturerEntry, 10> ManufacturerTable;

struct DecodedModule {
    // The whole table: the eleven fixed rows (column 0 their label, column 1 the value, row 10 spare), then one
    // row per supported CAS latency, then three rows per XMP profile.
    std::vector<ModuleInfoRow> rows;
    std::int32_t xmpProfileCount = 0;
};

// What a blank part number or serial number shows in spdinfo's output, which has always been in Chinese.
inline constexpr std::u16string_view kSpdInfoNoneText = u"无";

// labels name the fixed rows; the XMP rows repeat its speed and voltage labels. none is the word a blank part
// number or serial number shows, in the labels' language.
DecodedModule DecodeSpd(const SpdImage& image, const FixedRowLabels& labels,
                        std::u16string_view none = kSpdInfoNoneText);
