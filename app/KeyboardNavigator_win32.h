// CKeyboardNavigator: the main window's keys. Tab and Shift+Tab go round the visible page's controls in reading
// order, the arrow keys within a group (modes, speeds, sub-pages, page tabs) and over the colour wheel, Space and
// Enter press the focused button as a click does, Ctrl+Tab and Ctrl+Shift+Tab switch pages. The first of these
// keys shows the focus cues (the window's UI state, as the system's dialogs keep it); until then nothing is drawn
// that a mouse user would not see. The order is KeyboardFocus's; this class only moves the focus and presses.
#pragma once

#include <windows.h>

#include "app/KeyboardFocus.h"
#include "base/SkinScale.h"

class CVxButton;

// What the navigator needs of the window it serves.
class IKeyboardWindow {
public:
    virtual ~IKeyboardWindow() = default;
    virtual HWND KeyWindow() const = 0;
    // The bitmap button of an id, or null for another control.
    virtual CVxButton* BitmapButton(int id) = 0;
    virtual Page ShownPage() const = 0;
    virtual void ShowPage(Page page) = 0;
    virtual const SkinScale& KeyScale() const = 0;
};

class CKeyboardNavigator : private FocusView {
public:
    explicit CKeyboardNavigator(IKeyboardWindow& window) : m_window(window) {}

    // At start: focus cues hidden, as for a user who has not touched the keyboard yet (if they have, the cues stay).
    void HideFocusCues();
    // A key message aimed at the window or one of its controls; true when the key was the navigator's.
    bool PreTranslate(const MSG& message);
    // After a page switch: the focus stays on the control that had it before (focused) if it still shows, or
    // goes to the page's first control.
    void KeepFocusOnThePage(int focused);

private:
    bool OnTab(bool shift, bool ctrl);
    bool OnArrow(UINT key);
    bool OnPress();
    // The wheel takes the colour under its keyboard mark.
    void PickAtMark(CVxButton& wheel) const;
    void FocusControl(int id);
    int FocusedId() const;
    void ShowFocusCues();
    void SetFocusCues(bool show);

    // FocusView
    bool Visible(int id) const override;
    // The group's member shown chosen (checked), where Tab enters the group.
    int Selected(FocusGroup group) const override;

    IKeyboardWindow& m_window;
    WheelMark m_wheelMark;
    bool m_cuesShown = false;
};
