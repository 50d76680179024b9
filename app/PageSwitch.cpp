#include "app/PageSwitch.h"

#include "app/ControlTable.h"
#include "res/SkinLayout.h"
#include "res/resource.h"

namespace {

void Append(std::vector<int>& to, std::initializer_list<int> ids) {
    to.insert(to.end(), ids.begin(), ids.end());
}
void AppendRun(std::vector<int>& to, int first, int last) {
    for (int id = first; id <= last; ++id) {
        to.push_back(id);
    }
}

// The lighting controls that leave with the lighting page: the mode buttons, the colour wheel, the power toggle,
// Apply, Reset, the colour boxes and the speed buttons.
void AppendLightingControls(std::vector<int>& to) {
    AppendRun(to, IDC_BTN_MODE_FIRST, IDC_BTN_MODE_LAST);
    Append(to, {IDC_BTN_COLOUR_WHEEL, IDC_BTN_POWER, IDC_BTN_APPLY, IDC_BTN_RESET});
    to.insert(to.end(), kColourBoxIds.begin(), kColourBoxIds.end());
    AppendRun(to, IDC_BTN_SPEED_FIRST, IDC_BTN_SPEED_LAST);
}

std::vector<TabImages> Tabs(Page selected) {
    auto tab = [&](int id, Page page, int normal, int hot) {
        return selected == page ? TabImages{id, hot, hot} : TabImages{id, normal, hot};
    };
    return {tab(IDC_BTN_TAB_MODULE_INFO, Page::ModuleInfo, IDB_TAB_MODULE_INFO, IDB_TAB_MODULE_INFO_HOT),
            tab(IDC_BTN_TAB_LIGHTING, Page::Lighting, IDB_TAB_LIGHTING, IDB_TAB_LIGHTING_HOT),
            tab(IDC_BTN_TAB_ABOUT, Page::About, IDB_TAB_ABOUT, IDB_TAB_ABOUT_HOT)};
}

} // namespace

PagePlan PlanPageSwitch(Page page, bool powerOn) {
    PagePlan plan;
    plan.tabs = Tabs(page);
    switch (page) {
    case Page::About:
        plan.aboutPage = true;
        AppendLightingControls(plan.hide);
        Append(plan.hide, {IDC_MODULE_SELECTOR, IDC_BTN_SUBPAGE_BACK, IDC_BTN_SUBPAGE_FORWARD});
        plan.skin = IDB_PAGE_ABOUT;
        Append(plan.show, {IDC_BTN_WEB});
        break;
    case Page::ModuleInfo:
        plan.moduleInfoPage = true;
        AppendLightingControls(plan.hide);
        Append(plan.hide, {IDC_BTN_WEB});
        plan.skin = IDB_PAGE_MODULE_INFO;
        Append(plan.show, {IDC_MODULE_SELECTOR, IDC_BTN_SUBPAGE_BACK, IDC_BTN_SUBPAGE_FORWARD});
        break;
    case Page::Lighting: {
        Append(plan.hide, {IDC_MODULE_SELECTOR, IDC_BTN_SUBPAGE_BACK, IDC_BTN_SUBPAGE_FORWARD, IDC_BTN_WEB});
        plan.skin = IDB_PAGE_LIGHTING;
        Append(plan.show, {IDC_BTN_POWER});
        // The mode buttons, Apply and Reset show only while the lights are on.
        std::vector<int>& modeButtons = powerOn ? plan.show : plan.hide;
        AppendRun(modeButtons, IDC_BTN_MODE_FIRST, IDC_BTN_MODE_LAST);
        Append(modeButtons, {IDC_BTN_APPLY, IDC_BTN_RESET});
        Append(plan.show, {IDC_BTN_COLOUR_WHEEL});
        plan.show.insert(plan.show.end(), kColourBoxIds.begin(), kColourBoxIds.end());
        AppendRun(plan.show, IDC_BTN_SPEED_FIRST, IDC_BTN_SPEED_LAST);
        break;
    }
    }
    return plan;
}
