// The DDR4 field model that the module page and spdinfo --full are both made from: byte 4's bank groups as the
// JEDEC table has them, and the write times shown wherever an image carries them.
#include <gtest/gtest.h>

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

} // namespace
