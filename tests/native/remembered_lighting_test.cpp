// The remembered lighting: each stored field read on its own, damaged fields forgotten, writes only on change,
// and what a restore at start sends.
#include <gtest/gtest.h>

#include "fake_settings_registry.h"
#include "lighting/LightingSequences.h"
#include "lighting/RememberedLighting.h"

namespace {

struct StoredLighting : testing::Test {
    FakeSettingsRegistry registry;
    void StoreAll(std::uint32_t mode, std::uint32_t red, std::uint32_t green, std::uint32_t blue, std::uint32_t speed,
                  std::uint32_t on) {
        registry.SetDword(std::u16string(kRememberedModeValue), mode);
        registry.SetDword(std::u16string(kRememberedRedValue), red);
        registry.SetDword(std::u16string(kRememberedGreenValue), green);
        registry.SetDword(std::u16string(kRememberedBlueValue), blue);
        registry.SetDword(std::u16string(kRememberedSpeedValue), speed);
        registry.SetDword(std::u16string(kRememberedPowerValue), on);
    }
};

TEST_F(StoredLighting, EveryFieldInRangeIsRead) {
    StoreAll(kModeColourCycle, 255, 0, 17, 4, 0);
    RememberedLighting expected{kModeColourCycle, {255, 0, 17}, 4, false};
    EXPECT_EQ(ReadRememberedLighting(registry), expected);
    StoreAll(kModeStatic, 0, 255, 0, 0, 1);
    expected = {kModeStatic, {0, 255, 0}, 0, true};
    EXPECT_EQ(ReadRememberedLighting(registry), expected);
}

TEST_F(StoredLighting, DamagedFieldsAloneAreForgottenAndLeftAsTheyAre) {
    struct Case {
        std::u16string_view name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {kRememberedModeValue, {0, 0, 0, 0}},    // mode 0: nothing applied
        {kRememberedModeValue, {11, 0, 0, 0}},   // past the last mode
        {kRememberedModeValue, {7, 0, 0, 1}},    // high byte set
        {kRememberedModeValue, {7, 0}},          // too short
        {kRememberedRedValue, {0, 1, 0, 0}},     // 256
        {kRememberedGreenValue, {}},             // empty
        {kRememberedBlueValue, {1, 2, 3, 4, 5}}, // longer than a DWORD
        {kRememberedSpeedValue, {5, 0, 0, 0}},   // speed steps are 0-4
        {kRememberedPowerValue, {2, 0, 0, 0}},   // neither off nor on
        {kRememberedPowerValue, {0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        StoreAll(kModeMeteor, 10, 20, 30, 2, 1);
        registry.values[std::u16string(c.name)] = c.bytes;
        RememberedLighting expected{kModeMeteor, {10, 20, 30}, 2, true};
        if (c.name == kRememberedModeValue) {
            expected.mode.reset();
        } else if (c.name == kRememberedRedValue) {
            expected.colour[0].reset();
        } else if (c.name == kRememberedGreenValue) {
            expected.colour[1].reset();
        } else if (c.name == kRememberedBlueValue) {
            expected.colour[2].reset();
        } else if (c.name == kRememberedSpeedValue) {
            expected.speedStep.reset();
        } else {
            expected.on.reset();
        }
        EXPECT_EQ(ReadRememberedLighting(registry), expected) << std::string(c.name.begin(), c.name.end());
        EXPECT_EQ(registry.values[std::u16string(c.name)], c.bytes);
    }
    EXPECT_TRUE(registry.writes.empty());
}

TEST_F(StoredLighting, WritesOnlyWhatChangedAndRetriesFailedWrites) {
    RememberedLighting known = ReadRememberedLighting(registry);
    WriteRememberedLighting(registry, {kModeBreathing, {1, 2, 3}, 4, true}, known);
    EXPECT_EQ(registry.writes.size(), 6u);
    registry.writes.clear();
    WriteRememberedLighting(registry, {kModeBreathing, {1, 2, 3}, 4, true}, known);
    EXPECT_TRUE(registry.writes.empty());
    WriteRememberedLighting(registry, {kModeBreathing, {1, 9, 3}, 4, false}, known);
    EXPECT_EQ(registry.writes, (std::vector<std::u16string>{u"CurrentGreen", u"LightsOn"}));

    registry.writes.clear();
    registry.writable = false;
    WriteRememberedLighting(registry, {kModeMeteor, {1, 9, 3}, 4, false}, known);
    registry.writable = true;
    WriteRememberedLighting(registry, {kModeMeteor, {1, 9, 3}, 4, false}, known);
    EXPECT_EQ(registry.writes, (std::vector<std::u16string>{u"CurrentMode", u"CurrentMode"}));
    EXPECT_EQ(ReadRememberedLighting(registry), (RememberedLighting{kModeMeteor, {1, 9, 3}, 4, false}));
}

TEST_F(StoredLighting, RestoreSwitchIsOffUnlessNonzero) {
    EXPECT_FALSE(ReadRestoreLighting(registry));
    for (std::uint32_t value : {1u, 2u, 0xFFFFFFFFu}) {
        registry.SetDword(std::u16string(kRestoreLightingValue), value);
        EXPECT_TRUE(ReadRestoreLighting(registry)) << value;
    }
    registry.values[std::u16string(kRestoreLightingValue)] = {1, 0};
    EXPECT_FALSE(ReadRestoreLighting(registry));
    ASSERT_TRUE(WriteRestoreLighting(registry, false));
    EXPECT_FALSE(ReadRestoreLighting(registry));
}

TEST(RestorePlan, SendsTheRememberedChoiceWithDefaultsForForgottenFields) {
    const LightingChoice defaults{kModePrismel, {255, 0, 0}, 4, true};
    struct Case {
        RememberedLighting remembered;
        std::optional<LightingChoice> plan;
    };
    const Case cases[] = {
        {{}, std::nullopt},
        {{std::nullopt, {1, 2, 3}, 0, true}, std::nullopt}, // colour without a mode: nothing to send
        {{kModeMeteor, {1, 2, 3}, 0, true}, LightingChoice{kModeMeteor, {1, 2, 3}, 0, true}},
        {{kModeBreathing, {std::nullopt, 2, std::nullopt}, std::nullopt, std::nullopt},
         LightingChoice{kModeBreathing, {255, 2, 0}, 4, true}},
        {{std::nullopt, {}, std::nullopt, false}, LightingChoice{kModePrismel, {255, 0, 0}, 4, false}},
        {{kModeTwinkle, {}, 1, false}, LightingChoice{kModeTwinkle, {255, 0, 0}, 1, false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlanRestore(c.remembered, defaults), c.plan);
    }
}

TEST(RestorePlan, WithoutTheWindowOnlyOffAndUnanimatedModesGoOut) {
    for (std::int32_t mode = kModeStatic; mode <= kModeCount; ++mode) {
        EXPECT_EQ(SendableWithoutWindow({mode, {}, 0, true}), mode < kModeMeteor) << mode;
        EXPECT_TRUE(SendableWithoutWindow({mode, {}, 0, false})) << mode;
    }
}

} // namespace
