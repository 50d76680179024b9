// The start-up restore of stored graphics-card settings, against a fake card list.
#include "app/UserSettingsRestore.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::u16string SettingsFile = [] {
    const std::string path = std::string(PRISMEL_TESTDATA) + "/ini/UserSettings.txt";
    return std::u16string(path.begin(), path.end());
}();

struct FakeCards final : IGpuCardList {
    std::vector<GpuCardInfo> cards;
    std::vector<GpuCardInfo> Cards() override { return cards; }
};

// Writes down every call, in order, as "card what numbers...".
struct Journal final : IGpuSettingsTarget {
    std::vector<std::string> calls;
    template <typename... Numbers> void Add(std::size_t card, const char* what, Numbers... numbers) {
        std::string line = std::to_string(card) + " " + what;
        ((line += " " + std::to_string(static_cast<int>(numbers))), ...);
        calls.push_back(line);
    }
    void SetClock(std::size_t card, PerfState state, ClockDomain domain, std::int32_t clock) override {
        Add(card, "clock", state, domain, clock);
    }
    void SetVoltageStep(std::size_t card, PerfState state, std::int32_t step) override {
        Add(card, "volt", state, step);
    }
    void SetFanAuto(std::size_t card) override { Add(card, "fan auto"); }
    void SetFanSpeed(std::size_t card, std::int32_t speed) override { Add(card, "fan", speed); }
    void SetAlarmTemperature(std::size_t card, std::int32_t t) override { Add(card, "alarm", t); }
    void Wait(std::chrono::milliseconds time) override { calls.push_back("wait " + std::to_string(time.count())); }
};

// Counts look-ups, to show that nothing is read.
struct CountingFiles final : IIniFileSource {
    CStdioIniFiles files;
    int finds = 0;
    std::optional<std::uint64_t> FindFile(std::u16string_view name) override { return ++finds, files.FindFile(name); }
    FilePtr OpenFile(std::u16string_view name) override { return files.OpenFile(name); }
};

constexpr ValueRange Wide{0, 10000};

TEST(ini_restore, AppliesWhatEachMatchingCardAllows) {
    FakeCards fake;
    GpuCardInfo first{u"10DE1B8110DE", {}, ValueRange{30, 100}};
    first.states[0] = GpuPerfStateLimits{{Wide, std::nullopt, Wide}, ValueRange{0, 40}};        // no shader domain
    first.states[1] = GpuPerfStateLimits{{ValueRange{0, 1000}, Wide, Wide}, ValueRange{0, 40}}; // 5000 is too high
    first.states[2] = GpuPerfStateLimits{{Wide, Wide, Wide}, ValueRange{50, 60}};
    GpuCardInfo second{u"10DE1B8110DE", {}, std::nullopt}; // its section names another card
    second.states[0] = GpuPerfStateLimits{{Wide, Wide, Wide}, std::nullopt};
    GpuCardInfo third{u"card3", {}, Wide};
    third.states[2] = GpuPerfStateLimits{{Wide, Wide, Wide}, std::nullopt}; // no voltage control
    GpuCardInfo fourth{u"CARD4", {}, Wide};                                 // no section Gpu4
    fake.cards = {first, second, third, fourth};

    CStdioIniFiles files;
    Journal journal;
    EXPECT_EQ(RestoreUserSettings(files, fake, journal, SettingsFile), 2);
    const std::vector<std::string> expected = {
        "0 clock 0 0 300",  "0 clock 0 2 405",  "0 volt 0 34",      "0 clock 1 1 700", "0 clock 1 2 810",
        "0 clock 2 0 1500", "0 clock 2 1 3000", "0 clock 2 2 4000", "0 volt 2 52",     "0 fan 60",
        "wait 100",         "0 alarm 90",       "2 clock 2 0 1200", "2 fan auto",
    };
    EXPECT_EQ(journal.calls, expected);
}

TEST(ini_restore, WithoutCardsOrFileNothingHappens) {
    FakeCards none;
    CountingFiles files;
    Journal journal;
    EXPECT_EQ(RestoreUserSettings(files, none, journal, SettingsFile), 0);
    EXPECT_EQ(files.finds, 0);

    FakeCards one;
    one.cards = {GpuCardInfo{u"10de1b8110de", {}, Wide}};
    EXPECT_EQ(RestoreUserSettings(files, one, journal, u"/nonexistent/UserSettings.txt"), 0);
    EXPECT_TRUE(journal.calls.empty());
}

TEST(ini_restore, VoltageStepTruncatesTowardZero) {
    // 12.5 mV a step above 450 mV; truncation toward zero puts 438-462 mV all on step 0.
    const std::vector<std::pair<std::int32_t, std::int32_t>> steps = {
        {462, 0}, {463, 1}, {438, 0}, {437, -1}, {400, -4}, {std::numeric_limits<std::int32_t>::max(), 171798655}};
    for (const auto& [millivolts, step] : steps) {
        EXPECT_EQ(VoltageStep(millivolts), step) << millivolts;
    }
}

} // namespace
