// Reading a value as a string into a bounded buffer, and as an integer.
#include "tests/native/ini_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr std::int32_t Untouched = -12345;

TEST(ini_read, StringNeverWritesPastTheBuffer) {
    IniFromText file(u"[A]\nx=abc\n");
    char16_t buffer[8] = {u'?', u'?', u'?', u'?', u'?', u'?', u'?', u'?'};

    EXPECT_TRUE(file.ini.ReadString(u"A", u"x", buffer, 4));
    EXPECT_EQ(std::u16string(buffer), u"abc");

    buffer[0] = u'?';
    EXPECT_FALSE(file.ini.ReadString(u"A", u"x", buffer, 3)); // no room for the terminator
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(buffer[1], u'b'); // nothing beyond the empty string was written

    buffer[0] = u'?';
    EXPECT_FALSE(file.ini.ReadString(u"A", u"x", buffer, 0));
    EXPECT_FALSE(file.ini.ReadString(u"A", u"missing", buffer, 8));
    EXPECT_EQ(buffer[0], u'?');
}

struct IntCase {
    std::u16string_view value;
    int base;
    std::int32_t expected;
};

const std::vector<IntCase> IntCases = {
    {u"5", 10, 5},
    {u" \t-42x", 10, -42},
    {u"+7", 10, 7},
    {u"0x1F", 0, 31},
    {u"-0x1f", 16, -31},
    {u"017", 0, 15},
    {u"019", 0, 1},
    {u"0x", 16, 0},
    {u"0xg", 0, 0},
    {u"zz", 36, 1295},
    {u"2147483647", 10, std::numeric_limits<std::int32_t>::max()},
    {u"2147483648", 10, std::numeric_limits<std::int32_t>::max()},
    {u"-2147483648", 10, std::numeric_limits<std::int32_t>::min()},
    {u"-99999999999999999999", 10, std::numeric_limits<std::int32_t>::min()},
    {u"abc", 10, 0},
    {u"", 10, 0},
    {u"12", 1, 0},
};

TEST(ini_read, IntConvertsLikeTheRuntime) {
    for (const IntCase& c : IntCases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - IntCases.data()));
        IniFromText file(u"[A]\nx=" + std::u16string(c.value) + u"\n");
        std::int32_t value = Untouched;
        EXPECT_TRUE(file.ini.ReadInt(u"A", u"x", value, c.base));
        EXPECT_EQ(value, c.expected);
    }
}

TEST(ini_read, IntStopsAtTheEndOfTheValue) {
    // Skipping blanks must not run on into the next line's digits, nor past the end of the text.
    IniFromText file(u"[A]\nx= \n7=1\ny=\r\n");
    std::int32_t value = Untouched;
    EXPECT_TRUE(file.ini.ReadInt(u"A", u"x", value, 10));
    EXPECT_EQ(value, 0);
    value = Untouched;
    EXPECT_TRUE(file.ini.ReadInt(u"A", u"y", value, 0));
    EXPECT_EQ(value, 0);

    value = Untouched;
    EXPECT_FALSE(file.ini.ReadInt(u"A", u"z", value, 10));
    EXPECT_FALSE(file.ini.ReadInt(u"B", u"x", value, 10));
    EXPECT_EQ(value, Untouched);
}

} // namespace
