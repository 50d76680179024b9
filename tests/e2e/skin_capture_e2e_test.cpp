// What the window looks like on screen: each page's capture against its skin bitmap, the window's size and
// outline, and no key-colour white left inside the outline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "app/ControlTable.h"
#include "framework/Gdi.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

bool NearWhite(std::uint32_t c) {
    return (c & 0xFF) >= 253 && ((c >> 8) & 0xFF) >= 253 && ((c >> 16) & 0xFF) >= 253;
}

bool Same(std::uint32_t a, std::uint32_t b) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 8) {
            return false;
        }
    }
    return true;
}

// The rectangles of the window's visible child controls, in window coordinates.
std::vector<RECT> ControlRects(HWND main) {
    std::vector<RECT> rects;
    RECT w = WindowRect(main);
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child)) {
            RECT r = WindowRect(child);
            rects.push_back({r.left - w.left, r.top - w.top, r.right - w.left, r.bottom - w.top});
        }
    }
    return rects;
}

bool OnTheFace(const std::vector<RECT>& controls, int x, int y) {
    return std::none_of(controls.begin(), controls.end(),
                        [&](const RECT& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; });
}

class SkinCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveSettings();
        folder_ = MakeScratchFolder(L"capture");
        const StandInFiles standIn(folder_);
        standIn.WriteConfig("");
        process_ = Process::Start(ProgramLaunch(ProgramFolder() + L"\\Prismel.exe", standIn));
        ASSERT_TRUE(process_);
        main_ = WaitForMainWindow(*process_);
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(WaitUntilInitialised(main_));
        // Keep the pointer off the window, so that no button shows its hover look.
        SetCursorPos(5, 1000);
    }
    void TearDown() override { RemoveSettings(); }

    // Captures the page after it has settled and checks it against skin bitmap id.
    void CheckPage(int skinId, const wchar_t* name) {
        Sleep(600);
        DWORD_PTR ignored;
        SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
        Image shot = CaptureWindow(main_);
        shot.SaveBmp(folder_ + L"\\" + name + L".bmp");
        ASSERT_EQ(shot.width, 990);
        ASSERT_EQ(shot.height, 675);
        Image skin = LoadBitmapImage(ProgramFolder() + L"\\Prismel.exe", skinId);
        ASSERT_EQ(skin.width, 990);
        ASSERT_EQ(skin.height, 675);

        // The window's outline: its region leaves out column 0 (the left inset); a polygon region ends short of
        // its right and bottom vertices, so the last column and row are outside too.
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(main_, region), ERROR);
        EXPECT_FALSE(PtInRegion(region, 0, 300));
        EXPECT_TRUE(PtInRegion(region, 1, 0));
        EXPECT_TRUE(PtInRegion(region, 988, 673));
        EXPECT_TRUE(PtInRegion(region, 495, 337));
        RECT box{};
        GetRgnBox(region, &box);
        EXPECT_EQ(box.left, 1);
        EXPECT_EQ(box.right, 989);
        EXPECT_EQ(box.bottom, 674);
        DeleteObject(region);

        std::vector<RECT> controls = ControlRects(main_);
        std::size_t compared = 0, matching = 0, white = 0;
        for (int y = 0; y < 675; y += 3) {
            for (int x = 1; x < 990; x += 3) {
                std::uint32_t seen = shot.At(x, y);
                white += NearWhite(seen) && x < 989 && y < 674 && (x < 8 || x > 980 || y < 8 || y > 665) ? 1 : 0;
                if (!OnTheFace(controls, x, y)) {
                    continue;
                }
                ++compared;
                matching += Same(seen, skin.At(x, y)) ? 1 : 0;
            }
        }
        EXPECT_EQ(white, 0u) << name << ": white at the edges of the outline";
        ASSERT_GT(compared, 10000u);
        EXPECT_GT(static_cast<double>(matching) / static_cast<double>(compared), 0.98)
            << name << ": the face shows its skin (" << matching << " of " << compared << ")";
    }

    std::wstring folder_;
    std::optional<Process> process_;
    HWND main_ = nullptr;
};

// Every button's outline covers its face, its normal image less the last column and row: the window is that face,
// with no region to clip it.
TEST_F(SkinCaptureTest, EveryButtonHasItsPlaceAndIsTheFaceOfItsNormalImage) {
    RECT window = WindowRect(main_);
    for (const ButtonRow& row : kButtonTable) {
        Image image = LoadBitmapImage(ProgramFolder() + L"\\Prismel.exe", row.normalImage);
        HWND button = GetDlgItem(main_, row.id);
        RECT r = WindowRect(button);
        EXPECT_EQ(r.left - window.left, row.x) << row.id;
        EXPECT_EQ(r.top - window.top, row.y) << row.id;
        EXPECT_EQ(r.right - r.left, image.width - 1) << row.id;
        EXPECT_EQ(r.bottom - r.top, image.height - 1) << row.id;
        fw::Region region(CreateRectRgn(0, 0, 0, 0));
        EXPECT_EQ(GetWindowRgn(button, region.Get()), ERROR) << row.id;
    }
}

TEST_F(SkinCaptureTest, EachPageShowsItsSkin) {
    CheckPage(IDB_PAGE_LIGHTING, L"lighting");
    Click(GetDlgItem(main_, IDC_BTN_TAB_MODULE_INFO));
    CheckPage(IDB_PAGE_MODULE_INFO, L"module-info");
    Click(GetDlgItem(main_, IDC_BTN_TAB_ABOUT));
    CheckPage(IDB_PAGE_ABOUT, L"about");
    Click(GetDlgItem(main_, IDC_BTN_TAB_LIGHTING));
    CheckPage(IDB_PAGE_LIGHTING, L"lighting-again");
}

} // namespace
