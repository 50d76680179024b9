// The lighting command sequences against a recording port: what each mode sends under each pair of flags, Reset
// and switch-off, and the animation cycles of modes 7-10.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lighting/LightingSequences.h"

namespace {

// Every call as one line: "I 01 03 00 00" (RGBI2CMode), "E 02 0064 00 FF3D45FF" (SetZorvaEffect), "T+ 50", "T-".
class RecordingPort final : public LightingPort {
public:
    void RgbI2cMode(std::uint8_t command, std::uint8_t a, std::uint8_t b, std::uint8_t c) override {
        Add("I %02X %02X %02X %02X", command, a, b, c);
    }
    void SetZorvaEffect(std::uint8_t mode, std::uint16_t speed, std::uint8_t zero, std::uint32_t argb) override {
        Add("E %02X %04X %02X %08X", mode, speed, zero, argb);
    }
    void StartLightingTimer(std::int32_t periodMs) override { Add("T+ %d", periodMs); }
    void StopLightingTimer() override { calls.push_back("T-"); }

    std::vector<std::string> calls;

private:
    template <class... A> void Add(const char* format, A... args) {
        char line[48];
        std::snprintf(line, sizeof line, format, static_cast<unsigned>(args)...);
        calls.push_back(line);
    }
};

std::string Select(int n) {
    return "I 01 0" + std::to_string(n) + " 00 00";
}
std::string Param(int p, int v) {
    char line[32];
    std::snprintf(line, sizeof line, "I 02 %02X %02X 00", p, v);
    return line;
}
std::vector<std::string> UserFrame(const char* rgb) {
    std::vector<std::string> frame;
    for (int k = 0; k < 5; ++k) {
        frame.push_back("I " + std::to_string(10 + k) + " " + rgb);
    }
    return frame;
}
std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

constexpr ColourBoxValues kBoxes{61, 69, 255};
constexpr char kBoxesRgb[] = "3D 45 FF";

struct ModeCase {
    std::int32_t mode;
    std::uint8_t speedValue;
    std::string effect;                  // the one effect call
    std::vector<std::string> commandSet; // the command-set sequence
};

const std::vector<ModeCase> kModeCases = {
    {0, 2, "E 00 0000 00 00000000", {Select(4)}},
    {1, 4, "E 01 0000 00 FF3D45FF", Join({Select(3), Param(0, 0), Param(16, 0)}, UserFrame(kBoxesRgb))},
    {2, 0, "E 02 0064 00 FF3D45FF", Join({Select(3), Param(1, 0), Param(0, 1), Param(16, 0)}, UserFrame(kBoxesRgb))},
    {2, 4, "E 02 01F4 00 FF3D45FF", Join({Select(3), Param(1, 4), Param(0, 1), Param(16, 0)}, UserFrame(kBoxesRgb))},
    {3, 1, "E 03 0064 00 FF3D45FF", Join({Select(3), Param(2, 1), Param(0, 3), Param(16, 0)}, UserFrame(kBoxesRgb))},
    {4, 0, "E 04 0032 00 FF3D45FF", Join({Select(3), Param(3, 24), Param(0, 4), Param(16, 0)}, UserFrame(kBoxesRgb))},
    {4, 4, "E 04 00FA 00 FF3D45FF", Join({Select(3), Param(3, 56), Param(0, 4), Param(16, 0)}, UserFrame(kBoxesRgb))},
    {5, 0, "E 05 000A 00 00000000", {Select(3), Param(0, 0), Param(17, 60), Param(16, 1)}},
    {5, 4, "E 05 0032 00 00000000", {Select(3), Param(0, 0), Param(17, 120), Param(16, 1)}},
    {6, 3, "E 06 000C 00 00000000", {Select(2)}},
    {7, 0, "E 07 0004 00 00000000", {Select(4), "T+ 50"}},
    {8, 1, "E 08 0008 00 00000000", {Select(4), "T+ 70"}},
    {9, 2, "E 09 000C 00 00000000", {Select(4), "T+ 90"}},
    {10, 4, "E 0A 0014 00 00000000", {Select(4), "T+ 130"}},
};

TEST(LightingSequences, ApplySendsEachModeToTheCommandSetsTheFlagsName) {
    for (const ModeCase& c : kModeCases) {
        for (int flagBits = 0; flagBits < 4; ++flagBits) {
            SmbusFlags flags{(flagBits & 1) != 0, (flagBits & 2) != 0};
            LightingState state;
            state.CurrentMode = c.mode;
            state.SpeedValue = c.speedValue;
            state.AnimStep = 3;
            state.PaletteIndex = 5;
            RecordingPort port;
            ApplyLighting(state, flags, kBoxes, port);

            // The timer stops first, the effect call goes before the command-set sequence.
            std::vector<std::string> expected = {"T-"};
            if (flags.useSetZorvaEffect) {
                expected.push_back(c.effect);
            }
            if (flags.useRgbI2cMode) {
                expected = Join(expected, c.commandSet);
            }
            EXPECT_EQ(port.calls, expected) << "mode " << c.mode << " S " << int{c.speedValue} << " flags " << flagBits;
            EXPECT_EQ(state.CurrentColor, 0xFF453Du);
            EXPECT_EQ(state.AnimStep, 0u);
            EXPECT_EQ(state.PaletteIndex, 0u);
        }
    }
}

TEST(LightingSequences, ApplyTakesTheLowBytesOfTheBoxes) {
    LightingState state;
    state.CurrentMode = 1;
    RecordingPort port;
    ApplyLighting(state, {true, true}, {0x1FF, -1, 256}, port);
    EXPECT_EQ(port.calls[1], "E 01 0000 00 FFFFFF00");
    EXPECT_EQ(port.calls.back(), "I 14 FF FF 00");
    EXPECT_EQ(state.CurrentColor, 0x00FFFFu);
}

TEST(LightingSequences, ResetAndSwitchOff) {
    struct Case {
        SmbusFlags flags;
        std::vector<std::string> reset;
    };
    const Case cases[] = {
        {{false, false}, {"T-"}},
        {{true, false}, {"T-", Select(2)}},
        {{false, true}, {"T-", "E 06 000C 00 00000000"}},
        {{true, true}, {"T-", Select(2), "E 06 000C 00 00000000"}},
    };
    for (const Case& c : cases) {
        LightingState state;
        state.Shown.SelectedMode = 2;
        state.CurrentMode = 7;
        state.AnimStep = 3;
        RecordingPort port;
        ResetLighting(state, c.flags, port);
        EXPECT_EQ(port.calls, c.reset);
        EXPECT_EQ(state.Shown.SelectedMode, 6);
        EXPECT_EQ(state.CurrentMode, 6);
        EXPECT_EQ(state.AnimStep, 3u) << "Reset leaves the animation counters";
    }
    // Switching off sends both calls whatever the flags, and keeps the mode.
    LightingState state;
    state.CurrentMode = 2;
    RecordingPort port;
    SwitchOffLighting(port);
    EXPECT_EQ(port.calls, (std::vector<std::string>{"T-", Select(4), "E 01 0000 00 FF000000"}));
}

// The LED each tick lights ('-' unlit, else the palette index), over two full palette turns.
std::string Frame(const std::vector<std::string>& calls, std::size_t first) {
    std::string frame;
    for (std::size_t k = 0; k < 5; ++k) {
        const std::string& call = calls[first + k];
        EXPECT_EQ(call.substr(0, 4), "I " + std::to_string(10 + k)) << call;
        std::string rgb = call.substr(5);
        char led = '-';
        for (std::size_t p = 0; p < RainbowPalette.size(); ++p) {
            char text[16];
            const LedColour& c = RainbowPalette[p];
            std::snprintf(text, sizeof text, "%02X %02X %02X", c.red, c.green, c.blue);
            if (rgb == text) {
                led = static_cast<char>('0' + p);
            }
        }
        EXPECT_TRUE(led != '-' || rgb == "00 00 00") << call;
        frame += led;
    }
    return frame;
}

TEST(LightingSequences, AnimationCyclesOverTwoPaletteTurns) {
    struct Case {
        std::int32_t mode;
        std::vector<std::string> firstFrames; // one frame per tick from Apply on
        std::size_t ticksPerColour;           // frames before the palette has moved on by one
    };
    const Case cases[] = {
        {7, {"0----", "-0---", "--0--", "---0-", "----0", "1----"}, 5},
        {8, {"0----", "-0---", "--0--", "---0-", "----0", "----1", "---1-", "--1--", "-1---", "1----", "2----"}, 5},
        {9, {"0----", "----0", "-0---", "---0-", "--0--", "1----"}, 5},
        {10, {"43210", "54321", "65432", "06543", "10654", "21065", "32106", "43210"}, 1},
    };
    for (const Case& c : cases) {
        LightingState state;
        state.CurrentMode = c.mode;
        RecordingPort apply;
        ApplyLighting(state, {true, false}, kBoxes, apply);
        const std::size_t ticks = 2 * kPaletteSize * c.ticksPerColour;
        RecordingPort port;
        for (std::size_t t = 0; t < ticks; ++t) {
            StepAnimation(state, port);
        }
        ASSERT_EQ(port.calls.size(), 5 * ticks) << "an animation tick is exactly five LED commands";
        for (std::size_t t = 0; t < c.firstFrames.size(); ++t) {
            EXPECT_EQ(Frame(port.calls, 5 * t), c.firstFrames[t]) << "mode " << c.mode << " tick " << t;
        }
        // Two full turns end where the cycle began.
        EXPECT_EQ(state.PaletteIndex, 0u) << "mode " << c.mode;
        EXPECT_EQ(state.AnimStep, 0u) << "mode " << c.mode;
        EXPECT_EQ(Frame(port.calls, 5 * (ticks - c.ticksPerColour)).find('6') != std::string::npos, true);
    }
}

TEST(LightingSequences, TicksOutsideTheAnimatedModesSendNothing) {
    for (std::int32_t mode : {0, 1, 2, 3, 4, 5, 6}) {
        LightingState state;
        state.CurrentMode = mode;
        RecordingPort port;
        StepAnimation(state, port);
        EXPECT_TRUE(port.calls.empty()) << "mode " << mode;
    }
}

} // namespace
