// The lighting page's decisions: selected looks, the power toggle, colour box clamping and wheel picks.
#include <gtest/gtest.h>

#include "app/ControlTable.h"
#include "lighting/LightingControls.h"

namespace {

TEST(LightingControls, ARunShowsOnlyTheChosenButtonSelected) {
    auto modes = ModeButtonImages(10);
    for (int i = 0; i < kModeButtonCount; ++i) {
        const ButtonRow& row = ButtonRowOf(IDC_BTN_MODE_FIRST + i);
        int normal = i == 9 ? row.hotImage : row.normalImage;
        EXPECT_EQ(modes[i], (ButtonImages{row.id, normal, row.hotImage}));
    }
    auto speeds = SpeedButtonImages(0);
    EXPECT_EQ(speeds[0], (ButtonImages{IDC_BTN_SPEED_FIRST, IDB_SPEED_1_HOT, IDB_SPEED_1_HOT}));
    EXPECT_EQ(speeds[4], (ButtonImages{IDC_BTN_SPEED_LAST, IDB_SPEED_5, IDB_SPEED_5_HOT}));
    EXPECT_EQ(ModeOfButton(IDC_BTN_MODE_FIRST + 1), 2);
    EXPECT_EQ(SpeedValueFor(SpeedIndexOfButton(IDC_BTN_SPEED_LAST)), 0) << "speed button 5 is the fastest";
    EXPECT_EQ(SpeedValueFor(SpeedIndexOfButton(IDC_BTN_SPEED_FIRST)), 4);
}

TEST(LightingControls, PowerToggleAndColourBoxesAndWheel) {
    EXPECT_EQ(PowerImageOf(true), IDB_POWER_ON);
    EXPECT_EQ(PowerImageOf(false), IDB_POWER_OFF);

    struct Box {
        std::int32_t typed;
        std::int32_t value;
        bool writeBack;
    };
    for (const Box& b : {Box{300, 255, true}, Box{256, 255, true}, Box{255, 255, false}, Box{0, 0, false},
                         Box{-1, 0, true}, Box{INT32_MIN, 0, true}, Box{INT32_MAX, 255, true}}) {
        ClampedBox clamped = ClampColourBox(b.typed);
        EXPECT_EQ(clamped.value, b.value) << b.typed;
        EXPECT_EQ(clamped.writeBack, b.writeBack) << b.typed;
    }

    EXPECT_FALSE(WheelPick(ColourRefOf(13, 29, 37)).has_value()) << "the wheel's background";
    EXPECT_EQ(WheelPick(ColourRefOf(13, 29, 38)), ColourRefOf(13, 29, 38));
}

} // namespace
