// The Windows packages as a user meets them: the installer and uninstaller run silently (once, twice, after
// files were deleted by hand, over an older version), the installed program started from Program Files, and the
// portable and demo folders started from folders whose names have Chinese characters and spaces.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/TessaroHDApp_win32.h"
#include "res/resource.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zorva Prismel";

std::wstring FromBuild(const char* utf8) { // a build-tree path handed over by CMake, UTF-8 with '/'
    std::wstring path(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0) - 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, path.data(), static_cast<int>(path.size()) + 1);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}
const std::wstring kVersion = FromBuild(PRISMEL_VERSION);

std::wstring KnownFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}
const std::wstring kInstallFolder = KnownFolder(CSIDL_PROGRAM_FILES) + L"\\Zorva Prismel";
const std::wstring kShortcut = KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Zorva Prismel.lnk";

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool TaskExists() { // the task's file, seen past the 32-bit file system view
    PVOID redirection = nullptr;
    Wow64DisableWow64FsRedirection(&redirection);
    bool found = Exists(KnownFolder(CSIDL_WINDOWS) + L"\\System32\\Tasks\\Zorva Prismel");
    Wow64RevertWow64FsRedirection(redirection);
    return found;
}

std::wstring RegText(const wchar_t* key, const wchar_t* name) {
    wchar_t value[512] = {};
    DWORD size = sizeof(value);
    RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}
DWORD RegNumber(const wchar_t* key, const wchar_t* name) {
    DWORD value = 0, size = sizeof(value);
    RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}
bool KeyExists(const wchar_t* key) {
    HKEY handle = nullptr;
    bool found = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return found;
}
int EntriesNamed(const std::wstring& displayName) { // under "Add or remove programs"
    const std::wstring root = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, root.c_str(), 0, KEY_READ, &key);
    int count = 0;
    wchar_t name[256];
    for (DWORD i = 0, length = 256; RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == 0;
         ++i, length = 256) {
        count += RegText((root + L"\\" + name).c_str(), L"DisplayName") == displayName;
    }
    RegCloseKey(key);
    return count;
}

// A text of a program's version resource (US English, Unicode).
std::wstring VersionText(const std::wstring& program, const wchar_t* name) {
    std::vector<char> data(GetFileVersionInfoSizeW(program.c_str(), nullptr));
    wchar_t* text = nullptr;
    UINT length = 0;
    if (data.empty() || !GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueW(data.data(), (std::wstring(L"\\StringFileInfo\\040904B0\\") + name).c_str(),
                        reinterpret_cast<void**>(&text), &length)) {
        return {};
    }
    return text;
}

DWORD RunToEnd(const std::wstring& program, const std::wstring& arguments) {
    auto process = Process::Start({program, arguments, ProgramFolder(), {}});
    auto code = process ? process->WaitForExit(120000) : std::nullopt;
    return code.value_or(0xDEAD);
}

// A config for the SMBus stand-in that keeps its journal in the test's own folder.
std::vector<std::pair<std::wstring, std::wstring>> StandInConfig(const std::wstring& folder) {
    WriteTextFile(folder + L"\\smbus-sim.conf", "journal = smbus-sim.journal\n");
    return {{L"PRISMEL_SMBUS_CONFIG", folder + L"\\smbus-sim.conf"}};
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = ScratchFolderForCurrentTest(L"package-");
        if (Exists(kInstallFolder + L"\\Uninstall.exe")) {
            Uninstall(kInstallFolder + L"\\Uninstall.exe", L"");
        }
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
        WIN32_FIND_DATAW found; // whatever an earlier run left
        HANDLE search = FindFirstFileW((kInstallFolder + L"\\*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
            DeleteFileW((kInstallFolder + L"\\" + found.cFileName).c_str());
        }
        FindClose(search);
        RemoveDirectoryW(kInstallFolder.c_str());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey); }

    // Runs the silent installer; with the stand-in library beside it when asked, as a user would place the real one.
    void Install(const std::wstring& setup, bool libraryBeside, const std::wstring& options = L"") {
        std::wstring copy = scratch_ + L"\\setup.exe";
        ASSERT_TRUE(CopyFileTo(setup, copy));
        DeleteFileW((scratch_ + L"\\MsIo32.dll").c_str());
        ASSERT_TRUE(!libraryBeside || CopyFileTo(ProgramFolder() + L"\\MsIo32.dll", scratch_ + L"\\MsIo32.dll"));
        ASSERT_EQ(RunToEnd(copy, L"/S " + options), 0u);
    }
    // Runs a copy of the uninstaller for the installed folder, as "Add or remove programs" does (a running
    // uninstaller cannot delete itself), and waits for it.
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
    EXPECT_EQ(VersionText(kInstallFolder + L"\\Prismel.exe", L"ProductVersion"), kVersion);
    EXPECT_EQ(VersionText(kInstallFolder + L"\\Prismel.exe", L"CompanyName"), L"Zorva");

    // The installed program starts from a path with spaces, with the stand-in the installer copied in.
    ASSERT_NE(kInstallFolder.find(L"Program Files"), std::wstring::npos);
    auto program = Process::Start({kInstallFolder + L"\\Prismel.exe", L"", ProgramFolder(), StandInConfig(scratch_)});
    ASSERT_TRUE(program);
    ASSERT_TRUE(WaitForWindow(program->Id(), L"#32770", IsMainWindow, 20000));
    ASSERT_TRUE(WriteTextFile(kInstallFolder + L"\\notes.txt", "the user's own file"));

    // The uninstaller asks the running copy to quit, removes what was installed and keeps the rest.
    EXPECT_EQ(Uninstall(kInstallFolder + L"\\Uninstall.exe", L""), 0u);
    EXPECT_EQ(program->WaitForExit(5000), std::optional<DWORD>(0)) << "not quit through its tray command";
    for (auto file : {L"Prismel.exe", L"DS-DIGI.ttf", L"README.txt", L"MsIo32.dll", L"Uninstall.exe"}) {
        EXPECT_FALSE(Exists(kInstallFolder + L"\\" + file)) << file;
    }
    EXPECT_TRUE(Exists(kInstallFolder + L"\\notes.txt"));
    EXPECT_FALSE(Exists(kShortcut));
    EXPECT_FALSE(TaskExists());
    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_TRUE(KeyExists(kSettingsKey)) << "the program's settings went with the program";
    DeleteFileW((kInstallFolder + L"\\notes.txt").c_str());
    RemoveDirectoryW(kInstallFolder.c_str());
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
    EXPECT_EQ(EntriesNamed(L"Zorva Prismel"), 1);
    EXPECT_EQ(RegText(kUninstallKey, L"DisplayVersion"), kVersion);
    EXPECT_TRUE(Exists(kInstallFolder + L"\\MsIo32.dll")) << "the library copied in by the first installation";
    EXPECT_FALSE(TaskExists()) << "installed again without starting with Windows";
    EXPECT_EQ(Uninstall(kInstallFolder + L"\\Uninstall.exe", L""), 0u);
    EXPECT_FALSE(Exists(kInstallFolder));
}

// The main window of the program at a path, found by the property the program marks it with.
struct MainWindowSearch {
    std::wstring program;
    HWND found = nullptr;
};
BOOL CALLBACK KeepIfMainWindowOf(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<MainWindowSearch*>(search);
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    bool match = process && QueryFullProcessImageNameW(process, 0, path, &size) &&
                 GetPropW(window, kMainWindowProperty) && _wcsicmp(path, s->program.c_str()) == 0;
    CloseHandle(process);
    s->found = match ? window : nullptr;
    return !match;
}
HWND FindMainWindowOf(const std::wstring& program) {
    MainWindowSearch search{program};
    WaitFor([&] { return !EnumWindows(KeepIfMainWindowOf, reinterpret_cast<LPARAM>(&search)) && search.found; }, 20000);
    return search.found;
}

TEST(UnpackedPackages, ThePortableFolderRunsFromAFolderNamedInChineseWithSpaces) {
    std::wstring folder = FromBuild(PRISMEL_PORTABLE_FOLDER) + L"\\Zorva Prismel";
    ASSERT_TRUE(CopyFileTo(ProgramFolder() + L"\\MsIo32.dll", folder + L"\\MsIo32.dll")); // this test's stand-in
    auto program = Process::Start({folder + L"\\Prismel.exe", L"", ProgramFolder(), StandInConfig(folder)});
    ASSERT_TRUE(program);
    HWND main = WaitForWindow(program->Id(), L"#32770", IsMainWindow, 20000);
    ASSERT_TRUE(main);
    EXPECT_FALSE(WaitForMessageBox(program->Id(), 1000)) << "the font was not found in the program's folder";
    PostMessageW(main, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_EQ(program->WaitForExit(10000), std::optional<DWORD>(0));
}

TEST(UnpackedPackages, TheDemoCommandStartsTheProgramAgainstTheSimulatorBesideIt) {
    std::wstring demo = FromBuild(PRISMEL_DEMO_FOLDER) + L"\\Zorva Prismel\\demo";
    DeleteFileW((demo + L"\\smbus-sim.journal").c_str());
    ASSERT_EQ(RunToEnd(L"C:\\windows\\system32\\cmd.exe", L"/c \"\"" + demo + L"\\Prismel-demo.cmd\"\""), 0u);
    HWND main = FindMainWindowOf(demo + L"\\Prismel.exe");
    ASSERT_TRUE(main);
    DWORD id = 0;
    GetWindowThreadProcessId(main, &id);
    EXPECT_TRUE(WaitFor([&] {
        return ReadTextFile(demo + L"\\smbus-sim.journal").find("InitializeSMB") != std::string::npos;
    })) << "the program did not load the simulator in its folder";
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    PostMessageW(main, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    CloseHandle(process);
}

} // namespace
