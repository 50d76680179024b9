#include "tools/support/Files.h"

#include <windows.h>

#include "framework/Gdi.h"

namespace support {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool WriteAll(const std::wstring& path, const std::string& text, DWORD access, DWORD disposition) {
    fw::UniqueHandle file(
        CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

} // namespace

std::wstring MakeScratchFolder(const std::wstring& name) {
    std::wstring root = ProgramFolder() + L"\\scratch";
    CreateDirectoryW(root.c_str(), nullptr);
    std::wstring folder = root + L"\\" + name;
    // Empty it from an earlier run.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::string ReadTextFile(const std::wstring& path) {
    fw::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return {};
    }
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got);
    }
    return text;
}

bool WriteTextFile(const std::wstring& path, const std::string& text) {
    return WriteAll(path, text, GENERIC_WRITE, CREATE_ALWAYS);
}

bool AppendTextFile(const std::wstring& path, const std::string& text) {
    return WriteAll(path, text, FILE_APPEND_DATA, OPEN_ALWAYS);
}

bool CopyFileTo(const std::wstring& from, const std::wstring& to) {
    if (CopyFileW(from.c_str(), to.c_str(), FALSE)) {
        return true;
    }
    // CopyFileW refuses some long paths that CreateFileW takes.
    if (GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    return WriteTextFile(to, ReadTextFile(from));
}

} // namespace support
