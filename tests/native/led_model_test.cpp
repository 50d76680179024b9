// The LED view's portable half: reading journal lines into the LED state and captions, following a journal that
// grows, is rewritten in place and is re-created, and what it takes from the stand-in's configuration.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "smbus-sim/core/Journal.h"
#include "smbus-sim/core/JournalFollower.h"
#include "smbus-sim/core/LedModel.h"
#include "smbus-sim/core/LedViewSetup.h"

namespace {

using namespace smbus_sim;

using Leds = std::array<LedColour, kLedCount>;

// Journal lines as the stand-in writes them.
std::string I2c(std::uint32_t command, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    return "1.000 RGBI2CMode(" + Journal::Hex(command) + ", " + Journal::Hex(a) + ", " + Journal::Hex(b) + ", " +
           Journal::Hex(c) + ") -> 0x00005A01";
}
std::string Effect(std::uint32_t mode, std::uint32_t speed, std::uint32_t colour) {
    return "1.000 SetZorvaEffect(" + Journal::Hex(mode) + ", " + Journal::Hex(speed, 4) + ", 0x00, " +
           Journal::Hex(colour, 8) + ") -> 0x00005A01";
}

LedModel Fed(const std::vector<std::string>& lines) {
    LedModel model;
    for (const auto& line : lines) {
        model.Apply(line);
    }
    return model;
}

TEST(LedModel, FrameLinesSetTheirLedAsSent) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        Leds leds;
    };
    const Case cases[] = {
        {"one LED per command, 0x10 to 0x14",
         {I2c(0x10, 255, 0, 0), I2c(0x12, 61, 69, 255), I2c(0x14, 1, 2, 3)},
         {{{255, 0, 0}, {}, {61, 69, 255}, {}, {1, 2, 3}}}},
        {"a later frame replaces the earlier one, black included", {I2c(0x11, 1, 2, 3), I2c(0x11, 0, 0, 0)}, {}},
        {"select 4 darkens the LEDs until the next frame",
         {I2c(0x10, 1, 2, 3), I2c(1, 4, 0, 0), I2c(0x13, 100, 0, 255)},
         {{{}, {}, {}, {100, 0, 255}, {}}}},
        {"select 3 and parameters keep the frame",
         {I2c(0x10, 16, 32, 48), I2c(1, 3, 0, 0), I2c(2, 0, 1, 0)},
         {{{16, 32, 48}, {}, {}, {}, {}}}},
    };
    for (const auto& c : cases) {
        LedModel model = Fed(c.lines);
        EXPECT_EQ(model.Leds(), c.leds) << c.what;
        EXPECT_EQ(model.NotUnderstood(), 0u) << c.what;
    }
}

TEST(LedModel, OtherCommandsNameWhatWasLastSent) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::string commandSet;
        std::string effect;
        bool ownEffect;
    };
    const Case cases[] = {
        {"breathing on command-set modules",
         {I2c(1, 3, 0, 0), I2c(2, 1, 2, 0), I2c(2, 0, 1, 0), I2c(2, 16, 0, 0)},
         "Command set: select 3; parameters 1=2, 0=1, 16=0",
         "",
         true},
        {"a new select starts a new parameter list",
         {I2c(1, 3, 0, 0), I2c(2, 1, 2, 0), I2c(1, 2, 0, 0)},
         "Command set: select 2",
         "",
         true},
        {"effect with an opaque colour",
         {Effect(2, 300, 0xFF3D45FF)},
         "",
         "Effect: mode 2 Breathing, speed 300, colour #3D45FF",
         true},
        {"mode 0 is no effect", {Effect(0, 0, 0)}, "", "Effect: mode 0 none, speed 0, no colour", false},
        {"unknown mode, colour not opaque",
         {Effect(11, 4, 0x123456)},
         "",
         "Effect: mode 11 (unknown), speed 4, colour 0x00123456 (not opaque)",
         true},
        {"both command sets: the last decides whether the frame is what the modules show",
         {Effect(7, 4, 0), I2c(1, 4, 0, 0)},
         "Command set: select 4",
         "Effect: mode 7 Meteor, speed 4, no colour",
         false},
    };
    for (const auto& c : cases) {
        LedModel model = Fed(c.lines);
        EXPECT_EQ(model.CommandSetCaption(), c.commandSet) << c.what;
        EXPECT_EQ(model.EffectCaption(), c.effect) << c.what;
        EXPECT_EQ(model.ModulesOwnEffect(), c.ownEffect) << c.what;
    }
}

TEST(LedModel, DamagedAndUnknownLinesChangeNothingShown) {
    const std::string lines[] = {
        "1.0 RGBI2CMode(0x10, 0xFF, 0x00) -> 0x00005A01",              // three arguments
        "1.0 RGBI2CMode(0x10, 255, 0x00, 0x00) -> 0x00005A01",         // not hex
        "1.0 RGBI2CMode(0x10, 0x1FFFFFFFF, 0x00, 0x00) -> 0x00005A01", // wider than 32 bits
        "1.0 RGBI2CMode(0x10, 0xFF, 0x00, 0x00",                       // cut short
        I2c(0x10, 0x100, 0, 0),                                        // more than a byte of red
        I2c(0x15, 255, 0, 0),                                          // no sixth LED
        I2c(3, 1, 0, 0),                                               // no such command
        "1.0 SetZorvaEffect(0x02, 0x012C, 0x00) -> 0x00005A01",        // three arguments
        std::string("1.0 RGBI2CMode(0x10, 0x\0F, 0x00, 0x00) -> 0x00005A01", 50),
    };
    for (const auto& line : lines) {
        LedModel model = Fed({line});
        EXPECT_EQ(model.Leds(), Leds{}) << line;
        EXPECT_EQ(model.CommandSetCaption() + model.EffectCaption(), "") << line;
        EXPECT_EQ(model.NotUnderstood(), 1u) << line;
    }
    // Lines of other calls and garbage are no lighting lines at all.
    LedModel model = Fed({"", "1712.5 ReadSPD(0, 2) first_offset=0 count=00512 last_offset=511 bus_ms=00000000.000",
                          "1.0 CheckSPD() -> 0x00005A06", "1.0 (0x01) -> 0x0", "#######"});
    EXPECT_EQ(model.NotUnderstood(), 0u);
    EXPECT_EQ(model.LastProblem(), "");
}

TEST(LedModel, RemembersTheStandInsLastComplaint) {
    LedModel model = Fed({"PROBLEM config line 3: unknown key", "1.0 UNEXPECTED ShutdownSMB() -> 0x00000000"});
    EXPECT_EQ(model.LastProblem(), "called ShutdownSMB");
}

// A journal file in memory that the test writes the way the stand-in does.
class MemoryJournal final : public JournalSource {
public:
    std::optional<std::uint64_t> Size() override {
        return exists ? std::optional<std::uint64_t>(text.size()) : std::nullopt;
    }
    std::size_t ReadAt(std::uint64_t offset, char* out, std::size_t size) override {
        if (!exists || offset >= text.size()) {
            return 0;
        }
        std::size_t n = std::min<std::size_t>(size, text.size() - static_cast<std::size_t>(offset));
        std::memcpy(out, text.data() + offset, n);
        return n;
    }
    std::string text;
    bool exists = true;
};

struct Follow {
    JournalFollower::Poll poll;
    std::vector<std::string> lines;
};

Follow PollOnce(JournalFollower& follower, MemoryJournal& journal) {
    Follow f;
    f.poll = follower.Follow(journal, [&](std::string_view line) { f.lines.emplace_back(line); });
    return f;
}

using Lines = std::vector<std::string>;

TEST(JournalFollower, HandsOverEachCompleteLineOnce) {
    MemoryJournal journal;
    JournalFollower follower;
    EXPECT_EQ(PollOnce(follower, journal).lines, Lines{});
    journal.text = "1.0 A() -> 0x01\r\n2.0 B(";
    EXPECT_EQ(PollOnce(follower, journal).lines, Lines{"1.0 A() -> 0x01"});
    EXPECT_EQ(PollOnce(follower, journal).lines, Lines{}) << "the partial line waits for its line end";
    journal.text += "0x01) -> 0x01\n3.0 C() -> 0x01\n";
    Follow f = PollOnce(follower, journal);
    EXPECT_EQ(f.lines, (Lines{"2.0 B(0x01) -> 0x01", "3.0 C() -> 0x01"}));
    EXPECT_FALSE(f.poll.restarted);
    EXPECT_EQ(f.poll.lines, 2u);
}

TEST(JournalFollower, ARunUpdatedInPlaceIsNoRestart) {
    // The stand-in's own journal writer: a ReadSPD run rewrites its counters inside a line already read.
    struct Sink final : JournalSink {
        std::string& text;
        explicit Sink(std::string& t) : text(t) {}
        std::uint64_t Append(std::string_view s) override {
            text += s;
            return text.size() - s.size();
        }
        void Overwrite(std::uint64_t at, std::string_view s) override { text.replace(at, s.size(), s); }
    };
    MemoryJournal journal;
    Sink sink(journal.text);
    Journal writer(sink);
    JournalFollower follower;
    writer.ReadSpd(1000.0, 0, 0, 0, 0.0);
    EXPECT_EQ(PollOnce(follower, journal).lines.size(), 1u);
    writer.ReadSpd(1000.5, 0, 0, 1, 0.0);
    writer.ReadSpd(1000.5, 0, 0, 2, 0.0);
    EXPECT_FALSE(PollOnce(follower, journal).poll.restarted);
    writer.Call(1001.0, "RGBI2CMode", "0x10, 0x01, 0x02, 0x03", 0x5A01);
    Follow f = PollOnce(follower, journal);
    EXPECT_FALSE(f.poll.restarted);
    EXPECT_EQ(f.lines, Lines{"1001.000 RGBI2CMode(0x10, 0x01, 0x02, 0x03) -> 0x00005A01"});
}

TEST(JournalFollower, StartsAgainWhenTheJournalIsReCreated) {
    struct Case {
        const char* what;
        std::string rewritten; // the whole file after the program loaded the stand-in again
        bool vanish;
    };
    const Case cases[] = {
        {"shorter than what was read", "200.0 A() -> 0x01\n", false},
        {"as long, other lines", "200.0 A() -> 0x01\n200.5 C() -> 0x01\n", false},
        {"longer, other lines", "200.0 A() -> 0x01\n200.5 C() -> 0x01\n200.6 D() -> 0x01\n", false},
        {"empty", "", false},
        {"deleted", "", true},
    };
    for (const auto& c : cases) {
        MemoryJournal journal;
        JournalFollower follower;
        journal.text = "100.0 A() -> 0x01\n100.5 B() -> 0x01\n";
        ASSERT_EQ(PollOnce(follower, journal).lines.size(), 2u);
        journal.text = c.rewritten;
        journal.exists = !c.vanish;
        Follow f = PollOnce(follower, journal);
        EXPECT_TRUE(f.poll.restarted) << c.what;
        EXPECT_EQ(f.lines, Lines{}) << c.what << ": the restart comes alone";
        f = PollOnce(follower, journal);
        EXPECT_FALSE(f.poll.restarted) << c.what << ": once";
        EXPECT_EQ(f.lines.size(), static_cast<std::size_t>(std::count(c.rewritten.begin(), c.rewritten.end(), '\n')))
            << c.what << ": read again from the top";
    }
}

TEST(JournalFollower, DropsOverLongLinesAndReadsOn) {
    MemoryJournal journal;
    JournalFollower follower;
    journal.text = std::string(JournalFollower::kLongestLine + 10, 'x');
    EXPECT_EQ(PollOnce(follower, journal).lines, Lines{});
    journal.text += std::string(JournalFollower::kLongestLine, 'y') + "\n1.0 A() -> 0x01\n";
    EXPECT_EQ(PollOnce(follower, journal).lines, Lines{"1.0 A() -> 0x01"});
}

TEST(LedJournal, ShowsTheNewJournalOnlyOnceTheOldOneIsForgotten) {
    MemoryJournal journal;
    LedJournal view;
    EXPECT_FALSE(view.Poll(journal));
    journal.text = I2c(0x10, 1, 2, 3) + "\n" + Effect(5, 10, 0) + "\n";
    EXPECT_TRUE(view.Poll(journal));
    EXPECT_EQ(view.Model().Leds()[0], (LedColour{1, 2, 3}));
    EXPECT_FALSE(view.Poll(journal)) << "nothing new";
    journal.text = "200.0 InitializeSMB(0x00000000) -> 0x00005A01\n" + I2c(0x11, 4, 5, 6) + "\n";
    EXPECT_TRUE(view.Poll(journal));
    EXPECT_EQ(view.Model().Leds(), Leds{});
    EXPECT_EQ(view.Model().EffectCaption(), "");
    EXPECT_TRUE(view.Poll(journal));
    EXPECT_EQ(view.Model().Leds(), (Leds{{{}, {4, 5, 6}, {}, {}, {}}}));
}

TEST(LedViewSetup, OneRowPerConfiguredPositionInOrder) {
    SimConfig config =
        ParseSimConfig("module 1 3 = a.bin\nmodule 0 2 = b.bin\nmodule 1 3 = c.bin\nmodule 0 0 = d.bin\n");
    std::vector<ModulePosition> expected = {{0, 0}, {0, 2}, {1, 3}};
    EXPECT_EQ(ModuleRows(config), expected);
    EXPECT_TRUE(ModuleRows(ParseSimConfig("journal = j.txt\n")).empty());
}

TEST(LedViewSetup, TellsTheConfigurationFromTheJournal) {
    struct Case {
        const char* name;
        const char* text;
        bool config;
    };
    const Case cases[] = {
        {"smbus-sim.conf", "", true},
        {"setup.txt", "# modules\nmodule 0 0 = a.bin\njournal = j.txt\n", true},
        {"journal.txt", "PROBLEM config line 1 \"x\": expected \"key = value\"\n", false},
        {"journal.txt", "1.0 ReadSPD(0, 0) first_offset=0 count=00001 last_offset=000 bus_ms=00000000.000\n", false},
        {"conf", "\r\n", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsConfigFile(c.name, c.text), c.config) << c.name << ": " << c.text;
    }
}

} // namespace
