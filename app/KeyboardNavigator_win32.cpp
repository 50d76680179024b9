#include "app/KeyboardNavigator_win32.h"

#include "lighting/LightingControls.h"
#include "skin/VxButton_win32.h"

namespace {

bool Down(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

// The disc's margin in the wheel's image at 100 %: the artwork leaves two pixels to the image's side.
constexpr int kWheelMargin = 2;

} // namespace

// The window's UI state, as the system's dialogs keep it: the window is asked to change it (WM_CHANGEUISTATE), and
// each control is told (WM_UPDATEUISTATE) as the window's default processing would pass it on, since the system
// changes nothing when the window's own record already says so and controls made since keep their own.
void CKeyboardNavigator::SetFocusCues(bool show) {
    m_cuesShown = show;
    const HWND window = m_window.KeyWindow();
    const WPARAM change = show ? MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS) : MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS);
    ::SendMessageW(window, WM_CHANGEUISTATE, change, 0);
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageW(child, WM_UPDATEUISTATE, change, 0);
    }
}

void CKeyboardNavigator::HideFocusCues() {
    if (!m_cuesShown) { // the keyboard, used already, has shown them
        SetFocusCues(false);
    }
}

void CKeyboardNavigator::ShowFocusCues() {
    if (!m_cuesShown) {
        SetFocusCues(true);
    }
}

bool CKeyboardNavigator::PreTranslate(const MSG& message) {
    const HWND window = m_window.KeyWindow();
    if (message.message != WM_KEYDOWN || (message.hwnd != window && ::GetAncestor(message.hwnd, GA_ROOT) != window)) {
        return false;
    }
    switch (message.wParam) {
    case VK_TAB:
        return OnTab(Down(VK_SHIFT), Down(VK_CONTROL));
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        return OnArrow(static_cast<UINT>(message.wParam));
    case VK_SPACE:
    case VK_RETURN:
        return OnPress();
    default:
        return false;
    }
}

bool CKeyboardNavigator::OnTab(bool shift, bool ctrl) {
    ShowFocusCues();
    if (ctrl) {
        const int focused = FocusedId();
        m_window.ShowPage(NextPage(m_window.ShownPage(), !shift));
        KeepFocusOnThePage(focused);
        return true;
    }
    if (const int next = NextFocus(FocusedId(), shift ? FocusMove::ShiftTab : FocusMove::Tab, *this)) {
        FocusControl(next);
    }
    return true;
}

bool CKeyboardNavigator::OnArrow(UINT key) {
    const int focused = FocusedId();
    if (focused == IDC_BTN_COLOUR_WHEEL) {
        CVxButton* wheel = m_window.BitmapButton(IDC_BTN_COLOUR_WHEEL);
        if (!wheel || !wheel->IsWindowVisible()) {
            return true; // a wheel hidden under the focus picks nothing
        }
        ShowFocusCues();
        const WheelKey move = key == VK_RIGHT  ? WheelKey::Clockwise
                              : key == VK_LEFT ? WheelKey::Anticlockwise
                              : key == VK_UP   ? WheelKey::Outward
                                               : WheelKey::Inward;
        m_wheelMark = MoveWheelMark(m_wheelMark, move);
        PickAtMark(*wheel);
        wheel->PressByKey();
        return true;
    }
    if (GroupOf(focused) == FocusGroup::None) {
        return false; // an edit box's or the selector's own arrows
    }
    ShowFocusCues();
    const bool forward = key == VK_RIGHT || key == VK_DOWN;
    FocusControl(NextFocus(focused, forward ? FocusMove::NextInGroup : FocusMove::PreviousInGroup, *this));
    return true;
}

bool CKeyboardNavigator::OnPress() {
    CVxButton* button = m_window.BitmapButton(FocusedId());
    if (!button) {
        return false; // Enter elsewhere is the window's to swallow
    }
    if (!button->IsWindowVisible()) {
        return true; // a button hidden under the focus is never pressed
    }
    ShowFocusCues();
    if (FocusedId() == IDC_BTN_COLOUR_WHEEL) {
        PickAtMark(*button);
    }
    button->PressByKey();
    return true;
}

void CKeyboardNavigator::PickAtMark(CVxButton& wheel) const {
    RECT client{};
    ::GetClientRect(wheel.m_hWnd, &client);
    // The image fills the client area less its last column and row.
    const WheelPoint point =
        WheelMarkPoint(m_wheelMark, client.right - 1, client.bottom - 1, m_window.KeyScale().Px(kWheelMargin));
    wheel.PickAt({point.x, point.y});
}

void CKeyboardNavigator::KeepFocusOnThePage(int focused) {
    // Hiding the focused control has given the focus to the dialog, which passes it to a control of its choosing.
    if (focused != 0 && Visible(focused)) {
        FocusControl(focused);
        return;
    }
    if (const int first = NextFocus(0, FocusMove::Tab, *this)) {
        FocusControl(first);
    }
}

void CKeyboardNavigator::FocusControl(int id) {
    if (const HWND control = ::GetDlgItem(m_window.KeyWindow(), id)) {
        ::SetFocus(control);
        if (IsColourBox(id)) {
            ::SendMessageW(control, EM_SETSEL, 0, -1); // an edit box reached by Tab has its number selected
        }
    }
}

int CKeyboardNavigator::FocusedId() const {
    const HWND focus = ::GetFocus();
    if (!focus || ::GetParent(focus) != m_window.KeyWindow()) {
        return 0;
    }
    return ::GetDlgCtrlID(focus);
}

int CKeyboardNavigator::Selected(FocusGroup group) const {
    for (const FocusStop& stop : kFocusOrder) {
        if (stop.group == group) {
            if (CVxButton* button = m_window.BitmapButton(stop.id); button && button->Checked()) {
                return stop.id;
            }
        }
    }
    return 0;
}

bool CKeyboardNavigator::Visible(int id) const {
    const HWND control = ::GetDlgItem(m_window.KeyWindow(), id);
    return control && (::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}
