#include "app/KeyboardFocus.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// The whole order, the table's stops then minimise and close.
std::vector<FocusStop> WholeOrder() {
    std::vector<FocusStop> order(kFocusOrder.begin(), kFocusOrder.end());
    for (int id : kFocusOrderTail) {
        order.push_back({id, FocusGroup::None});
    }
    return order;
}

const std::vector<FocusStop>& Order() {
    static const std::vector<FocusStop> order = WholeOrder();
    return order;
}

int IndexOf(int id) {
    const std::vector<FocusStop>& order = Order();
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Where Tab lands in a group: its selected member if it shows, else its first visible member.
int EntryOf(FocusGroup group, const FocusView& view) {
    const int selected = view.Selected(group);
    if (selected != 0 && GroupOf(selected) == group && view.Visible(selected)) {
        return selected;
    }
    for (const FocusStop& stop : Order()) {
        if (stop.group == group && view.Visible(stop.id)) {
            return stop.id;
        }
    }
    return 0;
}

int Wrap(int index, int count) {
    return ((index % count) + count) % count;
}

int TabFrom(int current, int step, const FocusView& view) {
    const std::vector<FocusStop>& order = Order();
    const int count = static_cast<int>(order.size());
    int index = IndexOf(current);
    if (index < 0) {
        index = step > 0 ? -1 : count; // from nowhere: the first or the last stop
    }
    const FocusGroup leaving =
        index >= 0 && index < count ? order[static_cast<std::size_t>(index)].group : FocusGroup::None;
    for (int n = 1; n <= count; ++n) {
        const FocusStop& stop = order[static_cast<std::size_t>(Wrap(index + step * n, count))];
        if (!view.Visible(stop.id)) {
            continue;
        }
        if (stop.group == FocusGroup::None) {
            return stop.id;
        }
        if (stop.group != leaving) {
            return EntryOf(stop.group, view);
        }
    }
    // Nothing else shows: the focus stays on a visible current control.
    return current != 0 && view.Visible(current) && index >= 0 && index < count ? current : 0;
}

int WithinGroup(int current, int step, const FocusView& view) {
    const FocusGroup group = GroupOf(current);
    if (group == FocusGroup::None) {
        return current;
    }
    std::vector<int> members;
    int at = -1;
    for (const FocusStop& stop : Order()) {
        if (stop.group == group && (view.Visible(stop.id) || stop.id == current)) {
            if (stop.id == current) {
                at = static_cast<int>(members.size());
            }
            members.push_back(stop.id);
        }
    }
    const int count = static_cast<int>(members.size());
    for (int n = 1; n <= count; ++n) {
        const int id = members[static_cast<std::size_t>(Wrap(at + step * n, count))];
        if (view.Visible(id)) {
            return id;
        }
    }
    return current;
}

} // namespace

FocusGroup GroupOf(int id) {
    const int index = IndexOf(id);
    return index < 0 ? FocusGroup::None : Order()[static_cast<std::size_t>(index)].group;
}

int NextFocus(int current, FocusMove move, const FocusView& view) {
    switch (move) {
    case FocusMove::Tab:
        return TabFrom(current, 1, view);
    case FocusMove::ShiftTab:
        return TabFrom(current, -1, view);
    case FocusMove::NextInGroup:
        return WithinGroup(current, 1, view);
    case FocusMove::PreviousInGroup:
        return WithinGroup(current, -1, view);
    }
    return current;
}

Page NextPage(Page page, bool forward) {
    constexpr Page pages[] = {Page::Lighting, Page::ModuleInfo, Page::About};
    int index = 0;
    for (int i = 0; i < 3; ++i) {
        if (pages[i] == page) {
            index = i;
        }
    }
    return pages[Wrap(index + (forward ? 1 : -1), 3)];
}

WheelMark MoveWheelMark(WheelMark mark, WheelKey key) {
    switch (key) {
    case WheelKey::Clockwise:
        mark.hueStep = Wrap(mark.hueStep + 1, kWheelHueSteps);
        break;
    case WheelKey::Anticlockwise:
        mark.hueStep = Wrap(mark.hueStep - 1, kWheelHueSteps);
        break;
    case WheelKey::Outward:
        mark.ring = mark.ring < kWheelRings ? mark.ring + 1 : kWheelRings;
        break;
    case WheelKey::Inward:
        mark.ring = mark.ring > 0 ? mark.ring - 1 : 0;
        break;
    }
    return mark;
}

WheelPoint WheelMarkPoint(WheelMark mark, int width, int height, int margin) {
    // The disc as the artwork draws it: centred on the image, its radius half the smaller side less the margin.
    const double cx = (width - 1) / 2.0;
    const double cy = (height - 1) / 2.0;
    const double radius = (width < height ? width : height) / 2.0 - 2.0 * margin;
    const double distance = radius > 0 ? radius * mark.ring / kWheelRings : 0.0;
    const double angle = 2.0 * std::numbers::pi * mark.hueStep / kWheelHueSteps;
    return {static_cast<int>(std::lround(cx + distance * std::sin(angle))),
            static_cast<int>(std::lround(cy - distance * std::cos(angle)))};
}
