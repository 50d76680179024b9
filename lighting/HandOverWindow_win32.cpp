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
    if (!m_open || !message || !message->lpData) {
        return 0;
    }
    const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(message->lpData), message->cbData);
    if (message->dwData == kProfileRequestTag) {
        return OnProfileRequest(sender, bytes);
    }
    if (message->dwData == kDarkRequestTag) {
        return OnDarkRequest(sender, bytes);
    }
    if (message->dwData != kHandOverRequestTag) {
        return 0;
    }
    const HandOverAnswer answer = TakeHandOver(bytes, m_target);
    switch (answer.kind) {
    case HandOverAnswer::Kind::Refused:
        return 0;
    case HandOverAnswer::Kind::LibraryNotStarted:
        return kHandOverLibraryNotStarted;
    case HandOverAnswer::Kind::Taken:
        break;
    }
    Answer(sender, kHandOverStatusTag, answer.status);
    return kHandOverTaken;
}

LRESULT CHandOverWindow::OnProfileRequest(HWND sender, std::span<const std::uint8_t> bytes) {
    if (!DecodeProfileRequest(bytes)) {
        return 0;
    }
    if (!m_target.LibraryStarted()) {
        return kHandOverLibraryNotStarted;
    }
    const std::optional<std::vector<std::uint8_t>> answer = TakeProfileHandOver(bytes, m_profiles, m_target);
    if (!answer) {
        return 0;
    }
    Answer(sender, kProfileAnswerTag, *answer);
    return kHandOverTaken;
}

LRESULT CHandOverWindow::OnDarkRequest(HWND sender, std::span<const std::uint8_t> bytes) {
    if (!DecodeDarkRequest(bytes)) {
        return 0;
    }
    if (!m_target.LibraryStarted()) {
        return kHandOverLibraryNotStarted;
    }
    const std::optional<DarkRecord> answer = TakeDarkHandOver(bytes, m_target);
    if (!answer) {
        return 0;
    }
    Answer(sender, kDarkAnswerTag, *answer);
    return kHandOverTaken;
}

void CHandOverWindow::Answer(HWND caller, ULONG_PTR tag, std::span<const std::uint8_t> bytes) const {
    if (!caller || !::IsWindow(caller)) {
        return;
    }
    COPYDATASTRUCT answer{tag, static_cast<DWORD>(bytes.size()), const_cast<std::uint8_t*>(bytes.data())};
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(caller, WM_COPYDATA, reinterpret_cast<WPARAM>(m_window.m_hWnd),
                          reinterpret_cast<LPARAM>(&answer), SMTO_ABORTIFHUNG | SMTO_BLOCK, kHandOverAnswerMs,
                          &ignored);
}
