// Dark when nobody is looking: the rule over sequences of reasons and the toggle, the night window's arithmetic and
// the idle rule with a fake clock, and the stored settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "lighting/Darkness.h"

namespace {

constexpr DarkReason kReasons[] = {kDarkAsleep, kDarkDisplayOff, kDarkLocked, kDarkIdle, kDarkNight};

TEST(Darkness, GoesDarkAtTheFirstReasonAndRestoresAtTheLastInEveryOrder) {
    // Every reason begins in every order (here: each rotation, forwards and backwards) and ends in every order.
    std::vector<int> order = {0, 1, 2, 3, 4};
    for (bool toggleOn : {true, false}) {
        std::sort(order.begin(), order.end());
        do {
            Darkness darkness;
            std::vector<DarkChange> changes;
            for (int i : order) {
                changes.push_back(darkness.Set(kReasons[i], true, toggleOn));
            }
            EXPECT_EQ(darkness.Reasons(), kDarkReasonsAll);
            std::vector<int> ending = order;
            std::rotate(ending.begin(), ending.begin() + 2, ending.end());
            for (int i : ending) {
                changes.push_back(darkness.Set(kReasons[i], false, toggleOn));
            }
            const DarkChange first = toggleOn ? DarkChange::GoDark : DarkChange::None;
            const DarkChange last = toggleOn ? DarkChange::Restore : DarkChange::None;
            std::vector<DarkChange> expected(10, DarkChange::None);
            expected.front() = first;
            expected.back() = last;
            EXPECT_EQ(changes, expected) << "toggle " << toggleOn;
            EXPECT_FALSE(darkness.Dark());
        } while (std::next_permutation(order.begin(), order.end()));
    }
}

TEST(Darkness, RepeatedEventsAndTheToggleBetweenThem) {
    struct Step {
        DarkReason reason;
        bool holds;
        bool toggleOn;
        DarkChange change;
    };
    const Step steps[] = {
        {kDarkLocked, true, true, DarkChange::GoDark},    {kDarkLocked, true, true, DarkChange::None},
        {kDarkDisplayOff, false, true, DarkChange::None}, // a reason that never held ends
        {kDarkLocked, false, false, DarkChange::None},    // switched off while locked: nothing at unlock
        {kDarkNight, true, false, DarkChange::None},      // off already: night sends nothing
        {kDarkNight, false, true, DarkChange::Restore},   // switched on at night: the lighting comes at dawn
    };
    Darkness darkness;
    for (const Step& step : steps) {
        EXPECT_EQ(darkness.Set(step.reason, step.holds, step.toggleOn), step.change);
    }
    EXPECT_EQ(DescribeDarkReasons(kDarkDisplayOff | kDarkNight), "display off, night");
    EXPECT_EQ(DescribeDarkReasons(0), "");
}

TEST(NightWindow, SpansMidnightAndFindsTheNextBoundary) {
    const NightWindow overnight{23 * 60, 7 * 60}, day{9 * 60, 17 * 60}, oneMinute{0, 1};
    const struct {
        NightWindow night;
        std::int32_t minute;
        bool in;
        std::int32_t toBoundary;
    } cases[] = {
        {overnight, 23 * 60, true, 8 * 60},
        {overnight, 0, true, 7 * 60},
        {overnight, 7 * 60 - 1, true, 1},
        {overnight, 7 * 60, false, 16 * 60},
        {overnight, 22 * 60 + 59, false, 1},
        {day, 12 * 60, true, 5 * 60},
        {day, 17 * 60, false, 16 * 60},
        {day, 8 * 60, false, 60},
        {oneMinute, 0, true, 1},
        {oneMinute, 1, false, 1439},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InNight(c.night, c.minute), c.in) << NightText(c.night) << " at " << c.minute;
        EXPECT_EQ(MinutesToNightBoundary(c.night, c.minute), c.toBoundary) << NightText(c.night) << " at " << c.minute;
    }
    // A clock that jumps forward or back: whatever minute it lands on gives the right answer at once.
    for (std::int32_t minute = 0; minute < kMinutesPerDay; minute += 37) {
        EXPECT_EQ(InNight(overnight, minute), minute >= 23 * 60 || minute < 7 * 60) << minute;
        const std::int32_t boundary = (minute + MinutesToNightBoundary(overnight, minute)) % kMinutesPerDay;
        EXPECT_TRUE(boundary == 23 * 60 || boundary == 7 * 60) << minute;
    }
}

TEST(NightWindow, StoredAndWrittenTimes) {
    EXPECT_EQ(NightWindowOf(1380u, 420u), (NightWindow{1380, 420}));
    EXPECT_FALSE(NightWindowOf(420u, 420u)) << "equal times are not set";
    EXPECT_FALSE(NightWindowOf(1440u, 420u)) << "24:00 is out of range";
    EXPECT_FALSE(NightWindowOf(std::nullopt, 420u));
    EXPECT_EQ(ParseNightText("23:00-07:00"), (NightWindow{1380, 420}));
    EXPECT_EQ(ParseNightText("0:30-6:05"), (NightWindow{30, 365}));
    for (const char* bad :
         {"23:00", "24:00-07:00", "23:60-07:00", "23:00-23:00", "23-07", "ab:cd-07:00", "", "23:0-7:00"}) {
        EXPECT_FALSE(ParseNightText(bad)) << bad;
    }
    EXPECT_EQ(NightText({1380, 420}), "23:00-07:00");
}

TEST(IdleRule, DarkAfterTheMinutesAndCheckedNoMoreThanNeeded) {
    // A fake clock: the time since the last input.
    const struct {
        std::uint32_t minutes, idleMs;
        bool idle;
        std::uint32_t next;
    } cases[] = {
        {10, 0, false, 600'000},    {10, 599'000, false, kIdleCheckMinMs}, {10, 600'000, true, kIdleWakeCheckMs},
        {1, 30'000, false, 30'000}, {1440, 0, false, 86'400'000},
    };
    for (const auto& c : cases) {
        const IdleCheck check = CheckIdle(c.minutes, c.idleMs);
        EXPECT_EQ(check.idle, c.idle) << c.minutes << " " << c.idleMs;
        EXPECT_EQ(check.nextCheckMs, c.next) << c.minutes << " " << c.idleMs;
    }
}

class MemoryRegistry final : public ISettingsRegistry {
public:
    bool ReadValue(std::u16string_view name, std::uint8_t* data, std::uint32_t& size) override {
        const auto found = values.find(std::u16string(name));
        if (found == values.end() || found->second.size() > size) {
            return false;
        }
        std::copy(found->second.begin(), found->second.end(), data);
        size = static_cast<std::uint32_t>(found->second.size());
        return true;
    }
    bool WriteDword(std::u16string_view name, std::uint32_t value) override {
        values[std::u16string(name)] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
        ++writes;
        return true;
    }
    std::map<std::u16string, std::vector<std::uint8_t>> values;
    int writes = 0;
};

TEST(DarkSettings, MissingOrDamagedIsOffAndOnlyChangesAreWritten) {
    MemoryRegistry registry;
    EXPECT_EQ(ReadDarkSettings(registry), DarkSettings{});
    registry.values[std::u16string(kLightsOffWithDisplayValue)] = {1, 0};           // not 4 bytes
    registry.values[std::u16string(kLightsOffAfterIdleValue)] = {0xA1, 0x05, 0, 0}; // 1441 minutes
    registry.values[std::u16string(kNightFromValue)] = {0x2C, 0x01, 0, 0};          // 300 = 05:00
    EXPECT_EQ(ReadDarkSettings(registry), DarkSettings{}) << "damaged values are off, a lone time is no window";
    DarkSettings wanted;
    wanted.locked = true;
    wanted.idleMinutes = 15;
    wanted.night = true;
    wanted.nightWindow = {22 * 60, 6 * 60};
    EXPECT_TRUE(WriteDarkSettings(registry, wanted, ReadDarkSettings(registry)));
    EXPECT_EQ(registry.writes, 5);
    EXPECT_EQ(ReadDarkSettings(registry), wanted);
}

} // namespace
