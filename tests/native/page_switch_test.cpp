// What the tabs do to the window's pages, the sub-page buttons' clamping and the drag area.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "base/Language.h"
#include "app/ControlTable.h"
#include "app/PageSwitch.h"
#include "res/SkinLayout.h"
#include "res/resource.h"

namespace {

std::set<int> Set(const std::vector<int>& ids) {
    return {ids.begin(), ids.end()};
}

std::set<int> Run(int first, int last) {
    std::set<int> ids;
    for (int id = first; id <= last; ++id) {
        ids.insert(id);
    }
    return ids;
}

const std::set<int> kModes = Run(IDC_BTN_MODE_FIRST, IDC_BTN_MODE_LAST);
const std::set<int> kSpeeds = Run(IDC_BTN_SPEED_FIRST, IDC_BTN_SPEED_LAST);
const std::set<int> kModuleInfoControls = {IDC_MODULE_SELECTOR, IDC_BTN_SUBPAGE_BACK, IDC_BTN_SUBPAGE_FORWARD};

std::set<int> LightingControls() {
    std::set<int> s = kModes;
    s.insert(kSpeeds.begin(), kSpeeds.end());
    s.insert(
        {IDC_BTN_COLOUR_WHEEL, IDC_BTN_POWER, IDC_BTN_APPLY, IDC_BTN_RESET, IDC_RED_BOX, IDC_GREEN_BOX, IDC_BLUE_BOX});
    return s;
}

TEST(PageSwitch, AboutShowsOnlyTheWebButton) {
    PagePlan plan = PlanPageSwitch(Page::About, true);
    EXPECT_FALSE(plan.moduleInfoPage);
    EXPECT_TRUE(plan.aboutPage);
    std::set<int> hidden = LightingControls();
    hidden.insert(kModuleInfoControls.begin(), kModuleInfoControls.end());
    EXPECT_EQ(Set(plan.hide), hidden);
    EXPECT_EQ(plan.skin, IDB_PAGE_ABOUT);
    EXPECT_EQ(plan.show, std::vector<int>{IDC_BTN_WEB});
}

TEST(PageSwitch, ModuleInfoShowsTheSelectorAndSubPageButtons) {
    PagePlan plan = PlanPageSwitch(Page::ModuleInfo, false);
    EXPECT_TRUE(plan.moduleInfoPage);
    EXPECT_FALSE(plan.aboutPage);
    std::set<int> hidden = LightingControls();
    hidden.insert(IDC_BTN_WEB);
    EXPECT_EQ(Set(plan.hide), hidden);
    EXPECT_EQ(plan.skin, IDB_PAGE_MODULE_INFO);
    EXPECT_EQ(Set(plan.show), kModuleInfoControls);
}

TEST(PageSwitch, LightingShowsTheModeButtonsOnlyWhileTheLightsAreOn) {
    PagePlan on = PlanPageSwitch(Page::Lighting, true);
    EXPECT_FALSE(on.moduleInfoPage);
    EXPECT_FALSE(on.aboutPage);
    EXPECT_EQ(on.skin, IDB_PAGE_LIGHTING);
    EXPECT_EQ(Set(on.show), LightingControls());
    std::set<int> hidden = kModuleInfoControls;
    hidden.insert(IDC_BTN_WEB);
    EXPECT_EQ(Set(on.hide), hidden);
    EXPECT_EQ(on.show.front(), IDC_BTN_POWER) << "the power toggle first";

    PagePlan off = PlanPageSwitch(Page::Lighting, false);
    std::set<int> shown = LightingControls();
    for (int id : kModes) {
        shown.erase(id);
    }
    shown.erase(IDC_BTN_APPLY);
    shown.erase(IDC_BTN_RESET);
    EXPECT_EQ(Set(off.show), shown);
    for (int id : {IDC_BTN_MODE_FIRST, IDC_BTN_MODE_LAST, IDC_BTN_APPLY, IDC_BTN_RESET}) {
        EXPECT_TRUE(Set(off.hide).count(id)) << id;
    }
}

TEST(PageSwitch, TheSelectedTabShowsItsHotImageTwice) {
    struct Case {
        Page page;
        int selectedTab;
    } cases[] = {{Page::ModuleInfo, IDC_BTN_TAB_MODULE_INFO},
                 {Page::Lighting, IDC_BTN_TAB_LIGHTING},
                 {Page::About, IDC_BTN_TAB_ABOUT}};
    for (auto c : cases) {
        PagePlan plan = PlanPageSwitch(c.page, true);
        ASSERT_EQ(plan.tabs.size(), 3u);
        for (const TabImages& tab : plan.tabs) {
            const ButtonRow& row = ButtonRowOf(tab.id);
            EXPECT_EQ(tab.hot, row.hotImage) << tab.id;
            if (tab.id == c.selectedTab) {
                EXPECT_EQ(tab.normal, tab.hot) << tab.id;
            } else {
                EXPECT_NE(tab.normal, tab.hot) << tab.id;
            }
        }
    }
    // On the about page: module information and lighting unselected, about selected.
    PagePlan about = PlanPageSwitch(Page::About, true);
    EXPECT_EQ(about.tabs[0].normal, IDB_TAB_MODULE_INFO);
    EXPECT_EQ(about.tabs[1].normal, IDB_TAB_LIGHTING);
    EXPECT_EQ(about.tabs[2].normal, IDB_TAB_ABOUT_HOT);
}

TEST(SubPages, ClampAtBothEnds) {
    EXPECT_EQ(SubPageBack(1), 1);
    EXPECT_EQ(SubPageBack(2), 1);
    EXPECT_EQ(SubPageBack(3), 2);
    EXPECT_EQ(SubPageForward(1), 2);
    EXPECT_EQ(SubPageForward(3), 3);
    EXPECT_EQ(SubPageBack(0), 1);
    EXPECT_EQ(SubPageForward(9), 3);
}

TEST(DragArea, TheWholeFaceWhileShownNormally) {
    EXPECT_TRUE(IsDragPoint(1, 100, 100));
    EXPECT_TRUE(IsDragPoint(1, 100 + 699, 100));
    EXPECT_FALSE(IsDragPoint(1, 100 + 700, 100));
    EXPECT_FALSE(IsDragPoint(2, 150, 100)) << "minimised";
    EXPECT_FALSE(IsDragPoint(3, 150, 100)) << "maximised";
}

TEST(ControlTable, IdsRunFromFifteenHundredInRowOrder) {
    for (std::size_t row = 0; row < kButtonTable.size(); ++row) {
        EXPECT_EQ(kButtonTable[row].id, IDC_BTN_MINIMISE + static_cast<int>(row));
    }
    // The captions are the texts the buttons show.
    EXPECT_EQ(std::u16string(MessageText(kEnglish, ButtonRowOf(IDC_BTN_APPLY).caption)), u"Apply");
    EXPECT_EQ(std::u16string(MessageText(kEnglish, ButtonRowOf(IDC_BTN_RESET).caption)), u"Reset");
    int hidden = static_cast<int>(
        std::count_if(kButtonTable.begin(), kButtonTable.end(), [](const ButtonRow& r) { return !r.visibleAtStart; }));
    EXPECT_EQ(hidden, 3);
}

} // namespace
