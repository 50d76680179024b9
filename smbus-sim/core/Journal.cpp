#include "smbus-sim/core/Journal.h"

#include <algorithm>
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
    inRun_ = false;
    Write(timeMs, CallLine(timeMs, name, arguments, result));
}

void Journal::RgbI2cMode(double timeMs, std::uint32_t command, std::uint32_t data1, std::uint32_t data2,
                         std::uint32_t data3, std::uint32_t result) {
    inRun_ = false;
    std::string line = CallLine(timeMs, "RGBI2CMode",
                                Hex(command) + ", " + Hex(data1) + ", " + Hex(data2) + ", " + Hex(data3), result);
    Write(timeMs, line);
    if (command == kSelectCommand) {
        select_ = Remember(line);
        parameters_.clear();
    } else if (command == kParameterCommand) {
        if (parameters_.size() == kParametersKept) {
            parameters_.erase(parameters_.begin());
        }
        parameters_.push_back(Remember(line));
    } else if (command >= kFirstLedCommand && command < kFirstLedCommand + kLedCount) {
        leds_[command - kFirstLedCommand] = Remember(line);
    }
}

void Journal::ZorvaEffect(double timeMs, std::uint32_t mode, std::uint32_t speed, std::uint32_t zero,
                          std::uint32_t colour, std::uint32_t result) {
    inRun_ = false;
    std::string line = CallLine(timeMs, "SetZorvaEffect",
                                Hex(mode) + ", " + Hex(speed, 4) + ", " + Hex(zero) + ", " + Hex(colour, 8), result);
    Write(timeMs, line);
    effect_ = Remember(line);
}

std::string Journal::RunCounters() const {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "count=%05u last_offset=%03u bus_ms=%012.3f", static_cast<unsigned>(runCount_),
                  static_cast<unsigned>(runLastOffset_), runBusMs_);
    return buffer;
}

void Journal::ReadSpd(double timeMs, std::uint32_t first, std::uint32_t second, std::uint32_t offset, double busMs) {
    if (inRun_ && first == runFirst_ && second == runSecond_ && offset > runLastOffset_) {
        ++runCount_;
        runLastOffset_ = offset;
        runBusMs_ += busMs;
        CountRead(first, second, busMs);
        sink_.Overwrite(runCountersOffset_, RunCounters());
        return;
    }
    runFirst_ = first;
    runSecond_ = second;
    runCount_ = 1;
    runLastOffset_ = offset;
    runBusMs_ = busMs;
    std::string head = Timestamp(timeMs) + " ReadSPD(" + std::to_string(first) + ", " + std::to_string(second) +
                       ") first_offset=" + std::to_string(offset) + " ";
    // A continuation block written for this line carries the totals before this read.
    auto at = Write(timeMs, head + RunCounters() + "\n");
    CountRead(first, second, busMs);
    inRun_ = at.has_value(); // a dropped run line has no counters to update
    runCountersOffset_ = at.value_or(0) + head.size();
}

void Journal::CountRead(std::uint32_t first, std::uint32_t second, double busMs) {
    auto total = std::find_if(readTotals_.begin(), readTotals_.end(),
                              [&](const ReadTotal& t) { return t.first == first && t.second == second; });
    if (total == readTotals_.end()) {
        if (readTotals_.size() == kPositionsTotalled) {
            return;
        }
        total = readTotals_.insert(readTotals_.end(), ReadTotal{first, second});
    }
    ++total->count;
    total->busMs += busMs;
}

void Journal::Problem(std::string_view text) {
    inRun_ = false;
    std::string problem(text.substr(0, kLongestProblem));
    Write(lastTimeMs_, std::string(kProblemPrefix) + problem + "\n");
    problem_ = std::move(problem);
}

std::optional<std::uint64_t> Journal::Write(double timeMs, const std::string& lines) {
    lastTimeMs_ = timeMs;
    if (failing_) {
        // Waits kRetryMs, unless the clock went back past the failure.
        if (timeMs >= failedAtMs_ && timeMs < failedAtMs_ + kRetryMs) {
            ++dropped_;
            return std::nullopt;
        }
        return StartAnew(timeMs, lines);
    }
    bool full = maxBytes_ != kNoLimit && size_ + lines.size() > maxBytes_;
    // A part that holds nothing but its continuation block is not started anew again, however small the limit.
    if (full && size_ > stateSize_) {
        return StartAnew(timeMs, lines);
    }
    std::uint64_t at = sink_.Append(lines);
    if (at == JournalSink::kNotWritten) {
        // Whatever part of it reached the file goes when the journal starts anew.
        return StartAnew(timeMs, lines);
    }
    size_ = at + lines.size();
    return at;
}

std::optional<std::uint64_t> Journal::StartAnew(double timeMs, const std::string& lines) {
    inRun_ = false;
    ++part_;
    std::string block = ContinuationBlock(timeMs);
    if (!sink_.Restart(block + lines)) {
        --part_;
        ++dropped_;
        failing_ = true;
        failedAtMs_ = timeMs;
        return std::nullopt;
    }
    failing_ = false;
    stateSize_ = block.size();
    size_ = block.size() + lines.size();
    return block.size();
}

std::string Journal::ContinuationBlock(double timeMs) const {
    std::string ts = Timestamp(timeMs);
    std::string block = ts + " " + std::string(kContinuedWord) + " part=" + std::to_string(part_) +
                        " dropped=" + std::to_string(dropped_) + "\n";
    for (const ReadTotal& t : readTotals_) {
        char counters[96];
        std::snprintf(counters, sizeof counters, "count=%05llu bus_ms=%012.3f",
                      static_cast<unsigned long long>(t.count), t.busMs);
        block += ts + " " + std::string(kStateWord) + " ReadSPD(" + std::to_string(t.first) + ", " +
                 std::to_string(t.second) + ") total " + counters + "\n";
    }
    if (!problem_.empty()) {
        block += std::string(kProblemPrefix) + problem_ + "\n";
    }
    // The lighting calls in the order they were made: a select command after a frame darkens it, as it did.
    std::vector<const StateLine*> calls;
    for (const auto* line : {&select_, &effect_}) {
        if (*line) {
            calls.push_back(&**line);
        }
    }
    for (const auto& led : leds_) {
        if (led) {
            calls.push_back(&*led);
        }
    }
    for (const auto& parameter : parameters_) {
        calls.push_back(&parameter);
    }
    std::sort(calls.begin(), calls.end(), [](const StateLine* a, const StateLine* b) { return a->order < b->order; });
    for (const StateLine* call : calls) {
        block += AsStateLine(call->line);
    }
    return block;
}

} // namespace smbus_sim
