// Fuzzes the DDR5 parser alone, fast enough for millions of runs: any bytes (zero-padded or cut to 1024) as a DDR5
// image through the base block, the XMP 3.0 and the EXPO decoders, without any text output. Every value the model
// holds stays in the range its field can give, every checksum verdict agrees with its two values, every profile
// comes from an enabled slot of its block, and every clock count is a whole number of clocks that covers its time.
// The printing code has its own target (spd_fuzz).
#include "memory/SpdDdr5.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckCrc(const ddr5::Crc& crc) {
    Require(crc.ok == (crc.found == crc.calculated) && crc.found <= 0xFFFF && crc.calculated <= 0xFFFF);
}

// A time of the table and its clocks at a period: never negative, a count that covers the time less JESD400-5's
// 0.3 % allowance, and never under the table's own clock limit.
void CheckTiming(const ddr5::Timing& t, std::int64_t tckPs) {
    Require(!t.name.empty() && t.ps >= 0 && t.minClocks >= 0 && t.minClocks <= 0xFF);
    const std::optional<std::int64_t> clocks = ddr5::Clocks(t.ps, tckPs, t.minClocks);
    Require(clocks.has_value() == (tckPs > 0));
    if (clocks) {
        Require(*clocks >= t.minClocks && *clocks * tckPs * 1000 >= t.ps * 997);
    }
}

bool Ascending(const std::vector<int>& latencies) {
    return std::is_sorted(latencies.begin(), latencies.end()) &&
           std::adjacent_find(latencies.begin(), latencies.end()) == latencies.end();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ddr5::Image image{};
    std::memcpy(image.data(), data, std::min(size, image.size()));
    const ddr5::Module m = ddr5::Decode(image);

    Require(m.subChannels >= 0 && m.subChannels <= 2 && m.packageRanks >= 1 && m.packageRanks <= 8);
    Require(!m.capacityMb || *m.capacityMb > 0);
    Require(!m.TotalBanks() || (*m.TotalBanks() >= 1 && *m.TotalBanks() <= 32));
    Require(m.tckMinPs >= 0 && m.tckMinPs <= 0xFFFF && m.tckMaxPs >= 0 && m.tckMaxPs <= 0xFFFF);
    Require(Ascending(m.casLatencies) && m.casLatencies.size() <= 40);
    Require(!m.timings.empty() && m.timings.front().name == "tAA");
    for (const ddr5::Timing& t : m.timings) {
        CheckTiming(t, m.tckMinPs);
    }
    Require(!m.moduleType.empty() && !m.moduleMaker.empty() && !m.dramMaker.empty());
    Require(m.partNumber.size() <= 30 && m.devices.size() <= 6);
    for (const ddr5::Device& d : m.devices) {
        Require(!d.role.empty() && !d.maker.empty() && !d.type.empty());
    }
    Require(!m.date.year || (*m.date.year >= 0 && *m.date.year <= 99));
    Require(!m.date.week || (*m.date.week >= 0 && *m.date.week <= 99));
    CheckCrc(m.baseCrc);
    if (m.xmpHeaderCrc) {
        CheckCrc(*m.xmpHeaderCrc);
    }
    if (m.expoCrc) {
        CheckCrc(*m.expoCrc);
    }

    // Five XMP slots at most, then two EXPO profiles, each numbered within its block in ascending order.
    Require(m.profiles.size() <= 7);
    int xmp = 0, expo = 0, lastXmp = 0, lastExpo = 0;
    for (const ddr5::Profile& p : m.profiles) {
        const bool isXmp = p.kind == "XMP";
        Require(isXmp || p.kind == "EXPO");
        Require(isXmp ? expo == 0 && m.xmpHeaderCrc.has_value() : m.expoCrc.has_value());
        int& last = isXmp ? lastXmp : lastExpo;
        Require(p.number > last && p.number <= (isXmp ? 5 : 2));
        last = p.number;
        ++(isXmp ? xmp : expo);
        if (p.crc) {
            CheckCrc(*p.crc);
        }
        Require(p.tckPs >= 0 && p.tckPs <= 0xFFFF && Ascending(p.casLatencies));
        Require(!p.timings.empty() && p.timings.front().name == "tAA");
        for (const ddr5::Timing& t : p.timings) {
            CheckTiming(t, p.tckPs);
        }
        Require(p.name.size() <= 16);
    }
    Require(xmp <= 5 && expo <= 2);
    return 0;
}
