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
// Column-0 labels of the fixed rows 0-10.
extern const std::array<std::u16string_view, kFixedRowCount> kFixedRowLabels;

struct DecodedModule {
    // The whole table: the eleven fixed rows (column 0 their label, column 1 the value, row 10 spare), then one
    // row per supported CAS latency, then three rows per XMP profile.
    std::vector<ModuleInfoRow> rows;
    std::int32_t xmpProfileCount = 0;
};

DecodedModule DecodeSpd(const SpdImage& image);
