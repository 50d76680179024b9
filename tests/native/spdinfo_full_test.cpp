// spdinfo --full against what decode-dimms printed for the 32 real images in testdata/spd, field by field and
// section by section; damaged images; the kernel driver's modules.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>

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

} // namespace
