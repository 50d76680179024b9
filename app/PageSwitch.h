// The three pages of the main window and what a tab does: the page flags, the tabs' images, what is hidden,
// the skin and what is shown, in that order.
#pragma once

#include "base/SkinScale.h"

#include <cstdint>
#include <vector>

enum class Page { Lighting, ModuleInfo, About };

struct TabImages {
    int id;
    int normal;
    int hot;
};

struct PagePlan {
    bool moduleInfoPage = false;
    bool aboutPage = false;
    std::vector<TabImages> tabs; // the three tabs' new images
    std::vector<int> hide;       // control ids, in order
    int skin = 0;
    std::vector<int> show; // control ids, in order
};

// powerOn: the power toggle shows its "on" image, so the lighting page shows its mode buttons, Apply and Reset.
PagePlan PlanPageSwitch(Page page, bool powerOn);

// The module information view's sub-pages 1-3 and its back and forward buttons.
inline constexpr std::int32_t kFirstSubPage = 1;
inline constexpr std::int32_t kLastSubPage = 3;
inline std::int32_t SubPageBack(std::int32_t page) {
    return page > kFirstSubPage ? page - 1 : kFirstSubPage;
}
inline std::int32_t SubPageForward(std::int32_t page) {
    return page < kLastSubPage ? page + 1 : kLastSubPage;
}

// A press on the window's face drags it while the window is shown normally (show command 1), down to 700 pixels
// below the window's top at 96 DPI, as far at the window's scale.
inline constexpr int kDragDepth = 700;
inline bool IsDragPoint(int showCommand, int cursorY, int normalTop, const SkinScale& scale = SkinScale()) {
    return showCommand == 1 && cursorY - normalTop < scale.Px(kDragDepth);
}
