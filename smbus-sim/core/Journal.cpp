#include "smbus-sim/core/Journal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace smbus_sim {

std::string Journal::Timestamp(double timeMs) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3f", timeMs);
    return buffer;
}

std::string Journal::Hex(std::uint32_t value, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%0*X", digits, static_cast<unsigned>(value));
    return buffer;
}

namespace {

std::string CallLine(double timeMs, std::string_view name, std::string_view arguments, std::uint32_t result) {
    return Journal::Timestamp(timeMs) + " " + std::string(name) + "(" + std::string(arguments) + ") -> " +
           Journal::Hex(result, 8) + "\n";
}

// "<ms> Name(...)" as "<ms> STATE Name(...)".
std::string AsStateLine(const std::string& line) {
    auto space = line.find(' ');
    return line.substr(0, space + 1) + std::string(kStateWord) + line.substr(space);
}

} // namespace

void Journal::Call(double timeMs, std::string_view name, std::string_view arguments, std::uint32_t result) {
    m_inRun = false;
    Write(timeMs, CallLine(timeMs, name, arguments, result));
}

void Journal::RgbI2cMode(double timeMs, std::uint32_t command, std::uint32_t data1, std::uint32_t data2,
                         std::uint32_t data3, std::uint32_t result) {
    m_inRun = false;
    std::string line = CallLine(timeMs, "RGBI2CMode",
                                Hex(command) + ", " + Hex(data1) + ", " + Hex(data2) + ", " + Hex(data3), result);
    Write(timeMs, line);
    if (command == kSelectCommand) {
        m_select = Remember(line);
        m_parameters.clear();
    } else if (command == kParameterCommand) {
        if (m_parameters.size() == kParametersKept) {
            m_parameters.erase(m_parameters.begin());
        }
        m_parameters.push_back(Remember(line));
    } else if (command >= kFirstLedCommand && command < kFirstLedCommand + kLedCount) {
        m_leds[command - kFirstLedCommand] = Remember(line);
    }
}

void Journal::ZorvaEffect(double timeMs, std::uint32_t mode, std::uint32_t speed, std::uint32_t zero,
                          std::uint32_t colour, std::uint32_t result) {
    m_inRun = false;
    std::string line = CallLine(timeMs, "SetZorvaEffect",
                                Hex(mode) + ", " + Hex(speed, 4) + ", " + Hex(zero) + ", " + Hex(colour, 8), result);
    Write(timeMs, line);
    m_effect = Remember(line);
}

namespace {

// `value` in decimal, `width` digits with leading zeros (more when it needs them), appended.
void AppendPadded(std::string& out, std::uint64_t value, int width) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 && n < 24);
    for (int pad = width - n; pad > 0; --pad) {
        out += '0';
    }
    while (n > 0) {
        out += digits[--n];
    }
}

} // namespace

// Written at every read of a run, so built without the C library's formatting, whose cost the stand-in would add
// to each modelled transaction: "count=%05u last_offset=%03u bus_ms=%012.3f".
std::string Journal::RunCounters() const {
    std::string out;
    out.reserve(64);
    out += "count=";
    AppendPadded(out, m_runCount, 5);
    out += " last_offset=";
    AppendPadded(out, m_runLastOffset, 3);
    out += " bus_ms=";
    const auto thousandths = static_cast<std::uint64_t>(std::llround(std::max(0.0, m_runBusMs) * 1000.0));
    AppendPadded(out, thousandths / 1000, 8);
    out += '.';
    AppendPadded(out, thousandths % 1000, 3);
    return out;
}

void Journal::ReadSpd(double timeMs, std::uint32_t first, std::uint32_t second, std::uint32_t offset, double busMs) {
    if (m_inRun && first == m_runFirst && second == m_runSecond && offset > m_runLastOffset) {
        ++m_runCount;
        m_runLastOffset = offset;
        m_runBusMs += busMs;
        CountRead(first, second, busMs);
        m_sink.Overwrite(m_runCountersOffset, RunCounters());
        return;
    }
    m_runFirst = first;
    m_runSecond = second;
    m_runCount = 1;
    m_runLastOffset = offset;
    m_runBusMs = busMs;
    std::string head = Timestamp(timeMs) + " ReadSPD(" + std::to_string(first) + ", " + std::to_string(second) +
                       ") first_offset=" + std::to_string(offset) + " ";
    // A continuation block written for this line carries the totals before this read.
    auto at = Write(timeMs, head + RunCounters() + "\n");
    CountRead(first, second, busMs);
    m_inRun = at.has_value(); // a dropped run line has no counters to update
    m_runCountersOffset = at.value_or(0) + head.size();
}

void Journal::CountRead(std::uint32_t first, std::uint32_t second, double busMs) {
    auto total = std::find_if(m_readTotals.begin(), m_readTotals.end(),
                              [&](const ReadTotal& t) { return t.first == first && t.second == second; });
    if (total == m_readTotals.end()) {
        if (m_readTotals.size() == kPositionsTotalled) {
            return;
        }
        total = m_readTotals.insert(m_readTotals.end(), ReadTotal{first, second});
    }
    ++total->count;
    total->busMs += busMs;
}

void Journal::Problem(std::string_view text) {
    m_inRun = false;
    std::string problem(text.substr(0, kLongestProblem));
    Write(m_lastTimeMs, std::string(kProblemPrefix) + problem + "\n");
    m_problem = std::move(problem);
}

std::optional<std::uint64_t> Journal::Write(double timeMs, const std::string& lines) {
    m_lastTimeMs = timeMs;
    if (m_failing) {
        // Waits kRetryMs, unless the clock went back past the failure.
        if (timeMs >= m_failedAtMs && timeMs < m_failedAtMs + kRetryMs) {
            ++m_dropped;
            return std::nullopt;
        }
        return StartAnew(timeMs, lines);
    }
    bool full = m_maxBytes != kNoLimit && m_size + lines.size() > m_maxBytes;
    // A part that holds nothing but its continuation block is not started anew again, however small the limit.
    if (full && m_size > m_stateSize) {
        return StartAnew(timeMs, lines);
    }
    std::uint64_t at = m_sink.Append(lines);
    if (at == JournalSink::kNotWritten) {
        // Whatever part of it reached the file goes when the journal starts anew.
        return StartAnew(timeMs, lines);
    }
    m_size = at + lines.size();
    return at;
}

std::optional<std::uint64_t> Journal::StartAnew(double timeMs, const std::string& lines) {
    m_inRun = false;
    ++m_part;
    std::string block = ContinuationBlock(timeMs);
    if (!m_sink.Restart(block + lines)) {
        --m_part;
        ++m_dropped;
        m_failing = true;
        m_failedAtMs = timeMs;
        return std::nullopt;
    }
    m_failing = false;
    m_stateSize = block.size();
    m_size = block.size() + lines.size();
    return block.size();
}

std::string Journal::ContinuationBlock(double timeMs) const {
    std::string ts = Timestamp(timeMs);
    std::string block = ts + " " + std::string(kContinuedWord) + " part=" + std::to_string(m_part) +
                        " dropped=" + std::to_string(m_dropped) + "\n";
    for (const ReadTotal& t : m_readTotals) {
        char counters[96];
        std::snprintf(counters, sizeof counters, "count=%05llu bus_ms=%012.3f",
                      static_cast<unsigned long long>(t.count), t.busMs);
        block += ts + " " + std::string(kStateWord) + " ReadSPD(" + std::to_string(t.first) + ", " +
                 std::to_string(t.second) + ") total " + counters + "\n";
    }
    if (!m_problem.empty()) {
        block += std::string(kProblemPrefix) + m_problem + "\n";
    }
    // The lighting calls in the order they were made: a select command after a frame darkens it, as it did.
    std::vector<const StateLine*> calls;
    for (const auto* line : {&m_select, &m_effect}) {
        if (*line) {
            calls.push_back(&**line);
        }
    }
    for (const auto& led : m_leds) {
        if (led) {
            calls.push_back(&*led);
        }
    }
    for (const auto& parameter : m_parameters) {
        calls.push_back(&parameter);
    }
    std::sort(calls.begin(), calls.end(), [](const StateLine* a, const StateLine* b) { return a->order < b->order; });
    for (const StateLine* call : calls) {
        block += AsStateLine(call->line);
    }
    return block;
}

} // namespace smbus_sim
