#include "spdinfo/SpdDdr5Details.h"

#include <algorithm>

#include "memory/ModuleLabels.h"
#include "spdinfo/SpdDetailFields.h"

namespace {

using namespace spd_detail;

std::u16string Wide(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::string Volts(std::optional<int> mv) {
    return mv ? Format("%d.%02d", *mv / 1000, *mv % 1000 / 10) : Reserved();
}

std::string OrNumber(const std::optional<int>& value) {
    return value ? Number(*value) : std::string(kNull);
}

const ddr5::Timing* Find(const std::vector<ddr5::Timing>& timings, std::string_view name) {
    const auto found = std::find_if(timings.begin(), timings.end(), [&](const auto& t) { return t.name == name; });
    return found != timings.end() ? &*found : nullptr;
}

std::optional<std::int64_t> ClocksOf(const std::vector<ddr5::Timing>& timings, std::string_view name,
                                     std::int64_t tckPs) {
    const ddr5::Timing* t = Find(timings, name);
    return t ? ddr5::Clocks(t->ps, tckPs, t->minClocks) : std::nullopt;
}

std::string Speed(std::int64_t tckPs, const char* format) {
    const std::optional<int> mts = ddr5::SpeedMts(tckPs);
    return mts ? Format(format, *mts, *mts / 2) : std::string(kDetailNoTimeText);
}

// CL then tRCD, tRP, tRAS and tRC in clocks at a period, into the table's columns from `first`.
void TimingCells(ModuleInfoRow& row, std::size_t first, const std::vector<ddr5::Timing>& timings,
                 const std::vector<int>& latencies, std::int64_t tckPs) {
    const ddr5::Timing* taa = Find(timings, "tAA");
    const std::optional<std::int64_t> cl =
        taa ? ddr5::CasLatency(taa->ps, tckPs, latencies) : std::optional<std::int64_t>();
    row[first] = cl ? Wide(Number(*cl)) : Wide(kDetailNoTimeText);
    static constexpr std::array<std::string_view, 4> kNames = {"tRCD", "tRP", "tRAS", "tRC"};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        const std::optional<std::int64_t> clocks = ClocksOf(timings, kNames[i], tckPs);
        row[first + 1 + i] = clocks ? Wide(Number(*clocks)) : Wide(kDetailNoTimeText);
    }
}

std::string SizeText(const ddr5::Module& m) {
    return m.capacityMb ? Format("%lldG", static_cast<long long>(*m.capacityMb / 1024)) : Reserved();
}

std::string BusText(const ddr5::Module& m) {
    if (!m.busBitsPerSubChannel || !m.eccBitsPerSubChannel || m.subChannels == 0) {
        return Reserved();
    }
    return Format("%dbit", m.subChannels * (*m.busBitsPerSubChannel + *m.eccBitsPerSubChannel));
}

} // namespace

DecodedModule Ddr5ModuleTable(const ddr5::Module& m) {
    DecodedModule table;
    table.rows.resize(kFixedRowCount);
    const std::array<std::string, 10> facts = {
        m.moduleMaker,
        m.partNumber.empty() ? "Undefined" : m.partNumber,
        m.serial ? Format("%08X", m.serial) : "Undefined",
        SizeText(m),
        "DDR5 SDRAM",
        Speed(m.tckMinPs, "DDR5-%d ( %dMHz )"),
        BusText(m),
        m.TotalBanks() ? Number(*m.TotalBanks()) : Reserved(),
        Number(m.packageRanks),
        m.vddMv ? Volts(m.vddMv) + "V" : Reserved(),
    };
    for (std::size_t r = 0; r < kFixedRowLabels.size(); ++r) {
        table.rows[r][0] = std::u16string(kFixedRowLabels[r]);
        table.rows[r][1] = r < facts.size() ? Wide(facts[r]) : u"";
    }
    int k = 0;
    for (auto bin = ddr5::kSpeedBins.rbegin(); bin != ddr5::kSpeedBins.rend(); ++bin) {
        if (m.tckMinPs <= 0 || bin->tckPs < m.tckMinPs || (m.tckMaxPs > 0 && bin->tckPs > m.tckMaxPs)) {
            continue;
        }
        ModuleInfoRow& row = table.rows.emplace_back();
        row[0] = Wide(Format("JEDEC #%d", ++k));
        row[1] = Wide(Format("%d (%dMHz )", bin->mts, bin->mts / 2));
        TimingCells(row, 2, m.timings, m.casLatencies, bin->tckPs);
    }
    for (const ddr5::Profile& p : m.profiles) {
        ++table.xmpProfileCount;
        table.rows.emplace_back()[1] = Wide(Format("%s Profile %d", p.kind.c_str(), p.number));
        ModuleInfoRow& speed = table.rows.emplace_back();
        speed[0] = std::u16string(kFixedRowLabels[5]);
        speed[1] = Wide(Speed(p.tckPs, "%d( %dMHz )"));
        TimingCells(speed, 2, p.timings, p.casLatencies, p.tckPs);
        ModuleInfoRow& voltage = table.rows.emplace_back();
        voltage[0] = std::u16string(kFixedRowLabels[9]);
        voltage[1] = Wide(Volts(p.vddMv) + "V");
    }
    return table;
}

namespace {

SpdDetailField MvField(std::string label, std::string key, std::optional<int> mv) {
    return {std::move(label), mv ? Volts(mv) + " V" : Reserved(), {{std::move(key) + "V", mv ? Volts(mv) : "null"}}};
}

SpdDetailField CrcOf(std::string label, std::string key, const ddr5::Crc& crc) {
    return CrcDetail(std::move(label), std::move(key), crc.found, crc.calculated);
}

// CL-tRCD-tRP-tRAS in clocks at a period, CL raised to the next supported latency.
SpdDetailField CyclesField(std::string label, std::string key, const std::vector<ddr5::Timing>& timings,
                           const std::vector<int>& latencies, std::int64_t tckPs) {
    ModuleInfoRow cells;
    TimingCells(cells, 0, timings, latencies, tckPs);
    static constexpr std::array<std::string_view, 4> kKeys = {"tAA", "tRCD", "tRP", "tRAS"};
    std::string text, json = "{";
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        const std::string value(cells[i].begin(), cells[i].end());
        text += (i == 0 ? "" : "-") + value;
        json += Format("%s\"%sCycles\": %s", i == 0 ? "" : ", ", kKeys[i].data(),
                       value == kDetailNoTimeText ? "null" : value.c_str());
    }
    return {std::move(label), tckPs > 0 ? text : std::string(kDetailNoTimeText), {{std::move(key), json + "}"}}};
}

// Each time in ns and in clocks at the period, by the JESD400-5 rounding and the table's lower limit.
void AppendTimings(std::vector<SpdDetailField>& f, const std::vector<ddr5::Timing>& timings, std::int64_t tckPs) {
    for (const ddr5::Timing& t : timings) {
        const std::string name(t.name);
        SpdDetailField field = TimeField(name, name, t.ps);
        const std::optional<std::int64_t> clocks = ddr5::Clocks(t.ps, tckPs, t.minClocks);
        if (clocks) {
            field.text += Format(" (%lld clocks)", static_cast<long long>(*clocks));
        }
        field.json.push_back({name + "Cycles", clocks ? Number(*clocks) : std::string(kNull)});
        f.push_back(std::move(field));
    }
}

SpdDetailSection EepromSection(const ddr5::Module& m) {
    SpdDetailSection section{"SPD EEPROM Information", "spdEeprom", ReservedFields()};
    auto& f = section.fields;
    f.push_back(CrcOf("EEPROM CRC of bytes 0-509", "crcBytes0To509", m.baseCrc));
    f.push_back({"Total number of bytes in EEPROM",
                 m.bytesTotal ? Number(*m.bytesTotal) : Reserved(),
                 {{"bytesTotal", OrNumber(m.bytesTotal)}}});
    f.push_back({"Fundamental Memory type", "DDR5 SDRAM", {{"memoryType", Text("DDR5 SDRAM")}}});
    f.push_back({"SPD Revision", m.revision, {{"spdRevision", Text(m.revision)}}});
    const std::string type = m.hybrid ? m.moduleType + " (hybrid)" : m.moduleType;
    f.push_back({"Module Type", type, {{"moduleType", Text(type)}}});
    if (m.xmpHeaderCrc) {
        f.push_back(CrcOf("XMP 3.0 Header CRC", "crcXmpHeader", *m.xmpHeaderCrc));
    }
    if (m.expoCrc) {
        f.push_back(CrcOf("EXPO Block CRC", "crcExpo", *m.expoCrc));
    }
    return section;
}

void AppendOrganisation(std::vector<SpdDetailField>& f, const ddr5::Module& m) {
    const auto part = [](const std::optional<int>& v) { return v ? Number(*v) : Reserved(); };
    f.push_back({"Size",
                 m.capacityMb ? Number(*m.capacityMb) + " MB" : Reserved(),
                 {{"sizeMB", m.capacityMb ? Number(*m.capacityMb) : std::string(kNull)}}});
    f.push_back({"Bank Groups x Banks per Group",
                 part(m.bankGroups) + " x " + part(m.banksPerGroup),
                 {{"bankGroups", OrNumber(m.bankGroups)}, {"banksPerBankGroup", OrNumber(m.banksPerGroup)}}});
    f.push_back({"Rows x Columns (address bits)",
                 part(m.rowBits) + " x " + part(m.columnBits),
                 {{"rowAddressBits", OrNumber(m.rowBits)}, {"columnAddressBits", OrNumber(m.columnBits)}}});
    f.push_back({"SDRAM Die Density",
                 m.dieGbit ? Number(*m.dieGbit) + " Gb" : Reserved(),
                 {{"dieDensityGb", OrNumber(m.dieGbit)}}});
    f.push_back({"Dies per Package", part(m.dies), {{"diesPerPackage", OrNumber(m.dies)}}});
    f.push_back({"SDRAM Device Width",
                 m.deviceBits ? Number(*m.deviceBits) + " bits" : Reserved(),
                 {{"deviceWidthBits", OrNumber(m.deviceBits)}}});
    f.push_back({"Ranks", Number(m.packageRanks), {{"ranks", Number(m.packageRanks)}}});
    if (m.packageRanks > 1) {
        const std::string mix = m.asymmetrical ? "Asymmetrical" : "Symmetrical";
        f.push_back({"Rank Mix", mix, {{"rankMix", Text(mix)}}});
    }
    f.push_back({"Sub-channels",
                 m.subChannels ? Number(m.subChannels) : Reserved(),
                 {{"subChannels", m.subChannels ? Number(m.subChannels) : std::string(kNull)}}});
    f.push_back({"Primary Bus Width per Sub-channel",
                 m.busBitsPerSubChannel ? Number(*m.busBitsPerSubChannel) + " bits" : Reserved(),
                 {{"subChannelBusWidthBits", OrNumber(m.busBitsPerSubChannel)}}});
    f.push_back({"ECC Bits per Sub-channel",
                 part(m.eccBitsPerSubChannel),
                 {{"subChannelEccBits", OrNumber(m.eccBitsPerSubChannel)}}});
}

SpdDetailSection MemorySection(const ddr5::Module& m) {
    SpdDetailSection section{"Memory Characteristics", "memoryCharacteristics", ReservedFields()};
    auto& f = section.fields;
    const std::optional<int> speed = ddr5::SpeedMts(m.tckMinPs);
    const std::string pc5 = speed ? Format("PC5-%d", *speed * 8) : std::string(kNull);
    f.push_back({"Maximum module speed",
                 speed ? Format("%d MT/s (%s)", *speed, pc5.c_str()) : kDetailNoTimeText.data(),
                 {{"maximumSpeedMTs", OrNumber(speed)}, {"pc5Name", speed ? Text(pc5) : pc5}}});
    AppendOrganisation(f, m);
    f.push_back(MvField("VDD", "vdd", m.vddMv));
    f.push_back(MvField("VDDQ", "vddq", m.vddqMv));
    f.push_back(MvField("VPP", "vpp", m.vppMv));
    f.push_back(CyclesField("AA-RCD-RP-RAS (cycles)", "ratedTimings", m.timings, m.casLatencies, m.tckMinPs));
    f.push_back(CasField(m.casLatencies));
    return section;
}

SpdDetailSection StandardSpeedsSection(const ddr5::Module& m) {
    SpdDetailSection section{"Timings at Standard Speeds", "timingsAtStandardSpeeds", ReservedFields()};
    for (auto bin = ddr5::kSpeedBins.rbegin(); bin != ddr5::kSpeedBins.rend(); ++bin) {
        if (m.tckMinPs <= 0 || bin->tckPs < m.tckMinPs || (m.tckMaxPs > 0 && bin->tckPs > m.tckMaxPs)) {
            continue;
        }
        const std::string name = Format("DDR5-%d", bin->mts);
        section.fields.push_back(
            CyclesField("AA-RCD-RP-RAS (cycles) as " + name, name, m.timings, m.casLatencies, bin->tckPs));
    }
    return section;
}

SpdDetailSection TimingSection(const ddr5::Module& m) {
    SpdDetailSection section{"Timing Parameters", "timingParameters", ReservedFields()};
    section.fields.push_back(ClockPeriodField("Minimum Cycle Time (tCKAVGmin)", "tCKmin", m.tckMinPs));
    section.fields.push_back(ClockPeriodField("Maximum Cycle Time (tCKAVGmax)", "tCKmax", m.tckMaxPs));
    AppendTimings(section.fields, m.timings, m.tckMinPs);
    return section;
}

SpdDetailSection DeviceSection(const ddr5::Module& m) {
    SpdDetailSection section{"On-Module Devices", "devices", ReservedFields()};
    for (const ddr5::Device& d : m.devices) {
        static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kKeys = {{
            {"SPD Hub", "spdHub"},
            {"PMIC 0", "pmic0"},
            {"PMIC 1", "pmic1"},
            {"PMIC 2", "pmic2"},
            {"Thermal Sensor", "thermalSensor"},
            {"Registering Clock Driver", "registeringClockDriver"},
        }};
        const auto named = std::find_if(kKeys.begin(), kKeys.end(), [&](const auto& k) { return k.first == d.role; });
        const std::string key(named != kKeys.end() ? named->second : d.role);
        section.fields.push_back({std::string(d.role),
                                  d.type + " revision " + d.revision + ", " + d.maker,
                                  {{key, "{\"type\": " + Text(d.type) + ", \"revision\": " + Text(d.revision) +
                                             ", \"manufacturer\": " + Text(d.maker) + "}"}}});
    }
    return section;
}

SpdDetailSection PhysicalSection(const ddr5::Module& m) {
    SpdDetailSection section{"Physical Characteristics", "physicalCharacteristics", ReservedFields()};
    auto& f = section.fields;
    f.push_back({"Module Height", Format("%d mm", m.heightMm), {{"moduleHeightMm", Number(m.heightMm)}}});
    f.push_back({"Module Thickness",
                 Format("%d mm front, %d mm back", m.thicknessFrontMm, m.thicknessBackMm),
                 {{"moduleThicknessFrontMm", Number(m.thicknessFrontMm)},
                  {"moduleThicknessBackMm", Number(m.thicknessBackMm)}}});
    f.push_back({"Module Reference Card",
                 Format("%s revision %d", m.rawCard.c_str(), m.rawCardRevision),
                 {{"referenceCard", Text(m.rawCard)}, {"referenceCardRevision", Number(m.rawCardRevision)}}});
    return section;
}

// The date as BCD says it, or the two bytes with the verdict that they are not BCD.
SpdDetailField DateField(const ddr5::Date& d) {
    if (d.year && d.week) {
        return {"Manufacturing Date",
                Format("%d-W%02d", 2000 + *d.year, *d.week),
                {{"manufacturingYear", Number(2000 + *d.year)}, {"manufacturingWeek", Number(*d.week)}}};
    }
    return {"Manufacturing Date",
            Format("? (not BCD: year 0x%02X, week 0x%02X)", d.yearByte, d.weekByte),
            {{"manufacturingYear", std::string(kNull)}, {"manufacturingWeek", std::string(kNull)}}};
}

SpdDetailSection MakerSection(const ddr5::Module& m) {
    SpdDetailSection section{"Manufacturer Data", "manufacturerData", ReservedFields()};
    auto& f = section.fields;
    f.push_back({"Module Manufacturer", m.moduleMaker, {{"moduleManufacturer", Text(m.moduleMaker)}}});
    f.push_back({"DRAM Manufacturer", m.dramMaker, {{"dramManufacturer", Text(m.dramMaker)}}});
    if (m.location != 0) {
        f.push_back(
            {"Manufacturing Location Code", Hex(m.location, 2), {{"manufacturingLocationCode", Number(m.location)}}});
    }
    if (m.date.yearByte != 0 || m.date.weekByte != 0) {
        f.push_back(DateField(m.date));
    }
    if (m.serial != 0) {
        f.push_back({"Assembly Serial Number", Hex(m.serial, 8), {{"serialNumber", Text(Hex(m.serial, 8))}}});
    }
    f.push_back(
        {"Part Number", m.partNumber.empty() ? "Undefined" : m.partNumber, {{"partNumber", Text(m.partNumber)}}});
    f.push_back({"Revision Code", Hex(m.revisionCode, 2), {{"revisionCode", Number(m.revisionCode)}}});
    f.push_back({"DRAM Stepping", Hex(m.dramStepping, 2), {{"dramStepping", Number(m.dramStepping)}}});
    return section;
}

SpdDetailSection ProfileSection(const ddr5::Profile& p) {
    std::string key = p.kind == "XMP" ? "xmpProfile" : "expoProfile";
    SpdDetailSection section{Format("%s Profile %d", p.kind.c_str(), p.number), key + Number(p.number),
                             ReservedFields()};
    auto& f = section.fields;
    if (!p.name.empty()) {
        f.push_back({"Name", p.name, {{"name", Text(p.name)}}});
    }
    if (p.crc) {
        f.push_back(CrcOf("Profile CRC", "crc", *p.crc));
    }
    const std::optional<int> speed = ddr5::SpeedMts(p.tckPs);
    f.push_back(
        {"Speed", speed ? Format("%d MT/s", *speed) : std::string(kDetailNoTimeText), {{"speedMTs", OrNumber(speed)}}});
    f.push_back(MvField("VDD", "vdd", p.vddMv));
    f.push_back(MvField("VDDQ", "vddq", p.vddqMv));
    f.push_back(MvField("VPP", "vpp", p.vppMv));
    if (p.vmemctrlMv) {
        f.push_back(MvField("Memory Controller Voltage", "vmemctrl", p.vmemctrlMv));
    }
    f.push_back(CyclesField("AA-RCD-RP-RAS (cycles)", "timings", p.timings, p.casLatencies, p.tckPs));
    if (p.kind == "XMP") {
        f.push_back(CasField(p.casLatencies));
    }
    f.push_back(ClockPeriodField("Minimum Cycle Time (tCKAVGmin)", "tCKmin", p.tckPs));
    AppendTimings(f, p.timings, p.tckPs);
    return section;
}

} // namespace

std::vector<SpdDetailSection> Ddr5Details(const ddr5::Module& m) {
    std::vector<SpdDetailSection> sections = {EepromSection(m), MemorySection(m), StandardSpeedsSection(m),
                                              TimingSection(m), DeviceSection(m), PhysicalSection(m),
                                              MakerSection(m)};
    for (const ddr5::Profile& p : m.profiles) {
        sections.push_back(ProfileSection(p));
    }
    return sections;
}
