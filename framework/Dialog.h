// CDialog: a dialog created from a template resource and run modally by our own message loop.
//
// The C++ object is attached to the dialog window on the first message the dialog procedure receives, which is
// before CreateDialogParamW returns and before WM_INITDIALOG, so early messages (WM_SETFONT, WM_MEASUREITEM of
// owner-drawn controls) reach the object too. From then on every message goes through WindowProc first; the
// dialog manager (DefDlgProc) provides the default processing.
#pragma once

#include <vector>

#include "framework/Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_templateId(templateId), m_parent(parent) {}
    ~CDialog() override;

    // Creates the dialog, runs the modal loop until EndDialog or WM_QUIT, destroys the window and returns the
    // EndDialog result (-1 when the dialog could not be created or the loop ended on WM_QUIT). A WM_QUIT that
    // ends the loop is posted again, so that every enclosing loop ends too.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    // Registers a control object for a dialog control: owner-draw requests reach it even before it is
    // attached, and it is attached to the control (subclassed) when the dialog initialises.
    void BindControl(int id, CWnd& control);

    BEGIN_MSG_MAP(CDialog)
    COMMAND_ID_HANDLER(IDOK, OnOkCommand)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancelCommand)
    END_MSG_MAP()

protected:
    // Default: returns true (focus to the first control). The bound controls are attached already.
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    CWnd* BoundControl(int id) const override;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnOkCommand(WORD, WORD, HWND, BOOL&) {
        OnOK();
        return 0;
    }
    LRESULT OnCancelCommand(WORD, WORD, HWND, BOOL&) {
        OnCancel();
        return 0;
    }

    struct Binding {
        int id;
        CWnd* control;
    };

    UINT m_templateId;
    CWnd* m_parent;
    std::vector<Binding> m_bindings;
    bool m_ended = false;
    INT_PTR m_result = -1;
};
