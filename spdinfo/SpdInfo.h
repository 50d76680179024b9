// spdinfo: decodes SPD images with the program's own decoder and prints the module table, as tab-separated text or
// as one JSON document. Portable: the command line, the files and the output; the SMBus is reached through the
// host (only the Windows build has one).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "memory/SpdBytes.h"
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

// A 512-byte DDR4 SPD image read from a file or a stream, or a one-line reason why it gives none: it cannot be
// read, it is not 512 bytes, or its byte 2 names another memory type.
using SpdFileRead = std::variant<SpdImage, std::string>;
SpdFileRead ReadSpdFile(const std::filesystem::path& path);
SpdFileRead ReadSpdStream(std::istream& in);

// One image to print, with the name it is shown under (the file name as given, or "DIMM0" for a bus module).
struct NamedSpdImage {
    std::string name;
    bool fromBus = false;
    SpdImage image{};
};

// The modules found on the SMBus, or why none could be read.
struct SpdBusRead {
    std::vector<NamedSpdImage> modules;
    std::string error;
};

// The modules of the kernel's driver folder, or why none were found, and each module found but not read.
struct SpdDriverRead {
    std::vector<NamedSpdImage> modules;
    std::string error;
    std::vector<std::string> unreadable; // "NAME: reason"
};

// The kernel's ee1004 driver: one folder per DDR4 SPD it serves, named after the bus and the address ("0-0050"),
// with the 512 bytes in its "eeprom" file.
inline constexpr const char* kEe1004DriverFolder = "/sys/bus/i2c/drivers/ee1004";
SpdDriverRead ReadEe1004Modules(const std::filesystem::path& driverFolder);

struct SpdInfoHost {
    // Turns a command-line argument (UTF-8 on Windows, the file system's own bytes elsewhere) into a path.
    std::function<std::filesystem::path(const std::string&)> pathOf;
    // Probes the bus; empty when this build has no SMBus library.
    std::function<SpdBusRead()> readBus;
    // Reads the ee1004 driver's modules; empty where there is no such driver (Windows).
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
