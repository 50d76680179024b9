#include "memory/SpdDecode.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <optional>

#include "memory/SpdDdr4Fields.h"

const std::array<std::u16string_view, kModuleInfoColumnCount> kModuleInfoColumns = {
    u"Field", u"Value", u"CL", u"tRCD", u"tRP", u"tRAS", u"tRC",
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

using namespace ddr4;

constexpr double kModuleVoltage = 1.2;

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

// The data rate in MT/s that a clock period allows, by its name: the rate step it stands for when 2000 / tCK lies
// within 0.15 % of one (tCK is stored rounded to whole picoseconds: 0.938 ns is DDR4-2133), else truncated. A
// period of zero or below (a blank or damaged SPD) allows none, and neither does one whose rate would not fit an
// int: converting that would be undefined.
std::optional<int> DataRate(double period) {
    if (!(period > 0.0)) {
        return std::nullopt;
    }
    return RateName(2000.0 / period);
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
        if (entry.bank == spd[kModuleMaker] && entry.id == spd[kModuleMaker + 1]) {
            return std::u16string(entry.name);
        }
    }
    return Format("%02X %02X", spd[kModuleMaker], spd[kModuleMaker + 1]);
}

// The part number's characters up to its first zero byte; a byte above 0x7F stands for the Latin-1 character of
// that value, so the text is always valid UTF-16. Twenty zero bytes mean no part number.
std::u16string PartNumberText(const SpdBytes& spd, std::u16string_view none) {
    unsigned sum = 0;
    for (int i = 0; i < kPartLength; ++i) {
        sum += spd[kPart + i];
    }
    if (sum == 0) {
        return std::u16string(none);
    }
    std::u16string text;
    for (int i = 0; i < kPartLength && spd[kPart + i] != 0; ++i) {
        text += static_cast<char16_t>(spd[kPart + i]);
    }
    return text;
}

std::u16string SerialText(const SpdBytes& spd, std::u16string_view none) {
    std::u16string text;
    for (int i = 0; i < kSerialLength; ++i) {
        text += Format("%02X", spd[kSerial + i]);
    }
    return text == u"00000000" ? std::u16string(none) : text;
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
    const Organisation o = ReadOrganisation(spd);
    std::u16string reserved(kReservedCodeText);
    // Gigabytes in 32-bit integer steps, each truncating, with a 64-bit primary bus whatever byte 13 says.
    rows[kCapacityRow][1] = o.dieMbit && o.deviceBits
                                ? Format("%dG", *o.dieMbit / 8 * 64 / *o.deviceBits * o.logicalRanks / 1024)
                                : reserved;
    // The whole byte is compared: a bus width extension other than 8 bits is no width this row names.
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
    // Bank groups times banks per group; a device without bank groups has the banks of its one group (JEDEC).
    rows[kBanksRow][1] = o.TotalBanks() ? Format("%d", *o.TotalBanks()) : reserved;
    rows[kRanksRow][1] = Format("%d", o.packageRanks);
}

// One row per supported CAS latency: the fastest rate that both tCKmin and tAAmin / CL allow, and the other
// timings in whole clocks at that rate. The JEDEC tRC here goes without its fine correction.
void AppendJedecRows(const SpdBytes& spd, std::vector<ModuleInfoRow>& rows) {
    const double tck = ByteTime(spd, kTckMin, kTckMinFine).Ns();
    const std::optional<int> rate = DataRate(tck);
    const double taa = ByteTime(spd, kTaa, kTaaFine).Ns();
    const std::array<double, 4> times = {
        ByteTime(spd, kTrcd, kTrcdFine).Ns(),
        ByteTime(spd, kTrp, kTrpFine).Ns(),
        Nibble12Time(spd, kTrasTrcHigh, false, kTrasLow).Ns(),
        Nibble12Time(spd, kTrasTrcHigh, true, kTrcLow).Ns(),
    };
    int k = 0;
    for (const int cl : CasLatencies(spd, kCasFirst, true)) {
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

void AppendXmpProfile(const SpdBytes& spd, int profile, const FixedRowLabels& labels,
                      std::vector<ModuleInfoRow>& rows) {
    const int b = XmpProfileBase(profile);
    rows.emplace_back()[1] = Format("XMP Profile %d", profile + 1);

    const double tck = ByteTime(spd, b + kXTck, b + kXTckFine).Ns();
    ModuleInfoRow& speed = rows.emplace_back();
    speed[0] = std::u16string(labels[kSpeedRow]);
    const std::optional<int> rate = DataRate(tck);
    speed[1] = rate ? Format("%d( %dMHz )", *rate, *rate / 2) : std::u16string(kNoTimeText);
    // Unlike the JEDEC tRC, the profile's tRC has its fine correction.
    const std::array<double, 5> times = {
        ByteTime(spd, b + kXTaa, b + kXTaaFine).Ns(),
        ByteTime(spd, b + kXTrcd, b + kXTrcdFine).Ns(),
        ByteTime(spd, b + kXTrp, b + kXTrpFine).Ns(),
        Nibble12Time(spd, b + kXTrasTrcHigh, false, b + kXTrasLow).Ns(),
        Nibble12Time(spd, b + kXTrasTrcHigh, true, b + kXTrcLow, b + kXTrcFine).Ns(),
    };
    // The clocks count over the profile's own tCK, not over 2000 / rate; column 2 is the computed CL.
    for (std::size_t i = 0; i < times.size(); ++i) {
        speed[2 + i] = ClockCount(times[i], tck);
    }

    const unsigned voltageByte = spd[b + kXVoltage];
    const float voltage = static_cast<float>((voltageByte >> 7) + (voltageByte & 0x7Fu) * 0.01);
    ModuleInfoRow& voltageRow = rows.emplace_back();
    voltageRow[0] = std::u16string(labels[kVoltageRow]);
    voltageRow[1] = Format("%1.2fV", static_cast<double>(voltage));
}

} // namespace

DecodedModule DecodeSpd(const SpdImage& image, const FixedRowLabels& labels, std::u16string_view none) {
    const SpdBytes spd(image);
    DecodedModule module;
    module.rows.resize(kFixedRowCount);
    for (std::size_t r = 0; r < labels.size(); ++r) {
        module.rows[r][0] = std::u16string(labels[r]);
    }
    ModuleInfoRow* fixed = module.rows.data();
    fixed[kMakerRow][1] = MakerText(spd);
    fixed[kPartRow][1] = PartNumberText(spd, none);
    fixed[kSerialRow][1] = SerialText(spd, none);
    DecodeOrganisation(spd, fixed);
    fixed[kTypeRow][1] = Format("DDR%d SDRAM", Generation(spd[kMemoryType]));
    const std::optional<int> rate = RateName(ByteTime(spd, kTckMin, kTckMinFine));
    fixed[kSpeedRow][1] = rate ? Format("DDR4-%d ( %dMHz )", *rate, *rate / 2) : std::u16string(kNoTimeText);
    fixed[kVoltageRow][1] = Format("%1.2fV", kModuleVoltage);

    AppendJedecRows(spd, module.rows);

    module.xmpProfileCount = XmpProfileCount(spd);
    for (int p = 0; p < module.xmpProfileCount; ++p) {
        AppendXmpProfile(spd, p, labels, module.rows);
    }
    return module;
}
