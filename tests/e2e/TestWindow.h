// The driver's test window (e2e_testwin.exe): its class, its controls, its notification message and its exit code,
// shared by the window and the tests that work it.
#pragma once

#include <windows.h>

namespace testwin {

inline constexpr wchar_t kClass[] = L"PrismelDriverTestWindow";
inline constexpr int kAskButton = 100;      // opens a message box
inline constexpr int kTextBox = 101;        // shows what happened
inline constexpr UINT kNotify = WM_APP + 1; // its text becomes "event WPARAM/LPARAM"
inline constexpr int kExitCode = 7;

} // namespace testwin
