// The lighting remembered between runs, as a user meets it: applied in one run, sent again at the next start
// with "RestoreLighting" on (also in the tray and with OnlyApplySettings), and the tray item that turns it on.
#include <gtest/gtest.h>

#include <algorithm>

#include "lighting/LightingSequences.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

bool IsLedCommand(const std::string& call) {
    return call.rfind("RGBI2CMode(0x1", 0) == 0;
}
std::vector<std::string> WithoutLedCommands(std::vector<std::string> calls) {
    calls.erase(std::remove_if(calls.begin(), calls.end(), IsLedCommand), calls.end());
    return calls;
}

class RememberedLightingTest : public ProgramTest {
protected:
    RememberedLightingTest() : ProgramTest(L"remember-") {}

    // The milliseconds between the first LED commands of successive frames journalled from line `from` on.
    std::vector<double> FramePeriods(std::size_t from) const {
        std::vector<double> starts;
        const auto lines = Journal();
        for (std::size_t i = from; i < lines.size(); ++i) {
            if (CallOf(lines[i]).rfind("RGBI2CMode(0x10,", 0) == 0) {
                starts.push_back(TimeOf(lines[i]));
            }
        }
        std::vector<double> periods;
        for (std::size_t i = 1; i < starts.size(); ++i) {
            periods.push_back(starts[i] - starts[i - 1]);
        }
        return periods;
    }
};

// The first run's choice: a mode (at speed button 5) or the power toggle turned off.
constexpr int kPowerOff = 0;
struct RestoreCase {
    int mode;
    bool restore;
};
void PrintTo(const RestoreCase& c, std::ostream* out) {
    *out << c.mode << (c.restore ? "/on" : "/off");
}

class RestoreAcrossStartsTest : public RememberedLightingTest, public ::testing::WithParamInterface<RestoreCase> {};

TEST_P(RestoreAcrossStartsTest, SecondStartInTheTraySendsWhatTheFirstRunSent) {
    const auto [mode, restore] = GetParam();
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    std::size_t from = Journal().size();
    if (mode == kPowerOff) {
        Click(GetDlgItem(main, IDC_BTN_POWER));
    } else {
        Click(GetDlgItem(main, IDC_BTN_SPEED_LAST));
        Click(GetDlgItem(main, IDC_BTN_MODE_FIRST + mode - 1));
        Click(GetDlgItem(main, IDC_BTN_APPLY));
    }
    Settle();
    const std::vector<std::string> firstRun = WithoutLedCommands(LightingCallsSince(from));
    ASSERT_FALSE(firstRun.empty());
    ASSERT_TRUE(Quit(main));
    EXPECT_EQ(StoredDword(L"LightsOn"), mode == kPowerOff ? 0u : 1u);
    if (mode != kPowerOff) {
        EXPECT_EQ(StoredDword(L"CurrentMode"), static_cast<DWORD>(mode));
        EXPECT_EQ(StoredDword(L"CurrentSpeed"), 0u) << "speed button 5 sends step 0";
    }

    PutDword(L"RestoreLighting", restore ? 1 : 0);
    main = Start(L"SysTray");
    ASSERT_NE(main, nullptr);
    Sleep(500);
    const std::vector<std::string> secondRun = LightingCallsSince(0);
    if (!restore) {
        EXPECT_TRUE(secondRun.empty()) << "restore off: nothing is sent at start";
        return;
    }
    EXPECT_EQ(WithoutLedCommands(secondRun), firstRun);
    // The window is in the tray: its Apply button is shown (power on) or not, as the power toggle was left.
    const bool applyShown = (GetWindowLongW(GetDlgItem(main, IDC_BTN_APPLY), GWL_STYLE) & WS_VISIBLE) != 0;
    EXPECT_EQ(applyShown, mode != kPowerOff) << "the power toggle as remembered";
    if (mode == kModeMeteor) {
        // Frames every 50 ms (speed button 5) without a click.
        std::vector<double> periods = FramePeriods(0);
        ASSERT_GE(periods.size(), 5u);
        std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
        EXPECT_NEAR(periods[periods.size() / 2], 50.0, 15.0);
    }
    // Waking from sleep sends the remembered lighting again; a remembered "off" stays dark.
    std::size_t beforeResume = Journal().size();
    PostMessageW(main, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    PostMessageW(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    Settle();
    Sleep(300);
    const std::vector<std::string> resumed = LightingCallsSince(beforeResume);
    if (mode == kPowerOff) {
        EXPECT_TRUE(std::none_of(resumed.begin(), resumed.end(), IsLedCommand)) << "no frame lights an LED";
        EXPECT_TRUE(std::find(resumed.begin(), resumed.end(), "RGBI2CMode(0x01, 0x04, 0x00, 0x00)") != resumed.end());
    } else if (mode == kModeMeteor) {
        EXPECT_GE(FramePeriods(beforeResume).size(), 3u) << "the animation goes on after the resume";
    }
}

INSTANTIATE_TEST_SUITE_P(Choices, RestoreAcrossStartsTest,
                         ::testing::Values(RestoreCase{kModeBreathing, true}, RestoreCase{kModeMeteor, true},
                                           RestoreCase{kPowerOff, true}, RestoreCase{kModeMeteor, false}),
                         [](const ::testing::TestParamInfo<RestoreCase>& choice) {
                             return (choice.param.mode == kPowerOff ? std::string("Off")
                                                                    : "Mode" + std::to_string(choice.param.mode)) +
                                    (choice.param.restore ? "RestoreOn" : "RestoreOff");
                         });

TEST_F(RememberedLightingTest, OnlyApplySettingsSendsUnanimatedModesAndEnds) {
    struct Case {
        DWORD mode;
        std::string initialize;
        DWORD exitCode;
        bool sends;
    };
    for (const Case& c : {Case{kModeBreathing, "ok", 0, true}, Case{kModeMeteor, "ok", 0, false},
                          Case{kModeBreathing, "fail", 2, false}}) {
        PutDword(L"RestoreLighting", 1);
        PutDword(L"CurrentMode", c.mode);
        PutDword(L"CurrentSpeed", 0);
        PutDword(L"LightsOn", 1);
        Start(L"OnlyApplySettings", "initialize = " + c.initialize + "\n", false);
        ASSERT_TRUE(process_);
        const std::optional<DWORD> code = process_->WaitForExit(10000);
        ASSERT_TRUE(code) << "still running";
        EXPECT_EQ(*code, c.exitCode) << c.mode << " " << c.initialize;
        EXPECT_TRUE(TopLevelWindows(process_->Id(), kDialogClass).empty()) << "no window, no message box";
        const std::vector<std::string> sent = LightingCallsSince(0);
        EXPECT_EQ(!sent.empty(), c.sends) << c.mode << " " << c.initialize;
        if (c.sends) {
            EXPECT_EQ(sent.front(), "SetZorvaEffect(0x02, 0x0064, 0x00, 0xFF3D45FF)") << "breathing at step 0";
        }
    }
}

TEST_F(RememberedLightingTest, TrayItemWritesTheSettingAtOnce) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(StoredDword(L"RestoreLighting")) << "off on a fresh machine";
    PostMessageW(main, WM_COMMAND, ID_TRAY_RESTORE_LIGHTING, 0);
    Settle();
    EXPECT_EQ(StoredDword(L"RestoreLighting"), 1u) << "written at once";
    PostMessageW(main, WM_COMMAND, ID_TRAY_RESTORE_LIGHTING, 0);
    Settle();
    EXPECT_EQ(StoredDword(L"RestoreLighting"), 0u);
}

} // namespace
