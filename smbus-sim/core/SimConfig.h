// Configuration of the SMBus stand-in: which virtual module sits at which position, what the library answers,
// how slow the bus is and where the journal goes. Parsed from a small "key = value" text file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace smbus_sim {

inline constexpr int kFirstIndexCount = 2;  // first index 0-1
inline constexpr int kSecondIndexCount = 6; // second index 0-5
inline constexpr int kPositionCount = kFirstIndexCount * kSecondIndexCount;
inline constexpr std::size_t kSpdSize = 512;

// The journal's size limit in KiB: it starts anew rather than grow past it.
inline constexpr std::uint32_t kDefaultJournalMaxKb = 4096;
inline constexpr std::uint32_t kSmallestJournalMaxKb = 16;
inline constexpr std::uint32_t kLargestJournalMaxKb = 1024 * 1024;

struct ModuleSource {
    int first = 0;
    int second = 0;
    std::string file; // as written; relative names are relative to the configuration file's folder
};

struct SimConfig {
    std::vector<ModuleSource> modules;
    std::uint8_t checkSpdAnswer = 0x06; // bit 1: command-set modules, bit 2: effect modules
    bool initializeFails = false;
    double delayMsPerTransaction = 0.0;
    std::string journalPath; // empty: beside the library
    std::uint32_t journalMaxKb = kDefaultJournalMaxKb;
    bool requireBusMutex = false;      // journal every call made without the shared SMBus mutex
    std::vector<std::string> problems; // one clear line per bad entry
};

// Lines: "module F S = file", "checkspd = N", "initialize = ok|fail", "delay_ms = X", "journal = path",
// "journal_max_kb = N", "require_bus_mutex = 0|1".
// Blank lines and lines starting with '#' are ignored. Bad lines are reported in problems and skipped.
SimConfig ParseSimConfig(std::string_view text);

// The virtual modules, one 512-byte SPD image per occupied position.
class ModuleBus {
public:
    // Places an image; returns an empty string on success, else the reason it was refused.
    std::string Place(int first, int second, const std::vector<std::uint8_t>& image);
    bool Occupied(int first, int second) const;
    // The byte a ReadSPD transaction answers: the image byte, or 0xFF where nothing answers.
    std::uint8_t Read(std::uint32_t first, std::uint32_t second, std::uint32_t offset) const;

private:
    static std::optional<int> Slot(std::uint32_t first, std::uint32_t second);
    std::array<std::optional<std::array<std::uint8_t, kSpdSize>>, kPositionCount> m_images;
};

} // namespace smbus_sim
