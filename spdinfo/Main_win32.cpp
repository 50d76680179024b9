// spdinfo.exe: arguments arrive as UTF-16 and are passed on as UTF-8; --bus reads the modules through MsIo32.dll
// beside the program, probing the bus exactly as Prismel does and holding the shared bus mutex as it does.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <optional>

#include "base/SettingsStore_win32.h"
#include "base/Utf8.h"
#include "framework/ProgramFolder.h"
#include "memory/ModuleDetection.h"
#include "memory/SmbusLibrary_win32.h"
#include "spdinfo/SpdInfo.h"

namespace {

// UTF-8 on the console while spdinfo runs; the console's own code page again afterwards.
class ConsoleUtf8Scope {
public:
    ConsoleUtf8Scope() : m_previous(GetConsoleOutputCP()) { SetConsoleOutputCP(CP_UTF8); }
    ~ConsoleUtf8Scope() {
        if (m_previous != 0) {
            SetConsoleOutputCP(m_previous);
        }
    }
    ConsoleUtf8Scope(const ConsoleUtf8Scope&) = delete;
    ConsoleUtf8Scope& operator=(const ConsoleUtf8Scope&) = delete;

private:
    UINT m_previous;
};

// Probes the bus as the program does, holding the shared SMBus mutex (Global\Access_SMBUS.HTP.Method, the
// convention Windows hardware tools keep to) around the library's start, each probe and each module read, waiting
// at most as long as the program does at start; "SharedSmbusAccess" = 0 turns it off here too.
SpdBusRead ReadBus() {
    SpdBusRead result;
    const std::wstring folder = ProgramFolder();
    CSmbusLibrary library;
    CRegistrySettings registry;
    library.ShareBusAsStored(registry);
    switch (library.Load(folder)) {
    case CSmbusLibrary::BindResult::LoadFailed:
        result.error = "cannot load MsIo32.dll from " + ToUtf8(std::u16string(folder.begin(), folder.end()));
        return result;
    case CSmbusLibrary::BindResult::InitFailed:
        result.error = "MsIo32.dll did not initialise the SMBus";
        return result;
    case CSmbusLibrary::BindResult::Ready:
        break;
    }
    std::optional<CBusMutex::Hold> hold;
    SpdBusGate gate(
        [&](unsigned long waitMs) {
            hold.emplace(library.Bus().Take(waitMs));
            return static_cast<bool>(*hold);
        },
        [&] { hold.reset(); });
    const SpdByteReader read = gate.Watching([&library](std::uint8_t first, std::uint8_t second, std::uint16_t offset) {
        return library.ReadSpd(first, second, offset);
    });
    SpdImageStoreArray store{};
    const int count = DetectModules(read, store, &gate);
    for (int n = 0; n < count; ++n) {
        result.modules.push_back({"DIMM" + std::to_string(n), true, store[static_cast<std::size_t>(n)]});
    }
    for (const SpdBusGate::PassedOver& passed : gate.Passed()) {
        result.passedOver.push_back(SpdBusPassedOverText(passed));
    }
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view arg(argv[i]);
        args.push_back(ToUtf8(std::u16string(arg.begin(), arg.end())));
    }
    SpdInfoHost host;
    host.pathOf = [](const std::string& arg) { return std::filesystem::path(std::u8string(arg.begin(), arg.end())); };
    host.readBus = ReadBus;
    host.readStdin = [] {
        // The image's bytes as they are: no CR-LF translation, no end at a 0x1A byte.
        _setmode(_fileno(stdin), _O_BINARY);
        return ReadSpdStream(std::cin);
    };
    ConsoleUtf8Scope console;
    return RunSpdInfo(args, host, std::cout, std::cerr);
}
