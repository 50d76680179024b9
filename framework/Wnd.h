// CWnd: a C++ object attached to a window. Once attached (by subclassing an existing window, or by Create, which
// attaches before the first message), the object's WindowProc sees every message of the window first: the
// message map, then the window's original procedure.
#pragma once

#include <windows.h>

#include <string>

#include "framework/MessageMap.h"

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    // The object attached to a window, or null.
    static CWnd* FromHandlePermanent(HWND window);

    // Creates a window and attaches this object before the window's first message (WM_NCCREATE).
    bool Create(LPCWSTR className, LPCWSTR text, DWORD style, const RECT& rect, HWND parent, UINT id,
                DWORD exStyle = 0);
    // Creates a window and attaches this object once it is made: the creation messages (WM_NCCREATE, WM_CREATE,
    // the first WM_SIZE and WM_MOVE) reach the class's own procedure only. It needs no creation hook, which the
    // system calls for every window made meanwhile: for an object with nothing to do while its window is made.
    bool CreateThenAttach(LPCWSTR className, LPCWSTR text, DWORD style, const RECT& rect, HWND parent, UINT id);
    bool DestroyWindow();
    // Attaches this object to an existing window; its messages reach WindowProc from now on.
    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(UINT id, HWND parent);
    // Gives the window its original procedure back and detaches the object.
    HWND UnsubclassWindow();

    // Thin conveniences over the window functions.
    BOOL ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }
    // Takes `remove` from the window's style and adds `add`; the control hears of it (WM_STYLECHANGED).
    void ModifyStyle(DWORD remove, DWORD add) const;
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    void Invalidate(bool erase = true) const { ::InvalidateRect(m_hWnd, nullptr, erase ? TRUE : FALSE); }
    void MoveWindow(int x, int y, int width, int height, bool repaint = true) const {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint ? TRUE : FALSE);
    }
    void SetWindowText(LPCWSTR text) const { ::SetWindowTextW(m_hWnd, text); }
    std::wstring GetWindowText() const;
    void SetFont(HFONT font, bool redraw = true) const {
        ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
    }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }

    // A window timer: WM_TIMER with this id every periodMs milliseconds until KillTimer. Setting it again restarts it.
    bool SetTimer(UINT_PTR id, UINT periodMs) const { return ::SetTimer(m_hWnd, id, periodMs, nullptr) != 0; }
    bool KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id) != FALSE; }

    // The message map; BEGIN_MSG_MAP overrides it.
    virtual bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Called by the modal loop for every message aimed at this window or its children, before dispatch.
    virtual bool PreTranslateMessage(MSG* message);

protected:
    // Every message of the window: WM_COMMAND goes to OnCommand, owner-draw requests that no map entry takes
    // are reflected to the control's own object, everything else goes to the message map and then to the default.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's original procedure (or DefWindowProcW).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // A command: the message map's command entries. Returns true when the command was handled.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    // Owner drawing reflected from the parent to the control's object.
    virtual void DrawItem(DRAWITEMSTRUCT* item);
    virtual void MeasureItem(MEASUREITEMSTRUCT* item);
    // The object that owner-draw requests for control id go to when the control's window is not attached yet.
    virtual CWnd* BoundControl(int id) const;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool ReflectOwnerDraw(UINT message, LPARAM lParam);

    WNDPROC m_originalProc = nullptr;
};
