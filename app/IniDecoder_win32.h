// The optional text decoder "inicd.dll" with its entry point "DisCode", for CIni::Load with decoding asked for.
#pragma once

#include "app/Ini.h"

#include <windows.h>

#include <string>

#include "framework/Gdi.h"

class CIniDecoderLibrary final : public IIniDecoder {
public:
    // Loads "inicd.dll" from the program's own directory, and never through the search path: the program runs
    // elevated, and a library of that name planted in the current directory or on the path must not be run.
    CIniDecoderLibrary();
    // Loads "inicd.dll" from directory (which ends in a backslash) only.
    explicit CIniDecoderLibrary(const std::wstring& directory);
    CIniDecoderLibrary(const CIniDecoderLibrary&) = delete;
    CIniDecoderLibrary& operator=(const CIniDecoderLibrary&) = delete;
    ~CIniDecoderLibrary() override;

    bool Loaded() const { return static_cast<bool>(m_library); }
    bool HasDecoder() const { return m_disCode != nullptr; }

    // Calls DisCode on the text when the library provides it; otherwise leaves the text as it is.
    void Decode(char16_t* text, std::int32_t length) override;

    // The program's directory with a trailing backslash, or empty when the module path cannot be read whole.
    static std::wstring ProgramDirectory();

private:
    using DisCodeFunction = int(__cdecl*)(wchar_t* text, int length);

    fw::UniqueModule m_library;
    DisCodeFunction m_disCode = nullptr;
};
