// The 27 bitmap buttons of the main window, created in row order; the control id is 1500 + row. Images are bitmap
// resource ids; positions are client pixels; a button's size is that of its normal image.
#pragma once

#include <array>
#include <cstdint>

#include "base/FontTable.h"
#include "base/Language.h"
#include "lighting/LightingControls.h"
#include "res/SkinLayout.h"
#include "res/resource.h"

struct ButtonRow {
    int id;
    int normalImage;
    int hotImage;
    int spare;
    int x;
    int y;
    std::int32_t caption; // message id, or kNoCaption
    int fontSlot;
    bool visibleAtStart;
};

inline constexpr std::int32_t kNoCaption = -1;
inline constexpr int kButtonCount = 27;
inline constexpr int kFirstButtonId = IDC_BTN_MINIMISE;

inline constexpr std::array<ButtonRow, kButtonCount> kButtonTable = {{
    {IDC_BTN_MINIMISE, IDB_MINIMISE, IDB_MINIMISE_HOT, 0, SKIN_MINIMISE_X, SKIN_MINIMISE_Y, kNoCaption, kFontText,
     true},
    {IDC_BTN_CLOSE, IDB_CLOSE, IDB_CLOSE_HOT, 0, SKIN_CLOSE_X, SKIN_CLOSE_Y, kNoCaption, kFontText, true},
    {IDC_BTN_APPLY, IDB_APPLY, IDB_APPLY_HOT, 0, SKIN_APPLY_X, SKIN_APPLY_Y, kMsgApply, kFontCaption, true},
    {IDC_BTN_RESET, IDB_RESET, IDB_RESET_HOT, 0, SKIN_RESET_X, SKIN_RESET_Y, kMsgReset, kFontCaption, true},
    {IDC_BTN_WEB, IDB_WEB, IDB_WEB_HOT, 0, SKIN_WEB_X, SKIN_WEB_Y, kNoCaption, kFontText, false},
    {IDC_BTN_POWER, IDB_POWER_ON, IDB_POWER_ON, 0, SKIN_POWER_X, SKIN_POWER_Y, kNoCaption, kFontButton, true},
    {IDC_BTN_MODE_STATIC, IDB_MODE_STATIC, IDB_MODE_STATIC_HOT, 0, SKIN_MODE_STATIC_X, SKIN_MODE_STATIC_Y, kNoCaption,
     kFontButton, true},
    {IDC_BTN_MODE_BREATHING, IDB_MODE_BREATHING, IDB_MODE_BREATHING_HOT, 0, SKIN_MODE_BREATHING_X,
     SKIN_MODE_BREATHING_Y, kNoCaption, kFontButton, true},
    {IDC_BTN_MODE_SINGLE_FLASH, IDB_MODE_SINGLE_FLASH, IDB_MODE_SINGLE_FLASH_HOT, 0, SKIN_MODE_SINGLE_FLASH_X,
     SKIN_MODE_SINGLE_FLASH_Y, kNoCaption, kFontButton, true},
    {IDC_BTN_MODE_DOUBLE_FLASH, IDB_MODE_DOUBLE_FLASH, IDB_MODE_DOUBLE_FLASH_HOT, 0, SKIN_MODE_DOUBLE_FLASH_X,
     SKIN_MODE_DOUBLE_FLASH_Y, kNoCaption, kFontText, true},
    {IDC_BTN_MODE_RAINBOW, IDB_MODE_RAINBOW, IDB_MODE_RAINBOW_HOT, 0, SKIN_MODE_RAINBOW_X, SKIN_MODE_RAINBOW_Y,
     kNoCaption, kFontText, true},
    {IDC_BTN_MODE_PRISMEL, IDB_MODE_PRISMEL, IDB_MODE_PRISMEL_HOT, 0, SKIN_MODE_PRISMEL_X, SKIN_MODE_PRISMEL_Y,
     kNoCaption, kFontText, true},
    {IDC_BTN_MODE_METEOR, IDB_MODE_METEOR, IDB_MODE_METEOR_HOT, IDB_MODE_STATIC, SKIN_MODE_METEOR_X, SKIN_MODE_METEOR_Y,
     kNoCaption, kFontButton, true},
    {IDC_BTN_MODE_MARQUEE, IDB_MODE_MARQUEE, IDB_MODE_MARQUEE_HOT, IDB_MODE_STATIC, SKIN_MODE_MARQUEE_X,
     SKIN_MODE_MARQUEE_Y, kNoCaption, kFontButton, true},
    {IDC_BTN_MODE_TWINKLE, IDB_MODE_TWINKLE, IDB_MODE_TWINKLE_HOT, IDB_MODE_STATIC, SKIN_MODE_TWINKLE_X,
     SKIN_MODE_TWINKLE_Y, kNoCaption, kFontButton, true},
    {IDC_BTN_MODE_COLOUR_CYCLE, IDB_MODE_COLOUR_CYCLE, IDB_MODE_COLOUR_CYCLE_HOT, IDB_MODE_STATIC,
     SKIN_MODE_COLOUR_CYCLE_X, SKIN_MODE_COLOUR_CYCLE_Y, kNoCaption, kFontButton, true},
    {IDC_BTN_COLOUR_WHEEL, IDB_COLOUR_WHEEL, IDB_COLOUR_WHEEL, 0, SKIN_COLOUR_WHEEL_X, SKIN_COLOUR_WHEEL_Y, kNoCaption,
     kFontButton, true},
    {IDC_BTN_TAB_MODULE_INFO, IDB_TAB_MODULE_INFO, IDB_TAB_MODULE_INFO_HOT, 0, SKIN_TAB_MODULE_INFO_X,
     SKIN_TAB_MODULE_INFO_Y, kNoCaption, kFontButton, true},
    {IDC_BTN_TAB_LIGHTING, IDB_TAB_LIGHTING_HOT, IDB_TAB_LIGHTING_HOT, 0, SKIN_TAB_LIGHTING_X, SKIN_TAB_LIGHTING_Y,
     kNoCaption, kFontButton, true},
    {IDC_BTN_TAB_ABOUT, IDB_TAB_ABOUT, IDB_TAB_ABOUT_HOT, 0, SKIN_TAB_ABOUT_X, SKIN_TAB_ABOUT_Y, kNoCaption,
     kFontButton, true},
    {IDC_BTN_SPEED_1, IDB_SPEED_1, IDB_SPEED_1_HOT, 0, SKIN_SPEED_1_X, SKIN_SPEED_1_Y, kNoCaption, kFontButton, true},
    {IDC_BTN_SPEED_2, IDB_SPEED_2, IDB_SPEED_2_HOT, 0, SKIN_SPEED_2_X, SKIN_SPEED_2_Y, kNoCaption, kFontButton, true},
    {IDC_BTN_SPEED_3, IDB_SPEED_3, IDB_SPEED_3_HOT, 0, SKIN_SPEED_3_X, SKIN_SPEED_3_Y, kNoCaption, kFontButton, true},
    {IDC_BTN_SPEED_4, IDB_SPEED_4, IDB_SPEED_4_HOT, 0, SKIN_SPEED_4_X, SKIN_SPEED_4_Y, kNoCaption, kFontButton, true},
    {IDC_BTN_SPEED_5, IDB_SPEED_5, IDB_SPEED_5_HOT, 0, SKIN_SPEED_5_X, SKIN_SPEED_5_Y, kNoCaption, kFontButton, true},
    {IDC_BTN_SUBPAGE_BACK, IDB_SUBPAGE_BACK, IDB_SUBPAGE_BACK_HOT, 0, SKIN_SUBPAGE_BACK_X, SKIN_SUBPAGE_BACK_Y,
     kNoCaption, kFontButton, false},
    {IDC_BTN_SUBPAGE_FORWARD, IDB_SUBPAGE_FORWARD, IDB_SUBPAGE_FORWARD_HOT, 0, SKIN_SUBPAGE_FORWARD_X,
     SKIN_SUBPAGE_FORWARD_Y, kNoCaption, kFontButton, false},
}};

inline constexpr const ButtonRow& ButtonRowOf(int id) {
    return kButtonTable[static_cast<std::size_t>(id - kFirstButtonId)];
}

struct ButtonImages {
    int id;
    int normal;
    int hot;
    friend bool operator==(const ButtonImages&, const ButtonImages&) = default;
};

// The images of a run of buttons with one of them shown selected (its hot image as both images); selected outside
// the run shows none selected.
template <std::size_t N> std::array<ButtonImages, N> RunImages(int firstId, int selectedId) {
    std::array<ButtonImages, N> images{};
    for (std::size_t i = 0; i < N; ++i) {
        const ButtonRow& row = ButtonRowOf(firstId + static_cast<int>(i));
        images[i] = {row.id, row.id == selectedId ? row.hotImage : row.normalImage, row.hotImage};
    }
    return images;
}
inline std::array<ButtonImages, kModeButtonCount> ModeButtonImages(std::int32_t selectedMode) {
    return RunImages<kModeButtonCount>(IDC_BTN_MODE_FIRST, IDC_BTN_MODE_FIRST + selectedMode - 1);
}
inline std::array<ButtonImages, kSpeedButtonCount> SpeedButtonImages(std::int32_t speedIndex) {
    return RunImages<kSpeedButtonCount>(IDC_BTN_SPEED_FIRST, IDC_BTN_SPEED_FIRST + speedIndex);
}

// The bitmaps the window loads first, in that order: the lighting page, then each button's normal image.
inline std::array<unsigned, kButtonCount + 1> ImagesLoadedAtStart() {
    std::array<unsigned, kButtonCount + 1> ids{};
    ids[0] = IDB_PAGE_LIGHTING;
    for (std::size_t i = 0; i < kButtonTable.size(); ++i) {
        ids[i + 1] = static_cast<unsigned>(kButtonTable[i].normalImage);
    }
    return ids;
}
