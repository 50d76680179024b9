// The window from the keyboard alone and through a screen reader's eyes, from another process as a user's keys
// and a screen reader reach it: Tab round each page, the arrow keys in a group, Space on a mode and on Apply, Ctrl+Tab,
// the colour wheel by the arrow keys, the focus cue; every visible control's name, role and state in the system's
// language.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/ControlNames.h"
#include "res/SkinLayout.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

class KeyboardTest : public ProgramTest {
protected:
    KeyboardTest() : ProgramTest(L"keyboard-") {}

    void StartInFront() {
        main_ = Start();
        ASSERT_NE(main_, nullptr);
        SetCursorPos(5, 1000); // no hover look anywhere
        ASSERT_TRUE(BringToFront(main_));
        Settle();
    }

    int FocusedId() const {
        const HWND focus = FocusedWindow(main_);
        return focus && GetParent(focus) == main_ ? GetDlgCtrlID(focus) : 0;
    }

    // Presses a key. The program takes input after the messages sent and posted to it, so nothing tells when it
    // has: a test waits for what the key does.
    void Press(WORD key, unsigned modifiers = kNoModifier) const {
        PressKey(key, modifiers);
        Settle();
    }
    // Presses a key that moves the focus and waits until it has moved; false when it did not.
    bool PressMovingFocus(WORD key, unsigned modifiers = kNoModifier) const {
        const int before = FocusedId();
        PressKey(key, modifiers);
        return WaitFor([&] { return FocusedId() != before; }, 5000);
    }
    bool Checked(int id) const {
        const std::optional<AccessibleFacts> facts = ReadAccessible(GetDlgItem(main_, id));
        return facts && (facts->state & STATE_SYSTEM_CHECKED) != 0;
    }

    // Tab (or Shift+Tab) until the focus is on id; false when it never comes there.
    bool TabTo(int id, unsigned modifiers = kNoModifier) const {
        for (int n = 0; n < 30 && FocusedId() != id; ++n) {
            if (!PressMovingFocus(VK_TAB, modifiers)) {
                return false;
            }
        }
        return FocusedId() == id;
    }

    // The controls Tab visits from the focus until it comes back there (at most 40).
    std::vector<int> TabRound() const {
        const int first = FocusedId();
        std::vector<int> visited;
        do {
            PressMovingFocus(VK_TAB);
            visited.push_back(FocusedId());
        } while (visited.back() != first && visited.size() < 40);
        return visited;
    }

    std::wstring Box(int id) const { return GetText(GetDlgItem(main_, id)); }

    HWND main_ = nullptr;
};

TEST_F(KeyboardTest, TabGoesRoundTheVisibleControlsOfEachPageAndCtrlTabSwitchesPages) {
    StartInFront();
    // The dialog starts with the focus in the red box; no mode or speed shows chosen yet, so Tab enters those
    // groups at their first button.
    ASSERT_EQ(FocusedId(), IDC_RED_BOX);
    EXPECT_EQ(TabRound(), (std::vector<int>{IDC_GREEN_BOX, IDC_BLUE_BOX, IDC_BTN_APPLY, IDC_BTN_RESET,
                                            IDC_BTN_TAB_LIGHTING, IDC_BTN_MINIMISE, IDC_BTN_CLOSE, IDC_BTN_POWER,
                                            IDC_BTN_MODE_STATIC, IDC_BTN_SPEED_1, IDC_BTN_COLOUR_WHEEL, IDC_RED_BOX}));
    ASSERT_TRUE(PressMovingFocus(VK_TAB, kShift));
    EXPECT_EQ(FocusedId(), IDC_BTN_COLOUR_WHEEL);

    PressKey(VK_TAB, kCtrl);
    ASSERT_TRUE(WaitFor([&] { return IsVisible(GetDlgItem(main_, IDC_MODULE_SELECTOR)); }, 5000))
        << "Ctrl+Tab shows the module page";
    Settle();
    EXPECT_FALSE(IsVisible(GetDlgItem(main_, IDC_BTN_POWER)));
    EXPECT_EQ(FocusedId(), IDC_MODULE_SELECTOR) << "the focus goes to the page's first control";
    EXPECT_EQ(TabRound(), (std::vector<int>{IDC_BTN_SUBPAGE_BACK, IDC_BTN_TAB_MODULE_INFO, IDC_BTN_MINIMISE,
                                            IDC_BTN_CLOSE, IDC_MODULE_SELECTOR}));
    ASSERT_TRUE(TabTo(IDC_BTN_SUBPAGE_BACK));
    ASSERT_TRUE(PressMovingFocus(VK_RIGHT));
    EXPECT_EQ(FocusedId(), IDC_BTN_SUBPAGE_FORWARD) << "the arrows move between the sub-page buttons";

    // The focus passes the dialog's own choice on its way when the focused sub-page button hides: the switch is
    // over once the lighting page shows with the focus on its first control.
    ASSERT_TRUE(PressMovingFocus(VK_TAB, kCtrl | kShift));
    EXPECT_TRUE(WaitFor([&] { return IsVisible(GetDlgItem(main_, IDC_BTN_POWER)); }, 5000))
        << "Ctrl+Shift+Tab goes back to the lighting page";
    EXPECT_TRUE(WaitFor([&] { return FocusedId() == IDC_BTN_POWER; }, 5000)) << FocusedId();
}

TEST_F(KeyboardTest, ArrowsAndSpaceChooseMeteorAndSpaceOnApplySendsIt) {
    StartInFront();
    ASSERT_TRUE(TabTo(IDC_BTN_MODE_STATIC, kShift));
    for (int n = 0; n < 6; ++n) {
        ASSERT_TRUE(PressMovingFocus(VK_RIGHT));
    }
    ASSERT_EQ(FocusedId(), IDC_BTN_MODE_METEOR) << "six steps right from Static";
    const std::size_t from = Journal().size();
    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitFor([&] { return Checked(IDC_BTN_MODE_METEOR); }, 5000)) << "Space chooses Meteor";
    ASSERT_TRUE(PressMovingFocus(VK_TAB));
    ASSERT_EQ(FocusedId(), IDC_BTN_SPEED_1) << "Tab leaves the mode group for the speeds";
    ASSERT_TRUE(PressMovingFocus(VK_RIGHT));
    PressKey(VK_RETURN); // Enter presses a button as Space does: speed button 2
    ASSERT_TRUE(WaitFor([&] { return Checked(IDC_BTN_SPEED_2); }, 5000));
    ASSERT_TRUE(PressMovingFocus(VK_TAB, kShift));
    EXPECT_EQ(FocusedId(), IDC_BTN_MODE_METEOR) << "Shift+Tab enters the mode group at the chosen mode";
    EXPECT_TRUE(LightingCallsSince(from).empty()) << "choosing sends nothing";
    ASSERT_TRUE(TabTo(IDC_BTN_APPLY));
    Press(VK_SPACE);
    // Meteor's Apply at speed button 2, as a click sends it, then its frames.
    const std::vector<std::string> sent = WaitForLightingCalls(from, 2);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + 2),
              (std::vector<std::string>{"SetZorvaEffect(0x07, 0x0010, 0x00, 0x00000000)",
                                        "RGBI2CMode(0x01, 0x04, 0x00, 0x00)"}));
}

TEST_F(KeyboardTest, TheArrowKeysMoveTheWheelsMarkAndTheBoxesFollow) {
    StartInFront();
    ASSERT_TRUE(TabTo(IDC_BTN_COLOUR_WHEEL, kShift));
    ASSERT_EQ(Box(IDC_RED_BOX) + L"," + Box(IDC_GREEN_BOX) + L"," + Box(IDC_BLUE_BOX), L"61,69,255");
    // One step clockwise from the top of the edge: a saturated orange-red.
    PressKey(VK_RIGHT);
    auto channel = [&](int id) { return _wtoi(Box(id).c_str()); };
    EXPECT_TRUE(WaitFor([&] { return channel(IDC_RED_BOX) == 255 && channel(IDC_BLUE_BOX) < 40; }, 5000))
        << Box(IDC_RED_BOX) << "," << Box(IDC_BLUE_BOX);
    EXPECT_GT(channel(IDC_GREEN_BOX), 20);
    EXPECT_LT(channel(IDC_GREEN_BOX), 110);
    // In to the centre: nearly white.
    for (int n = 0; n < 8; ++n) {
        Press(VK_DOWN);
    }
    EXPECT_TRUE(WaitFor(
        [&] { return channel(IDC_RED_BOX) > 230 && channel(IDC_GREEN_BOX) > 230 && channel(IDC_BLUE_BOX) > 230; },
        5000))
        << Box(IDC_RED_BOX) << "," << Box(IDC_GREEN_BOX) << "," << Box(IDC_BLUE_BOX);
}

// The pixels of a window's rectangle in a capture of the whole main window.
bool SameInside(const Image& a, const Image& b, const RECT& r) {
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (a.At(x, y) != b.At(x, y)) {
                return false;
            }
        }
    }
    return true;
}

TEST_F(KeyboardTest, TheFocusCueShowsOnlyAfterTheKeyboardIsUsed) {
    StartInFront();
    const RECT window = WindowRect(main_);
    auto inWindow = [&](int id) {
        const RECT r = WindowRect(GetDlgItem(main_, id));
        return RECT{r.left - window.left, r.top - window.top, r.right - window.left, r.bottom - window.top};
    };
    Sleep(300);
    const Image start = CaptureWindow(main_);
    // With the mouse only: a tab clicked away and back hides the red box, and the dialog hands its focus to a
    // button, which draws no cue for a user who has not touched the keyboard.
    Click(GetDlgItem(main_, IDC_BTN_TAB_MODULE_INFO));
    Click(GetDlgItem(main_, IDC_BTN_TAB_LIGHTING));
    Settle();
    Sleep(300);
    const int focusedByTheMouse = FocusedId();
    if (focusedByTheMouse >= IDC_BTN_MINIMISE && focusedByTheMouse <= IDC_BTN_SUBPAGE_FORWARD) {
        EXPECT_TRUE(SameInside(start, CaptureWindow(main_), inWindow(focusedByTheMouse))) << focusedByTheMouse;
    }
    ASSERT_TRUE(TabTo(IDC_BTN_APPLY));
    Sleep(300);
    const Image after = CaptureWindow(main_);
    const RECT apply = inWindow(IDC_BTN_APPLY);
    EXPECT_FALSE(SameInside(start, after, apply)) << "Apply shows the cue";
    // The cue's colour along Apply's left edge, half-way down.
    const int middle = (apply.top + apply.bottom) / 2;
    bool cue = false;
    for (int x = apply.left; x < apply.left + 4; ++x) {
        cue = cue || after.At(x, middle) == static_cast<std::uint32_t>(SKIN_COLOUR_FOCUS_CUE);
    }
    EXPECT_TRUE(cue);
    EXPECT_TRUE(SameInside(start, after, inWindow(IDC_BTN_RESET))) << "Reset, beside it, is as it was";
}

// The WinEvents a screen reader follows, as another process hears them.
class WinEventLog {
public:
    explicit WinEventLog(DWORD processId)
        : m_hook(SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, nullptr, &WinEventLog::Hear, processId,
                                 0, WINEVENT_OUTOFCONTEXT)) {
        s_heard.clear();
    }
    ~WinEventLog() {
        if (m_hook) {
            UnhookWinEvent(m_hook);
        }
    }
    WinEventLog(const WinEventLog&) = delete;
    WinEventLog& operator=(const WinEventLog&) = delete;
    bool Hooked() const { return m_hook != nullptr; }
    // Whether the event came for the window's client object, taking the events as they arrive meanwhile.
    bool WaitFor(DWORD event, HWND window) const {
        return support::WaitFor(
            [&] {
                MSG message;
                while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                    DispatchMessageW(&message);
                }
                for (const Heard& heard : s_heard) {
                    if (heard.event == event && heard.window == window && heard.object == OBJID_CLIENT) {
                        return true;
                    }
                }
                return false;
            },
            3000);
    }

private:
    struct Heard {
        DWORD event;
        HWND window;
        LONG object;
    };
    static void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG, DWORD, DWORD) {
        s_heard.push_back({event, window, object});
    }
    static inline std::vector<Heard> s_heard;
    HWINEVENTHOOK m_hook;
};

TEST_F(KeyboardTest, AChoiceAndTheKeyboardFocusRaiseTheirWinEvents) {
    StartInFront();
    const WinEventLog events(process_->Id());
    ASSERT_TRUE(events.Hooked());
    Click(GetDlgItem(main_, IDC_BTN_MODE_METEOR));
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_STATECHANGE, GetDlgItem(main_, IDC_BTN_MODE_METEOR)));
    ASSERT_TRUE(TabTo(IDC_BTN_APPLY));
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_FOCUS, GetDlgItem(main_, IDC_BTN_APPLY)));
}

// The tray icon from the keyboard: Enter on it shows the window, Shift+F10 opens the menu at the icon.
TEST_F(KeyboardTest, TheTrayIconAnswersEnterAndTheMenuKey) {
    main_ = Start();
    ASSERT_NE(main_, nullptr);
    Click(GetDlgItem(main_, IDC_BTN_CLOSE));
    ASSERT_TRUE(WaitFor([&] { return !IsVisible(main_); }, 5000));
    PostTrayEvent(main_, WM_TRAY_NOTIFY, IDI_TRAY, NIN_KEYSELECT);
    EXPECT_TRUE(WaitFor([&] { return IsVisible(main_); }, 5000));
    // The shell's version 4 puts the icon's place in wParam and the event and icon id in lParam.
    PostMessageW(main_, WM_TRAY_NOTIFY, MAKEWPARAM(600, 500), MAKELPARAM(WM_CONTEXTMENU, IDI_TRAY));
    HWND menu = WaitForWindow(
        process_->Id(), kMenuClass, [](HWND w) { return IsWindowVisible(w) != FALSE; }, 5000);
    ASSERT_NE(menu, nullptr);
    const RECT place = WindowRect(menu);
    EXPECT_EQ(place.left, 600);
    EXPECT_EQ(place.top, 500);
}

// What the accessibility API answers for each visible control, in the language LC_ALL gave the system.
TEST_F(KeyboardTest, ScreenReadersHearEveryControlsNameRoleAndStateInTheSystemLanguage) {
    const char* expected = std::getenv("PRISMEL_EXPECT_LANGUAGE");
    const std::int32_t language = expected ? std::atoi(expected) : 0;
    StartInFront();
    Click(GetDlgItem(main_, IDC_BTN_MODE_METEOR));
    Settle();
    int visible = 0, named = 0;
    for (HWND child = GetWindow(main_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        const std::optional<AccessibleFacts> facts = ReadAccessible(child);
        ASSERT_TRUE(facts) << id;
        if (!IsVisible(child)) {
            EXPECT_TRUE(facts->state & STATE_SYSTEM_INVISIBLE) << id;
            continue;
        }
        ++visible;
        const std::optional<ControlName> name = ControlNameOf(id);
        ASSERT_TRUE(name) << "a visible control without a name: " << id;
        const std::u16string text = ControlNameText(*name, language);
        EXPECT_EQ(facts->name, std::wstring(text.begin(), text.end())) << id;
        named += facts->name.empty() ? 0 : 1;
        const LONG roles[] = {ROLE_SYSTEM_PUSHBUTTON, ROLE_SYSTEM_RADIOBUTTON, ROLE_SYSTEM_CHECKBUTTON,
                              ROLE_SYSTEM_PAGETAB,    ROLE_SYSTEM_TEXT,        ROLE_SYSTEM_COMBOBOX};
        EXPECT_EQ(facts->role, roles[static_cast<int>(name->role)]) << id;
        const bool checked = id == IDC_BTN_MODE_METEOR || id == IDC_BTN_POWER || id == IDC_BTN_TAB_LIGHTING;
        EXPECT_EQ((facts->state & STATE_SYSTEM_CHECKED) != 0, checked) << id;
    }
    std::printf("lighting page: %d visible controls, %d named\n", visible, named);
    EXPECT_EQ(visible, 27);
    EXPECT_EQ(named, visible);
    EXPECT_EQ(ReadAccessible(GetDlgItem(main_, IDC_RED_BOX))->value, L"61");

    // The module page: the selector's value is the module, its description the page's text.
    Click(GetDlgItem(main_, IDC_BTN_TAB_MODULE_INFO));
    Settle();
    const std::optional<AccessibleFacts> selector = ReadAccessible(GetDlgItem(main_, IDC_MODULE_SELECTOR));
    ASSERT_TRUE(selector);
    EXPECT_EQ(selector->value, L"DIMM0");
    EXPECT_NE(selector->description.find(L"\tF4-3200C14-16GTZR\n"), std::wstring::npos) << "the part number is read";
    // The module has no serial number: the word for none, in the program's language.
    const wchar_t* none[] = {L"None", L"无", L"無"};
    EXPECT_NE(selector->description.find(std::wstring(L"\t") + none[language] + L"\n"), std::wstring::npos);
    EXPECT_TRUE(ReadAccessible(GetDlgItem(main_, IDC_BTN_TAB_MODULE_INFO))->state & STATE_SYSTEM_CHECKED);
    EXPECT_FALSE(ReadAccessible(GetDlgItem(main_, IDC_BTN_TAB_LIGHTING))->state & STATE_SYSTEM_CHECKED);
    EXPECT_TRUE(ReadAccessible(GetDlgItem(main_, IDC_BTN_POWER))->state & STATE_SYSTEM_INVISIBLE);
}

} // namespace
