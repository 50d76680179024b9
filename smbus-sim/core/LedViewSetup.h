// What the LED view takes from the stand-in's configuration: which module rows to draw, and whether a file
// named on its command line is that configuration or the journal itself.
#pragma once

#include <compare>
#include <string_view>
#include <vector>

#include "smbus-sim/core/SimConfig.h"

namespace smbus_sim {

struct ModulePosition {
    int first = 0;
    int second = 0;
    auto operator<=>(const ModulePosition&) const = default;
};

// Every configured position once, in position order; empty when no module is configured.
std::vector<ModulePosition> ModuleRows(const SimConfig& config);

// A configuration is named "*.conf" or reads as one without a single bad line; a journal never does (its
// lines have no "key = value"), and an empty or missing file is taken for a journal not yet written.
bool IsConfigFile(std::string_view fileName, std::string_view text);

} // namespace smbus_sim
