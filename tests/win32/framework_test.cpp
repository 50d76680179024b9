// Our application framework under Wine: dialogs from templates and their modal loop, message maps, subclassing,
// owner-draw reflection, the control wrappers and the GDI owners.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "tests/win32/framework_test_ids.h"

namespace {

// A combo box object that records the owner-draw requests reflected to it.
class RecordingCombo : public CComboBox {
public:
    std::vector<std::string>* log = nullptr;
    int measured = 0;
    int drawn = 0;

protected:
    void MeasureItem(MEASUREITEMSTRUCT* item) override {
        ++measured;
        item->itemHeight = 30;
        if (log) {
            log->push_back("measure");
        }
    }
    void DrawItem(DRAWITEMSTRUCT*) override { ++drawn; }
};

// An edit control object that sees its window's WM_SETTEXT before the edit control does.
class UpperCaseEdit : public CWnd {
public:
    BEGIN_MSG_MAP(UpperCaseEdit)
    MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
    END_MSG_MAP()

    int seen = 0;

private:
    LRESULT OnSetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
        ++seen;
        std::wstring text = reinterpret_cast<LPCWSTR>(lParam);
        for (auto& c : text) {
            c = static_cast<wchar_t>(towupper(c));
        }
        return DefWindowProc(message, wParam, reinterpret_cast<LPARAM>(text.c_str()));
    }
};

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(IDD_FW_TEST) {
        combo.log = &log;
        BindControl(IDC_FW_COMBO, combo);
        BindControl(IDC_FW_EDIT, edit);
        BindControl(IDC_FW_LIST, list);
    }

    BEGIN_MSG_MAP(TestDialog)
    MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
    MESSAGE_HANDLER(WM_APP, OnApp)
    MESSAGE_HANDLER(WM_APP + 1, OnDeclined)
    MESSAGE_HANDLER(WM_APP + 1, OnSecondChance)
    COMMAND_HANDLER(IDC_FW_BUTTON, BN_CLICKED, OnGo)
    COMMAND_CODE_HANDLER(EN_CHANGE, OnEditChange)
    CHAIN_MSG_MAP(CDialog)
    END_MSG_MAP()

    std::vector<std::string> log;
    RecordingCombo combo;
    UpperCaseEdit edit;
    CListCtrl list;
    std::vector<UINT> preTranslated;
    std::function<void(TestDialog&)> onInit;
    int goClicks = 0;
    int editChanges = 0;

protected:
    bool OnInitDialog() override {
        log.push_back("init");
        CDialog::OnInitDialog();
        if (onInit) {
            onInit(*this);
        }
        return true;
    }
    bool PreTranslateMessage(MSG* message) override {
        if (message->message == WM_KEYDOWN) {
            preTranslated.push_back(static_cast<UINT>(message->wParam));
            return message->wParam == VK_ESCAPE;
        }
        return false;
    }

private:
    LRESULT OnSetFont(UINT, WPARAM, LPARAM, BOOL& handled) {
        log.push_back("setfont");
        handled = false; // the dialog manager still needs it
        return 0;
    }
    LRESULT OnApp(UINT, WPARAM wParam, LPARAM, BOOL&) { return static_cast<LRESULT>(wParam * 2); }
    LRESULT OnDeclined(UINT, WPARAM, LPARAM, BOOL& handled) {
        handled = false;
        return 1;
    }
    LRESULT OnSecondChance(UINT, WPARAM, LPARAM, BOOL&) { return 42; }
    LRESULT OnGo(WORD, WORD, HWND, BOOL&) {
        ++goClicks;
        return 0;
    }
    LRESULT OnEditChange(WORD, WORD id, HWND, BOOL&) {
        if (id == IDC_FW_EDIT) {
            ++editChanges;
        }
        return 0;
    }
};

TEST(Framework, DialogObjectIsAttachedBeforeInitDialog) {
    TestDialog dialog;
    dialog.onInit = [](TestDialog& d) { d.EndDialog(5); };
    EXPECT_EQ(dialog.DoModal(), 5);
    ASSERT_GE(dialog.log.size(), 2u);
    EXPECT_EQ(dialog.log.front(), "setfont") << "the first message reaches the message map";
    auto init = std::find(dialog.log.begin(), dialog.log.end(), "init");
    ASSERT_NE(init, dialog.log.end());
    EXPECT_NE(std::find(dialog.log.begin(), init, "measure"), init)
        << "owner-draw measuring during creation reaches the bound control object";
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "the window is gone after the modal loop";
}

TEST(Framework, MessageMapDispatchesAndFallsThrough) {
    TestDialog dialog;
    LRESULT doubled = 0, second = 0, unhandled = 7;
    dialog.onInit = [&](TestDialog& d) {
        doubled = d.SendMessage(WM_APP, 21);
        second = d.SendMessage(WM_APP + 1);
        unhandled = d.SendMessage(WM_APP + 2); // no entry: the dialog manager answers 0
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FW_BUTTON, BN_CLICKED),
                      reinterpret_cast<LPARAM>(d.GetDlgItem(IDC_FW_BUTTON)));
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FW_BUTTON, BN_DOUBLECLICKED), 0); // other code: not OnGo
        d.edit.SetWindowText(L"abc");
        d.EndDialog(1);
    };
    dialog.DoModal();
    EXPECT_EQ(doubled, 42);
    EXPECT_EQ(second, 42) << "a handler that declines lets the next entry answer";
    EXPECT_EQ(unhandled, 0);
    EXPECT_EQ(dialog.goClicks, 1);
    EXPECT_GE(dialog.editChanges, 1);
}

TEST(Framework, SubclassedControlSeesItsMessagesFirst) {
    TestDialog dialog;
    std::wstring text;
    HWND editWindow = nullptr;
    dialog.onInit = [&](TestDialog& d) {
        d.edit.SetWindowText(L"quiet");
        text = d.edit.GetWindowText();
        editWindow = d.edit.m_hWnd;
        EXPECT_EQ(CWnd::FromHandlePermanent(editWindow), &d.edit);
        d.EndDialog(1);
    };
    dialog.DoModal();
    EXPECT_EQ(text, L"QUIET");
    EXPECT_EQ(dialog.edit.seen, 1);
    EXPECT_EQ(dialog.edit.m_hWnd, nullptr) << "detached when its window was destroyed";
}

TEST(Framework, ModalLoopPreTranslatesAndEndsOnQuit) {
    TestDialog dialog;
    dialog.onInit = [](TestDialog& d) {
        HWND edit = d.GetDlgItem(IDC_FW_EDIT);
        PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0); // swallowed: the dialog does not cancel
        PostMessageW(edit, WM_KEYDOWN, VK_F5, 0);
        PostQuitMessage(3);
    };
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.preTranslated, (std::vector<UINT>{VK_ESCAPE, VK_F5}));
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is passed on";
    EXPECT_EQ(message.wParam, 3u);
}

TEST(Framework, DialogKeysReachTheDialogManager) {
    TestDialog dialog;
    dialog.onInit = [](TestDialog& d) {
        // Enter on the edit box presses the default button (IDOK), which ends the dialog with IDOK.
        PostMessageW(d.GetDlgItem(IDC_FW_EDIT), WM_KEYDOWN, VK_RETURN, 0);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(Framework, OwnerDrawRequestsAreReflectedToTheControl) {
    TestDialog dialog;
    dialog.onInit = [](TestDialog& d) {
        d.combo.AddString(L"one");
        d.combo.SetCurSel(0);
        d.ShowWindow(SW_SHOW);
        UpdateWindow(d.m_hWnd);
        RedrawWindow(d.combo.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        d.EndDialog(1);
    };
    dialog.DoModal();
    EXPECT_GE(dialog.combo.measured, 2) << "selection field and the item";
    EXPECT_GE(dialog.combo.drawn, 1);
}

TEST(Framework, CreateAttachesBeforeTheFirstMessage) {
    class Recorder : public CButton {
    public:
        std::vector<UINT> first;

    protected:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (first.size() < 3) {
                first.push_back(message);
            }
            return CButton::WindowProc(message, wParam, lParam);
        }
    } button;
    RECT r{0, 0, 50, 20};
    ASSERT_TRUE(button.Create(L"x", WS_POPUP, r, nullptr, 0));
    ASSERT_FALSE(button.first.empty());
    EXPECT_NE(std::find(button.first.begin(), button.first.end(), static_cast<UINT>(WM_NCCREATE)), button.first.end());
    EXPECT_EQ(button.GetWindowText(), L"x");
    HWND window = button.m_hWnd;
    button.DestroyWindow();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(button.m_hWnd, nullptr);

    // Attached once made: the creation messages go by, the next one is the object's, and it is detached as ever.
    button.first.clear();
    ASSERT_TRUE(button.CreateThenAttach(L"y", WS_POPUP, r, nullptr, 0));
    EXPECT_EQ(CWnd::FromHandlePermanent(button.m_hWnd), &button);
    EXPECT_TRUE(button.first.empty());
    button.SendMessage(WM_NULL, 0, 0);
    EXPECT_EQ(button.first, std::vector<UINT>{WM_NULL});
    EXPECT_EQ(button.GetWindowText(), L"y");
    EXPECT_FALSE(button.CreateThenAttach(L"z", WS_POPUP, r, nullptr, 0)) << "one window per object";
    window = button.m_hWnd;
    button.DestroyWindow();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(button.m_hWnd, nullptr);
}

TEST(Framework, ListControlIsATableOfTextCells) {
    TestDialog dialog;
    std::vector<std::wstring> cells;
    int columns = 0, rows = 0;
    DWORD extended = 0;
    std::wstring longText(600, L'x');
    dialog.onInit = [&](TestDialog& d) {
        d.list.SetExtendedStyle(d.list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        extended = d.list.GetExtendedStyle();
        d.list.InsertColumn(0, L"Name", 80);
        d.list.InsertColumn(1, L"Value", 80);
        d.list.InsertItem(0, L"Speed");
        d.list.InsertItem(1, L"Part");
        d.list.SetItemText(0, 1, L"3200");
        d.list.SetItemText(1, 1, longText.c_str());
        columns = d.list.GetColumnCount();
        rows = d.list.GetItemCount();
        cells = {d.list.GetItemText(0, 0), d.list.GetItemText(0, 1), d.list.GetItemText(1, 1),
                 d.list.GetItemText(5, 0)};
        d.EndDialog(1);
    };
    dialog.DoModal();
    EXPECT_EQ(columns, 2);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(extended & 0x21u, 0x21u);
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0], L"Speed");
    EXPECT_EQ(cells[1], L"3200");
    EXPECT_EQ(cells[2], longText) << "texts longer than the first buffer come back whole";
    EXPECT_EQ(cells[3], L"");
}

TEST(Framework, ComboBoxAndImageListWrappers) {
    TestDialog dialog;
    std::vector<std::wstring> texts;
    int count = 0, selected = -2;
    DWORD_PTR data = 0;
    int images = 0;
    dialog.onInit = [&](TestDialog& d) {
        d.combo.InsertString(0, L"DIMM0");
        d.combo.InsertString(1, L"DIMM1");
        d.combo.SetItemData(1, 0xBEEF);
        EXPECT_EQ(d.combo.InsertString(5, L"far"), CB_ERR);
        count = d.combo.GetCount();
        d.combo.SetCurSel(1);
        selected = d.combo.GetCurSel();
        data = d.combo.GetItemData(1);
        texts = {d.combo.GetLBText(0), d.combo.GetLBText(1), d.combo.GetLBText(9)};
        CImageList list;
        list.Create(16, 16, ILC_COLOR32 | ILC_MASK, 6, 6);
        HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        for (int i = 0; i < 6; ++i) {
            list.Add(icon);
        }
        images = list.GetImageCount();
        d.EndDialog(1);
    };
    dialog.DoModal();
    EXPECT_EQ(count, 2);
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(data, 0xBEEFu);
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"DIMM0", L"DIMM1", L""}));
    EXPECT_EQ(images, 6);
}

// Copies of one icon: as many images as asked for, each drawn exactly as the first; a window that is gone is no
// longer found as attached.
TEST(Framework, ImageListCopiesAndDetachedWindows) {
    CImageList list;
    ASSERT_TRUE(list.Create(16, 16, ILC_COLOR32 | ILC_MASK, 6, 6));
    list.AddCopies(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)), 6);
    ASSERT_EQ(list.GetImageCount(), 6);
    const auto drawn = [&](int image) {
        fw::MemoryDC dc(nullptr);
        fw::Bitmap bitmap(CreateBitmap(16, 16, 1, 32, nullptr));
        fw::SelectScope select(dc.Get(), bitmap.Get());
        ImageList_Draw(list, image, dc.Get(), 0, 0, ILD_NORMAL);
        std::vector<std::uint32_t> pixels(16 * 16);
        GetBitmapBits(bitmap.Get(), 16 * 16 * 4, pixels.data());
        return pixels;
    };
    EXPECT_NE(drawn(0), std::vector<std::uint32_t>(16 * 16));
    EXPECT_EQ(drawn(5), drawn(0));

    CWnd window;
    ASSERT_TRUE(window.Create(L"Static", L"", WS_POPUP, {0, 0, 10, 10}, nullptr, 0));
    const HWND handle = window.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(handle), &window);
    window.DestroyWindow();
    EXPECT_EQ(CWnd::FromHandlePermanent(handle), nullptr);
}

TEST(Framework, GdiOwnersReleaseWhatTheyHold) {
    HBITMAP raw = nullptr;
    {
        fw::Bitmap bitmap(CreateBitmap(4, 4, 1, 32, nullptr));
        raw = bitmap.Get();
        ASSERT_NE(raw, nullptr);
        EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_BITMAP));
    }
    EXPECT_EQ(GetObjectType(raw), 0u) << "deleted when the owner ended";

    fw::Region kept(CreateRectRgn(0, 0, 5, 5));
    HRGN handed = kept.Release();
    EXPECT_FALSE(kept);
    EXPECT_EQ(GetObjectType(handed), static_cast<DWORD>(OBJ_REGION));
    DeleteObject(handed);

    fw::GdiObject<HBRUSH, false> view(static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    view.Reset();
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));

    fw::MemoryDC dc;
    ASSERT_TRUE(dc);
    HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_BITMAP);
    fw::Bitmap selected(CreateBitmap(2, 2, 1, 32, nullptr));
    {
        fw::SelectScope scope(dc.Get(), selected.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), selected.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), before) << "the previous object is back";
}

} // namespace

namespace {

// A part of a dialog's handling in an object of its own, chained into the dialog's map.
class TimerPart : public CMessageMap {
public:
    BEGIN_MSG_MAP(TimerPart)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    COMMAND_RANGE_CODE_HANDLER(IDC_FW_COMBO, IDC_FW_BUTTON, BN_CLICKED, OnRange)
    END_MSG_MAP()

    CWnd* owner = nullptr;
    int ticks = 0;
    std::vector<WORD> ranged;

private:
    LRESULT OnTimer(UINT, WPARAM id, LPARAM, BOOL&) {
        if (id == 7 && ++ticks == 3) {
            owner->KillTimer(7);
            owner->PostMessage(WM_APP + 9);
        }
        return 0;
    }
    // Takes the list's and the combo's clicks; lets the button's go on to the dialog.
    LRESULT OnRange(WORD, WORD id, HWND, BOOL& handled) {
        ranged.push_back(id);
        handled = id != IDC_FW_BUTTON;
        return 0;
    }
};

class ChainedDialog : public TestDialog {
public:
    BEGIN_MSG_MAP(ChainedDialog)
    MESSAGE_HANDLER(WM_APP + 9, OnDone)
    CHAIN_MSG_MAP_MEMBER(part)
    CHAIN_MSG_MAP(TestDialog)
    END_MSG_MAP()

    TimerPart part;

private:
    LRESULT OnDone(UINT, WPARAM, LPARAM, BOOL&) {
        // Stopped after the third tick: no fourth arrives.
        Sleep(60);
        MSG late;
        EndDialog(PeekMessageW(&late, m_hWnd, WM_TIMER, WM_TIMER, PM_NOREMOVE) ? 2 : 1);
        return 0;
    }
};

TEST(Framework, ChainedMemberMapsGetRangesAndTimers) {
    ChainedDialog dialog;
    dialog.part.owner = &dialog;
    dialog.onInit = [](TestDialog& d) {
        for (int id : {IDC_FW_COMBO, IDC_FW_LIST, IDC_FW_BUTTON, IDC_FW_EDIT}) {
            d.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        }
        ASSERT_TRUE(d.SetTimer(7, 10));
    };
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(dialog.part.ticks, 3);
    EXPECT_EQ(dialog.part.ranged, (std::vector<WORD>{IDC_FW_COMBO, IDC_FW_LIST, IDC_FW_BUTTON}));
    EXPECT_EQ(dialog.goClicks, 1) << "a declined range entry reaches the dialog's own map";
}

} // namespace

// A message of the test's own, cracked into its two parameters.
template <> struct MessageParams<WM_APP + 20> {
    static auto Of(WPARAM wParam, LPARAM lParam) { return std::tuple(wParam, lParam); }
};

namespace {

// The typed entries: each handler gets only what it uses; an observer sees its message and lets it go on.
class TypedPart : public CMessageMap {
public:
    BEGIN_MSG_MAP(TypedPart)
    MESSAGE_CRACKED_OBSERVER(WM_APP + 20, OnObserved)
    MESSAGE_CRACKED(WM_APP + 20, OnWithParameters)
    BUTTON_CLICK_CALL(IDC_FW_BUTTON, OnButton)
    BUTTON_RANGE_CLICK_CALL(IDC_FW_COMBO, IDC_FW_LIST, OnRangeClick)
    COMMAND_RANGE_CODE_CALL(IDC_FW_EDIT, IDC_FW_EDIT, EN_SETFOCUS, OnRangeClick)
    COMMAND_ID_CALL(IDC_FW_EDIT, OnAnyEditCommand)
    END_MSG_MAP()

    std::vector<std::string> log;

private:
    void OnObserved(WPARAM wParam, LPARAM) { log.push_back("observed " + std::to_string(wParam)); }
    LRESULT OnWithParameters(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam + lParam); }
    void OnButton() { log.push_back("button"); }
    void OnRangeClick(int id) { log.push_back("range " + std::to_string(id)); }
    void OnAnyEditCommand() { log.push_back("edit"); }
};

TEST(Framework, TypedEntriesHandHandlersWhatTheyUse) {
    TypedPart part;
    LRESULT result = 0;
    EXPECT_TRUE(part.ProcessWindowMessage(nullptr, WM_APP + 20, 3, 4, result));
    EXPECT_EQ(result, 7) << "the observer let the message reach the next entry";
    EXPECT_EQ(part.log, std::vector<std::string>{"observed 3"});
    const struct {
        WORD id, code;
        bool handled;
        const char* logged;
    } commands[] = {
        {IDC_FW_BUTTON, BN_CLICKED, true, "button"},
        {IDC_FW_BUTTON, BN_DOUBLECLICKED, false, nullptr}, // another notification: not a click
        {IDC_FW_COMBO, BN_CLICKED, true, "range 2102"},
        {IDC_FW_LIST, BN_CLICKED, true, "range 2103"},
        {IDC_FW_EDIT, EN_SETFOCUS, true, "range 2101"},
        {IDC_FW_EDIT, EN_CHANGE, true, "edit"}, // any code of the id
    };
    for (const auto& command : commands) {
        part.log.clear();
        EXPECT_EQ(part.ProcessWindowMessage(nullptr, WM_COMMAND, MAKEWPARAM(command.id, command.code), 0, result),
                  command.handled)
            << command.id << "/" << command.code;
        EXPECT_EQ(part.log, command.logged ? std::vector<std::string>{command.logged} : std::vector<std::string>{})
            << command.id << "/" << command.code;
    }
}

} // namespace
