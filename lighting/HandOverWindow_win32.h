// prismelctl's way into the running program: its requests arrive as WM_COPYDATA messages under their own tag and go
// to the portable adapter (HandOverAdapter), and the answer goes back to the caller's window. The window takes them
// once its start-up is over, from callers without administrator rights too.
#pragma once

#include <windows.h>

#include "framework/MessageMap.h"
#include "framework/Wnd.h"
#include "lighting/HandOverAdapter.h"

class CHandOverWindow : public CMessageMap {
public:
    CHandOverWindow(CWnd& window, HandOverTarget& target, ProfileBook& profiles)
        : m_window(window), m_target(target), m_profiles(profiles) {}

    BEGIN_MSG_MAP(CHandOverWindow)
    MESSAGE_CRACKED(WM_COPYDATA, OnCopyData)
    END_MSG_MAP()

    // Start-up is over (the library started or not): requests are taken from now on.
    void Open();

private:
    // A request: taken only with its tag, size and ranges right, and answered with the status (a lighting
    // request) or with the profiles' answer (a profile request).
    LRESULT OnCopyData(HWND sender, const COPYDATASTRUCT* message);
    LRESULT OnProfileRequest(HWND sender, std::span<const std::uint8_t> bytes);
    LRESULT OnDarkRequest(HWND sender, std::span<const std::uint8_t> bytes);
    // Sends an answer to the caller's window, if it named one; a caller that does not answer is not waited for.
    void Answer(HWND caller, ULONG_PTR tag, std::span<const std::uint8_t> bytes) const;

    CWnd& m_window;
    HandOverTarget& m_target;
    ProfileBook& m_profiles;
    bool m_open = false;
};
