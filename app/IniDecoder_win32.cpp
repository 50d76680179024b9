#include "app/IniDecoder_win32.h"

#include <vector>

CIniDecoderLibrary::CIniDecoderLibrary() : CIniDecoderLibrary(ProgramDirectory()) {}

CIniDecoderLibrary::CIniDecoderLibrary(const std::wstring& directory) {
    if (directory.empty()) {
        return; // a bare "inicd.dll" would be looked for along the search path
    }
    m_library = LoadLibraryW((directory + L"inicd.dll").c_str());
    if (m_library != nullptr) {
        m_disCode = reinterpret_cast<DisCodeFunction>(reinterpret_cast<void*>(GetProcAddress(m_library, "DisCode")));
    }
}

CIniDecoderLibrary::~CIniDecoderLibrary() {
    if (m_library != nullptr) {
        FreeLibrary(m_library);
    }
}

void CIniDecoderLibrary::Decode(char16_t* text, std::int32_t length) {
    if (m_disCode != nullptr) {
        m_disCode(reinterpret_cast<wchar_t*>(text), length);
    }
}

std::wstring CIniDecoderLibrary::ProgramDirectory() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            const std::wstring full(path.data(), length);
            const std::size_t slash = full.find_last_of(L'\\');
            return slash == std::wstring::npos ? std::wstring() : full.substr(0, slash + 1);
        }
        if (path.size() >= 32768) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}
