// The window's keyboard order over the control layout of every page, with the lights on and off; the page order of
// Ctrl+Tab; the colour wheel's pick mark; the controls' names and roles in the three languages.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "app/ControlNames.h"
#include "app/KeyboardFocus.h"
#include "app/PageSwitch.h"
#include "base/Language.h"
#include "base/Utf8.h"
#include "res/resource.h"

namespace {

// The window as a page switch leaves it: what the plan shows, plus the window's own buttons, which always show.
class PlannedWindow final : public FocusView {
public:
    PlannedWindow(Page page, bool powerOn, int mode = IDC_BTN_MODE_PRISMEL, int speed = IDC_BTN_SPEED_1)
        : m_page(page), m_mode(mode), m_speed(speed) {
        const PagePlan plan = PlanPageSwitch(page, powerOn);
        m_shown.insert(plan.show.begin(), plan.show.end());
        m_shown.insert(
            {IDC_BTN_TAB_MODULE_INFO, IDC_BTN_TAB_LIGHTING, IDC_BTN_TAB_ABOUT, IDC_BTN_MINIMISE, IDC_BTN_CLOSE});
    }
    bool Visible(int id) const override { return m_shown.count(id) != 0; }
    int Selected(FocusGroup group) const override {
        switch (group) {
        case FocusGroup::Modes:
            return m_mode;
        case FocusGroup::Speeds:
            return m_speed;
        case FocusGroup::PageTabs:
            return m_page == Page::Lighting     ? IDC_BTN_TAB_LIGHTING
                   : m_page == Page::ModuleInfo ? IDC_BTN_TAB_MODULE_INFO
                                                : IDC_BTN_TAB_ABOUT;
        default:
            return 0;
        }
    }

private:
    Page m_page;
    int m_mode;
    int m_speed;
    std::set<int> m_shown;
};

// The stops Tab visits from nowhere until it comes back to the first.
std::vector<int> TabRound(const FocusView& view, FocusMove move) {
    std::vector<int> visited;
    int focus = NextFocus(0, move, view);
    while (focus != 0 && visited.size() < 40) {
        visited.push_back(focus);
        focus = NextFocus(focus, move, view);
        if (focus == visited.front()) {
            break;
        }
    }
    return visited;
}

TEST(KeyboardFocus, TabGoesRoundTheVisibleControlsOfEachPageInReadingOrder) {
    const struct {
        const char* name;
        PlannedWindow window;
        std::vector<int> order;
    } cases[] = {
        {"lighting",
         PlannedWindow(Page::Lighting, true),
         {IDC_BTN_POWER, IDC_BTN_MODE_PRISMEL, IDC_BTN_SPEED_1, IDC_BTN_COLOUR_WHEEL, IDC_RED_BOX, IDC_GREEN_BOX,
          IDC_BLUE_BOX, IDC_BTN_APPLY, IDC_BTN_RESET, IDC_BTN_TAB_LIGHTING, IDC_BTN_MINIMISE, IDC_BTN_CLOSE}},
        {"lighting, another mode and speed chosen",
         PlannedWindow(Page::Lighting, true, IDC_BTN_MODE_METEOR, IDC_BTN_SPEED_5),
         {IDC_BTN_POWER, IDC_BTN_MODE_METEOR, IDC_BTN_SPEED_5, IDC_BTN_COLOUR_WHEEL, IDC_RED_BOX, IDC_GREEN_BOX,
          IDC_BLUE_BOX, IDC_BTN_APPLY, IDC_BTN_RESET, IDC_BTN_TAB_LIGHTING, IDC_BTN_MINIMISE, IDC_BTN_CLOSE}},
        {"lighting, lights off: no modes, Apply or Reset",
         PlannedWindow(Page::Lighting, false),
         {IDC_BTN_POWER, IDC_BTN_SPEED_1, IDC_BTN_COLOUR_WHEEL, IDC_RED_BOX, IDC_GREEN_BOX, IDC_BLUE_BOX,
          IDC_BTN_TAB_LIGHTING, IDC_BTN_MINIMISE, IDC_BTN_CLOSE}},
        {"module information",
         PlannedWindow(Page::ModuleInfo, true),
         {IDC_MODULE_SELECTOR, IDC_BTN_SUBPAGE_BACK, IDC_BTN_TAB_MODULE_INFO, IDC_BTN_MINIMISE, IDC_BTN_CLOSE}},
        {"module information, lights off",
         PlannedWindow(Page::ModuleInfo, false),
         {IDC_MODULE_SELECTOR, IDC_BTN_SUBPAGE_BACK, IDC_BTN_TAB_MODULE_INFO, IDC_BTN_MINIMISE, IDC_BTN_CLOSE}},
        {"about", PlannedWindow(Page::About, true), {IDC_BTN_WEB, IDC_BTN_TAB_ABOUT, IDC_BTN_MINIMISE, IDC_BTN_CLOSE}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TabRound(c.window, FocusMove::Tab), c.order) << c.name;
        // Shift+Tab visits the same stops backwards, starting from the last.
        const std::vector<int> backwards(c.order.rbegin(), c.order.rend());
        EXPECT_EQ(TabRound(c.window, FocusMove::ShiftTab), backwards) << c.name;
    }
}

TEST(KeyboardFocus, TabFromAControlThatWasHiddenGoesOnToTheNextVisibleOne) {
    // The power toggle turned off under the focus: Apply and Reset are gone.
    const PlannedWindow off(Page::Lighting, false);
    EXPECT_EQ(NextFocus(IDC_BTN_APPLY, FocusMove::Tab, off), IDC_BTN_TAB_LIGHTING);
    EXPECT_EQ(NextFocus(IDC_BTN_MODE_METEOR, FocusMove::Tab, off), IDC_BTN_SPEED_1);
    EXPECT_EQ(NextFocus(IDC_BTN_MODE_METEOR, FocusMove::ShiftTab, off), IDC_BTN_POWER);
    // A page switch under the focus.
    const PlannedWindow module(Page::ModuleInfo, true);
    EXPECT_EQ(NextFocus(IDC_BTN_COLOUR_WHEEL, FocusMove::Tab, module), IDC_MODULE_SELECTOR);
    EXPECT_EQ(NextFocus(IDC_BTN_POWER, FocusMove::ShiftTab, module), IDC_BTN_CLOSE);
}

TEST(KeyboardFocus, ArrowKeysGoRoundAGroupAndLeaveOtherControlsWhereTheyAre) {
    const PlannedWindow on(Page::Lighting, true);
    const PlannedWindow module(Page::ModuleInfo, true);
    const struct {
        const FocusView& view;
        int from;
        FocusMove move;
        int to;
    } cases[] = {
        {on, IDC_BTN_MODE_PRISMEL, FocusMove::NextInGroup, IDC_BTN_MODE_METEOR},
        {on, IDC_BTN_MODE_PRISMEL, FocusMove::PreviousInGroup, IDC_BTN_MODE_RAINBOW},
        {on, IDC_BTN_MODE_COLOUR_CYCLE, FocusMove::NextInGroup, IDC_BTN_MODE_STATIC},
        {on, IDC_BTN_MODE_STATIC, FocusMove::PreviousInGroup, IDC_BTN_MODE_COLOUR_CYCLE},
        {on, IDC_BTN_SPEED_5, FocusMove::NextInGroup, IDC_BTN_SPEED_1},
        {on, IDC_BTN_SPEED_2, FocusMove::PreviousInGroup, IDC_BTN_SPEED_1},
        {on, IDC_BTN_TAB_ABOUT, FocusMove::NextInGroup, IDC_BTN_TAB_MODULE_INFO},
        {on, IDC_BTN_TAB_MODULE_INFO, FocusMove::PreviousInGroup, IDC_BTN_TAB_ABOUT},
        {module, IDC_BTN_SUBPAGE_BACK, FocusMove::NextInGroup, IDC_BTN_SUBPAGE_FORWARD},
        {module, IDC_BTN_SUBPAGE_FORWARD, FocusMove::NextInGroup, IDC_BTN_SUBPAGE_BACK},
        {on, IDC_BTN_APPLY, FocusMove::NextInGroup, IDC_BTN_APPLY},
        {on, IDC_RED_BOX, FocusMove::PreviousInGroup, IDC_RED_BOX},
        {on, IDC_BTN_POWER, FocusMove::NextInGroup, IDC_BTN_POWER},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NextFocus(c.from, c.move, c.view), c.to) << c.from;
    }
    // Tab leaves a group from any member, not only from the one it entered at.
    EXPECT_EQ(NextFocus(IDC_BTN_MODE_STATIC, FocusMove::Tab, on), IDC_BTN_SPEED_1);
    EXPECT_EQ(NextFocus(IDC_BTN_SPEED_4, FocusMove::ShiftTab, on), IDC_BTN_MODE_PRISMEL);
    EXPECT_EQ(NextFocus(IDC_BTN_SUBPAGE_FORWARD, FocusMove::ShiftTab, module), IDC_MODULE_SELECTOR);
}

TEST(KeyboardFocus, CtrlTabGoesRoundThePages) {
    EXPECT_EQ(NextPage(Page::Lighting, true), Page::ModuleInfo);
    EXPECT_EQ(NextPage(Page::ModuleInfo, true), Page::About);
    EXPECT_EQ(NextPage(Page::About, true), Page::Lighting);
    EXPECT_EQ(NextPage(Page::Lighting, false), Page::About);
    EXPECT_EQ(NextPage(Page::About, false), Page::ModuleInfo);
}

TEST(KeyboardFocus, TheWheelMarkTurnsRoundAndMovesBetweenTheCentreAndTheEdge) {
    const struct {
        WheelMark from;
        WheelKey key;
        WheelMark to;
    } cases[] = {
        {{0, kWheelRings}, WheelKey::Clockwise, {1, kWheelRings}},
        {{0, kWheelRings}, WheelKey::Anticlockwise, {kWheelHueSteps - 1, kWheelRings}},
        {{kWheelHueSteps - 1, 3}, WheelKey::Clockwise, {0, 3}},
        {{5, kWheelRings}, WheelKey::Outward, {5, kWheelRings}},
        {{5, kWheelRings}, WheelKey::Inward, {5, kWheelRings - 1}},
        {{5, 0}, WheelKey::Inward, {5, 0}},
        {{5, 0}, WheelKey::Outward, {5, 1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MoveWheelMark(c.from, c.key), c.to) << c.from.hueStep << " " << c.from.ring;
    }
}

TEST(KeyboardFocus, EveryWheelMarkLandsOnTheDiscWhereItsHueIs) {
    // The wheel's image at 100 %, 150 % and 200 %, one pixel wider than high at 150 %; the disc as the artwork
    // draws it (half the smaller side less two pixels at 100 %).
    const struct { int width, height, margin; } wheels[] = {{169, 169, 2}, {254, 253, 3}, {338, 338, 4}};
    for (const auto& w : wheels) {
        const double cx = (w.width - 1) / 2.0, cy = (w.height - 1) / 2.0;
        const double disc = std::min(w.width, w.height) / 2.0 - w.margin;
        for (int hue = 0; hue < kWheelHueSteps; ++hue) {
            for (int ring = 0; ring <= kWheelRings; ++ring) {
                const WheelPoint p = WheelMarkPoint({hue, ring}, w.width, w.height, w.margin);
                EXPECT_LT(std::hypot(p.x - cx, p.y - cy), disc - 1) << w.width << " " << hue << " " << ring;
            }
        }
        // The centre, the top (red), the right and the bottom.
        EXPECT_EQ(WheelMarkPoint({7, 0}, w.width, w.height, w.margin),
                  (WheelPoint{static_cast<int>(std::lround(cx)), static_cast<int>(std::lround(cy))}));
        const WheelPoint top = WheelMarkPoint({0, kWheelRings}, w.width, w.height, w.margin);
        const WheelPoint right = WheelMarkPoint({kWheelHueSteps / 4, kWheelRings}, w.width, w.height, w.margin);
        const WheelPoint bottom = WheelMarkPoint({kWheelHueSteps / 2, kWheelRings}, w.width, w.height, w.margin);
        EXPECT_LT(top.y, cy - disc / 2);
        EXPECT_GT(right.x, cx + disc / 2);
        EXPECT_GT(bottom.y, cy + disc / 2);
    }
}

TEST(ControlNames, EveryControlAKeyReachesHasANameInEachLanguage) {
    std::vector<int> ids;
    for (const FocusStop& stop : kFocusOrder) {
        ids.push_back(stop.id);
    }
    ids.insert(ids.end(), kFocusOrderTail.begin(), kFocusOrderTail.end());
    for (std::int32_t language : {kEnglish, kSimplifiedChinese, kTraditionalChinese}) {
        std::set<std::u16string> names;
        for (int id : ids) {
            const std::optional<ControlName> name = ControlNameOf(id);
            ASSERT_TRUE(name) << id;
            const std::u16string text = ControlNameText(*name, language);
            EXPECT_FALSE(text.empty()) << id;
            EXPECT_EQ(text.find(u'%'), std::u16string::npos) << id;
            EXPECT_EQ(text.find(u"未使用"), std::u16string::npos) << id;
            EXPECT_EQ(text.find(u"not used"), std::u16string::npos) << id;
            EXPECT_TRUE(names.insert(text).second) << "two controls called " << ToUtf8(text);
        }
    }
    EXPECT_FALSE(ControlNameOf(IDC_SHADOW_MODULE_LIST));
}

TEST(ControlNames, NamesAndRolesOfEachKind) {
    const struct {
        int id;
        ControlRole role;
        const char* english;
        const char* simplified;
        const char* traditional;
    } cases[] = {
        {IDC_BTN_MODE_METEOR, ControlRole::RadioButton, "Meteor", "流星", "流星"},
        {IDC_BTN_MODE_COLOUR_CYCLE, ControlRole::RadioButton, "Colour cycle", "色彩循环", "色彩循環"},
        {IDC_BTN_SPEED_3, ControlRole::RadioButton, "Speed 3", "速度 3", "速度 3"},
        {IDC_BTN_POWER, ControlRole::CheckButton, "Power", "电源", "電源"},
        {IDC_RED_BOX, ControlRole::Edit, "Red", "红", "紅"},
        {IDC_BTN_APPLY, ControlRole::PushButton, "Apply", "应用", "應用"},
        {IDC_BTN_TAB_LIGHTING, ControlRole::PageTab, "Lighting", "灯光", "燈光"},
        {IDC_BTN_TAB_MODULE_INFO, ControlRole::PageTab, "Module information", "模块信息", "模組資訊"},
        {IDC_MODULE_SELECTOR, ControlRole::ComboBox, "Module", "模块", "模組"},
        {IDC_BTN_MINIMISE, ControlRole::PushButton, "Minimise", "最小化", "最小化"},
    };
    for (const auto& c : cases) {
        const std::optional<ControlName> name = ControlNameOf(c.id);
        ASSERT_TRUE(name) << c.id;
        EXPECT_EQ(name->role, c.role) << c.id;
        EXPECT_EQ(ToUtf8(ControlNameText(*name, kEnglish)), c.english);
        EXPECT_EQ(ToUtf8(ControlNameText(*name, kSimplifiedChinese)), c.simplified);
        EXPECT_EQ(ToUtf8(ControlNameText(*name, kTraditionalChinese)), c.traditional);
    }
}

} // namespace
