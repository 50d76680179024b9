// Start-up pieces that need Win32: the settings key in the registry, the language object, the fonts and the
// binding of the SMBus library.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "base/Fonts_win32.h"
#include "base/Language.h"
#include "base/MultiLangSupp_win32.h"
#include "base/SettingsStore_win32.h"
#include "app/TessaroHDApp_win32.h"
#include "framework/ProgramFolder.h"
#include "memory/SmbusLibrary_win32.h"
#include "tools/support/Files.h"
#include "tools/support/Registry.h"
#include "tools/support/StandIn.h"

namespace {

std::wstring BinFolder() {
    return ProgramFolder();
}

// A clean settings key for each test, removed again at the end.
class SettingsKeyTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey); }

    static void Put(LPCWSTR name, DWORD type, const void* data, DWORD size) {
        ASSERT_TRUE(support::PutRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, name, type, data, size));
    }
    static void PutDword(LPCWSTR name, DWORD value) { Put(name, REG_DWORD, &value, sizeof value); }
    static std::set<std::wstring> ValueNames() {
        const std::vector<std::wstring> names = support::RegistryValueNames(HKEY_LOCAL_MACHINE, kSettingsKey);
        return {names.begin(), names.end()};
    }
    static DWORD TypeOf(LPCWSTR name) {
        HKEY key = nullptr;
        DWORD type = 0;
        if (RegOpenKeyW(HKEY_LOCAL_MACHINE, kSettingsKey, &key) == ERROR_SUCCESS) {
            RegQueryValueExW(key, name, nullptr, &type, nullptr, nullptr);
            RegCloseKey(key);
        }
        return type;
    }
};

TEST_F(SettingsKeyTest, FirstStartCreatesTheKeyWithTheSixDefaults) {
    CTessaroHDApp app;
    EXPECT_TRUE(app.RestoreSettingsFlag());
    EXPECT_EQ(ValueNames(), (std::set<std::wstring>{L"IphonePassWord", L"SamplingPeriod", L"FansSet", L"FansHighSet",
                                                    L"TempSet", L"TemplowSet"}));
    EXPECT_EQ(TypeOf(L"SamplingPeriod"), static_cast<DWORD>(REG_DWORD));
    DWORD value = 0, size = sizeof value;
    ASSERT_TRUE(ReadSetting(L"FansSet", reinterpret_cast<BYTE*>(&value), &size, HKEY_LOCAL_MACHINE));
    EXPECT_EQ(value, 1u);
    EXPECT_FALSE(ReadSetting(L"RestoreUserSettings", reinterpret_cast<BYTE*>(&value), &size, HKEY_LOCAL_MACHINE));
}

TEST_F(SettingsKeyTest, StoredValuesFollowTheLoadingRules) {
    PutDword(L"RestoreUserSettings", 0);
    PutDword(L"SamplingPeriod", 0);
    PutDword(L"HighSet2", 5);
    Put(L"TempSet", REG_SZ, L"A", 4); // one character and its terminator
    const BYTE eight[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    Put(L"FansHighSet", REG_BINARY, eight, sizeof eight); // longer than 4 bytes: as if missing
    CTessaroHDApp app;
    EXPECT_FALSE(app.RestoreSettingsFlag());
    EXPECT_EQ(app.Settings().SamplingPeriod, 0u);
    EXPECT_EQ(app.Settings().HighSet2, 1u);
    EXPECT_EQ(app.Settings().TempSet, 0x41u);
    EXPECT_EQ(app.Settings().FansHighSet, 1u);
    EXPECT_EQ(TypeOf(L"FansHighSet"), static_cast<DWORD>(REG_DWORD)) << "overwritten with its default";
    DWORD value = 7, size = sizeof value;
    ASSERT_TRUE(ReadSetting(L"SamplingPeriod", reinterpret_cast<BYTE*>(&value), &size, HKEY_LOCAL_MACHINE));
    EXPECT_EQ(value, 0u) << "not rewritten";
}

TEST_F(SettingsKeyTest, AnyNonzeroRestoreValueIsTrue) {
    PutDword(L"RestoreUserSettings", 2);
    CTessaroHDApp app;
    EXPECT_TRUE(app.RestoreSettingsFlag());
}

// A start keeps the key open for its run of reads; another program may change the values or delete the key meanwhile.
TEST_F(SettingsKeyTest, AKeyKeptOpenSeesOtherProgramsChangesAndOutlivesADeletion) {
    CRegistrySettings settings;
    settings.KeepOpen();
    const auto read = [&settings]() -> std::optional<std::uint8_t> {
        std::uint8_t data[4] = {};
        std::uint32_t size = sizeof data;
        return settings.ReadValue(u"TempSet", data, size) ? std::optional<std::uint8_t>(data[0]) : std::nullopt;
    };
    EXPECT_EQ(read(), std::nullopt) << "no key yet";
    ASSERT_TRUE(settings.WriteDword(u"TempSet", 7)) << "the write makes the key";
    PutDword(L"TempSet", 8);
    EXPECT_EQ(read(), 8) << "another program's value";
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
    PutDword(L"TempSet", 9);
    EXPECT_EQ(read(), 9) << "the key deleted and made again under the kept one";
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
    EXPECT_EQ(read(), std::nullopt) << "the key deleted";
    ASSERT_TRUE(settings.WriteDword(u"TempSet", 10)) << "the write makes it again";
    settings.EndKeepOpen();
    EXPECT_EQ(read(), 10) << "read afresh";
}

TEST(LanguageObject, PicksTheLanguageOfEachSystemLanguage) {
    struct Case {
        LANGID id;
        const wchar_t* quit;
    } cases[] = {{0x0804, L"退出"}, {0x0404, L"退出"}, {0x0409, L"Quit"}, {0x0407, L"Quit"}};
    for (auto c : cases) {
        CMultiLangSupp lang(c.id);
        EXPECT_STREQ(lang.GetString(kMsgQuit), c.quit) << std::hex << c.id;
    }
    CMultiLangSupp traditional(0x1004);
    EXPECT_STREQ(traditional.GetString(kMsgReset), L"恢復默認");
    CMultiLangSupp simplified(0x0804);
    EXPECT_STREQ(simplified.GetString(kMsgReset), L"重置");
    EXPECT_EQ(simplified.GetString(kMessageCount), nullptr);
    EXPECT_EQ(simplified.GetString(-1), nullptr);
    EXPECT_NE(simplified.GetString(kMessageCount - 1), nullptr);
}

// Run once per language by CTest, with LC_ALL giving the system language and PRISMEL_EXPECT_LANGUAGE the index.
TEST(LanguageFromSystem, FollowsTheSystemDefaultLanguage) {
    char expected[8] = {};
    if (!GetEnvironmentVariableA("PRISMEL_EXPECT_LANGUAGE", expected, 8)) {
        GTEST_SKIP() << "run by CTest with a language";
    }
    CMultiLangSupp lang;
    EXPECT_EQ(lang.Language(), expected[0] - '0') << "system language " << std::hex << GetSystemDefaultLangID();
}

class FontTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFontRegistrationState();
        wchar_t previous[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, previous);
        m_previous = previous;
    }
    void TearDown() override { SetCurrentDirectoryW(m_previous.c_str()); }
    std::wstring m_previous;
};

TEST_F(FontTest, AMissingFontFileLeavesEverySlotEmpty) {
    // Arial is installed; DS-Digital is not, and its file is not in the current directory.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    ASSERT_TRUE(SetCurrentDirectoryW(temp));
    DeleteFileW(L"DS-DIGI.ttf");
    FontSlots slots;
    EXPECT_FALSE(RegisterAndCreateFonts(slots));
    for (const auto& slot : slots) {
        EXPECT_EQ(slot.Get(), nullptr);
    }
}

TEST_F(FontTest, RegistersTheDigitalFaceAndCreatesTheEightFonts) {
    ASSERT_TRUE(SetCurrentDirectoryW(BinFolder().c_str()));
    FontSlots slots;
    ASSERT_TRUE(RegisterAndCreateFonts(slots));
    struct Expected {
        const wchar_t* face;
        LONG height, weight, escapement, orientation;
    } expected[8] = {{L"Arial", 16, 0, 0, 0},           {L"DS-Digital", 24, 0, 0, 0},  {L"DS-Digital", 18, 0, 0, 0},
                     {L"DS-Digital", 18, 0, -100, 900}, {L"Arial", 12, 700, 100, 900}, {L"Arial", 12, 0, -90, 900},
                     {L"Arial", 12, 0, 60, 900},        {L"Arial", 14, 0, 0, 0}};
    for (int i = 0; i < 8; ++i) {
        ASSERT_NE(slots[static_cast<std::size_t>(i)].Get(), nullptr) << i;
        LOGFONTW font{};
        GetObjectW(slots[static_cast<std::size_t>(i)].Get(), sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, expected[i].face) << i;
        EXPECT_EQ(font.lfHeight, expected[i].height) << i;
        EXPECT_EQ(font.lfWeight, expected[i].weight) << i;
        EXPECT_EQ(font.lfEscapement, expected[i].escapement) << i;
        EXPECT_EQ(font.lfOrientation, expected[i].orientation) << i;
        EXPECT_EQ(font.lfQuality, 2) << i;
    }
    EXPECT_EQ(slots[8].Get(), nullptr);
    EXPECT_EQ(slots[9].Get(), nullptr);

    // The face now resolves to our seven-segment font, not a substitute.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, slots[1].Get());
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_STREQ(face, L"DS-Digital");

    // Found once, the face is not registered again: a second call works without the file.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    ASSERT_TRUE(SetCurrentDirectoryW(temp));
    FontSlots again;
    EXPECT_TRUE(RegisterAndCreateFonts(again));
}

// A folder holding a copy of a library as MsIo32.dll (or nothing), and a stand-in configuration.
class SmbusFolder {
public:
    explicit SmbusFolder(const wchar_t* library, const std::string& config = "")
        : m_folder(FolderOfThisProcess()), m_standIn(m_folder, L"sim.conf", L"journal.txt") {
        CreateDirectoryW(m_folder.c_str(), nullptr);
        // An earlier process with the same id may have left its files here.
        for (const wchar_t* name : {L"MsIo32.dll", L"sim.conf", L"journal.txt", L"partial.txt"}) {
            DeleteFileW((m_folder + L"\\" + name).c_str());
        }
        if (library) {
            CopyFileW((BinFolder() + L"\\" + library).c_str(), (m_folder + L"\\MsIo32.dll").c_str(), FALSE);
        }
        m_standIn.WriteConfig(config);
        const auto [name, value] = m_standIn.Variable();
        SetEnvironmentVariableW(name.c_str(), value.c_str());
        SetEnvironmentVariableW(L"PRISMEL_PARTIAL_JOURNAL", PartialJournalPath().c_str());
    }
    const std::wstring& Path() const { return m_folder; }
    // The stand-in's journal.
    std::string Journal() const { return m_standIn.JournalText(); }
    // What the partial libraries write instead.
    std::string PartialJournal() const { return support::ReadTextFile(PartialJournalPath()); }

private:
    static std::wstring FolderOfThisProcess() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"prismel-smbus-" + std::to_wstring(GetCurrentProcessId());
    }
    std::wstring PartialJournalPath() const { return m_folder + L"\\partial.txt"; }

    std::wstring m_folder;
    support::StandInFiles m_standIn;
};

TEST(ProgramFolderPath, ALongPathIsReadWhole) {
    // GetModuleFileNameW's contract: at most size characters, the return value equal to size when cut.
    std::wstring longPath = L"C:\\" + std::wstring(300, L'd') + L"\\Prismel.exe";
    int calls = 0;
    auto fake = [&](wchar_t* buffer, DWORD size) -> DWORD {
        ++calls;
        DWORD n = static_cast<DWORD>(std::min<std::size_t>(size, longPath.size()));
        std::copy(longPath.begin(), longPath.begin() + n, buffer);
        if (n < size) {
            buffer[n] = 0;
        }
        return n;
    };
    EXPECT_EQ(FolderOfModulePath(fake), L"C:\\" + std::wstring(300, L'd'));
    EXPECT_GT(calls, 1);
    EXPECT_EQ(FolderOfModulePath([](wchar_t*, DWORD) -> DWORD { return 0; }), L"");
    EXPECT_EQ(FolderOfModulePath([](wchar_t* b, DWORD) -> DWORD {
                  b[0] = L'x';
                  return 1;
              }),
              L"")
        << "no folder in the path";
}

TEST(SmbusBinding, ALibraryThatIsNotThereFailsToLoad) {
    SmbusFolder folder(nullptr);
    CSmbusLibrary library;
    EXPECT_EQ(library.Load(folder.Path()), CSmbusLibrary::BindResult::LoadFailed);
    EXPECT_EQ(library.Load(L""), CSmbusLibrary::BindResult::LoadFailed);
}

TEST(SmbusBinding, LoadsOnlyFromTheGivenFolder) {
    // A library of that name elsewhere on the search path (the current directory here) is not taken instead.
    SmbusFolder folder(nullptr);
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(BinFolder().c_str());
    CSmbusLibrary library;
    EXPECT_EQ(library.Load(folder.Path()), CSmbusLibrary::BindResult::LoadFailed);
    SetCurrentDirectoryW(previous);
}

TEST(SmbusBinding, InitialisesWithItsOwnHandleAndReportsAFailedStart) {
    SmbusFolder folder(L"MsIo32.dll", "initialize = fail\n");
    CSmbusLibrary library;
    EXPECT_EQ(library.Load(folder.Path()), CSmbusLibrary::BindResult::InitFailed);
    ASSERT_TRUE(library.Loaded());
    char handle[16];
    wsprintfA(handle, "0x%08X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(library.Module())));
    std::string journal = folder.Journal();
    EXPECT_NE(journal.find(std::string("InitializeSMB(") + handle + ")"), std::string::npos) << journal;
    EXPECT_EQ(journal.find("CheckSPD"), std::string::npos) << "nothing after a failed start";
}

class SmbusFlagsTest : public ::testing::TestWithParam<int> {};

TEST_P(SmbusFlagsTest, FlagsFollowCheckSpd) {
    int answer = GetParam();
    SmbusFolder folder(L"MsIo32.dll", "checkspd = " + std::to_string(answer) + "\n");
    CSmbusLibrary library;
    ASSERT_EQ(library.Load(folder.Path()), CSmbusLibrary::BindResult::Ready);
    SmbusFlags flags = library.ReadFlags();
    EXPECT_EQ(flags.useRgbI2cMode, (answer & 2) != 0);
    EXPECT_EQ(flags.useSetZorvaEffect, (answer & 4) != 0);
    for (int entry = 0; entry < kSmbusEntryCount; ++entry) {
        EXPECT_TRUE(library.Has(static_cast<SmbusEntry>(entry))) << kSmbusEntryNames[static_cast<std::size_t>(entry)];
    }
    std::string journal = folder.Journal();
    EXPECT_LT(journal.find("InitializeSMB"), journal.find("CheckSPD"));
    EXPECT_EQ(journal.find("UNEXPECTED"), std::string::npos) << "the five uncalled entry points stay uncalled";
}

INSTANTIATE_TEST_SUITE_P(EveryAnswer, SmbusFlagsTest, ::testing::Range(0, 8));

TEST(SmbusBinding, MissingEntryPointsAreNeverCalled) {
    SmbusFolder folder(L"smbus_partial_init.dll");
    CSmbusLibrary library;
    ASSERT_EQ(library.Load(folder.Path()), CSmbusLibrary::BindResult::Ready);
    EXPECT_FALSE(library.Has(kCheckSPD));
    SmbusFlags flags = library.ReadFlags();
    EXPECT_FALSE(flags.useRgbI2cMode);
    EXPECT_FALSE(flags.useSetZorvaEffect);
    EXPECT_EQ(library.ReadSpd(0, 0, 0), 0xFF) << "no ReadSPD: nothing answers";
    library.RgbI2cMode(0x12, 0, 0, 0);
    library.SetZorvaEffect(1, 100, 0, 0xFF000000);
    EXPECT_EQ(folder.PartialJournal(), "InitializeSMB\n");
}

TEST(SmbusBinding, ALibraryWithoutInitializeCannotStart) {
    SmbusFolder folder(L"smbus_partial_none.dll");
    CSmbusLibrary library;
    EXPECT_EQ(library.Load(folder.Path()), CSmbusLibrary::BindResult::InitFailed);
    EXPECT_EQ(folder.PartialJournal(), "");
}

} // namespace
