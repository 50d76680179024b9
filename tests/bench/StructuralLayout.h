// The 27 owner-drawn buttons of the structural start-up baseline: the control table's rows (places, ids, which
// show at start) with each button's size, the size of its normal image in the skin's layout.
#pragma once

#include <array>
#include <cstddef>

#include "app/ControlTable.h"
#include "res/SkinLayout.h"

struct ButtonSize {
    int id;
    int width;
    int height;
};

#define BUTTON_SIZE(ID, IMAGE)                                                                                         \
    { ID, SKIN_##IMAGE##_W, SKIN_##IMAGE##_H }
inline constexpr std::array<ButtonSize, kButtonCount> kButtonSizes = {{
    BUTTON_SIZE(IDC_BTN_MINIMISE, MINIMISE),
    BUTTON_SIZE(IDC_BTN_CLOSE, CLOSE),
    BUTTON_SIZE(IDC_BTN_APPLY, APPLY),
    BUTTON_SIZE(IDC_BTN_RESET, RESET),
    BUTTON_SIZE(IDC_BTN_WEB, WEB),
    BUTTON_SIZE(IDC_BTN_POWER, POWER),
    BUTTON_SIZE(IDC_BTN_MODE_STATIC, MODE_STATIC),
    BUTTON_SIZE(IDC_BTN_MODE_BREATHING, MODE_BREATHING),
    BUTTON_SIZE(IDC_BTN_MODE_SINGLE_FLASH, MODE_SINGLE_FLASH),
    BUTTON_SIZE(IDC_BTN_MODE_DOUBLE_FLASH, MODE_DOUBLE_FLASH),
    BUTTON_SIZE(IDC_BTN_MODE_RAINBOW, MODE_RAINBOW),
    BUTTON_SIZE(IDC_BTN_MODE_PRISMEL, MODE_PRISMEL),
    BUTTON_SIZE(IDC_BTN_MODE_METEOR, MODE_METEOR),
    BUTTON_SIZE(IDC_BTN_MODE_MARQUEE, MODE_MARQUEE),
    BUTTON_SIZE(IDC_BTN_MODE_TWINKLE, MODE_TWINKLE),
    BUTTON_SIZE(IDC_BTN_MODE_COLOUR_CYCLE, MODE_COLOUR_CYCLE),
    BUTTON_SIZE(IDC_BTN_COLOUR_WHEEL, COLOUR_WHEEL),
    BUTTON_SIZE(IDC_BTN_TAB_MODULE_INFO, TAB_MODULE_INFO),
    BUTTON_SIZE(IDC_BTN_TAB_LIGHTING, TAB_LIGHTING),
    BUTTON_SIZE(IDC_BTN_TAB_ABOUT, TAB_ABOUT),
    BUTTON_SIZE(IDC_BTN_SPEED_1, SPEED_1),
    BUTTON_SIZE(IDC_BTN_SPEED_2, SPEED_2),
    BUTTON_SIZE(IDC_BTN_SPEED_3, SPEED_3),
    BUTTON_SIZE(IDC_BTN_SPEED_4, SPEED_4),
    BUTTON_SIZE(IDC_BTN_SPEED_5, SPEED_5),
    BUTTON_SIZE(IDC_BTN_SUBPAGE_BACK, SUBPAGE_BACK),
    BUTTON_SIZE(IDC_BTN_SUBPAGE_FORWARD, SUBPAGE_FORWARD),
}};
#undef BUTTON_SIZE

// Row by row the same buttons as the control table.
constexpr bool SizesFollowTheControlTable() {
    for (std::size_t i = 0; i < kButtonTable.size(); ++i) {
        if (kButtonSizes[i].id != kButtonTable[i].id) {
            return false;
        }
    }
    return true;
}
static_assert(SizesFollowTheControlTable(), "kButtonSizes must list the control table's buttons in its order");
