#include "spdinfo/SpdDetails.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <optional>

#include "memory/SpdDecode.h"
#include "spdinfo/SpdInfo.h"

namespace {

// SPD byte offsets of the DDR4 layout.
enum SpdByte : int {
    kBytesUsed = 0,
    kRevision = 1,
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
    kXmpRevision = 387,
    kXmpProfileBase = 393,
    kXmpProfileStride = 47,
};
constexpr int kSerialLength = 4, kPartLength = 20;
constexpr int kBaseCrcLength = 126, kModuleSectionStart = 128, kModuleCrcLength = 126;

// Within an XMP profile, from its voltage byte.
enum XmpByte : int {
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

constexpr int kMediumTimeBasePs = 125;
constexpr int kPsPerNs = 1000;
// Clocks from a time, as the JEDEC rounding rule has it: the quotient in thousandths, truncated after adding 0.974,
// so that a time a hair above a whole number of clocks (from picosecond rounding of tCK) is not a clock more.
constexpr std::int64_t kClockRoundingGuard = 974;
constexpr int kLowestCas = 7;
constexpr int kHighCasRangeOffset = 16;
constexpr int kCasFlagCount = 30;
// A speed grade is a multiple of 200/3 MT/s; tCK in whole picoseconds misses it by well under 0.5 %.
constexpr double kSpeedGridMts = 200.0 / 3.0;
constexpr double kSpeedGridTolerance = 0.005;
constexpr int kTransfersPerClock = 2;
constexpr int kBytesPerTransfer = 8; // the PC4 name counts MB/s over a 64-bit bus, in hundreds
constexpr int kPcNameStep = 100;

// The DDR4 speed bins and the tCK (ps) JEDEC gives each, slowest first.
struct SpeedBin {
    int mts;
    int tckPs;
};
constexpr std::array<SpeedBin, 7> kStandardSpeeds = {{
    {1600, 1250},
    {1866, 1071},
    {2133, 938},
    {2400, 833},
    {2666, 750},
    {2933, 682},
    {3200, 625},
}};

constexpr std::array<std::string_view, 22> kMemoryTypes = {
    "",
    "FPM DRAM",
    "EDO DRAM",
    "Pipelined Nibble",
    "SDR SDRAM",
    "ROM",
    "DDR SGRAM",
    "DDR SDRAM",
    "DDR2 SDRAM",
    "DDR2 FB-DIMM",
    "DDR2 FB-DIMM PROBE",
    "DDR3 SDRAM",
    "DDR4 SDRAM",
    "",
    "DDR4E SDRAM",
    "LPDDR3 SDRAM",
    "LPDDR4 SDRAM",
    "LPDDR4X SDRAM",
    "DDR5 SDRAM",
    "LPDDR5 SDRAM",
    "DDR5 NVDIMM-P",
    "LPDDR5X SDRAM",
};

// Byte 3's low nibble.
constexpr std::array<std::string_view, 16> kModuleTypes = {
    "Extended",     "RDIMM",        "UDIMM", "SO-DIMM", "LRDIMM",      "Mini-RDIMM",  "Mini-UDIMM", "",
    "72b-SO-RDIMM", "72b-SO-UDIMM", "",      "",        "16b-SO-DIMM", "32b-SO-DIMM", "",           "",
};

constexpr std::array<int, 3> kBankGroups = {1, 2, 4};
constexpr std::array<int, 2> kBanksPerGroup = {4, 8};
constexpr std::array<int, 10> kDieMbit = {256, 512, 1024, 2048, 4096, 8192, 16384, 32768, 12288, 24576};
constexpr std::array<int, 4> kWidthBits = {8, 16, 32, 64};              // primary bus
constexpr std::array<int, 4> kDeviceWidthBits = {4, 8, 16, 32};         // SDRAM device
constexpr std::array<int, 5> kBytesUsedCodes = {0, 128, 256, 384, 512}; // code 0 undefined
constexpr std::array<int, 3> kBytesTotalCodes = {0, 256, 512};          // code 0 undefined
constexpr int kRowBitsBase = 12, kRowCodeCount = 7, kColumnBitsBase = 9, kColumnCodeCount = 4;
constexpr int kHeightBaseMm = 15;

// Byte 7's low nibble: the maximum activate count.
constexpr std::array<std::string_view, 9> kActivateCounts = {
    "Untested", "700 K", "600 K", "500 K", "400 K", "300 K", "200 K", "", "Unlimited",
};

// Raw card letters of byte 130 (bits 4-0), and with the extension bit 7; code 31 means no JEDEC card.
constexpr std::array<std::string_view, 32> kReferenceCards = {
    "A", "B", "C", "D", "E",  "F",  "G",  "H",  "J",  "K",  "L",  "M",  "N",  "P",  "R",  "T",
    "U", "V", "W", "Y", "AA", "AB", "AC", "AD", "AE", "AF", "AG", "AH", "AJ", "AK", "AL", "ZZ",
};
constexpr std::array<std::string_view, 32> kReferenceCardsExtended = {
    "AM", "AN", "AP", "AR", "AT", "AU", "AV", "AW", "AY", "BA", "BB", "BC", "BD", "BE", "BF", "BG",
    "BH", "BJ", "BK", "BL", "BM", "BN", "BP", "BR", "BT", "BU", "BV", "BW", "BY", "CA", "CB", "ZZ",
};
constexpr unsigned kNoReferenceCard = 31;
constexpr int kRevisionFromExtension = 3;

// Module and DRAM makers by JEDEC bank (1 + continuation codes) and code, parity bit included.
struct Maker {
    int bank;
    std::uint8_t code;
    std::string_view name;
};
constexpr std::array<Maker, 17> kMakers = {{
    {1, 0x2C, "Micron Technology"},
    {1, 0xAD, "SK Hynix (former Hyundai Electronics)"},
    {1, 0xCE, "Samsung"},
    {1, 0x0B, "Nanya Technology"},
    {1, 0xFE, "Elpida"},
    {1, 0xC1, "Infineon (Siemens)"},
    {2, 0x98, "Kingston"},
    {3, 0x9E, "Corsair"},
    {3, 0xB5, "SpecTek Incorporated"},
    {5, 0xCD, "G Skill Intl"},
    {5, 0xCB, "A-DATA Technology"},
    {5, 0xEF, "Team Group Inc."},
    {6, 0x02, "Patriot Memory"},
    {6, 0x9B, "Crucial Technology"},
    {6, 0x51, "Qimonda"},
    {7, 0xDA, "Quenmark Microsystems"},
    {11, 0xBA, "Foxline"},
}};

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

template <std::size_t N> std::optional<int> Lookup(const std::array<int, N>& table, unsigned code) {
    return code < N ? std::optional<int>(table[code]) : std::nullopt;
}

template <std::size_t N> std::string_view Name(const std::array<std::string_view, N>& table, unsigned code) {
    return code < N ? table[code] : std::string_view();
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
constexpr std::string_view kNull = "null";
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

class Bytes {
public:
    explicit Bytes(const SpdImage& image) : m_image(image) {}
    unsigned operator[](int offset) const { return m_image[static_cast<std::size_t>(offset)]; }
    int Signed(int offset) const { return static_cast<std::int8_t>(m_image[static_cast<std::size_t>(offset)]); }
    // A medium time base count plus a signed fine correction, in picoseconds.
    std::int64_t Time(int medium, int fine) const {
        return static_cast<std::int64_t>((*this)[medium]) * kMediumTimeBasePs + Signed(fine);
    }
    // A 12-bit count: the upper nibble from one byte (its low or high half), the low byte from another.
    std::int64_t Time12(int nibbleByte, bool highNibble, int lowByte) const {
        const unsigned nibble = highNibble ? (*this)[nibbleByte] >> 4 : (*this)[nibbleByte] & 0x0Fu;
        return static_cast<std::int64_t>((nibble << 8) | (*this)[lowByte]) * kMediumTimeBasePs;
    }
    // A 16-bit count, low byte first.
    std::int64_t Time16(int lowByte) const {
        return static_cast<std::int64_t>((*this)[lowByte] | ((*this)[lowByte + 1] << 8)) * kMediumTimeBasePs;
    }
    const std::uint8_t* Data() const { return m_image.data(); }

private:
    const SpdImage& m_image;
};

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

std::optional<std::int64_t> Clocks(std::int64_t timePs, std::int64_t tckPs) {
    if (timePs < 0 || tckPs <= 0) {
        return std::nullopt;
    }
    return (timePs * kPsPerNs / tckPs + kClockRoundingGuard) / kPsPerNs;
}

// The MT/s that a clock period allows: the speed grade it stands for when it is one, else the rate truncated.
std::optional<int> SpeedMts(std::int64_t tckPs) {
    if (tckPs <= 0) {
        return std::nullopt;
    }
    const double rate = kTransfersPerClock * 1e6 / static_cast<double>(tckPs);
    const double grade = std::round(rate / kSpeedGridMts) * kSpeedGridMts;
    if (std::fabs(grade - rate) <= rate * kSpeedGridTolerance) {
        return static_cast<int>(grade + 1e-6);
    }
    return static_cast<int>(rate);
}

// Four bytes of latency flags from CL 7 up, bit 0 of the first byte first; bits 6-7 of the last byte are not flags,
// and in the module's own flags its bit 7 moves the whole range up by 16.
std::vector<int> CasLatencies(const Bytes& spd, int first, bool highRangeFlag) {
    std::vector<int> latencies;
    const int range = highRangeFlag && (spd[first + 3] & 0x80u) ? kHighCasRangeOffset : 0;
    for (int n = kCasFlagCount - 1; n >= 0; --n) {
        if (spd[first + n / 8] & (1u << (n % 8))) {
            latencies.push_back(n + kLowestCas + range);
        }
    }
    return latencies;
}

SpdDetailField CasField(const std::vector<int>& latencies) {
    std::string text, json = "[";
    for (std::size_t i = 0; i < latencies.size(); ++i) {
        text += Format("%s%dT", i == 0 ? "" : ", ", latencies[i]);
        json += Format("%s%d", i == 0 ? "" : ", ", latencies[i]);
    }
    return {"Supported CAS Latencies",
            text.empty() ? std::string(kDetailNoTimeText) : text,
            {{"casLatenciesCycles", json + "]"}}};
}

// AA-RCD-RP-RAS in clocks at a clock period; CL is raised to the next latency the module supports. Without a
// usable clock period the field is "-", a time the bytes do not give is "?".
SpdDetailField CyclesField(std::string label, std::string key, const std::array<std::int64_t, 4>& times,
                           std::int64_t tckPs, const std::vector<int>& latencies) {
    static constexpr std::array<std::string_view, 4> kNames = {"tAA", "tRCD", "tRP", "tRAS"};
    std::string text, json = "{";
    for (std::size_t i = 0; i < times.size(); ++i) {
        std::optional<std::int64_t> clocks = Clocks(times[i], tckPs);
        if (clocks && i == 0) {
            const auto supported =
                std::find_if(latencies.rbegin(), latencies.rend(), [&](int cl) { return cl >= *clocks; });
            if (supported != latencies.rend()) {
                clocks = *supported;
            }
        }
        if (i != 0) {
            text += '-';
        }
        text += clocks ? Number(*clocks) : Reserved();
        json += Format("%s\"%sCycles\": ", i == 0 ? "" : ", ", kNames[i].data());
        json += clocks ? Number(*clocks) : std::string(kNull);
    }
    return {std::move(label), tckPs > 0 ? text : std::string(kDetailNoTimeText), {{std::move(key), json + "}"}}};
}

std::string Hex(unsigned value, int digits) {
    return Format("0x%0*X", digits, value);
}

bool OddParity(unsigned byte) {
    return std::popcount(byte) % 2 == 1;
}

std::string MakerName(const Bytes& spd, int at) {
    const unsigned continuation = spd[at], code = spd[at + 1];
    if (continuation == 0 && code == 0) {
        return "Undefined";
    }
    if (!OddParity(continuation) || !OddParity(code)) {
        return "Unknown? (Invalid parity)";
    }
    const int bank = static_cast<int>(continuation & 0x7Fu) + 1;
    for (const Maker& maker : kMakers) {
        if (maker.bank == bank && maker.code == code) {
            return std::string(maker.name);
        }
    }
    return Format("Unknown (bank %d, code 0x%02X)", bank, code);
}

SpdDetailField CrcField(const Bytes& spd, std::string label, std::string key, int from, int length, int storedAt) {
    const unsigned found = spd[storedAt] | (spd[storedAt + 1] << 8);
    const unsigned calculated = SpdCrc16(spd.Data() + from, static_cast<std::size_t>(length));
    const bool ok = found == calculated;
    std::string text =
        ok ? "OK (" + Hex(found, 4) + ")" : "Bad (found " + Hex(found, 4) + ", calculated " + Hex(calculated, 4) + ")";
    return {std::move(label),
            std::move(text),
            {{std::move(key), "{\"ok\": " + Bool(ok) + ", \"found\": " + Number(found) +
                                  ", \"calculated\": " + Number(calculated) + "}"}}};
}

SpdDetailSection EepromSection(const Bytes& spd) {
    SpdDetailSection section{"SPD EEPROM Information", "spdEeprom", {}};
    auto& f = section.fields;
    f.push_back(CrcField(spd, "EEPROM CRC of bytes 0-125", "crcBytes0To125", 0, kBaseCrcLength, kBaseCrc));
    const int used = Lookup(kBytesUsedCodes, spd[kBytesUsed] & 0x0Fu).value_or(0);
    f.push_back({"# of bytes written to SDRAM EEPROM",
                 used ? Number(used) : Reserved(),
                 {{"bytesUsed", used ? Number(used) : std::string(kNull)}}});
    const int total = Lookup(kBytesTotalCodes, (spd[kBytesUsed] >> 4) & 0x7u).value_or(0);
    f.push_back({"Total number of bytes in EEPROM",
                 total ? Number(total) : Reserved(),
                 {{"bytesTotal", total ? Number(total) : std::string(kNull)}}});
    f.push_back({"Fundamental Memory type", "DDR4 SDRAM", {{"memoryType", Text("DDR4 SDRAM")}}});
    const std::string revision = Format("%u.%u", spd[kRevision] >> 4, spd[kRevision] & 0x0Fu);
    f.push_back({"SPD Revision", revision, {{"spdRevision", Text(revision)}}});
    std::string type(Name(kModuleTypes, spd[kModuleType] & 0x0Fu));
    if (type.empty()) {
        type = "Unknown (" + Hex(spd[kModuleType] & 0x0Fu, 2) + ")";
    }
    f.push_back({"Module Type", type, {{"moduleType", Text(type)}}});
    f.push_back(CrcField(spd, "EEPROM CRC of bytes 128-253", "crcBytes128To253", kModuleSectionStart, kModuleCrcLength,
                         kModuleCrc));
    return section;
}

struct Organisation {
    std::optional<int> banks, rows, columns, busBits, deviceBits, dieMbit;
    int packageRanks = 1, logicalRanks = 1, dies = 1;
    std::optional<std::int64_t> sizeMb;
};

Organisation ReadOrganisation(const Bytes& spd) {
    Organisation o;
    const std::optional<int> groups = Lookup(kBankGroups, spd[kDensity] >> 6);
    const std::optional<int> perGroup = Lookup(kBanksPerGroup, (spd[kDensity] >> 4) & 0x3u);
    if (groups && perGroup) {
        o.banks = *groups * *perGroup;
    }
    o.dieMbit = Lookup(kDieMbit, spd[kDensity] & 0x0Fu);
    const unsigned rowCode = (spd[kAddressing] >> 3) & 0x7u, columnCode = spd[kAddressing] & 0x7u;
    if (rowCode < kRowCodeCount) {
        o.rows = kRowBitsBase + static_cast<int>(rowCode);
    }
    if (columnCode < kColumnCodeCount) {
        o.columns = kColumnBitsBase + static_cast<int>(columnCode);
    }
    o.busBits = Lookup(kWidthBits, spd[kBusWidth] & 0x7u);
    o.deviceBits = Lookup(kDeviceWidthBits, spd[kOrganisation] & 0x7u);
    o.packageRanks = static_cast<int>((spd[kOrganisation] >> 3) & 0x7u) + 1;
    o.dies = (spd[kPackage] & 0x80u) ? static_cast<int>((spd[kPackage] >> 4) & 0x7u) + 1 : 1;
    // A 3DS package (single-load stack) carries its dies behind each package rank, each its own logical rank.
    o.logicalRanks = (spd[kPackage] & 0x3u) == 2 ? o.packageRanks * o.dies : o.packageRanks;
    if (o.dieMbit && o.busBits && o.deviceBits) {
        o.sizeMb = static_cast<std::int64_t>(*o.dieMbit) / 8 * (*o.busBits / *o.deviceBits) * o.logicalRanks;
    }
    return o;
}

std::string OrNumber(const std::optional<int>& value) {
    return value ? Number(*value) : std::string(kNull);
}
std::string OrText(const std::optional<int>& value, const char* unit = "") {
    return value ? Number(*value) + unit : Reserved();
}

SpdDetailSection MemorySection(const Bytes& spd, const Organisation& o, const std::vector<int>& latencies,
                               const std::array<std::int64_t, 4>& times) {
    SpdDetailSection section{"Memory Characteristics", "memoryCharacteristics", {}};
    auto& f = section.fields;
    const std::int64_t tck = spd.Time(kTckMin, kTckMinFine);
    const std::optional<int> speed = SpeedMts(tck);
    if (speed) {
        const int pcName = *speed * kBytesPerTransfer / kPcNameStep * kPcNameStep;
        f.push_back({"Maximum module speed",
                     Format("%d MT/s (PC4-%d)", *speed, pcName),
                     {{"maximumSpeedMTs", Number(*speed)}, {"pc4Name", Text(Format("PC4-%d", pcName))}}});
    } else {
        f.push_back({"Maximum module speed",
                     std::string(kDetailNoTimeText),
                     {{"maximumSpeedMTs", std::string(kNull)}, {"pc4Name", std::string(kNull)}}});
    }
    f.push_back({"Size",
                 o.sizeMb ? Number(*o.sizeMb) + " MB" : Reserved(),
                 {{"sizeMB", o.sizeMb ? Number(*o.sizeMb) : std::string(kNull)}}});
    const auto part = [](const std::optional<int>& v) { return v ? Number(*v) : Reserved(); };
    f.push_back({"Banks x Rows x Columns x Bits",
                 part(o.banks) + " x " + part(o.rows) + " x " + part(o.columns) + " x " + part(o.busBits),
                 {{"banks", OrNumber(o.banks)},
                  {"rowAddressBits", OrNumber(o.rows)},
                  {"columnAddressBits", OrNumber(o.columns)}}});
    f.push_back({"SDRAM Device Width", OrText(o.deviceBits, " bits"), {{"deviceWidthBits", OrNumber(o.deviceBits)}}});
    f.push_back({"Ranks", Number(o.packageRanks), {{"ranks", Number(o.packageRanks)}}});
    if (o.packageRanks > 1) {
        const std::string mix = (spd[kOrganisation] & 0x40u) ? "Asymmetrical" : "Symmetrical";
        f.push_back({"Rank Mix", mix, {{"rankMix", Text(mix)}}});
    }
    f.push_back({"Primary Bus Width", OrText(o.busBits, " bits"), {{"primaryBusWidthBits", OrNumber(o.busBits)}}});
    const unsigned extension = (spd[kBusWidth] >> 3) & 0x3u;
    if (extension != 0) {
        const std::string bits = extension == 1 ? "8 bits" : Reserved();
        f.push_back({"Bus Width Extension", bits, {{"busWidthExtensionBits", extension == 1 ? "8" : "null"}}});
    }
    f.push_back(CyclesField("AA-RCD-RP-RAS (cycles)", "ratedTimings", times, tck, latencies));
    f.push_back(CasField(latencies));
    return section;
}

SpdDetailSection StandardSpeedsSection(const Bytes& spd, const std::vector<int>& latencies,
                                       const std::array<std::int64_t, 4>& times) {
    SpdDetailSection section{"Timings at Standard Speeds", "timingsAtStandardSpeeds", {}};
    const std::int64_t tckMin = spd.Time(kTckMin, kTckMinFine);
    const std::int64_t tckMax = spd.Time(kTckMax, kTckMaxFine);
    if (tckMin <= 0) {
        return section;
    }
    for (auto bin = kStandardSpeeds.rbegin(); bin != kStandardSpeeds.rend(); ++bin) {
        if (bin->tckPs < tckMin || (tckMax > 0 && bin->tckPs > tckMax)) {
            continue;
        }
        const std::string name = Format("DDR4-%d", bin->mts);
        section.fields.push_back(CyclesField("AA-RCD-RP-RAS (cycles) as " + name, name, times, bin->tckPs, latencies));
    }
    return section;
}

// The timing fields of both the module and an XMP profile.
struct Timings {
    std::int64_t taa, trcd, trp, tras, trc, trfc1, trfc2, trfc4, tfaw, trrdS, trrdL;
};

void AppendTimings(std::vector<SpdDetailField>& f, const Timings& t) {
    f.push_back(TimeField("Minimum CAS Latency Time (tAA)", "tAA", t.taa));
    f.push_back(TimeField("Minimum RAS to CAS Delay (tRCD)", "tRCD", t.trcd));
    f.push_back(TimeField("Minimum Row Precharge Delay (tRP)", "tRP", t.trp));
    f.push_back(TimeField("Minimum Active to Precharge Delay (tRAS)", "tRAS", t.tras));
    f.push_back(TimeField("Minimum Active to Auto-Refresh Delay (tRC)", "tRC", t.trc));
    f.push_back(TimeField("Minimum Recovery Delay (tRFC1)", "tRFC1", t.trfc1));
    f.push_back(TimeField("Minimum Recovery Delay (tRFC2)", "tRFC2", t.trfc2));
    f.push_back(TimeField("Minimum Recovery Delay (tRFC4)", "tRFC4", t.trfc4));
    f.push_back(TimeField("Minimum Four Activate Window Delay (tFAW)", "tFAW", t.tfaw));
    f.push_back(TimeField("Minimum Row Active to Row Active Delay (tRRD_S)", "tRRD_S", t.trrdS));
    f.push_back(TimeField("Minimum Row Active to Row Active Delay (tRRD_L)", "tRRD_L", t.trrdL));
}

Timings ModuleTimings(const Bytes& spd) {
    return {spd.Time(kTaa, kTaaFine),
            spd.Time(kTrcd, kTrcdFine),
            spd.Time(kTrp, kTrpFine),
            spd.Time12(kTrasTrcHigh, false, kTrasLow),
            spd.Time12(kTrasTrcHigh, true, kTrcLow) + spd.Signed(kTrcFine),
            spd.Time16(kTrfc1),
            spd.Time16(kTrfc2),
            spd.Time16(kTrfc4),
            spd.Time12(kTfawHigh, false, kTfawLow),
            spd.Time(kTrrdS, kTrrdSFine),
            spd.Time(kTrrdL, kTrrdLFine)};
}

// SPD revision 1.1 added the write recovery and write-to-read times (bytes 41-45).
constexpr unsigned kRevisionWithWriteTimes = 0x11;

SpdDetailSection TimingSection(const Bytes& spd) {
    SpdDetailSection section{"Timing Parameters", "timingParameters", {}};
    auto& f = section.fields;
    f.push_back(ClockPeriodField("Minimum Cycle Time (tCKmin)", "tCKmin", spd.Time(kTckMin, kTckMinFine)));
    f.push_back(ClockPeriodField("Maximum Cycle Time (tCKmax)", "tCKmax", spd.Time(kTckMax, kTckMaxFine)));
    AppendTimings(f, ModuleTimings(spd));
    f.push_back(TimeField("Minimum CAS to CAS Delay (tCCD_L)", "tCCD_L", spd.Time(kTccdL, kTccdLFine)));
    if (spd[kRevision] >= kRevisionWithWriteTimes) {
        f.push_back(TimeField("Minimum Write Recovery Time (tWR)", "tWR", spd.Time12(kTwrHigh, false, kTwrLow)));
        f.push_back(TimeField("Minimum Write to Read Time (tWTR_S)", "tWTR_S", spd.Time12(kTwtrHigh, false, kTwtrS)));
        f.push_back(TimeField("Minimum Write to Read Time (tWTR_L)", "tWTR_L", spd.Time12(kTwtrHigh, true, kTwtrL)));
    }
    return section;
}

SpdDetailSection OtherSection(const Bytes& spd, const Organisation& o) {
    SpdDetailSection section{"Other Information", "otherInformation", {}};
    auto& f = section.fields;
    std::string package = "Monolithic";
    if (spd[kPackage] & 0x80u) {
        static constexpr std::array<std::string_view, 4> kLoading = {"Non-monolithic", "Multi-load stack", "3DS", "?"};
        package = Format("%s (%d dies)", kLoading[spd[kPackage] & 0x3u].data(), o.dies);
    }
    f.push_back({"Package Type", package, {{"packageType", Text(package)}, {"dieCount", Number(o.dies)}}});
    std::string activates(Name(kActivateCounts, spd[kOptionalFeatures] & 0x0Fu));
    if (activates.empty()) {
        activates = Reserved();
    }
    f.push_back({"Maximum Activate Count (MAC)", activates, {{"maximumActivateCount", Text(activates)}}});
    const unsigned repair = spd[kRepair] >> 6;
    const std::string ppr = repair == 0 ? "Not supported" : repair == 1 ? "One row per bank group" : Reserved();
    f.push_back({"Post Package Repair", ppr, {{"postPackageRepair", Text(ppr)}}});
    if (repair != 0) {
        const bool soft = spd[kRepair] & 0x20u;
        f.push_back({"Soft PPR", soft ? "Supported" : "Not Supported", {{"softPpr", Bool(soft)}}});
    }
    const bool operable = spd[kVoltage] & 0x1u;
    f.push_back(
        {"Module Nominal Voltage", operable ? "1.2 V" : Reserved(), {{"nominalVoltageV", operable ? "1.2" : "null"}}});
    const bool sensor = spd[kThermalSensor] & 0x80u;
    f.push_back({"Thermal Sensor", sensor ? "TSE2004 compliant" : "No", {{"thermalSensor", Bool(sensor)}}});
    return section;
}

SpdDetailSection PhysicalSection(const Bytes& spd) {
    SpdDetailSection section{"Physical Characteristics", "physicalCharacteristics", {}};
    auto& f = section.fields;
    const int height = static_cast<int>(spd[kHeight] & 0x1Fu) + kHeightBaseMm;
    f.push_back({"Module Height", Format("%d mm", height), {{"moduleHeightMm", Number(height)}}});
    const int front = static_cast<int>(spd[kThickness] & 0x0Fu) + 1, back = static_cast<int>(spd[kThickness] >> 4) + 1;
    f.push_back({"Module Thickness",
                 Format("%d mm front, %d mm back", front, back),
                 {{"moduleThicknessFrontMm", Number(front)}, {"moduleThicknessBackMm", Number(back)}}});
    const unsigned card = spd[kReferenceCard] & 0x1Fu;
    const std::string_view letters =
        (spd[kReferenceCard] & 0x80u) ? kReferenceCardsExtended[card] : kReferenceCards[card];
    // Revisions 0-2 in byte 130; its code 3 stands for 3 plus the raw card extension in byte 128's top bits.
    int revision = static_cast<int>((spd[kReferenceCard] >> 5) & 0x3u);
    if (revision == kRevisionFromExtension) {
        revision += static_cast<int>(spd[kHeight] >> 5);
    }
    if (card == kNoReferenceCard) {
        f.push_back({"Module Reference Card", std::string(letters), {{"referenceCard", Text(letters)}}});
    } else {
        f.push_back({"Module Reference Card",
                     Format("%s revision %d", letters.data(), revision),
                     {{"referenceCard", Text(letters)}, {"referenceCardRevision", Number(revision)}}});
    }
    return section;
}

// Two BCD digits, or nothing when a nibble is not a decimal digit.
std::optional<int> Bcd(unsigned byte) {
    if ((byte >> 4) > 9 || (byte & 0x0Fu) > 9) {
        return std::nullopt;
    }
    return static_cast<int>((byte >> 4) * 10 + (byte & 0x0Fu));
}

constexpr int kCentury = 2000;

SpdDetailSection MakerSection(const Bytes& spd) {
    SpdDetailSection section{"Manufacturer Data", "manufacturerData", {}};
    auto& f = section.fields;
    const std::string module = MakerName(spd, kModuleMaker);
    f.push_back({"Module Manufacturer", module, {{"moduleManufacturer", Text(module)}}});
    if (spd[kDramMaker] != 0 || spd[kDramMaker + 1] != 0) {
        const std::string dram = MakerName(spd, kDramMaker);
        f.push_back({"DRAM Manufacturer", dram, {{"dramManufacturer", Text(dram)}}});
    }
    if (spd[kLocation] != 0) {
        f.push_back({"Manufacturing Location Code",
                     Hex(spd[kLocation], 2),
                     {{"manufacturingLocationCode", Number(spd[kLocation])}}});
    }
    if (spd[kDateYear] != 0 || spd[kDateWeek] != 0) {
        const std::optional<int> year = Bcd(spd[kDateYear]), week = Bcd(spd[kDateWeek]);
        if (year && week) {
            f.push_back({"Manufacturing Date",
                         Format("%d-W%02d", kCentury + *year, *week),
                         {{"manufacturingYear", Number(kCentury + *year)}, {"manufacturingWeek", Number(*week)}}});
        } else {
            f.push_back({"Manufacturing Date",
                         Reserved(),
                         {{"manufacturingYear", std::string(kNull)}, {"manufacturingWeek", std::string(kNull)}}});
        }
    }
    unsigned serial = 0;
    for (int i = 0; i < kSerialLength; ++i) {
        serial = (serial << 8) | spd[kSerial + i];
    }
    if (serial != 0) {
        f.push_back({"Assembly Serial Number", Hex(serial, 8), {{"serialNumber", Text(Hex(serial, 8))}}});
    }
    // The part number as stored, ASCII padded with spaces; other bytes are shown as '?'.
    std::string part;
    for (int i = 0; i < kPartLength && spd[kPart + i] != 0; ++i) {
        const unsigned c = spd[kPart + i];
        part += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    part.erase(part.find_last_not_of(' ') + 1);
    f.push_back({"Part Number", part.empty() ? "Undefined" : part, {{"partNumber", Text(part)}}});
    if (spd[kRevisionCode] != 0) {
        f.push_back({"Revision Code", Hex(spd[kRevisionCode], 2), {{"revisionCode", Number(spd[kRevisionCode])}}});
    }
    return section;
}

constexpr int kVoltageHundredths = 100;

SpdDetailSection XmpSection(const Bytes& spd, int profile) {
    const int b = kXmpProfileBase + kXmpProfileStride * profile;
    SpdDetailSection section{Format("XMP Profile %d", profile + 1), Format("xmpProfile%d", profile + 1), {}};
    auto& f = section.fields;
    const std::string revision = Format("%u.%u", spd[kXmpRevision] >> 4, spd[kXmpRevision] & 0x0Fu);
    f.push_back({"XMP Revision", revision, {{"xmpRevision", Text(revision)}}});
    const std::int64_t tck = spd.Time(b + kXTck, b + kXTckFine);
    const std::optional<int> speed = SpeedMts(tck);
    f.push_back(
        {"Speed", speed ? Format("%d MT/s", *speed) : std::string(kDetailNoTimeText), {{"speedMTs", OrNumber(speed)}}});
    const unsigned voltageByte = spd[b];
    const int hundredths = static_cast<int>((voltageByte >> 7) * kVoltageHundredths + (voltageByte & 0x7Fu));
    const std::string volts = Format("%d.%02d", hundredths / kVoltageHundredths, hundredths % kVoltageHundredths);
    f.push_back({"Module Voltage", volts + " V", {{"voltageV", volts}}});
    const Timings t = {spd.Time(b + kXTaa, b + kXTaaFine),
                       spd.Time(b + kXTrcd, b + kXTrcdFine),
                       spd.Time(b + kXTrp, b + kXTrpFine),
                       spd.Time12(b + kXTrasTrcHigh, false, b + kXTrasLow),
                       spd.Time12(b + kXTrasTrcHigh, true, b + kXTrcLow) + spd.Signed(b + kXTrcFine),
                       spd.Time16(b + kXTrfc1),
                       spd.Time16(b + kXTrfc2),
                       spd.Time16(b + kXTrfc4),
                       spd.Time12(b + kXTfawHigh, false, b + kXTfawLow),
                       spd.Time(b + kXTrrdS, b + kXTrrdSFine),
                       spd.Time(b + kXTrrdL, b + kXTrrdLFine)};
    const std::vector<int> latencies = CasLatencies(spd, b + kXCasFirst, false);
    f.push_back(CyclesField("AA-RCD-RP-RAS (cycles)", "timings", {t.taa, t.trcd, t.trp, t.tras}, tck, latencies));
    f.push_back(CasField(latencies));
    f.push_back(ClockPeriodField("Minimum Cycle Time (tCKmin)", "tCKmin", tck));
    AppendTimings(f, t);
    return section;
}

} // namespace

std::string_view SpdMemoryTypeName(std::uint8_t code) {
    return Name(kMemoryTypes, code);
}

std::vector<SpdDetailSection> DecodeSpdDetails(const SpdImage& image) {
    const Bytes spd(image);
    const Organisation organisation = ReadOrganisation(spd);
    const std::vector<int> latencies = CasLatencies(spd, kCasFirst, true);
    const Timings t = ModuleTimings(spd);
    const std::array<std::int64_t, 4> rated = {t.taa, t.trcd, t.trp, t.tras};
    std::vector<SpdDetailSection> sections;
    sections.push_back(EepromSection(spd));
    sections.push_back(MemorySection(spd, organisation, latencies, rated));
    sections.push_back(StandardSpeedsSection(spd, latencies, rated));
    sections.push_back(TimingSection(spd));
    sections.push_back(OtherSection(spd, organisation));
    sections.push_back(PhysicalSection(spd));
    sections.push_back(MakerSection(spd));
    // The profiles the module table shows, with their own timings.
    const int profiles = DecodeSpd(image).xmpProfileCount;
    for (int p = 0; p < profiles; ++p) {
        sections.push_back(XmpSection(spd, p));
    }
    return sections;
}
