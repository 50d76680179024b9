// The LED view on screen: it finds the journal through the configuration named on its command line, draws one
// row per configured module, and follows the journal as it grows and when it is re-created, while the writer
// keeps full access to the file.
#include <gtest/gtest.h>

#include <string>

#include "smbus-sim/ledview/LedViewLayout.h"
#include "tools/support/Driver.h"
#include "tools/support/StandIn.h"

namespace {

using namespace support;

// Writes the journal the way the stand-in does: shared for reading, writing and deleting, re-created (as when a
// program loads the stand-in) or appended to.
bool WriteJournal(const std::wstring& path, const std::string& text, bool recreate) {
    return recreate ? WriteTextFile(path, text) : AppendTextFile(path, text);
}

std::string Frame(const char* time, const COLORREF (&leds)[5]) {
    std::string text;
    for (int k = 0; k < 5; ++k) {
        char line[96];
        wsprintfA(line, "%s RGBI2CMode(0x%02X, 0x%02X, 0x%02X, 0x%02X) -> 0x00005A01\n", time, 0x10 + k,
                  GetRValue(leds[k]), GetGValue(leds[k]), GetBValue(leds[k]));
        text += line;
    }
    return text;
}

// The window's client area as the screen shows it.
Image Client(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return CaptureScreenRect({origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
}

// Whether every row shows the frame: lit LEDs in exactly their colour, unlit ones dark.
bool ShowsFrame(HWND window, int rows, const COLORREF (&leds)[5]) {
    Image shot = Client(window);
    for (int row = 0; row < rows; ++row) {
        for (int k = 0; k < 5; ++k) {
            std::uint32_t seen = shot.At(ledview::LedCentreX(k), ledview::LedCentreY(row));
            bool dark = GetRValue(seen) < 80 && GetGValue(seen) < 80 && GetBValue(seen) < 80;
            if (leds[k] == 0 ? !dark : seen != leds[k]) {
                return false;
            }
        }
    }
    return true;
}

TEST(LedView, DrawsEachFrameInEveryModuleRowAndFollowsTheJournal) {
    std::wstring folder = MakeScratchFolder(L"ledview");
    const StandInFiles standIn(folder, L"sim.conf", L"lights.journal");
    const std::wstring journal = standIn.JournalPath();
    ASSERT_TRUE(standIn.WriteConfig("module 1 4 = b.bin\nmodule 0 0 = a.bin\n"));
    const COLORREF first[5] = {RGB(61, 69, 255), RGB(255, 0, 0), 0, RGB(0, 255, 0), RGB(1, 2, 200)};
    ASSERT_TRUE(
        WriteJournal(journal, "1000.000 InitializeSMB(0x00400000) -> 0x00005A01\n" + Frame("1000.100", first), true));

    LaunchOptions options;
    options.program = ProgramFolder() + L"\\LedView.exe";
    options.arguments = L"\"" + standIn.ConfigPath() + L"\"";
    options.workingFolder = folder;
    auto process = Process::Start(options);
    ASSERT_TRUE(process);
    HWND window = WaitForWindow(process->Id(), ledview::kWindowClass);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([&] { return IsVisible(window); }));
    EXPECT_EQ(GetText(window), ledview::kTitle);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, ledview::kClientWidth);
    EXPECT_EQ(client.bottom, ledview::ClientHeight(2)) << "one row per configured module";
    EXPECT_TRUE(WaitFor([&] { return ShowsFrame(window, 2, first); }, 5000));

    const COLORREF second[5] = {0, 0, RGB(255, 255, 255), 0, RGB(128, 64, 32)};
    ASSERT_TRUE(WriteJournal(journal, Frame("1000.200", second), false));
    EXPECT_TRUE(WaitFor([&] { return ShowsFrame(window, 2, second); }, 5000));

    // The program loads the stand-in again: the journal starts anew, shorter than what was read.
    const COLORREF third[5] = {RGB(10, 200, 10), 0, 0, 0, 0};
    ASSERT_TRUE(
        WriteJournal(journal, "2000.000 InitializeSMB(0x00400000) -> 0x00005A01\n" + Frame("2000.100", third), true));
    EXPECT_TRUE(WaitFor([&] { return ShowsFrame(window, 2, third); }, 5000));
    Client(window).SaveBmp(folder + L"\\ledview.bmp");

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(process->WaitForExit(10000), std::optional<DWORD>(0));
}

} // namespace
