// The JEP106 maker table generated from memory/jep106.tsv: every line of the list reaches the lookup as written
// (quotes, non-ASCII names), makers of several banks by their SPD code pairs, parity failures and codes the list
// does not hold.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "memory/SpdBytes.h"

namespace {

// The list itself, as the build generated the table from it.
const std::string kListPath = std::string(PRISMEL_TESTDATA) + "/../memory/jep106.tsv";

TEST(Jep106, EveryEntryOfTheListIsInTheGeneratedTable) {
    std::ifstream in(kListPath);
    ASSERT_TRUE(in) << kListPath;
    std::set<std::pair<int, unsigned>> listed;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string bank, code, name;
        ASSERT_TRUE(std::getline(fields, bank, '\t') && std::getline(fields, code, '\t') && std::getline(fields, name))
            << line;
        const int b = std::stoi(bank);
        const auto c = static_cast<unsigned>(std::stoul(code, nullptr, 16));
        listed.insert({b, c});
        EXPECT_EQ(Jep106Name(b, c), name) << line;
    }
    EXPECT_EQ(listed.size(), 1527u);
    EXPECT_EQ(kJep106NameCount, listed.size());
    // Nothing the list does not hold: every other code of banks 1-13 is empty.
    int others = 0;
    for (int b = 0; b <= 14; ++b) {
        for (unsigned c = 0; c <= 0xFF; ++c) {
            if (!listed.contains({b, c}) && !Jep106Name(b, c).empty()) {
                ++others;
            }
        }
    }
    EXPECT_EQ(others, 0);
}

// SPD stores the bank as a continuation count with its own odd parity bit (bank 1 is 0x80, bank 2 0x01, bank 4
// 0x83, bank 12 0x0B) beside the code byte.
TEST(Jep106, MakersByTheirSpdCodePairs) {
    struct Case {
        unsigned continuation, code;
        const char* name;
    } cases[] = {
        {0x80, 0x2C, "Micron Technology"},
        {0x80, 0xAD, "SK Hynix (former Hyundai Electronics)"},
        {0x80, 0xCE, "Samsung"},
        {0x01, 0x98, "Kingston"},
        {0x02, 0x9E, "Corsair"},
        {0x83, 0x13, "Golden Empire"},
        {0x04, 0xCD, "G Skill Intl"},
        {0x85, 0x9B, "Crucial Technology"},
        {0x86, 0x32, "Montage Technology Group"},
        {0x08, 0x1A, "Xi\u2019an UniIC Semiconductors Co Ltd (former Xi'an SinoChip Semiconductor)"},
        {0x8A, 0x8C, "Richtek Power"},
        {0x0B, 0x2A, "Monolithic Power Systems Inc"},
        {0x0B, 0x10, "Anpec Electronics"},
        // Blank bytes, written or erased.
        {0x00, 0x00, "Undefined"},
        {0xFF, 0xFF, "Undefined"},
        // Even parity in either byte.
        {0x00, 0x2C, "Unknown? (Invalid parity)"},
        {0x80, 0x2D, "Unknown? (Invalid parity)"},
        {0x03, 0x13, "Unknown? (Invalid parity)"},
        {0xFF, 0x2C, "Unknown? (Invalid parity)"},
        // Good parity, but no maker in the list: past bank 13's fifteen codes, beyond bank 13, code zero.
        {0x8C, 0x7A, "Unknown (bank 13, code 0x7A)"},
        {0x0D, 0x01, "Unknown (bank 14, code 0x01)"},
        {0x7F, 0x01, "Unknown (bank 128, code 0x01)"},
        {0x80, 0x80, "Unknown (bank 1, code 0x80)"},
        {0x80, 0x7F, "Unknown (bank 1, code 0x7F)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Jep106MakerName(c.continuation, c.code), c.name) << std::hex << c.continuation << " " << c.code;
    }
}

} // namespace
