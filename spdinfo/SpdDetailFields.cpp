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
namespace {

// Whole nanoseconds and three decimals of a time that is not negative, in integer arithmetic: picoseconds are
// exact, and printf's floating-point formatting was a good part of --full's time.
std::string ThreeDecimals(std::int64_t ps) {
    std::string text = std::to_string(ps / kPsPerNs);
    const auto thousandths = static_cast<int>(ps % kPsPerNs);
    text += '.';
    text += static_cast<char>('0' + thousandths / 100);
    text += static_cast<char>('0' + thousandths / 10 % 10);
    text += static_cast<char>('0' + thousandths % 10);
    return text;
}

} // namespace

std::string Nanoseconds(std::int64_t ps) {
    std::string text(ps < 0 ? "-" : "");
    text += ThreeDecimals(ps < 0 ? -ps : ps);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

// A negative time (a fine correction below a zero count) is no time at all.
std::string TimeText(std::int64_t ps) {
    return ps >= 0 ? ThreeDecimals(ps) + " ns" : std::string(kDetailNoTimeText);
}

std::vector<SpdDetailField> ReservedFields() {
    std::vector<SpdDetailField> fields;
    fields.reserve(24);
    return fields;
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
        const std::string number = std::to_string(*cl);
        text += separator;
        text += number;
        text += 'T';
        json += separator;
        json += number;
    }
    return {"Supported CAS Latencies",
            text.empty() ? std::string(kDetailNoTimeText) : text,
            {{"casLatenciesCycles", json + "]"}}};
}

std::string Hex(unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    // At least `digits` digits, more where the value needs them.
    int shown = digits;
    while (shown < 8 && (value >> (4 * shown)) != 0) {
        ++shown;
    }
    for (int d = shown - 1; d >= 0; --d) {
        text += kDigits[(value >> (4 * d)) & 0xFu];
    }
    return text;
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
