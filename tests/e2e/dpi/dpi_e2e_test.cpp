// The window at the screen's scale, as a user at 125, 150 and 200 % sees it: Wine gives every program the DPI
// of the prefix's LogPixels, so each test sets it before it starts the program (and these tests run alone). The
// window's size, each page against the artwork drawn at that scale, a mode button and the colour wheel at their
// scaled places, and a move to another screen's DPI and back.
#include <gtest/gtest.h>
#include <objbase.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/ControlTable.h"
#include "base/SkinScale.h"
#include "skin/SkinBitmap_win32.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

SkinPixels PixelsOf(const Image& image) {
    SkinPixels pixels;
    pixels.width = image.width;
    pixels.height = image.height;
    for (std::uint32_t c : image.pixels) {
        pixels.bits.insert(pixels.bits.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                               static_cast<std::uint8_t>(c), 255});
    }
    return pixels;
}

Image ImageOf(const SkinPixels& pixels) {
    Image image;
    image.width = pixels.width;
    image.height = pixels.height;
    for (std::size_t p = 0; p + 3 < pixels.bits.size(); p += 4) {
        image.pixels.push_back(RGB(pixels.bits[p + 2], pixels.bits[p + 1], pixels.bits[p]));
    }
    return image;
}

// The generator's drawing of a skin bitmap at a DPI (its file in the skin folder), in English.
std::wstring WideOf(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

Image Drawing(const std::string& name, int dpi) {
    const int percent = dpi * 100 / SKIN_BASE_DPI;
    const std::string bytes =
        ReadTextFile(std::wstring(PRISMEL_SKIN_DIR) + L"\\" + WideOf(name) + L"." + std::to_wstring(percent) + L".png");
    return ImageOf(DecodeSkinImage({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}));
}

int Difference(std::uint32_t a, std::uint32_t b) {
    int most = 0;
    for (int shift : {0, 8, 16}) {
        most = std::max(most, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    }
    return most;
}

// How a capture compares with an image of the same size, over the window's face (not over its visible controls,
// which draw themselves): the share of pixels within 8 per colour byte, and the mean largest byte difference.
struct Likeness {
    double same = 0.0;
    double meanDifference = 0.0;
};
Likeness Compare(HWND main, const Image& shot, const Image& image) {
    std::vector<RECT> controls;
    const RECT window = WindowRect(main);
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child)) {
            RECT r = WindowRect(child);
            OffsetRect(&r, -window.left, -window.top);
            controls.push_back(r);
        }
    }
    std::size_t compared = 0, same = 0;
    double total = 0.0;
    for (int y = 2; y + 2 < shot.height && y < image.height; y += 2) {
        for (int x = 2; x + 2 < shot.width && x < image.width; x += 2) {
            const POINT point{x, y};
            if (std::any_of(controls.begin(), controls.end(), [&](const RECT& r) { return PtInRect(&r, point); })) {
                continue;
            }
            const int d = Difference(shot.At(x, y), image.At(x, y));
            ++compared;
            same += d <= 8 ? 1 : 0;
            total += d;
        }
    }
    if (compared == 0) {
        return {};
    }
    return {static_cast<double>(same) / compared, total / compared};
}

class DpiTest : public ProgramTest {
protected:
    DpiTest() : ProgramTest(L"dpi-") {}
    static void SetUpTestSuite() {
        BecomePerMonitorDpiAware();
        CoInitialize(nullptr);
    }
    void TearDown() override {
        ProgramTest::TearDown();
        SetWineScreenDpi(SKIN_BASE_DPI);
    }

    HWND StartAt(int dpi) {
        EXPECT_TRUE(SetWineScreenDpi(dpi));
        HWND main = Start();
        SetCursorPos(5, 1590); // off the window, so that no button shows its hover look
        return main;
    }

    // The page after it has settled, captured.
    Image Capture(HWND main) const {
        Sleep(500);
        Settle();
        return CaptureWindow(main);
    }

    // Clicks the mouse at a point of the 96 DPI layout, scaled.
    void ClickAt(HWND main, const SkinScale& scale, int x, int y) const {
        const RECT window = WindowRect(main);
        ClickScreenPoint({window.left + scale.Px(x), window.top + scale.Px(y)});
        Settle();
    }
};

class DpiStartTest : public DpiTest, public ::testing::WithParamInterface<int> {};

// Each page shows the artwork drawn at the screen's scale: it matches that drawing, and is further from the
// 100 % artwork resized to the scale than from it (what a scaled-up window would look like).
TEST_P(DpiStartTest, EveryPageShowsTheArtworkDrawnAtTheScreensScale) {
    const SkinScale scale(GetParam());
    HWND main = StartAt(scale.Dpi());
    ASSERT_NE(main, nullptr);
    const RECT window = WindowRect(main);
    EXPECT_EQ(window.right - window.left, scale.Px(SKIN_PAGE_W));
    EXPECT_EQ(window.bottom - window.top, scale.Px(SKIN_PAGE_H));

    struct PageCase {
        int tab;
        int skin;
        const char* name;
    };
    for (const PageCase& page : {PageCase{IDC_BTN_TAB_LIGHTING, IDB_PAGE_LIGHTING, "page_lighting"},
                                 PageCase{IDC_BTN_TAB_MODULE_INFO, IDB_PAGE_MODULE_INFO, "page_module_info"},
                                 PageCase{IDC_BTN_TAB_ABOUT, IDB_PAGE_ABOUT, "page_about"}}) {
        Click(GetDlgItem(main, page.tab));
        const Image shot = Capture(main);
        shot.SaveBmp(folder_ + L"\\" + WideOf(page.name) + L".bmp");
        const Image drawing = Drawing(page.name, scale.Dpi());
        ASSERT_EQ(drawing.width, shot.width) << page.name;
        ASSERT_EQ(drawing.height, shot.height) << page.name;
        SkinPixels resized;
        ASSERT_TRUE(ResampleSkinPixels(PixelsOf(LoadBitmapImage(folder_ + L"\\Prismel.exe", page.skin)), shot.width,
                                       shot.height, resized));
        const Likeness toDrawing = Compare(main, shot, drawing);
        const Likeness toResized = Compare(main, shot, ImageOf(resized));
        std::printf("%d DPI %s: %.4f of the face within 8 of the drawing; mean difference %.2f from the drawing, "
                    "%.2f from the 100 %% artwork resized\n",
                    scale.Dpi(), page.name, toDrawing.same, toDrawing.meanDifference, toResized.meanDifference);
        EXPECT_GT(toDrawing.same, 0.98) << page.name;
        EXPECT_LT(toDrawing.meanDifference * 1.5, toResized.meanDifference)
            << page.name << ": " << toDrawing.meanDifference << " from the drawing, " << toResized.meanDifference
            << " from the 100 % artwork resized";
    }
}

// A click at a mode button's scaled centre chooses it and Apply's sends it; a press at a point of the scaled wheel
// picks that point's colour.
TEST_P(DpiStartTest, ButtonsAndTheWheelAnswerAtTheirScaledPlaces) {
    const SkinScale scale(GetParam());
    HWND main = StartAt(scale.Dpi());
    ASSERT_NE(main, nullptr);
    std::size_t from = Journal().size();
    ClickAt(main, scale, SKIN_MODE_METEOR_X + SKIN_MODE_METEOR_W / 2, SKIN_MODE_METEOR_Y + SKIN_MODE_METEOR_H / 2);
    ClickAt(main, scale, SKIN_APPLY_X + SKIN_APPLY_W / 2, SKIN_APPLY_Y + SKIN_APPLY_H / 2);
    const auto calls = LightingCallsSince(from);
    EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [](const std::string& c) {
        return c.rfind("SetZorvaEffect(0x07,", 0) == 0;
    })) << "Meteor applied";

    const Image wheel = Drawing("colour_wheel", scale.Dpi());
    const SkinRect place =
        scale.Rect({SKIN_COLOUR_WHEEL_X, SKIN_COLOUR_WHEEL_Y, SKIN_COLOUR_WHEEL_W, SKIN_COLOUR_WHEEL_H});
    ASSERT_EQ(wheel.width, place.w);
    // A point a third of the way from the centre towards the upper right, where the wheel is green to yellow.
    const int x = place.w * 2 / 3, y = place.h / 3;
    const RECT window = WindowRect(main);
    ClickScreenPoint({window.left + place.x + x, window.top + place.y + y});
    Settle();
    const std::uint32_t expected = wheel.At(x, y);
    const int boxes[] = {std::stoi(GetText(GetDlgItem(main, IDC_RED_BOX))),
                         std::stoi(GetText(GetDlgItem(main, IDC_GREEN_BOX))),
                         std::stoi(GetText(GetDlgItem(main, IDC_BLUE_BOX)))};
    EXPECT_LE(Difference(RGB(boxes[0], boxes[1], boxes[2]), expected), 8)
        << boxes[0] << " " << boxes[1] << " " << boxes[2] << " against the drawing's " << std::hex << expected;
}

INSTANTIATE_TEST_SUITE_P(Dpi, DpiStartTest, ::testing::Values(120, 144, 192));

// WM_DPICHANGED (the window dragged to a screen of 150 % and back) gives the window a start at that DPI gives:
// size, artwork, and the place the system suggests.
TEST_F(DpiTest, MovingToAnotherScreensDpiAndBack) {
    HWND main = StartAt(144);
    ASSERT_NE(main, nullptr);
    const Image startedAt144 = Capture(main);
    ASSERT_TRUE(Quit(main));

    main = StartAt(SKIN_BASE_DPI);
    ASSERT_NE(main, nullptr);
    const Image startedAt96 = Capture(main);
    const SkinScale scale(144);
    RECT suggested{100, 80, 100 + scale.Px(SKIN_PAGE_W), 80 + scale.Px(SKIN_PAGE_H)};
    SendMessageWithRect(main, WM_DPICHANGED, MAKEWPARAM(144, 144), suggested);
    const RECT moved = WindowRect(main);
    EXPECT_EQ(moved.left, 100);
    EXPECT_EQ(moved.top, 80);
    const Image at144 = Capture(main);
    ASSERT_EQ(at144.width, startedAt144.width);
    ASSERT_EQ(at144.height, startedAt144.height);
    EXPECT_GT(Compare(main, at144, startedAt144).same, 0.995);

    RECT back{200, 150, 200 + SKIN_PAGE_W, 150 + SKIN_PAGE_H};
    SendMessageWithRect(main, WM_DPICHANGED, MAKEWPARAM(96, 96), back);
    const Image at96 = Capture(main);
    ASSERT_EQ(at96.width, SKIN_PAGE_W);
    ASSERT_EQ(at96.height, SKIN_PAGE_H);
    EXPECT_GT(Compare(main, at96, startedAt96).same, 0.995);
}

} // namespace
