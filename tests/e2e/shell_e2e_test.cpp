// The main window as a user meets it: the pages, the tray icon and its menu, closing and quitting, the start
// modes, the SMBus library's failures and what the window looks like.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

constexpr UINT kTrayMessage = 3024;
constexpr UINT kTrayIcon = 110;

class ShellTest : public ProgramTest {
protected:
    ShellTest() : ProgramTest(L"shell-") {}
};

std::vector<int> VisibleOf(HWND main, const std::vector<int>& ids) {
    std::vector<int> visible;
    for (int id : ids) {
        if (IsVisible(GetDlgItem(main, id))) {
            visible.push_back(id);
        }
    }
    return visible;
}

const std::vector<int> kLightingControls = {1502, 1503, 1505, 1506, 1507, 1508, 1509, 1510, 1511, 1512, 1513,
                                            1514, 1515, 1516, 1520, 1521, 1522, 1523, 1524, 1044, 1045, 1046};
const std::vector<int> kModuleInfoControls = {1072, 1525, 1526};
const std::vector<int> kAboutControls = {1504};
const std::vector<int> kEveryPage = {1500, 1501, 1517, 1518, 1519};

std::vector<int> All() {
    std::vector<int> all = kLightingControls;
    all.insert(all.end(), kModuleInfoControls.begin(), kModuleInfoControls.end());
    all.insert(all.end(), kAboutControls.begin(), kAboutControls.end());
    all.insert(all.end(), kEveryPage.begin(), kEveryPage.end());
    std::sort(all.begin(), all.end());
    return all;
}

std::vector<int> Joined(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    std::sort(a.begin(), a.end());
    return a;
}

TEST_F(ShellTest, EachTabShowsItsPageOnly) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(VisibleOf(main, All()), Joined(kLightingControls, kEveryPage)) << "the lighting page at start";
    EXPECT_FALSE(IsVisible(GetDlgItem(main, 1016)));
    EXPECT_FALSE(IsVisible(GetDlgItem(main, 1003)));

    Click(GetDlgItem(main, 1517));
    Settle();
    EXPECT_EQ(VisibleOf(main, All()), Joined(kModuleInfoControls, kEveryPage)) << "module information";

    Click(GetDlgItem(main, 1519));
    Settle();
    EXPECT_EQ(VisibleOf(main, All()), Joined(kAboutControls, kEveryPage)) << "about";

    Click(GetDlgItem(main, 1517));
    Settle();
    EXPECT_EQ(VisibleOf(main, All()), Joined(kModuleInfoControls, kEveryPage)) << "module information again";

    Click(GetDlgItem(main, 1518));
    Settle();
    EXPECT_EQ(VisibleOf(main, All()), Joined(kLightingControls, kEveryPage)) << "lighting, with the lights on";
    EXPECT_TRUE(process_->Running());
}

TEST_F(ShellTest, ClosingHidesToTheTrayAndTheTrayShowsItAgain) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsVisible(main));
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0); // Alt+F4, or Close on the taskbar
    EXPECT_TRUE(WaitFor([&] { return !IsVisible(main); }, 5000));
    Sleep(300);
    EXPECT_TRUE(process_->Running());

    PostTrayEvent(main, kTrayMessage, kTrayIcon, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitFor([&] { return IsVisible(main); }, 5000));

    Click(GetDlgItem(main, 1501)); // the close button
    EXPECT_TRUE(WaitFor([&] { return !IsVisible(main); }, 5000));
    PostMessageW(main, WM_COMMAND, 1260, 0); // the tray menu's "Main window"
    EXPECT_TRUE(WaitFor([&] { return IsVisible(main); }, 5000));

    Click(GetDlgItem(main, 1500)); // minimise
    EXPECT_TRUE(WaitFor([&] { return IsIconic(main) != FALSE; }, 5000));
    EXPECT_TRUE(process_->Running());
}

TEST_F(ShellTest, EscapeAndEnterNeverCloseTheWindow) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    for (HWND target : {main, GetDlgItem(main, 1044), GetDlgItem(main, 1502)}) {
        PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0);
    }
    Settle();
    Sleep(300);
    EXPECT_TRUE(IsVisible(main));
    EXPECT_TRUE(process_->Running());
}

TEST_F(ShellTest, QuitEndsTheProgram) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_COMMAND, 1261, 0);
    EXPECT_EQ(process_->WaitForExit(10000), std::optional<DWORD>(0));
    EXPECT_FALSE(IsWindow(main));
}

TEST_F(ShellTest, UserSettingsFileIsDeletedOnHideAndQuitOnlyWhenRestoreIsOff) {
    PutDword(L"RestoreUserSettings", 0);
    std::wstring file = folder_ + L"\\UserSettings.txt";
    ASSERT_TRUE(WriteTextFile(file, "[Gpu1]\r\n"));
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    Click(GetDlgItem(main, 1501));
    EXPECT_TRUE(WaitFor([&] { return GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES; }, 5000))
        << "hiding deletes it";
    ASSERT_TRUE(WriteTextFile(file, "[Gpu1]\r\n"));
    PostMessageW(main, WM_COMMAND, 1261, 0);
    ASSERT_TRUE(process_->WaitForExit(10000));
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "quitting deletes it";
}

TEST_F(ShellTest, UserSettingsFileStaysWhenRestoreIsOn) {
    PutDword(L"RestoreUserSettings", 1);
    std::wstring file = folder_ + L"\\UserSettings.txt";
    ASSERT_TRUE(WriteTextFile(file, "[Gpu1]\r\n"));
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    Click(GetDlgItem(main, 1501));
    EXPECT_TRUE(WaitFor([&] { return !IsVisible(main); }, 5000));
    PostMessageW(main, WM_COMMAND, 1261, 0);
    ASSERT_TRUE(process_->WaitForExit(10000));
    EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ShellTest, StartModeMinimize) {
    HWND main = Start(L"Minimize");
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitFor([&] { return IsIconic(main) != FALSE; }, 5000));
    EXPECT_TRUE(IsVisible(main));
}

TEST_F(ShellTest, StartModeSysTrayLeavesOnlyTheTrayIcon) {
    HWND main = Start(L"systray");
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitFor([&] { return !IsVisible(main); }, 5000));
    Sleep(300);
    EXPECT_FALSE(IsVisible(main));
    EXPECT_TRUE(process_->Running());
    PostTrayEvent(main, kTrayMessage, kTrayIcon, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitFor([&] { return IsVisible(main); }, 5000)) << "the tray icon shows it";
}

TEST_F(ShellTest, TrayRightClickOpensTheMenu) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    Click(GetDlgItem(main, 1501));
    ASSERT_TRUE(WaitFor([&] { return !IsVisible(main); }, 5000));
    PostTrayEvent(main, kTrayMessage, kTrayIcon, WM_RBUTTONDOWN);
    HWND menu = WaitForWindow(
        process_->Id(), L"#32768", [](HWND w) { return IsWindowVisible(w) != FALSE; }, 5000);
    EXPECT_NE(menu, nullptr) << "the pop-up menu opens with the window hidden";
}

TEST_F(ShellTest, AboutBoxFromTheTrayMenu) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_COMMAND, 32775, 0);
    HWND about = WaitForWindow(process_->Id(), L"#32770", [](HWND w) {
        return IsWindowVisible(w) && GetDlgItem(w, 1501) == nullptr && GetDlgItem(w, IDOK) != nullptr;
    });
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(GetText(about), L"About Zorva Prismel");
    EXPECT_EQ(GetText(GetDlgItem(about, IDOK)), L"OK");
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }, 5000));
    EXPECT_TRUE(IsVisible(main));
}

TEST_F(ShellTest, AFailedLibraryStartLeavesTheWindowUp) {
    Start(L"", "initialize = fail\n", false);
    ASSERT_TRUE(process_);
    auto box = WaitForMessageBox(process_->Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"Can't load MsIo(SMB)!");
    EXPECT_EQ(box->caption, L"Error");
    EXPECT_EQ(box->icon, static_cast<UINT>(MB_ICONHAND));
    DismissMessageBox(*box);
    HWND main = WaitForWindow(process_->Id(), L"#32770", IsMainWindow);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitFor([&] { return IsVisible(main); }, 5000));
    EXPECT_EQ(GetText(GetDlgItem(main, 1044)), L"") << "initialisation ended before the colour boxes";
    Sleep(300);
    EXPECT_TRUE(process_->Running());
}

TEST_F(ShellTest, AMissingLibraryEndsTheProgram) {
    DeleteFileW((folder_ + L"\\MsIo32.dll").c_str());
    Start(L"", "", false);
    ASSERT_TRUE(process_);
    auto box = WaitForMessageBox(process_->Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"Load Dll failure!");
    EXPECT_EQ(box->caption, L"Zorva Prismel");
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    EXPECT_EQ(box->icon, 0u);
    DismissMessageBox(*box);
    EXPECT_EQ(process_->WaitForExit(10000), std::optional<DWORD>(0));
}

TEST_F(ShellTest, ASecondCopyBringsTheRunningWindowForward) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    Click(GetDlgItem(main, 1501));
    ASSERT_TRUE(WaitFor([&] { return !IsVisible(main); }, 5000));
    LaunchOptions options;
    options.program = folder_ + L"\\Prismel.exe";
    options.environment = {{L"PRISMEL_SMBUS_CONFIG", folder_ + L"\\smbus-sim.conf"}};
    auto second = Process::Start(options);
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->WaitForExit(10000));
    EXPECT_TRUE(WaitFor([&] { return IsVisible(main); }, 5000));
}

} // namespace
