// The pieces every --full field is made of, for the DDR4 and the DDR5 sections alike: formatting, JSON values,
// times in ns, CAS latency lists and checksum verdicts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "spdinfo/SpdDetails.h"

namespace spd_detail {

inline constexpr int kPsPerNs = 1000;
inline constexpr std::string_view kNull = "null";

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...);
// JSON values.
std::string Number(std::int64_t value);
std::string Text(std::string_view text);
std::string Bool(bool value);
std::string Reserved();
// Picoseconds as a JSON number of ns, without trailing zeros.
std::string Nanoseconds(std::int64_t ps);
// "16.000 ns"; "-" for a negative time (a fine correction below a zero count).
std::string TimeText(std::int64_t ps);
// An empty field list with room for the longest section, so that filling it never moves its fields.
std::vector<SpdDetailField> ReservedFields();
// A time with its JSON member "<key>Ns".
SpdDetailField TimeField(std::string label, std::string key, std::int64_t ps);
// The same for a clock period, of which zero is no clock at all.
SpdDetailField ClockPeriodField(std::string label, std::string key, std::int64_t ps);
// Supported CAS latencies, given in ascending order, listed from the longest down.
SpdDetailField CasField(const std::vector<int>& latencies);
std::string Hex(unsigned value, int digits);
// "OK (0x1234)" or "Bad (found ..., calculated ...)", with {"ok", "found", "calculated"} in JSON.
SpdDetailField CrcDetail(std::string label, std::string key, unsigned found, unsigned calculated);

} // namespace spd_detail
