// Message maps: a table of contents of what a window handles, read top to bottom.
//
//   BEGIN_MSG_MAP(CMainDlg)
//       MESSAGE_HANDLER(WM_PAINT, OnPaint)
//       COMMAND_ID_HANDLER(IDC_APPLY, OnApply)
//       CHAIN_MSG_MAP(CDialog)
//   END_MSG_MAP()
//
// Message handlers:  LRESULT OnX(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
// Command handlers:  LRESULT OnX(WORD code, WORD id, HWND control, bool& handled);
// Notify handlers:   LRESULT OnX(int id, NMHDR* header, bool& handled);
// A handler that sets handled = false lets the search go on, and the message reach the default processing.
//
// The entries above are WTL's, with WTL's handler shapes. Our own typed entries (named ..._CALL, so that nobody
// who knows WTL expects its shapes) hand a handler only what it uses, and the message counts as handled:
//   PAINT_CALL(OnPaint)                         void OnPaint()
//   MESSAGE_CALL(WM_X, OnX)                     LRESULT OnX(WPARAM wParam, LPARAM lParam)
//   MESSAGE_OBSERVER(WM_X, OnX)                 void OnX(WPARAM wParam); the message goes on to the default
//   COMMAND_ID_CALL(ID, OnX)                    void OnX()
//   COMMAND_CODE_CALL(ID, CODE, OnX)            void OnX(), for notification CODE of control ID
//   BUTTON_CLICK_CALL(ID, OnX)                  void OnX(), for BN_CLICKED of control ID
//   BUTTON_RANGE_CLICK_CALL(FIRST, LAST, OnX)   void OnX(int id), for BN_CLICKED of controls FIRST-LAST
//   COMMAND_RANGE_CODE_CALL(F, L, CODE, OnX)    void OnX(int id), for notification CODE of controls F-L
#pragma once

#include <windows.h>

// A part of a window's message handling that lives in an object of its own (a page of a dialog, say) and is chained
// into the window's map with CHAIN_MSG_MAP_MEMBER.
class CMessageMap {
public:
    virtual ~CMessageMap() = default;
    virtual bool ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) = 0;
};

#define BEGIN_MSG_MAP(theClass)                                                                                        \
public:                                                                                                                \
    bool ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override {         \
        (void)hWnd;                                                                                                    \
        (void)wParam;                                                                                                  \
        (void)lParam;                                                                                                  \
        bool bHandled = true;                                                                                          \
        (void)bHandled;

#define MESSAGE_HANDLER(msg, func)                                                                                     \
    if (uMsg == (msg)) {                                                                                               \
        bHandled = true;                                                                                               \
        lResult = func(uMsg, wParam, lParam, bHandled);                                                                \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func)                                                                 \
    if (uMsg >= (msgFirst) && uMsg <= (msgLast)) {                                                                     \
        bHandled = true;                                                                                               \
        lResult = func(uMsg, wParam, lParam, bHandled);                                                                \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define COMMAND_HANDLER(id, code, func)                                                                                \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) {                                    \
        bHandled = true;                                                                                               \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);                      \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define COMMAND_ID_HANDLER(id, func)                                                                                   \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) {                                                                \
        bHandled = true;                                                                                               \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);                      \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define COMMAND_CODE_HANDLER(code, func)                                                                               \
    if (uMsg == WM_COMMAND && HIWORD(wParam) == (code)) {                                                              \
        bHandled = true;                                                                                               \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);                      \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define COMMAND_RANGE_HANDLER(idFirst, idLast, func)                                                                   \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast)) {                             \
        bHandled = true;                                                                                               \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);                      \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define COMMAND_RANGE_CODE_HANDLER(idFirst, idLast, code, func)                                                        \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast) && HIWORD(wParam) == (code)) { \
        bHandled = true;                                                                                               \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);                      \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define NOTIFY_HANDLER(id, code, func)                                                                                 \
    if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->idFrom == static_cast<UINT_PTR>(id) &&                  \
        reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(code)) {                                           \
        bHandled = true;                                                                                               \
        lResult = func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled);                          \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define PAINT_CALL(func)                                                                                               \
    if (uMsg == WM_PAINT) {                                                                                            \
        func();                                                                                                        \
        lResult = 0;                                                                                                   \
        return true;                                                                                                   \
    }

#define MESSAGE_CALL(msg, func)                                                                                        \
    if (uMsg == (msg)) {                                                                                               \
        lResult = func(wParam, lParam);                                                                                \
        return true;                                                                                                   \
    }

#define MESSAGE_OBSERVER(msg, func)                                                                                    \
    if (uMsg == (msg)) {                                                                                               \
        func(wParam);                                                                                                  \
    }

#define COMMAND_ID_CALL(id, func)                                                                                      \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) {                                                                \
        func();                                                                                                        \
        lResult = 0;                                                                                                   \
        return true;                                                                                                   \
    }

#define COMMAND_CODE_CALL(id, code, func)                                                                              \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) {                                    \
        func();                                                                                                        \
        lResult = 0;                                                                                                   \
        return true;                                                                                                   \
    }

#define BUTTON_CLICK_CALL(id, func) COMMAND_CODE_CALL(id, BN_CLICKED, func)

#define COMMAND_RANGE_CODE_CALL(idFirst, idLast, code, func)                                                           \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast) && HIWORD(wParam) == (code)) { \
        func(static_cast<int>(LOWORD(wParam)));                                                                        \
        lResult = 0;                                                                                                   \
        return true;                                                                                                   \
    }

#define BUTTON_RANGE_CLICK_CALL(idFirst, idLast, func) COMMAND_RANGE_CODE_CALL(idFirst, idLast, BN_CLICKED, func)

#define CHAIN_MSG_MAP(theBase)                                                                                         \
    if (theBase::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))                                            \
        return true;

#define CHAIN_MSG_MAP_MEMBER(member)                                                                                   \
    if ((member).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))                                            \
        return true;

#define END_MSG_MAP()                                                                                                  \
    return false;                                                                                                      \
    }
