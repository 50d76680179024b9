// What the end-to-end tests of Prismel.exe share beyond the support library (tools/support): a scratch folder
// named after the running test, and a fixture that starts the program in such a folder with the SMBus stand-in
// and reads the stand-in's journal.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/SettingsStore_win32.h"
#include "res/resource.h"
#include "tools/support/Program.h"
#include "tools/support/Registry.h"

namespace e2e {

using namespace support;

// An empty folder of its own for the running test: prefix, then the test's name.
inline std::wstring ScratchFolderForCurrentTest(const std::wstring& prefix) {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '-');
    return MakeScratchFolder(prefix + std::wstring(name.begin(), name.end()));
}

// What a message box must show; its buttons are checked only when given.
struct ExpectedBox {
    std::wstring text;
    std::wstring caption;
    UINT icon = 0;
    std::vector<int> buttons;
};

// Waits for the process's next message box, checks it and presses its first expected button (else OK).
inline void CheckAndDismissMessageBox(DWORD processId, const ExpectedBox& expected) {
    auto box = WaitForMessageBox(processId);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, expected.text);
    EXPECT_EQ(box->caption, expected.caption);
    EXPECT_EQ(box->icon, expected.icon);
    if (!expected.buttons.empty()) {
        EXPECT_EQ(box->buttons, expected.buttons);
    }
    DismissMessageBox(*box, expected.buttons.empty() ? IDOK : expected.buttons.front());
}

// Prismel.exe, the stand-in and the font copied into a scratch folder; the stand-in's configuration is config_
// (one module at position 0 0 unless a test changes it) plus what Start adds.
class ProgramTest : public ::testing::Test {
protected:
    explicit ProgramTest(std::wstring scratchPrefix) : scratchPrefix_(std::move(scratchPrefix)) {}

    void SetUp() override {
        RemoveSettings();
        folder_ = ScratchFolderForCurrentTest(scratchPrefix_);
        standIn_ = StandInFiles(folder_);
        ASSERT_EQ(InstallProgram(ProgramFolder(), folder_), L"");
        // Every end-to-end test also proves that no library call goes out without the shared bus mutex.
        config_ = ModuleLine(0, 0, "gskill-f4-3200c14d-32gtzr.bin") + "require_bus_mutex = 1\n";
    }
    void TearDown() override {
        if (process_ && expectGuardedCalls_) {
            for (const std::string& line : Journal()) {
                EXPECT_EQ(line.find("UNGUARDED"), std::string::npos) << line;
            }
        }
        process_.reset();
        RemoveSettings();
    }

    // A configuration line placing one of the default SPD images at a bus position.
    static std::string ModuleLine(int first, int second, const std::string& image) {
        return support::ModuleLine(first, second, SpdImage(ProgramFolder(), image));
    }

    // Starts the program and waits for its main window.
    HWND Start(const std::wstring& arguments = L"", const std::string& extraConfig = "", bool waitForWindow = true) {
        standIn_.WriteConfig(config_ + extraConfig);
        process_ = Process::Start(ProgramLaunch(folder_ + L"\\Prismel.exe", standIn_, arguments));
        if (!process_ || !waitForWindow) {
            return nullptr;
        }
        HWND main = WaitForMainWindow(*process_);
        if (main) {
            WaitUntilInitialised(main, 5000);
        }
        return main;
    }

    // Lets the program handle what was posted to it.
    void Settle() const {
        Sleep(150);
        if (HWND main = WaitForMainWindow(*process_, 100)) {
            DWORD_PTR ignored;
            SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
        }
    }

    void PutDword(LPCWSTR name, DWORD value) {
        ASSERT_TRUE(PutRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKey, name, value));
    }

    std::vector<std::string> Journal() const { return standIn_.Journal(); }

    // The lighting calls journalled from line `from` on, without timestamps.
    std::vector<std::string> LightingCallsSince(std::size_t from) const {
        std::vector<std::string> calls;
        const auto lines = Journal();
        for (std::size_t i = from; i < lines.size(); ++i) {
            std::string call = CallOf(lines[i]);
            if (call.rfind("RGBI2CMode(", 0) == 0 || call.rfind("SetZorvaEffect(", 0) == 0) {
                calls.push_back(call);
            }
        }
        return calls;
    }

    // Waits until at least count lighting calls are journalled from line `from` on; those calls (all of them, when
    // the wait ran out first).
    std::vector<std::string> WaitForLightingCalls(std::size_t from, std::size_t count, DWORD timeoutMs = 5000) const {
        std::vector<std::string> calls;
        WaitFor([&] { return (calls = LightingCallsSince(from)).size() >= count; }, timeoutMs);
        return calls;
    }

    // Quits from the tray menu and waits for the end.
    bool Quit(HWND main) const {
        PostMessageW(main, WM_COMMAND, ID_TRAY_QUIT, 0);
        return process_ && process_->WaitForExit(10000).has_value();
    }

    // A REG_DWORD of the settings key, or nothing.
    static std::optional<DWORD> StoredDword(LPCWSTR name) {
        return GetRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKey, name);
    }

    std::wstring scratchPrefix_;
    std::wstring folder_;
    StandInFiles standIn_{L""};
    std::string config_;
    std::optional<Process> process_;
    // Cleared by a test that turns the shared bus access off.
    bool expectGuardedCalls_ = true;
};

} // namespace e2e
