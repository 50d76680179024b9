// Loading files: sizes, short reads, the decoding hook, and what a failed load leaves behind.
#include "tests/native/ini_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Fixture(const char* name) {
    const std::string path = std::string(PRISMEL_TESTDATA) + "/ini/" + name;
    return std::u16string(path.begin(), path.end());
}

// Turns every "0" into "9" and counts its calls.
struct NineDecoder final : IIniDecoder {
    int calls = 0;
    void Decode(char16_t* text, std::int32_t length) override {
        ++calls;
        for (std::int32_t i = 0; i < length; ++i) {
            text[i] = text[i] == u'0' ? u'9' : text[i];
        }
    }
};

// Reports a size larger than the file it opens, as when a file shrinks between finding and reading it.
struct ShrunkFile final : IIniFileSource {
    std::optional<std::uint64_t> FindFile(std::u16string_view) override { return 64; }
    FilePtr OpenFile(std::u16string_view) override {
        FilePtr file(std::tmpfile());
        const char16_t text[] = u"[A]\nx=1\n";
        std::fwrite(text, sizeof(char16_t), 8, file.get());
        std::rewind(file.get());
        return file;
    }
};

TEST(ini_load, ReadsUtf16AsStoredOnly) {
    CStdioIniFiles files;
    CIni ini(files);
    char16_t buffer[16];
    ASSERT_TRUE(ini.Load(Fixture("bom_crlf.ini"), false));
    EXPECT_TRUE(ini.ReadString(u"gpu1", u"Id", buffer));
    EXPECT_EQ(std::u16string(buffer), u"10DE");

    ASSERT_TRUE(ini.Load(Fixture("ansi.ini"), false));
    EXPECT_FALSE(ini.ReadString(u"Gpu1", u"Id", buffer));
    EXPECT_EQ(ini.NodeCount(), 1u); // a root, and not one section

    ASSERT_TRUE(ini.Load(Fixture("odd_size.ini"), false));
    EXPECT_TRUE(ini.ReadString(u"A", u"y", buffer));
    EXPECT_FALSE(ini.ReadString(u"A", u"x", buffer)); // its line end was the odd byte

    ASSERT_TRUE(ini.Load(Fixture("empty.ini"), false));
    EXPECT_FALSE(ini.Load(Fixture("missing.ini"), false));
    EXPECT_EQ(ini.NodeCount(), 0u);
}

TEST(ini_load, DecodesOnlyWhenAskedAndWholeFileRead) {
    CStdioIniFiles files;
    NineDecoder decoder;
    CIni ini(files, &decoder);
    char16_t buffer[16];
    ASSERT_TRUE(ini.Load(Fixture("bom_crlf.ini"), false));
    EXPECT_EQ(decoder.calls, 0);
    ASSERT_TRUE(ini.Load(Fixture("bom_crlf.ini"), true));
    EXPECT_EQ(decoder.calls, 1);
    ASSERT_TRUE(ini.ReadString(u"Gpu1", u"Id", buffer));
    EXPECT_EQ(std::u16string(buffer), u"19DE");

    ShrunkFile shrunk;
    CIni short_read(shrunk, &decoder);
    EXPECT_FALSE(short_read.Load(u"any", true));
    EXPECT_EQ(decoder.calls, 1);
    EXPECT_EQ(short_read.NodeCount(), 0u);
}

} // namespace
