// Fuzzes the DDR4 parser alone, fast enough for millions of runs: any bytes (zero-padded or cut to 512) through
// the field model of the base block and the XMP 2.0 profiles and into the module table, without any text output.
// Every organisation value is one its code can give, latencies ascend within their range, clock counts are JEDEC's
// rounding of their time, rate names lie within 0.15 % of the rate (or are its truncation), and the table has its
// rows where the model says. The printing code has its own target (spd_fuzz).
#include "memory/ModuleLabels.h"
#include "memory/SpdDdr4Fields.h"
#include "memory/SpdDecode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using namespace ddr4;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckLatencies(const std::vector<int>& latencies, int lowest, int highest) {
    Require(latencies.size() <= 30 && std::is_sorted(latencies.begin(), latencies.end()) &&
            std::adjacent_find(latencies.begin(), latencies.end()) == latencies.end());
    Require(latencies.empty() || (latencies.front() >= lowest && latencies.back() <= highest));
}

// JEDEC's rounding: the quotient in thousandths plus 0.974, truncated; nothing for a negative time or no clock.
void CheckClocks(std::int64_t timePs, std::int64_t tckPs) {
    const std::optional<std::int64_t> clocks = JedecClocks(timePs, tckPs);
    Require(clocks.has_value() == (timePs >= 0 && tckPs > 0));
    if (clocks) {
        Require(*clocks >= 0 && *clocks * tckPs * 1000 > timePs * 1000 - 26 * tckPs &&
                *clocks * tckPs * 1000 <= timePs * 1000 + 974 * tckPs);
    }
}

// A rate's name is the rate truncated or a step of 200/3 MT/s within 0.15 % of it.
void CheckRate(const Time& tck) {
    const std::optional<int> name = RateName(tck);
    const double ns = tck.Ns();
    Require(name.has_value() == (ns > 0.0 && 2000.0 / ns >= 1.0));
    if (name) {
        const double rate = 2000.0 / ns;
        Require(*name == static_cast<int>(rate) ||
                ((*name * 3 + 2) % 200 <= 2 && *name >= rate * 0.998 - 1 && *name <= rate * 1.0016));
    }
}

std::array<std::int64_t, 5> ProfileTimes(const SpdBytes& spd, int b) {
    return {ByteTime(spd, b + kXTaa, b + kXTaaFine).Ps(), ByteTime(spd, b + kXTrcd, b + kXTrcdFine).Ps(),
            ByteTime(spd, b + kXTrp, b + kXTrpFine).Ps(),
            Nibble12Time(spd, b + kXTrasTrcHigh, false, b + kXTrasLow).Ps(),
            Nibble12Time(spd, b + kXTrasTrcHigh, true, b + kXTrcLow, b + kXTrcFine).Ps()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SpdImage image{};
    std::memcpy(image.data(), data, std::min(size, image.size()));
    const SpdBytes spd(image);

    const Organisation o = ReadOrganisation(spd);
    Require(o.packageRanks >= 1 && o.packageRanks <= 8 && o.dies >= 1 && o.dies <= 8);
    Require(o.logicalRanks >= o.packageRanks && o.logicalRanks <= 64);
    Require(!o.TotalBanks() || (*o.TotalBanks() >= 4 && *o.TotalBanks() <= 32));
    Require(!o.dieMbit || (*o.dieMbit >= 256 && *o.dieMbit <= 32768));
    Require(!o.rowBits || (*o.rowBits >= 12 && *o.rowBits <= 18));
    Require(!o.columnBits || (*o.columnBits >= 9 && *o.columnBits <= 12));

    const std::vector<int> latencies = CasLatencies(spd, kCasFirst, true);
    CheckLatencies(latencies, 7, 52);
    const Time tck = ByteTime(spd, kTckMin, kTckMinFine);
    CheckRate(tck);
    for (const std::int64_t t :
         {ByteTime(spd, kTaa, kTaaFine).Ps(), ByteTime(spd, kTrcd, kTrcdFine).Ps(),
          Nibble12Time(spd, kTrasTrcHigh, false, kTrasLow).Ps(),
          Nibble12Time(spd, kTrasTrcHigh, true, kTrcLow, kTrcFine).Ps(), Word16Time(spd, kTrfc1).Ps()}) {
        CheckClocks(t, tck.Ps());
    }

    const int profiles = XmpProfileCount(spd);
    const bool header = image[kXmpMagic] == kXmpMagicBytes[0] && image[kXmpMagic + 1] == kXmpMagicBytes[1];
    Require(profiles == (!header || !(image[kXmpProfilesEnabled] & 1) ? 0 : (image[kXmpProfilesEnabled] & 2) ? 2 : 1));
    for (int p = 0; p < profiles; ++p) {
        const int b = XmpProfileBase(p);
        CheckLatencies(CasLatencies(spd, b + kXCasFirst, false), 7, 36);
        const Time profileTck = ByteTime(spd, b + kXTck, b + kXTckFine);
        CheckRate(profileTck);
        for (const std::int64_t t : ProfileTimes(spd, b)) {
            CheckClocks(t, profileTck.Ps());
        }
    }

    // The module table: the fixed rows, one row per latency and three per profile, the speed row by its name.
    const DecodedModule module = DecodeSpd(image, kFixedRowLabels);
    Require(module.xmpProfileCount == profiles);
    Require(module.rows.size() == kFixedRowCount + latencies.size() + kRowsPerXmpProfile * profiles);
    for (std::size_t r = 0; r < kFixedRowLabels.size(); ++r) {
        Require(module.rows[r][0] == kFixedRowLabels[r]);
    }
    const std::u16string& speed = module.rows[5][1];
    const std::optional<int> rate = RateName(tck);
    if (rate) {
        const std::string digits = std::to_string(*rate);
        Require(speed == u"DDR4-" + std::u16string(digits.begin(), digits.end()) + u" ( " + [&] {
            const std::string half = std::to_string(*rate / 2);
            return std::u16string(half.begin(), half.end());
        }() + u"MHz )");
    } else {
        Require(speed == kNoTimeText);
    }
    return 0;
}
