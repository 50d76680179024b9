// spdinfo's output for a DDR5 image: the module table in the seven columns of the DDR4 one (module facts, one row
// per JEDEC speed bin, three rows per XMP or EXPO profile) and the --full sections.
#pragma once

#include <vector>

#include "memory/SpdDdr5.h"
#include "memory/SpdDecode.h"
#include "spdinfo/SpdDetails.h"

// Rows 0-9 hold the facts the DDR4 table has, row 10 is a spare; JEDEC rows follow from the module's speed down
// to DDR5-3200, then the profiles (xmpProfileCount counts XMP and EXPO profiles alike, three rows each).
DecodedModule Ddr5ModuleTable(const ddr5::Module& module);

// SPD EEPROM information, memory characteristics, timings at standard speeds, timing parameters, on-module
// devices, physical characteristics, manufacturer data, then one section per profile.
std::vector<SpdDetailSection> Ddr5Details(const ddr5::Module& module);
