// The window's keyboard order: which controls Tab, Shift+Tab and the arrow keys reach, in reading order, the groups
// the arrow keys move within (like radio buttons, a group is one Tab stop entered at its selected member), the page
// Ctrl+Tab shows next, and where the arrow keys put the colour wheel's pick mark. Portable: the window answers what
// is visible and selected.
#pragma once

#include <array>
#include <cstdint>

#include "app/PageSwitch.h"
#include "res/resource.h"

enum class FocusGroup : std::uint8_t { None, Modes, Speeds, SubPages, PageTabs };

struct FocusStop {
    int id;
    FocusGroup group;
};

// Every control a key can reach, in the order Tab visits them: the lighting page (power toggle, modes, speeds,
// wheel, colour boxes, Apply, Reset), the module page (selector, sub-page buttons), the about page (the maker's
// site), then the page tabs, minimise and close. Only the visible ones are reached.
inline constexpr std::array<FocusStop, 29> kFocusOrder = {{
    {IDC_BTN_POWER, FocusGroup::None},
    {IDC_BTN_MODE_STATIC, FocusGroup::Modes},
    {IDC_BTN_MODE_BREATHING, FocusGroup::Modes},
    {IDC_BTN_MODE_SINGLE_FLASH, FocusGroup::Modes},
    {IDC_BTN_MODE_DOUBLE_FLASH, FocusGroup::Modes},
    {IDC_BTN_MODE_RAINBOW, FocusGroup::Modes},
    {IDC_BTN_MODE_PRISMEL, FocusGroup::Modes},
    {IDC_BTN_MODE_METEOR, FocusGroup::Modes},
    {IDC_BTN_MODE_MARQUEE, FocusGroup::Modes},
    {IDC_BTN_MODE_TWINKLE, FocusGroup::Modes},
    {IDC_BTN_MODE_COLOUR_CYCLE, FocusGroup::Modes},
    {IDC_BTN_SPEED_1, FocusGroup::Speeds},
    {IDC_BTN_SPEED_2, FocusGroup::Speeds},
    {IDC_BTN_SPEED_3, FocusGroup::Speeds},
    {IDC_BTN_SPEED_4, FocusGroup::Speeds},
    {IDC_BTN_SPEED_5, FocusGroup::Speeds},
    {IDC_BTN_COLOUR_WHEEL, FocusGroup::None},
    {IDC_RED_BOX, FocusGroup::None},
    {IDC_GREEN_BOX, FocusGroup::None},
    {IDC_BLUE_BOX, FocusGroup::None},
    {IDC_BTN_APPLY, FocusGroup::None},
    {IDC_BTN_RESET, FocusGroup::None},
    {IDC_MODULE_SELECTOR, FocusGroup::None},
    {IDC_BTN_SUBPAGE_BACK, FocusGroup::SubPages},
    {IDC_BTN_SUBPAGE_FORWARD, FocusGroup::SubPages},
    {IDC_BTN_WEB, FocusGroup::None},
    {IDC_BTN_TAB_MODULE_INFO, FocusGroup::PageTabs},
    {IDC_BTN_TAB_LIGHTING, FocusGroup::PageTabs},
    {IDC_BTN_TAB_ABOUT, FocusGroup::PageTabs},
}};
// Minimise and close follow the tabs; kept apart so that the table above stays one screen.
inline constexpr std::array<int, 2> kFocusOrderTail = {IDC_BTN_MINIMISE, IDC_BTN_CLOSE};

// The group a control belongs to; FocusGroup::None for a control alone or one that no key reaches.
FocusGroup GroupOf(int id);

// What the window tells the order: whether a control shows, and a group's selected member (0 for none).
class FocusView {
public:
    virtual ~FocusView() = default;
    virtual bool Visible(int id) const = 0;
    virtual int Selected(FocusGroup group) const = 0;
};

enum class FocusMove { Tab, ShiftTab, NextInGroup, PreviousInGroup };

// The control a move puts the focus on, from current (any id, 0 for none): Tab and Shift+Tab go round the visible
// stops, a group entered at its selected member (at its first visible one when none is selected or it is hidden);
// the arrow moves go round a group's visible members and leave a control outside a group where it is. 0 when no
// control shows.
int NextFocus(int current, FocusMove move, const FocusView& view);

// The page Ctrl+Tab (forward) or Ctrl+Shift+Tab shows after page: lighting, module information, about, round.
Page NextPage(Page page, bool forward);

// The colour wheel's pick mark as the arrow keys move it: the hue round the disc (step 0 at the top, clockwise) and
// the ring from the centre (0) out to the saturated edge (kWheelRings).
inline constexpr int kWheelHueSteps = 24;
inline constexpr int kWheelRings = 8;
struct WheelMark {
    int hueStep = 0;
    int ring = kWheelRings;
    friend bool operator==(const WheelMark&, const WheelMark&) = default;
};
enum class WheelKey { Clockwise, Anticlockwise, Outward, Inward };
// Right/Left turn the hue round (and round again), Up/Down move the ring out or in, stopping at the centre and the
// edge.
WheelMark MoveWheelMark(WheelMark mark, WheelKey key);
// The mark's point in a wheel image of width x height pixels whose disc leaves `margin` pixels to the image's
// smaller side; the outermost ring stays `margin` pixels more inside, so the pick always lands on the disc.
struct WheelPoint {
    int x;
    int y;
    friend bool operator==(const WheelPoint&, const WheelPoint&) = default;
};
WheelPoint WheelMarkPoint(WheelMark mark, int width, int height, int margin);
