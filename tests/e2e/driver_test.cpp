// The driver proves itself on a small test window: starting, finding windows, clicking, message boxes, texts,
// custom messages, capture and the end of the process.
#include <gtest/gtest.h>

#include "tests/e2e/TestWindow.h"
#include "tools/support/Driver.h"

namespace {

using namespace support;
using namespace testwin;

// The test window, once it is shown: it can be found while it is still being created.
HWND WaitForTestWindow(const Process& process) {
    // A loaded machine can take several seconds to start a Wine process.
    HWND window = WaitForWindow(process.Id(), kClass, 30000);
    return window && WaitFor([&] { return IsVisible(window); }) ? window : nullptr;
}

std::optional<Process> StartTestWindow() {
    LaunchOptions options;
    options.program = ProgramFolder() + L"\\e2e_testwin.exe";
    options.workingFolder = ProgramFolder();
    return Process::Start(options);
}

TEST(Driver, FindsTheWindowAndReadsItsControls) {
    auto process = StartTestWindow();
    ASSERT_TRUE(process);
    HWND window = WaitForTestWindow(*process);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsVisible(window));
    EXPECT_EQ(GetText(window), L"Driver test window");
    EXPECT_EQ(GetText(GetDlgItem(window, kTextBox)), L"hello");
    RECT r = WindowRect(window);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_TRUE(TopLevelWindows(process->Id(), L"NoSuchClass").empty());
}

TEST(Driver, ClickOpensAMessageBoxThatItReadsAndDismisses) {
    auto process = StartTestWindow();
    ASSERT_TRUE(process);
    HWND window = WaitForTestWindow(*process);
    ASSERT_NE(window, nullptr);
    Click(GetDlgItem(window, kAskButton));
    auto box = WaitForMessageBox(process->Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"Button pressed");
    EXPECT_EQ(box->caption, L"Test window");
    EXPECT_EQ(box->icon, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(box->buttons, (std::vector<int>{IDOK, IDCANCEL}));
    DismissMessageBox(*box, IDCANCEL);
    EXPECT_TRUE(WaitFor([&] { return GetText(GetDlgItem(window, kTextBox)) == L"answered Cancel"; }));
    EXPECT_FALSE(IsWindow(box->window));
}

TEST(Driver, PostsNotificationsAndCapturesPixels) {
    auto process = StartTestWindow();
    ASSERT_TRUE(process);
    HWND window = WaitForTestWindow(*process);
    ASSERT_NE(window, nullptr);
    PostTrayEvent(window, kNotify, 110, WM_RBUTTONDOWN);
    EXPECT_TRUE(WaitFor([&] { return GetText(GetDlgItem(window, kTextBox)) == L"event 110/516"; }));
    ASSERT_TRUE(WaitFor([&] { return CaptureWindow(window).At(5, 5) == RGB(200, 30, 30); }));
    Image image = CaptureWindow(window);
    EXPECT_EQ(image.width, 300);
    EXPECT_EQ(image.height, 200);
    EXPECT_EQ(image.At(290, 5), RGB(200, 30, 30));
    EXPECT_EQ(image.At(5, 105), RGB(20, 40, 220));
    std::wstring file = MakeScratchFolder(L"driver") + L"\\capture.bmp";
    ASSERT_TRUE(image.SaveBmp(file));
    EXPECT_EQ(ReadTextFile(file).size(), 54u + 300u * 3u * 200u);
}

TEST(Driver, SeesTheProcessEndAndEndsWhatIsLeft) {
    auto process = StartTestWindow();
    ASSERT_TRUE(process);
    HWND window = WaitForTestWindow(*process);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(process->WaitForExit(10000), std::optional<DWORD>(kExitCode));
    auto second = StartTestWindow();
    ASSERT_TRUE(second);
    DWORD id = second->Id();
    ASSERT_NE(WaitForTestWindow(*second), nullptr);
    second->Kill();
    EXPECT_FALSE(second->Running());
    EXPECT_TRUE(TopLevelWindows(id).empty());
}

} // namespace
