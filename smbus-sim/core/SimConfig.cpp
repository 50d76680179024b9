#include "smbus-sim/core/SimConfig.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>

namespace smbus_sim {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) {
        s.remove_prefix(1);
    }
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) {
        s.remove_suffix(1);
    }
    return s;
}

std::optional<long> ParseInteger(std::string_view s) {
    long value = 0;
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
        base = 16;
    }
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ParseDecimal(std::string_view s) {
    std::string copy(s);
    char* end = nullptr;
    double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || end != copy.c_str() + copy.size() || !(value >= 0.0) || value > 1000.0) {
        return std::nullopt;
    }
    return value;
}

// "module F S": the two indices of a position.
bool ParseModuleKey(std::string_view key, int& first, int& second, std::string& problem) {
    key = Trim(key.substr(6));
    auto blank = key.find_first_of(" \t");
    if (blank == std::string_view::npos) {
        problem = "needs two indices, as in \"module 0 2 = image.bin\"";
        return false;
    }
    auto f = ParseInteger(Trim(key.substr(0, blank)));
    auto s = ParseInteger(Trim(key.substr(blank)));
    if (!f || !s) {
        problem = "indices must be whole numbers";
        return false;
    }
    if (*f < 0 || *f >= kFirstIndexCount || *s < 0 || *s >= kSecondIndexCount) {
        problem = "position out of range (first index 0-1, second index 0-5)";
        return false;
    }
    first = static_cast<int>(*f);
    second = static_cast<int>(*s);
    return true;
}

// Sets one key of the configuration; the problem with the line when it does not parse ("" when it does).
std::string ApplyKey(SimConfig& config, const std::string& key, std::string_view value) {
    if (key.rfind("module", 0) == 0 && (key.size() == 6 || std::isspace(static_cast<unsigned char>(key[6])))) {
        ModuleSource source;
        std::string problem;
        if (!ParseModuleKey(key, source.first, source.second, problem)) {
            return problem;
        }
        if (value.empty()) {
            return "no image file named";
        }
        source.file = std::string(value);
        config.modules.push_back(source);
    } else if (key == "checkspd") {
        auto v = ParseInteger(value);
        if (!v || *v < 0 || *v > 255) {
            return "checkspd takes a number 0-255";
        }
        config.checkSpdAnswer = static_cast<std::uint8_t>(*v);
    } else if (key == "initialize") {
        if (value != "ok" && value != "fail") {
            return "initialize takes \"ok\" or \"fail\"";
        }
        config.initializeFails = value == "fail";
    } else if (key == "delay_ms") {
        auto v = ParseDecimal(value);
        if (!v) {
            return "delay_ms takes a number of milliseconds 0-1000";
        }
        config.delayMsPerTransaction = *v;
    } else if (key == "journal") {
        config.journalPath = std::string(value);
    } else if (key == "require_bus_mutex") {
        if (value != "0" && value != "1") {
            return "require_bus_mutex takes 0 or 1";
        }
        config.requireBusMutex = value == "1";
    } else if (key == "journal_max_kb") {
        auto v = ParseInteger(value);
        if (!v || *v < static_cast<long>(kSmallestJournalMaxKb) || *v > static_cast<long>(kLargestJournalMaxKb)) {
            return "journal_max_kb takes a number of KiB " + std::to_string(kSmallestJournalMaxKb) + "-" +
                   std::to_string(kLargestJournalMaxKb);
        }
        config.journalMaxKb = static_cast<std::uint32_t>(*v);
    } else {
        return "unknown key \"" + key + "\"";
    }
    return {};
}

} // namespace

SimConfig ParseSimConfig(std::string_view text) {
    SimConfig config;
    int lineNumber = 0;
    while (!text.empty()) {
        auto eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        ++lineNumber;
        line = Trim(line);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        auto eq = line.find('=');
        std::string problem = "expected \"key = value\"";
        if (eq != std::string_view::npos) {
            std::string key(Trim(line.substr(0, eq)));
            std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
            problem = ApplyKey(config, key, Trim(line.substr(eq + 1)));
        }
        if (!problem.empty()) {
            config.problems.push_back("config line " + std::to_string(lineNumber) + " \"" + std::string(line) +
                                      "\": " + problem);
        }
    }
    return config;
}

std::optional<int> ModuleBus::Slot(std::uint32_t first, std::uint32_t second) {
    if (first >= static_cast<std::uint32_t>(kFirstIndexCount) ||
        second >= static_cast<std::uint32_t>(kSecondIndexCount)) {
        return std::nullopt;
    }
    return static_cast<int>(first) * kSecondIndexCount + static_cast<int>(second);
}

std::string ModuleBus::Place(int first, int second, const std::vector<std::uint8_t>& image) {
    auto slot = first < 0 || second < 0 ? std::nullopt
                                        : Slot(static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(second));
    if (!slot) {
        return "position out of range";
    }
    if (image.size() != kSpdSize) {
        return "image has " + std::to_string(image.size()) + " bytes, not 512";
    }
    auto& target = m_images[static_cast<std::size_t>(*slot)].emplace();
    std::copy(image.begin(), image.end(), target.begin());
    return {};
}

bool ModuleBus::Occupied(int first, int second) const {
    auto slot = first < 0 || second < 0 ? std::nullopt
                                        : Slot(static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(second));
    return slot && m_images[static_cast<std::size_t>(*slot)].has_value();
}

std::uint8_t ModuleBus::Read(std::uint32_t first, std::uint32_t second, std::uint32_t offset) const {
    auto slot = Slot(first, second);
    if (!slot || offset >= kSpdSize || !m_images[static_cast<std::size_t>(*slot)]) {
        return 0xFF;
    }
    return (*m_images[static_cast<std::size_t>(*slot)])[offset];
}

} // namespace smbus_sim
