#include "framework/ProgramFolder.h"

#include <vector>

std::wstring FolderOfModulePath(const std::function<DWORD(wchar_t*, DWORD)>& getModuleFileName) {
    // The whole path, however long: a path cut to a fixed buffer would name some other folder.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD got = getModuleFileName(path.data(), static_cast<DWORD>(path.size()));
        if (got == 0) {
            return {};
        }
        if (got < path.size()) {
            std::wstring full(path.data(), got);
            auto slash = full.find_last_of(L'\\');
            return slash == std::wstring::npos ? std::wstring() : full.substr(0, slash);
        }
        if (path.size() >= 32768) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramFolder() {
    return FolderOfModulePath([](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
}
