// A command that waits for the shared bus: what a later command leaves of it.
#include <gtest/gtest.h>

#include "lighting/BusBatch.h"

namespace {

BusCall Select(std::uint8_t what) {
    return {false, kCommandSelect, what, 0, 0, 0, 0};
}
BusCall Led(std::uint8_t k, std::uint8_t red) {
    return {false, static_cast<std::uint8_t>(kCommandFirstLed + k), red, 0, 0, 0, 0};
}
BusCall Effect(std::uint8_t mode) {
    return {true, mode, 0, 0, 0, 12, 0};
}

TEST(BusBatch, TheLatestCommandWinsButADirectFrameKeepsTheSelectBeforeIt) {
    struct Case {
        const char* what;
        std::vector<BusCall> pending, next, merged;
    };
    const Case cases[] = {
        {"nothing pending", {}, {Effect(6), Select(2)}, {Effect(6), Select(2)}},
        {"a command replaces a command", {Effect(1), Select(3)}, {Select(4), Effect(1)}, {Select(4), Effect(1)}},
        {"a frame replaces the frame after the select",
         {Select(4), Led(0, 1), Led(1, 1)},
         {Led(0, 9), Led(1, 9)},
         {Select(4), Led(0, 9), Led(1, 9)}},
        {"a command replaces frames too", {Select(4), Led(0, 1)}, {Effect(6)}, {Effect(6)}},
        {"an empty batch leaves the pending one", {Select(2)}, {}, {Select(2)}},
    };
    for (const Case& c : cases) {
        std::vector<BusCall> pending = c.pending;
        MergePending(pending, c.next);
        EXPECT_EQ(pending, c.merged) << c.what;
    }
    EXPECT_TRUE(IsLedCall(Led(4, 0)));
    EXPECT_FALSE(IsLedCall(Select(4)));
    EXPECT_FALSE(IsLedCall(Effect(kCommandFirstLed)));
}

} // namespace
