#include "smbus-sim/core/Journal.h"

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

void Journal::Call(double timeMs, std::string_view name, std::string_view arguments, std::uint32_t result) {
    inRun_ = false;
    std::string line =
        Timestamp(timeMs) + " " + std::string(name) + "(" + std::string(arguments) + ") -> " + Hex(result, 8) + "\n";
    sink_.Append(line);
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
        sink_.Overwrite(runCountersOffset_, RunCounters());
        return;
    }
    inRun_ = true;
    runFirst_ = first;
    runSecond_ = second;
    runCount_ = 1;
    runLastOffset_ = offset;
    runBusMs_ = busMs;
    std::string head = Timestamp(timeMs) + " ReadSPD(" + std::to_string(first) + ", " + std::to_string(second) +
                       ") first_offset=" + std::to_string(offset) + " ";
    std::uint64_t at = sink_.Append(head + RunCounters() + "\n");
    runCountersOffset_ = at + head.size();
}

void Journal::Problem(std::string_view text) {
    inRun_ = false;
    sink_.Append("PROBLEM " + std::string(text) + "\n");
}

} // namespace smbus_sim
