// The SMBus stand-in's configuration, its module bus and its journal.
#include <gtest/gtest.h>

#include <map>

#include "smbus-sim/core/Journal.h"
#include "smbus-sim/core/SimConfig.h"

namespace {

using namespace smbus_sim;

TEST(SmbusSimConfig, ReadsEveryKey) {
    SimConfig c = ParseSimConfig("# virtual modules\n"
                                 "module 0 2 = a.bin\r\n"
                                 "  MODULE 1 5=dir/b.bin  \n"
                                 "\n"
                                 "checkspd = 0x04\n"
                                 "initialize = fail\n"
                                 "delay_ms = 0.4\n"
                                 "journal = out/j.txt\n"
                                 "require_bus_mutex = 1\n");
    EXPECT_TRUE(c.problems.empty()) << c.problems.front();
    EXPECT_TRUE(c.requireBusMutex);
    ASSERT_EQ(c.modules.size(), 2u);
    EXPECT_EQ(c.modules[0].first, 0);
    EXPECT_EQ(c.modules[0].second, 2);
    EXPECT_EQ(c.modules[0].file, "a.bin");
    EXPECT_EQ(c.modules[1].first, 1);
    EXPECT_EQ(c.modules[1].second, 5);
    EXPECT_EQ(c.modules[1].file, "dir/b.bin");
    EXPECT_EQ(c.checkSpdAnswer, 4);
    EXPECT_TRUE(c.initializeFails);
    EXPECT_DOUBLE_EQ(c.delayMsPerTransaction, 0.4);
    EXPECT_EQ(c.journalPath, "out/j.txt");
}

TEST(SmbusSimConfig, DefaultsWithoutAFile) {
    SimConfig c = ParseSimConfig("");
    EXPECT_TRUE(c.modules.empty());
    EXPECT_EQ(c.checkSpdAnswer, 6);
    EXPECT_FALSE(c.initializeFails);
    EXPECT_EQ(c.delayMsPerTransaction, 0.0);
    EXPECT_FALSE(c.requireBusMutex);
    EXPECT_TRUE(c.problems.empty());
}

TEST(SmbusSimConfig, ReportsEachBadLineAndKeepsTheGoodOnes) {
    SimConfig c = ParseSimConfig("module 2 0 = far.bin\n"
                                 "module 0 6 = far.bin\n"
                                 "module 0 = half.bin\n"
                                 "module x 1 = word.bin\n"
                                 "module 0 1 =\n"
                                 "checkspd = 256\n"
                                 "initialize = maybe\n"
                                 "delay_ms = -1\n"
                                 "colour = blue\n"
                                 "no equals sign\n"
                                 "require_bus_mutex = yes\n"
                                 "module 1 0 = good.bin\n");
    ASSERT_EQ(c.problems.size(), 11u);
    for (const auto& p : c.problems) {
        EXPECT_NE(p.find("config line"), std::string::npos) << p;
        EXPECT_EQ(p.find('\n'), std::string::npos) << "one line each: " << p;
    }
    EXPECT_NE(c.problems[0].find("out of range"), std::string::npos);
    EXPECT_NE(c.problems[8].find("unknown key \"colour\""), std::string::npos);
    ASSERT_EQ(c.modules.size(), 1u);
    EXPECT_EQ(c.modules[0].file, "good.bin");
    EXPECT_EQ(c.checkSpdAnswer, 6) << "a refused value leaves the default";
}

TEST(SmbusSimBus, ServesImagesAndAnswersFFWhereNothingIs) {
    ModuleBus bus;
    std::vector<std::uint8_t> image(512);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7);
    }
    EXPECT_EQ(bus.Place(1, 4, image), "");
    EXPECT_TRUE(bus.Occupied(1, 4));
    EXPECT_FALSE(bus.Occupied(0, 4));
    EXPECT_EQ(bus.Read(1, 4, 0), 0);
    EXPECT_EQ(bus.Read(1, 4, 511), static_cast<std::uint8_t>(511 * 7));
    EXPECT_EQ(bus.Read(1, 4, 512), 0xFF) << "past the image";
    EXPECT_EQ(bus.Read(0, 4, 3), 0xFF) << "empty position";
    EXPECT_EQ(bus.Read(2, 0, 0), 0xFF) << "no such position";
    EXPECT_EQ(bus.Read(0xFFFFFFFF, 0xFFFFFFFF, 0), 0xFF);

    EXPECT_NE(bus.Place(1, 1, std::vector<std::uint8_t>(511)), "");
    EXPECT_NE(bus.Place(1, 1, std::vector<std::uint8_t>(513)), "");
    EXPECT_FALSE(bus.Occupied(1, 1)) << "a refused image leaves the position empty";
    EXPECT_NE(bus.Place(-1, 0, image), "");
    EXPECT_NE(bus.Place(0, 6, image), "");
}

// A journal sink in memory that behaves like a file: appends at the end, overwrites in place.
class MemorySink final : public JournalSink {
public:
    std::uint64_t Append(std::string_view text) override {
        auto at = text_.size();
        text_ += text;
        return at;
    }
    void Overwrite(std::uint64_t offset, std::string_view text) override {
        ASSERT_LE(offset + text.size(), text_.size());
        text_.replace(static_cast<std::size_t>(offset), text.size(), text);
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = text_.find('\n', start)) != std::string::npos; start = end + 1) {
            lines.push_back(text_.substr(start, end - start));
        }
        return lines;
    }

private:
    std::string text_;
};

TEST(SmbusSimJournal, OneLinePerCallAndOneCountedLinePerReadRun) {
    MemorySink sink;
    Journal journal(sink);
    journal.Call(1000.25, "InitializeSMB", Journal::Hex(0x10000000, 8), 0x5A01);
    journal.ReadSpd(1001.0, 0, 0, 0, 0.4); // probe
    for (std::uint32_t offset = 0; offset < 512; ++offset) {
        journal.ReadSpd(1002.0, 0, 0, offset, 0.4);
    }
    journal.ReadSpd(1003.0, 0, 1, 0, 0.4); // probe of an empty position
    journal.Call(1004.0, "RGBI2CMode", "0x12, 0x00, 0x00, 0x00", 0x5A01);
    journal.Problem("module 0 3 \"x.bin\": image file cannot be read");

    auto lines = sink.Lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "1000.250 InitializeSMB(0x10000000) -> 0x00005A01");
    EXPECT_EQ(lines[1], "1001.000 ReadSPD(0, 0) first_offset=0 count=00001 last_offset=000 bus_ms=00000000.400");
    EXPECT_EQ(lines[2], "1002.000 ReadSPD(0, 0) first_offset=0 count=00512 last_offset=511 bus_ms=00000204.800");
    EXPECT_EQ(lines[3], "1003.000 ReadSPD(0, 1) first_offset=0 count=00001 last_offset=000 bus_ms=00000000.400");
    EXPECT_EQ(lines[4], "1004.000 RGBI2CMode(0x12, 0x00, 0x00, 0x00) -> 0x00005A01");
    EXPECT_EQ(lines[5], "PROBLEM module 0 3 \"x.bin\": image file cannot be read");
}

TEST(SmbusSimJournal, ACallBetweenReadsStartsANewRun) {
    MemorySink sink;
    Journal journal(sink);
    journal.ReadSpd(1.0, 1, 2, 10, 0.0);
    journal.Call(2.0, "CheckSPD", "", 6);
    journal.ReadSpd(3.0, 1, 2, 11, 0.0);
    journal.ReadSpd(4.0, 1, 2, 11, 0.0); // the same offset again is a new run too
    auto lines = sink.Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[2].find("first_offset=11 count=00001"), std::string::npos);
    EXPECT_NE(lines[3].find("first_offset=11 count=00001"), std::string::npos);
}

} // namespace
