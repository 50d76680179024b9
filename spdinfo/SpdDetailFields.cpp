#include "spdinfo/SpdDetailFields.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "spdinfo/SpdInfo.h"

namespace spd_detail {

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...) {
    char buffer[128];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0) {
        return {};
    }
    return std::string(buffer, std::min(static_cast<std::size_t>(length), sizeof buffer - 1));
}

// JSON values.
std::string Number(std::int64_t value) {
    return std::to_string(value);
}
std::string Text(std::string_view text) {
    return JsonString(text);
}
std::string Bool(bool value) {
    return value ? "true" : "false";
}
std::string Reserved() {
    return std::string(kDetailReservedText);
}
std::string Nanoseconds(std::int64_t ps) {
    std::string text = Format("%.3f", static_cast<double>(ps) / kPsPerNs);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

// A negative time (a fine correction below a zero count) is no time at all.
std::string TimeText(std::int64_t ps) {
    return ps >= 0 ? Format("%.3f ns", static_cast<double>(ps) / kPsPerNs) : std::string(kDetailNoTimeText);
}

SpdDetailField TimeField(std::string label, std::string key, std::int64_t ps) {
    return {std::move(label), TimeText(ps), {{std::move(key) + "Ns", ps >= 0 ? Nanoseconds(ps) : std::string(kNull)}}};
}

// A clock period of zero is no clock at all.
SpdDetailField ClockPeriodField(std::string label, std::string key, std::int64_t ps) {
    return TimeField(std::move(label), std::move(key), ps > 0 ? ps : -1);
}

// The latencies from the longest down.
SpdDetailField CasField(const std::vector<int>& latencies) {
    std::string text, json = "[";
    for (auto cl = latencies.rbegin(); cl != latencies.rend(); ++cl) {
        const char* separator = cl == latencies.rbegin() ? "" : ", ";
        text += Format("%s%dT", separator, *cl);
        json += Format("%s%d", separator, *cl);
    }
    return {"Supported CAS Latencies",
            text.empty() ? std::string(kDetailNoTimeText) : text,
            {{"casLatenciesCycles", json + "]"}}};
}

std::string Hex(unsigned value, int digits) {
    return Format("0x%0*X", digits, value);
}

SpdDetailField CrcDetail(std::string label, std::string key, unsigned found, unsigned calculated) {
    const bool ok = found == calculated;
    std::string text =
        ok ? "OK (" + Hex(found, 4) + ")" : "Bad (found " + Hex(found, 4) + ", calculated " + Hex(calculated, 4) + ")";
    return {std::move(label),
            std::move(text),
            {{std::move(key), "{\"ok\": " + Bool(ok) + ", \"found\": " + Number(found) +
                                  ", \"calculated\": " + Number(calculated) + "}"}}};
}

} // namespace spd_detail
