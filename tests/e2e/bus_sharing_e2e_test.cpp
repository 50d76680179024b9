// Sharing the SMBus with a monitoring tool, and the lights through sleep: a thread of this test plays the tool,
// holding the shared bus mutex as such tools do, and the stand-in's journal shows when the program's calls went out.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "lighting/LightingSequences.h"
#include "memory/BusMutex_win32.h"
#include "smbus-sim/SimFiles_win32.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

// Holds the bus mutex in a pattern on a thread of its own until it ends; records when the long hold ended.
class MonitoringTool {
public:
    // Holds for holdMs of every periodMs; a single hold when periodMs is 0.
    MonitoringTool(DWORD holdMs, DWORD periodMs) {
        m_mutex.Reset(CreateMutexW(nullptr, FALSE, kBusMutexName));
        m_thread = std::thread([this, holdMs, periodMs] {
            do {
                if (WaitForSingleObject(m_mutex.Get(), 1000) != WAIT_OBJECT_0) {
                    continue;
                }
                m_holding = true;
                Sleep(holdMs);
                m_releasedAt = smbus_sim::JournalClockMs();
                m_holding = false;
                ReleaseMutex(m_mutex.Get());
                Sleep(periodMs > holdMs ? periodMs - holdMs : 0);
            } while (periodMs != 0 && !m_stop);
        });
        while (!m_holding && periodMs == 0) {
            Sleep(1);
        }
    }
    ~MonitoringTool() {
        m_stop = true;
        m_thread.join();
    }
    double ReleasedAt() const { return m_releasedAt; }
    bool Holding() const { return m_holding; }

private:
    fw::UniqueHandle m_mutex;
    std::atomic<bool> m_holding{false};
    std::atomic<bool> m_stop{false};
    std::atomic<double> m_releasedAt{0};
    std::thread m_thread;
};

class BusSharingTest : public ProgramTest {
protected:
    BusSharingTest() : ProgramTest(L"bus-") {}

    std::vector<std::string> LightingLinesSince(std::size_t from) const {
        std::vector<std::string> lines;
        const auto journal = Journal();
        for (std::size_t i = from; i < journal.size(); ++i) {
            if (journal[i].find("RGBI2CMode(") != std::string::npos ||
                journal[i].find("SetZorvaEffect(") != std::string::npos) {
                lines.push_back(journal[i]);
            }
        }
        return lines;
    }
    // LED frames of Meteor (fastest) sent in about a second.
    std::size_t FramesInASecond() {
        const std::size_t from = Journal().size();
        Sleep(1000);
        Settle();
        const auto lines = LightingLinesSince(from);
        return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return CallOf(line).rfind("RGBI2CMode(0x14", 0) == 0;
        }));
    }
    void ApplyMeteor(HWND main) {
        Click(GetDlgItem(main, IDC_BTN_SPEED_LAST));
        Click(GetDlgItem(main, IDC_BTN_MODE_FIRST + kModeMeteor - 1));
        Click(GetDlgItem(main, IDC_BTN_APPLY));
        Settle();
    }
    // The lighting calls a power broadcast sends: the first `count` calls after it (for a resume, the sending
    // about 2 s later too), and whatever came with them.
    std::vector<std::string> Broadcast(HWND main, WPARAM event, std::size_t count) {
        const std::size_t from = Journal().size();
        PostMessageW(main, WM_POWERBROADCAST, event, 0);
        WaitForLightingCalls(from, count, 10000);
        Settle();
        return LightingCallsSince(from);
    }
};

const std::vector<std::string> kOff = {"RGBI2CMode(0x01, 0x04, 0x00, 0x00)",
                                       "SetZorvaEffect(0x01, 0x0000, 0x00, 0xFF000000)"};
const std::vector<std::string> kPrismel = {"SetZorvaEffect(0x06, 0x000C, 0x00, 0x00000000)",
                                           "RGBI2CMode(0x01, 0x02, 0x00, 0x00)"};

TEST_F(BusSharingTest, AnApplyDuringALongHoldGoesOutAtTheReleaseAndTheWindowKeepsAnswering) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    const std::size_t from = Journal().size();
    double slowest = 0;
    {
        MonitoringTool tool(2000, 0);
        Click(GetDlgItem(main, IDC_BTN_RESET));
        while (tool.Holding()) {
            const double before = smbus_sim::JournalClockMs();
            DWORD_PTR ignored = 0;
            ASSERT_NE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_BLOCK, 1000, &ignored), 0);
            slowest = std::max(slowest, smbus_sim::JournalClockMs() - before);
            Sleep(20);
        }
        WaitForLightingCalls(from, 1);
        const auto sent = LightingLinesSince(from);
        ASSERT_FALSE(sent.empty());
        EXPECT_GE(TimeOf(sent.front()), tool.ReleasedAt() - 1.0) << "nothing went out while the tool held the bus";
        EXPECT_LT(TimeOf(sent.front()) - tool.ReleasedAt(), 100.0) << "sent within 100 ms of the release";
    }
    EXPECT_LT(slowest, 100.0) << "the window answered within 100 ms throughout";
}

TEST_F(BusSharingTest, MeteorKeepsAnimatingWhileAToolPollsTheBus) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    ApplyMeteor(main);
    const std::size_t alone = FramesInASecond();
    std::size_t shared = 0;
    {
        MonitoringTool tool(5, 10);
        shared = FramesInASecond();
    }
    std::printf("Meteor frames a second: %zu alone, %zu with a tool holding the bus 5 ms of every 10 ms\n", alone,
                shared);
    EXPECT_GT(alone, 5u);
    EXPECT_GE(shared * 2, alone) << "at least half the frames still go out";
}

TEST_F(BusSharingTest, TurnedOffTheProgramTakesNoMutex) {
    PutDword(L"SharedSmbusAccess", 0);
    expectGuardedCalls_ = false;
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    const auto journal = Journal();
    EXPECT_NE(std::find_if(journal.begin(), journal.end(),
                           [](const std::string& line) { return line.find("UNGUARDED") != std::string::npos; }),
              journal.end());
}

TEST_F(BusSharingTest, SleepKeepsOffOffAndOnOn) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    Click(GetDlgItem(main, IDC_BTN_RESET));
    Settle();
    EXPECT_EQ(Broadcast(main, PBT_APMSUSPEND, kPrismel.size()), kPrismel) << "on: the lighting again";
    Click(GetDlgItem(main, IDC_BTN_POWER));
    Settle();
    EXPECT_EQ(Broadcast(main, PBT_APMSUSPEND, kOff.size()), kOff) << "off stays off";
    std::vector<std::string> twice = kOff;
    twice.insert(twice.end(), kOff.begin(), kOff.end());
    EXPECT_EQ(Broadcast(main, PBT_APMRESUMEAUTOMATIC, twice.size()), twice) << "at the resume and ~2 s later";
    EXPECT_FALSE(IsVisible(GetDlgItem(main, IDC_BTN_APPLY))) << "the toggle still shows off";
}

TEST_F(BusSharingTest, LightsOffWhileAsleepDarkensAtSuspendAndComesBackAtResume) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_COMMAND, ID_TRAY_LIGHTS_OFF_ASLEEP, 0);
    Settle();
    EXPECT_EQ(StoredDword(L"LightsOffWhileAsleep"), 1u) << "the tray item writes the setting at once";
    Click(GetDlgItem(main, IDC_BTN_RESET));
    Settle();
    EXPECT_EQ(Broadcast(main, PBT_APMSUSPEND, kOff.size()), kOff);
    std::vector<std::string> twice = kPrismel;
    twice.insert(twice.end(), kPrismel.begin(), kPrismel.end());
    EXPECT_EQ(Broadcast(main, PBT_APMRESUMEAUTOMATIC, twice.size()), twice);
    EXPECT_TRUE(IsVisible(GetDlgItem(main, IDC_BTN_APPLY))) << "the toggle stays on";
}

} // namespace
