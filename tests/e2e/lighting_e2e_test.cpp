// The lighting page as a user works it, read back from the SMBus stand-in's journal: every mode with a speed and
// Apply under each answer of CheckSPD, the power toggle, Reset during an animation, a power broadcast, the colour
// boxes and the animation's frames and period.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "lighting/LightingSequences.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

class LightingTest : public ProgramTest {
protected:
    LightingTest() : ProgramTest(L"lighting-") {}

    // The lighting calls journalled since line `from`, without timestamps.
    std::vector<std::string> CallsSince(std::size_t from) const {
        std::vector<std::string> calls;
        auto lines = Journal();
        for (std::size_t i = from; i < lines.size(); ++i) {
            std::string call = CallOf(lines[i]);
            if (call.rfind("RGBI2CMode(", 0) == 0 || call.rfind("SetZorvaEffect(", 0) == 0) {
                calls.push_back(call);
            }
        }
        return calls;
    }
    // Clicks and returns what the click sent.
    std::vector<std::string> ClickAndRead(HWND main, int id) {
        std::size_t from = Journal().size();
        Click(GetDlgItem(main, id));
        Settle();
        return CallsSince(from);
    }
};

std::string Rgb(int command, int a, int b, int c) {
    char text[64];
    std::snprintf(text, sizeof text, "RGBI2CMode(0x%02X, 0x%02X, 0x%02X, 0x%02X)", command, a, b, c);
    return text;
}
std::string Effect(int mode, int speed, unsigned colour) {
    char text[64];
    std::snprintf(text, sizeof text, "SetZorvaEffect(0x%02X, 0x%04X, 0x00, 0x%08X)", mode, speed, colour);
    return text;
}
bool IsLedCommand(const std::string& call) {
    return call.rfind("RGBI2CMode(0x1", 0) == 0;
}

// What Apply sends for each mode at speed step S = 3 (speed button 2) with the boxes at 61, 69, 255.
struct ModeCalls {
    std::string effect;
    std::vector<std::string> commandSet;
};
std::vector<std::string> UserFrame() {
    std::vector<std::string> frame;
    for (int k = 0; k < 5; ++k) {
        frame.push_back(Rgb(16 + k, 61, 69, 255));
    }
    return frame;
}
std::vector<std::string> With(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
const ModeCalls kModes[10] = {
    {Effect(1, 0, 0xFF3D45FF), With({Rgb(1, 3, 0, 0), Rgb(2, 0, 0, 0), Rgb(2, 16, 0, 0)}, UserFrame())},
    {Effect(2, 400, 0xFF3D45FF),
     With({Rgb(1, 3, 0, 0), Rgb(2, 1, 3, 0), Rgb(2, 0, 1, 0), Rgb(2, 16, 0, 0)}, UserFrame())},
    {Effect(3, 200, 0xFF3D45FF),
     With({Rgb(1, 3, 0, 0), Rgb(2, 2, 3, 0), Rgb(2, 0, 3, 0), Rgb(2, 16, 0, 0)}, UserFrame())},
    {Effect(4, 200, 0xFF3D45FF),
     With({Rgb(1, 3, 0, 0), Rgb(2, 3, 48, 0), Rgb(2, 0, 4, 0), Rgb(2, 16, 0, 0)}, UserFrame())},
    {Effect(5, 40, 0), {Rgb(1, 3, 0, 0), Rgb(2, 0, 0, 0), Rgb(2, 17, 105, 0), Rgb(2, 16, 1, 0)}},
    {Effect(6, 12, 0), {Rgb(1, 2, 0, 0)}},
    {Effect(7, 16, 0), {Rgb(1, 4, 0, 0)}},
    {Effect(8, 16, 0), {Rgb(1, 4, 0, 0)}},
    {Effect(9, 16, 0), {Rgb(1, 4, 0, 0)}},
    {Effect(10, 16, 0), {Rgb(1, 4, 0, 0)}},
};

class LightingFlagsTest : public LightingTest, public ::testing::WithParamInterface<int> {};

TEST_P(LightingFlagsTest, EveryModeReachesTheCommandSetsCheckSpdNamed) {
    const int checkSpd = GetParam();
    const bool commandSet = (checkSpd & 2) != 0, effect = (checkSpd & 4) != 0;
    HWND main = Start(L"", "checkspd = " + std::to_string(checkSpd) + "\n");
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(ClickAndRead(main, IDC_BTN_SPEED_FIRST + 1).empty()) << "a speed button sends nothing";
    for (int mode = 1; mode <= 10; ++mode) {
        std::vector<std::string> chosen = ClickAndRead(main, IDC_BTN_MODE_FIRST + mode - 1);
        EXPECT_TRUE(std::all_of(chosen.begin(), chosen.end(), IsLedCommand)) << "a mode button sends nothing";
        std::vector<std::string> sent = ClickAndRead(main, IDC_BTN_APPLY);
        // Frames of the animation that was running may come before the click was handled.
        sent.erase(sent.begin(), std::find_if(sent.begin(), sent.end(), [](auto& c) { return !IsLedCommand(c); }));
        std::vector<std::string> expected;
        if (effect) {
            expected.push_back(kModes[mode - 1].effect);
        }
        if (commandSet) {
            expected = With(expected, kModes[mode - 1].commandSet);
        }
        sent.resize(std::min(sent.size(), mode >= 7 && commandSet ? expected.size() : sent.size()));
        EXPECT_EQ(sent, expected) << "mode " << mode << ", CheckSPD " << checkSpd;
    }
    // Only command-set modules are animated: with them the last mode's frames keep coming.
    std::size_t from = Journal().size();
    Sleep(400);
    EXPECT_EQ(!CallsSince(from).empty(), commandSet);
}

INSTANTIATE_TEST_SUITE_P(CheckSpd, LightingFlagsTest, ::testing::Values(0, 2, 4, 6));

TEST_F(LightingTest, PowerToggleOffThenOn) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ClickAndRead(main, IDC_BTN_POWER), (std::vector<std::string>{Rgb(1, 4, 0, 0), Effect(1, 0, 0xFF000000)}));
    for (int id : {IDC_BTN_APPLY, IDC_BTN_RESET, IDC_BTN_MODE_FIRST, IDC_BTN_MODE_LAST}) {
        EXPECT_FALSE(IsVisible(GetDlgItem(main, id))) << id;
    }
    // A power broadcast while off sends the off sequence again (off stays off) and leaves the toggle off.
    std::size_t from = Journal().size();
    PostMessageW(main, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
    Settle();
    EXPECT_EQ(CallsSince(from), (std::vector<std::string>{Rgb(1, 4, 0, 0), Effect(1, 0, 0xFF000000)}));
    EXPECT_FALSE(IsVisible(GetDlgItem(main, IDC_BTN_APPLY)));

    // On again: the selected mode (6 at start) at speed button 1 (step 4).
    EXPECT_EQ(ClickAndRead(main, IDC_BTN_POWER), (std::vector<std::string>{Effect(6, 12, 0), Rgb(1, 2, 0, 0)}));
    for (int id : {IDC_BTN_APPLY, IDC_BTN_RESET, IDC_BTN_MODE_FIRST, IDC_BTN_MODE_LAST}) {
        EXPECT_TRUE(IsVisible(GetDlgItem(main, id))) << id;
    }
}

TEST_F(LightingTest, ResetDuringAnAnimationStopsTheFramesBeforeSelectTwo) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    ClickAndRead(main, IDC_BTN_SPEED_LAST);
    ClickAndRead(main, IDC_BTN_MODE_FIRST + kModeMeteor - 1);
    std::size_t from = Journal().size();
    ClickAndRead(main, IDC_BTN_APPLY);
    // A few frames of the animation, then Reset, until its select 2 is in the journal.
    ASSERT_TRUE(WaitFor([&] { return CallsSince(from).size() >= 12; }));
    ClickAndRead(main, IDC_BTN_RESET);
    ASSERT_TRUE(WaitFor([&] {
        const auto sent = CallsSince(from);
        return std::find(sent.begin(), sent.end(), Rgb(1, 2, 0, 0)) != sent.end();
    }));
    Settle();
    std::vector<std::string> calls = CallsSince(from);
    auto select2 = std::find(calls.begin(), calls.end(), Rgb(1, 2, 0, 0));
    ASSERT_NE(select2, calls.end());
    EXPECT_GT(std::count_if(calls.begin(), select2, IsLedCommand), 5) << "the animation ran";
    EXPECT_EQ(std::count_if(calls.begin(), select2, IsLedCommand) % 5, 0) << "only whole frames";
    EXPECT_EQ(std::vector<std::string>(select2, calls.end()),
              (std::vector<std::string>{Rgb(1, 2, 0, 0), Effect(6, 12, 0)}))
        << "no frame after Reset";
}

TEST_F(LightingTest, ColourBoxesStayWithinAByteAndTheWheelBackgroundChangesNothing) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    struct Typed {
        const wchar_t* text;
        const wchar_t* shown;
    };
    for (Typed t : {Typed{L"300", L"255"}, Typed{L"0", L"0"}, Typed{L"", L""}, Typed{L"12", L"12"}}) {
        SendMessageW(GetDlgItem(main, IDC_GREEN_BOX), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.text));
        EXPECT_EQ(GetText(GetDlgItem(main, IDC_GREEN_BOX)), t.shown)
            << "typed " << std::string(t.text, t.text + wcslen(t.text));
    }
    // A click at the wheel's corner, once the wheel has painted, is outside its disc.
    EXPECT_TRUE(WaitFor([&] { return CaptureWindow(main).At(759 + 84, 111 + 84) != 0; }, 5000));
    EXPECT_TRUE(ClickAndRead(main, IDC_BTN_COLOUR_WHEEL).empty());
    EXPECT_EQ(GetText(GetDlgItem(main, IDC_RED_BOX)), L"61");
    // Apply sends what the boxes show.
    ClickAndRead(main, IDC_BTN_MODE_FIRST);
    EXPECT_EQ(ClickAndRead(main, IDC_BTN_APPLY).front(), Effect(1, 0, 0xFF3D0CFF));
}

TEST_F(LightingTest, AnimatedModesFirstFramesAndTickPeriod) {
    HWND main = Start(L"", "checkspd = 2\n");
    ASSERT_NE(main, nullptr);
    const char* firstFrames[4] = {"0----", "0----", "0----", "43210"}; // palette index per LED, '-' unlit
    const unsigned palette[7] = {0xFF0000, 0xFF6400, 0xFFFF00, 0x00FF00, 0x0064FF, 0x0000FF, 0x6400FF};
    struct Speed {
        int button;
        double periodMs;
    };
    for (Speed speed : {Speed{4, 50.0}, Speed{0, 130.0}}) {
        ClickAndRead(main, IDC_BTN_SPEED_FIRST + speed.button);
        for (int mode = 7; mode <= 10; ++mode) {
            ClickAndRead(main, IDC_BTN_MODE_FIRST + mode - 1);
            std::size_t from = Journal().size();
            Click(GetDlgItem(main, IDC_BTN_APPLY));
            Sleep(static_cast<DWORD>(speed.periodMs * 12));
            auto lines = Journal();
            std::vector<std::string> frames; // LED lines after the select
            std::vector<double> frameTimes;
            for (std::size_t i = from; i < lines.size(); ++i) {
                std::string call = CallOf(lines[i]);
                if (IsLedCommand(call)) {
                    frames.push_back(call);
                    if (frames.size() % 5 == 1) {
                        frameTimes.push_back(TimeOf(lines[i]));
                    }
                }
            }
            ASSERT_GE(frameTimes.size(), 6u) << "mode " << mode;
            std::string first;
            for (int k = 0; k < 5; ++k) {
                unsigned r = 0, g = 0, b = 0, command = 0;
                std::sscanf(frames[k].c_str(), "RGBI2CMode(0x%X, 0x%X, 0x%X, 0x%X)", &command, &r, &g, &b);
                EXPECT_EQ(command, 16u + k);
                unsigned rgb = r << 16 | g << 8 | b;
                auto at = std::find(std::begin(palette), std::end(palette), rgb);
                first += rgb == 0 ? '-' : at == std::end(palette) ? '?' : static_cast<char>('0' + (at - palette));
            }
            if (speed.button == 4) {
                EXPECT_EQ(first, firstFrames[mode - 7]) << "mode " << mode;
            }
            std::vector<double> gaps;
            for (std::size_t i = 1; i < frameTimes.size(); ++i) {
                gaps.push_back(frameTimes[i] - frameTimes[i - 1]);
            }
            std::sort(gaps.begin(), gaps.end());
            double median = gaps[gaps.size() / 2];
            EXPECT_NEAR(median, speed.periodMs, 15.0) << "mode " << mode << " speed button " << speed.button + 1;
        }
    }
}

} // namespace
