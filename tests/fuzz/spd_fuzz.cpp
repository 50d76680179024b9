// Fuzzes the SPD decoder: any bytes (zero-padded or cut to 512) give the whole table, with the fixed rows in place,
// one row per latency flag and three per shown XMP profile, valid UTF-16 in every cell, and no number made from an
// infinite, NaN or out-of-range time (those show "-"). Undefined conversions are caught by the sanitizer.
// spdinfo --full on the same bytes: every field has a label and printable text free of "inf", "nan" and signs, and
// the --json --full document is printed whole. The same bytes as a DDR5 image likewise.
#include "memory/SpdDdr5.h"
#include "memory/ModuleLabels.h"
#include "memory/SpdDecode.h"
#include "spdinfo/SpdDetails.h"
#include "spdinfo/SpdInfo.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool ValidUtf16(const std::u16string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF) {
            if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
                return false;
            }
            ++i;
        } else if (text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

// Text for a terminal: valid UTF-8 without control characters (JEP106 names are ASCII but for a few, such as
// "Xi\u2019an ...").
bool PrintableUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            if (lead < 0x20 || lead == 0x7F) {
                return false;
            }
            ++i;
            continue;
        }
        const std::size_t length = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// A clock count: "-" or digits, never a sign, "inf" or "nan".
bool ClockCountText(const std::u16string& text) {
    if (text == kNoTimeText) {
        return true;
    }
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

int LatencyFlags(const SpdImage& image) {
    const int low = std::popcount(image[20]) + std::popcount(image[21]) + std::popcount(image[22]);
    return low + std::popcount(static_cast<unsigned>(image[23] & 0x3F));
}

// A JSON value written by the --full sections: a string, object or array as written, or a plain number that is
// never negative, infinite or NaN, or null, true, false.
bool PlainJsonValue(const std::string& value) {
    static constexpr std::string_view kWords[] = {"null", "true", "false"};
    if (value[0] == '"' || value[0] == '{' || value[0] == '[' || std::ranges::find(kWords, value) != std::end(kWords)) {
        return true;
    }
    const std::size_t point = value.find('.');
    const auto digits = [](std::string_view part) {
        return !part.empty() && std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return point == std::string::npos
               ? digits(value)
               : digits(std::string_view(value).substr(0, point)) && digits(std::string_view(value).substr(point + 1));
}

// The --full sections: labelled fields of printable ASCII, JSON members with plain values, and the whole
// --json --full document printed.
void CheckDetails(const SpdImage& image) {
    for (const SpdDetailSection& section : DecodeSpdDetails(image)) {
        Require(!section.title.empty() && !section.key.empty());
        for (const SpdDetailField& field : section.fields) {
            // Only a part number of blanks is an empty text.
            Require(!field.label.empty() && (!field.text.empty() || field.label == "Part Number") &&
                    !field.json.empty());
            Require(PrintableUtf8(field.text));
            for (const SpdJsonMember& member : field.json) {
                Require(!member.key.empty() && !member.value.empty() && PlainJsonValue(member.value));
            }
        }
    }
    SpdInfoHost host;
    host.readStdin = [&] { return SpdFileRead(image); };
    std::ostringstream out, err;
    const int status = RunSpdInfo({"--json", "--full", "-"}, host, out, err);
    Require(status == kSpdInfoOk && err.str().empty() && out.str().ends_with("}\n"));
}

// The same bytes as a DDR5 image (zero-padded or cut to 1024): the model, the table and --json --full whole, every
// profile in an enabled slot, and a short stream refused rather than decoded.
void CheckDdr5(const std::uint8_t* data, std::size_t size) {
    ddr5::Image image{};
    std::memcpy(image.data(), data, std::min(size, image.size()));
    image[2] = ddr5::kTypeCode;
    const ddr5::Module module = ddr5::Decode(image);
    Require(module.profiles.size() <= 7 && module.subChannels >= 0 && module.subChannels <= 2);
    Require(!module.capacityMb || *module.capacityMb > 0);
    SpdInfoHost host;
    host.readStdin = [&] { return SpdFileRead(image); };
    std::ostringstream out, err;
    Require(RunSpdInfo({"--json", "--full", "-"}, host, out, err) == kSpdInfoOk && out.str().ends_with("}\n"));
    std::istringstream cut(std::string(reinterpret_cast<const char*>(image.data()), std::min<std::size_t>(size, 1023)));
    Require(std::holds_alternative<std::string>(ReadSpdStream(cut)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SpdImage image{};
    std::memcpy(image.data(), data, std::min(size, image.size()));

    const DecodedModule module = DecodeSpd(image, kFixedRowLabels);
    Require(module.xmpProfileCount >= 0 && module.xmpProfileCount <= 2);
    const std::size_t jedecRows = static_cast<std::size_t>(LatencyFlags(image));
    Require(module.rows.size() == kFixedRowCount + jedecRows + kRowsPerXmpProfile * module.xmpProfileCount);
    for (std::size_t r = 0; r < kFixedRowLabels.size(); ++r) {
        Require(module.rows[r][0] == kFixedRowLabels[r]);
        for (std::size_t c = 2; c < kModuleInfoColumnCount; ++c) {
            Require(module.rows[r][c].empty());
        }
    }
    Require(module.rows[kFixedRowCount - 1][1].empty());
    for (std::size_t r = kFirstJedecRow; r < kFirstJedecRow + jedecRows; ++r) {
        for (std::size_t c = 3; c < kModuleInfoColumnCount; ++c) {
            Require(ClockCountText(module.rows[r][c]));
        }
    }
    for (std::size_t r = kFirstJedecRow + jedecRows + 1; r < module.rows.size(); r += kRowsPerXmpProfile) {
        for (std::size_t c = 2; c < kModuleInfoColumnCount; ++c) {
            Require(ClockCountText(module.rows[r][c]));
        }
    }
    for (const ModuleInfoRow& row : module.rows) {
        for (const std::u16string& cell : row) {
            Require(ValidUtf16(cell));
        }
    }
    // Nothing but the bytes decides the table.
    Require(DecodeSpd(image, kFixedRowLabels).rows == module.rows);
    CheckDetails(image);
    CheckDdr5(data, size);
    return 0;
}
