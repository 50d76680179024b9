// The soak's verdict: how much start-up noise allows a measure to grow, which growths are excesses, and the line
// that says so.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/soak/SoakReport.h"

namespace {

using soak::Figures;
using soak::kUnknown;
using soak::Measure;

constexpr Figures kFloor{256, 512, 4, 8, 1};

TEST(SoakReport, AllowedGrowthIsTheFloorOrThreeTimesTheIdleSpread) {
    struct Case {
        const char* name;
        std::vector<Figures> idle;
        Figures allowed;
    };
    const Case cases[] = {
        {"steady idle: the floors", {{1000, 2000, 60, 270, 38}, {1000, 2000, 60, 270, 38}}, kFloor},
        {"noisy memory: three spreads",
         {{1000, 2000, 60, 270, 38}, {1200, 2300, 60, 270, 38}, {1100, 2100, 61, 270, 38}},
         {600, 900, 4, 8, 1}},
        {"a measure unknown once stays unknown",
         {{1000, 2000, 60, kUnknown, 38}, {1000, 2000, 60, 270, 38}},
         {256, 512, 4, kUnknown, 1}},
        {"no idle samples: nothing known", {}, {kUnknown, kUnknown, kUnknown, kUnknown, kUnknown}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(soak::AllowedGrowth(c.idle, soak::NoiseRule{kFloor, 3}), c.allowed) << c.name;
    }
}

TEST(SoakReport, EachMeasureReportsItsLargestGrowthBeyondTheAllowance) {
    const Figures allowed{256, 512, 4, 8, 1};
    struct Case {
        const char* name;
        std::vector<soak::Sample> samples;
        std::string verdict;
    };
    const Case cases[] = {
        {"growth within the allowance",
         {{"start", 0, 0, {1000, 2000, 60, 270, 38}},
          {"ticks", 1, 1, {1256, 2512, 64, 278, 39}},
          {"end", 0, 0, {1100, 2100, 60, 270, 38}}},
         "soak: PASS: nothing grew beyond start-up noise"},
        {"one object per repaint, largest at the end",
         {{"start", 0, 0, {1000, 2000, 60, 270, 38}},
          {"repaint", 1000, 9, {1010, 2010, 60, 1270, 38}},
          {"end", 0, 0, {1010, 2010, 60, 1272, 38}}},
         "soak: FAIL: GDI objects grew by 1002 (allowed 8) at end"},
        {"memory that climbs and falls back is judged at its peak, measures in order",
         {{"start", 0, 0, {1000, 2000, 60, 270, 38}},
          {"pages", 1, 1, {1000, 2000, 60, 270, 40}},
          {"modules", 1, 1, {2000, 2600, 60, 270, 38}},
          {"end", 0, 0, {1100, 2100, 60, 270, 38}}},
         "soak: FAIL: private KiB grew by 1000 (allowed 256) at modules; resident KiB grew by 600 (allowed 512) at "
         "modules; USER objects grew by 2 (allowed 1) at pages"},
        {"a figure the system did not give is not judged",
         {{"start", 0, 0, {kUnknown, 2000, 60, 270, 38}}, {"end", 0, 0, {5000, 2000, kUnknown, 270, 38}}},
         "soak: PASS: nothing grew beyond start-up noise"},
        {"shrinking is no excess",
         {{"start", 0, 0, {1000, 2000, 60, 270, 38}}, {"end", 0, 0, {10, 20, 6, 27, 3}}},
         "soak: PASS: nothing grew beyond start-up noise"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(soak::VerdictLine(soak::Excesses(c.samples, allowed)), c.verdict) << c.name;
    }
}

TEST(SoakReport, TheTableHasALinePerSampleAndTheAllowance) {
    const std::vector<soak::Sample> samples = {{"start", 0, 0.0, {19472, 41912, 64, 270, 38}},
                                               {"ticks, mode 7", 100000, 11.26, {19480, 41920, kUnknown, 270, 38}}};
    const std::string table = soak::FormatTable(samples, {256, 512, 4, 8, 1});
    const std::vector<std::string> lines = {
        "sample                 iterations   seconds  private KiB  resident KiB  handles  GDI objects  USER objects",
        "start                           0       0.0        19472         41912       64          270            38",
        "ticks, mode 7              100000      11.3        19480         41920      n/a          270            38",
        "allowed growth                                       256           512        4            8             1",
    };
    std::string expected;
    for (const std::string& line : lines) {
        expected += line + "\n";
    }
    EXPECT_EQ(table, expected);
}

} // namespace
