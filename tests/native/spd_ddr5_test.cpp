// The DDR5 decoder against the facts of the reference decodes in testdata/spd5 (SOURCES.md names them), and the
// rules the references do not reach: profile enable bits and CRCs, damaged bytes, the size a DDR5 image needs.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "memory/SpdDdr5.h"
#include "spdinfo/SpdInfo.h"

namespace {

namespace fs = std::filesystem;

ddr5::Image ReadImage(const std::string& name) {
    const SpdFileRead read = ReadSpdFile(fs::path(PRISMEL_TESTDATA) / "spd5" / (name + ".bin"));
    EXPECT_TRUE(std::holds_alternative<ddr5::Image>(read)) << name;
    return std::holds_alternative<ddr5::Image>(read) ? std::get<ddr5::Image>(read) : ddr5::Image{};
}

std::map<std::string_view, std::string> Devices(const ddr5::Module& m) {
    std::map<std::string_view, std::string> devices;
    for (const ddr5::Device& d : m.devices) {
        devices[d.role] = d.type + " " + d.revision + " " + d.maker;
    }
    return devices;
}

// The module facts the references give (Thaiphoon reports, libjedec and openbmc test expectations, Roch Viewer).
TEST(SpdDdr5, ModuleFactsMatchTheReferences) {
    struct Case {
        const char* name;
        const char* type;
        std::int64_t capacityMb;
        int ranks, deviceBits, banks, busBits, eccBits, speed;
        const char *maker, *dram, *part;
    } cases[] = {
        {"kingston-kf552c40-16", "UDIMM", 16384, 1, 8, 32, 32, 0, 4800, "Kingston", "Micron Technology", "KF552C40-16"},
        {"samsung-m323r1gb4bb0-cqkol", "UDIMM", 8192, 1, 16, 16, 32, 0, 4800, "Samsung", "Samsung",
         "M323R1GB4BB0-CQKOL"},
        {"samsung-m323r2ga3db0-cwmod", "UDIMM", 16384, 1, 8, 32, 32, 0, 5600, "Samsung", "Samsung",
         "M323R2GA3DB0-CWMOD"},
        {"samsung-m324r2ga3bb0-cqkod", "UDIMM", 16384, 1, 8, 32, 32, 4, 4800, "Samsung", "Samsung",
         "M324R2GA3BB0-CQKOD"},
        {"advantech-aqd-d5v16gr48-sb", "RDIMM", 16384, 1, 8, 32, 32, 8, 4800, "A-DATA Technology", "Samsung",
         "AQD-D5V16GR48-SB"},
        {"openbmc-rdimm-64gb-anonymised", "RDIMM", 65536, 2, 4, 32, 32, 4, 4800, "Samsung", "Samsung",
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {"vcolor-tmxfl1680838kwk-partial", "UDIMM", 16384, 1, 8, 32, 32, 0, 4800, "Undefined", "Undefined", ""},
        {"klevv-kd58gu880-56g4600", "UDIMM", 8192, 1, 8, 16, 32, 0, 5600, "Unknown? (Invalid parity)",
         "SK Hynix (former Hyundai Electronics)", "KD58GU880-56G4600"},
        {"cb-samsung-m425r1gb4pb0-cwmod", "SODIMM", 8192, 1, 16, 16, 32, 0, 5600, "Samsung", "Samsung",
         "M425R1GB4PB0-CWMOD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ddr5::Module m = ddr5::Decode(ReadImage(c.name));
        EXPECT_EQ(m.moduleType, c.type);
        EXPECT_EQ(m.capacityMb, c.capacityMb);
        EXPECT_EQ(m.packageRanks, c.ranks);
        EXPECT_EQ(m.deviceBits, c.deviceBits);
        EXPECT_EQ(m.TotalBanks(), c.banks);
        EXPECT_EQ(m.subChannels, 2);
        EXPECT_EQ(m.busBitsPerSubChannel, c.busBits);
        EXPECT_EQ(m.eccBitsPerSubChannel, c.eccBits);
        EXPECT_EQ(ddr5::SpeedMts(m.tckMinPs), c.speed);
        EXPECT_EQ(m.moduleMaker, c.maker);
        EXPECT_EQ(m.dramMaker, c.dram);
        EXPECT_EQ(m.partNumber, c.part);
        EXPECT_EQ(m.baseCrc.ok, std::string_view(c.name) != "vcolor-tmxfl1680838kwk-partial");
    }
}

// Every maker of the DDR5 images by JEDEC's list: the module's and the DRAM's, and those of the SPD hub, the PMIC,
// the thermal sensor and the clock driver ("-" where the module has no such device).
TEST(SpdDdr5, MakersAreNamedByTheJep106List) {
    struct Case {
        const char *name, *module, *dram, *hub, *pmic, *sensor, *rcd;
    } cases[] = {
        {"advantech-aqd-d5v16gr48-sb", "A-DATA Technology", "Samsung", "Montage Technology Group",
         "Montage Technology Group", "Montage Technology Group", "Montage Technology Group"},
        {"cb-samsung-m425r1gb4pb0-cwmod", "Samsung", "Samsung", "IDT", "IDT", "-", "-"},
        {"corsair-cmk32gx5m2b5600z40", "Corsair", "Micron Technology", "IDT", "Anpec Electronics", "-", "-"},
        {"crucial-ct16g56c46u5", "Crucial Technology", "Micron Technology", "Montage Technology Group", "Richtek Power",
         "-", "-"},
        {"kingston-kf552c40-16", "Kingston", "Micron Technology", "Montage Technology Group", "Anpec Electronics", "-",
         "-"},
        {"klevv-kd58gu880-56g4600", "Unknown? (Invalid parity)", "SK Hynix (former Hyundai Electronics)",
         "Unknown? (Invalid parity)", "Richtek Power", "-", "-"},
        {"openbmc-rdimm-64gb-anonymised", "Samsung", "Samsung", "IDT", "Monolithic Power Systems Inc", "IDT",
         "Rambus Inc."},
        {"samsung-m323r1gb4bb0-cqkol", "Samsung", "Samsung", "Montage Technology Group", "Samsung", "-", "-"},
        {"samsung-m323r2ga3db0-cwmod", "Samsung", "Samsung", "IDT", "IDT", "-", "-"},
        {"samsung-m324r2ga3bb0-cqkod", "Samsung", "Samsung", "IDT", "IDT", "-", "-"},
        {"teamgroup-tforce-ud5-8000", "Team Group Inc.", "SK Hynix (former Hyundai Electronics)",
         "Montage Technology Group", "Richtek Power", "-", "-"},
        {"vcolor-tmxfl1680838kwk-partial", "Undefined", "Undefined", "IDT", "Richtek Power", "-", "-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ddr5::Module m = ddr5::Decode(ReadImage(c.name));
        std::map<std::string_view, std::string> makers;
        for (const ddr5::Device& d : m.devices) {
            makers[d.role] = d.maker;
        }
        const auto maker = [&](std::string_view role) { return makers.contains(role) ? makers[role] : "-"; };
        EXPECT_EQ(m.moduleMaker, c.module);
        EXPECT_EQ(m.dramMaker, c.dram);
        EXPECT_EQ(maker("SPD Hub"), c.hub);
        EXPECT_EQ(maker("PMIC 0"), c.pmic);
        EXPECT_EQ(maker("Thermal Sensor"), c.sensor);
        EXPECT_EQ(maker("Registering Clock Driver"), c.rcd);
    }
}

// libjedec's and openbmc's expectations for their two RDIMMs: every time in ps, clock limits, devices, identity.
TEST(SpdDdr5, RegisteredModulesMatchTheirTestExpectations) {
    const ddr5::Module a = ddr5::Decode(ReadImage("advantech-aqd-d5v16gr48-sb"));
    EXPECT_EQ(a.casLatencies, (std::vector<int>{22, 26, 28, 30, 32, 36, 40, 42}));
    EXPECT_EQ(a.tckMinPs, 416);
    EXPECT_EQ(a.tckMaxPs, 1010);
    std::map<std::string_view, std::pair<std::int64_t, int>> times;
    for (const ddr5::Timing& t : a.timings) {
        times[t.name] = {t.ps, t.minClocks};
    }
    const std::map<std::string_view, std::pair<std::int64_t, int>> expected = {
        {"tAA", {16000, 0}},         {"tRCD", {16000, 0}},  {"tRP", {16000, 0}},         {"tRAS", {32000, 0}},
        {"tRC", {48000, 0}},         {"tWR", {30000, 0}},   {"tRFC1", {295000, 0}},      {"tRFC2", {160000, 0}},
        {"tRFCsb", {130000, 0}},     {"tRRD_L", {5000, 8}}, {"tCCD_L", {5000, 8}},       {"tCCD_L_WR", {20000, 32}},
        {"tCCD_L_WR2", {10000, 16}}, {"tFAW", {13333, 32}}, {"tCCD_L_WTR", {10000, 16}}, {"tCCD_S_WTR", {2500, 4}},
        {"tRTP", {7500, 12}},
    };
    EXPECT_EQ(times, expected);
    EXPECT_EQ(a.vddMv, 1100);
    EXPECT_EQ(a.vppMv, 1800);
    EXPECT_EQ(a.heightMm, 32);
    EXPECT_EQ(a.thicknessFrontMm, 2);
    EXPECT_EQ(a.thicknessBackMm, 3);
    EXPECT_EQ(a.rawCard, "D");
    EXPECT_EQ(a.serial, 0x13576428u);
    EXPECT_FALSE(a.date.year.has_value()); // 0xAF 0x82: hand-set, not BCD
    const std::string montage = "Montage Technology Group";
    EXPECT_EQ(Devices(a), (std::map<std::string_view, std::string>{
                              {"SPD Hub", "SPD5118 1.5 " + montage},
                              {"PMIC 0", "PMIC5010 3.3 " + montage},
                              {"Thermal Sensor", "TS5110 1.3 " + montage},
                              {"Registering Clock Driver", "DDR5RCD01 2.2 " + montage},
                          }));

    const ddr5::Module o = ddr5::Decode(ReadImage("openbmc-rdimm-64gb-anonymised"));
    EXPECT_EQ(o.revision, "0.9");
    EXPECT_EQ(o.bytesTotal, 1024);
    EXPECT_EQ(o.dieGbit, 16);
    EXPECT_EQ(o.dies, 1);
    EXPECT_EQ(o.rowBits, 16);
    EXPECT_EQ(o.columnBits, 11);
    EXPECT_FALSE(o.asymmetrical);
    EXPECT_EQ(o.location, 1u);
    EXPECT_EQ(o.date.year, 21);
    EXPECT_EQ(o.date.week, 28);
    EXPECT_EQ(o.serial, 0x01020304u);
    EXPECT_EQ(o.revisionCode, 7u);
    EXPECT_EQ(o.baseCrc.found, 0x4B5Bu);
}

std::map<std::string_view, std::int64_t> ClocksAt(const std::vector<ddr5::Timing>& timings, std::int64_t tckPs,
                                                  const std::vector<int>& cas, bool withCl) {
    std::map<std::string_view, std::int64_t> clocks;
    for (const ddr5::Timing& t : timings) {
        clocks[t.name] = *ddr5::Clocks(t.ps, tckPs, t.minClocks);
    }
    if (withCl) {
        clocks["CL"] = *ddr5::CasLatency(timings.front().ps, tckPs, cas); // tAA comes first
    }
    return clocks;
}

void Covers(const std::map<std::string_view, std::int64_t>& ours, const std::map<std::string_view, std::int64_t>& ref) {
    for (const auto& [name, value] : ref) {
        EXPECT_EQ(ours.count(name) ? ours.at(name) : -1, value) << name;
    }
}

// The clock tables of Roch Viewer (vcolor: JEDEC 4800/4400/4000, XMP and EXPO 8000) and Thaiphoon (Kingston: JEDEC
// 4800, XMP 5200 and 4800), counted by the JESD400-5 rounding with the table's lower limits.
TEST(SpdDdr5, ClocksMatchTheReferenceTables) {
    const ddr5::Module v = ddr5::Decode(ReadImage("vcolor-tmxfl1680838kwk-partial"));
    const std::map<std::string_view, std::int64_t> jedec4800 = {
        {"CL", 40},     {"tRCD", 39},    {"tRP", 39},    {"tRAS", 77},   {"tRC", 116}, {"tWR", 72}, {"tRFC1", 708},
        {"tRFC2", 384}, {"tRFCsb", 312}, {"tRRD_L", 12}, {"tCCD_L", 12}, {"tFAW", 32}, {"tRTP", 18}};
    Covers(ClocksAt(v.timings, 416, v.casLatencies, true), jedec4800);
    Covers(ClocksAt(v.timings, 454, v.casLatencies, true),
           {{"CL", 36}, {"tRAS", 71}, {"tRC", 106}, {"tWR", 66}, {"tRFC1", 648}, {"tRFCsb", 286}, {"tRRD_L", 11}});
    Covers(ClocksAt(v.timings, 500, v.casLatencies, true),
           {{"CL", 32}, {"tRAS", 64}, {"tRFC1", 589}, {"tRFC2", 320}, {"tFAW", 32}, {"tRTP", 15}});
    ASSERT_EQ(v.profiles.size(), 2u);
    const std::map<std::string_view, std::int64_t> oc8000 = {{"CL", 38},      {"tRCD", 48},   {"tRP", 48},
                                                             {"tRAS", 128},   {"tRC", 176},   {"tWR", 120},
                                                             {"tRFC1", 1177}, {"tRFC2", 639}, {"tRFCsb", 519}};
    for (const ddr5::Profile& p : v.profiles) {
        SCOPED_TRACE(p.kind);
        EXPECT_EQ(p.tckPs, 250);
        EXPECT_EQ(p.vddMv, 1450);
        EXPECT_EQ(p.vppMv, 1800);
        Covers(ClocksAt(p.timings, p.tckPs, p.casLatencies, true), oc8000);
    }
    Covers(ClocksAt(v.profiles[1].timings, 250, {}, false),
           {{"tRRD_L", 20}, {"tCCD_L", 20}, {"tFAW", 57}, {"tRTP", 30}});

    const ddr5::Module k = ddr5::Decode(ReadImage("kingston-kf552c40-16"));
    Covers(ClocksAt(k.timings, 416, k.casLatencies, true), {{"CL", 40}, {"tRC", 116}, {"tWR", 72}, {"tRFC2", 384}});
    ASSERT_EQ(k.profiles.size(), 2u);
    EXPECT_EQ(k.profiles[0].name, "Profile 1 Ultra");
    EXPECT_EQ(k.profiles[0].vddMv, 1250);
    Covers(ClocksAt(k.profiles[0].timings, k.profiles[0].tckPs, k.profiles[0].casLatencies, true),
           {{"CL", 40}, {"tRCD", 40}, {"tRAS", 80}, {"tRC", 125}, {"tWR", 78}, {"tRFC1", 766}, {"tRFC2", 416}});
    Covers(ClocksAt(k.profiles[1].timings, k.profiles[1].tckPs, k.profiles[1].casLatencies, true),
           {{"CL", 38}, {"tRCD", 38}, {"tRAS", 70}, {"tRC", 116}, {"tWR", 72}, {"tRFC1", 708}, {"tRFC2", 384}});
}

// The JESD400-5 rounding: less 0.3 %, truncated, plus one; never under the lower limit; nothing without a clock.
TEST(SpdDdr5, ClockRoundingFollowsJesd400) {
    struct Case {
        std::int64_t ps, tck;
        int minClocks;
        std::optional<std::int64_t> clocks;
    } cases[] = {
        {160000, 250, 0, 639}, {16000, 416, 0, 39}, {13333, 500, 32, 32},
        {5000, 416, 8, 12},    {1000, 0, 0, {}},    {-1, 416, 0, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ddr5::Clocks(c.ps, c.tck, c.minClocks), c.clocks) << c.ps << " at " << c.tck;
    }
}

ddr5::Image Patched(ddr5::Image image, std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes) {
    for (const auto& [at, value] : bytes) {
        image[at] = value;
    }
    return image;
}

std::vector<std::string> ProfileNames(const ddr5::Module& m) {
    std::vector<std::string> names;
    for (const ddr5::Profile& p : m.profiles) {
        names.push_back(p.kind + std::to_string(p.number) + (p.crc && !p.crc->ok ? " bad" : ""));
    }
    return names;
}

// A slot whose enable bit is clear is no profile whatever it holds (teamgroup's slot 5 holds vendor bytes); a
// changed byte in a profile or a header gives a bad CRC verdict and is still decoded; EXPO's second profile has
// its own enable bit.
TEST(SpdDdr5, ProfilesFollowTheirEnableBitsAndCarryCrcVerdicts) {
    const ddr5::Image team = ReadImage("teamgroup-tforce-ud5-8000");
    const ddr5::Image crucial = ReadImage("crucial-ct16g56c46u5");
    struct Case {
        const char* what;
        ddr5::Image image;
        std::vector<std::string> profiles;
        bool xmpHeaderOk;
    } cases[] = {
        {"as dumped", team, {"XMP1", "XMP2"}, true},
        {"slot 5 enabled", Patched(team, {{0x283, 0x13}}), {"XMP1", "XMP2", "XMP5 bad"}, false},
        {"profile 1 disabled", Patched(team, {{0x283, 0x02}}), {"XMP2"}, false},
        {"profile 2 changed", Patched(team, {{0x30D, 0x6F}}), {"XMP1", "XMP2 bad"}, true},
        {"two EXPO profiles", crucial, {"XMP1", "XMP2", "EXPO1", "EXPO2"}, true},
        {"EXPO profile 2 off", Patched(crucial, {{0x345, 0x03}}), {"XMP1", "XMP2", "EXPO1"}, true},
        {"no XMP header", Patched(crucial, {{0x281, 0x00}}), {"EXPO1", "EXPO2"}, false},
    };
    for (const Case& c : cases) {
        const ddr5::Module m = ddr5::Decode(c.image);
        EXPECT_EQ(ProfileNames(m), c.profiles) << c.what;
        EXPECT_EQ(m.xmpHeaderCrc && m.xmpHeaderCrc->ok, c.xmpHeaderOk) << c.what;
    }
    EXPECT_FALSE(ddr5::Decode(Patched(crucial, {{0x345, 0x13}})).expoCrc->ok);
}

// Reserved codes leave their values absent (no capacity made up from them), a blank image decodes without a
// clock, and nothing reads past the 1024 bytes.
TEST(SpdDdr5, ReservedCodesGiveNoValue) {
    const ddr5::Image good = ReadImage("kingston-kf552c40-16");
    struct Case {
        const char* what;
        ddr5::Image image;
        bool capacity, banks;
    } cases[] = {
        {"die density code 31", Patched(good, {{4, 0x1F}}), false, true},
        {"die count code 1", Patched(good, {{4, 0x24}}), false, true},
        {"device width code 7", Patched(good, {{6, 0xE0}}), false, true},
        {"bank group code 7", Patched(good, {{7, 0xE2}}), true, false},
        {"sub-channel code 3", Patched(good, {{235, 0x62}}), false, true},
        {"x16 devices on an 8-bit bus", Patched(good, {{6, 0x40}, {235, 0x20}}), false, true},
        {"blank", ddr5::Image{}, false, true},
    };
    for (const Case& c : cases) {
        const ddr5::Module m = ddr5::Decode(c.image);
        EXPECT_EQ(m.capacityMb.has_value(), c.capacity) << c.what;
        EXPECT_EQ(m.TotalBanks().has_value(), c.banks) << c.what;
    }
    const ddr5::Module blank = ddr5::Decode(ddr5::Image{});
    EXPECT_FALSE(ddr5::SpeedMts(blank.tckMinPs).has_value());
    EXPECT_TRUE(blank.baseCrc.ok); // the CRC of zeros is zero
    EXPECT_FALSE(blank.xmpHeaderCrc || blank.expoCrc || !blank.profiles.empty());
}

// A stream that gives a few bytes per read, as the spd5118 driver's eeprom file may.
class TrickleBuffer : public std::streambuf {
public:
    explicit TrickleBuffer(std::string bytes) : m_bytes(std::move(bytes)) {}

protected:
    std::streamsize xsgetn(char* out, std::streamsize n) override {
        const auto take = std::min<std::streamsize>({n, 7, static_cast<std::streamsize>(m_bytes.size() - m_at)});
        std::copy_n(m_bytes.data() + m_at, take, out);
        m_at += static_cast<std::size_t>(take);
        return take;
    }

private:
    std::string m_bytes;
    std::size_t m_at = 0;
};

// Reading: on until 1024 bytes or the end, whatever each read gives; a DDR5 image of another size names both.
TEST(SpdDdr5, ImagesAreReadWholeOrRefusedWithTheSizes) {
    struct Case {
        std::size_t size;
        std::uint8_t type;
        const char* refusal; // nullptr: an image
    } cases[] = {
        {1024, 0x12, nullptr},
        {512, 0x0C, nullptr},
        {1000, 0x12, "a DDR5 SPD image needs 1024 bytes; this one has 1000"},
        {512, 0x12, "a DDR5 SPD image needs 1024 bytes; this one has 512"},
        {1025, 0x12, "not a 1024-byte DDR5 SPD image (more than 1024 bytes)"},
        {1024, 0x13, "not a DDR4 or DDR5 SPD image: its memory type (byte 2) is LPDDR5 SDRAM (0x13)"},
        {1024, 0x15, "not a DDR4 or DDR5 SPD image: its memory type (byte 2) is LPDDR5X SDRAM (0x15)"},
        {2, 0x12, "not a 512-byte DDR4 or 1024-byte DDR5 SPD image (2 bytes)"},
    };
    for (const Case& c : cases) {
        std::string bytes(c.size, '\x5A');
        if (c.size > 2) {
            bytes[2] = static_cast<char>(c.type);
        }
        TrickleBuffer buffer(bytes);
        std::istream in(&buffer);
        const SpdFileRead read = ReadSpdStream(in);
        if (c.refusal) {
            EXPECT_EQ(std::get_if<std::string>(&read) ? std::get<std::string>(read) : "(an image)", c.refusal);
        } else if (c.type == ddr5::kTypeCode) {
            ASSERT_TRUE(std::holds_alternative<ddr5::Image>(read));
            EXPECT_EQ(std::get<ddr5::Image>(read)[1023], 0x5A);
        } else {
            EXPECT_TRUE(std::holds_alternative<SpdImage>(read));
        }
    }
}

} // namespace
