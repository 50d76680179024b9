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

// The settings key's profiles, as the program stores them: one 8-byte record per value (version 1, flags, mode,
// speed step, red, green, blue).
const std::wstring kProfilesKey = std::wstring(kSettingsKey) + L"\\Profiles";

TEST_F(CtlTest, ProfilesSaveListLoadReplaceAndDeleteAsTheButtonsWould) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    const auto ok = [&](const wchar_t* words, const std::string& output) {
        ConsoleRun run = Ctl(words);
        EXPECT_EQ(run.exitCode, 0u) << run.error;
        EXPECT_EQ(run.output, output);
    };
    Ctl(L"mode meteor --speed 5 --colour 00FF00");
    ok(L"profile save Gaming", "saved the profile \"Gaming\"\r\n");
    Ctl(L"mode static --colour 3D45FF");
    ok(L"profile save \"夜間 電影\"", "saved the profile \"夜間 電影\"\r\n");
    ok(L"profile list --json", "{\"profiles\": [{\"name\": \"Gaming\", \"current\": false, \"damaged\": false}, "
                               "{\"name\": \"夜間 電影\", \"current\": true, \"damaged\": false}]}\r\n");

    std::size_t from = Journal().size();
    ok(L"profile load GAMING", "loaded the profile \"GAMING\"\r\non: mode 7 Meteor, speed 5, colour 00FF00; "
                               "RGBI2CMode yes, SetZorvaEffect yes; 1 module(s)\r\n");
    EXPECT_EQ(NonFrameCallsSince(from), (std::vector<std::string>{"SetZorvaEffect(0x07, 0x0004, 0x00, 0x00000000)",
                                                                  "RGBI2CMode(0x01, 0x04, 0x00, 0x00)"}))
        << "Meteor's Apply sequence";
    EXPECT_EQ(GetText(GetDlgItem(main, IDC_GREEN_BOX)), L"255") << "the window shows the profile";
    EXPECT_EQ(StoredDword(L"CurrentMode"), 7u) << "the profile is the remembered lighting";

    ok(L"profile save gaming", "saved the profile \"gaming\"\r\n"); // the same name without case: replaced
    ok(L"profile delete \"夜間 電影\"", "deleted the profile \"夜間 電影\"\r\n");
    ok(L"profile list", "* gaming\r\n");
    EXPECT_EQ(RegistryValueNames(HKEY_LOCAL_MACHINE, kProfilesKey.c_str()), std::vector<std::wstring>{L"gaming"});
}

TEST_F(CtlTest, ProfileRefusalsChangeNothing) {
    const BYTE damaged[] = {1, 0, 1, 99, 0, 0, 0, 0};
    ASSERT_TRUE(
        PutRegistryValue(HKEY_LOCAL_MACHINE, kProfilesKey.c_str(), L"old", REG_BINARY, damaged, sizeof damaged));
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Ctl(L"profile list").output, "  old (damaged)\r\n");
    const std::size_t from = Journal().size();
    const std::wstring tooLong = L"profile save " + std::wstring(65, L'x');
    for (const wchar_t* words : {L"profile load movie", L"profile load old", L"profile save a\\b", tooLong.c_str(),
                                 L"profile", L"profile rename x"}) {
        ConsoleRun run = Ctl(words);
        EXPECT_EQ(run.exitCode, 2u) << words;
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(run.error.rfind("prismelctl: ", 0), 0u) << run.error;
        EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << run.error;
    }
    // A hundred profiles: the 101st save is refused, a replacement is not.
    const BYTE record[] = {1, 0, 1, 6, 4, 0x3D, 0x45, 0xFF};
    for (int i = 1; i < 100; ++i) {
        const std::wstring name = L"p" + std::to_wstring(i);
        ASSERT_TRUE(PutRegistryValue(HKEY_LOCAL_MACHINE, kProfilesKey.c_str(), name.c_str(), REG_BINARY, record,
                                     sizeof record));
    }
    ConsoleRun full = Ctl(L"profile save one-more");
    EXPECT_EQ(full.exitCode, 2u);
    EXPECT_EQ(full.error, "prismelctl: there are 100 profiles already: delete one before saving another\r\n");
    EXPECT_EQ(Ctl(L"profile save P1").exitCode, 0u);
    EXPECT_EQ(RegistryValueNames(HKEY_LOCAL_MACHINE, kProfilesKey.c_str()).size(), 100u);
    EXPECT_TRUE(LightingCallsSince(from).empty()) << "no refusal sent anything";
}

// CTest runs this once per system language too (see tests/e2e/CMakeLists.txt).
TEST_F(CtlTest, TheSaveDialogAsksInTheSystemLanguageBeforeReplacing) {
    char expected[4] = "0";
    GetEnvironmentVariableA("PRISMEL_EXPECT_LANGUAGE", expected, 4);
    const int language = expected[0] - '0';
    ASSERT_TRUE(language >= 0 && language <= 2);
    const wchar_t* titles[] = {L"Save current lighting as", L"将当前灯光另存为", L"將目前燈光另存為"};
    const wchar_t* labels[] = {L"Profile name:", L"配置文件名称：", L"設定檔名稱："};
    const wchar_t* cancels[] = {L"Cancel", L"取消", L"取消"};
    const wchar_t* replaces[] = {L"A profile named “Work” exists already. Replace it?",
                                 L"已有名为“Work”的配置文件。要替换它吗？", L"已有名為「Work」的設定檔。要取代它嗎？"};
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    for (bool again : {false, true}) {
        PostMessageW(main, WM_COMMAND, ID_TRAY_PROFILE_SAVE, 0);
        HWND dialog = WaitForWindow(process_->Id(), kDialogClass, [](HWND w) {
            return IsWindowVisible(w) && GetDlgItem(w, IDC_PROFILE_NAME) != nullptr;
        });
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(GetText(dialog), titles[language]);
        EXPECT_EQ(GetText(GetDlgItem(dialog, IDC_PROFILE_LABEL)), labels[language]);
        EXPECT_EQ(GetText(GetDlgItem(dialog, IDCANCEL)), cancels[language]);
        SendMessageW(GetDlgItem(dialog, IDC_PROFILE_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Work"));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        if (again) {
            ASSERT_NO_FATAL_FAILURE(CheckAndDismissMessageBox(
                process_->Id(), {replaces[language], L"Zorva Prismel", MB_ICONQUESTION, {IDYES, IDNO}}));
        }
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000));
    }
    EXPECT_EQ(RegistryValueNames(HKEY_LOCAL_MACHINE, kProfilesKey.c_str()), std::vector<std::wstring>{L"Work"});
}

TEST_F(CtlTest, DarkRulesRoundTripAndBadWordsChangeNothing) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    const auto ok = [&](const wchar_t* words) {
        ConsoleRun run = Ctl(words);
        EXPECT_EQ(run.exitCode, 0u) << run.error;
        return run.output;
    };
    EXPECT_EQ(ok(L"dark"), "asleep off, display off, locked off, idle off, night off (23:00-07:00); dark now: no\r\n");
    ok(L"dark display on");
    ok(L"dark idle 15");
    EXPECT_EQ(ok(L"dark night 23:30-06:15"),
              "asleep off, display on, locked off, idle 15, night 23:30-06:15; dark now: no\r\n");
    ok(L"dark night off");
    EXPECT_EQ(StoredDword(L"LightsOffWithDisplay"), 1u);
    EXPECT_EQ(StoredDword(L"LightsOffAfterIdleMinutes"), 15u);
    EXPECT_EQ(StoredDword(L"LightsOffAtNight"), 0u);
    EXPECT_EQ(StoredDword(L"NightFrom"), 1410u) << "the times stay for the next time the rule is on";
    EXPECT_EQ(StoredDword(L"NightTo"), 375u);
    for (const wchar_t* words : {L"dark idle 0", L"dark idle 1441", L"dark night 23:00-23:00", L"dark night 7",
                                 L"dark display maybe", L"dark volume on", L"dark locked"}) {
        ConsoleRun run = Ctl(words);
        EXPECT_EQ(run.exitCode, 2u) << words;
        EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << run.error;
    }
    EXPECT_EQ(StoredDword(L"LightsOffAfterIdleMinutes"), 15u) << "nothing changed";
    EXPECT_EQ(StoredDword(L"NightFrom"), 1410u);

    // Locked: status says the modules are dark and why.
    ok(L"dark locked on");
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 1, SMTO_BLOCK, 5000, &ignored);
    const std::string status = ok(L"status");
    EXPECT_NE(status.find("; dark: locked\r\n"), std::string::npos) << status;
    EXPECT_NE(ok(L"status --json").find("\"dark\": [\"locked\"]}"), std::string::npos);
    SendMessageTimeoutW(main, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 1, SMTO_BLOCK, 5000, &ignored);
    EXPECT_EQ(ok(L"status").find("dark"), std::string::npos);
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
