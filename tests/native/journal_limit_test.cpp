// The stand-in's journal under a size limit and on a disk that refuses writes, read across its continuations.
#include <gtest/gtest.h>

#include <cstring>

#include "smbus-sim/core/Journal.h"
#include "smbus-sim/core/LedModel.h"
#include "smbus-sim/core/SimConfig.h"

namespace {

using namespace smbus_sim;

// A journal file in memory, written as the stand-in writes it and read as the LED view reads it. While failing
// it refuses every write, leaving half of an appended line behind as a full disk does.
struct MemoryFile final : JournalSink, JournalSource {
    std::uint64_t Append(std::string_view s) override {
        text += failing ? s.substr(0, s.size() / 2) : s;
        return failing ? kNotWritten : text.size() - s.size();
    }
    void Overwrite(std::uint64_t at, std::string_view s) override { text.replace(at, s.size(), s); }
    bool Restart(std::string_view s) override {
        ++restarts;
        text = failing ? text : std::string(s);
        return !failing;
    }
    std::optional<std::uint64_t> Size() override { return text.size(); }
    std::size_t ReadAt(std::uint64_t at, char* out, std::size_t size) override {
        std::size_t n = at < text.size() ? std::min<std::size_t>(size, text.size() - at) : 0;
        std::memcpy(out, text.data() + at, n);
        return n;
    }
    std::string text;
    int restarts = 0;
    bool failing = false;
};

// Reads what the file gained into model, as the LED view does; false if that took the file for a new run.
bool Follow(JournalFollower& follower, MemoryFile& file, LedModel& model) {
    return !follower.Follow(file, [&](std::string_view line) { model.Apply(line); }).restarted;
}

std::string Shown(const LedModel& m) {
    std::string shown;
    for (const LedColour& led : m.Leds()) {
        shown += std::to_string(led.red) + "," + std::to_string(led.green) + " ";
    }
    return shown + m.CommandSetCaption() + "|" + m.EffectCaption() + "|" + (m.ModulesOwnEffect() ? "own" : "frames") +
           "|" + m.LastProblem() + "|" + std::to_string(m.DroppedLines());
}

TEST(JournalLimit, StaysUnderItsLimitAndEveryReaderKeepsTheState) {
    for (std::uint64_t limit : {std::uint64_t{2048}, std::uint64_t{kSmallestJournalMaxKb} * 1024}) {
        MemoryFile file, whole; // whole: every line, as a journal without a limit has them
        Journal journal(file, limit), wholeJournal(whole);
        JournalFollower follower, wholeFollower, fresh;
        LedModel followed, truth, fromLastPart;
        for (std::uint32_t step = 0; step < 1200; ++step) {
            double now = 1000.0 + 50.0 * step;
            for (Journal* j : {&journal, &wholeJournal}) {
                if (step == 0) {
                    j->Problem("config line 9 \"speed = 3\": unknown key \"speed\"");
                    j->ZorvaEffect(now, 7, 4, 0, 0xFF3D45FF, 0x5A01);
                }
                if (step % 40 == 0) { // a new session: select, a parameter, module probes
                    j->RgbI2cMode(now, kSelectCommand, step % 80 ? kSelectFrames : 3, 0, 0, 0x5A01);
                    j->RgbI2cMode(now, kParameterCommand, 1, step % 7, 0, 0x5A01);
                    for (std::uint32_t offset = 0; offset < 8; ++offset) {
                        j->ReadSpd(now, 0, 2, offset, 0.5);
                    }
                }
                for (std::uint32_t k = 0; k < kLedCount; ++k) { // a frame, one LED lit
                    j->RgbI2cMode(now, kFirstLedCommand + k, k == step % kLedCount ? 0xFF : 0, step & 0xFF, 0, 0x5A01);
                }
            }
            ASSERT_LE(file.text.size(), limit) << "step " << step;
            ASSERT_TRUE(Follow(follower, file, followed)) << "step " << step;
            Follow(wholeFollower, whole, truth);
            ASSERT_EQ(Shown(followed), Shown(truth)) << "step " << step << ": shown at once, never cleared";
        }
        EXPECT_GT(journal.Part(), 5u);
        Follow(fresh, file, fromLastPart);
        EXPECT_EQ(Shown(fromLastPart), Shown(truth)) << "a reader that starts on the last part";
        EXPECT_EQ(fromLastPart.NotUnderstood(), 0u);
        unsigned reads = 0;
        for (std::size_t at = 0; (at = file.text.find("count=", at)) != std::string::npos; at += 6) {
            reads += static_cast<unsigned>(std::stoul(file.text.substr(at + 6, 10)));
        }
        EXPECT_EQ(reads, 8u * 30u) << "the totals carried plus the runs since";
    }
}

TEST(JournalLimit, LinesThatCannotBeWrittenAreDroppedCountedAndReported) {
    MemoryFile file;
    Journal journal(file, 64 * 1024);
    journal.RgbI2cMode(1000.0, kSelectCommand, kSelectFrames, 0, 0, 0x5A01);
    file.failing = true;
    for (double t = 1001.0; t < 1001.0 + Journal::kRetryMs; t += 100.0) {
        journal.RgbI2cMode(t, kFirstLedCommand, 1, 2, 3, 0x5A01);
    }
    EXPECT_EQ(journal.Dropped(), 10u);
    EXPECT_EQ(file.restarts, 1) << "one try at once, then one a second at most";
    journal.Call(1001.0 + Journal::kRetryMs, "CheckSPD", "", 0x5A06);
    EXPECT_EQ(file.restarts, 2);
    file.failing = false;
    journal.Call(500.0, "CheckSPD", "", 0x5A06); // the clock went back: no waiting for it to catch up
    EXPECT_EQ(file.text.substr(0, file.text.find('\n')), "500.000 CONTINUED part=2 dropped=11");
    JournalFollower follower;
    LedModel model;
    Follow(follower, file, model);
    EXPECT_EQ(Shown(model), "1,2 0,0 0,0 0,0 0,0 Command set: select 4||frames||11");
    EXPECT_EQ(model.NotUnderstood(), 0u) << "the half-written line went with the old part";
}

TEST(SmbusSimConfig, JournalLimitInKibWithinItsRange) {
    EXPECT_EQ(ParseSimConfig("").journalMaxKb, kDefaultJournalMaxKb);
    EXPECT_EQ(ParseSimConfig("journal_max_kb = 64\n").journalMaxKb, 64u);
    for (const char* refused : {"journal_max_kb = 15", "journal_max_kb = 1048577", "journal_max_kb = 4 MB"}) {
        SimConfig config = ParseSimConfig(refused);
        EXPECT_EQ(config.journalMaxKb, kDefaultJournalMaxKb) << refused;
        EXPECT_EQ(config.problems.size(), 1u) << refused;
    }
}

} // namespace
