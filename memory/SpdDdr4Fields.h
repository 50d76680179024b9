// The DDR4 SPD layout and its XMP 2.0 extension as one field model: where each field sits, what its codes mean,
// its units and its rounding. The module information page's texts (SpdDecode) and spdinfo's --full sections are
// both made from it. Portable: bytes in, values out.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "memory/SpdBytes.h"

namespace ddr4 {

// SPD byte offsets.
enum Byte : int {
    kBytesUsed = 0,
    kRevision = 1,
    kMemoryType = 2,
    kModuleType = 3,
    kDensity = 4,
    kAddressing = 5,
    kPackage = 6,
    kOptionalFeatures = 7,
    kRepair = 9,
    kVoltage = 11,
    kOrganisation = 12,
    kBusWidth = 13,
    kThermalSensor = 14,
    kTckMin = 18,
    kTckMax = 19,
    kCasFirst = 20,
    kCasLast = 23,
    kTaa = 24,
    kTrcd = 25,
    kTrp = 26,
    kTrasTrcHigh = 27,
    kTrasLow = 28,
    kTrcLow = 29,
    kTrfc1 = 30,
    kTrfc2 = 32,
    kTrfc4 = 34,
    kTfawHigh = 36,
    kTfawLow = 37,
    kTrrdS = 38,
    kTrrdL = 39,
    kTccdL = 40,
    kTwrHigh = 41,
    kTwrLow = 42,
    kTwtrHigh = 43,
    kTwtrS = 44,
    kTwtrL = 45,
    kTccdLFine = 117,
    kTrrdLFine = 118,
    kTrrdSFine = 119,
    kTrcFine = 120,
    kTrpFine = 121,
    kTrcdFine = 122,
    kTaaFine = 123,
    kTckMaxFine = 124,
    kTckMinFine = 125,
    kBaseCrc = 126,
    kHeight = 128,
    kThickness = 129,
    kReferenceCard = 130,
    kModuleCrc = 254,
    kModuleMaker = 320,
    kLocation = 322,
    kDateYear = 323,
    kDateWeek = 324,
    kSerial = 325,
    kPart = 329,
    kRevisionCode = 349,
    kDramMaker = 350,
    kXmpMagic = 384,
    kXmpProfilesEnabled = 386,
    kXmpRevision = 387,
    kXmpProfileBase = 393,
    kXmpProfileStride = 47,
};
inline constexpr int kSerialLength = 4, kPartLength = 20;
inline constexpr int kBaseCrcLength = 126, kModuleSectionStart = 128, kModuleCrcLength = 126;
inline constexpr std::uint8_t kTypeCode = 0x0C;
inline constexpr std::array<std::uint8_t, 2> kXmpMagicBytes = {0x0C, 0x4A};
inline constexpr int kXmpProfileSlots = 2;

// Within an XMP profile, from its voltage byte.
enum XmpByte : int {
    kXVoltage = 0,
    kXTck = 3,
    kXCasFirst = 4,
    kXTaa = 8,
    kXTrcd = 9,
    kXTrp = 10,
    kXTrasTrcHigh = 11,
    kXTrasLow = 12,
    kXTrcLow = 13,
    kXTrfc1 = 14,
    kXTrfc2 = 16,
    kXTrfc4 = 18,
    kXTfawHigh = 20,
    kXTfawLow = 21,
    kXTrrdS = 22,
    kXTrrdL = 23,
    kXTrrdLFine = 32,
    kXTrrdSFine = 33,
    kXTrcFine = 34,
    kXTrpFine = 35,
    kXTrcdFine = 36,
    kXTaaFine = 37,
    kXTckFine = 38,
};

// A time: a count of the medium time base (0.125 ns) and a signed fine correction (0.001 ns).
struct Time {
    std::int64_t medium = 0;
    int fine = 0;
    // In whole picoseconds: below zero when the correction is larger than the count (a damaged image).
    std::int64_t Ps() const { return medium * 125 + fine; }
    // In nanoseconds, computed in double precision and stored as single precision.
    float Ns() const { return static_cast<float>(static_cast<double>(medium) * 0.125 + fine * 0.001); }
    Time WithoutFine() const { return {medium, 0}; }
};

// One byte with its fine byte, a 12-bit count from a nibble (low or high half) and a byte, a 16-bit count.
Time ByteTime(const SpdBytes& spd, int medium, int fine);
Time Nibble12Time(const SpdBytes& spd, int nibbleByte, bool highNibble, int lowByte, int fine = -1);
Time Word16Time(const SpdBytes& spd, int lowByte);

// The SDRAM and module organisation of bytes 4-6, 12 and 13. Absent values are codes the layout reserves.
struct Organisation {
    std::optional<int> bankGroups;    // byte 4 bits 7-6: 0 (no bank groups), 2 or 4
    std::optional<int> banksPerGroup; // byte 4 bits 5-4: 4 or 8
    std::optional<int> dieMbit;       // byte 4 bits 3-0
    std::optional<int> rowBits, columnBits;
    std::optional<int> busBits;    // byte 13 bits 2-0: the primary bus
    std::optional<int> deviceBits; // byte 12 bits 2-0
    int packageRanks = 1;
    int dies = 1;         // per package; 1 for a monolithic one
    int logicalRanks = 1; // a 3DS package's dies are ranks of their own
    // All the banks of a device: without bank groups, the banks of the one group there is.
    std::optional<int> TotalBanks() const;
};
Organisation ReadOrganisation(const SpdBytes& spd);

// The CAS latencies four flag bytes from `first` say, in ascending order: bit 0 of the first byte is CL 7, bits 6
// and 7 of the last are no flags; with `highRangeFlag`, bit 7 of the last byte moves the range up by 16.
std::vector<int> CasLatencies(const SpdBytes& spd, int first, bool highRangeFlag);

// The XMP profiles shown: in order while their enable bit is set (a clear bit 0 hides profile 2 too), 0 without
// the XMP header.
int XmpProfileCount(const SpdBytes& spd);
inline constexpr int XmpProfileBase(int profile) {
    return kXmpProfileBase + kXmpProfileStride * profile;
}

// Whole clocks of a time at a clock period by the DDR4 rounding rule: the quotient in thousandths, truncated after
// adding 0.974, so a time a hair above a whole number of clocks (from picosecond rounding of tCK) is not a clock
// more. Nothing for a negative time or a period of zero.
std::optional<std::int64_t> JedecClocks(std::int64_t timePs, std::int64_t tckPs);

// The name in MT/s of a data rate (2000 / tCK in ns). DDR4 and XMP rates lie on steps of 200/3 MT/s and are named
// by the step truncated (2133.3 is DDR4-2133). tCK is stored in whole picoseconds (0.938 ns for 0.9375), so a
// rate within 0.15 % of a step is named by that step (2132.2 is 2133, 3603.6 is 3600); any other rate by its own
// truncation, and so is any rate of 22,222 MT/s or more, where the windows of neighbouring steps meet. Nothing
// below 1 MT/s, nor for a rate an int cannot hold.
std::optional<int> RateName(double mts);
// The named rate of a stored clock period: 2000 / tCK with tCK in single precision, as the module table has it.
std::optional<int> RateName(const Time& tck);

} // namespace ddr4
