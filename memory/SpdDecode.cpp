#include "memory/SpdDecode.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <optional>

const std::array<std::u16string_view, kModuleInfoColumnCount> kModuleInfoColumns = {
    u"Field", u"Value", u"CL", u"tRCD", u"tRP", u"tRAS", u"tRC",
};

const std::array<std::u16string_view, kFixedRowCount> kFixedRowLabels = {
    u"制造商",   u"产品编号", u"序列号", u"模组容量", u"存储类型", u"存储速度",
    u"内存位宽", u"Banks",    u"Ranks",  u"工作电压", u"test",
};

// 0x86 0xDA: bank 7 (six continuation codes), both bytes with odd parity in bit 7.
const std::array<ManufacturerEntry, 10> ManufacturerTable = {{
    {0x86, 0xDA, u"Quenmark Microsystems"},
    {0x04, 0xCD, u"G.Skill"},
    {0x85, 0x02, u"Patriot Memory"},
    {0x02, 0xB5, u"SpecTek Incorporated"},
    {0x80, 0x2C, u"Micron Technology"},
    {0x80, 0xAD, u"SK Hynix"},
    {0x80, 0xCE, u"Samsung"},
    {0x85, 0x9B, u"Crucial Technology"},
    {0x01, 0x98, u"Kingston"},
    {0x02, 0x9E, u"Corsair"},
}};

namespace {

// Row numbers of the module facts.
enum FixedRow {
    kMakerRow,
    kPartRow,
    kSerialRow,
    kCapacityRow,
    kTypeRow,
    kSpeedRow,
    kBusRow,
    kBanksRow,
    kRanksRow,
    kVoltageRow
};

// SPD byte offsets.
constexpr int kSdramType = 2, kDensity = 4, kPackage = 6, kOrganisation = 12, kBusWidth = 13;
constexpr int kTck = 18, kCasFirst = 20, kCasLast = 23, kTaa = 24, kTrcd = 25, kTrp = 26, kTrasTrcHigh = 27;
constexpr int kTrasLow = 28, kTrcLow = 29;
constexpr int kTrpFine = 121, kTrcdFine = 122, kTaaFine = 123, kTckFine = 125;
constexpr int kMakerBank = 320, kMakerId = 321, kSerial = 325, kSerialLength = 4, kPart = 329, kPartLength = 20;
constexpr int kXmpMagic = 384, kXmpProfilesEnabled = 386, kXmpProfileBase = 393, kXmpProfileStride = 47;
constexpr int kXmpProfileSlots = 2;
// Within an XMP profile, from its voltage byte.
constexpr int kXTck = 3, kXTaa = 8, kXTrcd = 9, kXTrp = 10, kXTrasTrcHigh = 11, kXTrasLow = 12, kXTrcLow = 13;
constexpr int kXTrcFine = 34, kXTrpFine = 35, kXTrcdFine = 36, kXTaaFine = 37, kXTckFine = 38;

// Latencies 7 and up, one flag each, in two ranges 16 apart.
constexpr int kCasFlagCount = 48;
constexpr int kLowestCas = 7;
constexpr int kHighCasRangeOffset = 16;

constexpr double kMediumTimeBase = 0.125;
constexpr double kFineTimeBase = 0.001;
constexpr double kModuleVoltage = 1.2;

// Decoded organisation codes. Codes the DDR4 layout reserves are absent (nullopt): the cells that need them show
// kReservedCodeText instead of a number made up from them, and the capacity never divides by a width of zero.
constexpr std::array<int, 3> kBankGroups = {0, 2, 4}; // code 3 reserved
constexpr std::array<int, 2> kBanksPerGroup = {4, 8}; // codes 2 and 3 reserved
constexpr std::array<int, 10> kDieMbit = {256,  512,   1024,  2048,  4096,
                                          8192, 16384, 32768, 12288, 24576}; // codes 10-15 reserved
constexpr std::array<int, 4> kDeviceWidth = {4, 8, 16, 32};                  // codes 4-7 reserved

template <std::size_t N> std::optional<int> Lookup(const std::array<int, N>& table, unsigned code) {
    if (code >= N) {
        return std::nullopt;
    }
    return table[code];
}

class SpdBytes {
public:
    explicit SpdBytes(const SpdImage& image) : m_image(image) {}
    unsigned operator[](int offset) const { return m_image[static_cast<std::size_t>(offset)]; }
    int Signed(int offset) const { return static_cast<std::int8_t>(m_image[static_cast<std::size_t>(offset)]); }

    // Medium time base count plus a signed fine correction, stored as single precision.
    float TimeWithFine(int medium, int fine) const {
        return static_cast<float>((*this)[medium] * kMediumTimeBase + Signed(fine) * kFineTimeBase);
    }
    // A 12-bit medium time base count: the upper nibble from one byte (low or high half), the low byte from another.
    float Time12(int nibbleByte, bool highNibble, int lowByte) const {
        unsigned nibble = highNibble ? (*this)[nibbleByte] >> 4 : (*this)[nibbleByte] & 0x0Fu;
        return static_cast<float>(((nibble << 8) | (*this)[lowByte]) * kMediumTimeBase);
    }

private:
    const SpdImage& m_image;
};

// printf formatting of ASCII numbers and codes, widened to UTF-16.
[[gnu::format(printf, 1, 2)]] std::u16string Format(const char* format, ...) {
    char buffer[64];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0) {
        return {};
    }
    std::size_t used = std::min(static_cast<std::size_t>(length), sizeof buffer - 1);
    return std::u16string(buffer, buffer + used);
}

// The data rate in MT/s that a clock period allows, truncated. A period of zero or below (a blank or damaged SPD)
// allows none, and neither does one whose rate would not fit an int: converting that would be undefined.
std::optional<int> DataRate(double period) {
    if (!(period > 0.0)) {
        return std::nullopt;
    }
    double rate = 2000.0 / period;
    if (!(rate >= 1.0 && rate < static_cast<double>(INT_MAX))) {
        return std::nullopt;
    }
    return static_cast<int>(rate);
}

// Below this a double holds every whole number exactly, and so does a long long.
constexpr double kExactWholeNumbers = 9007199254740992.0; // 2^53

// Whole clocks that a time needs at a clock period: the quotient stored as single precision, then rounded up.
// A negative time (a damaged fine correction) or a quotient beyond the float range has no count.
std::u16string ClockCount(double time, double period) {
    if (!(time >= 0.0) || !(period > 0.0)) {
        return std::u16string(kNoTimeText);
    }
    double quotient = time / period;
    if (!(quotient <= FLT_MAX)) {
        return std::u16string(kNoTimeText);
    }
    const double clocks = std::ceil(static_cast<double>(static_cast<float>(quotient)));
    if (clocks >= kExactWholeNumbers) {
        return Format("%.0f", clocks);
    }
    // Every count a real module gives: written as the whole number it is, without printf's float formatting.
    const std::string digits = std::to_string(static_cast<long long>(clocks));
    return std::u16string(digits.begin(), digits.end());
}

std::u16string MakerText(const SpdBytes& spd) {
    for (const ManufacturerEntry& entry : ManufacturerTable) {
        if (entry.bank == spd[kMakerBank] && entry.id == spd[kMakerId]) {
            return std::u16string(entry.name);
        }
    }
    return Format("%02X %02X", spd[kMakerBank], spd[kMakerId]);
}

// The part number's characters up to its first zero byte; a byte above 0x7F stands for the Latin-1 character of
// that value, so the text is always valid UTF-16. Twenty zero bytes mean no part number.
std::u16string PartNumberText(const SpdBytes& spd) {
    unsigned sum = 0;
    for (int i = 0; i < kPartLength; ++i) {
        sum += spd[kPart + i];
    }
    if (sum == 0) {
        return u"无";
    }
    std::u16string text;
    for (int i = 0; i < kPartLength && spd[kPart + i] != 0; ++i) {
        text += static_cast<char16_t>(spd[kPart + i]);
    }
    return text;
}

std::u16string SerialText(const SpdBytes& spd) {
    std::u16string text;
    for (int i = 0; i < kSerialLength; ++i) {
        text += Format("%02X", spd[kSerial + i]);
    }
    return text == u"00000000" ? u"无" : text;
}

int Generation(unsigned typeByte) {
    switch (typeByte) {
    case 0x07:
        return 1;
    case 0x08:
        return 2;
    case 0x0B:
        return 3;
    case 0x0C:
        return 4;
    default:
        return 0;
    }
}

void DecodeOrganisation(const SpdBytes& spd, ModuleInfoRow* rows) {
    std::optional<int> bankGroups = Lookup(kBankGroups, spd[kDensity] >> 6);
    std::optional<int> banksPerGroup = Lookup(kBanksPerGroup, (spd[kDensity] >> 4) & 0x3u);
    std::optional<int> dieMbit = Lookup(kDieMbit, spd[kDensity] & 0x0Fu);
    std::optional<int> deviceWidth = Lookup(kDeviceWidth, spd[kOrganisation] & 0x7u);
    int packageRanks = static_cast<int>((spd[kOrganisation] >> 3) & 0x7u) + 1;
    // A 3DS package (single-load stack) carries several dies behind each package rank, each its own logical rank;
    // every other package counts as one die per rank.
    int logicalRanks = packageRanks;
    if ((spd[kPackage] & 0x3u) == 2) {
        logicalRanks *= static_cast<int>((spd[kPackage] >> 4) & 0x7u) + 1;
    }

    std::u16string reserved(kReservedCodeText);
    // Gigabytes in 32-bit integer steps, each truncating, with a 64-bit primary bus whatever byte 13 says.
    rows[kCapacityRow][1] =
        dieMbit && deviceWidth ? Format("%dG", *dieMbit / 8 * 64 / *deviceWidth * logicalRanks / 1024) : reserved;
    switch (spd[kBusWidth]) {
    case 0x03:
        rows[kBusRow][1] = u"64bit";
        break;
    case 0x0B:
        rows[kBusRow][1] = u"72bit";
        break;
    default:
        rows[kBusRow][1] = reserved;
        break;
    }
    rows[kBanksRow][1] = bankGroups && banksPerGroup ? Format("%d", *bankGroups * *banksPerGroup) : reserved;
    rows[kRanksRow][1] = Format("%d", packageRanks);
}

std::array<bool, kCasFlagCount> CasLatencyFlags(const SpdBytes& spd) {
    std::array<bool, kCasFlagCount> flags{};
    const int range = (spd[kCasLast] & 0x80u) ? kHighCasRangeOffset : 0;
    for (int offset = kCasFirst; offset <= kCasLast; ++offset) {
        const int bits = offset == kCasLast ? 6 : 8;
        for (int b = 0; b < bits; ++b) {
            if (spd[offset] & (1u << b)) {
                flags[static_cast<std::size_t>(range + (offset - kCasFirst) * 8 + b)] = true;
            }
        }
    }
    return flags;
}

// One row per supported CAS latency: the fastest rate that both tCKmin and tAAmin / CL allow, and the other
// timings in whole clocks at that rate.
void AppendJedecRows(const SpdBytes& spd, std::vector<ModuleInfoRow>& rows) {
    const double tck = spd.TimeWithFine(kTck, kTckFine);
    const std::optional<int> rate = DataRate(tck);
    const double taa = spd.TimeWithFine(kTaa, kTaaFine);
    const std::array<double, 4> times = {
        spd.TimeWithFine(kTrcd, kTrcdFine),
        spd.TimeWithFine(kTrp, kTrpFine),
        spd.Time12(kTrasTrcHigh, false, kTrasLow),
        spd.Time12(kTrasTrcHigh, true, kTrcLow),
    };
    const std::array<bool, kCasFlagCount> flags = CasLatencyFlags(spd);
    int k = 0;
    for (int n = 0; n < kCasFlagCount; ++n) {
        if (!flags[static_cast<std::size_t>(n)]) {
            continue;
        }
        const int cl = n + kLowestCas;
        ModuleInfoRow& row = rows.emplace_back();
        row[0] = Format("JEDEC #%d", ++k);
        row[2] = Format("%d", cl);
        std::optional<int> rateAtCl = rate;
        const double tcl = taa / cl;
        if (rate && tck < tcl) {
            rateAtCl = DataRate(tcl);
        }
        if (!rateAtCl) {
            for (int c : {1, 3, 4, 5, 6}) {
                row[static_cast<std::size_t>(c)] = std::u16string(kNoTimeText);
            }
            continue;
        }
        row[1] = Format("%d (%dMHz )", *rateAtCl, *rateAtCl / 2);
        const double tckUsed = static_cast<float>(2000.0 / *rateAtCl);
        for (std::size_t i = 0; i < times.size(); ++i) {
            row[3 + i] = ClockCount(times[i], tckUsed);
        }
    }
}

void AppendXmpProfile(const SpdBytes& spd, int profile, std::vector<ModuleInfoRow>& rows) {
    const int base = kXmpProfileBase + kXmpProfileStride * profile;
    rows.emplace_back()[1] = Format("XMP Profile %d", profile + 1);

    const double tck = spd.TimeWithFine(base + kXTck, base + kXTckFine);
    ModuleInfoRow& speed = rows.emplace_back();
    speed[0] = std::u16string(kFixedRowLabels[kSpeedRow]);
    const std::optional<int> rate = DataRate(tck);
    speed[1] = rate ? Format("%d( %dMHz )", *rate, *rate / 2) : std::u16string(kNoTimeText);
    const std::array<double, 5> times = {
        spd.TimeWithFine(base + kXTaa, base + kXTaaFine),
        spd.TimeWithFine(base + kXTrcd, base + kXTrcdFine),
        spd.TimeWithFine(base + kXTrp, base + kXTrpFine),
        spd.Time12(base + kXTrasTrcHigh, false, base + kXTrasLow),
        static_cast<float>(spd.Time12(base + kXTrasTrcHigh, true, base + kXTrcLow) +
                           spd.Signed(base + kXTrcFine) * kFineTimeBase),
    };
    // The clocks count over the profile's own tCK, not over 2000 / rate; column 2 is the computed CL.
    for (std::size_t i = 0; i < times.size(); ++i) {
        speed[2 + i] = ClockCount(times[i], tck);
    }

    const unsigned voltageByte = spd[base];
    const float voltage = static_cast<float>((voltageByte >> 7) + (voltageByte & 0x7Fu) * 0.01);
    ModuleInfoRow& voltageRow = rows.emplace_back();
    voltageRow[0] = std::u16string(kFixedRowLabels[kVoltageRow]);
    voltageRow[1] = Format("%1.2fV", static_cast<double>(voltage));
}

} // namespace

DecodedModule DecodeSpd(const SpdImage& image) {
    const SpdBytes spd(image);
    DecodedModule module;
    module.rows.resize(kFixedRowCount);
    for (std::size_t r = 0; r < kFixedRowLabels.size(); ++r) {
        module.rows[r][0] = std::u16string(kFixedRowLabels[r]);
    }
    ModuleInfoRow* fixed = module.rows.data();
    fixed[kMakerRow][1] = MakerText(spd);
    fixed[kPartRow][1] = PartNumberText(spd);
    fixed[kSerialRow][1] = SerialText(spd);
    DecodeOrganisation(spd, fixed);
    fixed[kTypeRow][1] = Format("DDR%d SDRAM", Generation(spd[kSdramType]));
    const std::optional<int> rate = DataRate(spd.TimeWithFine(kTck, kTckFine));
    fixed[kSpeedRow][1] = rate ? Format("DDR4-%d ( %dMHz )", *rate, *rate / 2) : std::u16string(kNoTimeText);
    fixed[kVoltageRow][1] = Format("%1.2fV", kModuleVoltage);

    AppendJedecRows(spd, module.rows);

    if (spd[kXmpMagic] == 0x0C && spd[kXmpMagic + 1] == 0x4A) {
        // Profiles show in order while their enable bit is set: a clear bit 0 hides profile 2 as well.
        for (int p = 0; p < kXmpProfileSlots && (spd[kXmpProfilesEnabled] & (1u << p)); ++p) {
            ++module.xmpProfileCount;
            AppendXmpProfile(spd, p, module.rows);
        }
    }
    return module;
}
