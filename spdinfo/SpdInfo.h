// spdinfo: decodes SPD images with the program's own decoder and prints the module table, as tab-separated text or
// as one JSON document. Portable: the command line, the files and the output; the SMBus is reached through the
// host (only the Windows build has one).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "memory/ModuleDetection.h"
#include "memory/SpdBytes.h"
#include "memory/SpdDdr5.h"
#include "memory/SpdDecode.h"
#include "memory/SpdImage.h"

struct SpdChecksums {
    bool base = false;   // bytes 0-125 against bytes 126-127 (stored low byte first)
    bool module = false; // bytes 128-253 against bytes 254-255
};
SpdChecksums CheckSpdChecksums(const SpdImage& image);

// A JSON string literal, quotes included, from UTF-8 text. Control characters become \u00XX and bytes that are
// not valid UTF-8 become U+FFFD, so the result is always valid JSON.
std::string JsonString(std::string_view utf8);
// The same, appended to out.
void AppendJsonString(std::string& out, std::string_view utf8);

// A 512-byte DDR4 or a 1024-byte DDR5 SPD image read from a file or a stream, or a one-line reason why it gives
// none: it cannot be read, it is not the size its memory type (byte 2) needs, or byte 2 names another type.
using SpdFileRead = std::variant<SpdImage, std::string, ddr5::Image>;
SpdFileRead ReadSpdFile(const std::filesystem::path& path);
SpdFileRead ReadSpdStream(std::istream& in);

// One image to print, with the name it is shown under (the file name as given, or "DIMM0" for a bus module).
struct NamedSpdImage {
    std::string name;
    bool fromBus = false;
    std::variant<SpdImage, ddr5::Image> image{};
};

// The modules found on the SMBus, or why none could be read, and a line for each module position passed over
// because the bus stayed busy.
struct SpdBusRead {
    SpdBusRead() = default;
    SpdBusRead(std::vector<NamedSpdImage> read, std::string why, std::vector<std::string> passed = {})
        : modules(std::move(read)), error(std::move(why)), passedOver(std::move(passed)) {}
    std::vector<NamedSpdImage> modules;
    std::string error;
    std::vector<std::string> passedOver;
};

// spdinfo --bus holds the shared SMBus around each probe and each module read of the program's detection, through
// two functions (the Windows build gives it CBusMutex with the program's own bounded wait).
// A module position: first index 0-1, second index 0-5.
struct SpdBusPosition {
    int first = 0, second = 0;
    bool operator==(const SpdBusPosition&) const = default;
};

// The gate DetectModules holds the bus with. It knows which position each hold is for: positions are probed in
// their order, and a probe that answers the DDR4 first byte is followed by that module's read, so a read of byte 0
// inside a probe's hold says a module's read comes next.
class SpdBusGate final : public BusGate {
public:
    // take waits for the bus and answers whether it got it within its bound; give lets the bus go.
    SpdBusGate(std::function<bool(unsigned long waitMs)> take, std::function<void()> give);

    bool Take(unsigned long waitMs) override;
    void Give() override;
    // The byte reader to detect with: it passes each read on and watches the probes' answers.
    SpdByteReader Watching(SpdByteReader read);

    // The positions passed over, in order, and whether each was a module found but not read.
    struct PassedOver {
        SpdBusPosition position;
        bool moduleFound = false;
    };
    const std::vector<PassedOver>& Passed() const { return m_passed; }

private:
    std::function<bool(unsigned long)> m_take;
    std::function<void()> m_give;
    int m_nextProbe = 0;                          // positions in probing order, 0-11
    std::optional<SpdBusPosition> m_moduleToRead; // a probe answered: that module's read is the next hold
    std::optional<SpdBusPosition> m_probing;      // the position of the probe being held
    std::vector<PassedOver> m_passed;
};

// One line for a position passed over: "module position (0, 3) passed over: the SMBus stayed busy".
std::string SpdBusPassedOverText(const SpdBusGate::PassedOver& passed);

// The modules of the kernel's driver folder, or why none were found, and each module found but not read.
struct SpdDriverRead {
    std::vector<NamedSpdImage> modules;
    std::string error;
    std::vector<std::string> unreadable; // "NAME: reason"
};

// The kernel's SPD drivers: ee1004 (DDR4, 512 bytes) and spd5118 (DDR5, 1024 bytes), each with one folder per
// module named after the bus and the address ("0-0050") holding an "eeprom" file.
inline constexpr const char* kSpdDriversFolder = "/sys/bus/i2c/drivers";
inline constexpr std::array<const char*, 2> kSpdDrivers = {"ee1004", "spd5118"};
SpdDriverRead ReadDriverModules(const std::filesystem::path& driversFolder);

struct SpdInfoHost {
    // Turns a command-line argument (UTF-8 on Windows, the file system's own bytes elsewhere) into a path.
    std::function<std::filesystem::path(const std::string&)> pathOf;
    // Probes the bus; empty when this build has no SMBus library.
    std::function<SpdBusRead()> readBus;
    // Reads the kernel drivers' modules; empty where there is no such driver (Windows).
    std::function<SpdDriverRead()> readSys;
    // Reads one image from standard input (the file name "-").
    std::function<SpdFileRead()> readStdin;
};

// Exit codes: 0 every input decoded; 1 a file or the bus gave no image, or the output failed; 2 a usage error (an
// unknown option, or nothing to decode). An unknown option or a bad file does not stop the other files from being
// decoded.
inline constexpr int kSpdInfoOk = 0;
inline constexpr int kSpdInfoBadInput = 1;
inline constexpr int kSpdInfoUsage = 2;

// args without the program name.
int RunSpdInfo(const std::vector<std::string>& args, const SpdInfoHost& host, std::ostream& out, std::ostream& err);
