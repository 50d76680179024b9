// Message maps: a table of contents of what a window handles, read top to bottom.
//
//   BEGIN_MSG_MAP(CMainDlg)
//       MESSAGE_CRACKED(WM_TIMER, OnTimer)
//       BUTTON_CLICK_CALL(IDC_APPLY, OnApply)
//       CHAIN_MSG_MAP(CDialog)
//   END_MSG_MAP()
//
// Two families of entries; a map uses one of them.
//
// WTL's entries, under WTL's names and with WTL's handler shapes exactly (BOOL&, as WTL has it):
//   MESSAGE_HANDLER(WM_X, OnX)                  LRESULT OnX(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
//   MESSAGE_RANGE_HANDLER(F, L, OnX)            the same, for messages F-L
//   COMMAND_HANDLER(ID, CODE, OnX)              LRESULT OnX(WORD code, WORD id, HWND control, BOOL& handled)
//   COMMAND_ID_HANDLER, COMMAND_CODE_HANDLER, COMMAND_RANGE_HANDLER, COMMAND_RANGE_CODE_HANDLER: the same shape
//   NOTIFY_HANDLER(ID, CODE, OnX)               LRESULT OnX(int id, NMHDR* header, BOOL& handled)
// A handler that sets handled = FALSE lets the search go on, and the message reach the default processing.
//
// Our own typed entries, under names of our own so that nobody who knows WTL expects its shapes. They hand a
// handler the message's parameters already cracked into their types (MessageParams below, one specialisation per
// message, as WTL's crackers do), and the message counts as handled:
//   PAINT_CALL(OnPaint)                         void OnPaint()
//   MESSAGE_CRACKED(WM_X, OnX)                  R OnX(cracked parameters...); R is LRESULT, or void for 0
//   MESSAGE_CRACKED_OFFER(WM_X, OnX)            std::optional<LRESULT> OnX(...); nothing: not handled, goes on
//   MESSAGE_CRACKED_OBSERVER(WM_X, OnX)         void OnX(...); the message goes on to the default processing
//   CTLCOLOR_CRACKED(OnX)                       HBRUSH OnX(UINT message, HDC dc, HWND control), for WM_CTLCOLOR*
//   SIGNAL_CALL(MESSAGE, OnX)                   void OnX(), for a message without parameters (a registered one too)
//   COMMAND_ID_CALL(ID, OnX)                    void OnX()
//   COMMAND_CODE_CALL(ID, CODE, OnX)            void OnX(), for notification CODE of control ID
//   BUTTON_CLICK_CALL(ID, OnX)                  void OnX(), for BN_CLICKED of control ID
//   BUTTON_RANGE_CLICK_CALL(FIRST, LAST, OnX)   void OnX(int id), for BN_CLICKED of controls FIRST-LAST
//   COMMAND_RANGE_CODE_CALL(F, L, CODE, OnX)    void OnX(int id), for notification CODE of controls F-L
#pragma once

#include <windows.h>

#include <optional>
#include <tuple>
#include <type_traits>
#include <utility>

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
        BOOL bHandled = TRUE;                                                                                          \
        (void)bHandled;

#define MESSAGE_HANDLER(msg, func)                                                                                     \
    if (uMsg == (msg)) {                                                                                               \
        bHandled = TRUE;                                                                                               \
        lResult = func(uMsg, wParam, lParam, bHandled);                                                                \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func)                                                                 \
    if (uMsg >= (msgFirst) && uMsg <= (msgLast)) {                                                                     \
        bHandled = TRUE;                                                                                               \
        lResult = func(uMsg, wParam, lParam, bHandled);                                                                \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define COMMAND_HANDLER(id, code, func)                                                                                \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) {                                    \
        bHandled = TRUE;                                                                                               \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);                      \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define COMMAND_ID_HANDLER(id, func)                                                                                   \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) {                                                                \
        bHandled = TRUE;                                                                                               \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);                      \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define COMMAND_CODE_HANDLER(code, func)                                                                               \
    if (uMsg == WM_COMMAND && HIWORD(wParam) == (code)) {                                                              \
        bHandled = TRUE;                                                                                               \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);                      \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define COMMAND_RANGE_HANDLER(idFirst, idLast, func)                                                                   \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast)) {                             \
        bHandled = TRUE;                                                                                               \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);                      \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define COMMAND_RANGE_CODE_HANDLER(idFirst, idLast, code, func)                                                        \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast) && HIWORD(wParam) == (code)) { \
        bHandled = TRUE;                                                                                               \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);                      \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

#define NOTIFY_HANDLER(id, code, func)                                                                                 \
    if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->idFrom == static_cast<UINT_PTR>(id) &&                  \
        reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(code)) {                                           \
        bHandled = TRUE;                                                                                               \
        lResult = func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled);                          \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

// A message's parameters in their types. Specialise for each message a typed entry names; a message without a
// specialisation does not compile there.
template <UINT Message> struct MessageParams;

#define PRISMEL_MESSAGE_PARAMS(message, ...)                                                                           \
    template <> struct MessageParams<message> {                                                                        \
        static auto Of([[maybe_unused]] WPARAM wParam, [[maybe_unused]] LPARAM lParam) {                               \
            return std::tuple(__VA_ARGS__);                                                                            \
        }                                                                                                              \
    }

PRISMEL_MESSAGE_PARAMS(WM_CREATE, reinterpret_cast<const CREATESTRUCTW*>(lParam));
PRISMEL_MESSAGE_PARAMS(WM_ENABLE, wParam != 0);
PRISMEL_MESSAGE_PARAMS(WM_SETTEXT, reinterpret_cast<const wchar_t*>(lParam));
PRISMEL_MESSAGE_PARAMS(WM_SETFONT, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
PRISMEL_MESSAGE_PARAMS(WM_TIMER, static_cast<UINT_PTR>(wParam));
PRISMEL_MESSAGE_PARAMS(WM_MOUSEMOVE, static_cast<UINT>(wParam),
                       POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
PRISMEL_MESSAGE_PARAMS(WM_LBUTTONDOWN, static_cast<UINT>(wParam),
                       POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
PRISMEL_MESSAGE_PARAMS(WM_LBUTTONUP, static_cast<UINT>(wParam),
                       POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
PRISMEL_MESSAGE_PARAMS(WM_ERASEBKGND, reinterpret_cast<HDC>(wParam));
PRISMEL_MESSAGE_PARAMS(WM_NCPAINT, reinterpret_cast<HRGN>(wParam));
PRISMEL_MESSAGE_PARAMS(WM_DESTROY);
PRISMEL_MESSAGE_PARAMS(WM_COPYDATA, reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
// A power event, and the power setting that changed (for PBT_POWERSETTINGCHANGE only; null for the others).
PRISMEL_MESSAGE_PARAMS(WM_POWERBROADCAST, static_cast<UINT>(wParam),
                       wParam == PBT_POWERSETTINGCHANGE ? reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam)
                                                        : nullptr);
PRISMEL_MESSAGE_PARAMS(WM_SYSCOMMAND, static_cast<UINT>(wParam & 0xFFF0));
PRISMEL_MESSAGE_PARAMS(WM_NCHITTEST, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
PRISMEL_MESSAGE_PARAMS(WM_QUERYDRAGICON);
// WM_GETOBJECT: the flags and the object id (a LONG: OBJID_CLIENT is negative).
PRISMEL_MESSAGE_PARAMS(WM_GETOBJECT, wParam, static_cast<LONG>(lParam));
PRISMEL_MESSAGE_PARAMS(WM_SETFOCUS, reinterpret_cast<HWND>(wParam));
PRISMEL_MESSAGE_PARAMS(WM_KILLFOCUS, reinterpret_cast<HWND>(wParam));
PRISMEL_MESSAGE_PARAMS(WM_UPDATEUISTATE, static_cast<UINT>(LOWORD(wParam)), static_cast<UINT>(HIWORD(wParam)));
// WM_SHOWWINDOW: shown or hidden, and why (0 for a ShowWindow call).
PRISMEL_MESSAGE_PARAMS(WM_SHOWWINDOW, wParam != 0, static_cast<UINT>(lParam));
PRISMEL_MESSAGE_PARAMS(WM_SIZE, static_cast<UINT>(wParam));
PRISMEL_MESSAGE_PARAMS(WM_DPICHANGED, static_cast<UINT>(LOWORD(wParam)), reinterpret_cast<const RECT*>(lParam));

namespace fw {

// Calls a typed handler with the message's cracked parameters; a handler returning nothing answers 0.
template <class Handler, class Params> LRESULT CallCracked(Handler&& handler, Params&& params) {
    using Result = decltype(std::apply(handler, params));
    if constexpr (std::is_void_v<Result>) {
        std::apply(handler, params);
        return 0;
    } else if constexpr (std::is_pointer_v<Result>) {
        return reinterpret_cast<LRESULT>(std::apply(handler, params));
    } else {
        return static_cast<LRESULT>(std::apply(handler, params));
    }
}

} // namespace fw

#define PRISMEL_CRACKED_HANDLER(func)                                                                                  \
    [this](auto&&... params) { return func(std::forward<decltype(params)>(params)...); }

#define MESSAGE_CRACKED(msg, func)                                                                                     \
    if (uMsg == (msg)) {                                                                                               \
        lResult = fw::CallCracked(PRISMEL_CRACKED_HANDLER(func), MessageParams<msg>::Of(wParam, lParam));              \
        return true;                                                                                                   \
    }

#define MESSAGE_CRACKED_OFFER(msg, func)                                                                               \
    if (uMsg == (msg)) {                                                                                               \
        const std::optional<LRESULT> answer =                                                                          \
            std::apply(PRISMEL_CRACKED_HANDLER(func), MessageParams<msg>::Of(wParam, lParam));                         \
        if (answer) {                                                                                                  \
            lResult = *answer;                                                                                         \
            return true;                                                                                               \
        }                                                                                                              \
    }

#define MESSAGE_CRACKED_OBSERVER(msg, func)                                                                            \
    if (uMsg == (msg)) {                                                                                               \
        std::apply(PRISMEL_CRACKED_HANDLER(func), MessageParams<msg>::Of(wParam, lParam));                             \
    }

// The WM_CTLCOLOR* messages, with one handler: HBRUSH OnX(UINT message, HDC dc, HWND control).
#define CTLCOLOR_CRACKED(func)                                                                                         \
    if (uMsg >= WM_CTLCOLORMSGBOX && uMsg <= WM_CTLCOLORSTATIC) {                                                      \
        lResult =                                                                                                      \
            reinterpret_cast<LRESULT>(func(uMsg, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));      \
        return true;                                                                                                   \
    }

#define SIGNAL_CALL(msg, func)                                                                                         \
    if (uMsg == (msg)) {                                                                                               \
        func();                                                                                                        \
        lResult = 0;                                                                                                   \
        return true;                                                                                                   \
    }

#define PAINT_CALL(func)                                                                                               \
    if (uMsg == WM_PAINT) {                                                                                            \
        func();                                                                                                        \
        lResult = 0;                                                                                                   \
        return true;                                                                                                   \
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
