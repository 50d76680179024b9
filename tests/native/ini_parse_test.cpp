// How the reader turns text into sections, keys and values, and which names a look-up matches.
#include "tests/native/ini_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Found = std::optional<std::u16string>;

struct LookupCase {
    std::u16string_view text;
    std::u16string_view section;
    std::u16string_view key;
    Found expected;
};

const std::vector<LookupCase> LookupCases = {
    {u"[A]\nx=1\n", u"A", u"x", u"1"},
    // Byte-order mark and CR LF; CR alone also ends a line.
    {u"\uFEFF[A]\r\nx=1\r\ny=2\r\n", u"A", u"x", u"1"},
    {u"[A]\rx=1\ry=2\r", u"A", u"y", u"2"},
    // Names are trimmed of blanks, values are not; a value keeps "=", "[" and "]".
    {u"[ Gpu1 ]\nId = 5\n", u"Gpu1", u"Id", u" 5"},
    {u"[A]\nx= a=[b] \r\n", u"A", u"x", u" a=[b] "},
    {u"[A]\nId=\n", u"A", u"Id", u""},
    {u"[\tA]\nx=1\n", u"A", u"x", std::nullopt},
    {u"[  ]\nx=1\n", u"  ", u"x", u"1"},
    {u"[  ]\nx=1\n", u"", u"x", std::nullopt},
    // The last line's value needs a line end.
    {u"[A]\ny=2\nx=1", u"A", u"x", std::nullopt},
    {u"[A]\ny=2\nx=1", u"A", u"y", u"2"},
    // Text after "]" reads like a new line; "[" inside a name starts it again; an unclosed header is dropped.
    {u"[A] x=1\n", u"A", u"x", u"1"},
    {u"[A[B]\nx=1\n", u"B", u"x", u"1"},
    {u"[A[B]\nx=1\n", u"A[B", u"x", std::nullopt},
    {u"[A]\n[B\nx=1\n", u"A", u"x", u"1"},
    {u"[A]\n[B\nx=1\n", u"B", u"x", std::nullopt},
    // No comments; lines without "=" are dropped; "=", "]" and a mark do not start a key at a line's start.
    {u"[A]\n; x=1\n", u"A", u"; x", u"1"},
    {u"[A]\nno key here\nx=1\n", u"A", u"no key here", std::nullopt},
    {u"[A]\n=5\n", u"A", u"", std::nullopt},
    {u"[A]\n =5\n", u"A", u" ", u"5"},
    {u"[A]\n]x=1\n", u"A", u"x", u"1"},
    {u"[A]\n\uFEFFx=1\n", u"A", u"x", u"1"},
    {u"[A]\na\uFEFFb=1\n", u"A", u"a\uFEFFb", u"1"},
    // Before the first section a key line is dropped, and its "[" is text, so no section starts there.
    {u"y=1\n[A]\n", u"A", u"y", std::nullopt},
    {u"x=[A]\ny=1\n", u"A", u"y", std::nullopt},
    // Duplicates are kept; the first wins.
    {u"[A]\nx=1\nx=2\n[A]\ny=3\n", u"A", u"x", u"1"},
    {u"[A]\nx=1\nx=2\n[A]\ny=3\n", u"A", u"y", std::nullopt},
    // Case is ignored; a name matches only in full.
    {u"[GPU1]\nID=7\n", u"gpu1", u"id", u"7"},
    {u"[Gpu10]\nId=a\n[Gpu1]\nId=b\n", u"Gpu1", u"Id", u"b"},
    {u"[A]\nIdentifier=1\nId=2\n", u"A", u"Id", u"2"},
    {u"[A]\nx=1\n", u"", u"x", std::nullopt},
    {u"[]\nx=1\n", u"", u"x", u"1"},
};

TEST(ini_parse, LookupsFollowTheFormat) {
    for (const LookupCase& c : LookupCases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - LookupCases.data()));
        EXPECT_EQ(IniFromText(c.text).Read(c.section, c.key), c.expected);
    }
}

TEST(ini_parse, OptionsChangeNameMatching) {
    IniFromText sensitive(u"[Gpu1]\nId=1\n");
    sensitive.ini.SetCaseSensitive(true);
    EXPECT_EQ(sensitive.Read(u"gpu1", u"Id"), std::nullopt);
    EXPECT_EQ(sensitive.Read(u"Gpu1", u"Id"), u"1");

    CStdioIniFiles files;
    CIni untrimmed(files);
    untrimmed.SetTrimNames(false);
    untrimmed.LoadText(u"[ A ]\nx=1\n");
    char16_t buffer[8];
    EXPECT_FALSE(untrimmed.ReadString(u"A", u"x", buffer));
    EXPECT_TRUE(untrimmed.ReadString(u" A ", u"x", buffer));
}

TEST(ini_parse, TreeHoldsEveryNodeUntilClosed) {
    // root, A, x+value, y+value, B, z+value, w (its line never ended, so no value)
    IniFromText file(u"[A]\nx=1\ny=2\n[B]\nz=3\nw=4");
    EXPECT_EQ(file.ini.NodeCount(), 10u);
    EXPECT_TRUE(file.ini.Close());
    EXPECT_EQ(file.ini.NodeCount(), 0u);
    EXPECT_EQ(file.Read(u"A", u"x"), std::nullopt);
}

} // namespace
