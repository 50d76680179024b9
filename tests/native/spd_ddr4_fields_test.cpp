// The DDR4 field model that the module page and spdinfo --full are both made from: byte 4's bank groups as the
// JEDEC table has them, and the write times shown wherever an image carries them.
#include <gtest/gtest.h>

#include <optional>

#include "memory/ModuleLabels.h"
#include "memory/SpdDecode.h"
#include "memory/SpdDdr4Fields.h"
#include "spdinfo/SpdDetails.h"

namespace {

SpdImage ImageWith(std::initializer_list<std::pair<int, std::uint8_t>> bytes) {
    SpdImage image{};
    for (const auto& [offset, value] : bytes) {
        image[static_cast<std::size_t>(offset)] = value;
    }
    return image;
}

// The text of one --full field, or "(none)".
std::string FullField(const SpdImage& image, std::string_view label) {
    for (const SpdDetailSection& section : DecodeSpdDetails(image)) {
        for (const SpdDetailField& field : section.fields) {
            if (field.label == label) {
                return field.text;
            }
        }
    }
    return "(none)";
}

std::string PageBanks(const SpdImage& image) {
    const std::u16string cell = DecodeSpd(image, kFixedRowLabels).rows[7][1];
    return std::string(cell.begin(), cell.end());
}

// Bits 7-6 of byte 4: 00 no bank groups, 01 two, 10 four, 11 reserved. A device without bank groups has its
// banks per group as all its banks, on the module page and in --full alike.
TEST(SpdDdr4Fields, BankGroupsFollowTheJedecTable) {
    struct Case {
        std::uint8_t density;
        std::optional<int> groups, total;
        const char *page, *full;
    } cases[] = {
        {0x05, 0, 4, "4", "4 x 12 x 9 x 8"},    {0x15, 0, 8, "8", "8 x 12 x 9 x 8"},
        {0x45, 2, 8, "8", "8 x 12 x 9 x 8"},    {0x55, 2, 16, "16", "16 x 12 x 9 x 8"},
        {0x85, 4, 16, "16", "16 x 12 x 9 x 8"}, {0xC5, std::nullopt, std::nullopt, "?", "? x 12 x 9 x 8"},
    };
    for (const Case& c : cases) {
        const SpdImage image = ImageWith({{ddr4::kDensity, c.density}});
        const ddr4::Organisation o = ddr4::ReadOrganisation(SpdBytes(image));
        SCOPED_TRACE(testing::Message() << std::hex << int{c.density});
        EXPECT_EQ(o.bankGroups, c.groups);
        EXPECT_EQ(o.TotalBanks(), c.total);
        EXPECT_EQ(PageBanks(image), c.page);
        EXPECT_EQ(FullField(image, "Banks x Rows x Columns x Bits"), c.full);
    }
}

// tWR, tWTR_S and tWTR_L (bytes 41-45) show wherever they are nonzero, in SPD revision 1.0 images too.
TEST(SpdDdr4Fields, WriteTimesShowWhereverTheyAreNonzero) {
    struct Case {
        std::uint8_t revision, twrHigh, twr, twtrHigh, twtrS, twtrL; // bytes 1, 41-45
        const char *tWR, *tWTR_S, *tWTR_L;
    } cases[] = {
        {0x10, 0x00, 0x78, 0x00, 0x14, 0x3C, "15.000 ns", "2.500 ns", "7.500 ns"},
        {0x11, 0x00, 0x78, 0x00, 0x14, 0x3C, "15.000 ns", "2.500 ns", "7.500 ns"},
        {0x10, 0x01, 0x00, 0x20, 0x00, 0x00, "32.000 ns", "(none)", "64.000 ns"}, // the upper nibbles alone
        {0x11, 0x00, 0x00, 0x00, 0x00, 0x00, "(none)", "(none)", "(none)"},
    };
    for (const Case& c : cases) {
        const SpdImage image = ImageWith({{ddr4::kRevision, c.revision},
                                          {ddr4::kTwrHigh, c.twrHigh},
                                          {ddr4::kTwrLow, c.twr},
                                          {ddr4::kTwtrHigh, c.twtrHigh},
                                          {ddr4::kTwtrS, c.twtrS},
                                          {ddr4::kTwtrL, c.twtrL}});
        SCOPED_TRACE(testing::Message() << std::hex << int{c.revision} << " " << int{c.twrHigh} << " " << int{c.twr});
        EXPECT_EQ(FullField(image, "Minimum Write Recovery Time (tWR)"), c.tWR);
        EXPECT_EQ(FullField(image, "Minimum Write to Read Time (tWTR_S)"), c.tWTR_S);
        EXPECT_EQ(FullField(image, "Minimum Write to Read Time (tWTR_L)"), c.tWTR_L);
    }
}

// Rates from tCK in whole picoseconds, by their names: within 0.15 % of a 200/3 MT/s step the step truncated,
// else the rate truncated; from 22,222 MT/s, where the steps' windows meet, always truncated.
TEST(SpdDdr4Fields, RatesAreNamedByTheStepTheyStandFor) {
    struct Case {
        double mts;
        std::optional<int> name;
    } cases[] = {
        {2132.2, 2133},
        {2132.196, 2133},
        {2932.55, 2933},
        {3603.6, 3600},
        {2998.5, 3000},
        {3003.0, 3000},
        {2666.0, 2666},
        {1600.0, 1600},
        {3200.0, 3200},
        {3333.3, 3333},
        {1866.2, 1866},
        {2199.1, 2200},
        {2130.0, 2130},
        {2137.0, 2137},
        {1454.5, 1454},
        {2400.0 * 1.0014, 2400},
        {2400.0 * 1.0016, 2403},
        {2400.0 * 0.9986, 2400},
        {2400.0 * 0.9984, 2396},
        {62.496, 62},
        {66.6, 66},
        {22000.0 * 1.001, 22000},
        {30031.0, 30031},
        {1999999.9, 1999999},
        {1.0, 1},
        {0.99, std::nullopt},
        {0.0, std::nullopt},
        {-5.0, std::nullopt},
        {2147483647.0, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ddr4::RateName(c.mts), c.name) << c.mts;
    }
}

// The module table's speed row and --full's "Maximum module speed" name one tCK alike, for every clock period up
// to 3 ns that a byte and its fine correction can give, but where the table's single-precision tCK falls a hair
// short of a whole rate off the steps: tCK 0.800 ns is 2499 in the table (the page's rule) and 2500 in --full.
TEST(SpdDdr4Fields, TableAndFullNameEveryClockPeriodAlike) {
    std::vector<std::string> differing;
    int singlePrecision = 0;
    for (int medium = 0; medium < 24; ++medium) { // 0 to 3 ns: DDR4's clocks and then some
        for (int fine = -128; fine < 128; ++fine) {
            const SpdImage image = ImageWith({{ddr4::kTckMin, static_cast<std::uint8_t>(medium)},
                                              {ddr4::kTckMinFine, static_cast<std::uint8_t>(fine)}});
            const std::u16string cell = DecodeSpd(image, kFixedRowLabels).rows[5][1];
            std::string page(cell.begin(), cell.end());
            const std::string full = FullField(image, "Maximum module speed");
            const int ps = medium * 125 + fine;
            if (ps <= 0) {
                EXPECT_EQ(page, "-");
                EXPECT_EQ(full, "-");
                continue;
            }
            // "DDR4-2133 ( 1066MHz )" against "2133 MT/s (PC4-17000)".
            const int pageRate = std::stoi(page.substr(5)), fullRate = std::stoi(full);
            if (pageRate + 1 == fullRate && 2000000 % ps == 0 && 2000000 / ps == fullRate) {
                ++singlePrecision;
            } else if (pageRate != fullRate) {
                differing.push_back(page + " / " + full);
            }
        }
    }
    EXPECT_EQ(differing, std::vector<std::string>{});
    EXPECT_EQ(singlePrecision, 24); // among them 0.8 ns and 1.6 ns, and 1 ps to 128 ps
    const SpdImage image = ImageWith({{ddr4::kTckMin, 6}, {ddr4::kTckMinFine, 50}});
    const std::u16string cell = DecodeSpd(image, kFixedRowLabels).rows[5][1];
    EXPECT_EQ(std::string(cell.begin(), cell.end()), "DDR4-2499 ( 1249MHz )");
    EXPECT_EQ(FullField(image, "Maximum module speed"), "2500 MT/s (PC4-20000)");
}

} // namespace
