// spdinfo --full against what decode-dimms printed for the 32 real images in testdata/spd, field by field and
// section by section; damaged images; the kernel driver's modules.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>

#include "memory/ModuleLabels.h"
#include "memory/SpdDecode.h"
#include "spdinfo/SpdDetails.h"
#include "spdinfo/SpdInfo.h"

namespace {

namespace fs = std::filesystem;
using Fields = std::map<std::pair<std::string, std::string>, std::string>; // (section, label) -> value

const fs::path kSpdFolder = fs::path(PRISMEL_TESTDATA) / "spd";

// decode-dimms' text: "---=== Section ===---" headings, labels padded to column 49, and a value that goes on in
// that column on the next line.
Fields ReadDecodeDimms(const fs::path& path) {
    static const std::regex heading(R"(^---=== (.*) ===---$)"), field(R"(^(\S.{47}) (.*)$)"), more(R"(^ {49}(.*)$)");
    Fields fields;
    std::string section, line;
    Fields::iterator last = fields.end();
    std::ifstream in(path);
    for (std::smatch m; std::getline(in, line);) {
        if (std::regex_match(line, m, heading)) {
            section = m[1];
        } else if (!section.empty() && std::regex_match(line, m, more) && last != fields.end()) {
            last->second += " " + m[1].str();
        } else if (!section.empty() && std::regex_match(line, m, field)) {
            std::string label = m[1];
            label.erase(label.find_last_not_of(' ') + 1);
            std::string value = m[2]; // the part number keeps its padding there
            value.erase(value.find_last_not_of(' ') + 1);
            last = fields.insert_or_assign({section, label}, value).first;
        }
    }
    return fields;
}

Fields OurFields(const SpdImage& image) {
    Fields fields;
    for (const SpdDetailSection& section : DecodeSpdDetails(image)) {
        if (section.title.starts_with("XMP")) {
            continue; // decode-dimms has no XMP
        }
        for (const SpdDetailField& field : section.fields) {
            fields[{section.title, field.label}] = field.text;
        }
    }
    return fields;
}

SpdImage ReadImage(const fs::path& path) {
    SpdFileRead read = ReadSpdFile(path);
    EXPECT_TRUE(std::holds_alternative<SpdImage>(read)) << path;
    return std::holds_alternative<SpdImage>(read) ? std::get<SpdImage>(read) : SpdImage{};
}

TEST(SpdInfoFull, EveryFieldMatchesDecodeDimmsOnTheRealImages) {
    int images = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(kSpdFolder)) {
        const std::string file = entry.path().filename().string();
        if (!file.ends_with(".decode-dimms.txt")) {
            continue;
        }
        ++images;
        const std::string name = file.substr(0, file.find('.'));
        const SpdImage image = ReadImage(kSpdFolder / (name + ".bin"));
        Fields expected = ReadDecodeDimms(entry.path());
        ASSERT_GT(expected.size(), 40u) << name;
        // On purpose: byte 130's revision code 3 means 3 plus the raw card extension of byte 128 (bits 7-5), as
        // the DDR4 layout defines it; decode-dimms shows the extension alone ("B revision 1" for revision 4).
        const std::pair<std::string, std::string> card = {"Physical Characteristics", "Module Reference Card"};
        if (((image[130] >> 5) & 3) == 3 && (image[128] >> 5) != 0) {
            expected[card] =
                std::regex_replace(expected[card], std::regex(R"(\d+$)"), std::to_string(3 + (image[128] >> 5)));
        }
        const Fields ours = OurFields(image);
        for (const auto& [key, value] : expected) {
            const auto found = ours.find(key);
            EXPECT_TRUE(found != ours.end() && found->second == value)
                << name << ": " << key.first << " / " << key.second << ": decode-dimms \"" << value << "\", ours \""
                << (found == ours.end() ? "(none)" : found->second) << "\"";
        }
        for (const auto& [key, value] : ours) {
            EXPECT_TRUE(expected.contains(key)) << name << ": we show " << key.second << " = " << value;
        }
    }
    EXPECT_EQ(images, 32);
}

// A damaged image is decoded as far as it goes: reserved codes show "?", a time or speed from no usable clock "-",
// and no field shows a number made up from them.
TEST(SpdInfoFull, DamagedImagesShowMarksInsteadOfNumbers) {
    struct Case {
        const char* what;
        std::map<int, std::uint8_t> bytes;
        std::map<std::string, std::string> shown; // label -> text
    } cases[] = {
        {"blank",
         {},
         {{"Maximum module speed", "-"},
          {"Minimum Cycle Time (tCKmin)", "-"},
          {"AA-RCD-RP-RAS (cycles)", "-"},
          {"Supported CAS Latencies", "-"},
          {"# of bytes written to SDRAM EEPROM", "?"},
          {"Module Manufacturer", "Undefined"},
          {"Part Number", "Undefined"}}},
        {"reserved codes",
         {{4, 0xFF}, {5, 0xFF}, {12, 0x07}, {13, 0x1F}, {18, 0x08}, {24, 0x70}, {323, 0xAB}, {324, 0x01}},
         {{"Size", "?"},
          {"Banks x Rows x Columns x Bits", "? x ? x ? x ?"},
          {"SDRAM Device Width", "?"},
          {"Bus Width Extension", "?"},
          {"Manufacturing Date", "?"},
          {"Maximum module speed", "2000 MT/s (PC4-16000)"},
          {"AA-RCD-RP-RAS (cycles)", "14-0-0-0"}}},
        {"negative fine corrections",
         {{18, 0x00}, {125, 0x80}, {24, 0x00}, {123, 0xF0}, {20, 0x01}},
         {{"Minimum Cycle Time (tCKmin)", "-"},
          {"Minimum CAS Latency Time (tAA)", "-"},
          {"Maximum module speed", "-"}}},
        {"fastest clock",
         {{18, 0x00}, {125, 0x01}, {24, 0xFF}, {123, 0x7F}},
         {{"Maximum module speed", "2000000 MT/s (PC4-16000000)"}, {"AA-RCD-RP-RAS (cycles)", "32002-0-0-0"}}},
    };
    for (const Case& c : cases) {
        SpdImage image{};
        image[kSpdMemoryTypeByte] = kSpdMemoryTypeDdr4;
        for (const auto& [at, value] : c.bytes) {
            image[static_cast<std::size_t>(at)] = value;
        }
        std::map<std::string, std::string> shown;
        for (const auto& [key, text] : OurFields(image)) {
            shown[key.second] = text;
        }
        for (const auto& [label, text] : c.shown) {
            EXPECT_EQ(shown[label], text) << c.what << ": " << label;
        }
    }
}

// --sys: every ee1004 and spd5118 device folder with an eeprom file, in name order; the rest of the drivers'
// folders ignored; a module that cannot be read or is of another type named with the reason; no module at all says
// what to load.
TEST(SpdInfoFull, KernelDriverModulesAreReadByBusAddress) {
    const fs::path root = fs::temp_directory_path() /
                          ("spdinfo-sys-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(root);
    const auto write = [&](const std::string& device, std::size_t size, std::uint8_t type) {
        fs::create_directories(root / device);
        std::string bytes(size, '\0');
        bytes[kSpdMemoryTypeByte] = static_cast<char>(type);
        std::ofstream(root / device / "eeprom", std::ios::binary) << bytes;
    };
    write("ee1004/1-0051", kSpdImageSize, kSpdMemoryTypeDdr4);
    write("spd5118/0-0050", ddr5::kImageSize, ddr5::kTypeCode);
    write("spd5118/0-0052", kSpdImageSize, ddr5::kTypeCode);
    write("ee1004/0-0053", kSpdImageSize, 0x0B);
    fs::create_directories(root / "ee1004" / "module");
    std::ofstream(root / "ee1004" / "uevent") << "DRIVER=ee1004\n";

    const SpdDriverRead read = ReadDriverModules(root);
    EXPECT_EQ(read.error, "");
    ASSERT_EQ(read.modules.size(), 2u);
    EXPECT_EQ(read.modules[0].name, "0-0050");
    EXPECT_TRUE(std::holds_alternative<ddr5::Image>(read.modules[0].image));
    EXPECT_EQ(read.modules[1].name, "1-0051");
    EXPECT_TRUE(std::holds_alternative<SpdImage>(read.modules[1].image));
    EXPECT_EQ(read.unreadable,
              (std::vector<std::string>{
                  "0-0052: a DDR5 SPD image needs 1024 bytes; this one has 512",
                  "0-0053: not a DDR4 or DDR5 SPD image: its memory type (byte 2) is DDR3 SDRAM (0x0B)",
              }));

    for (const fs::path& folder : {root / "ee1004" / "module", root / "missing"}) {
        const SpdDriverRead none = ReadDriverModules(folder);
        EXPECT_TRUE(none.modules.empty());
        EXPECT_NE(none.error.find("modprobe ee1004"), std::string::npos) << none.error;
        EXPECT_NE(none.error.find("modprobe spd5118"), std::string::npos) << none.error;
    }
    fs::remove_all(root);
}

// Fields read as decode-dimms words them, and the bytes the module table reads by the page's own rules (its
// voltage row is 1.20V whatever byte 11 says) against what --full says those bytes say.
TEST(SpdInfoFull, FieldsReadAsDecodeDimmsWordsThem) {
    const auto text = [](std::string_view s) {
        std::map<int, std::uint8_t> bytes;
        for (std::size_t i = 0; i < s.size(); ++i) {
            bytes[static_cast<int>(329 + i)] = static_cast<std::uint8_t>(s[i]);
        }
        return bytes;
    };
    const auto filled = [](int from, int count, std::uint8_t value) {
        std::map<int, std::uint8_t> bytes;
        for (int i = 0; i < count; ++i) {
            bytes[from + i] = value;
        }
        return bytes;
    };
    struct Case {
        const char* what;
        std::map<int, std::uint8_t> bytes;
        std::string label, shown; // "(none)": the field is left out
    } cases[] = {
        {"height code 0", {{128, 0x20}}, "Module Height", "15 mm or less"},
        {"height code 1", {{128, 0x01}}, "Module Height", "16 mm"},
        {"height code 30", {{128, 0x1E}}, "Module Height", "45 mm"},
        {"height code 31", {{128, 0xFF}}, "Module Height", "more than 45 mm"},
        {"20 blanks", filled(329, 20, ' '), "Part Number", ""},
        {"20 zero bytes", {}, "Part Number", "Undefined"},
        {"20 erased bytes", filled(329, 20, 0xFF), "Part Number", "Undefined"},
        {"padded", text("M378A2K43EB1-CWE    "), "Part Number", "M378A2K43EB1-CWE"},
        {"a control byte ends it",
         text("AB\x01"
              "CD"),
         "Part Number", "AB"},
        {"a zero byte ends it", text(std::string("AB\0CD", 5)), "Part Number", "AB"},
        {"a byte above 0x7E ends it",
         text("AB\xE9"
              "CD"),
         "Part Number", "AB"},
        {"a leading blank stays", text(" AB"), "Part Number", " AB"},
        {"byte 11 = 0", {{11, 0x00}}, "Module Nominal Voltage", "Unknown"},
        {"1.2 V operable", {{11, 0x01}}, "Module Nominal Voltage", "1.2 V"},
        {"1.2 V endurant", {{11, 0x02}}, "Module Nominal Voltage", "Unknown (1.2 V endurant)"},
        {"operable and endurant", {{11, 0x03}}, "Module Nominal Voltage", "1.2 V"},
        {"extended module type", {{3, 0x00}}, "Module Type", "Extended type"},
        {"reserved module type", {{3, 0x07}}, "Module Type", "Reserved (0x07)"},
        {"hybrid SO-DIMM", {{3, 0x93}}, "Module Type", "SO-DIMM"},
        {"no base memory", {{3, 0x0F}}, "Module Type", "No base memory"},
        {"erased revision", {{1, 0xFF}}, "SPD Revision", "(none)"},
        {"location letter", {{322, 'A'}}, "Manufacturing Location Code", "A"},
        {"location digit", {{322, '7'}}, "Manufacturing Location Code", "7"},
        {"location code", {{322, 0x07}}, "Manufacturing Location Code", "0x07"},
        {"erased location", {{322, 0xFF}}, "Manufacturing Location Code", "(none)"},
        {"erased date", {{323, 0xFF}, {324, 0xFF}}, "Manufacturing Date", "(none)"},
        {"erased serial", filled(325, 4, 0xFF), "Assembly Serial Number", "(none)"},
        {"serial", {{328, 0x01}}, "Assembly Serial Number", "0x00000001"},
        {"erased revision code", {{349, 0xFF}}, "Revision Code", "(none)"},
        {"erased module maker", {{320, 0xFF}, {321, 0xFF}}, "Module Manufacturer", "Undefined"},
        {"erased DRAM maker", {{350, 0xFF}, {351, 0xFF}}, "DRAM Manufacturer", "(none)"},
        {"GeIL", {{320, 0x83}, {321, 0x13}}, "Module Manufacturer", "Golden Empire"},
        {"multi-load stack of 2", {{6, 0x91}}, "Package Type", "Multi-load stack (2 dies)"},
        {"stack of one die", {{6, 0x81}}, "Package Type", "Multi-load stack"},
        {"loading not given", {{6, 0x90}}, "Package Type", "Unknown (2 dies)"},
        {"3DS of 4", {{6, 0xB2}}, "Package Type", "3DS (4 dies)"},
    };
    for (const Case& c : cases) {
        SpdImage image{};
        image[kSpdMemoryTypeByte] = kSpdMemoryTypeDdr4;
        image[3] = 0x02;
        for (const auto& [at, value] : c.bytes) {
            image[static_cast<std::size_t>(at)] = value;
        }
        const Fields fields = OurFields(image);
        std::string shown = "(none)";
        for (const auto& [key, value] : fields) {
            if (key.second == c.label) {
                shown = value;
            }
        }
        EXPECT_EQ(shown, c.shown) << c.what;
        // The module table's voltage row follows the page's rule, not byte 11.
        const std::u16string voltage = DecodeSpd(image, kFixedRowLabels).rows[9][1];
        EXPECT_EQ(std::string(voltage.begin(), voltage.end()), "1.20V") << c.what;
    }
}

// Every real image's speed row names the speed decode-dimms gives as its maximum, and so does --full; the table's
// fastest JEDEC row runs at that rate too.
TEST(SpdInfoFull, EveryRealModuleHasItsSpeedByItsJedecName) {
    static const std::regex speed(R"(^(\d+) MT/s)");
    int images = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(kSpdFolder)) {
        const std::string file = entry.path().filename().string();
        if (!file.ends_with(".decode-dimms.txt")) {
            continue;
        }
        ++images;
        const std::string name = file.substr(0, file.find('.'));
        const SpdImage image = ReadImage(kSpdFolder / (name + ".bin"));
        std::smatch m;
        const std::string expected = ReadDecodeDimms(entry.path())[{"Memory Characteristics", "Maximum module speed"}];
        ASSERT_TRUE(std::regex_search(expected, m, speed)) << name << ": " << expected;
        const int mts = std::stoi(m[1]);
        const DecodedModule module = DecodeSpd(image, kFixedRowLabels);
        const std::u16string row = module.rows[5][1];
        EXPECT_EQ(std::string(row.begin(), row.end()),
                  "DDR4-" + std::to_string(mts) + " ( " + std::to_string(mts / 2) + "MHz )")
            << name;
        const std::size_t lastJedec = module.rows.size() - 1 - kRowsPerXmpProfile * module.xmpProfileCount;
        const std::u16string fastest = module.rows[lastJedec][1];
        EXPECT_EQ(std::string(fastest.begin(), fastest.end()),
                  std::to_string(mts) + " (" + std::to_string(mts / 2) + "MHz )")
            << name;
        const std::string full = OurFields(image)[{"Memory Characteristics", "Maximum module speed"}];
        EXPECT_TRUE(full.starts_with(m[0].str())) << name << ": " << full;
    }
    EXPECT_EQ(images, 32);
}

} // namespace
