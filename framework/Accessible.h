// What a control tells the accessibility API (screen readers, from their own process): a client object of its own,
// answered on WM_GETOBJECT, with the name, role, state, value and description the control gives and the standard
// proxy's answers for the rest (place, parent, navigation, hit test). Drawing is untouched: nothing here paints.
//
// oleacc.dll is loaded on the first request only, so a program nobody reads starts as it did.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <optional>
#include <string>

#include "framework/Wnd.h"

namespace fw {

// What a control answers about itself. State is added to what the window shows of itself (invisible, unavailable,
// focusable, focused).
class AccessibleAnswers {
public:
    virtual ~AccessibleAnswers() = default;
    virtual std::wstring AccessibleName() const = 0;
    virtual LONG AccessibleRole() const = 0;
    virtual LONG AccessibleState() const { return 0; }
    virtual std::wstring AccessibleValue() const { return {}; }
    virtual std::wstring AccessibleDescription() const { return {}; }
    // The default action (a button's press); false when there is none.
    virtual bool DoAccessibleAction() { return false; }
};

class AccessibleObject;

// A control's client object: made on the first WM_GETOBJECT, disconnected when the slot ends (a client holding it
// then gets an error, never a call into a control that is gone).
class AccessibleSlot {
public:
    AccessibleSlot(HWND& window, AccessibleAnswers& answers) : m_window(window), m_answers(answers) {}
    ~AccessibleSlot();
    AccessibleSlot(const AccessibleSlot&) = delete;
    AccessibleSlot& operator=(const AccessibleSlot&) = delete;

    // The answer to WM_GETOBJECT: the client object for OBJID_CLIENT, nothing (default processing) for the rest.
    std::optional<LRESULT> Answer(WPARAM flags, LONG objectId);

private:
    HWND& m_window;
    AccessibleAnswers& m_answers;
    AccessibleObject* m_object = nullptr; // one reference
};

// The WinEvents a screen reader follows; nothing when the window is not shown. (The focus event is the system's,
// raised when the focus moves.)
void RaiseStateChange(HWND window);
void RaiseNameChange(HWND window);
void RaiseDescriptionChange(HWND window);

// A system control (an edit box, say) with the name and role a screen reader is told, and its text as its value;
// attach it with SubclassDlgItem. Everything else is the control's own.
class CNamedControl : public CWnd, private AccessibleAnswers {
public:
    void SetAccessible(std::wstring name, LONG role);

    BEGIN_MSG_MAP(CNamedControl)
    MESSAGE_CRACKED_OFFER(WM_GETOBJECT, m_accessible.Answer)
    END_MSG_MAP()

private:
    std::wstring AccessibleName() const override { return m_name; }
    LONG AccessibleRole() const override { return m_role; }
    std::wstring AccessibleValue() const override;

    LONG m_role = ROLE_SYSTEM_CLIENT;
    std::wstring m_name;
    AccessibleSlot m_accessible{m_hWnd, *this};
};

} // namespace fw
