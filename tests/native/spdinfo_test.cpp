// spdinfo's portable parts that its command-line tests cannot reach: the checksum, JSON strings from bytes that
// are not valid UTF-8, and modules read from a bus, with the bus held and the positions passed over.
#include <gtest/gtest.h>

#include <set>
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

// --bus holds the bus around each probe and each module read, and names each position passed over because the
// bus stayed busy: the probe of an empty slot, the probe of a module, or a module's read after its probe answered.
TEST(SpdInfo, BusPositionsPassedOverAreNamed) {
    struct Case {
        const char* what;
        std::set<int> busyHolds; // the holds (from 1, in order) the bus stays busy for
        std::vector<SpdBusGate::PassedOver> passed;
        std::size_t modulesRead;
    } cases[] = {
        {"bus free", {}, {}, 2},
        {"an empty position", {2}, {{{0, 1}, false}}, 2},
        {"a module's probe", {3}, {{{0, 2}, false}}, 1},
        {"a module's read", {4}, {{{0, 2}, true}}, 1},
        {"the probe after a module", {5}, {{{0, 3}, false}}, 2},
        {"the last module's read", {13}, {{{1, 4}, true}}, 1},
        {"the last position", {14}, {{{1, 5}, false}}, 2},
        {"two in a row", {1, 2}, {{{0, 0}, false}, {{0, 1}, false}}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int holds = 0;
        bool held = false, readUnheld = false;
        SpdBusGate gate(
            [&](unsigned long) {
                held = !c.busyHolds.contains(++holds);
                return held;
            },
            [&] { held = false; });
        // Modules at (0, 2) and (1, 4).
        const SpdByteReader read = gate.Watching([&](std::uint8_t first, std::uint8_t second, std::uint16_t) {
            readUnheld = readUnheld || !held;
            return static_cast<std::uint8_t>(
                (first == 0 && second == 2) || (first == 1 && second == 4) ? kDdr4SpdFirstByte : 0xFF);
        });
        SpdImageStoreArray store{};
        EXPECT_EQ(static_cast<std::size_t>(DetectModules(read, store, &gate)), c.modulesRead);
        EXPECT_FALSE(readUnheld);
        ASSERT_EQ(gate.Passed().size(), c.passed.size());
        for (std::size_t i = 0; i < c.passed.size(); ++i) {
            EXPECT_EQ(gate.Passed()[i].position, c.passed[i].position) << i;
            EXPECT_EQ(gate.Passed()[i].moduleFound, c.passed[i].moduleFound) << i;
        }
    }
    EXPECT_EQ(SpdBusPassedOverText({{1, 4}, true}),
              "module position (1, 4) passed over: the SMBus stayed busy after its module answered, so the module was "
              "not read");

    // One stderr line each; the modules read are decoded and the run succeeds.
    SpdInfoHost host;
    host.readBus = [] {
        SpdBusRead bus;
        bus.modules.push_back({"DIMM0", true, SpdImage{}});
        bus.passedOver.push_back(SpdBusPassedOverText({{0, 3}, false}));
        return bus;
    };
    std::ostringstream out, err;
    EXPECT_EQ(RunSpdInfo({"--bus"}, host, out, err), kSpdInfoOk);
    EXPECT_EQ(err.str(), "spdinfo: --bus: module position (0, 3) passed over: the SMBus stayed busy\n");
    EXPECT_NE(out.str().find("# DIMM0"), std::string::npos);
}

} // namespace
