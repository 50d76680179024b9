// Shaping windows from bitmap resources: outline, size, insets, and every failure leaving the window alone.
#include "skin/BmpRgn_win32.h"

#include <gtest/gtest.h>

#include "res/SkinLayout.h"
#include "tests/win32/skin_test_ids.h"
#include "tests/win32/skin_test_support.h"

namespace {

using skintest::TestHost;

class BmpRgnTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.Open(400, 300)); }

    // A plain child window of the host.
    HWND Child(int x, int y, int width, int height) {
        return CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, x, y, width, height, host.m_hWnd, nullptr,
                               nullptr, nullptr);
    }

    static RECT RectInParent(HWND window) {
        RECT rect{};
        GetWindowRect(window, &rect);
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // The window's region, or null if it has none.
    static fw::Region RegionOf(HWND window) {
        fw::Region region(CreateRectRgn(0, 0, 0, 0));
        if (GetWindowRgn(window, region.Get()) == ERROR) {
            region.Reset();
        }
        return region;
    }

    static RECT BoxOf(HWND window) {
        RECT box{-1, -1, -1, -1};
        fw::Region region = RegionOf(window);
        if (region) {
            GetRgnBox(region.Get(), &box);
        }
        return box;
    }

    static void Shape(HWND window, UINT bitmapId, int leftInset = 0, int rightInset = 0) {
        CBmpRgn shaper;
        shaper.SetInsets(leftInset, rightInset);
        shaper.ShapeWindow(window, bitmapId);
    }

    TestHost host;
};

void ExpectRect(const RECT& actual, int left, int top, int right, int bottom) {
    EXPECT_EQ(actual.left, left);
    EXPECT_EQ(actual.top, top);
    EXPECT_EQ(actual.right, right);
    EXPECT_EQ(actual.bottom, bottom);
}

// shape.bmp: rows 0-7 opaque in columns 8-23 (4-7 within the key tolerance), rows 8-15 the full width with a white
// hole in columns 12-19 of rows 10-13, rows 16-23 columns 2-27 (2-3 differ from white by 3 in blue only).
TEST_F(BmpRgnTest, OutlineFollowsTheRowsAndTheWindowTakesTheBitmapSize) {
    HWND larger = Child(10, 15, 100, 80);
    HWND smaller = Child(150, 20, 5, 5);
    Shape(larger, IDB_TEST_SHAPE);
    Shape(smaller, IDB_TEST_SHAPE);
    ExpectRect(RectInParent(larger), 10, 15, 42, 39);
    ExpectRect(RectInParent(smaller), 150, 20, 182, 44);

    fw::Region region = RegionOf(larger);
    ASSERT_TRUE(region);
    struct Probe {
        int x, y;
        bool inside;
    };
    const Probe probes[] = {
        {6, 3, false},  {9, 3, true},   {22, 3, true},  {25, 3, false}, // top; near-white counts as white
        {0, 12, true},  {16, 12, true}, {30, 12, true},                 // middle; the hole stays part of the window
        {1, 20, false}, {2, 20, true},  {26, 20, true}, {29, 20, false} // bottom; 252 in blue is opaque
    };
    for (const Probe& probe : probes) {
        EXPECT_EQ(PtInRegion(region.Get(), probe.x, probe.y) != FALSE, probe.inside) << probe.x << "," << probe.y;
    }
}

TEST_F(BmpRgnTest, InsetsMoveTheLeftEdgeInAndTheRightEdgeIn) {
    HWND plain = Child(10, 10, 40, 40);
    HWND inset = Child(60, 10, 40, 40);
    Shape(plain, IDB_TEST_SHAPE);
    Shape(inset, IDB_TEST_SHAPE, 1, 2);
    fw::Region a = RegionOf(plain);
    fw::Region b = RegionOf(inset);
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(PtInRegion(a.Get(), 8, 3));
    EXPECT_FALSE(PtInRegion(b.Get(), 8, 3));
    EXPECT_TRUE(PtInRegion(b.Get(), 9, 3));
    EXPECT_TRUE(PtInRegion(a.Get(), 22, 3));
    EXPECT_FALSE(PtInRegion(b.Get(), 21, 3));
    EXPECT_TRUE(PtInRegion(b.Get(), 20, 3));
}

// Every skin image is opaque to its edges: the outline runs through its first and last columns in every row (the
// polygon region leaves out the last column and row, as the button's paint does).
TEST_F(BmpRgnTest, SkinImagesKeepTheirWholeWidth) {
    const UINT ids[] = {IDB_MINIMISE, IDB_CLOSE,        IDB_APPLY, IDB_POWER_ON,  IDB_MODE_STATIC,
                        IDB_SPEED_5,  IDB_COLOUR_WHEEL, IDB_WEB,   IDB_TAB_ABOUT, IDB_SUBPAGE_BACK};
    for (UINT id : ids) {
        fw::Bitmap bitmap(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
        BITMAP info{};
        ASSERT_TRUE(bitmap && GetObjectW(bitmap.Get(), sizeof(info), &info)) << id;
        HWND child = Child(5, 5, 10, 10);
        Shape(child, id);
        SCOPED_TRACE(id);
        ExpectRect(BoxOf(child), 0, 0, info.bmWidth - 1, info.bmHeight - 1);
        DestroyWindow(child);
    }
    // The main window's way: a top-level window, left inset 1, from the lighting page.
    HWND page = CreateWindowExW(0, L"Static", L"", WS_POPUP, 300, 200, 100, 100, nullptr, nullptr, nullptr, nullptr);
    Shape(page, IDB_PAGE_LIGHTING, 1, 0);
    RECT rect{};
    GetWindowRect(page, &rect);
    ExpectRect(rect, 300, 200, 300 + SKIN_PAGE_W, 200 + SKIN_PAGE_H);
    ExpectRect(BoxOf(page), 1, 0, SKIN_PAGE_W - 1, SKIN_PAGE_H - 1);
    DestroyWindow(page);
}

// A window with a caption and border keeps them around a client area of the bitmap's size; the outline lies over
// the client area.
TEST_F(BmpRgnTest, FramedWindowGetsAClientAreaOfTheBitmapSize) {
    HWND framed = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_CAPTION, 300, 200, 200, 150, nullptr, nullptr,
                                  nullptr, nullptr);
    Shape(framed, IDB_TEST_SHAPE);
    RECT client{};
    GetClientRect(framed, &client);
    ExpectRect(client, 0, 0, 32, 24);
    RECT window{};
    GetWindowRect(framed, &window);
    POINT origin{0, 0};
    ClientToScreen(framed, &origin);
    const int dx = origin.x - window.left;
    const int dy = origin.y - window.top;
    EXPECT_GT(dy, 0);
    EXPECT_EQ(window.left, 300);
    ExpectRect(BoxOf(framed), dx, dy, dx + 31, dy + 23);
    DestroyWindow(framed);
}

TEST_F(BmpRgnTest, FailuresLeaveTheWindowAsItWas) {
    HWND child = Child(20, 30, 50, 40);
    SetWindowRgn(child, CreateRectRgn(0, 0, 10, 10), TRUE);
    const UINT failing[] = {IDB_TEST_MISSING, 0, IDB_TEST_MONO}; // no such bitmap, no image, unreadable format
    for (UINT id : failing) {
        SCOPED_TRACE(id);
        Shape(child, id);
        ExpectRect(RectInParent(child), 20, 30, 70, 70);
        ExpectRect(BoxOf(child), 0, 0, 10, 10);
    }
    Shape(nullptr, IDB_TEST_SHAPE); // nothing to shape, nothing happens
    HWND gone = Child(0, 0, 5, 5);
    DestroyWindow(gone);
    Shape(gone, IDB_TEST_SHAPE);
}

} // namespace
