// The INI reader's Win32 side: wide file names, the file held open until Close, and where "inicd.dll" is loaded from.
#include "app/IniDecoder_win32.h"
#include "app/IniFiles_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tools/support/Files.h"

// The test program doubles as a decoder library: a copy of it named inicd.dll exports this. It runs without the
// C runtime being set up in that copy, so it only touches the text. Turns every "0" into "9".
extern "C" __declspec(dllexport) int DisCode(wchar_t* text, int length) {
    for (int i = 0; i < length; ++i) {
        text[i] = text[i] == L'0' ? L'9' : text[i];
    }
    return 0;
}

namespace {

// A fresh directory under the temporary folder, removed with what it holds when the test ends.
class TempDirectory {
public:
    TempDirectory() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        m_path = std::wstring(base) + L"prismel-ini-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    ~TempDirectory() {
        for (const wchar_t* name : {L"inicd.dll", L"Einstellungen-\u8bbe\u7f6e.txt"}) {
            DeleteFileW((m_path + name).c_str());
        }
        RemoveDirectoryW(m_path.c_str());
    }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

std::u16string ToU16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

void WriteUtf16(const std::wstring& path, const std::wstring& text) {
    ASSERT_TRUE(support::WriteTextFile(
        path, std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t))));
}

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

TEST(ini_win32, LoadsWideNamesAndHoldsTheFileUntilClose) {
    TempDirectory directory;
    const std::wstring path = directory.Path() + L"Einstellungen-\u8bbe\u7f6e.txt";
    WriteUtf16(path, L"\uFEFF[Gpu1]\r\nId=10DE\r\n");

    CWin32IniFiles files;
    CIni ini(files);
    ASSERT_TRUE(ini.Load(ToU16(path), false));
    char16_t id[16];
    ASSERT_TRUE(ini.ReadString(u"Gpu1", u"Id", id));
    EXPECT_EQ(std::u16string(id), u"10DE");
    EXPECT_FALSE(DeleteFileW(path.c_str())); // still open
    ini.Close();
    EXPECT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_FALSE(ini.Load(ToU16(path), false));
}

TEST(ini_win32, DecoderLoadsFromTheProgramDirectoryOnly) {
    const std::wstring program = ProgramPath();
    EXPECT_EQ(CIniDecoderLibrary::ProgramDirectory(), program.substr(0, program.find_last_of(L'\\') + 1));
    ASSERT_FALSE(CIniDecoderLibrary().Loaded()) << "an inicd.dll lies beside the test program";

    TempDirectory directory;
    const std::wstring planted = directory.Path() + L"inicd.dll";
    ASSERT_TRUE(CopyFileW(program.c_str(), planted.c_str(), FALSE));
    const HMODULE probe = LoadLibraryW(planted.c_str());
    if (probe == nullptr) {
        GTEST_SKIP() << "this loader cannot map the test program as a library";
    }
    FreeLibrary(probe);

    // In the current directory and on the path, where a bare name would find it, it is not loaded.
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(directory.Path().c_str());
    SetDllDirectoryW(directory.Path().c_str());
    EXPECT_FALSE(CIniDecoderLibrary().Loaded());
    SetDllDirectoryW(nullptr);
    SetCurrentDirectoryW(previous);

    // From the directory it is told, it is loaded and decodes before parsing.
    CIniDecoderLibrary decoder(directory.Path());
    ASSERT_TRUE(decoder.HasDecoder());
    const std::wstring settings = directory.Path() + L"Einstellungen-\u8bbe\u7f6e.txt";
    WriteUtf16(settings, L"[Gpu1]\r\nId=10DE\r\n");
    CWin32IniFiles files;
    CIni ini(files, &decoder);
    ASSERT_TRUE(ini.Load(ToU16(settings), true));
    char16_t id[16];
    ASSERT_TRUE(ini.ReadString(u"Gpu1", u"Id", id));
    EXPECT_EQ(std::u16string(id), u"19DE");
    ini.Close();
}

} // namespace
