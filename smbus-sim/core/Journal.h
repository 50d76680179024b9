// The stand-in's journal: one line per library call, with a millisecond timestamp. ReadSPD transactions are
// counted per position instead: a run of reads at one position is one line whose counters are updated in place,
// so the journal stays short and a reader always sees the current count.
//
// With a size limit the journal never grows past it (by more than the line being written): it starts anew with a
// continuation block (see JournalFormat.h) that carries what a reader needs to know the modules' state. A line
// that cannot be written is dropped and counted, never waited for; the journal then tries to start anew, at most
// once every kRetryMs, and its continuation line carries the count.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "smbus-sim/core/JournalFormat.h"

namespace smbus_sim {

class JournalSink {
public:
    // What Append answers when the text could not be written whole.
    static constexpr std::uint64_t kNotWritten = std::numeric_limits<std::uint64_t>::max();

    virtual ~JournalSink() = default;
    // Appends text at the end and returns the offset it was written at, or kNotWritten.
    virtual std::uint64_t Append(std::string_view text) = 0;
    // Replaces bytes at an earlier offset with text of the same length.
    virtual void Overwrite(std::uint64_t offset, std::string_view text) = 0;
    // Empties the journal and makes text its content, opening it first if it is not open; readers must never find
    // it empty in between. False if that failed. A sink that cannot start over keeps the default.
    virtual bool Restart(std::string_view /*text*/) { return false; }
};

class Journal {
public:
    static constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();
    // How long a journal that could not be written waits before it tries to start anew.
    static constexpr double kRetryMs = 1000.0;
    // Positions whose ReadSPD totals are carried into a continued journal; reads elsewhere are not carried.
    static constexpr std::size_t kPositionsTotalled = 16;
    // A complaint longer than this is cut: its text may come from a configuration file of any size.
    static constexpr std::size_t kLongestProblem = 512;

    explicit Journal(JournalSink& sink, std::uint64_t maxBytes = kNoLimit) : m_sink(sink), m_maxBytes(maxBytes) {}

    // A call other than ReadSPD, e.g. "CheckSPD", "", result.
    void Call(double timeMs, std::string_view name, std::string_view arguments, std::uint32_t result);
    // The lighting calls: journalled as calls, and remembered as the modules' state.
    void RgbI2cMode(double timeMs, std::uint32_t command, std::uint32_t data1, std::uint32_t data2, std::uint32_t data3,
                    std::uint32_t result);
    void ZorvaEffect(double timeMs, std::uint32_t mode, std::uint32_t speed, std::uint32_t zero, std::uint32_t colour,
                     std::uint32_t result);
    void ReadSpd(double timeMs, std::uint32_t first, std::uint32_t second, std::uint32_t offset, double busMs);
    void Problem(std::string_view text);

    // Lines that could not be written so far.
    std::uint64_t Dropped() const { return m_dropped; }
    // 1 for the journal as first written, one more each time it started anew.
    std::uint32_t Part() const { return m_part; }

    static std::string Timestamp(double timeMs);
    static std::string Hex(std::uint32_t value, int digits = 2);

private:
    struct StateLine {
        std::uint64_t order = 0;
        std::string line; // as journalled
    };
    struct ReadTotal {
        std::uint32_t first = 0;
        std::uint32_t second = 0;
        std::uint64_t count = 0;
        double busMs = 0.0;
    };

    // Writes one or more complete lines; returns the offset they start at, or nothing if they were dropped.
    std::optional<std::uint64_t> Write(double timeMs, const std::string& lines);
    std::optional<std::uint64_t> StartAnew(double timeMs, const std::string& lines);
    std::string ContinuationBlock(double timeMs) const;
    StateLine Remember(const std::string& line) { return {++m_order, line}; }
    void CountRead(std::uint32_t first, std::uint32_t second, double busMs);
    std::string RunCounters() const;

    JournalSink& m_sink;
    std::uint64_t m_maxBytes;
    std::uint64_t m_size = 0;      // bytes in the current part
    std::uint64_t m_stateSize = 0; // of which the continuation block at its start
    std::uint32_t m_part = 1;
    std::uint64_t m_dropped = 0;
    bool m_failing = false;
    double m_failedAtMs = 0.0;
    double m_lastTimeMs = 0.0;

    bool m_inRun = false;
    std::uint32_t m_runFirst = 0;
    std::uint32_t m_runSecond = 0;
    std::uint32_t m_runCount = 0;
    std::uint32_t m_runLastOffset = 0;
    double m_runBusMs = 0.0;
    std::uint64_t m_runCountersOffset = 0;

    // The state a continued journal starts with.
    std::vector<ReadTotal> m_readTotals;
    std::uint64_t m_order = 0;
    std::optional<StateLine> m_select;
    std::vector<StateLine> m_parameters; // since the last select command, the last kParametersKept
    std::optional<StateLine> m_effect;
    std::array<std::optional<StateLine>, kLedCount> m_leds;
    std::string m_problem;
};

} // namespace smbus_sim
