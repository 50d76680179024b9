// The command sender: one command per scope, sent with the bus held; a command that finds the bus busy waits (the
// latest wins) and is tried again on a timer; animation frames never wait for long; Direct frames are paced.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lighting/CommandSender.h"

namespace {

// The library, the bus and the window's timers, in one journal: what a user's modules and window would see.
class Fakes final : public SmbusLightingCalls, public BusGate, public LightingTimers {
public:
    void RgbI2cMode(std::uint8_t command, std::uint8_t a, std::uint8_t, std::uint8_t) override {
        EXPECT_TRUE(held) << "a call without the bus";
        log.push_back("I" + std::to_string(command) + "." + std::to_string(a));
    }
    void SetZorvaEffect(std::uint8_t mode, std::uint16_t, std::uint8_t, std::uint32_t) override {
        EXPECT_TRUE(held) << "a call without the bus";
        log.push_back("E" + std::to_string(mode));
    }
    bool Take(unsigned long waitMs) override {
        EXPECT_FALSE(held) << "taken twice";
        waits.push_back(waitMs);
        held = !busy;
        return held;
    }
    void Give() override { held = false; }
    void SetTimer(unsigned id, unsigned periodMs) override {
        log.push_back("T" + std::to_string(id) + "+" + std::to_string(periodMs));
    }
    void KillTimer(unsigned id) override { log.push_back("T" + std::to_string(id) + "-"); }

    std::vector<std::string> Take() { return std::exchange(log, {}); }

    bool busy = false;
    bool held = false;
    std::vector<unsigned long> waits;
    std::vector<std::string> log;
};

struct SenderTest : ::testing::Test {
    Fakes fakes;
    CommandSender sender{fakes, fakes, fakes};

    void Command(std::initializer_list<std::uint8_t> selects) {
        CommandSender::Scope outer(sender);
        for (std::uint8_t what : selects) {
            CommandSender::Scope inner(sender);
            sender.RgbI2cMode(kCommandSelect, what, 0, 0);
        }
    }
};

TEST_F(SenderTest, NestedScopesSendOneCommandWithTheBusHeld) {
    {
        CommandSender::Scope outer(sender);
        sender.SetZorvaEffect(6, 12, 0, 0);
        Command({2});
        EXPECT_TRUE(fakes.waits.empty()) << "nothing goes out before the outermost scope ends";
    }
    EXPECT_EQ(fakes.Take(), (std::vector<std::string>{"E6", "I1.2", "T24-"}));
    EXPECT_EQ(fakes.waits, std::vector<unsigned long>{kCommandBusWaitMs});
    EXPECT_FALSE(fakes.held) << "the bus is let go after the command";
}

TEST_F(SenderTest, ABusyBusLeavesTheLatestCommandPendingUntilARetryGetsIt) {
    fakes.busy = true;
    Command({3});
    Command({2});
    EXPECT_EQ(fakes.Take(), (std::vector<std::string>{"T24+10", "T24+10"})) << "nothing sent; the retry timer runs";
    EXPECT_TRUE(sender.Pending());
    EXPECT_FALSE(sender.FrameMayGo()) << "no frame goes before the waiting command";
    sender.RetryPending();
    EXPECT_EQ(fakes.Take(), std::vector<std::string>{"T24+10"}) << "still busy";
    fakes.busy = false;
    sender.RetryPending();
    EXPECT_EQ(fakes.Take(), (std::vector<std::string>{"I1.2", "T24-"})) << "only the latest command goes out";
    EXPECT_TRUE(sender.FrameMayGo());
}

TEST_F(SenderTest, AFrameWaitsAtMostHalfItsPeriodAndIsDroppedWhenTheBusStaysBusy) {
    const struct {
        std::int32_t periodMs;
        unsigned long wait;
    } cases[] = {{50, 25}, {130, kFrameBusWaitMs}, {1, 1}};
    for (const auto& c : cases) {
        fakes.waits.clear();
        sender.RgbI2cMode(kCommandFirstLed, 1, 2, 3);
        sender.SendFrame(c.periodMs);
        EXPECT_EQ(fakes.waits, std::vector<unsigned long>{c.wait}) << c.periodMs;
        EXPECT_EQ(fakes.Take(), std::vector<std::string>{"I16.1"});
    }
    fakes.busy = true;
    sender.RgbI2cMode(kCommandFirstLed, 1, 2, 3);
    sender.SendFrame(130);
    fakes.busy = false;
    sender.SendFrame(130);
    EXPECT_TRUE(fakes.Take().empty()) << "a dropped frame is gone, not pending";
    EXPECT_FALSE(sender.Pending());
}

TEST_F(SenderTest, DirectFramesGoAtMostOncePerPeriodTheLatestOneEachTime) {
    EXPECT_TRUE(sender.OfferDirectFrame()) << "the first frame goes at once";
    EXPECT_FALSE(sender.OfferDirectFrame()) << "a second within the period waits";
    EXPECT_FALSE(sender.OfferDirectFrame()) << "and a third replaces it";
    EXPECT_TRUE(sender.DirectFrameDue()) << "the waiting frame goes at the tick";
    EXPECT_FALSE(sender.DirectFrameDue()) << "a tick with nothing waiting stops the timer";
    EXPECT_TRUE(sender.OfferDirectFrame()) << "after a quiet period a frame goes at once again";
    EXPECT_FALSE(sender.OfferDirectFrame());
    sender.StopDirectFrames();
    EXPECT_FALSE(sender.DirectFrameDue()) << "leaving Direct drops the waiting frame";
    EXPECT_EQ(fakes.Take(), (std::vector<std::string>{"T23+20", "T23-", "T23+20", "T23-"}));
}

} // namespace
