// What the end-to-end tests of Prismel.exe share: its settings key, how its main window is told apart from its
// message boxes, a scratch folder named after the running test, and a fixture that starts the program in such a
// folder with the SMBus stand-in and reads the stand-in's journal.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

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

// Prismel.exe, the stand-in and the font copied into a scratch folder; the stand-in's configuration is config_
// (one module at position 0 0 unless a test changes it) plus what Start adds.
class ProgramTest : public ::testing::Test {
protected:
    explicit ProgramTest(std::wstring scratchPrefix) : scratchPrefix_(std::move(scratchPrefix)) {}

    void SetUp() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
        folder_ = ScratchFolderForCurrentTest(scratchPrefix_);
        for (const wchar_t* file : {L"Prismel.exe", L"MsIo32.dll", L"DS-DIGI.ttf"}) {
            ASSERT_TRUE(CopyFileTo(ProgramFolder() + L"\\" + file, folder_ + L"\\" + file));
        }
        config_ = ModuleLine(0, 0, "gskill-f4-3200c14d-32gtzr.bin");
    }
    void TearDown() override {
        process_.reset();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
    }

    static std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }
    // A configuration line placing one of the default SPD images at a bus position.
    static std::string ModuleLine(int first, int second, const std::string& image) {
        return "module " + std::to_string(first) + " " + std::to_string(second) + " = " + Narrow(ProgramFolder()) +
               "\\spd\\" + image + "\n";
    }

    // Starts the program and waits for its main window.
    HWND Start(const std::wstring& arguments = L"", const std::string& extraConfig = "", bool waitForWindow = true) {
        WriteTextFile(folder_ + L"\\smbus-sim.conf", config_ + extraConfig + "journal = smbus-sim.journal\n");
        LaunchOptions options;
        options.program = folder_ + L"\\Prismel.exe";
        options.arguments = arguments;
        options.environment = {{L"PRISMEL_SMBUS_CONFIG", folder_ + L"\\smbus-sim.conf"}};
        process_ = Process::Start(options);
        if (!process_ || !waitForWindow) {
            return nullptr;
        }
        HWND main = WaitForWindow(process_->Id(), L"#32770", IsMainWindow);
        // Initialisation is over once the colour boxes have their texts.
        WaitFor([&] { return GetText(GetDlgItem(main, 1044)) == L"61"; }, 5000);
        return main;
    }

    // Lets the program handle what was posted to it.
    void Settle() const {
        Sleep(150);
        if (HWND main = WaitForWindow(process_->Id(), L"#32770", IsMainWindow, 100)) {
            DWORD_PTR ignored;
            SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
        }
    }

    void PutDword(LPCWSTR name, DWORD value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyW(HKEY_LOCAL_MACHINE, kSettingsKey, &key), ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(key);
    }

    std::vector<std::string> Journal() const { return ReadJournal(folder_ + L"\\smbus-sim.journal"); }

    std::wstring scratchPrefix_;
    std::wstring folder_;
    std::string config_;
    std::optional<Process> process_;
};

// A journal line without its timestamp and result: "RGBI2CMode(0x01, 0x03, 0x00, 0x00)".
inline std::string CallOf(const std::string& line) {
    auto space = line.find(' ');
    auto arrow = line.rfind(" -> ");
    if (space == std::string::npos || arrow == std::string::npos || arrow < space) {
        return line;
    }
    return line.substr(space + 1, arrow - space - 1);
}
// The timestamp of a journal line in milliseconds.
inline double TimeOf(const std::string& line) {
    return std::stod(line.substr(0, line.find(' ')));
}

} // namespace e2e
