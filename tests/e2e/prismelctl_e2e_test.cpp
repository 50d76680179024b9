// prismelctl.exe as a user or a script runs it: with the program running, with none running (it starts one in
// the tray), with bad words; and the program against forged hand-over messages.
#include <gtest/gtest.h>

#include "lighting/RunningCopy_win32.h"
#include "app/TessaroHDApp_win32.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

constexpr ULONG_PTR kRequestTag = 0x31515250; // "PRQ1"
constexpr LRESULT kTaken = 0x50524D4C;

class CtlTest : public ProgramTest {
protected:
    CtlTest() : ProgramTest(L"ctl-") {}

    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(CopyFileTo(ProgramFolder() + L"\\prismelctl.exe", folder_ + L"\\prismelctl.exe"));
    }
    void TearDown() override {
        // A copy that prismelctl started is not the fixture's process: quit it from its tray menu.
        if (!process_) {
            if (HWND started = RunningMainWindow()) {
                DWORD id = 0;
                GetWindowThreadProcessId(started, &id);
                PostMessageW(started, WM_COMMAND, ID_TRAY_QUIT, 0);
                WaitFor([&] { return RunningMainWindow() == nullptr; }, 5000);
            }
        }
        ProgramTest::TearDown();
    }

    ConsoleRun Ctl(const std::wstring& arguments, const std::wstring& folder = L"") const {
        const std::wstring in = folder.empty() ? folder_ : folder;
        LaunchOptions options{in + L"\\prismelctl.exe", arguments, in, {standIn_.Variable()}};
        std::optional<ConsoleRun> run = RunConsoleProgram(options, in + L"\\ctl.out", in + L"\\ctl.err");
        EXPECT_TRUE(run) << "prismelctl did not end";
        return run.value_or(ConsoleRun{});
    }
    std::vector<std::string> NonFrameCallsSince(std::size_t from) const {
        std::vector<std::string> calls = LightingCallsSince(from);
        std::erase_if(calls, [](const std::string& call) { return call.rfind("RGBI2CMode(0x1", 0) == 0; });
        return calls;
    }
};

TEST_F(CtlTest, AppliesThroughTheRunningCopyAsTheButtonsWould) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    std::size_t from = Journal().size();
    ConsoleRun run = Ctl(L"mode METEOR --speed 5 --colour 00FF00");
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    EXPECT_EQ(run.output,
              "on: mode 7 Meteor, speed 5, colour 00FF00; RGBI2CMode yes, SetZorvaEffect yes; 1 module(s)\r\n");
    EXPECT_EQ(run.error, "");
    EXPECT_EQ(NonFrameCallsSince(from), (std::vector<std::string>{"SetZorvaEffect(0x07, 0x0004, 0x00, 0x00000000)",
                                                                  "RGBI2CMode(0x01, 0x04, 0x00, 0x00)"}));
    EXPECT_EQ(GetText(GetDlgItem(main, IDC_GREEN_BOX)), L"255") << "the window shows the colour";
    EXPECT_EQ(StoredDword(L"CurrentMode"), 7u) << "remembered as Apply would";

    from = Journal().size();
    run = Ctl(L"off");
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    EXPECT_EQ(run.output.rfind("off: mode 7 Meteor", 0), 0u) << run.output;
    EXPECT_EQ(NonFrameCallsSince(from), (std::vector<std::string>{"RGBI2CMode(0x01, 0x04, 0x00, 0x00)",
                                                                  "SetZorvaEffect(0x01, 0x0000, 0x00, 0xFF000000)"}));
    EXPECT_FALSE(IsVisible(GetDlgItem(main, IDC_BTN_APPLY))) << "the power toggle shows off";

    from = Journal().size();
    run = Ctl(L"status --json");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_NE(run.output.find("\"on\": false"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("\"modules\": 1"), std::string::npos) << run.output;
    EXPECT_TRUE(LightingCallsSince(from).empty()) << "status sends nothing";
}

TEST_F(CtlTest, StartsTheProgramInTheTrayWhenNoneRuns) {
    standIn_.WriteConfig(config_);
    ConsoleRun run = Ctl(L"mode breathing");
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    EXPECT_EQ(run.output.rfind("on: mode 2 Breathing, speed 1", 0), 0u) << run.output;
    HWND started = RunningMainWindow();
    ASSERT_NE(started, nullptr);
    EXPECT_FALSE(IsWindowVisible(started)) << "started with SysTray";
    const std::vector<std::string> calls = LightingCallsSince(0);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "SetZorvaEffect(0x02, 0x01F4, 0x00, 0xFF3D45FF)") << "breathing at speed button 1";
}

TEST_F(CtlTest, BadWordsGetOneLineAndSendNothing) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    std::size_t from = Journal().size();
    for (const wchar_t* words : {L"mode strobe", L"mode 7 --speed 9", L"mode 7 --colour red", L"blink", L""}) {
        ConsoleRun run = Ctl(words);
        EXPECT_EQ(run.exitCode, 2u) << words;
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(run.error.rfind("prismelctl: ", 0), 0u) << run.error;
        EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << run.error;
    }
    EXPECT_TRUE(LightingCallsSince(from).empty());

    // Alone in a folder, with no copy running, it has no program to start.
    Quit(main);
    const std::wstring alone = MakeScratchFolder(L"ctl-alone");
    ASSERT_TRUE(CopyFileTo(folder_ + L"\\prismelctl.exe", alone + L"\\prismelctl.exe"));
    ConsoleRun run = Ctl(L"on", alone);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.error.rfind("prismelctl: no program to start", 0), 0u) << run.error;
}

TEST_F(CtlTest, AProgramWhoseLibraryDidNotStartSaysSoAndSendsNothing) {
    Start(L"", "initialize = fail\n", false);
    ASSERT_TRUE(process_);
    ASSERT_NO_FATAL_FAILURE(
        CheckAndDismissMessageBox(process_->Id(), {L"Can't load MsIo(SMB)!", L"Error", MB_ICONHAND, {}}));
    const std::size_t from = Journal().size();
    for (const wchar_t* words : {L"status", L"off"}) {
        ConsoleRun run = Ctl(words);
        EXPECT_EQ(run.exitCode, 1u) << words;
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(run.error, "prismelctl: the SMBus library did not start\r\n") << words;
    }
    EXPECT_TRUE(LightingCallsSince(from).empty());
}

TEST_F(CtlTest, ForgedHandOversAreIgnored) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    std::size_t from = Journal().size();
    // version 1, command 3 (off), then zeros: twelve bytes.
    const std::vector<BYTE> off = {1, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    struct Forged {
        ULONG_PTR tag;
        std::vector<BYTE> bytes;
    };
    std::vector<BYTE> shorter(off.begin(), off.end() - 1), longer = off, version = off, mode = off;
    longer.push_back(0);
    version[0] = 2;
    mode[3] = 11;
    for (const Forged& forged :
         {Forged{kRequestTag, shorter}, Forged{kRequestTag, longer}, Forged{kRequestTag + 1, off},
          Forged{kRequestTag, version}, Forged{kRequestTag, mode}}) {
        COPYDATASTRUCT data{forged.tag, static_cast<DWORD>(forged.bytes.size()),
                            const_cast<BYTE*>(forged.bytes.data())};
        DWORD_PTR result = 1;
        ASSERT_TRUE(
            SendMessageTimeoutW(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_BLOCK, 5000, &result));
        EXPECT_EQ(result, 0u) << forged.bytes.size();
    }
    Settle();
    EXPECT_TRUE(LightingCallsSince(from).empty());
    EXPECT_TRUE(process_->Running());
    EXPECT_EQ(TopLevelWindows(process_->Id(), kDialogClass).size(), 1u) << "no message box";

    // The same message made right is taken.
    COPYDATASTRUCT data{kRequestTag, static_cast<DWORD>(off.size()), const_cast<BYTE*>(off.data())};
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_BLOCK, 5000, &result));
    EXPECT_EQ(static_cast<LRESULT>(result), kTaken);
    EXPECT_FALSE(LightingCallsSince(from).empty());
}

} // namespace
