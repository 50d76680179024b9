// prismelctl's requests on the lighting: what each request does to the page, what the answer says, and that the
// answer tells what the modules show rather than what the controls show.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "lighting/HandOverAdapter.h"

namespace {

class RecordingTarget final : public HandOverTarget {
public:
    void ChooseAndTurnOn(std::int32_t mode, std::int32_t speed,
                         const std::optional<std::array<std::uint8_t, 3>>& colour) override {
        calls.push_back("mode " + std::to_string(mode) + " speed " + std::to_string(speed) +
                        (colour ? " colour " + std::to_string((*colour)[1]) : ""));
    }
    void TurnOn() override { calls.push_back("on"); }
    void TurnOff() override { calls.push_back("off"); }
    void Reset() override { calls.push_back("reset"); }
    void LoadLighting(const LightingChoice& lighting) override {
        calls.push_back("load " + std::to_string(lighting.mode));
    }
    LightingChoice AppliedLighting() const override { return applied; }
    HandOverStatus Status() const override { return {7, 5, {1, 2, 3}, true, true, false, 2}; }
    bool LibraryStarted() const override { return started; }
    const DarkSettings& DarkRules() const override { return rules; }
    void SetDarkRules(const DarkSettings& now) override { rules = now; }
    std::uint8_t DarkReasons() const override { return kDarkLocked; }
    DarkSettings rules;

    bool started = true;
    LightingChoice applied{kModeMeteor, {0, 255, 0}, 0, true};
    std::vector<std::string> calls;
};

TEST(HandOverAdapter, EachRequestIsTheButtonsOperationAndIsAnsweredWithTheStatus) {
    const struct {
        HandOverRequest request;
        std::vector<std::string> calls;
    } cases[] = {
        {{HandOverCommand::Mode, 7, true, {0, 255, 0}, 5}, {"mode 7 speed 5 colour 255"}},
        {{HandOverCommand::Mode, 2, false, {}, 0}, {"mode 2 speed 0"}},
        {{HandOverCommand::On}, {"on"}},
        {{HandOverCommand::Off}, {"off"}},
        {{HandOverCommand::Reset}, {"reset"}},
        {{HandOverCommand::Status}, {}},
    };
    for (const auto& c : cases) {
        RecordingTarget target;
        const HandOverAnswer answer = TakeHandOver(EncodeRequest(c.request), target);
        EXPECT_EQ(target.calls, c.calls);
        ASSERT_EQ(answer.kind, HandOverAnswer::Kind::Taken);
        const auto status = DecodeStatus(answer.status);
        ASSERT_TRUE(std::holds_alternative<HandOverStatus>(status));
        EXPECT_EQ(std::get<HandOverStatus>(status), target.Status());
    }
}

TEST(HandOverAdapter, RefusedBytesAndAFailedLibraryChangeNothing) {
    RecordingTarget target;
    RequestBytes damaged = EncodeRequest({HandOverCommand::On});
    damaged[2] = 9; // no such command
    EXPECT_EQ(TakeHandOver(damaged, target).kind, HandOverAnswer::Kind::Refused);
    EXPECT_EQ(TakeHandOver(std::span(damaged.data(), 5), target).kind, HandOverAnswer::Kind::Refused);
    target.started = false;
    EXPECT_EQ(TakeHandOver(EncodeRequest({HandOverCommand::Off}), target).kind,
              HandOverAnswer::Kind::LibraryNotStarted);
    EXPECT_TRUE(target.calls.empty());
}

TEST(HandOverAdapter, StatusSaysWhatWasAppliedNotWhatTheControlsShow) {
    LightingState state;
    state.CurrentMode = kModeStatic;
    state.SpeedValue = 2;
    state.CurrentColor = ColourRefOf(0x3D, 0x45, 0xFF);
    // Chosen since, and not applied: a wheel pick into the boxes, another mode and speed.
    state.Shown = {kModeMeteor, 4, {0xB8, 0x73, 0xFF}, ColourRefOf(0xB8, 0x73, 0xFF)};
    const HandOverStatus status = StatusOf(state, {true, false}, 2);
    EXPECT_EQ(status, (HandOverStatus{kModeStatic, 3, {0x3D, 0x45, 0xFF}, true, true, false, 2}));
    EXPECT_EQ(StatusOf(state, {}, 13).modules, 0) << "more modules than positions is no count";
}

} // namespace
