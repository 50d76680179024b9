// spdinfo's portable parts that its command-line tests cannot reach: the checksum, JSON strings from bytes that
// are not valid UTF-8, and modules read from a bus.
#include <gtest/gtest.h>

#include <sstream>

#include "spdinfo/SpdInfo.h"

namespace {

TEST(SpdInfo, Crc16IsTheJedecPolynomialFromZero) {
    const std::string check = "123456789";
    EXPECT_EQ(SpdCrc16(reinterpret_cast<const std::uint8_t*>(check.data()), check.size()), 0x31C3);
    EXPECT_EQ(SpdCrc16(nullptr, 0), 0);

    SpdImage image{};
    image[2] = 0x0C;
    image[200] = 0x41;
    const std::uint16_t base = SpdCrc16(image.data(), 126);
    const std::uint16_t module = SpdCrc16(image.data() + 128, 126);
    ASSERT_NE(base & 0xFF, base >> 8);
    image[126] = static_cast<std::uint8_t>(base);
    image[127] = static_cast<std::uint8_t>(base >> 8);
    image[254] = static_cast<std::uint8_t>(module >> 8); // stored the wrong way round
    image[255] = static_cast<std::uint8_t>(module);
    SpdChecksums checksums = CheckSpdChecksums(image);
    EXPECT_TRUE(checksums.base);
    EXPECT_FALSE(checksums.module);
}

TEST(SpdInfo, JsonStringsAreAlwaysValid) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"DDR4-3200 ( 1600MHz )", "\"DDR4-3200 ( 1600MHz )\""},
        {"a\"b\\c/", "\"a\\\"b\\\\c/\""},
        {std::string("\x00\x01\n\x1F\x7F", 5), "\"\\u0000\\u0001\\u000A\\u001F\x7F\""},
        {"制造商 é \xF0\x9F\x98\x80", "\"制造商 é \xF0\x9F\x98\x80\""},
        {"\xC3", "\"\uFFFD\""},                               // cut short
        {"\xC3(", "\"\uFFFD(\""},                             // continuation byte missing
        {"\xC0\x80", "\"\uFFFD\uFFFD\""},                     // overlong NUL
        {"\xED\xA0\x80", "\"\uFFFD\uFFFD\uFFFD\""},           // a surrogate
        {"\xF4\x90\x80\x80", "\"\uFFFD\uFFFD\uFFFD\uFFFD\""}, // beyond U+10FFFF
        {"\xFF\xFE", "\"\uFFFD\uFFFD\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JsonString(c.in), c.out) << c.in;
    }
}

TEST(SpdInfo, BusModulesAreDecodedUnderTheirNames) {
    SpdImage kingston{};
    kingston[320] = 0x01;
    kingston[321] = 0x98;
    SpdInfoHost host;
    host.pathOf = [](const std::string& arg) { return std::filesystem::path(arg); };
    host.readBus = [&] { return SpdBusRead{{{"DIMM0", true, kingston}, {"DIMM1", true, SpdImage{}}}, ""}; };
    std::ostringstream out, err;
    EXPECT_EQ(RunSpdInfo({"--json", "--bus"}, host, out, err), kSpdInfoOk);
    EXPECT_EQ(err.str(), "");
    EXPECT_NE(out.str().find("\"module\": \"DIMM0\""), std::string::npos);
    EXPECT_NE(out.str().find("\"module\": \"DIMM1\""), std::string::npos);
    EXPECT_NE(out.str().find("\"Kingston\""), std::string::npos);

    struct Case {
        SpdBusRead bus;
        const char* error;
    } failures[] = {
        {{{}, "cannot load MsIo32.dll from C:\\x"}, "spdinfo: --bus: cannot load MsIo32.dll from C:\\x\n"},
        {{{}, ""}, "spdinfo: --bus: no module answered on the SMBus\n"},
    };
    for (const Case& c : failures) {
        host.readBus = [&] { return c.bus; };
        std::ostringstream text, errors;
        EXPECT_EQ(RunSpdInfo({"--bus"}, host, text, errors), kSpdInfoBadInput);
        EXPECT_EQ(errors.str(), c.error);
        EXPECT_EQ(text.str(), "");
    }

    // Output that cannot be written is a failure too, not a success.
    host.readBus = [&] { return SpdBusRead{{{"DIMM0", true, kingston}}, ""}; };
    std::ostringstream closed, errors;
    closed.setstate(std::ios::badbit);
    EXPECT_EQ(RunSpdInfo({"--bus"}, host, closed, errors), kSpdInfoBadInput);
    EXPECT_EQ(errors.str(), "spdinfo: the output could not be written\n");
}

} // namespace
