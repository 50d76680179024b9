// Meteor left running against the stand-in with a small journal limit: the journal starts anew again and again
// without passing its limit, and the LED view beside the program animates through every part.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "smbus-sim/ledview/LedViewLayout.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

constexpr int kApply = 1502, kMeteor = 1512, kFastestSpeed = 1524;
constexpr std::size_t kLimitKb = 16;
constexpr DWORD kWatchMs = 10000; // about four parts at 50 ms a frame

class JournalLimitTest : public ProgramTest {
protected:
    JournalLimitTest() : ProgramTest(L"journal-limit-") {}
};

TEST_F(JournalLimitTest, MeteorKeepsTheJournalUnderItsLimitAndTheLedViewAnimating) {
    HWND main = Start(L"", "checkspd = 2\njournal_max_kb = " + std::to_string(kLimitKb) + "\n");
    ASSERT_NE(main, nullptr);
    LaunchOptions options;
    options.program = ProgramFolder() + L"\\LedView.exe";
    options.arguments = L"\"" + folder_ + L"\\smbus-sim.conf\"";
    auto viewer = Process::Start(options);
    ASSERT_TRUE(viewer);
    HWND view = WaitForWindow(viewer->Id(), ledview::kWindowClass);
    ASSERT_TRUE(view && WaitFor([&] { return IsVisible(view); }));
    for (int id : {kMeteor, kFastestSpeed, kApply}) {
        Click(GetDlgItem(main, id));
        Settle();
    }
    std::size_t largest = 0, longestLine = 0;
    std::string journal;
    std::map<int, std::set<std::uint32_t>> shownInPart; // LED 0's colours on screen while each part was written
    for (ULONGLONG start = GetTickCount64(); GetTickCount64() - start < kWatchMs; Sleep(30)) {
        journal = ReadTextFile(folder_ + L"\\smbus-sim.journal");
        largest = std::max(largest, journal.size());
        for (const std::string& line : ReadJournal(folder_ + L"\\smbus-sim.journal")) {
            longestLine = std::max(longestLine, line.size() + 1);
        }
        auto part = journal.find(" CONTINUED part=");
        POINT led{ledview::LedCentreX(0), ledview::LedCentreY(0)};
        ClientToScreen(view, &led);
        shownInPart[part < journal.find('\n') ? std::atoi(journal.c_str() + part + 16) : 1].insert(
            CaptureScreenRect({led.x, led.y, led.x + 1, led.y + 1}).At(0, 0));
    }
    EXPECT_LE(largest, kLimitKb * 1024 + longestLine);
    ASSERT_GE(shownInPart.size(), 3u) << "the journal started anew at least twice";
    for (auto part = std::next(shownInPart.begin()); part != std::prev(shownInPart.end()); ++part) {
        EXPECT_GE(part->second.size(), 3u) << "LED 0 lit in turn and dark while part " << part->first << " is written";
    }
    EXPECT_NE(journal.find(" dropped=0\n"), std::string::npos) << journal.substr(0, journal.find('\n'));
    PostMessageW(view, WM_CLOSE, 0, 0);
    EXPECT_EQ(viewer->WaitForExit(10000), std::optional<DWORD>(0));
}

} // namespace
