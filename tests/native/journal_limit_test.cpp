// The stand-in's journal under a size limit and on a disk that refuses writes, and its readers across the
// journal's continuations: the LED view's follower and a reader that starts on a continued journal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "smbus-sim/core/Journal.h"
#include "smbus-sim/core/JournalFollower.h"
#include "smbus-sim/core/LedModel.h"
#include "smbus-sim/core/SimConfig.h"

namespace {

using namespace smbus_sim;

// A journal file in memory, written as the stand-in's file is and read as the LED view reads it. While failing
// it refuses every write, leaving half of an appended line behind as a full disk does.
class MemoryFile final : public JournalSink, public JournalSource {
public:
    std::uint64_t Append(std::string_view s) override {
        if (failing) {
            text += s.substr(0, s.size() / 2);
            return kNotWritten;
        }
        text += s;
        largest = std::max(largest, text.size());
        return text.size() - s.size();
    }
    void Overwrite(std::uint64_t at, std::string_view s) override { text.replace(at, s.size(), s); }
    bool Restart(std::string_view s) override {
        ++restarts;
        if (failing) {
            return false;
        }
        text = s;
        largest = std::max(largest, text.size());
        return true;
    }
    std::optional<std::uint64_t> Size() override { return text.size(); }
    std::size_t ReadAt(std::uint64_t offset, char* out, std::size_t size) override {
        std::size_t n = offset < text.size() ? std::min<std::size_t>(size, text.size() - offset) : 0;
        std::memcpy(out, text.data() + offset, n);
        return n;
    }

    std::string text;
    std::size_t largest = 0;
    int restarts = 0;
    bool failing = false;
};

LedModel ModelOf(const std::string& text) {
    LedModel model;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        model.Apply(std::string_view(text).substr(start, end - start));
    }
    return model;
}

void ExpectSameShown(const LedModel& seen, const LedModel& truth, const std::string& where) {
    EXPECT_EQ(seen.Leds(), truth.Leds()) << where;
    EXPECT_EQ(seen.CommandSetCaption(), truth.CommandSetCaption()) << where;
    EXPECT_EQ(seen.EffectCaption(), truth.EffectCaption()) << where;
    EXPECT_EQ(seen.ModulesOwnEffect(), truth.ModulesOwnEffect()) << where;
    EXPECT_EQ(seen.LastProblem(), truth.LastProblem()) << where;
}

// What the program sends: an effect, the module probes, then command-set sessions of frames in one colour each.
void Drive(Journal& journal, int step, double& now) {
    now += 10.0;
    if (step == 0) {
        journal.Problem("config line 9 \"speed = fast\": unknown key \"speed\"");
        journal.ZorvaEffect(now, 7, 4, 0, 0xFF3D45FF, 0x5A01);
        for (std::uint32_t offset = 0; offset < 512; ++offset) {
            journal.ReadSpd(now, 0, 2, offset, 0.5);
        }
    }
    if (step % 40 == 0) {
        journal.RgbI2cMode(now, kSelectCommand, step % 80 == 0 ? 3 : kSelectFrames, 0, 0, 0x5A01);
        journal.RgbI2cMode(now, kParameterCommand, 1, static_cast<std::uint32_t>(step % 7), 0, 0x5A01);
        journal.ReadSpd(now, 1, 4, 0, 0.5);
    }
    for (std::uint32_t k = 0; k < kLedCount; ++k) {
        std::uint32_t lit = k == static_cast<std::uint32_t>(step) % kLedCount ? 0xFF : 0;
        journal.RgbI2cMode(now, kFirstLedCommand + k, lit, static_cast<std::uint32_t>(step) & 0xFF, 0, 0x5A01);
    }
}

// The reads a journal's lines account for: its runs plus the totals a continuation carries.
unsigned ReadsIn(const std::string& text) {
    unsigned reads = 0;
    for (std::size_t at = 0; (at = text.find("count=", at)) != std::string::npos; at += 6) {
        reads += static_cast<unsigned>(std::stoul(text.substr(at + 6, 10)));
    }
    return reads;
}

TEST(JournalLimit, StaysUnderItsLimitAndEveryReaderKeepsTheState) {
    for (std::uint64_t limit : {std::uint64_t{2048}, std::uint64_t{kSmallestJournalMaxKb} * 1024}) {
        std::string where = "limit " + std::to_string(limit);
        MemoryFile file;
        Journal journal(file, limit);
        MemoryFile whole; // every line, as an unlimited journal writes it
        Journal wholeJournal(whole);
        JournalFollower follower, wholeFollower;
        LedModel followed, truth;
        double now = 1000.0, wholeNow = 1000.0;
        int continued = 0;
        constexpr int kSteps = 1200;
        for (int step = 0; step < kSteps; ++step) {
            Drive(journal, step, now);
            Drive(wholeJournal, step, wholeNow);
            ASSERT_LE(file.text.size(), limit) << where << ", step " << step;
            // The view polls after every tick: it must show what the program sent, at once and without a reset.
            auto poll = follower.Follow(file, [&](std::string_view line) { followed.Apply(line); });
            ASSERT_FALSE(poll.restarted) << where << ", step " << step;
            continued += poll.continued;
            wholeFollower.Follow(whole, [&](std::string_view line) { truth.Apply(line); });
            ExpectSameShown(followed, truth, where + ", step " + std::to_string(step));
        }
        EXPECT_LE(file.largest, limit) << where;
        EXPECT_GT(journal.Part(), 5u) << where;
        EXPECT_EQ(continued, static_cast<int>(journal.Part()) - 1) << where << ": every part followed";
        EXPECT_TRUE(IsContinuationLine(file.text.substr(0, file.text.find('\n')))) << file.text;
        ExpectSameShown(ModelOf(file.text), truth, where + ": read from the last part alone");
        EXPECT_EQ(ReadsIn(file.text), 512u + kSteps / 40) << where;
        EXPECT_EQ(ModelOf(file.text).NotUnderstood(), 0u) << where;
    }
}

TEST(JournalLimit, LinesThatCannotBeWrittenAreDroppedCountedAndReported) {
    MemoryFile file;
    Journal journal(file, 64 * 1024);
    journal.RgbI2cMode(1000.0, kSelectCommand, kSelectFrames, 0, 0, 0x5A01);
    file.failing = true;
    // The first failure tries to start anew at once, then once a second at most.
    for (double t = 1001.0; t < 1001.0 + Journal::kRetryMs; t += 100.0) {
        journal.RgbI2cMode(t, kFirstLedCommand, 1, 2, 3, 0x5A01);
    }
    EXPECT_EQ(journal.Dropped(), 10u);
    EXPECT_EQ(file.restarts, 1);
    journal.Call(1001.0 + Journal::kRetryMs, "CheckSPD", "", 0x5A06);
    EXPECT_EQ(file.restarts, 2);
    EXPECT_EQ(journal.Dropped(), 11u);

    file.failing = false;
    journal.Call(500.0, "CheckSPD", "", 0x5A06); // the clock went back: no waiting for it to catch up
    EXPECT_EQ(journal.Dropped(), 11u);
    EXPECT_EQ(file.text.substr(0, file.text.find('\n')), "500.000 CONTINUED part=2 dropped=11");
    LedModel model = ModelOf(file.text);
    EXPECT_EQ(model.DroppedLines(), 11u);
    EXPECT_EQ(model.Leds()[0], (LedColour{1, 2, 3})) << "the state kept through the failure";
    EXPECT_EQ(model.NotUnderstood(), 0u) << "the half-written line went with the old part";
}

TEST(JournalFollower, ReadsOnAtOnceOnlyThroughACompleteContinuationLine) {
    struct Case {
        const char* what;
        std::string next; // the whole file after the first part was read
        bool continued;
        std::size_t lines; // handed over by the poll that finds the change
    };
    const Case cases[] = {
        {"continued", "300.0 CONTINUED part=2 dropped=0\n300.0 STATE A() -> 0x01\n300.5 C() -> 0x01\n", true, 3},
        {"continuation line not complete yet", "300.0 CONTINUED part=2 dr", false, 0},
        {"a word like it", "300.0 CONTINUEDX part=2\n", false, 0},
        {"a program loading the stand-in", "300.0 InitializeSMB(0x00400000) -> 0x00005A01\n", false, 0},
    };
    for (const auto& c : cases) {
        MemoryFile file;
        file.text = "100.0 A() -> 0x01\n100.5 B() -> 0x01\n100.6 B() -> 0x01\n";
        JournalFollower follower;
        std::size_t lines = 0;
        follower.Follow(file, [&](std::string_view) { ++lines; });
        file.text = c.next;
        auto poll = follower.Follow(file, [](std::string_view) {});
        EXPECT_EQ(poll.continued, c.continued) << c.what;
        EXPECT_EQ(poll.restarted, !c.continued) << c.what;
        EXPECT_EQ(poll.lines, c.lines) << c.what;
    }
}

TEST(SmbusSimConfig, JournalLimitInKibWithinItsRange) {
    struct Case {
        const char* text;
        std::uint32_t maxKb;
        bool refused;
    };
    const Case cases[] = {
        {"", kDefaultJournalMaxKb, false},
        {"journal_max_kb = 64\n", 64, false},
        {"JOURNAL_MAX_KB=16\n", kSmallestJournalMaxKb, false},
        {"journal_max_kb = 1048576\n", kLargestJournalMaxKb, false},
        {"journal_max_kb = 15\n", kDefaultJournalMaxKb, true},
        {"journal_max_kb = 1048577\n", kDefaultJournalMaxKb, true},
        {"journal_max_kb = -64\n", kDefaultJournalMaxKb, true},
        {"journal_max_kb = 4 MB\n", kDefaultJournalMaxKb, true},
        {"journal_max_kb =\n", kDefaultJournalMaxKb, true},
    };
    for (const auto& c : cases) {
        SimConfig config = ParseSimConfig(c.text);
        EXPECT_EQ(config.journalMaxKb, c.maxKb) << c.text;
        EXPECT_EQ(config.problems.size(), c.refused ? 1u : 0u) << c.text;
    }
}

} // namespace
