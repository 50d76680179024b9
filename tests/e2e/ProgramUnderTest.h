// What the end-to-end tests of Prismel.exe share: its settings key, how its main window is told apart from its
// message boxes, and a scratch folder named after the running test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/e2e/Driver.h"

namespace e2e {

inline constexpr wchar_t kSettingsKey[] = L"Software\\Tessaro HD";

// The main window is the dialog that holds the close button (1501).
inline bool IsMainWindow(HWND window) {
    return !IsMessageBox(window) && GetDlgItem(window, 1501) != nullptr;
}

// An empty folder of its own for the running test: prefix, then the test's name.
inline std::wstring ScratchFolderForCurrentTest(const std::wstring& prefix) {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '-');
    return MakeScratchFolder(prefix + std::wstring(name.begin(), name.end()));
}

} // namespace e2e
