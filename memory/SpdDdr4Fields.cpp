#include "memory/SpdDdr4Fields.h"

#include <climits>
#include <cmath>

namespace ddr4 {

namespace {

// Decoded organisation codes; a code past the end of its table is reserved.
constexpr std::array<int, 3> kBankGroups = {0, 2, 4}; // JEDEC: 00 no bank groups, 01 two, 10 four
constexpr std::array<int, 2> kBanksPerGroup = {4, 8};
constexpr std::array<int, 10> kDieMbit = {256, 512, 1024, 2048, 4096, 8192, 16384, 32768, 12288, 24576};
constexpr std::array<int, 4> kBusBits = {8, 16, 32, 64};
constexpr std::array<int, 4> kDeviceBits = {4, 8, 16, 32};
constexpr int kRowBitsBase = 12, kRowCodeCount = 7, kColumnBitsBase = 9, kColumnCodeCount = 4;
constexpr std::int64_t kPsPerNs = 1000;
constexpr std::int64_t kClockRoundingGuard = 974;
constexpr int kLowestCas = 7, kHighCasRangeOffset = 16, kCasFlagCount = 30;
constexpr unsigned k3dsLoading = 2;
// Rate steps of 200/3 MT/s, and how near a step a rate from a rounded tCK lies.
constexpr int kTransfersPerClock = 2;
constexpr std::int64_t kRateStepNumerator = 200, kRateStepDenominator = 3;
constexpr double kRateStepTolerance = 0.0015;
// Above this the windows of neighbouring steps meet, so no rate is nearer one step than the grid itself.
constexpr double kRateStepWindowsApart = kRateStepNumerator / (2.0 * kRateStepDenominator * kRateStepTolerance);

template <std::size_t N> std::optional<int> Lookup(const std::array<int, N>& table, unsigned code) {
    return code < N ? std::optional<int>(table[code]) : std::nullopt;
}

} // namespace

Time ByteTime(const SpdBytes& spd, int medium, int fine) {
    return {spd[medium], spd.Signed(fine)};
}

Time Nibble12Time(const SpdBytes& spd, int nibbleByte, bool highNibble, int lowByte, int fine) {
    const unsigned nibble = highNibble ? spd[nibbleByte] >> 4 : spd[nibbleByte] & 0x0Fu;
    return {(nibble << 8) | spd[lowByte], fine >= 0 ? spd.Signed(fine) : 0};
}

Time Word16Time(const SpdBytes& spd, int lowByte) {
    return {spd.LittleEndian16(lowByte), 0};
}

std::optional<int> Organisation::TotalBanks() const {
    if (!bankGroups || !banksPerGroup) {
        return std::nullopt;
    }
    return (*bankGroups == 0 ? 1 : *bankGroups) * *banksPerGroup;
}

Organisation ReadOrganisation(const SpdBytes& spd) {
    Organisation o;
    o.bankGroups = Lookup(kBankGroups, spd[kDensity] >> 6);
    o.banksPerGroup = Lookup(kBanksPerGroup, (spd[kDensity] >> 4) & 0x3u);
    o.dieMbit = Lookup(kDieMbit, spd[kDensity] & 0x0Fu);
    const unsigned rowCode = (spd[kAddressing] >> 3) & 0x7u, columnCode = spd[kAddressing] & 0x7u;
    if (rowCode < kRowCodeCount) {
        o.rowBits = kRowBitsBase + static_cast<int>(rowCode);
    }
    if (columnCode < kColumnCodeCount) {
        o.columnBits = kColumnBitsBase + static_cast<int>(columnCode);
    }
    o.busBits = Lookup(kBusBits, spd[kBusWidth] & 0x7u);
    o.deviceBits = Lookup(kDeviceBits, spd[kOrganisation] & 0x7u);
    o.packageRanks = static_cast<int>((spd[kOrganisation] >> 3) & 0x7u) + 1;
    const int dieCount = static_cast<int>((spd[kPackage] >> 4) & 0x7u) + 1;
    o.dies = (spd[kPackage] & 0x80u) ? dieCount : 1;
    // A 3DS package (single-load stack) carries several dies behind each package rank, each its own logical rank;
    // the die count counts there whatever bit 7 says.
    o.logicalRanks = (spd[kPackage] & 0x3u) == k3dsLoading ? o.packageRanks * dieCount : o.packageRanks;
    return o;
}

std::vector<int> CasLatencies(const SpdBytes& spd, int first, bool highRangeFlag) {
    std::vector<int> latencies;
    const int range = highRangeFlag && (spd[first + 3] & 0x80u) ? kHighCasRangeOffset : 0;
    for (int n = 0; n < kCasFlagCount; ++n) {
        if (spd[first + n / 8] & (1u << (n % 8))) {
            latencies.push_back(n + kLowestCas + range);
        }
    }
    return latencies;
}

int XmpProfileCount(const SpdBytes& spd) {
    if (spd[kXmpMagic] != kXmpMagicBytes[0] || spd[kXmpMagic + 1] != kXmpMagicBytes[1]) {
        return 0;
    }
    int count = 0;
    while (count < kXmpProfileSlots && (spd[kXmpProfilesEnabled] & (1u << count))) {
        ++count;
    }
    return count;
}

std::optional<std::int64_t> JedecClocks(std::int64_t timePs, std::int64_t tckPs) {
    if (timePs < 0 || tckPs <= 0) {
        return std::nullopt;
    }
    return (timePs * kPsPerNs / tckPs + kClockRoundingGuard) / kPsPerNs;
}

std::optional<int> RateName(double mts) {
    if (!(mts >= 1.0 && mts < static_cast<double>(INT_MAX))) {
        return std::nullopt;
    }
    const auto step = static_cast<std::int64_t>(
        std::llround(mts * static_cast<double>(kRateStepDenominator) / static_cast<double>(kRateStepNumerator)));
    const double stepRate =
        static_cast<double>(step) * static_cast<double>(kRateStepNumerator) / static_cast<double>(kRateStepDenominator);
    const std::int64_t stepName = step * kRateStepNumerator / kRateStepDenominator;
    if (step > 0 && stepRate < kRateStepWindowsApart && std::fabs(mts - stepRate) <= stepRate * kRateStepTolerance) {
        return static_cast<int>(stepName);
    }
    return static_cast<int>(mts);
}

std::optional<int> RateName(const Time& tck) {
    const double period = tck.Ns();
    if (!(period > 0.0)) {
        return std::nullopt;
    }
    return RateName(kTransfersPerClock * 1000.0 / period);
}

} // namespace ddr4
