#include "memory/SpdDdr5.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace ddr5 {

namespace {

// Base block offsets.
enum Byte : std::size_t {
    kBytesTotal = 0,
    kRevision = 1,
    kModuleType = 3,
    kFirstSdram = 4, // density and package, addressing, width, bank groups: four bytes
    kSecondSdram = 8,
    kVdd = 16,
    kVddq = 17,
    kVpp = 18,
    kTckMin = 20,
    kTckMax = 22,
    kCasFirst = 24,
    kHeight = 230,
    kThickness = 231,
    kRawCard = 232,
    kRankOrganisation = 234,
    kBusWidth = 235,
    kClockDriver = 240,
    kBaseCrc = 510,
    kModuleMaker = 512,
    kLocation = 514,
    kYear = 515,
    kWeek = 516,
    kSerial = 517,
    kPart = 521,
    kRevisionCode = 551,
    kDramMaker = 552,
    kDramStepping = 554,
    kXmp = 0x280,
    kExpo = 0x340,
};
constexpr std::size_t kPartLength = 30, kCasBytes = 5, kBaseCrcLength = 510;

// A timing of the table: where its 16-bit value sits, whether it counts ns instead of ps, where its lower clock
// limit sits (0: none), and whether it shows when it is zero.
struct TimingField {
    std::string_view name;
    std::size_t at;
    bool ns;
    std::size_t minClocksAt;
    bool always;
};
constexpr std::array<TimingField, 23> kJedecTimings = {{
    {"tAA", 30, false, 0, true},
    {"tRCD", 32, false, 0, true},
    {"tRP", 34, false, 0, true},
    {"tRAS", 36, false, 0, true},
    {"tRC", 38, false, 0, true},
    {"tWR", 40, false, 0, true},
    {"tRFC1", 42, true, 0, true},
    {"tRFC2", 44, true, 0, true},
    {"tRFCsb", 46, true, 0, true},
    {"tRFC1_dlr", 48, true, 0, false},
    {"tRFC2_dlr", 50, true, 0, false},
    {"tRFCsb_dlr", 52, true, 0, false},
    {"tRRD_L", 70, false, 72, true},
    {"tCCD_L", 73, false, 75, true},
    {"tCCD_L_WR", 76, false, 78, true},
    {"tCCD_L_WR2", 79, false, 81, true},
    {"tFAW", 82, false, 84, true},
    {"tCCD_L_WTR", 85, false, 87, true},
    {"tCCD_S_WTR", 88, false, 90, true},
    {"tRTP", 91, false, 93, true},
    {"tCCD_M", 94, false, 96, false},
    {"tCCD_M_WR", 97, false, 99, false},
    {"tCCD_M_WTR", 100, false, 102, false},
}};

// XMP 3.0: a header of 64 bytes with three profile names, then five 64-byte profile slots (three from the maker,
// two for the user), each enabled by its bit of header byte 3 and closed by its CRC.
constexpr std::size_t kXmpEnable = 3, kXmpNames = 0x0E, kXmpNameLength = 16, kXmpNamedProfiles = 3;
constexpr std::size_t kXmpSlotSize = 64, kXmpSlots = 5, kXmpCrcLength = 62;
constexpr std::array<TimingField, 17> kXmpTimings = {{
    {"tAA", 13, false, 0, true},
    {"tRCD", 15, false, 0, true},
    {"tRP", 17, false, 0, true},
    {"tRAS", 19, false, 0, true},
    {"tRC", 21, false, 0, true},
    {"tWR", 23, false, 0, true},
    {"tRFC1", 25, true, 0, true},
    {"tRFC2", 27, true, 0, true},
    {"tRFCsb", 29, true, 0, true},
    {"tRRD_L", 31, false, 33, false},
    {"tCCD_L_WR", 34, false, 36, false},
    {"tCCD_L_WR2", 37, false, 39, false},
    {"tCCD_L_WTR", 40, false, 42, false},
    {"tCCD_S_WTR", 43, false, 45, false},
    {"tCCD_L", 46, false, 48, false},
    {"tRTP", 49, false, 51, false},
    {"tFAW", 52, false, 54, false},
}};

// EXPO: "EXPO", its version, a nibble per profile (bit 0: enabled), then two 40-byte profiles from byte 10, and the
// CRC of the block's first 126 bytes. The last eight timings of a profile are optional (zero when left out).
constexpr std::size_t kExpoEnable = 5, kExpoFirstProfile = 10, kExpoProfileSize = 40, kExpoProfiles = 2;
constexpr std::size_t kExpoCrcLength = 126;
constexpr std::array<TimingField, 17> kExpoTimings = {{
    {"tAA", 6, false, 0, true},
    {"tRCD", 8, false, 0, true},
    {"tRP", 10, false, 0, true},
    {"tRAS", 12, false, 0, true},
    {"tRC", 14, false, 0, true},
    {"tWR", 16, false, 0, true},
    {"tRFC1", 18, true, 0, true},
    {"tRFC2", 20, true, 0, true},
    {"tRFCsb", 22, true, 0, true},
    {"tRRD_L", 24, false, 0, false},
    {"tCCD_L", 26, false, 0, false},
    {"tCCD_L_WR", 28, false, 0, false},
    {"tCCD_L_WR2", 30, false, 0, false},
    {"tFAW", 32, false, 0, false},
    {"tCCD_L_WTR", 34, false, 0, false},
    {"tCCD_S_WTR", 36, false, 0, false},
    {"tRTP", 38, false, 0, false},
}};

// Codes of the base block.
constexpr std::array<std::string_view, 12> kModuleTypes = {
    "?", "RDIMM", "UDIMM", "SODIMM", "LRDIMM", "CUDIMM", "CSODIMM", "MRDIMM", "CAMM2", "?", "DDIMM", "Solder down",
};
constexpr std::array<int, 9> kDieGbit = {0, 4, 8, 12, 16, 24, 32, 48, 64}; // code 0: no memory
constexpr std::array<int, 6> kDies = {1, 0, 2, 4, 8, 16};                  // code 1 reserved
constexpr std::array<int, 4> kDeviceBits = {4, 8, 16, 32};
constexpr std::array<int, 4> kBankGroups = {1, 2, 4, 8};
constexpr std::array<int, 3> kBanksPerGroup = {1, 2, 4};
constexpr std::array<int, 2> kColumnBits = {10, 11};
constexpr std::array<int, 3> kRowBits = {16, 17, 18};
constexpr std::array<int, 4> kBusBits = {8, 16, 32, 64};
constexpr std::array<int, 3> kEccBits = {0, 4, 8};
constexpr std::array<int, 2> kSubChannels = {1, 2};
constexpr std::array<int, 5> kBytesTotalCodes = {0, 256, 512, 1024, 2048}; // code 0 undefined

// The devices of bytes 194-213 and 240-243: maker at, type byte at (bit 7 set when fitted), revision byte after.
struct DeviceField {
    std::string_view role;
    std::size_t at;
    int table; // index into kDeviceTypes
};
constexpr std::array<std::array<std::string_view, 8>, 4> kDeviceTypes = {{
    {"SPD5118", "ESPD5216", "", "", "", "", "", ""},
    {"PMIC5000", "PMIC5010", "PMIC5100", "PMIC5020", "PMIC5120", "PMIC5200", "PMIC5030", ""},
    {"TS5111", "TS5110", "TS5211", "TS5210", "", "", "", ""},
    {"DDR5RCD01", "DDR5RCD02", "DDR5RCD03", "DDR5RCD04", "DDR5RCD05", "", "", ""},
}};
constexpr std::array<DeviceField, 5> kDevices = {{
    {"SPD Hub", 194, 0},
    {"PMIC 0", 198, 1},
    {"PMIC 1", 202, 1},
    {"PMIC 2", 206, 1},
    {"Thermal Sensor", 210, 2},
}};

template <typename T, std::size_t N> std::optional<T> Lookup(const std::array<T, N>& table, unsigned code) {
    return code < N ? std::optional<T>(table[code]) : std::nullopt;
}

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...) {
    char text[32];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::vector<Timing> ReadTimings(const SpdBytes& spd, std::size_t base, std::span<const TimingField> fields) {
    std::vector<Timing> timings;
    for (const TimingField& field : fields) {
        const std::int64_t value = spd.LittleEndian16(base + field.at);
        const int minClocks = field.minClocksAt ? static_cast<int>(spd[base + field.minClocksAt]) : 0;
        if (field.always || value != 0 || minClocks != 0) {
            timings.push_back({field.name, field.ns ? value * 1000 : value, minClocks});
        }
    }
    return timings;
}

// Bit n of five bytes from `at` is CL 20 + 2n.
std::vector<int> CasLatencies(const SpdBytes& spd, std::size_t at) {
    std::vector<int> latencies;
    for (unsigned n = 0; n < kCasBytes * 8; ++n) {
        if (spd[at + n / 8] & (1u << (n % 8))) {
            latencies.push_back(20 + 2 * static_cast<int>(n));
        }
    }
    return latencies;
}

Crc CrcAt(const SpdBytes& spd, std::size_t from, std::size_t length) {
    Crc crc;
    crc.found = spd.LittleEndian16(from + length);
    crc.calculated = spd.Crc(from, length);
    crc.ok = crc.found == crc.calculated;
    return crc;
}

// The JEDEC supply voltages of bytes 16-18: only the nominal code 0 is defined (1.1 V, or 1.8 V for VPP).
std::optional<int> NominalMv(unsigned byte, int mv) {
    return (byte >> 4) == 0 ? std::optional<int>(mv) : std::nullopt;
}

// A profile voltage: bits 6-5 whole volts, bits 4-0 steps of 50 mV.
int ProfileMv(unsigned byte) {
    return static_cast<int>(((byte >> 5) & 0x3u) * 1000 + (byte & 0x1Fu) * 50);
}

// Printable ASCII up to the first other byte, without trailing blanks.
std::string Ascii(const SpdBytes& spd, std::size_t at, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length && spd[at + i] >= 0x20 && spd[at + i] < 0x7F; ++i) {
        text += static_cast<char>(spd[at + i]);
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// Part numbers keep their place for each byte: '?' for one that is not printable, ending at the first zero.
std::string PartNumber(const SpdBytes& spd) {
    std::string text;
    for (std::size_t i = 0; i < kPartLength && spd[kPart + i] != 0; ++i) {
        const unsigned c = spd[kPart + i];
        text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

} // namespace

const std::array<SpeedBin, 15> kSpeedBins = {{
    {3200, 625},
    {3600, 555},
    {4000, 500},
    {4400, 454},
    {4800, 416},
    {5200, 384},
    {5600, 357},
    {6000, 333},
    {6400, 312},
    {6800, 294},
    {7200, 277},
    {7600, 263},
    {8000, 250},
    {8400, 238},
    {8800, 227},
}};

std::optional<std::int64_t> Clocks(std::int64_t ps, std::int64_t tckPs, int minClocks) {
    if (ps < 0 || tckPs <= 0) {
        return std::nullopt;
    }
    const std::int64_t clocks = (ps * 997 / tckPs + 1000) / 1000;
    return std::max<std::int64_t>(clocks, minClocks);
}

std::optional<int> SpeedMts(std::int64_t tckPs) {
    if (tckPs <= 0) {
        return std::nullopt;
    }
    const double rate = 2e6 / static_cast<double>(tckPs);
    const double grade = std::round(rate / 200.0) * 200.0;
    return static_cast<int>(std::fabs(grade - rate) <= rate * 0.005 ? grade : rate);
}

std::optional<std::int64_t> CasLatency(std::int64_t taaPs, std::int64_t tckPs, const std::vector<int>& supported) {
    const std::optional<std::int64_t> clocks = Clocks(taaPs, tckPs);
    if (!clocks) {
        return clocks;
    }
    const auto cl = std::find_if(supported.begin(), supported.end(), [&](int c) { return c >= *clocks; });
    return cl != supported.end() ? *cl : *clocks;
}

std::optional<int> Module::TotalBanks() const {
    if (!bankGroups || !banksPerGroup) {
        return std::nullopt;
    }
    return *bankGroups * *banksPerGroup;
}

namespace {

// Capacity in MB: per rank, the sub-channels' devices (bus width over device width) times the dies of a package
// times the die's capacity; an asymmetrical module's odd ranks take the second SDRAM's organisation.
std::optional<std::int64_t> RankMb(const SpdBytes& spd, std::size_t sdram, const Module& m) {
    const std::optional<int> gbit = Lookup(kDieGbit, spd[sdram] & 0x1Fu), dies = Lookup(kDies, spd[sdram] >> 5);
    const std::optional<int> width = Lookup(kDeviceBits, spd[sdram + 2] >> 5);
    // A device wider than its sub-channel's bus is no organisation either: it would give no devices at all.
    if (!gbit || *gbit == 0 || !dies || *dies == 0 || !width || !m.busBitsPerSubChannel ||
        *width > *m.busBitsPerSubChannel) {
        return std::nullopt;
    }
    return std::int64_t{m.subChannels} * (*m.busBitsPerSubChannel / *width) * *dies * *gbit * 1024 / 8;
}

void ReadOrganisation(const SpdBytes& spd, Module& m) {
    m.dieGbit = Lookup(kDieGbit, spd[kFirstSdram] & 0x1Fu);
    if (m.dieGbit == 0) {
        m.dieGbit.reset(); // code 0: no memory described
    }
    m.dies = Lookup(kDies, spd[kFirstSdram] >> 5);
    if (m.dies == 0) {
        m.dies.reset();
    }
    m.columnBits = Lookup(kColumnBits, spd[kFirstSdram + 1] >> 5);
    m.rowBits = Lookup(kRowBits, spd[kFirstSdram + 1] & 0x1Fu);
    m.deviceBits = Lookup(kDeviceBits, spd[kFirstSdram + 2] >> 5);
    m.bankGroups = Lookup(kBankGroups, spd[kFirstSdram + 3] >> 5);
    m.banksPerGroup = Lookup(kBanksPerGroup, spd[kFirstSdram + 3] & 0x7u);
    m.packageRanks = static_cast<int>((spd[kRankOrganisation] >> 3) & 0x7u) + 1;
    m.asymmetrical = spd[kRankOrganisation] & 0x40u;
    m.subChannels = Lookup(kSubChannels, (spd[kBusWidth] >> 5) & 0x3u).value_or(0);
    m.eccBitsPerSubChannel = Lookup(kEccBits, (spd[kBusWidth] >> 3) & 0x3u);
    m.busBitsPerSubChannel = Lookup(kBusBits, spd[kBusWidth] & 0x7u);
    std::int64_t total = 0;
    for (int rank = 0; rank < m.packageRanks; ++rank) {
        const std::optional<std::int64_t> mb =
            RankMb(spd, m.asymmetrical && rank % 2 == 1 ? kSecondSdram : kFirstSdram, m);
        if (!mb || m.subChannels == 0) {
            return;
        }
        total += *mb;
    }
    m.capacityMb = total;
}

Device ReadDevice(const SpdBytes& spd, std::string_view role, std::size_t at, int table) {
    const unsigned type = spd[at + 2] & 0x0Fu;
    std::string name(type < 8 ? kDeviceTypes[static_cast<std::size_t>(table)][type] : std::string_view());
    if (name.empty()) {
        name = Format("type 0x%02X", type);
    }
    return {role, Jep106MakerName(spd[at], spd[at + 1]), name, Format("%u.%u", spd[at + 3] >> 4, spd[at + 3] & 0x0Fu)};
}

// The devices whose type byte says they are fitted (bit 7; a second thermal sensor in bit 6 is the same part).
// Registered modules carry their clock driver's identity at 240-243.
void ReadDevices(const SpdBytes& spd, Module& m) {
    for (const DeviceField& device : kDevices) {
        if (spd[device.at + 2] & 0x80u) {
            m.devices.push_back(ReadDevice(spd, device.role, device.at, device.table));
        }
    }
    const bool registered = m.moduleType == "RDIMM" || m.moduleType == "LRDIMM" || m.moduleType == "MRDIMM";
    if (registered && (spd[kClockDriver] != 0 || spd[kClockDriver + 1] != 0)) {
        m.devices.push_back(ReadDevice(spd, "Registering Clock Driver", kClockDriver, 3));
    }
}

void ReadIdentity(const SpdBytes& spd, Module& m) {
    m.moduleMaker = Jep106MakerName(spd[kModuleMaker], spd[kModuleMaker + 1]);
    m.dramMaker = Jep106MakerName(spd[kDramMaker], spd[kDramMaker + 1]);
    m.location = spd[kLocation];
    m.date = {spd[kYear], spd[kWeek], SpdBcd(spd[kYear]), SpdBcd(spd[kWeek])};
    for (std::size_t i = 0; i < 4; ++i) {
        m.serial = (m.serial << 8) | spd[kSerial + i];
    }
    m.partNumber = PartNumber(spd);
    m.revisionCode = spd[kRevisionCode];
    m.dramStepping = spd[kDramStepping];
}

void ReadXmp(const SpdBytes& spd, Module& m) {
    if (spd[kXmp] != 0x0C || spd[kXmp + 1] != 0x4A) {
        return;
    }
    m.xmpHeaderCrc = CrcAt(spd, kXmp, kXmpCrcLength);
    for (std::size_t slot = 0; slot < kXmpSlots; ++slot) {
        if (!(spd[kXmp + kXmpEnable] & (1u << slot))) {
            continue; // a slot whose enable bit is clear is no profile, whatever it holds
        }
        const std::size_t at = kXmp + kXmpSlotSize * (slot + 1);
        Profile p;
        p.kind = "XMP";
        p.number = static_cast<int>(slot) + 1;
        if (slot < kXmpNamedProfiles) {
            p.name = Ascii(spd, kXmp + kXmpNames + kXmpNameLength * slot, kXmpNameLength);
        }
        p.crc = CrcAt(spd, at, kXmpCrcLength);
        p.vppMv = ProfileMv(spd[at]);
        p.vddMv = ProfileMv(spd[at + 1]);
        p.vddqMv = ProfileMv(spd[at + 2]);
        p.vmemctrlMv = ProfileMv(spd[at + 4]);
        p.tckPs = spd.LittleEndian16(at + 5);
        p.casLatencies = CasLatencies(spd, at + 7);
        p.timings = ReadTimings(spd, at, kXmpTimings);
        m.profiles.push_back(std::move(p));
    }
}

void ReadExpo(const SpdBytes& spd, Module& m) {
    static constexpr std::string_view kMagic = "EXPO";
    if (Ascii(spd, kExpo, kMagic.size()) != kMagic) {
        return;
    }
    m.expoCrc = CrcAt(spd, kExpo, kExpoCrcLength);
    for (std::size_t n = 0; n < kExpoProfiles; ++n) {
        if (!(spd[kExpo + kExpoEnable] & (1u << (4 * n)))) {
            continue;
        }
        const std::size_t at = kExpo + kExpoFirstProfile + kExpoProfileSize * n;
        Profile p;
        p.kind = "EXPO";
        p.number = static_cast<int>(n) + 1;
        p.vddMv = ProfileMv(spd[at]);
        p.vddqMv = ProfileMv(spd[at + 1]);
        p.vppMv = ProfileMv(spd[at + 2]);
        p.tckPs = spd.LittleEndian16(at + 4);
        p.timings = ReadTimings(spd, at, kExpoTimings);
        m.profiles.push_back(std::move(p));
    }
}

void ReadPhysical(const SpdBytes& spd, Module& m) {
    m.heightMm = static_cast<int>(spd[kHeight] & 0x1Fu) + 15;
    m.thicknessFrontMm = static_cast<int>(spd[kThickness] & 0x0Fu) + 1;
    m.thicknessBackMm = static_cast<int>(spd[kThickness] >> 4) + 1;
    m.rawCard = kSpdRawCards[spd[kRawCard] & 0x1Fu];
    m.rawCardRevision = static_cast<int>(spd[kRawCard] >> 5);
}

} // namespace

Module Decode(const Image& image) {
    const SpdBytes spd(image);
    Module m;
    m.revision = Format("%u.%u", spd[kRevision] >> 4, spd[kRevision] & 0x0Fu);
    m.bytesTotal = Lookup(kBytesTotalCodes, (spd[kBytesTotal] >> 4) & 0x7u);
    if (m.bytesTotal == 0) {
        m.bytesTotal.reset();
    }
    m.moduleType = Lookup(kModuleTypes, spd[kModuleType] & 0x0Fu).value_or("?");
    m.hybrid = spd[kModuleType] & 0x80u;
    ReadOrganisation(spd, m);
    m.vddMv = NominalMv(spd[kVdd], 1100);
    m.vddqMv = NominalMv(spd[kVddq], 1100);
    m.vppMv = NominalMv(spd[kVpp], 1800);
    m.tckMinPs = spd.LittleEndian16(kTckMin);
    m.tckMaxPs = spd.LittleEndian16(kTckMax);
    m.casLatencies = CasLatencies(spd, kCasFirst);
    m.timings = ReadTimings(spd, 0, kJedecTimings);
    ReadPhysical(spd, m);
    ReadIdentity(spd, m);
    ReadDevices(spd, m);
    m.baseCrc = CrcAt(spd, 0, kBaseCrcLength);
    ReadXmp(spd, m);
    ReadExpo(spd, m);
    return m;
}

} // namespace ddr5
