// The main window as a user meets it: the pages, the tray icon and its menu, closing and quitting, the start
// modes, the SMBus library's failures and what the window looks like.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "base/Utf8.h"
#include "res/SkinLayout.h"
#include "tests/e2e/ProgramUnderTest.h"
#include "tools/soak/ProcessGauge.h"

namespace {

using namespace e2e;

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

std::vector<int> LightingControls() {
    std::vector<int> ids = {IDC_BTN_APPLY, IDC_BTN_RESET, IDC_BTN_POWER, IDC_BTN_COLOUR_WHEEL,
                            IDC_RED_BOX,   IDC_GREEN_BOX, IDC_BLUE_BOX};
    for (int id = IDC_BTN_MODE_FIRST; id <= IDC_BTN_MODE_LAST; ++id) {
        ids.push_back(id);
    }
    for (int id = IDC_BTN_SPEED_FIRST; id <= IDC_BTN_SPEED_LAST; ++id) {
        ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}
const std::vector<int> kLightingControls = LightingControls();
const std::vector<int> kModuleInfoControls = {IDC_MODULE_SELECTOR, IDC_BTN_SUBPAGE_BACK, IDC_BTN_SUBPAGE_FORWARD};
const std::vector<int> kAboutControls = {IDC_BTN_WEB};
const std::vector<int> kEveryPage = {IDC_BTN_MINIMISE, IDC_BTN_CLOSE, IDC_BTN_TAB_MODULE_INFO, IDC_BTN_TAB_LIGHTING,
                                     IDC_BTN_TAB_ABOUT};

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
    EXPECT_FALSE(IsVisible(GetDlgItem(main, IDC_SHADOW_MODULE_LIST)));
    EXPECT_FALSE(IsVisible(GetDlgItem(main, IDC_MODULE_INFO_TABLE)));

    const struct {
        int tab;
        const std::vector<int>& page;
        const char* what;
    } clicks[] = {{IDC_BTN_TAB_MODULE_INFO, kModuleInfoControls, "module information"},
                  {IDC_BTN_TAB_ABOUT, kAboutControls, "about"},
                  {IDC_BTN_TAB_MODULE_INFO, kModuleInfoControls, "module information again"},
                  {IDC_BTN_TAB_LIGHTING, kLightingControls, "lighting, with the lights on"}};
    for (const auto& click : clicks) {
        Click(GetDlgItem(main, click.tab));
        Settle();
        EXPECT_EQ(VisibleOf(main, All()), Joined(click.page, kEveryPage)) << click.what;
    }
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

    PostTrayEvent(main, WM_TRAY_NOTIFY, IDI_TRAY, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitFor([&] { return IsVisible(main); }, 5000));

    Click(GetDlgItem(main, IDC_BTN_CLOSE));
    EXPECT_TRUE(WaitFor([&] { return !IsVisible(main); }, 5000));
    PostMessageW(main, WM_COMMAND, ID_TRAY_MAIN_WINDOW, 0);
    EXPECT_TRUE(WaitFor([&] { return IsVisible(main); }, 5000));

    Click(GetDlgItem(main, IDC_BTN_MINIMISE));
    EXPECT_TRUE(WaitFor([&] { return IsIconic(main) != FALSE; }, 5000));
    EXPECT_TRUE(process_->Running());
}

TEST_F(ShellTest, EscapeAndEnterNeverCloseTheWindow) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    for (HWND target : {main, GetDlgItem(main, IDC_RED_BOX), GetDlgItem(main, IDC_BTN_APPLY)}) {
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
    PostMessageW(main, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_EQ(process_->WaitForExit(10000), std::optional<DWORD>(0));
    EXPECT_FALSE(IsWindow(main));
}

TEST_F(ShellTest, UserSettingsFileIsDeletedOnHideAndQuitOnlyWhenRestoreIsOff) {
    PutDword(L"RestoreUserSettings", 0);
    std::wstring file = folder_ + L"\\UserSettings.txt";
    ASSERT_TRUE(WriteTextFile(file, "[Gpu1]\r\n"));
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    Click(GetDlgItem(main, IDC_BTN_CLOSE));
    EXPECT_TRUE(WaitFor([&] { return GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES; }, 5000))
        << "hiding deletes it";
    ASSERT_TRUE(WriteTextFile(file, "[Gpu1]\r\n"));
    PostMessageW(main, WM_COMMAND, ID_TRAY_QUIT, 0);
    ASSERT_TRUE(process_->WaitForExit(10000));
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "quitting deletes it";
}

TEST_F(ShellTest, UserSettingsFileStaysWhenRestoreIsOn) {
    PutDword(L"RestoreUserSettings", 1);
    std::wstring file = folder_ + L"\\UserSettings.txt";
    ASSERT_TRUE(WriteTextFile(file, "[Gpu1]\r\n"));
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    Click(GetDlgItem(main, IDC_BTN_CLOSE));
    EXPECT_TRUE(WaitFor([&] { return !IsVisible(main); }, 5000));
    PostMessageW(main, WM_COMMAND, ID_TRAY_QUIT, 0);
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
    PostTrayEvent(main, WM_TRAY_NOTIFY, IDI_TRAY, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitFor([&] { return IsVisible(main); }, 5000)) << "the tray icon shows it";
}

// Hidden the program holds none of the artwork it can make again: none after a start in the tray, all of it while
// the window shows (the page's background and the buttons' images), none once the window is hidden or minimised
// again. Counted as the program's bitmaps.
TEST_F(ShellTest, HiddenOrMinimisedTheProgramHoldsNoArtwork) {
    HWND main = Start(L"SysTray");
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor([&] { return !IsVisible(main); }, 5000));
    const std::wstring config = standIn_.ConfigPath();
    soak::ProcessGauge gauge(
        process_->Id(),
        soak::LinuxStatusPath("PRISMEL_SMBUS_CONFIG=" + ToUtf8(std::u16string(config.begin(), config.end()))));
    Sleep(300);
    const std::int64_t hidden = gauge.Bitmaps();
    if (hidden == soak::kUnknown) {
        GTEST_SKIP() << "the program's bitmaps cannot be counted here";
    }
    constexpr std::int64_t kArtwork = 1 + 20; // the background and the images of the buttons on the first page
    const auto shown = [&] { return IsVisible(main) && !IsIconic(main) && gauge.Bitmaps() >= hidden + kArtwork; };
    const auto released = [&] { return gauge.Bitmaps() <= hidden; };

    PostTrayEvent(main, WM_TRAY_NOTIFY, IDI_TRAY, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitFor(shown, 5000)) << gauge.Bitmaps() << " bitmaps shown, " << hidden << " hidden";
    // Shaped only now, it shows where a window started on screen shows: in the middle of the work area.
    RECT work{}, window = WindowRect(main);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(window.right - window.left, SKIN_PAGE_W);
    EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2, 1);
    Click(GetDlgItem(main, IDC_BTN_CLOSE));
    EXPECT_TRUE(WaitFor(released, 5000)) << gauge.Bitmaps() << " bitmaps closed to the tray, " << hidden;

    PostTrayEvent(main, WM_TRAY_NOTIFY, IDI_TRAY, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitFor(shown, 5000));
    Click(GetDlgItem(main, IDC_BTN_MINIMISE));
    // Minimised, the window draws its icon, of which the system keeps one bitmap.
    EXPECT_TRUE(WaitFor([&] { return IsIconic(main) && gauge.Bitmaps() <= hidden + 1; }, 5000))
        << gauge.Bitmaps() << " bitmaps minimised, " << hidden;
    ShowWindow(main, SW_RESTORE);
    EXPECT_TRUE(WaitFor(shown, 5000)) << gauge.Bitmaps() << " bitmaps restored";
}

TEST_F(ShellTest, TrayRightClickOpensTheMenu) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    Click(GetDlgItem(main, IDC_BTN_CLOSE));
    ASSERT_TRUE(WaitFor([&] { return !IsVisible(main); }, 5000));
    PostTrayEvent(main, WM_TRAY_NOTIFY, IDI_TRAY, WM_RBUTTONDOWN);
    HWND menu = WaitForWindow(
        process_->Id(), kMenuClass, [](HWND w) { return IsWindowVisible(w) != FALSE; }, 5000);
    EXPECT_NE(menu, nullptr) << "the pop-up menu opens with the window hidden";
}

// Explorer restarting removes every tray icon; the program puts its own back when the shell says so.
TEST_F(ShellTest, TheTrayIconComesBackWhenTheTaskbarIsMadeAgain) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    NOTIFYICONDATAW icon{};
    icon.cbSize = NOTIFYICONDATAW_V1_SIZE;
    icon.hWnd = main;
    icon.uID = IDI_TRAY;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon)) << "the icon was there";
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &icon)) << "and is gone";
    PostMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    Settle();
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &icon)) << "added again";
}

TEST_F(ShellTest, AboutBoxFromTheTrayMenu) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_COMMAND, ID_TRAY_ABOUT, 0);
    HWND about = WaitForWindow(process_->Id(), kDialogClass, [](HWND w) {
        return IsWindowVisible(w) && GetDlgItem(w, IDC_BTN_CLOSE) == nullptr && GetDlgItem(w, IDOK) != nullptr;
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
    ASSERT_NO_FATAL_FAILURE(
        CheckAndDismissMessageBox(process_->Id(), {L"Can't load MsIo(SMB)!", L"Error", MB_ICONHAND, {}}));
    HWND main = WaitForMainWindow(*process_);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitFor([&] { return IsVisible(main); }, 5000));
    EXPECT_EQ(GetText(GetDlgItem(main, IDC_RED_BOX)), L"") << "initialisation ended before the colour boxes";
    Sleep(300);
    EXPECT_TRUE(process_->Running());
}

TEST_F(ShellTest, AMissingLibraryEndsTheProgram) {
    DeleteFileW((folder_ + L"\\MsIo32.dll").c_str());
    Start(L"", "", false);
    ASSERT_TRUE(process_);
    ASSERT_NO_FATAL_FAILURE(
        CheckAndDismissMessageBox(process_->Id(), {L"Load Dll failure!", L"Zorva Prismel", 0, {IDOK}}));
    EXPECT_EQ(process_->WaitForExit(10000), std::optional<DWORD>(0));
}

TEST_F(ShellTest, ASecondCopyBringsTheRunningWindowForward) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    Click(GetDlgItem(main, IDC_BTN_CLOSE));
    ASSERT_TRUE(WaitFor([&] { return !IsVisible(main); }, 5000));
    auto second = Process::Start(ProgramLaunch(folder_ + L"\\Prismel.exe", standIn_));
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->WaitForExit(10000));
    EXPECT_TRUE(WaitFor([&] { return IsVisible(main); }, 5000));
}

} // namespace
