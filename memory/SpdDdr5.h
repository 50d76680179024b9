// The DDR5 SPD layout (JESD400-5, 1024 bytes) with the XMP 3.0 and EXPO profiles of its end-user area, decoded
// into plain values: what spdinfo prints for a DDR5 module. The module information page stays DDR4 (its SMBus
// library reads offsets 0-511 only). Portable: bytes in, values out; a code the layout reserves is absent.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "memory/SpdBytes.h"

namespace ddr5 {

inline constexpr std::size_t kImageSize = 1024;
inline constexpr std::uint8_t kTypeCode = 0x12;
using Image = std::array<std::uint8_t, kImageSize>;

// A CRC-16 stored beside the bytes it covers, and the one they give.
struct Crc {
    bool ok = false;
    unsigned found = 0, calculated = 0;
};

// A time from the table: picoseconds, and the fewest clocks the table allows for it (0 where it gives none).
struct Timing {
    std::string_view name; // JEDEC's, "tRCD"
    std::int64_t ps = 0;
    int minClocks = 0;
};

// A device on the module (SPD hub, PMIC, thermal sensor, registering clock driver): its maker and its type.
struct Device {
    std::string_view role; // "SPD Hub", "PMIC 0", ...
    std::string maker;
    std::string type; // "SPD5118", or "type 0x0N" for a code the table does not name
    std::string revision;
};

struct Profile {
    std::string kind; // "XMP" or "EXPO"
    int number = 1;
    std::string name; // empty where the profile has none
    std::optional<Crc> crc;
    std::optional<int> vddMv, vddqMv, vppMv, vmemctrlMv;
    std::int64_t tckPs = 0;
    std::vector<int> casLatencies; // XMP only: EXPO gives CL by tAA
    std::vector<Timing> timings;   // tAA first
};

struct Date {
    unsigned yearByte = 0, weekByte = 0;
    std::optional<int> year, week; // absent when a byte is not BCD
};

struct Module {
    std::string revision; // "1.0"
    std::optional<int> bytesTotal;
    std::string moduleType; // "UDIMM"; "?" for a reserved code
    bool hybrid = false;
    int subChannels = 1;
    std::optional<int> busBitsPerSubChannel, eccBitsPerSubChannel;
    int packageRanks = 1;
    bool asymmetrical = false;
    std::optional<int> dies, dieGbit, deviceBits, bankGroups, banksPerGroup, rowBits, columnBits;
    std::optional<std::int64_t> capacityMb;
    std::optional<int> vddMv, vddqMv, vppMv;
    std::int64_t tckMinPs = 0, tckMaxPs = 0;
    std::vector<int> casLatencies; // ascending
    std::vector<Timing> timings;   // tAA first, then as the table lists them
    int heightMm = 0, thicknessFrontMm = 0, thicknessBackMm = 0;
    std::string rawCard;
    int rawCardRevision = 0;
    std::string moduleMaker, dramMaker, partNumber;
    unsigned location = 0, serial = 0, revisionCode = 0, dramStepping = 0;
    Date date;
    std::vector<Device> devices;
    Crc baseCrc;
    std::optional<Crc> xmpHeaderCrc, expoCrc;
    std::vector<Profile> profiles; // XMP ones first
    std::optional<int> TotalBanks() const;
};

Module Decode(const Image& image);

// Whole clocks of a time at a clock period by the JESD400-5 rounding rule (the time less 0.3 %, over tCK in
// thousandths, truncated, plus one), and never fewer than the table's own lower limit. Nothing without a clock.
std::optional<std::int64_t> Clocks(std::int64_t ps, std::int64_t tckPs, int minClocks = 0);

// The speed grade in MT/s a clock period stands for (a multiple of 200 within 0.5 %), else the rate truncated.
std::optional<int> SpeedMts(std::int64_t tckPs);

// The JEDEC speed bins with their tCKAVGmin, slowest first.
struct SpeedBin {
    int mts;
    int tckPs;
};
extern const std::array<SpeedBin, 15> kSpeedBins;

// CL for a tAA at a clock period: the shortest supported latency that covers it (or the clocks themselves).
std::optional<std::int64_t> CasLatency(std::int64_t taaPs, std::int64_t tckPs, const std::vector<int>& supported);

} // namespace ddr5
