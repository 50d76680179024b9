// The stand-in's journal: one line per library call, with a millisecond timestamp. ReadSPD transactions are
// counted per position instead: a run of reads at one position is one line whose counters are updated in place,
// so the journal stays short and a reader always sees the current count.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace smbus_sim {

class JournalSink {
public:
    virtual ~JournalSink() = default;
    // Appends text at the end and returns the offset it was written at.
    virtual std::uint64_t Append(std::string_view text) = 0;
    // Replaces bytes at an earlier offset with text of the same length.
    virtual void Overwrite(std::uint64_t offset, std::string_view text) = 0;
};

class Journal {
public:
    explicit Journal(JournalSink& sink) : sink_(sink) {}

    // A call other than ReadSPD, e.g. "RGBI2CMode", "0x12, 0x00, 0x00, 0x00", result.
    void Call(double timeMs, std::string_view name, std::string_view arguments, std::uint32_t result);
    void ReadSpd(double timeMs, std::uint32_t first, std::uint32_t second, std::uint32_t offset, double busMs);
    void Problem(std::string_view text);

    static std::string Timestamp(double timeMs);
    static std::string Hex(std::uint32_t value, int digits = 2);

private:
    std::string RunCounters() const;

    JournalSink& sink_;
    bool inRun_ = false;
    std::uint32_t runFirst_ = 0;
    std::uint32_t runSecond_ = 0;
    std::uint32_t runCount_ = 0;
    std::uint32_t runLastOffset_ = 0;
    double runBusMs_ = 0.0;
    std::uint64_t runCountersOffset_ = 0;
};

} // namespace smbus_sim
