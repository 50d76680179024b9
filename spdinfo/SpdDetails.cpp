#include "spdinfo/SpdDetails.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <optional>

#include "memory/SpdDdr4Fields.h"
#include "spdinfo/SpdDetailFields.h"

namespace {

using namespace ddr4;
using namespace spd_detail;

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

// Byte 3's low nibble, in decode-dimms' words.
constexpr std::array<std::string_view, 16> kModuleTypes = {
    "Extended type", "RDIMM",           "UDIMM",           "SO-DIMM",        "LRDIMM",          "Mini-RDIMM",
    "Mini-UDIMM",    "Reserved (0x07)", "72b-SO-RDIMM",    "72b-SO-UDIMM",   "Reserved (0x0A)", "Reserved (0x0B)",
    "16b-SO-DIMM",   "32b-SO-DIMM",     "Reserved (0x0E)", "No base memory",
};

constexpr std::array<int, 5> kBytesUsedCodes = {0, 128, 256, 384, 512}; // code 0 undefined
constexpr std::array<int, 3> kBytesTotalCodes = {0, 256, 512};          // code 0 undefined
// Byte 128 bits 4-0: code 0 is a height of 15 mm or less, code n (1-30) one of 15 + n mm at most, code 31 more
// than 45 mm.
constexpr int kHeightBaseMm = 15;
constexpr unsigned kHeightAboveAll = 31;

// Byte 7's low nibble: the maximum activate count.
constexpr std::array<std::string_view, 9> kActivateCounts = {
    "Untested", "700 K", "600 K", "500 K", "400 K", "300 K", "200 K", "", "Unlimited",
};

// Raw card letters of byte 130 (bits 4-0), and with the extension bit 7; code 31 means no JEDEC card.
constexpr std::array<std::string_view, 32> kReferenceCardsExtended = {
    "AM", "AN", "AP", "AR", "AT", "AU", "AV", "AW", "AY", "BA", "BB", "BC", "BD", "BE", "BF", "BG",
    "BH", "BJ", "BK", "BL", "BM", "BN", "BP", "BR", "BT", "BU", "BV", "BW", "BY", "CA", "CB", "ZZ",
};
constexpr unsigned kNoReferenceCard = 31;
constexpr int kRevisionFromExtension = 3;

template <std::size_t N> std::optional<int> Lookup(const std::array<int, N>& table, unsigned code) {
    return code < N ? std::optional<int>(table[code]) : std::nullopt;
}

template <std::size_t N> std::string_view Name(const std::array<std::string_view, N>& table, unsigned code) {
    return code < N ? table[code] : std::string_view();
}

// The MT/s that a clock period allows, named as the module table names it (ddr4::RateName), from the period in
// whole picoseconds: exact where the table's single-precision tCK is not (1 ps is 2,000,000 MT/s here, 1,999,999
// in the table).
std::optional<int> SpeedMts(std::int64_t tckPs) {
    if (tckPs <= 0) {
        return std::nullopt;
    }
    return RateName(kTransfersPerClock * 1e6 / static_cast<double>(tckPs));
}

// AA-RCD-RP-RAS in clocks at a clock period; CL is raised to the next latency the module supports. Without a
// usable clock period the field is "-", a time the bytes do not give is "?".
SpdDetailField CyclesField(std::string label, std::string key, const std::array<std::int64_t, 4>& times,
                           std::int64_t tckPs, const std::vector<int>& latencies) {
    static constexpr std::array<std::string_view, 4> kNames = {"tAA", "tRCD", "tRP", "tRAS"};
    std::string text, json = "{";
    for (std::size_t i = 0; i < times.size(); ++i) {
        std::optional<std::int64_t> clocks = JedecClocks(times[i], tckPs);
        if (clocks && i == 0) {
            const auto supported =
                std::find_if(latencies.begin(), latencies.end(), [&](int cl) { return cl >= *clocks; });
            if (supported != latencies.end()) {
                clocks = *supported;
            }
        }
        if (i != 0) {
            text += '-';
        }
        text += clocks ? Number(*clocks) : Reserved();
        json += i == 0 ? "\"" : ", \"";
        json += kNames[i];
        json += "Cycles\": ";
        json += clocks ? Number(*clocks) : std::string(kNull);
    }
    return {std::move(label), tckPs > 0 ? text : std::string(kDetailNoTimeText), {{std::move(key), json + "}"}}};
}

std::string MakerName(const SpdBytes& spd, int at) {
    return Jep106MakerName(spd[at], spd[at + 1]);
}

// Whether bytes hold anything: an EEPROM's blank bytes read all 0x00 or, erased, all 0xFF.
bool Written(const SpdBytes& spd, int at, int count) {
    bool zeros = true, ones = true;
    for (int i = 0; i < count; ++i) {
        zeros = zeros && spd[at + i] == 0x00;
        ones = ones && spd[at + i] == 0xFF;
    }
    return !zeros && !ones;
}

SpdDetailField CrcField(const SpdBytes& spd, std::string label, std::string key, int from, int length, int storedAt) {
    return CrcDetail(std::move(label), std::move(key), spd.LittleEndian16(static_cast<std::size_t>(storedAt)),
                     spd.Crc(static_cast<std::size_t>(from), static_cast<std::size_t>(length)));
}

SpdDetailSection EepromSection(const SpdBytes& spd) {
    SpdDetailSection section{"SPD EEPROM Information", "spdEeprom", ReservedFields()};
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
    // An erased revision byte is no revision.
    if (spd[kRevision] != 0xFF) {
        const std::string revision = Format("%u.%u", spd[kRevision] >> 4, spd[kRevision] & 0x0Fu);
        f.push_back({"SPD Revision", revision, {{"spdRevision", Text(revision)}}});
    }
    const std::string type(kModuleTypes[spd[kModuleType] & 0x0Fu]);
    f.push_back({"Module Type", type, {{"moduleType", Text(type)}}});
    f.push_back(CrcField(spd, "EEPROM CRC of bytes 128-253", "crcBytes128To253", kModuleSectionStart, kModuleCrcLength,
                         kModuleCrc));
    return section;
}

// Megabytes: the die capacity over a byte, times the devices on the primary bus, times the logical ranks.
std::optional<std::int64_t> SizeMb(const Organisation& o) {
    if (!o.dieMbit || !o.busBits || !o.deviceBits) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(*o.dieMbit) / 8 * (*o.busBits / *o.deviceBits) * o.logicalRanks;
}

std::string OrNumber(const std::optional<int>& value) {
    return value ? Number(*value) : std::string(kNull);
}
std::string OrText(const std::optional<int>& value, const char* unit = "") {
    return value ? Number(*value) + unit : Reserved();
}

SpdDetailSection MemorySection(const SpdBytes& spd, const Organisation& o, const std::vector<int>& latencies,
                               const std::array<std::int64_t, 4>& times) {
    SpdDetailSection section{"Memory Characteristics", "memoryCharacteristics", ReservedFields()};
    auto& f = section.fields;
    const std::int64_t tck = ByteTime(spd, kTckMin, kTckMinFine).Ps();
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
    const std::optional<std::int64_t> size = SizeMb(o);
    f.push_back(
        {"Size", size ? Number(*size) + " MB" : Reserved(), {{"sizeMB", size ? Number(*size) : std::string(kNull)}}});
    const auto part = [](const std::optional<int>& v) { return v ? Number(*v) : Reserved(); };
    const std::optional<int> banks = o.TotalBanks();
    f.push_back({"Banks x Rows x Columns x Bits",
                 part(banks) + " x " + part(o.rowBits) + " x " + part(o.columnBits) + " x " + part(o.busBits),
                 {{"banks", OrNumber(banks)},
                  {"rowAddressBits", OrNumber(o.rowBits)},
                  {"columnAddressBits", OrNumber(o.columnBits)}}});
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

SpdDetailSection StandardSpeedsSection(const SpdBytes& spd, const std::vector<int>& latencies,
                                       const std::array<std::int64_t, 4>& times) {
    SpdDetailSection section{"Timings at Standard Speeds", "timingsAtStandardSpeeds", ReservedFields()};
    const std::int64_t tckMin = ByteTime(spd, kTckMin, kTckMinFine).Ps();
    const std::int64_t tckMax = ByteTime(spd, kTckMax, kTckMaxFine).Ps();
    if (tckMin <= 0) {
        return section;
    }
    // The speeds within tCKmin-tCKmax at which a supported CAS latency covers tAA.
    if (latencies.empty()) {
        return section;
    }
    const std::int64_t longest = latencies.back();
    for (auto bin = kStandardSpeeds.rbegin(); bin != kStandardSpeeds.rend(); ++bin) {
        const std::optional<std::int64_t> cl = JedecClocks(times[0], bin->tckPs);
        if (bin->tckPs < tckMin || bin->tckPs > tckMax || (cl && *cl > longest)) {
            continue;
        }
        const std::string name = "DDR4-" + Number(bin->mts);
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

Timings ModuleTimings(const SpdBytes& spd) {
    return {ByteTime(spd, kTaa, kTaaFine).Ps(),
            ByteTime(spd, kTrcd, kTrcdFine).Ps(),
            ByteTime(spd, kTrp, kTrpFine).Ps(),
            Nibble12Time(spd, kTrasTrcHigh, false, kTrasLow).Ps(),
            Nibble12Time(spd, kTrasTrcHigh, true, kTrcLow, kTrcFine).Ps(),
            Word16Time(spd, kTrfc1).Ps(),
            Word16Time(spd, kTrfc2).Ps(),
            Word16Time(spd, kTrfc4).Ps(),
            Nibble12Time(spd, kTfawHigh, false, kTfawLow).Ps(),
            ByteTime(spd, kTrrdS, kTrrdSFine).Ps(),
            ByteTime(spd, kTrrdL, kTrrdLFine).Ps()};
}

SpdDetailSection TimingSection(const SpdBytes& spd) {
    SpdDetailSection section{"Timing Parameters", "timingParameters", ReservedFields()};
    auto& f = section.fields;
    f.push_back(ClockPeriodField("Minimum Cycle Time (tCKmin)", "tCKmin", ByteTime(spd, kTckMin, kTckMinFine).Ps()));
    f.push_back(ClockPeriodField("Maximum Cycle Time (tCKmax)", "tCKmax", ByteTime(spd, kTckMax, kTckMaxFine).Ps()));
    AppendTimings(f, ModuleTimings(spd));
    f.push_back(TimeField("Minimum CAS to CAS Delay (tCCD_L)", "tCCD_L", ByteTime(spd, kTccdL, kTccdLFine).Ps()));
    // Write recovery and write-to-read times wherever the image carries them, whatever its SPD revision.
    const std::array<SpdDetailField, 3> writeTimes = {
        TimeField("Minimum Write Recovery Time (tWR)", "tWR", Nibble12Time(spd, kTwrHigh, false, kTwrLow).Ps()),
        TimeField("Minimum Write to Read Time (tWTR_S)", "tWTR_S", Nibble12Time(spd, kTwtrHigh, false, kTwtrS).Ps()),
        TimeField("Minimum Write to Read Time (tWTR_L)", "tWTR_L", Nibble12Time(spd, kTwtrHigh, true, kTwtrL).Ps()),
    };
    for (const SpdDetailField& field : writeTimes) {
        if (field.text != TimeText(0)) {
            f.push_back(field);
        }
    }
    return section;
}

SpdDetailSection OtherSection(const SpdBytes& spd, const Organisation& o) {
    SpdDetailSection section{"Other Information", "otherInformation", ReservedFields()};
    auto& f = section.fields;
    std::string package = "Monolithic";
    if (spd[kPackage] & 0x80u) {
        // Bits 1-0, the signal loading: 0 not given, 3 reserved.
        static constexpr std::array<std::string_view, 4> kLoading = {"Unknown", "Multi-load stack", "3DS", "Unknown"};
        package = std::string(kLoading[spd[kPackage] & 0x3u]);
        if (o.dies > 1) {
            package += Format(" (%d dies)", o.dies);
        }
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
    // Byte 11: bit 0 operable at 1.2 V, bit 1 endurant at 1.2 V. The module table shows 1.20V whatever it says.
    const bool operable = spd[kVoltage] & 0x1u, endurant = spd[kVoltage] & 0x2u;
    f.push_back({"Module Nominal Voltage",
                 operable   ? "1.2 V"
                 : endurant ? "Unknown (1.2 V endurant)"
                            : "Unknown",
                 {{"nominalVoltageV", operable ? "1.2" : "null"},
                  {"operableAt1V2", Bool(operable)},
                  {"endurantAt1V2", Bool(endurant)}}});
    const bool sensor = spd[kThermalSensor] & 0x80u;
    f.push_back({"Thermal Sensor", sensor ? "TSE2004 compliant" : "No", {{"thermalSensor", Bool(sensor)}}});
    return section;
}

SpdDetailSection PhysicalSection(const SpdBytes& spd) {
    SpdDetailSection section{"Physical Characteristics", "physicalCharacteristics", ReservedFields()};
    auto& f = section.fields;
    // The height as at most so many mm; JSON gives that bound (null above 45 mm) and the text.
    const unsigned heightCode = spd[kHeight] & 0x1Fu;
    const int height = static_cast<int>(heightCode) + kHeightBaseMm;
    const std::string heightText = heightCode == 0                 ? Format("%d mm or less", height)
                                   : heightCode == kHeightAboveAll ? Format("more than %d mm", height - 1)
                                                                   : Format("%d mm", height);
    f.push_back({"Module Height",
                 heightText,
                 {{"moduleHeightMm", heightCode == kHeightAboveAll ? std::string(kNull) : Number(height)},
                  {"moduleHeight", Text(heightText)}}});
    const int front = static_cast<int>(spd[kThickness] & 0x0Fu) + 1, back = static_cast<int>(spd[kThickness] >> 4) + 1;
    f.push_back({"Module Thickness",
                 Format("%d mm front, %d mm back", front, back),
                 {{"moduleThicknessFrontMm", Number(front)}, {"moduleThicknessBackMm", Number(back)}}});
    const unsigned card = spd[kReferenceCard] & 0x1Fu;
    const std::string_view letters = (spd[kReferenceCard] & 0x80u) ? kReferenceCardsExtended[card] : kSpdRawCards[card];
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

constexpr int kCentury = 2000;

SpdDetailSection MakerSection(const SpdBytes& spd) {
    SpdDetailSection section{"Manufacturer Data", "manufacturerData", ReservedFields()};
    auto& f = section.fields;
    const std::string module = MakerName(spd, kModuleMaker);
    f.push_back({"Module Manufacturer", module, {{"moduleManufacturer", Text(module)}}});
    if (Written(spd, kDramMaker, 2)) {
        const std::string dram = MakerName(spd, kDramMaker);
        f.push_back({"DRAM Manufacturer", dram, {{"dramManufacturer", Text(dram)}}});
    }
    if (Written(spd, kLocation, 1)) {
        // A letter or digit as itself (older layouts stored one there), any other code in hex.
        const unsigned code = spd[kLocation];
        const bool alphanumeric =
            (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || code == '_';
        f.push_back({"Manufacturing Location Code",
                     alphanumeric ? std::string(1, static_cast<char>(code)) : Hex(code, 2),
                     {{"manufacturingLocationCode", Number(code)}}});
    }
    if (Written(spd, kDateYear, 2)) {
        const std::optional<int> year = SpdBcd(spd[kDateYear]), week = SpdBcd(spd[kDateWeek]);
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
    if (Written(spd, kSerial, kSerialLength)) {
        f.push_back({"Assembly Serial Number", Hex(serial, 8), {{"serialNumber", Text(Hex(serial, 8))}}});
    }
    // The part number: printable ASCII padded with blanks, up to the first byte that is not (a zero byte ends
    // it). Blanks alone are an empty part number; no character at all is none ("Undefined").
    std::string part;
    for (int i = 0; i < kPartLength && spd[kPart + i] >= 0x20 && spd[kPart + i] < 0x7F; ++i) {
        part += static_cast<char>(spd[kPart + i]);
    }
    const bool undefined = part.empty();
    part.erase(part.find_last_not_of(' ') + 1);
    f.push_back({"Part Number", undefined ? "Undefined" : part, {{"partNumber", Text(part)}}});
    if (Written(spd, kRevisionCode, 1)) {
        f.push_back({"Revision Code", Hex(spd[kRevisionCode], 2), {{"revisionCode", Number(spd[kRevisionCode])}}});
    }
    return section;
}

constexpr int kVoltageHundredths = 100;

SpdDetailSection XmpSection(const SpdBytes& spd, int profile) {
    const int b = kXmpProfileBase + kXmpProfileStride * profile;
    SpdDetailSection section{Format("XMP Profile %d", profile + 1), Format("xmpProfile%d", profile + 1),
                             ReservedFields()};
    auto& f = section.fields;
    const std::string revision = Format("%u.%u", spd[kXmpRevision] >> 4, spd[kXmpRevision] & 0x0Fu);
    f.push_back({"XMP Revision", revision, {{"xmpRevision", Text(revision)}}});
    const std::int64_t tck = ByteTime(spd, b + kXTck, b + kXTckFine).Ps();
    const std::optional<int> speed = SpeedMts(tck);
    f.push_back(
        {"Speed", speed ? Format("%d MT/s", *speed) : std::string(kDetailNoTimeText), {{"speedMTs", OrNumber(speed)}}});
    const unsigned voltageByte = spd[b];
    const int hundredths = static_cast<int>((voltageByte >> 7) * kVoltageHundredths + (voltageByte & 0x7Fu));
    const std::string volts = Format("%d.%02d", hundredths / kVoltageHundredths, hundredths % kVoltageHundredths);
    f.push_back({"Module Voltage", volts + " V", {{"voltageV", volts}}});
    const Timings t = {ByteTime(spd, b + kXTaa, b + kXTaaFine).Ps(),
                       ByteTime(spd, b + kXTrcd, b + kXTrcdFine).Ps(),
                       ByteTime(spd, b + kXTrp, b + kXTrpFine).Ps(),
                       Nibble12Time(spd, b + kXTrasTrcHigh, false, b + kXTrasLow).Ps(),
                       Nibble12Time(spd, b + kXTrasTrcHigh, true, b + kXTrcLow, b + kXTrcFine).Ps(),
                       Word16Time(spd, b + kXTrfc1).Ps(),
                       Word16Time(spd, b + kXTrfc2).Ps(),
                       Word16Time(spd, b + kXTrfc4).Ps(),
                       Nibble12Time(spd, b + kXTfawHigh, false, b + kXTfawLow).Ps(),
                       ByteTime(spd, b + kXTrrdS, b + kXTrrdSFine).Ps(),
                       ByteTime(spd, b + kXTrrdL, b + kXTrrdLFine).Ps()};
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
    const SpdBytes spd(image);
    const Organisation organisation = ReadOrganisation(spd);
    const std::vector<int> latencies = CasLatencies(spd, kCasFirst, true);
    const Timings t = ModuleTimings(spd);
    const std::array<std::int64_t, 4> rated = {t.taa, t.trcd, t.trp, t.tras};
    std::vector<SpdDetailSection> sections;
    sections.reserve(10);
    sections.push_back(EepromSection(spd));
    sections.push_back(MemorySection(spd, organisation, latencies, rated));
    sections.push_back(StandardSpeedsSection(spd, latencies, rated));
    sections.push_back(TimingSection(spd));
    sections.push_back(OtherSection(spd, organisation));
    sections.push_back(PhysicalSection(spd));
    sections.push_back(MakerSection(spd));
    // The profiles the module table shows, with their own timings.
    const int profiles = XmpProfileCount(spd);
    for (int p = 0; p < profiles; ++p) {
        sections.push_back(XmpSection(spd, p));
    }
    return sections;
}
