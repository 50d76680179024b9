// What the tabs do to the window's pages, the sub-page buttons' clamping and the drag area.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "lighting/ControlTable.h"
#include "lighting/PageSwitch.h"

namespace {

std::set<int> Set(const std::vector<int>& ids) {
    return {ids.begin(), ids.end()};
}

const std::set<int> kModes = {1506, 1507, 1508, 1509, 1510, 1511, 1512, 1513, 1514, 1515};
const std::set<int> kSpeeds = {1520, 1521, 1522, 1523, 1524};

std::set<int> LightingControls() {
    std::set<int> s = kModes;
    s.insert(kSpeeds.begin(), kSpeeds.end());
    s.insert({1516, 1505, 1502, 1503, 1044, 1045, 1046});
    return s;
}

TEST(PageSwitch, AboutShowsOnlyTheWebButton) {
    PagePlan plan = PlanPageSwitch(Page::About, true);
    EXPECT_FALSE(plan.moduleInfoPage);
    EXPECT_TRUE(plan.aboutPage);
    std::set<int> hidden = LightingControls();
    hidden.insert({1072, 1525, 1526});
    EXPECT_EQ(Set(plan.hide), hidden);
    EXPECT_EQ(plan.skin, 298);
    EXPECT_EQ(plan.show, std::vector<int>{1504});
}

TEST(PageSwitch, ModuleInfoShowsTheSelectorAndSubPageButtons) {
    PagePlan plan = PlanPageSwitch(Page::ModuleInfo, false);
    EXPECT_TRUE(plan.moduleInfoPage);
    EXPECT_FALSE(plan.aboutPage);
    std::set<int> hidden = LightingControls();
    hidden.insert(1504);
    EXPECT_EQ(Set(plan.hide), hidden);
    EXPECT_EQ(plan.skin, 281);
    EXPECT_EQ(Set(plan.show), (std::set<int>{1072, 1525, 1526}));
}

TEST(PageSwitch, LightingShowsTheModeButtonsOnlyWhileTheLightsAreOn) {
    PagePlan on = PlanPageSwitch(Page::Lighting, true);
    EXPECT_FALSE(on.moduleInfoPage);
    EXPECT_FALSE(on.aboutPage);
    EXPECT_EQ(on.skin, 129);
    EXPECT_EQ(Set(on.show), LightingControls());
    EXPECT_EQ(Set(on.hide), (std::set<int>{1072, 1525, 1526, 1504}));
    EXPECT_EQ(on.show.front(), 1505) << "the power toggle first";

    PagePlan off = PlanPageSwitch(Page::Lighting, false);
    std::set<int> shown = LightingControls();
    for (int id : kModes) {
        shown.erase(id);
    }
    shown.erase(1502);
    shown.erase(1503);
    EXPECT_EQ(Set(off.show), shown);
    for (int id : {1506, 1515, 1502, 1503}) {
        EXPECT_TRUE(Set(off.hide).count(id)) << id;
    }
}

TEST(PageSwitch, TheSelectedTabShowsItsHotImageTwice) {
    struct Case {
        Page page;
        int selectedTab;
    } cases[] = {{Page::ModuleInfo, 1517}, {Page::Lighting, 1518}, {Page::About, 1519}};
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
    // The unselected images: module information 273, lighting 271, about 170.
    PagePlan about = PlanPageSwitch(Page::About, true);
    EXPECT_EQ(about.tabs[0].normal, 273);
    EXPECT_EQ(about.tabs[1].normal, 271);
    EXPECT_EQ(about.tabs[2].normal, 270);
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
        EXPECT_EQ(kButtonTable[row].id, 1500 + static_cast<int>(row));
    }
    EXPECT_EQ(ButtonRowOf(1516).normalImage, 247);
    EXPECT_EQ(ButtonRowOf(1502).caption, 14);
    EXPECT_EQ(ButtonRowOf(1503).caption, 62);
    int hidden = static_cast<int>(
        std::count_if(kButtonTable.begin(), kButtonTable.end(), [](const ButtonRow& r) { return !r.visibleAtStart; }));
    EXPECT_EQ(hidden, 3);
}

} // namespace
