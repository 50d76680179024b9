// A broken SMBus library for tests: it exports only some of the ten entry points (chosen at build time), so the
// program's handling of missing entry points can be exercised. Every call it does get is journalled to the file
// named by PRISMEL_PARTIAL_JOURNAL.
#include <windows.h>

namespace {

void Note(const char* text) {
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("PRISMEL_PARTIAL_JOURNAL", path, MAX_PATH)) {
        return;
    }
    HANDLE file =
        CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, text, lstrlenA(text), &written, nullptr);
        WriteFile(file, "\n", 1, &written, nullptr);
        CloseHandle(file);
    }
}

} // namespace

extern "C" {
#ifdef PARTIAL_HAS_INITIALIZE
__declspec(dllexport) DWORD __stdcall InitializeSMB(DWORD) {
    Note("InitializeSMB");
    return 1;
}
#endif
__declspec(dllexport) DWORD __stdcall ShutdownSMB() {
    Note("ShutdownSMB");
    return 0;
}
}
