// The Windows packages as a user meets them: the installer and uninstaller run silently (once, twice, after
// files were deleted by hand, over an older version), the installed program started from Program Files, and the
// unpacked portable and demo folders started from folders whose names have Chinese characters and spaces.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "lighting/RunningCopy_win32.h"
#include "app/TessaroHDApp_win32.h"
#include "res/resource.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

constexpr wchar_t kUninstallRoot[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring kUninstallKey = std::wstring(kUninstallRoot) + L"\\Zorva Prismel";

std::wstring WindowsPath(std::wstring path) { // a build-tree path from CMake, with '/'
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}
std::wstring KnownFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}
const std::wstring kVersion = L"" PRISMEL_VERSION;
const std::wstring kInstallFolder = KnownFolder(CSIDL_PROGRAM_FILES) + L"\\Zorva Prismel";
const std::wstring kShortcut = KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Zorva Prismel.lnk";

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
bool TaskExists() { // the log-on task's file, seen past the 32-bit file system view
    PVOID redirection = nullptr;
    Wow64DisableWow64FsRedirection(&redirection);
    bool found = Exists(KnownFolder(CSIDL_WINDOWS) + L"\\System32\\Tasks\\Zorva Prismel");
    Wow64RevertWow64FsRedirection(redirection);
    return found;
}
bool KeyExists(const std::wstring& key) {
    HKEY handle = nullptr;
    bool found = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return found;
}
std::wstring RegText(const std::wstring& key, const wchar_t* name) {
    wchar_t value[512] = {};
    DWORD size = sizeof(value);
    RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}
DWORD RegNumber(const std::wstring& key, const wchar_t* name) {
    DWORD value = 0, size = sizeof(value);
    RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}
int UninstallEntriesNamed(const std::wstring& displayName) {
    HKEY root = nullptr;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallRoot, 0, KEY_READ, &root);
    int count = 0;
    wchar_t name[256];
    for (DWORD i = 0, n = 256; RegEnumKeyExW(root, i, name, &n, nullptr, nullptr, nullptr, nullptr) == 0; n = 256) {
        count += RegText(std::wstring(kUninstallRoot) + L"\\" + name, L"DisplayName") == displayName;
        ++i;
    }
    RegCloseKey(root);
    return count;
}

DWORD RunToEnd(const std::wstring& program, const std::wstring& arguments) {
    auto process = Process::Start({program, arguments, ProgramFolder(), {}});
    return process ? process->WaitForExit(120000).value_or(0xDEAD) : 0xDEAD;
}
// Starts Prismel.exe with the SMBus stand-in's journal kept in folder; the main window must appear.
std::optional<Process> StartProgram(const std::wstring& program, const std::wstring& folder) {
    const StandInFiles standIn(folder);
    standIn.WriteConfig("");
    LaunchOptions options = ProgramLaunch(program, standIn);
    options.workingFolder = ProgramFolder();
    auto process = Process::Start(options);
    EXPECT_TRUE(process && WaitForMainWindow(*process, 20000)) << "no main window";
    return process;
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = ScratchFolderForCurrentTest(L"package-");
        if (Exists(kInstallFolder + L"\\Uninstall.exe")) {
            Uninstall(kInstallFolder + L"\\Uninstall.exe", L"");
        }
        RunToEnd(L"C:\\windows\\system32\\cmd.exe", L"/c rmdir /s /q \"" + kInstallFolder + L"\""); // leftovers
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str());
        RemoveSettings();
    }
    void TearDown() override { RemoveSettings(); }

    // The silent installer, with the stand-in library beside it when asked, where a user would put the real one.
    void Install(const std::wstring& setup, bool libraryBeside, const std::wstring& options = L"") {
        DeleteFileW((scratch_ + L"\\MsIo32.dll").c_str());
        ASSERT_TRUE(CopyFileTo(setup, scratch_ + L"\\setup.exe"));
        ASSERT_TRUE(!libraryBeside || CopyFileTo(ProgramFolder() + L"\\MsIo32.dll", scratch_ + L"\\MsIo32.dll"));
        ASSERT_EQ(RunToEnd(scratch_ + L"\\setup.exe", L"/S " + options), 0u);
    }
    // A copy of the uninstaller run for the installed folder, as "Add or remove programs" does it.
    DWORD Uninstall(const std::wstring& uninstaller, const std::wstring& options) {
        std::wstring copy = scratch_ + L"\\Uninstall-copy.exe";
        return CopyFileTo(uninstaller, copy) ? RunToEnd(copy, L"/S " + options + L" _?=" + kInstallFolder) : 0xDEAD;
    }
    const std::wstring kSetup = ProgramFolder() + L"\\..\\dist\\Prismel-" + kVersion + L"-setup.exe";
    std::wstring scratch_;
};

TEST_F(InstallerTest, InstallsRunsFromProgramFilesAndUninstallsWhatItAdded) {
    Install(kSetup, true);
    for (auto file : {L"Prismel.exe", L"DS-DIGI.ttf", L"DS-DIGI-LICENSE.txt", L"README.txt", L"MsIo32.dll"}) {
        EXPECT_TRUE(Exists(kInstallFolder + L"\\" + file)) << file;
    }
    EXPECT_TRUE(Exists(kShortcut));
    EXPECT_TRUE(TaskExists());
    EXPECT_EQ(RegText(kUninstallKey, L"DisplayName"), L"Zorva Prismel");
    EXPECT_EQ(RegText(kUninstallKey, L"DisplayVersion"), kVersion);
    EXPECT_EQ(RegText(kUninstallKey, L"Publisher"), L"Zorva");
    EXPECT_EQ(RegText(kUninstallKey, L"InstallLocation"), kInstallFolder);
    EXPECT_GT(RegNumber(kUninstallKey, L"EstimatedSize"), 500u); // KB

    ASSERT_NE(kInstallFolder.find(L"Program Files"), std::wstring::npos); // a path with spaces
    auto program = StartProgram(kInstallFolder + L"\\Prismel.exe", scratch_);
    ASSERT_TRUE(WriteTextFile(kInstallFolder + L"\\notes.txt", "the user's own file"));
    EXPECT_EQ(Uninstall(kInstallFolder + L"\\Uninstall.exe", L""), 0u);
    EXPECT_EQ(program->WaitForExit(5000), std::optional<DWORD>(0)) << "not quit through its tray command";
    for (auto file : {L"Prismel.exe", L"DS-DIGI.ttf", L"README.txt", L"MsIo32.dll", L"Uninstall.exe"}) {
        EXPECT_FALSE(Exists(kInstallFolder + L"\\" + file)) << file;
    }
    EXPECT_TRUE(Exists(kInstallFolder + L"\\notes.txt"));
    EXPECT_FALSE(Exists(kShortcut));
    EXPECT_FALSE(TaskExists());
    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_TRUE(KeyExists(kSettingsKey)) << "the settings the program wrote went with it";
}

TEST_F(InstallerTest, UninstallingTwiceOrAfterFilesWereDeletedByHandEndsCleanly) {
    Install(kSetup, false);
    ASSERT_TRUE(CopyFileTo(kInstallFolder + L"\\Uninstall.exe", scratch_ + L"\\Uninstall.exe")); // kept for later
    const DWORD off = 0;
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kSettingsKey, L"RestoreUserSettings", REG_DWORD, &off, 4), 0);
    DeleteFileW((kInstallFolder + L"\\Prismel.exe").c_str());
    DeleteFileW((kInstallFolder + L"\\DS-DIGI.ttf").c_str());
    EXPECT_EQ(Uninstall(scratch_ + L"\\Uninstall.exe", L""), 0u);
    EXPECT_FALSE(Exists(kInstallFolder));
    EXPECT_FALSE(Exists(kShortcut));
    EXPECT_FALSE(TaskExists());
    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_TRUE(KeyExists(kSettingsKey));
    EXPECT_EQ(Uninstall(scratch_ + L"\\Uninstall.exe", L"/REMOVESETTINGS"), 0u);
    EXPECT_FALSE(KeyExists(kSettingsKey)) << "asked to, the uninstaller removes the settings too";
}

TEST_F(InstallerTest, InstallingOverAnOlderOrTheSameVersionUpgradesInPlace) {
    Install(ProgramFolder() + L"\\..\\package-test\\older\\Prismel-0.9.0-setup.exe", true);
    EXPECT_EQ(RegText(kUninstallKey, L"DisplayVersion"), L"0.9.0");
    Install(kSetup, false);
    Install(kSetup, false, L"/NOAUTOSTART");
    EXPECT_EQ(UninstallEntriesNamed(L"Zorva Prismel"), 1);
    EXPECT_EQ(RegText(kUninstallKey, L"DisplayVersion"), kVersion);
    EXPECT_TRUE(Exists(kInstallFolder + L"\\MsIo32.dll")) << "the library copied in by the first installation";
    EXPECT_FALSE(TaskExists()) << "installed again without starting with Windows";
    EXPECT_EQ(Uninstall(kInstallFolder + L"\\Uninstall.exe", L""), 0u);
    EXPECT_FALSE(Exists(kInstallFolder));
}

TEST_F(InstallerTest, TheRestoreBoxSetsTheSettingAndPrismelctlComesAlong) {
    Install(kSetup, false);
    EXPECT_TRUE(Exists(kInstallFolder + L"\\prismelctl.exe"));
    EXPECT_EQ(GetRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKey, L"RestoreLighting"), 1u) << "ticked by default";
    Install(kSetup, false, L"/NORESTORELIGHTING");
    EXPECT_EQ(GetRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKey, L"RestoreLighting"), 0u);
    EXPECT_EQ(Uninstall(kInstallFolder + L"\\Uninstall.exe", L""), 0u);
    EXPECT_FALSE(Exists(kInstallFolder + L"\\prismelctl.exe"));
}

TEST(UnpackedPackages, ThePortableFolderRunsFromAFolderNamedInChineseWithSpaces) {
    std::wstring folder = WindowsPath(L"" PRISMEL_PORTABLE_FOLDER) + L"\\Zorva Prismel";
    ASSERT_TRUE(CopyFileTo(ProgramFolder() + L"\\MsIo32.dll", folder + L"\\MsIo32.dll")); // this test's stand-in
    auto program = StartProgram(folder + L"\\Prismel.exe", folder);
    ASSERT_TRUE(program);
    EXPECT_FALSE(WaitForMessageBox(program->Id(), 1000)) << "the font was not found in the program's folder";
}

// The demo's command file starts the program beside the simulator, which journals to the demo folder.
BOOL CALLBACK KeepIfMainWindow(HWND window, LPARAM found) {
    *reinterpret_cast<HWND*>(found) = GetPropW(window, kMainWindowProperty) ? window : nullptr;
    return *reinterpret_cast<HWND*>(found) == nullptr;
}
TEST(UnpackedPackages, TheDemoCommandStartsTheProgramAgainstTheSimulatorBesideIt) {
    std::wstring demo = WindowsPath(L"" PRISMEL_DEMO_FOLDER) + L"\\Zorva Prismel\\demo";
    DeleteFileW((demo + L"\\smbus-sim.journal").c_str());
    ASSERT_EQ(RunToEnd(L"C:\\windows\\system32\\cmd.exe", L"/c \"\"" + demo + L"\\Prismel-demo.cmd\"\""), 0u);
    EXPECT_TRUE(
        WaitFor([&] { return ReadJournalText(demo + L"\\smbus-sim.journal").find("CheckSPD") != std::string::npos; }));
    HWND main = nullptr; // the demo's copy, the only one running: end it and wait, for the tests after this one
    WaitFor([&] { return !EnumWindows(KeepIfMainWindow, reinterpret_cast<LPARAM>(&main)); });
    DWORD id = 0;
    GetWindowThreadProcessId(main, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    PostMessageW(main, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    CloseHandle(process);
}

} // namespace
