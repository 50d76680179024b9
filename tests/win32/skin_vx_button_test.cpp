// The bitmap button under Wine: clicks, the 2000 ms rule, capture, hover, colour pick, and what its paint shows.
#include "skin/VxButton_win32.h"

#include <gtest/gtest.h>

#include <array>

#include <climits>
#include <string>
#include <vector>

#include "res/SkinLayout.h"
#include "res/resource.h"
#include "tests/win32/skin_test_ids.h"
#include "tests/win32/skin_test_support.h"

namespace {

using skintest::Capture;
using skintest::Pump;
using skintest::PumpFor;
using skintest::TestHost;

constexpr COLORREF kNormal = RGB(20, 40, 120); // normal.bmp
constexpr COLORREF kHot = RGB(170, 30, 30);    // hot.bmp
constexpr COLORREF kWheelBackground = SKIN_COLOUR_WHEEL_BACKGROUND;

std::uint32_t g_now = 0;
std::uint32_t FakeTick() {
    return g_now;
}

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

// Where a capture has caption ink (bright pixels): its bounding box and its bands of consecutive inked rows.
struct Ink {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    std::vector<std::pair<int, int>> bands; // first and last row

    explicit Ink(const Capture& capture) {
        for (int y = 0; y < capture.height; ++y) {
            bool inked = false;
            for (int x = 0; x < capture.width; ++x) {
                const COLORREF c = capture.At(x, y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) > 450) {
                    inked = true;
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
            if (!inked) {
                continue;
            }
            top = std::min(top, y);
            bottom = y;
            if (!bands.empty() && bands.back().second == y - 1) {
                bands.back().second = y;
            } else {
                bands.push_back({y, y});
            }
        }
    }
};

class VxButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open(640, 360));
        previousClock = CVxButton::SetTickSource(&FakeTick);
        g_now = 100000;
    }
    void TearDown() override { CVxButton::SetTickSource(previousClock); }

    // A button whose size is kept (no normal image at creation), painted from the solid test images afterwards.
    void MakeSolid(CVxButton& button, int id, const RECT& rect, LPCWSTR caption = L"") {
        button.SetBitmaps(0, 0, 0);
        ASSERT_TRUE(button.Create(caption, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, host.m_hWnd, id));
        button.SetBitmaps(IDB_TEST_NORMAL, IDB_TEST_HOT, 0);
    }

    static Capture Painted(const CVxButton& button) {
        UpdateWindow(button.m_hWnd);
        return Capture(button.m_hWnd);
    }

    static void Press(const CVxButton& button, std::uint32_t at, LPARAM point = 0) {
        g_now = at;
        button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, point);
    }
    static void Release(const CVxButton& button, std::uint32_t at, LPARAM point = 0) {
        g_now = at;
        button.SendMessage(WM_LBUTTONUP, 0, point);
    }

    std::size_t ClicksAfterPump() {
        Pump();
        return host.commands.size();
    }

    TestHost host;
    CVxButton::TickSource previousClock = nullptr;
};

TEST_F(VxButtonTest, CreationShapesFromTheNormalImageAndKeepsTheImageSet) {
    CVxButton button;
    button.SetBitmaps(IDB_TEST_SHAPE, IDB_TEST_HOT, 7); // before the window: only stored
    ASSERT_TRUE(
        button.Create(L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, {10, 10, 110, 110}, host.m_hWnd, IDC_TEST_BUTTON));
    RECT rect{};
    GetWindowRect(button.m_hWnd, &rect);
    EXPECT_EQ(rect.right - rect.left, 32);
    EXPECT_EQ(rect.bottom - rect.top, 24);
    fw::Region region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(button.m_hWnd, region.Get()), ERROR);
    EXPECT_FALSE(PtInRegion(region.Get(), 2, 3));
    EXPECT_TRUE(PtInRegion(region.Get(), 10, 3));

    int normal = 0, hot = 0, spare = 0;
    button.GetBitmaps(&normal, &hot, &spare);
    EXPECT_EQ(normal, IDB_TEST_SHAPE);
    EXPECT_EQ(hot, IDB_TEST_HOT);
    EXPECT_EQ(spare, 7);
    button.GetBitmaps(nullptr, nullptr, nullptr);
    button.GetBitmaps(nullptr, &hot, nullptr);
    EXPECT_EQ(hot, IDB_TEST_HOT);
}

// Buttons sharing a store load each image once; closed, the store holds none and the buttons paint without one;
// opened, the next paint loads again. Shaping is the owner's call: creation cuts no outline.
TEST_F(VxButtonTest, SharedImagesAreLoadedOncePerIdAndLetGoTogether) {
    CSkinImages images;
    std::array<CVxButton, 3> buttons;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        buttons[i].ShareImages(images);
        buttons[i].SetBitmaps(i < 2 ? IDB_TEST_NORMAL : IDB_TEST_HOT, IDB_TEST_HOT, 0);
        const int left = 10 + 130 * static_cast<int>(i);
        ASSERT_TRUE(buttons[i].CreateThenAttach(L"", WS_CHILD | WS_VISIBLE, {left, 10, left + 120, 50}, host.m_hWnd,
                                                IDC_TEST_BUTTON + static_cast<UINT>(i)));
        fw::Region region(CreateRectRgn(0, 0, 0, 0));
        EXPECT_EQ(GetWindowRgn(buttons[i].m_hWnd, region.Get()), ERROR) << "not shaped at creation";
    }
    for (const CVxButton& button : buttons) {
        EXPECT_EQ(Painted(button).At(50, 20), &button == &buttons[2] ? kHot : kNormal);
    }
    EXPECT_EQ(images.Count(), 2u) << "one per id";

    images.Close();
    EXPECT_EQ(images.Count(), 0u);
    InvalidateRect(buttons[0].m_hWnd, nullptr, FALSE);
    Painted(buttons[0]);
    EXPECT_EQ(images.Count(), 0u) << "nothing loaded while closed";
    images.Open();
    InvalidateRect(buttons[0].m_hWnd, nullptr, FALSE);
    EXPECT_EQ(Painted(buttons[0]).At(50, 20), kNormal);
    EXPECT_EQ(images.Count(), 1u);
}

TEST_F(VxButtonTest, ClickIsPostedToTheParentWithTheButtonsHandle) {
    CVxButton buttons[3];
    for (int i = 0; i < 3; ++i) {
        MakeSolid(buttons[i], IDC_TEST_BUTTON + i, {10 + 60 * i, 10, 60 + 60 * i, 40});
    }
    Press(buttons[1], g_now);
    Release(buttons[1], g_now + 10);
    EXPECT_TRUE(host.commands.empty()); // posted, not sent
    ASSERT_EQ(ClicksAfterPump(), 1u);
    EXPECT_EQ(host.commands[0].wParam, MAKEWPARAM(IDC_TEST_BUTTON + 1, BN_CLICKED));
    EXPECT_EQ(host.commands[0].lParam, reinterpret_cast<LPARAM>(buttons[1].m_hWnd));
    EXPECT_FALSE(host.commands[0].sent);

    // The main window's own way of clicking the close button: posted down and up at (0, 0).
    buttons[2].PostMessage(WM_LBUTTONDOWN, 0, 0);
    buttons[2].PostMessage(WM_LBUTTONUP, 0, 0);
    ASSERT_EQ(ClicksAfterPump(), 2u);
    EXPECT_EQ(host.commands[1].lParam, reinterpret_cast<LPARAM>(buttons[2].m_hWnd));
}

TEST_F(VxButtonTest, OnlyPressesShorterThan2000msAreClicks) {
    CVxButton button;
    MakeSolid(button, IDC_TEST_BUTTON, {10, 10, 110, 50});
    Press(button, 5000);
    Release(button, 6999);
    EXPECT_EQ(ClicksAfterPump(), 1u);
    Press(button, 5000);
    Release(button, 7000);
    EXPECT_EQ(ClicksAfterPump(), 1u);
    Press(button, 5000);
    EXPECT_EQ(Painted(button).At(50, 20), kHot);
    Release(button, 9000);
    EXPECT_EQ(ClicksAfterPump(), 1u);
    EXPECT_EQ(Painted(button).At(50, 20), kNormal); // the pressed look ends all the same
    Press(button, 0xFFFFFF00u);                     // the tick count wraps during the press
    Release(button, 0x00000300u);
    EXPECT_EQ(ClicksAfterPump(), 2u);
    Press(button, 0xFFFFF000u);
    Release(button, 0x00000800u);
    EXPECT_EQ(ClicksAfterPump(), 2u);
}

TEST_F(VxButtonTest, LeavingWithTheButtonHeldKeepsTheCaptureAndTheReleaseOutsideClicks) {
    CVxButton button;
    MakeSolid(button, IDC_TEST_BUTTON, {20, 20, 120, 60});
    button.SendMessage(WM_MOUSEMOVE, 0, At(50, 20));
    EXPECT_EQ(GetCapture(), button.m_hWnd);
    Press(button, g_now, At(50, 20));
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(300, 200));
    EXPECT_EQ(GetCapture(), button.m_hWnd);
    EXPECT_EQ(Painted(button).At(50, 20), kHot); // still pressed
    Release(button, g_now + 300, At(300, 200));
    EXPECT_EQ(ClicksAfterPump(), 1u);
    button.SendMessage(WM_MOUSEMOVE, 0, At(300, 200));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Painted(button).At(50, 20), kNormal);
}

TEST_F(VxButtonTest, HoverShowsTheHotImageUntilTheTimerFindsTheCursorElsewhere) {
    CVxButton button;
    MakeSolid(button, IDC_TEST_BUTTON, {20, 20, 120, 60});
    EXPECT_EQ(Painted(button).At(50, 20), kNormal);
    button.SendMessage(WM_MOUSEMOVE, 0, At(50, 20)); // the real cursor is far away
    EXPECT_EQ(Painted(button).At(50, 20), kHot);
    PumpFor(350);
    EXPECT_EQ(Painted(button).At(50, 20), kNormal);

    SetCursorPos(TestHost::kLeft + 70, TestHost::kTop + 40); // now it is over the button
    button.SendMessage(WM_MOUSEMOVE, 0, At(50, 20));
    PumpFor(350);
    EXPECT_EQ(Painted(button).At(50, 20), kHot);
}

TEST_F(VxButtonTest, ColourPickTakesThePixelUnderThePressAndMarksIt) {
    CVxButton wheel;
    wheel.SetBitmaps(IDB_COLOUR_WHEEL, IDB_COLOUR_WHEEL, 0);
    ASSERT_TRUE(wheel.Create(L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, {20, 20, 80, 80}, host.m_hWnd,
                             IDC_BTN_COLOUR_WHEEL));
    RECT client{};
    GetClientRect(wheel.m_hWnd, &client);
    EXPECT_EQ(client.right, SKIN_COLOUR_WHEEL_W - 1); // created smaller, sized to its image's face
    EXPECT_EQ(client.bottom, SKIN_COLOUR_WHEEL_H - 1);
    fw::Region region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(wheel.m_hWnd, region.Get()), ERROR); // the outline covers the face: no region
    EXPECT_EQ(wheel.GetPickedColor(), RGB(61, 69, 255));
    const Capture before = Painted(wheel);

    Press(wheel, g_now, At(12, 12)); // colour pick off: nothing is sampled
    Release(wheel, g_now);
    EXPECT_EQ(wheel.GetPickedColor(), RGB(61, 69, 255));

    wheel.SetColorPick(TRUE);
    Press(wheel, 5000, At(12, 12)); // outside the disc
    EXPECT_EQ(wheel.GetPickedColor(), kWheelBackground);
    const Capture marked(wheel.m_hWnd); // drawn at once, before any paint
    for (auto [x, y] : {std::pair{9, 9}, {12, 9}, {15, 9}, {15, 12}, {15, 15}, {12, 15}, {9, 15}, {9, 12}}) {
        EXPECT_EQ(marked.At(x, y), RGB(0, 0, 0)) << x << "," << y;
    }
    EXPECT_EQ(marked.At(12, 12), kWheelBackground);
    EXPECT_EQ(marked.At(17, 12), kWheelBackground);

    Release(wheel, 5000 + 2500); // a long press: no click, the colour still counts
    EXPECT_EQ(ClicksAfterPump(), 1u);
    Press(wheel, g_now, At(84, 30)); // on the disc
    Release(wheel, g_now);
    EXPECT_EQ(wheel.GetPickedColor(), before.At(84, 30));
    EXPECT_NE(wheel.GetPickedColor(), kWheelBackground);
    const COLORREF onDisc = wheel.GetPickedColor();
    Press(wheel, g_now, At(-20, -20)); // off the window: the last colour stays
    Release(wheel, g_now);
    EXPECT_EQ(wheel.GetPickedColor(), onDisc);
}

TEST_F(VxButtonTest, PaintStretchesTheImageOverAllButTheLastColumnAndRow) {
    CVxButton button;
    MakeSolid(button, IDC_TEST_BUTTON, {20, 20, 140, 60});
    const Capture normal = Painted(button);
    EXPECT_EQ(normal.At(0, 0), kNormal);
    EXPECT_EQ(normal.At(118, 38), kNormal);
    EXPECT_EQ(normal.At(119, 10), TestHost::kFace);
    EXPECT_EQ(normal.At(10, 39), TestHost::kFace);

    // Disabled looks the same, and nothing is erased.
    EnableWindow(button.m_hWnd, FALSE);
    EXPECT_TRUE(GetUpdateRect(button.m_hWnd, nullptr, FALSE));
    EXPECT_EQ(Painted(button).pixels, normal.pixels);
    {
        fw::WindowDC dc(button.m_hWnd);
        EXPECT_NE(button.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get())), 0);
    }
    EXPECT_EQ(Capture(button.m_hWnd).pixels, normal.pixels);

    // No image, or one that does not load: the caption is still drawn.
    button.SetBitmaps(IDB_TEST_MISSING, 0, 0);
    button.SetWindowText(L"Reset");
    const Ink ink(Painted(button));
    EXPECT_GE(ink.right, ink.left);
}

TEST_F(VxButtonTest, NewImagesReplaceTheOnesItKeeps) {
    CVxButton button;
    MakeSolid(button, IDC_TEST_BUTTON, {20, 20, 140, 60});
    EXPECT_EQ(Painted(button).At(50, 20), kNormal);
    button.SetBitmaps(IDB_TEST_HOT, IDB_TEST_NORMAL, 0);
    EXPECT_EQ(Painted(button).At(50, 20), kHot);
}

TEST_F(VxButtonTest, CaptionIsOneLineOrSplitsAtTheFirstLineFeed) {
    fw::Font font(CreateFontW(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    CVxButton button;
    MakeSolid(button, IDC_TEST_BUTTON, {10, 10, 610, 58}, L"Apply"); // 600 x 48
    button.SetFont(font.Get(), false);
    const Ink one(Painted(button));
    ASSERT_EQ(one.bands.size(), 1u);
    EXPECT_NEAR((one.top + one.bottom) / 2.0, (48 - 6) / 2.0, 2.0);
    EXPECT_NEAR((one.left + one.right) / 2.0, 300.0, 2.0);

    button.SetWindowText(L"Static\nBreathing");
    const Ink two(Painted(button));
    ASSERT_EQ(two.bands.size(), 2u);
    EXPECT_NEAR((two.bands[0].first + two.bands[0].second) / 2.0, (6 + 28) / 2.0, 2.0);
    EXPECT_NEAR((two.bands[1].first + two.bands[1].second) / 2.0, (24 + 47) / 2.0, 2.0);

    button.SetWindowText(L"W\nW\nW"); // the second line feed stays in the lower line
    const Ink three(Painted(button));
    ASSERT_EQ(three.bands.size(), 2u);
    button.SetWindowText(L"W");
    const Ink single(Painted(button));
    EXPECT_GT(three.right - three.left, 2 * (single.right - single.left));

    const std::wstring first63 = L"012345678901234567890123456789012345678901234567890123456789abc";
    button.SetWindowText(first63.c_str());
    const Capture cut = Painted(button);
    button.SetWindowText((first63 + L"WXYZ\n1").c_str());
    EXPECT_EQ(Painted(button).pixels, cut.pixels);
    button.SetWindowText((first63.substr(0, 62) + L"W").c_str());
    EXPECT_NE(Painted(button).pixels, cut.pixels);
}

TEST_F(VxButtonTest, PressedTwoLineCaptionMovesOnePixelLeft) {
    CVxButton button;
    MakeSolid(button, IDC_TEST_BUTTON, {10, 10, 210, 58}, L"Colour\ncycle");
    button.SetBitmaps(IDB_TEST_NORMAL, IDB_TEST_NORMAL, 0); // the text is the only difference
    const Capture released = Painted(button);
    Press(button, g_now);
    const Capture pressed = Painted(button);
    Release(button, g_now);
    int moved = 0;
    for (int y = 0; y < released.height; ++y) {
        for (int x = 0; x + 2 < released.width; ++x) {
            moved += pressed.At(x, y) == released.At(x + 1, y) ? 0 : 1;
        }
    }
    EXPECT_EQ(moved, 0);
    EXPECT_NE(pressed.pixels, released.pixels);

    button.SetWindowText(L"Apply");
    const Capture oneReleased = Painted(button);
    Press(button, g_now);
    EXPECT_EQ(Painted(button).pixels, oneReleased.pixels);
}

TEST_F(VxButtonTest, TextAndFontAreStoredWithoutTheSystemButtonPainting) {
    fw::Font large(CreateFontW(-30, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    CVxButton button;
    MakeSolid(button, IDC_TEST_BUTTON, {10, 10, 210, 58});
    Painted(button);
    EXPECT_TRUE(SetWindowTextW(button.m_hWnd, L"Apply"));
    EXPECT_EQ(button.GetWindowText(), L"Apply");
    EXPECT_EQ(Capture(button.m_hWnd).At(2, 2), kNormal); // not painted by the system button
    EXPECT_TRUE(GetUpdateRect(button.m_hWnd, nullptr, FALSE));
    const Ink small(Painted(button));

    EXPECT_EQ(button.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(large.Get()), TRUE), 0);
    EXPECT_FALSE(GetUpdateRect(button.m_hWnd, nullptr, FALSE)); // stored, no redraw
    button.Invalidate(false);
    const Ink big(Painted(button));
    EXPECT_GT(big.bottom - big.top, small.bottom - small.top + 5);
}

TEST_F(VxButtonTest, DoubleClicksSecondPressGoesOnlyToTheDefault) {
    CVxButton button;
    MakeSolid(button, IDC_TEST_BUTTON, {10, 10, 110, 50});
    Press(button, 1000);
    Release(button, 1100);
    EXPECT_EQ(ClicksAfterPump(), 1u);
    g_now = 2500;
    button.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    button.Invalidate(false);
    EXPECT_EQ(Painted(button).At(50, 20), kNormal); // not pressed
    Release(button, 3100);                          // 2100 ms after the first press
    EXPECT_EQ(ClicksAfterPump(), 1u);
}

} // namespace
