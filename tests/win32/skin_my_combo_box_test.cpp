// The owner-drawn combo box under Wine: item heights, item records, drawing, and release with the window.
#include "skin/MyComboBox_win32.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/Dialog.h"
#include "res/SkinLayout.h"
#include "tests/win32/skin_test_ids.h"
#include "tests/win32/skin_test_support.h"

namespace {

using skintest::Pump;
using skintest::TestHost;

constexpr DWORD kSelectorStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS;
constexpr COLORREF kSentinel = RGB(200, 0, 200);
constexpr COLORREF kRow = SKIN_COLOUR_LIST_ROW;

int ItemHeight(const CComboBox& combo, int index) {
    return static_cast<int>(combo.SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(index)));
}

// A memory DC on a 300 x 40 bitmap filled with the sentinel colour; items are drawn into (0, 0)-(200, 30).
class Canvas {
public:
    Canvas() : dib_(CreateCompatibleBitmap(screen_.Get(), 300, 40)), memory_(screen_.Get()) {
        selected_.emplace(memory_.Get(), dib_.Get());
        fw::Brush sentinel(CreateSolidBrush(kSentinel));
        const RECT all{0, 0, 300, 40};
        FillRect(memory_.Get(), &all, sentinel.Get());
    }
    HDC Get() const { return memory_.Get(); }
    COLORREF At(int x, int y) const { return GetPixel(memory_.Get(), x, y); }
    bool Inked(int x, int y) const {
        const COLORREF c = At(x, y);
        return GetRValue(c) + GetGValue(c) + GetBValue(c) > 450 && c != kSentinel;
    }
    // The inked columns and rows of a rectangle: {left, top, right, bottom}, or left = -1 without ink.
    RECT Ink(const RECT& area) const {
        RECT ink{-1, -1, -1, -1};
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (Inked(x, y)) {
                    ink.left = ink.left < 0 ? x : std::min<LONG>(ink.left, x);
                    ink.top = ink.top < 0 ? y : ink.top;
                    ink.right = std::max<LONG>(ink.right, x);
                    ink.bottom = y;
                }
            }
        }
        return ink;
    }

private:
    fw::WindowDC screen_{nullptr};
    fw::Bitmap dib_;
    fw::MemoryDC memory_;
    std::optional<fw::SelectScope> selected_;
};

class MyComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open(400, 300));
        ASSERT_TRUE(combo.Create(L"ComboBox", L"", kSelectorStyle, {20, 20, 309, 220}, host.m_hWnd, IDC_TEST_COMBO));
    }

    // Draws item `id` through the host, as the system would.
    void Draw(const Canvas& canvas, UINT id, UINT state, UINT action = ODA_DRAWENTIRE) {
        DRAWITEMSTRUCT item{ODT_COMBOBOX, IDC_TEST_COMBO,  id, action, state, combo.m_hWnd,
                            canvas.Get(), {0, 0, 200, 30}, 0};
        if (id != static_cast<UINT>(-1)) {
            item.itemData = combo.GetItemData(static_cast<int>(id));
        }
        EXPECT_TRUE(host.SendMessage(WM_DRAWITEM, IDC_TEST_COMBO, reinterpret_cast<LPARAM>(&item)));
    }

    TestHost host;
    CMyComboBox combo;
};

// The main window's way: a dialog control bound to the object, measured while the dialog is being created.
class SelectorDialog : public CDialog {
public:
    SelectorDialog() : CDialog(IDD_TEST_SELECTOR) { BindControl(IDC_TEST_SELECTOR, selector); }

    CMyComboBox selector;
    int fieldHeight = 0;
    int itemHeight = 0;

protected:
    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        fieldHeight = ItemHeight(selector, -1);
        selector.AddItem(L"DIMM0", 0);
        selector.AddItem(L"DIMM1", 1);
        itemHeight = ItemHeight(selector, 1);
        EndDialog(IDOK);
        return true;
    }
};

TEST(MyComboBoxDialogTest, BoundSelectorIsMeasuredThirtyHighAndReleasesItsRecordsWithTheDialog) {
    SelectorDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_GE(dialog.fieldHeight, 30); // the measured 30, with the system's frame around it
    EXPECT_EQ(dialog.itemHeight, 30);
    EXPECT_EQ(dialog.selector.m_hWnd, nullptr);
    EXPECT_EQ(dialog.selector.GetRecordCount(), 0u);
}

TEST_F(MyComboBoxTest, MeasuresThirtyForEveryItemAndTheSelectionField) {
    for (UINT id : {static_cast<UINT>(-1), 0u, 5u}) {
        MEASUREITEMSTRUCT item{ODT_COMBOBOX, IDC_TEST_COMBO, id, 0, 12, 0};
        EXPECT_TRUE(host.SendMessage(WM_MEASUREITEM, IDC_TEST_COMBO, reinterpret_cast<LPARAM>(&item)));
        EXPECT_EQ(item.itemHeight, 30u);
    }
}

TEST_F(MyComboBoxTest, AddItemInsertsACopyAndFailsBeyondTheEnd) {
    wchar_t text[] = L"DIMM0";
    EXPECT_EQ(combo.AddItem(text, 0), 0);
    text[4] = L'9'; // the item keeps its own copy
    EXPECT_EQ(combo.AddItem(L"DIMM2", 2), CB_ERR);
    EXPECT_EQ(combo.GetCount(), 1);
    EXPECT_EQ(combo.GetRecordCount(), 1u);
    EXPECT_EQ(combo.AddItem(L"DIMM1", 0), 0);
    EXPECT_EQ(combo.AddItem(L"DIMM3", -1), 2);
    EXPECT_EQ(ItemHeight(combo, 2), 30);

    std::wstring got;
    EXPECT_EQ(combo.GetItemText(1, got), 1);
    EXPECT_EQ(got, L"DIMM0");
    EXPECT_EQ(combo.GetItemText(2, got), 1);
    EXPECT_EQ(got, L"DIMM3");
    combo.AddString(L"plain"); // an item without a record
    got = L"unchanged";
    EXPECT_EQ(combo.GetItemText(3, got), 0);
    EXPECT_EQ(combo.GetItemText(9, got), 0);
    EXPECT_EQ(got, L"unchanged");
}

TEST_F(MyComboBoxTest, ItemIsWhiteTextOnTheRowColourOrTheHighlight) {
    combo.AddItem(L"DIMM0 with a name far too long to fit into one row of the list", 0);
    combo.AddString(L"no record");
    {
        Canvas canvas;
        Draw(canvas, 0, 0);
        EXPECT_EQ(canvas.At(2, 2), kRow);
        EXPECT_EQ(canvas.At(199, 29), kRow);
        const RECT ink = canvas.Ink({0, 0, 300, 40});
        ASSERT_GE(ink.left, 0);
        EXPECT_GE(ink.left, 10);
        EXPECT_LT(ink.right, 200); // cut at the row's right edge
        EXPECT_LT(ink.bottom, 30);
        EXPECT_LT(ink.bottom - ink.top, 18); // one line, not wrapped
        EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 15.0, 2.0);
        EXPECT_EQ(canvas.At(250, 15), kSentinel);
        EXPECT_EQ(canvas.At(5, 35), kSentinel);
    }
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    {
        Canvas focused;
        Draw(focused, 0, ODS_SELECTED, ODA_DRAWENTIRE | ODA_FOCUS);
        EXPECT_EQ(focused.At(3, 15), highlight);
        bool dotted = false;
        for (int x = 0; x < 200; ++x) {
            dotted = dotted || focused.At(x, 0) != highlight;
        }
        EXPECT_TRUE(dotted);
        EXPECT_GE(focused.Ink({0, 0, 200, 30}).left, 10);
    }
    {
        Canvas selected;
        Draw(selected, 0, ODS_SELECTED);
        for (int x = 0; x < 200; ++x) {
            ASSERT_EQ(selected.At(x, 0), highlight) << x; // no focus rectangle
        }
    }
    {
        Canvas bare;
        Draw(bare, 1, 0);
        EXPECT_EQ(bare.At(100, 15), kRow);
        EXPECT_EQ(bare.Ink({0, 0, 300, 40}).left, -1);
    }
}

TEST_F(MyComboBoxTest, DrawingLeavesTheDeviceContextAsItCame) {
    combo.AddItem(L"DIMM0", 0);
    for (UINT id : {static_cast<UINT>(-1), 0u}) {
        SCOPED_TRACE(static_cast<int>(id));
        Canvas canvas;
        HDC dc = canvas.Get();
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        SetBkMode(dc, OPAQUE);
        const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
        const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
        const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
        Draw(canvas, id, ODS_SELECTED, ODA_DRAWENTIRE | ODA_FOCUS);
        EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
        EXPECT_EQ(GetBkColor(dc), RGB(4, 5, 6));
        EXPECT_EQ(GetBkMode(dc), OPAQUE);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
        if (id == static_cast<UINT>(-1)) {
            EXPECT_EQ(canvas.At(100, 15), kSentinel); // nothing drawn
        }
    }
}

TEST_F(MyComboBoxTest, SelectionFieldShowsTheChosenItem) {
    combo.AddItem(L"DIMM0", 0);
    combo.SetCurSel(0);
    UpdateWindow(combo.m_hWnd);
    Pump();
    const skintest::Capture field(combo.m_hWnd);
    EXPECT_GE(field.height, 30);
    int row = 0, white = 0;
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            row += field.At(x, y) == kRow || field.At(x, y) == GetSysColor(COLOR_HIGHLIGHT) ? 1 : 0;
            white += field.IsWhite(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(row, 150 * 20);
    EXPECT_GT(white, 10);
}

TEST_F(MyComboBoxTest, DestroyingTheWindowReleasesEveryRecord) {
    combo.AddItem(L"DIMM0", 0);
    combo.AddItem(L"DIMM1", 1);
    combo.AddItem(L"DIMM2", 0);
    combo.DeleteString(1); // its record stays the control's until the end
    EXPECT_EQ(combo.GetRecordCount(), 3u);
    EXPECT_TRUE(combo.DestroyWindow());
    EXPECT_EQ(combo.m_hWnd, nullptr);
    EXPECT_EQ(combo.GetRecordCount(), 0u);
}

} // namespace
