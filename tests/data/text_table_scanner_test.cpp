#include "data/text_table_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> linesOf(std::string_view text)
{
    TextTableScanner scanner(text);
    std::vector<std::string> lines;
    std::string_view line;
    while (scanner.nextLine(line))
        lines.emplace_back(line);
    return lines;
}

TEST(TextTableScanner, CutsCommentsAndLineEnds)
{
    EXPECT_EQ(linesOf("1 a\r\n# all comment\r\n2 b # tail\n3"),
        (std::vector<std::string> { "1 a", "", "2 b ", "3" }));
    EXPECT_EQ(linesOf("x #\r\n"), (std::vector<std::string> { "x " }));
    EXPECT_TRUE(linesOf("").empty());
}

// The fields come from files: numbers that do not fit, signs without digits
// and prefixes without digits must neither wrap nor be taken as numbers.
struct IntCase {
    const char* name;
    const char* line;
    bool read;
    int32_t value;
    // What the next word is after the number; empty when none is left.
    const char* rest;
};

class LineFieldsInt : public testing::TestWithParam<IntCase> { };

TEST_P(LineFieldsInt, ReadsOrRefuses)
{
    const IntCase& c = GetParam();
    LineFields fields(c.line);
    int32_t value = -12345;
    EXPECT_EQ(fields.readInt(value), c.read);
    EXPECT_EQ(value, c.read ? c.value : -12345) << "a refused field leaves the value alone";
    std::string_view word;
    fields.readWord(word);
    EXPECT_EQ(word, c.rest);
}

INSTANTIATE_TEST_SUITE_P(Fields, LineFieldsInt,
    testing::Values(IntCase { "Plain", "  42 next", true, 42, "next" },
        IntCase { "Signs", "-7", true, -7, "" }, IntCase { "PlusSign", "+7", true, 7, "" },
        IntCase { "StopsAtOtherCharacter", "12x", true, 12, "x" },
        IntCase { "TooLargeClamps", "99999999999999999999", true, INT32_MAX, "" },
        IntCase { "TooSmallClamps", "-99999999999999999999", true, INT32_MIN, "" },
        IntCase { "MostNegative", "-2147483648", true, INT32_MIN, "" },
        IntCase { "SignAlone", "- 5", false, 0, "-" }, IntCase { "Word", "abc", false, 0, "abc" },
        IntCase { "Empty", "", false, 0, "" }),
    [](const testing::TestParamInfo<IntCase>& caseInfo) { return std::string(caseInfo.param.name); });

struct HexCase {
    const char* name;
    const char* line;
    bool read;
    uint32_t value;
    const char* rest;
};

class LineFieldsHex : public testing::TestWithParam<HexCase> { };

TEST_P(LineFieldsHex, ReadsOrRefuses)
{
    const HexCase& c = GetParam();
    LineFields fields(c.line);
    uint32_t value = 0xDEAD;
    EXPECT_EQ(fields.readHex(value), c.read);
    EXPECT_EQ(value, c.read ? c.value : 0xDEADu);
    std::string_view word;
    fields.readWord(word);
    EXPECT_EQ(word, c.rest);
}

INSTANTIATE_TEST_SUITE_P(Fields, LineFieldsHex,
    testing::Values(HexCase { "Prefixed", "0x1F end", true, 0x1F, "end" },
        HexCase { "UpperPrefixAndDigits", "0XaBc", true, 0xABC, "" }, HexCase { "Bare", "ff", true, 0xFF, "" },
        HexCase { "PrefixWithoutDigitsIsAZero", "0x", true, 0, "x" },
        HexCase { "LongRunKeepsTheLow32Bits", "123456789", true, 0x23456789, "" },
        HexCase { "NotHex", "g1", false, 0, "g1" }, HexCase { "Empty", "   ", false, 0, "" }),
    [](const testing::TestParamInfo<HexCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST(LineFields, CharDoesNotSkipBlanks)
{
    LineFields fields("1 x2");
    int32_t value = 0;
    ASSERT_TRUE(fields.readInt(value));
    EXPECT_FALSE(fields.readChar('x'));
    std::string_view word;
    ASSERT_TRUE(fields.readWord(word));
    EXPECT_EQ(word, "x2");
    EXPECT_FALSE(fields.readChar('x')) << "at the end of the line";
}

} // namespace
