#include "smbus-sim/core/LedViewSetup.h"

#include <algorithm>

namespace smbus_sim {

std::vector<ModulePosition> ModuleRows(const SimConfig& config) {
    std::vector<ModulePosition> rows;
    for (const auto& module : config.modules) {
        rows.push_back({module.first, module.second});
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool IsConfigFile(std::string_view fileName, std::string_view text) {
    constexpr std::string_view kSuffix = ".conf";
    if (fileName.size() >= kSuffix.size()) {
        std::string_view tail = fileName.substr(fileName.size() - kSuffix.size());
        if (std::equal(tail.begin(), tail.end(), kSuffix.begin(), [](char a, char b) {
                return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
            })) {
            return true;
        }
    }
    return text.find_first_not_of(" \t\r\n") != std::string_view::npos && ParseSimConfig(text).problems.empty();
}

} // namespace smbus_sim
