#include "app/IniDecoder_win32.h"

#include "framework/ProgramFolder.h"

CIniDecoderLibrary::CIniDecoderLibrary() : CIniDecoderLibrary(ProgramDirectory()) {}

CIniDecoderLibrary::CIniDecoderLibrary(const std::wstring& directory) {
    if (directory.empty()) {
        return; // a bare "inicd.dll" would be looked for along the search path
    }
    m_library.Reset(LoadLibraryW((directory + L"inicd.dll").c_str()));
    if (m_library) {
        m_disCode =
            reinterpret_cast<DisCodeFunction>(reinterpret_cast<void*>(GetProcAddress(m_library.Get(), "DisCode")));
    }
}

CIniDecoderLibrary::~CIniDecoderLibrary() = default;

void CIniDecoderLibrary::Decode(char16_t* text, std::int32_t length) {
    if (m_disCode != nullptr) {
        m_disCode(reinterpret_cast<wchar_t*>(text), length);
    }
}

std::wstring CIniDecoderLibrary::ProgramDirectory() {
    const std::wstring folder = ProgramFolder();
    return folder.empty() ? folder : folder + L"\\";
}
