// Start-up of Prismel.exe as a user meets it: start modes, the one-copy rule, the font messages in each
// language, the settings key, and a program folder with a long path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

// A program folder of its own for each test: Prismel.exe, the stand-in and, unless told otherwise, the font.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveSettings();
        folder_ = ScratchFolderForCurrentTest(L"startup-");
    }
    void TearDown() override { RemoveSettings(); }

    void Install(const std::wstring& folder, bool withFont) {
        ASSERT_EQ(InstallProgram(ProgramFolder(), folder, withFont), L"");
        ASSERT_TRUE(StandInFiles(folder).WriteConfig(""));
    }

    std::optional<Process> Launch(const std::wstring& folder, const std::wstring& arguments) {
        LaunchOptions options = ProgramLaunch(folder + L"\\Prismel.exe", StandInFiles(folder), arguments);
        options.workingFolder = ProgramFolder(); // not the program's folder: it must make its own current
        return Process::Start(options);
    }

    std::wstring folder_;
};

TEST_F(StartupTest, OnlyApplySettingsEndsWithoutWindowOrFonts) {
    Install(folder_, false); // without the font file a font step would complain
    auto process = Launch(folder_, L"OnlyApplySettings");
    ASSERT_TRUE(process);
    bool sawWindow = false;
    auto code = [&]() -> std::optional<DWORD> {
        for (int i = 0; i < 500; ++i) {
            if (auto c = process->WaitForExit(20)) {
                return c;
            }
            sawWindow = sawWindow || !TopLevelWindows(process->Id(), kDialogClass).empty();
        }
        return std::nullopt;
    }();
    ASSERT_TRUE(code) << "still running";
    EXPECT_FALSE(sawWindow);
    // The settings were loaded, and the missing ones written back, before anything else.
    EXPECT_EQ(RegistryValueNames(HKEY_LOCAL_MACHINE, kSettingsKey),
              (std::vector<std::wstring>{L"FansHighSet", L"FansSet", L"IphonePassWord", L"SamplingPeriod", L"TempSet",
                                         L"TemplowSet"}));
    EXPECT_EQ(StandInFiles(folder_).JournalText(), "") << "no window, so no SMBus library either";
}

// CTest runs this once per system language (LC_ALL), with PRISMEL_EXPECT_LANGUAGE naming the language the
// texts must be in: 0 English, 1 Simplified Chinese, 2 Traditional Chinese. The program inherits the language.
TEST_F(StartupTest, AMissingFontFileIsReportedInTheSystemLanguage) {
    const wchar_t* texts[] = {L"Add font failed!", L"载入字体失败!", L"載入字體失敗!"};
    char expected[4] = "0";
    GetEnvironmentVariableA("PRISMEL_EXPECT_LANGUAGE", expected, 4);
    int language = expected[0] - '0';
    ASSERT_TRUE(language >= 0 && language <= 2);
    Install(folder_, false);
    auto process = Launch(folder_, L"");
    ASSERT_TRUE(process);
    CheckAndDismissMessageBox(process->Id(), {texts[language], L"Zorva Prismel", MB_ICONHAND, {IDOK}});
}

TEST_F(StartupTest, ASecondCopyEndsWithoutAMessage) {
    Install(folder_, true);
    // This test holds the instance mutex, as a running copy would.
    HANDLE running = CreateMutexW(nullptr, TRUE, L"Global\\Prismel_Mutex");
    ASSERT_NE(running, nullptr);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    auto process = Launch(folder_, L"");
    ASSERT_TRUE(process);
    bool sawWindow = false;
    std::optional<DWORD> code;
    for (int i = 0; i < 500 && !code; ++i) {
        code = process->WaitForExit(20);
        sawWindow = sawWindow || !TopLevelWindows(process->Id(), kDialogClass).empty();
    }
    CloseHandle(running);
    ASSERT_TRUE(code) << "the second copy kept running";
    EXPECT_FALSE(sawWindow);
}

TEST_F(StartupTest, AnUnavailableInstanceMutexIsReported) {
    Install(folder_, true);
    // Another kind of object under the mutex's name: creating the mutex fails, as when another user's session
    // holds it and access is refused.
    HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, L"Global\\Prismel_Mutex");
    ASSERT_NE(squatter, nullptr);
    auto process = Launch(folder_, L"");
    ASSERT_TRUE(process);
    ASSERT_NO_FATAL_FAILURE(CheckAndDismissMessageBox(
        process->Id(), {L"Tessaro has been started by other user.", L"Zorva Prismel", MB_ICONHAND, {}}));
    EXPECT_TRUE(process->WaitForExit(10000));
    CloseHandle(squatter);
}

TEST_F(StartupTest, AProgramFolderWithALongPathIsMadeCurrentWhole) {
    // The program's path is longer than 256 characters: a path cut there would name another directory, and
    // the font file would not be found in it.
    const std::size_t folderLength = 247; // + "\\Prismel.exe": 259 characters, more than a 256-character buffer
    std::wstring deep = L"\\\\?\\" + folder_;
    while (deep.size() - 4 + 26 + 2 <= folderLength) {
        deep += L"\\a-rather-long-folder-name";
        CreateDirectoryW(deep.c_str(), nullptr);
    }
    ASSERT_LT(deep.size() - 4 + 1, folderLength);
    deep += L"\\" + std::wstring(folderLength - (deep.size() - 4) - 1, L'x');
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_EQ(deep.size() - 4, folderLength);
    Install(deep, true);
    ASSERT_FALSE(HasFatalFailure());
    auto process = Launch(deep.substr(4), L"OnlyApplySettings");
    if (!process) {
        GTEST_SKIP() << "this system cannot start a program from a path that long";
    }
    EXPECT_TRUE(process->WaitForExit(15000));
    auto normal = Launch(deep.substr(4), L"");
    ASSERT_TRUE(normal);
    EXPECT_FALSE(WaitForMessageBox(normal->Id(), 4000)) << "the font file was not found in the program's folder";
}

} // namespace

namespace {

// The start-up trace: every phase once, in the order of the start, with times that never go back; none without
// the variable.
TEST_F(StartupTest, TheTraceNamesEachPhaseOnceInOrder) {
    Install(folder_, true);
    const std::wstring trace = folder_ + L"\\trace.txt";
    LaunchOptions options = ProgramLaunch(folder_ + L"\\Prismel.exe", StandInFiles(folder_), L"");
    options.environment.push_back({L"PRISMEL_TRACE_STARTUP", trace});
    auto process = Process::Start(options);
    ASSERT_TRUE(process);
    ASSERT_TRUE(WaitForMainWindow(*process));
    ASSERT_TRUE(WaitFor([&] { return ReadTextFile(trace).find("window painted") != std::string::npos; }));
    std::vector<std::string> phases;
    double last = 0.0;
    std::istringstream lines(ReadTextFile(trace));
    for (std::string line; std::getline(lines, line);) {
        const double ms = std::atof(line.c_str());
        EXPECT_GE(ms, last) << line;
        last = ms;
        phases.push_back(line.substr(line.find(' ') + 1, line.find_last_not_of("\r") - line.find(' ')));
    }
    EXPECT_EQ(phases,
              (std::vector<std::string>{"entry point", "instance checked", "fonts created", "common controls ready",
                                        "dialog created", "window shaped", "tray icon added", "buttons created",
                                        "controls created", "library bound", "modules read", "first module decoded",
                                        "lighting restored", "window initialised", "window painted"}));

    process.reset(); // ended: the next copy may start
    auto untraced = Launch(folder_, L"");
    ASSERT_TRUE(untraced);
    ASSERT_TRUE(WaitForMainWindow(*untraced));
    EXPECT_EQ(ReadTextFile(trace).find("entry point"), ReadTextFile(trace).rfind("entry point")) << "traced twice";
}

} // namespace
