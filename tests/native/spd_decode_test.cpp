// SPD decoding: bytes in, the module table's text cells out.
#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "base/Utf8.h"
#include "memory/ModuleLabels.h"
#include "memory/SpdDecode.h"

namespace {

using Bytes = std::vector<std::pair<int, std::uint8_t>>;

// An image that is zero except for the given bytes.
SpdImage Image(const Bytes& bytes) {
    SpdImage image{};
    for (auto [offset, value] : bytes) {
        image.at(static_cast<std::size_t>(offset)) = value;
    }
    return image;
}

// The decoder with spdinfo's labels, the ones the expected rows here are written in.
DecodedModule Decode(const SpdImage& image) {
    return DecodeSpd(image, kFixedRowLabels);
}

std::string Cell(const DecodedModule& module, std::size_t row, std::size_t column) {
    return ToUtf8(module.rows.at(row).at(column));
}

// A row's cells joined by '|', without the empty cells at its end: "JEDEC #1|1454 (727MHz )|10|10|10|24|34".
std::string RowText(const ModuleInfoRow& row) {
    std::string text;
    for (const std::u16string& cell : row) {
        text += ToUtf8(cell) + "|";
    }
    return text.erase(text.find_last_not_of('|') + 1);
}

std::vector<std::string> RowsFrom(const DecodedModule& module, std::size_t first) {
    std::vector<std::string> rows;
    for (std::size_t r = first; r < module.rows.size(); ++r) {
        rows.push_back(RowText(module.rows[r]));
    }
    return rows;
}

// The CAS latency column of the JEDEC rows.
std::vector<std::string> Latencies(const DecodedModule& module) {
    std::vector<std::string> latencies;
    for (std::size_t r = kFirstJedecRow; r < module.rows.size() - kRowsPerXmpProfile * module.xmpProfileCount; ++r) {
        latencies.push_back(Cell(module, r, 2));
    }
    return latencies;
}

enum Row : std::size_t { kMaker, kPart, kSerial, kCapacity, kType, kSpeed, kBus, kBanks, kRanks, kVoltage, kSpare };

// tCK 0.833 ns, tAA = tRCD = tRP = 13.75 ns, tRAS 32 ns, tRC 45.75 ns: a DDR4-2400 module's JEDEC times.
const Bytes kDdr4_2400Times = {{18, 0x07}, {125, 0xD6}, {24, 0x6E}, {25, 0x6E},
                               {26, 0x6E}, {27, 0x11},  {28, 0x00}, {29, 0x6E}};

Bytes With(Bytes bytes, std::initializer_list<std::pair<int, std::uint8_t>> more) {
    bytes.insert(bytes.end(), more);
    return bytes;
}

TEST(SpdDecode, ABlankImageKeepsTheLabelsAndShowsNoSpeed) {
    DecodedModule module = Decode(SpdImage{});
    ASSERT_EQ(module.rows.size(), static_cast<std::size_t>(kFixedRowCount));
    for (std::size_t r = 0; r < kFixedRowLabels.size(); ++r) {
        EXPECT_EQ(module.rows[r][0], kFixedRowLabels[r]) << r;
    }
    EXPECT_EQ(RowsFrom(module, 0), (std::vector<std::string>{
                                       "制造商|00 00",
                                       "产品编号|无",
                                       "序列号|无",
                                       "模组容量|0G",
                                       "存储类型|DDR0 SDRAM",
                                       "存储速度|-",
                                       "内存位宽|?",
                                       "Banks|4",
                                       "Ranks|1",
                                       "工作电压|1.20V",
                                       "test",
                                   }));
    EXPECT_EQ(module.xmpProfileCount, 0);
}

TEST(SpdDecode, MakerFromTheTableInOrderElseTheTwoCodeBytes) {
    const ManufacturerEntry& own = ManufacturerTable.front();
    struct Case {
        std::uint8_t bank, id;
        const char* text;
    } cases[] = {
        {0x80, 0xCE, "Samsung"}, {0x01, 0x98, "Kingston"}, {own.bank, own.id, "Quenmark Microsystems"},
        {0x04, 0xCD, "G.Skill"}, {0x02, 0x9E, "Corsair"},  {0x00, 0x00, "00 00"},
        {0x83, 0x0B, "83 0B"},   {0xCE, 0x80, "CE 80"},    {0x80, 0x2C, "Micron Technology"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cell(Decode(Image({{320, c.bank}, {321, c.id}})), kMaker, 1), c.text) << c.text;
    }
}

TEST(SpdDecode, PartNumberEndsAtTheFirstZeroByteAndMapsHighBytesToLatin1) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        const char* text;
    } cases[] = {
        {{'M', '3', '7', '8', ' ', ' '}, "M378  "},
        {{'A', 'B', 0, 'C'}, "AB"},
        {{0, 'X'}, ""},
        {{'A', 0xE9, 0xFF, 0x80}, "A\u00E9\u00FF\u0080"},
        {{}, "无"},
    };
    for (const Case& c : cases) {
        Bytes bytes;
        for (std::size_t i = 0; i < c.bytes.size(); ++i) {
            bytes.emplace_back(329 + static_cast<int>(i), c.bytes[i]);
        }
        EXPECT_EQ(Cell(Decode(Image(bytes)), kPart, 1), c.text) << c.text;
    }
    // The twentieth byte counts too.
    EXPECT_EQ(Cell(Decode(Image({{348, 'z'}})), kPart, 1), "");
    EXPECT_EQ(Cell(Decode(Image({{329, 'a'}, {348, 'z'}})), kPart, 1), "a");
}

TEST(SpdDecode, SerialNumberInUpperCaseHex) {
    EXPECT_EQ(Cell(Decode(Image({{328, 0x01}})), kSerial, 1), "00000001");
    EXPECT_EQ(Cell(Decode(Image({{325, 0xAB}, {326, 0x0c}, {327, 0x00}, {328, 0xF0}})), kSerial, 1), "AB0C00F0");
    EXPECT_EQ(Cell(Decode(Image({})), kSerial, 1), "无");
}

TEST(SpdDecode, OrganisationGivesCapacityBusWidthBanksAndRanks) {
    struct Case {
        std::uint8_t density, package, organisation, busWidth;
        const char *capacity, *bus, *banks, *ranks;
    } cases[] = {
        {0x85, 0x00, 0x01, 0x03, "8G", "64bit", "16", "1"},  // 8192 Mbit x8, one rank
        {0x45, 0x00, 0x01, 0x03, "8G", "64bit", "8", "1"},   // two bank groups
        {0x86, 0x00, 0x09, 0x0B, "32G", "72bit", "16", "2"}, // 16384 Mbit x8, two ranks, ECC
        {0x98, 0x00, 0x00, 0x03, "24G", "64bit", "32", "1"}, // 12288 Mbit x4, 8 banks per group
        {0x06, 0x00, 0x3B, 0x03, "32G", "64bit", "4", "8"},  // x32, eight ranks, no bank groups: one group of 4
        {0x80, 0x00, 0x02, 0x03, "0G", "64bit", "16", "1"},  // 256 Mbit x16: less than a gigabyte
        {0x85, 0x00, 0x01, 0x13, "8G", "?", "16", "1"},      // reserved bus width byte
        {0xC5, 0x00, 0x01, 0x03, "8G", "64bit", "?", "1"},   // reserved bank group code
        {0xA5, 0x00, 0x01, 0x03, "8G", "64bit", "?", "1"},   // reserved banks per group
        {0xBA, 0x00, 0x01, 0x03, "?", "64bit", "?", "1"},    // reserved die capacity
        {0x85, 0x00, 0x0C, 0x03, "?", "64bit", "16", "2"},   // reserved device width: no division by zero
        {0x85, 0x00, 0x07, 0x03, "?", "64bit", "16", "1"},
        {0x85, 0xB2, 0x08, 0x0B, "128G", "72bit", "16", "2"},  // 3DS, four dies
        {0x86, 0xF2, 0x38, 0x0B, "2048G", "72bit", "16", "8"}, // 3DS, eight dies, eight ranks
        {0x85, 0x02, 0x08, 0x0B, "32G", "72bit", "16", "2"},   // 3DS of one die
        {0x86, 0x91, 0x18, 0x0B, "128G", "72bit", "16", "4"},  // two-die multi-load stack: dies are ranks already
        {0x85, 0xB1, 0x08, 0x0B, "32G", "72bit", "16", "2"},   // die count without 3DS loading
    };
    for (const Case& c : cases) {
        DecodedModule module = Decode(Image({{4, c.density}, {6, c.package}, {12, c.organisation}, {13, c.busWidth}}));
        SCOPED_TRACE(testing::Message() << std::hex << int{c.density} << " " << int{c.package} << " "
                                        << int{c.organisation} << " " << int{c.busWidth});
        EXPECT_EQ(Cell(module, kCapacity, 1), c.capacity);
        EXPECT_EQ(Cell(module, kBus, 1), c.bus);
        EXPECT_EQ(Cell(module, kBanks, 1), c.banks);
        EXPECT_EQ(Cell(module, kRanks, 1), c.ranks);
    }
}

TEST(SpdDecode, MemoryTypeAndSpeed) {
    struct Case {
        std::uint8_t type;
        const char* text;
    } types[] = {{0x07, "DDR1 SDRAM"}, {0x08, "DDR2 SDRAM"}, {0x0B, "DDR3 SDRAM"},
                 {0x0C, "DDR4 SDRAM"}, {0x0D, "DDR0 SDRAM"}, {0x12, "DDR0 SDRAM"}};
    for (const Case& c : types) {
        EXPECT_EQ(Cell(Decode(Image({{2, c.type}})), kType, 1), c.text);
    }
    struct Speed {
        std::uint8_t medium, fine;
        const char* text;
    } speeds[] = {
        {0x05, 0x00, "DDR4-3200 ( 1600MHz )"},
        {0x07, 0xD6, "DDR4-2400 ( 1200MHz )"},
        {0x06, 0x00, "DDR4-2666 ( 1333MHz )"},
        {0x08, 0xC2, "DDR4-2133 ( 1066MHz )"},
        {0xFF, 0x7F, "DDR4-62 ( 31MHz )"},
        {0x00, 0x01, "DDR4-1999999 ( 999999MHz )"},
        {0x00, 0x00, "-"},
        {0x00, 0xD6, "-"}, // no period, or a negative one
    };
    for (const Speed& s : speeds) {
        EXPECT_EQ(Cell(Decode(Image({{18, s.medium}, {125, s.fine}})), kSpeed, 1), s.text) << s.text;
    }
}

TEST(SpdDecode, OneJedecRowPerSupportedLatencyInAscendingOrder) {
    struct Case {
        std::uint8_t b20, b21, b22, b23;
        std::vector<std::string> latencies;
    } cases[] = {
        {0x00, 0x00, 0x00, 0x00, {}},
        {0x01, 0x00, 0x00, 0x20, {"7", "36"}},
        {0x00, 0x00, 0x00, 0x40, {}}, // bit 6 of byte 23 means nothing
        {0x01, 0x00, 0x00, 0x81, {"23", "47"}},
        {0x00, 0x00, 0x00, 0xA0, {"52"}},
        {0x80, 0xAA, 0x06, 0x00, {"14", "16", "18", "20", "22", "24", "25"}},
        {0xF8, 0xFF, 0x00, 0x00, {"10", "11", "12", "13", "14", "15", "16", "17", "18", "19", "20", "21", "22"}},
    };
    for (const Case& c : cases) {
        DecodedModule module =
            Decode(Image(With(kDdr4_2400Times, {{20, c.b20}, {21, c.b21}, {22, c.b22}, {23, c.b23}})));
        EXPECT_EQ(Latencies(module), c.latencies);
        for (std::size_t k = 0; k < c.latencies.size(); ++k) {
            EXPECT_EQ(Cell(module, kFirstJedecRow + k, 0), "JEDEC #" + std::to_string(k + 1));
        }
    }
    // The table keeps all 48 latencies; the view chooses which to show.
    DecodedModule all = Decode(Image({{18, 0x05}, {20, 0xFF}, {21, 0xFF}, {22, 0xFF}, {23, 0x3F}}));
    EXPECT_EQ(all.rows.size(), static_cast<std::size_t>(kFixedRowCount + 30));
}

TEST(SpdDecode, JedecRowRunsAtTheFastestRateBothTckAndTaaAllow) {
    DecodedModule module = Decode(Image(With(kDdr4_2400Times, {{20, 0x08}, {21, 0x0E}, {120, 0x7F}})));
    EXPECT_EQ(RowsFrom(module, kFirstJedecRow), (std::vector<std::string>{
                                                    "JEDEC #1|1454 (727MHz )|10|10|10|24|34",
                                                    "JEDEC #2|2327 (1163MHz )|16|16|16|38|54",
                                                    "JEDEC #3|2400 (1200MHz )|17|17|17|39|55",
                                                    "JEDEC #4|2400 (1200MHz )|18|17|17|39|55",
                                                }))
        << "byte 120, tRC's fine correction, is not used";
}

TEST(SpdDecode, JedecRowsWithoutAUsablePeriodShowNoRateOrClocks) {
    struct Case {
        Bytes bytes;
        const char* row;
    } cases[] = {
        {{{24, 0x6E}, {25, 0x6E}}, "JEDEC #1|-|10|-|-|-|-"},                             // blank tCK
        {{{18, 0x00}, {125, 0xF0}, {24, 0x6E}}, "JEDEC #1|-|10|-|-|-|-"},                // negative tCK
        {{{18, 0x07}, {125, 0xD6}}, "JEDEC #1|2400 (1200MHz )|10|0|0|0|0"},              // blank tAA: tCK alone
        {{{18, 0x07}, {125, 0xD6}, {123, 0x80}}, "JEDEC #1|2400 (1200MHz )|10|0|0|0|0"}, // negative tAA
        {{{18, 0x07}, {125, 0xD6}, {25, 0x00}, {122, 0xFF}, {26, 0x01}}, "JEDEC #1|2400 (1200MHz )|10|-|1|0|0"},
    };
    for (const Case& c : cases) {
        DecodedModule module = Decode(Image(With(c.bytes, {{20, 0x08}})));
        EXPECT_EQ(RowsFrom(module, kFirstJedecRow), std::vector<std::string>{c.row});
    }
}

TEST(SpdDecode, XmpProfilesShowWhileTheirEnableBitsAreSet) {
    struct Case {
        std::uint8_t magic0, magic1, enabled;
        int profiles;
    } cases[] = {
        {0x0C, 0x4A, 0x01, 1}, {0x0C, 0x4A, 0x03, 2}, {0x0C, 0x4A, 0x02, 0},
        {0x0C, 0x4A, 0x00, 0}, {0x0C, 0x4A, 0xFE, 0}, {0x0C, 0x4A, 0xFD, 1},
        {0x0C, 0x4B, 0x03, 0}, {0x4A, 0x0C, 0x03, 0}, {0x48, 0x50, 0x54, 0},
    };
    for (const Case& c : cases) {
        for (std::uint8_t latencies : {0x00, 0x18}) {
            DecodedModule module = Decode(Image({{20, latencies}, {384, c.magic0}, {385, c.magic1}, {386, c.enabled}}));
            EXPECT_EQ(module.xmpProfileCount, c.profiles);
            const std::size_t firstXmpRow = kFirstJedecRow + (latencies ? 2 : 0);
            ASSERT_EQ(module.rows.size(), firstXmpRow + kRowsPerXmpProfile * c.profiles);
            for (int p = 0; p < c.profiles; ++p) {
                const std::size_t title = firstXmpRow + kRowsPerXmpProfile * p;
                EXPECT_EQ(RowText(module.rows[title]), "|XMP Profile " + std::to_string(p + 1));
                EXPECT_EQ(Cell(module, title + 1, 0), "存储速度");
                EXPECT_EQ(Cell(module, title + 2, 0), "工作电压");
            }
        }
    }
}

TEST(SpdDecode, XmpClocksCountOverTheProfilesOwnPeriod) {
    // Profile 1 at 393: tCK 0.682 (2933), tAA 13.641: 20.002 clocks of 0.682 but 19.998 of 2000 / 2932, so 21;
    // tRC 45.625 + 0.001 (its fine byte counts): 66.9. Profile 2 at 440: tCK 0.625, tRC exactly 73 clocks.
    const Bytes profiles = {
        {384, 0x0C}, {385, 0x4A}, {386, 0x03},                                        // header, both profiles
        {393, 0xA3}, {396, 0x06}, {431, 0xBC}, {401, 0x6D}, {430, 0x10},              // 1.35V, tCK, tAA
        {402, 0x5A}, {403, 0x5A}, {404, 0x10}, {405, 0xB4}, {406, 0x6D}, {427, 0x01}, // tRCD tRP tRAS tRC
        {440, 0x85}, {443, 0x05}, {451, 0x10}, {453, 0x6D},                           // 1.05V, tCK, tRAS/tRC
    };
    EXPECT_EQ(RowsFrom(Decode(Image(profiles)), kFirstJedecRow), (std::vector<std::string>{
                                                                     "|XMP Profile 1",
                                                                     "存储速度|2933( 1466MHz )|21|17|17|33|67",
                                                                     "工作电压|1.35V",
                                                                     "|XMP Profile 2",
                                                                     "存储速度|3200( 1600MHz )|0|0|0|0|73",
                                                                     "工作电压|1.05V",
                                                                 }));
    // The fine byte of tRC lifts an exact 73 to 74; a blank profile period shows no rate or clocks.
    const Bytes broken = With(profiles, {{474, 0x01}, {396, 0x00}, {431, 0x00}, {440, 0x7F}});
    EXPECT_EQ(RowsFrom(Decode(Image(broken)), kFirstJedecRow), (std::vector<std::string>{
                                                                   "|XMP Profile 1",
                                                                   "存储速度|-|-|-|-|-|-",
                                                                   "工作电压|1.35V",
                                                                   "|XMP Profile 2",
                                                                   "存储速度|3200( 1600MHz )|0|0|0|0|74",
                                                                   "工作电压|1.27V",
                                                               }));
}

// Real modules, each table worked out by hand from the image's bytes (the arithmetic is noted beside it).
struct RealModule {
    const char* file;
    int xmpProfiles;
    std::vector<std::string> rows;
};

const RealModule kRealModules[] = {
    // Kingston 01 98, serial zero. Byte 4 0x85: 4 x 4 banks of 8192 Mbit; byte 12 0x09: x8, 2 ranks:
    // 8192 / 8 * 64 / 8 * 2 / 1024 = 16G. tCK 7 * 0.125 - 0.042 = 0.833: 2400.96. Latencies F8 0F: 10-18.
    // tAA = tRCD = tRP 0x6E = 13.75, tRAS 0x100 = 32, tRC 0x16E = 45.75. CL 16: 2000 / (13.75 / 16) = 2327.27, tCK
    // used 0.85948: tRC 53.2 -> 54. CL 17 and 18: 13.75 / 17 < 0.833, so 2400 and 0.8333: tRCD 16.5 -> 17.
    // XMP enable 0x17. Profile 1: tCK 0.625, tAA 0x50 = 10 -> 16, tRCD/tRP 0x5A = 11.25 -> 18, tRAS 0xB4 = 22.5
    // -> 36, tRC 45.75 -> 73.2 -> 74, 0xA3 = 1.35V. Profile 2: tCK 0.75 - 0.084 = 0.666 (3003.0, named 3000), tAA 10 -
    // 0.010 =
    // 9.99 -> 15.0 -> 15 (single precision), tRCD/tRP 0x5B - 0.053 = 11.322 -> 17.0 -> 17, tRAS 0xBF = 23.875
    // -> 35.8 -> 36, tRC 45.75 -> 68.7 -> 69.
    {"kingston-khx3200c16d4-16gx.bin",
     2,
     {
         "制造商|Kingston",
         "产品编号|KHX3200C16D4/16GX   ",
         "序列号|无",
         "模组容量|16G",
         "存储类型|DDR4 SDRAM",
         "存储速度|DDR4-2400 ( 1200MHz )",
         "内存位宽|64bit",
         "Banks|16",
         "Ranks|2",
         "工作电压|1.20V",
         "test",
         "JEDEC #1|1454 (727MHz )|10|10|10|24|34",
         "JEDEC #2|1600 (800MHz )|11|11|11|26|37",
         "JEDEC #3|1745 (872MHz )|12|12|12|28|40",
         "JEDEC #4|1890 (945MHz )|13|13|13|31|44",
         "JEDEC #5|2036 (1018MHz )|14|14|14|33|47",
         "JEDEC #6|2181 (1090MHz )|15|15|15|35|50",
         "JEDEC #7|2327 (1163MHz )|16|16|16|38|54",
         "JEDEC #8|2400 (1200MHz )|17|17|17|39|55",
         "JEDEC #9|2400 (1200MHz )|18|17|17|39|55",
         "|XMP Profile 1",
         "存储速度|3200( 1600MHz )|16|18|18|36|74",
         "工作电压|1.35V",
         "|XMP Profile 2",
         "存储速度|3000( 1500MHz )|15|17|17|36|69",
         "工作电压|1.35V",
     }},
    // Micron 80 2C. Byte 4 0x85, byte 12 0x08 (x4, 2 package ranks), byte 6 0xB2: 3DS of four dies, so
    // 8192 / 8 * 64 / 4 * (2 * 4) / 1024 = 128G. tCK 0.75 - 0.068 = 0.682: 2932.55, named 2933. Latencies 80 AA 06: 14,
    // 16,
    // 18, 20, 22, 24, 25. tAA 0x83 - 0.005 = 16.37, tRCD = tRP 0x71 - 0.065 = 14.06, tRC 0x171 = 46.125. CL 14:
    // 2000 / 1.16929 = 1710.4, tCK used 1.16959: tRCD 12.02 -> 13, tRAS 27.4 -> 28, tRC 39.4 -> 40. CL 24:
    // 16.37 / 24 = 0.68208 > 0.682, 2932.2: tRCD 20.6 -> 21, tRC 67.6 -> 68. An "HPT" block, not XMP, at 384.
    {"micron-144asq16g72lsz-2s9e1.bin",
     0,
     {
         "制造商|Micron Technology",
         "产品编号|144ASQ16G72LSZ-2S9E1",
         "序列号|2432128C",
         "模组容量|128G",
         "存储类型|DDR4 SDRAM",
         "存储速度|DDR4-2933 ( 1466MHz )",
         "内存位宽|72bit",
         "Banks|16",
         "Ranks|2",
         "工作电压|1.20V",
         "test",
         "JEDEC #1|1710 (855MHz )|14|13|13|28|40",
         "JEDEC #2|1954 (977MHz )|16|14|14|32|46",
         "JEDEC #3|2200 (1100MHz )|18|16|16|36|51",
         "JEDEC #4|2443 (1221MHz )|20|18|18|40|57",
         "JEDEC #5|2687 (1343MHz )|22|19|19|43|62",
         "JEDEC #6|2933 (1466MHz )|24|21|21|47|68",
         "JEDEC #7|2933 (1466MHz )|25|21|21|47|68",
     }},
    // Micron RDIMM. Byte 4 0x86 (16384 Mbit), byte 12 0x08 (x4, 2 ranks): 16384 / 8 * 64 / 4 * 2 / 1024 = 64G;
    // byte 13 0x0B: 72bit. tCK 0.625. Latencies F8 FF 02: 10-22 and 24. Times as on the Kingston module; from
    // CL 22 on 13.75 / CL is not above 0.625, so 3200: tRCD 22, tRAS 51.2 -> 52, tRC 73.2 -> 74.
    {"micron-36asf8g72pz-3g2e1.bin",
     0,
     {
         "制造商|Micron Technology",
         "产品编号|36ASF8G72PZ-3G2E1   ",
         "序列号|32297BC1",
         "模组容量|64G",
         "存储类型|DDR4 SDRAM",
         "存储速度|DDR4-3200 ( 1600MHz )",
         "内存位宽|72bit",
         "Banks|16",
         "Ranks|2",
         "工作电压|1.20V",
         "test",
         "JEDEC #1|1454 (727MHz )|10|10|10|24|34",
         "JEDEC #2|1600 (800MHz )|11|11|11|26|37",
         "JEDEC #3|1745 (872MHz )|12|12|12|28|40",
         "JEDEC #4|1890 (945MHz )|13|13|13|31|44",
         "JEDEC #5|2036 (1018MHz )|14|14|14|33|47",
         "JEDEC #6|2181 (1090MHz )|15|15|15|35|50",
         "JEDEC #7|2327 (1163MHz )|16|16|16|38|54",
         "JEDEC #8|2472 (1236MHz )|17|17|17|40|57",
         "JEDEC #9|2618 (1309MHz )|18|18|18|42|60",
         "JEDEC #10|2763 (1381MHz )|19|19|19|45|64",
         "JEDEC #11|2909 (1454MHz )|20|20|20|47|67",
         "JEDEC #12|3054 (1527MHz )|21|21|21|49|70",
         "JEDEC #13|3200 (1600MHz )|22|22|22|52|74",
         "JEDEC #14|3200 (1600MHz )|24|22|22|52|74",
     }},
    // Samsung SO-DIMM. Byte 4 0x46: 2 bank groups of 4 banks, 16384 Mbit; byte 12 0x02: x16, 1 rank:
    // 16384 / 8 * 64 / 16 / 1024 = 8G. Serial zero. Latencies F8 FF 01: 10-23; CL 23 runs at 3200 like CL 22.
    {"cb-samsung-m471a1g44ab0-cwe.bin",
     0,
     {
         "制造商|Samsung",
         "产品编号|M471A1G44AB0-CWE    ",
         "序列号|无",
         "模组容量|8G",
         "存储类型|DDR4 SDRAM",
         "存储速度|DDR4-3200 ( 1600MHz )",
         "内存位宽|64bit",
         "Banks|8",
         "Ranks|1",
         "工作电压|1.20V",
         "test",
         "JEDEC #1|1454 (727MHz )|10|10|10|24|34",
         "JEDEC #2|1600 (800MHz )|11|11|11|26|37",
         "JEDEC #3|1745 (872MHz )|12|12|12|28|40",
         "JEDEC #4|1890 (945MHz )|13|13|13|31|44",
         "JEDEC #5|2036 (1018MHz )|14|14|14|33|47",
         "JEDEC #6|2181 (1090MHz )|15|15|15|35|50",
         "JEDEC #7|2327 (1163MHz )|16|16|16|38|54",
         "JEDEC #8|2472 (1236MHz )|17|17|17|40|57",
         "JEDEC #9|2618 (1309MHz )|18|18|18|42|60",
         "JEDEC #10|2763 (1381MHz )|19|19|19|45|64",
         "JEDEC #11|2909 (1454MHz )|20|20|20|47|67",
         "JEDEC #12|3054 (1527MHz )|21|21|21|49|70",
         "JEDEC #13|3200 (1600MHz )|22|22|22|52|74",
         "JEDEC #14|3200 (1600MHz )|23|22|22|52|74",
     }},
    // Upper half zero-padded: maker 00 00, no part or serial number, no XMP. Byte 4 0x84 (4096 Mbit), byte 12 0x01
    // (x8, 1 rank): 4096 / 8 * 64 / 8 / 1024 = 4G. tCK 0.833. Latencies FC 3F 04: 9-20 and 25. tAA = tRCD = tRP
    // 0x6B - 0.055 = 13.32; tRAS 0x103 = 32.375; tRC 0x12C = 37.5 (byte 120's -0.02 is not used). CL 9:
    // 2000 / 1.48 = 1351.35, tCK used 1.48038: tRCD 8.998 -> 9, tRAS 21.9 -> 22, tRC 25.3 -> 26. From CL 16 on
    // 13.32 / CL <= 0.833, so 2400 and 0.8333: tRCD 15.98 -> 16, tRC 45.
    {"corsair-cmk8gx4m2a2400c16.bin",
     0,
     {
         "制造商|00 00",
         "产品编号|无",
         "序列号|无",
         "模组容量|4G",
         "存储类型|DDR4 SDRAM",
         "存储速度|DDR4-2400 ( 1200MHz )",
         "内存位宽|64bit",
         "Banks|16",
         "Ranks|1",
         "工作电压|1.20V",
         "test",
         "JEDEC #1|1351 (675MHz )|9|9|9|22|26",
         "JEDEC #2|1501 (750MHz )|10|10|10|25|29",
         "JEDEC #3|1651 (825MHz )|11|11|11|27|31",
         "JEDEC #4|1800 (900MHz )|12|12|12|30|34",
         "JEDEC #5|1951 (975MHz )|13|13|13|32|37",
         "JEDEC #6|2102 (1051MHz )|14|14|14|35|40",
         "JEDEC #7|2252 (1126MHz )|15|15|15|37|43",
         "JEDEC #8|2400 (1200MHz )|16|16|16|39|45",
         "JEDEC #9|2400 (1200MHz )|17|16|16|39|45",
         "JEDEC #10|2400 (1200MHz )|18|16|16|39|45",
         "JEDEC #11|2400 (1200MHz )|19|16|16|39|45",
         "JEDEC #12|2400 (1200MHz )|20|16|16|39|45",
         "JEDEC #13|2400 (1200MHz )|25|16|16|39|45",
     }},
    // Maker 8A BA is not in the table. Serial 00 00 00 97. Organisation and times as on the Kingston module.
    {"foxline-fl2400d4u17-16g.bin",
     0,
     {
         "制造商|8A BA",
         "产品编号|FL2400D4U17-16G     ",
         "序列号|00000097",
         "模组容量|16G",
         "存储类型|DDR4 SDRAM",
         "存储速度|DDR4-2400 ( 1200MHz )",
         "内存位宽|64bit",
         "Banks|16",
         "Ranks|2",
         "工作电压|1.20V",
         "test",
         "JEDEC #1|1454 (727MHz )|10|10|10|24|34",
         "JEDEC #2|1600 (800MHz )|11|11|11|26|37",
         "JEDEC #3|1745 (872MHz )|12|12|12|28|40",
         "JEDEC #4|1890 (945MHz )|13|13|13|31|44",
         "JEDEC #5|2036 (1018MHz )|14|14|14|33|47",
         "JEDEC #6|2181 (1090MHz )|15|15|15|35|50",
         "JEDEC #7|2327 (1163MHz )|16|16|16|38|54",
         "JEDEC #8|2400 (1200MHz )|17|17|17|39|55",
         "JEDEC #9|2400 (1200MHz )|18|17|17|39|55",
     }},
};

SpdImage LoadImage(const std::string& file) {
    SpdImage image{};
    std::ifstream in(std::string(PRISMEL_TESTDATA) + "/spd/" + file, std::ios::binary);
    in.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(image.size()));
    EXPECT_EQ(in.gcount(), static_cast<std::streamsize>(image.size())) << file;
    return image;
}

TEST(SpdDecode, RealModulesMatchTheirTablesCellByCell) {
    for (const RealModule& real : kRealModules) {
        SCOPED_TRACE(real.file);
        DecodedModule module = Decode(LoadImage(real.file));
        EXPECT_EQ(RowsFrom(module, 0), real.rows);
        EXPECT_EQ(module.xmpProfileCount, real.xmpProfiles);
    }
}

} // namespace
