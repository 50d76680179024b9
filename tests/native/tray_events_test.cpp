// The tray icon's events, from the mouse and from the keyboard, and what each sequence does.
#include <gtest/gtest.h>

#include <vector>

#include "app/TrayEvents.h"

namespace {

constexpr std::uint32_t kMouseMove = 0x0200, kLeftButtonUp = 0x0202, kRightButtonUp = 0x0205;

TEST(TrayEvents, EachSequenceOfEventsShowsTheWindowOrOpensTheMenuOnce) {
    using A = TrayAction;
    const struct {
        const char* name;
        std::vector<std::uint32_t> events;
        std::vector<TrayAction> actions;
    } cases[] = {
        {"a left click",
         {kMouseMove, kTrayLeftButtonDown, kLeftButtonUp, kTraySelect},
         {A::None, A::ShowWindow, A::None, A::ShowWindow}},
        {"a right click opens the menu once",
         {kTrayRightButtonDown, kMouseMove, kRightButtonUp, kTrayContextMenu},
         {A::OpenMenu, A::None, A::None, A::None}},
        {"Shift+F10 twice", {kTrayContextMenu, kTrayContextMenu}, {A::OpenMenu, A::OpenMenu}},
        {"a right click, then the menu key",
         {kTrayRightButtonDown, kTrayContextMenu, kTrayContextMenu},
         {A::OpenMenu, A::None, A::OpenMenu}},
        {"Enter on the icon", {kTrayKeySelect}, {A::ShowWindow}},
        {"a right press whose menu event never came, then a left click and the menu key",
         {kTrayRightButtonDown, kTrayLeftButtonDown, kTrayContextMenu},
         {A::OpenMenu, A::ShowWindow, A::OpenMenu}},
    };
    for (const auto& c : cases) {
        TrayEvents events;
        std::vector<TrayAction> actions;
        for (std::uint32_t event : c.events) {
            actions.push_back(events.On(event));
        }
        EXPECT_EQ(actions, c.actions) << c.name;
    }
}

} // namespace
