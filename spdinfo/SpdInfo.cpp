#include "spdinfo/SpdInfo.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <optional>
#include <istream>
#include <ostream>
#include <system_error>
#include <utility>

#include "base/LittleEndian.h"
#include "base/Utf8.h"
#include "memory/ModuleLabels.h"
#include "spdinfo/SpdDdr5Details.h"
#include "spdinfo/SpdDetails.h"

#ifndef PRISMEL_VERSION
#error "PRISMEL_VERSION must be defined by the build"
#endif

namespace {

constexpr std::size_t kBaseSectionEnd = 126;
constexpr std::size_t kModuleSectionStart = 128;
constexpr std::size_t kModuleSectionEnd = 254;
// The largest SPD of any memory type (DDR5): read this much to name another type, and one byte more.
constexpr std::size_t kLargestSpdSize = 1024;
constexpr const char* kPermissionDenied = "permission denied";
constexpr std::string_view kStdinName = "-";

constexpr const char* kHelp = R"(Usage: spdinfo [--json] [--full] FILE...
       spdinfo [--json] [--full] --sys      (Linux)
       spdinfo [--json] [--full] --bus      (Windows)
       spdinfo --help | --version

Decodes DDR4 SPD images the way Prismel's module information page does, and DDR5 ones (JESD400-5) in the
same table, and prints the module table. Prismel's own page shows DDR4 modules only.

Each FILE is a 512-byte DDR4 or 1024-byte DDR5 SPD image: a dump file, or on Linux the "eeprom" file of the
ee1004 or spd5118 driver as it is. "-" reads one image from standard input. An image whose memory type
(byte 2) is neither DDR4 nor DDR5 is not decoded: spdinfo names the type it says.

Output: for each image a line "# NAME", then one line per table row: the row number and the seven cells
(Field, Value, CL, tRCD, tRP, tRAS, tRC), separated by tabs, in UTF-8. Rows 0-9 are the module facts, row 10 is
a spare, then one row per supported CAS latency (DDR5: per JEDEC speed bin), then three rows per XMP (and for
DDR5 EXPO) profile. A cell shows "?" for a reserved
organisation code and "-" where the SPD gives no usable clock period. Control characters in a cell are shown
as U+FFFD here; --json keeps them.

Options:
  --full     after the table, every field of the SPD in sections, a line "## SECTION" each, then one line per
             field: its name and its value, separated by a tab. The sections: SPD EEPROM information, memory
             characteristics, timings at standard speeds, timing parameters, other information, physical
             characteristics, manufacturer data, and each XMP profile's own timings. Times are in ns; "?" marks
             a reserved code and "-" a time or speed the bytes do not give.
  --json     print one JSON document instead: {"columns": [...], "modules": [...]}, each module with its
             "file" (or "module" for --bus and --sys), "rows" (the cells by row), "xmpProfileCount", and "crc":
             whether the stored CRC-16 of the base section (bytes 0-125) and of the module section (bytes
             128-253) match their bytes; for DDR5 "expoProfileCount" too and "crc" {"base" (bytes 0-509),
             "xmpHeader", "expo"}, null where the block is absent. With --full, also "full": the sections by name, each field's values
             as numbers where they are numbers, with the unit in the key (sizeMB, tAANs, tAACycles, ...).
  --sys      (Linux) decode every module the kernel's ee1004 and spd5118 drivers serve (/sys/bus/i2c/drivers),
             named by its bus and address (0-0050 is bus 0, address 0x50). Reading them may need root.
  --bus      (Windows) load MsIo32.dll from spdinfo.exe's folder, probe the twelve SMBus positions as
             Prismel does and decode every module found, named DIMM0, DIMM1, ... in the order found. The
             shared SMBus mutex is held around each probe and module read, as Prismel holds it; a position
             passed over because the bus stayed busy gets one line on stderr.
  --help     print this text.
  --version  print the version.
  --         end of options: every later argument is a file.

Exit status: 0 when every image was decoded, 1 when a file or the bus gave none (one line on stderr each; the
other files are still decoded) or the output could not be written, 2 for an unknown option or nothing to decode.
)";

struct Options {
    bool json = false;
    bool full = false;
    bool bus = false;
    bool sys = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> files;
    std::vector<std::string> unknown;
};

Options ParseOptions(const std::vector<std::string>& args) {
    Options options;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--full") {
            options.full = true;
        } else if (arg == "--bus") {
            options.bus = true;
        } else if (arg == "--sys") {
            options.sys = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else {
            options.unknown.push_back(arg);
        }
    }
    return options;
}

// A cell fit for one line of text on a terminal, appended: control characters (C0, DEL and C1) become U+FFFD.
void AppendPrintableUtf8(std::string& out, std::u16string_view text) {
    // Plain ASCII, most of every cell, goes as it is.
    std::size_t ascii = 0;
    while (ascii < text.size() && text[ascii] >= 0x20 && text[ascii] < 0x7F) {
        ++ascii;
    }
    out.append(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(ascii));
    if (ascii == text.size()) {
        return;
    }
    std::u16string clean(text.substr(ascii));
    for (char16_t& unit : clean) {
        if (unit < 0x20 || (unit >= 0x7F && unit <= 0x9F)) {
            unit = u'\uFFFD';
        }
    }
    out += ToUtf8(clean);
}

// A JSON string of UTF-16 text, appended.
void AppendJsonUtf16(std::string& out, std::u16string_view text) {
    const bool plain = std::all_of(text.begin(), text.end(),
                                   [](char16_t c) { return c >= 0x20 && c < 0x7F && c != u'"' && c != u'\\'; });
    if (plain) {
        out += '"';
        out.append(text.begin(), text.end());
        out += '"';
    } else {
        AppendJsonString(out, ToUtf8(text));
    }
}

std::string PrintableName(std::string_view name) {
    std::string clean(name);
    for (char& c : clean) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return clean;
}

// The modules' text is made in one string and written in large pieces: the streams' per-insertion work was most
// of a module's time.
void PrintTable(const NamedSpdImage& source, const DecodedModule& module, bool first, std::string& out) {
    if (!first) {
        out += '\n';
    }
    out += "# ";
    out += PrintableName(source.name);
    out += '\n';
    for (std::size_t r = 0; r < module.rows.size(); ++r) {
        out += std::to_string(r);
        for (const std::u16string& cell : module.rows[r]) {
            out += '\t';
            AppendPrintableUtf8(out, cell);
        }
        out += '\n';
    }
}

void PrintDetails(const std::vector<SpdDetailSection>& sections, std::string& out) {
    for (const SpdDetailSection& section : sections) {
        out += "## ";
        out += section.title;
        out += '\n';
        for (const SpdDetailField& field : section.fields) {
            out += field.label;
            out += '\t';
            out += field.text;
            out += '\n';
        }
    }
}

void PrintJsonDetails(const std::vector<SpdDetailSection>& sections, std::string& out) {
    out += ",\n      \"full\": {";
    for (std::size_t s = 0; s < sections.size(); ++s) {
        out += s == 0 ? "\n        " : ",\n        ";
        AppendJsonString(out, sections[s].key);
        out += ": {";
        bool firstMember = true;
        for (const SpdDetailField& field : sections[s].fields) {
            for (const SpdJsonMember& member : field.json) {
                if (!firstMember) {
                    out += ", ";
                }
                AppendJsonString(out, member.key);
                out += ": ";
                out += member.value;
                firstMember = false;
            }
        }
        out += '}';
    }
    out += "\n      }";
}

// What a module's JSON says beside its rows: its profile counts and checksum verdicts, as members.
struct JsonVerdicts {
    std::string profileCounts;
    std::string crc;
};

JsonVerdicts Ddr4Verdicts(const SpdImage& image, const DecodedModule& module) {
    const SpdChecksums crc = CheckSpdChecksums(image);
    return {"\"xmpProfileCount\": " + std::to_string(module.xmpProfileCount),
            std::string("{\"base\": ") + (crc.base ? "true" : "false") +
                ", \"module\": " + (crc.module ? "true" : "false") + "}"};
}

JsonVerdicts Ddr5Verdicts(const ddr5::Module& module) {
    const auto verdict = [](const std::optional<ddr5::Crc>& crc) { return !crc ? "null" : crc->ok ? "true" : "false"; };
    const auto xmp = std::count_if(module.profiles.begin(), module.profiles.end(),
                                   [](const ddr5::Profile& p) { return p.kind == "XMP"; });
    const auto expo = static_cast<std::ptrdiff_t>(module.profiles.size()) - xmp;
    return {"\"xmpProfileCount\": " + std::to_string(xmp) + ", \"expoProfileCount\": " + std::to_string(expo),
            std::string("{\"base\": ") + (module.baseCrc.ok ? "true" : "false") +
                ", \"xmpHeader\": " + verdict(module.xmpHeaderCrc) + ", \"expo\": " + verdict(module.expoCrc) + "}"};
}

void PrintJsonModule(const NamedSpdImage& source, const DecodedModule& module, const JsonVerdicts& verdicts,
                     const std::vector<SpdDetailSection>* details, bool first, std::string& out) {
    out += first ? "\n    {\n      " : ",\n    {\n      ";
    out += source.fromBus ? "\"module\": " : "\"file\": ";
    AppendJsonString(out, source.name);
    out += ",\n      ";
    out += verdicts.profileCounts;
    out += ",\n      \"crc\": ";
    out += verdicts.crc;
    out += ",\n      \"rows\": [";
    for (std::size_t r = 0; r < module.rows.size(); ++r) {
        out += r == 0 ? "\n        [" : ",\n        [";
        for (std::size_t c = 0; c < module.rows[r].size(); ++c) {
            if (c != 0) {
                out += ", ";
            }
            AppendJsonUtf16(out, module.rows[r][c]);
        }
        out += ']';
    }
    out += "\n      ]";
    if (details) {
        PrintJsonDetails(*details, out);
    }
    out += "\n    }";
}

void PrintJsonStart(std::ostream& out) {
    out << "{\n  \"columns\": [";
    for (std::size_t c = 0; c < kModuleInfoColumns.size(); ++c) {
        out << (c == 0 ? "" : ", ") << JsonString(ToUtf8(kModuleInfoColumns[c]));
    }
    out << "],\n  \"modules\": [";
}

void PrintJsonEnd(bool empty, std::ostream& out) {
    out << (empty ? "]\n}\n" : "\n  ]\n}\n");
}

// Decodes one UTF-8 sequence at text[i]; returns its code point and advances i, or U+FFFD past one byte when the
// bytes there are not a valid (shortest, non-surrogate, at most U+10FFFF) sequence.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned lead = byte(i);
    std::size_t length = lead < 0x80           ? 1
                         : (lead >> 5) == 0x6  ? 2
                         : (lead >> 4) == 0xE  ? 3
                         : (lead >> 3) == 0x1E ? 4
                                               : 0;
    if (length == 0 || i + length > text.size()) {
        ++i;
        return U'\uFFFD';
    }
    char32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return U'\uFFFD';
        }
        c = (c << 6) | (byte(i + k) & 0x3Fu);
    }
    static constexpr std::array<char32_t, 5> kShortest = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kShortest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return U'\uFFFD';
    }
    i += length;
    return c;
}

// Why `got` bytes of memory type `type` give no image, or nothing when they give one: DDR4 wants 512 bytes,
// DDR5 1024; another type is named (LPDDR5 too: its layout is not DDR5's); a code the JEDEC table does not name is
// given in hex where the size is one of an SPD's.
std::optional<std::string> SizeOrTypeRefusal(std::size_t got, std::uint8_t type) {
    const auto size = [&](std::size_t wanted, const char* what) -> std::optional<std::string> {
        if (got == wanted) {
            return std::nullopt;
        }
        return got > wanted ? "not a " + std::to_string(wanted) + "-byte " + what + " SPD image (more than " +
                                  std::to_string(wanted) + " bytes)"
                            : std::string("a ") + what + " SPD image needs " + std::to_string(wanted) +
                                  " bytes; this one has " + std::to_string(got);
    };
    if (got > kSpdMemoryTypeByte && type == kSpdMemoryTypeDdr4) {
        return size(kSpdImageSize, "DDR4");
    }
    if (got > kSpdMemoryTypeByte && type == ddr5::kTypeCode) {
        return size(ddr5::kImageSize, "DDR5");
    }
    const std::string_view name = SpdMemoryTypeName(type);
    if (got > kSpdMemoryTypeByte && (got == kSpdImageSize || got == ddr5::kImageSize || !name.empty())) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", type);
        return "not a DDR4 or DDR5 SPD image: its memory type (byte 2) is " +
               (name.empty() ? std::string(code) + ", not a known type" : std::string(name) + " (" + code + ")");
    }
    return got > kLargestSpdSize
               ? std::string("not an SPD image (more than 1024 bytes)")
               : "not a 512-byte DDR4 or 1024-byte DDR5 SPD image (" + std::to_string(got) + " bytes)";
}

} // namespace

SpdChecksums CheckSpdChecksums(const SpdImage& image) {
    const auto stored = [&](std::size_t at) { return LoadLe16(image.data() + at); };
    SpdChecksums result;
    result.base = SpdCrc16(image.data(), kBaseSectionEnd) == stored(kBaseSectionEnd);
    result.module = SpdCrc16(image.data() + kModuleSectionStart, kModuleSectionEnd - kModuleSectionStart) ==
                    stored(kModuleSectionEnd);
    return result;
}

std::string JsonString(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 2);
    AppendJsonString(out, utf8);
    return out;
}

void AppendJsonString(std::string& out, std::string_view utf8) {
    out += '"';
    for (std::size_t i = 0; i < utf8.size();) {
        // Plain ASCII, most of every text, goes as it is.
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\') {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        const char32_t c = NextCodePoint(utf8, i);
        if (c == U'"' || c == U'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
            out += escape;
        } else {
            AppendUtf8(out, c);
        }
    }
    out += '"';
}

std::size_t ReadUpTo(std::istream& in, char* buffer, std::size_t size) {
    // A driver's eeprom file may give fewer bytes than asked for on one read: read on until the buffer is full or
    // the stream ends.
    std::size_t got = 0;
    std::streambuf* source = in.rdbuf();
    while (source && got < size) {
        const std::streamsize n = source->sgetn(buffer + got, static_cast<std::streamsize>(size - got));
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    return got;
}

SpdFileRead ReadSpdStream(std::istream& in) {
    // A driver's eeprom file may report any size, so only what can be read counts.
    std::array<char, kLargestSpdSize + 1> buffer{};
    const std::size_t got = ReadUpTo(in, buffer.data(), buffer.size());
    if (in.bad()) {
        return std::string("cannot be read");
    }
    const auto type = got > kSpdMemoryTypeByte ? static_cast<std::uint8_t>(buffer[kSpdMemoryTypeByte]) : 0;
    if (const std::optional<std::string> refusal = SizeOrTypeRefusal(got, type)) {
        return *refusal;
    }
    const auto copy = [&](auto image) {
        for (std::size_t i = 0; i < image.size(); ++i) {
            image[i] = static_cast<std::uint8_t>(buffer[i]);
        }
        return SpdFileRead(image);
    };
    return type == ddr5::kTypeCode ? copy(ddr5::Image{}) : copy(SpdImage{});
}

SpdFileRead ReadSpdFile(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return std::string("no such file");
    }
    if (status.type() == std::filesystem::file_type::directory) {
        return std::string("is a directory");
    }
    errno = 0;
    // Unbuffered: the image is read in one call into ReadSpdStream's own buffer, with no stream buffer to make.
    std::ifstream in;
    in.rdbuf()->pubsetbuf(nullptr, 0);
    in.open(path, std::ios::binary);
    if (!in) {
        return std::string(errno == EACCES ? kPermissionDenied : "cannot be opened for reading");
    }
    return ReadSpdStream(in);
}

SpdDriverRead ReadDriverModules(const std::filesystem::path& driversFolder) {
    SpdDriverRead result;
    std::vector<std::filesystem::path> devices;
    for (const char* driver : kSpdDrivers) {
        std::error_code error;
        const std::filesystem::path folder = driversFolder / driver;
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            std::error_code exists;
            if (std::filesystem::exists(it->path() / "eeprom", exists)) {
                devices.push_back(it->path());
            }
        }
    }
    if (devices.empty()) {
        result.error = "no module found in " + (driversFolder / kSpdDrivers[0]).string() + " or " +
                       (driversFolder / kSpdDrivers[1]).string() +
                       ": load the SPD driver with \"sudo modprobe ee1004\" (DDR4) or \"sudo modprobe spd5118\" "
                       "(DDR5) and the SMBus driver of the board (\"sudo modprobe i2c-i801\" on Intel, \"sudo "
                       "modprobe i2c-piix4\" on AMD), then try again";
        return result;
    }
    std::sort(devices.begin(), devices.end(), [](const auto& a, const auto& b) { return a.filename() < b.filename(); });
    for (const std::filesystem::path& device : devices) {
        const std::string name = device.filename().string();
        SpdFileRead read = ReadSpdFile(device / "eeprom");
        if (const std::string* reason = std::get_if<std::string>(&read)) {
            result.unreadable.push_back(name + ": " + *reason +
                                        (*reason == kPermissionDenied ? ": run spdinfo --sys as root" : ""));
        } else if (const SpdImage* ddr4 = std::get_if<SpdImage>(&read)) {
            result.modules.push_back({name, true, *ddr4});
        } else {
            result.modules.push_back({name, true, std::get<ddr5::Image>(read)});
        }
    }
    return result;
}

SpdBusGate::SpdBusGate(std::function<bool(unsigned long)> take, std::function<void()> give)
    : m_take(std::move(take)), m_give(std::move(give)) {}

bool SpdBusGate::Take(unsigned long waitMs) {
    SpdBusPosition position;
    bool moduleRead = false;
    if (m_moduleToRead) {
        position = *std::exchange(m_moduleToRead, std::nullopt);
        moduleRead = true;
    } else {
        position = {m_nextProbe / kSecondIndexCount, m_nextProbe % kSecondIndexCount};
        ++m_nextProbe;
    }
    const bool taken = m_take(waitMs);
    if (!taken) {
        m_passed.push_back({position, moduleRead});
    }
    m_probing = taken && !moduleRead ? std::optional<SpdBusPosition>(position) : std::nullopt;
    return taken;
}

void SpdBusGate::Give() {
    m_probing.reset();
    m_give();
}

SpdByteReader SpdBusGate::Watching(SpdByteReader read) {
    return [this, read = std::move(read)](std::uint8_t first, std::uint8_t second, std::uint16_t offset) {
        const std::uint8_t value = read(first, second, offset);
        if (m_probing && offset == 0) {
            // The probe reads the position it names: follow it, should the order ever be other than assumed.
            m_probing = SpdBusPosition{first, second};
            m_nextProbe = first * kSecondIndexCount + second + 1;
            if (value == kDdr4SpdFirstByte) {
                m_moduleToRead = m_probing;
            }
            m_probing.reset();
        }
        return value;
    };
}

std::string SpdBusPassedOverText(const SpdBusGate::PassedOver& passed) {
    return "module position (" + std::to_string(passed.position.first) + ", " + std::to_string(passed.position.second) +
           ") passed over: the SMBus stayed busy" +
           (passed.moduleFound ? " after its module answered, so the module was not read" : "");
}

namespace {

// One run of the command: the images named on the command line, then the bus's, then the driver's, each printed as
// it is read; the first problem sets the exit code.
class SpdInfoRun {
public:
    SpdInfoRun(const Options& options, const SpdInfoHost& host, std::ostream& out, std::ostream& err)
        : m_options(options), m_host(host), m_out(out), m_err(err) {}

    int Run(int status) {
        m_status = status;
        if (m_options.json) {
            PrintJsonStart(m_out);
        }
        DecodeFiles();
        if (m_options.bus) {
            DecodeBus();
        }
        if (m_options.sys) {
            DecodeSys();
        }
        WritePending();
        if (m_options.json) {
            PrintJsonEnd(m_first, m_out);
        }
        m_out.flush();
        if (!m_out) {
            m_err << "spdinfo: the output could not be written\n";
            return kSpdInfoBadInput;
        }
        return m_status;
    }

private:
    // The modules' text so far goes out before a line on stderr, so the two keep their order on one terminal.
    void WritePending() {
        m_out.write(m_text.data(), static_cast<std::streamsize>(m_text.size()));
        m_text.clear();
    }

    void Fail(const std::string& what, const std::string& reason) {
        WritePending();
        m_err << "spdinfo: " << PrintableName(what) << ": " << reason << '\n';
        if (m_status == kSpdInfoOk) {
            m_status = kSpdInfoBadInput;
        }
    }

    void Print(const NamedSpdImage& source) {
        if (const SpdImage* image = std::get_if<SpdImage>(&source.image)) {
            const DecodedModule module = DecodeSpd(*image, kFixedRowLabels);
            Emit(source, module, Ddr4Verdicts(*image, module),
                 m_options.full ? DecodeSpdDetails(*image) : std::vector<SpdDetailSection>());
        } else {
            const ddr5::Module module = ddr5::Decode(std::get<ddr5::Image>(source.image));
            Emit(source, Ddr5ModuleTable(module), Ddr5Verdicts(module),
                 m_options.full ? Ddr5Details(module) : std::vector<SpdDetailSection>());
        }
        m_first = false;
    }

    void Emit(const NamedSpdImage& source, const DecodedModule& module, const JsonVerdicts& verdicts,
              const std::vector<SpdDetailSection>& details) {
        if (m_options.json) {
            PrintJsonModule(source, module, verdicts, m_options.full ? &details : nullptr, m_first, m_text);
        } else {
            PrintTable(source, module, m_first, m_text);
            PrintDetails(details, m_text);
        }
        if (m_text.size() >= kPendingOutput) {
            WritePending();
        }
    }

    SpdFileRead ReadStdin() {
        if (m_stdinRead) {
            return std::string("standard input holds one image and was read already");
        }
        m_stdinRead = true;
        return m_host.readStdin ? m_host.readStdin() : std::string("standard input cannot be read here");
    }

    void DecodeFiles() {
        for (const std::string& file : m_options.files) {
            SpdFileRead read = file == kStdinName ? ReadStdin() : ReadSpdFile(m_host.pathOf(file));
            if (const std::string* reason = std::get_if<std::string>(&read)) {
                Fail(file, *reason);
            } else if (const SpdImage* ddr4 = std::get_if<SpdImage>(&read)) {
                Print({file, false, *ddr4});
            } else {
                Print({file, false, std::get<ddr5::Image>(read)});
            }
        }
    }

    void DecodeBus() {
        if (!m_host.readBus) {
            Fail("--bus", "reading modules from the SMBus needs MsIo32.dll and works only in the Windows build");
            return;
        }
        const SpdBusRead bus = m_host.readBus();
        // A position passed over is said, but the modules that were read are all there is to decode.
        for (const std::string& passed : bus.passedOver) {
            WritePending();
            m_err << "spdinfo: --bus: " << passed << '\n';
        }
        if (!bus.error.empty()) {
            Fail("--bus", bus.error);
        } else if (bus.modules.empty()) {
            Fail("--bus", "no module answered on the SMBus");
        }
        for (const NamedSpdImage& module : bus.modules) {
            Print(module);
        }
    }

    void DecodeSys() {
        if (!m_host.readSys) {
            Fail("--sys", "reading the modules through the kernel's ee1004 and spd5118 drivers works only on Linux");
            return;
        }
        const SpdDriverRead sys = m_host.readSys();
        if (!sys.error.empty()) {
            Fail("--sys", sys.error);
        }
        for (const std::string& problem : sys.unreadable) {
            Fail("--sys", problem);
        }
        for (const NamedSpdImage& module : sys.modules) {
            Print(module);
        }
    }

    const Options& m_options;
    const SpdInfoHost& m_host;
    std::ostream& m_out;
    std::ostream& m_err;
    int m_status = kSpdInfoOk;
    bool m_first = true;
    bool m_stdinRead = false;
    // The modules' text not yet written: it goes out in pieces of about kPendingOutput bytes.
    static constexpr std::size_t kPendingOutput = 64 * 1024;
    std::string m_text;
};

} // namespace

int RunSpdInfo(const std::vector<std::string>& args, const SpdInfoHost& host, std::ostream& out, std::ostream& err) {
    const Options options = ParseOptions(args);
    if (options.help) {
        out << kHelp;
        return kSpdInfoOk;
    }
    if (options.version) {
        out << "spdinfo " << PRISMEL_VERSION << '\n';
        return kSpdInfoOk;
    }
    int status = kSpdInfoOk;
    for (const std::string& option : options.unknown) {
        err << "spdinfo: unknown option " << PrintableName(option) << " (see spdinfo --help)\n";
        status = kSpdInfoUsage;
    }
    if (options.files.empty() && !options.bus && !options.sys) {
        err << "spdinfo: no SPD image to decode: name a file or use --sys or --bus (see spdinfo --help)\n";
        return kSpdInfoUsage;
    }
    return SpdInfoRun(options, host, out, err).Run(status);
}
