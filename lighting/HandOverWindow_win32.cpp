#include "lighting/HandOverWindow_win32.h"

namespace {

// How long the answer to prismelctl may take to be taken.
constexpr UINT kHandOverAnswerMs = 2000;

} // namespace

void CHandOverWindow::Open() {
    // prismelctl runs with the user's own rights; the program runs elevated.
    ::ChangeWindowMessageFilterEx(m_window.m_hWnd, WM_COPYDATA, MSGFLT_ALLOW, nullptr);
    m_open = true;
}

LRESULT CHandOverWindow::OnCopyData(HWND sender, const COPYDATASTRUCT* message) {
    if (!m_open || !message || message->dwData != kHandOverRequestTag || !message->lpData) {
        return 0;
    }
    const HandOverAnswer answer =
        TakeHandOver({static_cast<const std::uint8_t*>(message->lpData), message->cbData}, m_target);
    switch (answer.kind) {
    case HandOverAnswer::Kind::Refused:
        return 0;
    case HandOverAnswer::Kind::LibraryNotStarted:
        return kHandOverLibraryNotStarted;
    case HandOverAnswer::Kind::Taken:
        break;
    }
    // The answer goes to the caller's window, if it named one; a caller that does not answer is not waited for.
    if (sender && ::IsWindow(sender)) {
        COPYDATASTRUCT status{kHandOverStatusTag, static_cast<DWORD>(answer.status.size()),
                              const_cast<std::uint8_t*>(answer.status.data())};
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(sender, WM_COPYDATA, reinterpret_cast<WPARAM>(m_window.m_hWnd),
                              reinterpret_cast<LPARAM>(&status), SMTO_ABORTIFHUNG | SMTO_BLOCK, kHandOverAnswerMs,
                              &ignored);
    }
    return kHandOverTaken;
}
