#include "core/wide_text.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>

namespace {

struct NumberCase {
    const char* name;
    const char16_t* text;
    int32_t decimal;
    int32_t hex;
};

class WideNumberParsing : public ::testing::TestWithParam<NumberCase> { };

TEST_P(WideNumberParsing, ReadsSignsAndDigitsUpToTheFirstOtherUnit)
{
    EXPECT_EQ(wstrToInt(GetParam().text), GetParam().decimal);
    EXPECT_EQ(hexToInt(GetParam().text), GetParam().hex);
}

INSTANTIATE_TEST_SUITE_P(Texts, WideNumberParsing,
    ::testing::Values(NumberCase { "DigitsThenLetters", u"12abc", 12, 0x12abc },
        NumberCase { "MinusPlusDigit", u"-+7", -7, -7 }, NumberCase { "MinusInsideDigitsFlipsTheSign", u"1-2", -12, -0x12 },
        NumberCase { "PlusInsideDigitsIsSkipped", u"1+2x3", 12, 0x12 },
        NumberCase { "TwoMinuses", u"--5", 5, 5 }, NumberCase { "Empty", u"", 0, 0 },
        NumberCase { "NotANumber", u"x9", 0, 0 }, NumberCase { "Null", nullptr, 0, 0 },
        NumberCase { "LongRunWraps", u"4294967297", 1, int32_t(0x94967297u) },
        NumberCase { "SignAfterTheLastDigit", u"7-", -7, -7 }),
    [](const ::testing::TestParamInfo<NumberCase>& param) { return std::string(param.param.name); });

TEST(WideText, SaturatedNumbersStopAtTheLargestValue)
{
    EXPECT_EQ(wstrToIntSaturated(u"4294967297"), INT_MAX);
    EXPECT_EQ(wstrToIntSaturated(u"-99999999999"), -INT_MAX);
    EXPECT_EQ(wstrToIntSaturated(u"2-1"), -21);
    EXPECT_EQ(wstrToIntSaturated(nullptr), 0);
}

TEST(WideText, WritesNumbersInAnyRadix)
{
    char16_t buffer[40];
    EXPECT_EQ(intToWstr(0, buffer, 10), 1);
    EXPECT_EQ(std::u16string(buffer), u"0");
    intToWstr(-45, buffer, 10);
    EXPECT_EQ(std::u16string(buffer), u"-45");
    intToWstr(INT_MAX, buffer, 10);
    EXPECT_EQ(std::u16string(buffer), u"2147483647");
    EXPECT_EQ(intToWstr(INT_MIN, buffer, 10), 11);
    EXPECT_EQ(std::u16string(buffer), u"-2147483648");
    EXPECT_EQ(intToWstr(INT_MIN, buffer, 2), 33);
    intToWstr(35 * 36 + 24, buffer, 36);
    EXPECT_EQ(std::u16string(buffer), u"zo");
    EXPECT_EQ(intToWstr(5, buffer, 1), 0);
    EXPECT_EQ(std::u16string(buffer), u"");
}

TEST(WideText, DecodesUtf8ByLeadByte)
{
    char16_t buffer[8];
    utf8ToWide(buffer, "\xC3\xA9", 8);
    EXPECT_EQ(std::u16string(buffer), u"\u00E9");
    utf8ToWide(buffer, "\xE2\x82\xAC!", 8);
    EXPECT_EQ(std::u16string(buffer), u"\u20AC!");
    utf8ToWide(buffer, "abcde", 3);
    EXPECT_EQ(std::u16string(buffer), u"ab");
}

TEST(WideText, Utf8DecodingStopsAtATerminatorInsideASequence)
{
    // Each input ends inside a sequence; the bytes after it must not be read.
    const char cutTwo[] = { 'a', '\xC3', '\0', 'Z', '\0' };
    const char cutThree[] = { 'a', '\xE2', '\x82', '\0', 'Z', '\0' };
    char16_t buffer[8] = { 1, 1, 1, 1, 1, 1, 1, 1 };
    utf8ToWide(buffer, cutTwo, 8);
    EXPECT_EQ(std::u16string(buffer), u"a");
    utf8ToWide(buffer, cutThree, 8);
    EXPECT_EQ(std::u16string(buffer), u"a");
    buffer[0] = 1;
    utf8ToWide(buffer, "abc", 0);
    EXPECT_EQ(buffer[0], 1);
    utf8ToWide(buffer, nullptr, 8);
    EXPECT_EQ(buffer[0], 0);
}

TEST(WideText, EncodesUtf8WithinTheGivenSize)
{
    EXPECT_EQ(wideToUtf8(nullptr, u"\u00E9", 0), 3);
    EXPECT_EQ(wideToUtf8(nullptr, u"\u007F", 0), 2);
    EXPECT_EQ(wideToUtf8(nullptr, u"\U0001F600", 0), 7);
    EXPECT_EQ(wideToUtf8(nullptr, u"x", 4), 0);
    char buffer[16];
    EXPECT_EQ(wideToUtf8(buffer, nullptr, 16), 0);

    // The size measured first is enough to convert the whole text.
    const char16_t* text = u"a\u00E9\u20AC";
    int32_t needed = wideToUtf8(nullptr, text, 0);
    EXPECT_EQ(needed, 7);
    EXPECT_EQ(wideToUtf8(buffer, text, needed), 7);
    EXPECT_EQ(std::string(buffer), "a\xC3\xA9\xE2\x82\xAC");
    // One byte less drops the whole last sequence, never half of it.
    EXPECT_EQ(wideToUtf8(buffer, text, needed - 1), 4);
    EXPECT_EQ(std::string(buffer), "a\xC3\xA9");
    EXPECT_EQ(wideToUtf8(buffer, text, 1), 1);
    EXPECT_EQ(buffer[0], 0);
}

TEST(WideText, FoldsCase)
{
    EXPECT_EQ(wcharToLower(0xD7), 0xF7);
    EXPECT_EQ(wcharToLower(0x130), 0x131);
    EXPECT_EQ(wcharToLower(0x17B), 0x17C);
    EXPECT_EQ(wcharToLower(0x80), 0xE7);
    EXPECT_EQ(wcharToLower(0x8E), 0xE4);
    EXPECT_EQ(wcharToLower(u'Q'), u'q');
    EXPECT_EQ(wcharToLower(0x20AC), 0x20AC);
    EXPECT_EQ(wcharToUpper(u'q'), u'Q');
    EXPECT_EQ(wcharToUpper(0xE9), 0xE9);
}

TEST(WideText, ComparesWithAndWithoutCase)
{
    EXPECT_EQ(wstrCompare(u"abc", u"abd"), -1);
    EXPECT_EQ(wstrCompare(u"\u00E9", u"e"), 1);
    EXPECT_EQ(wstrCompare(u"", nullptr), 0);
    EXPECT_EQ(wstrCompareNoCase(u"Lord", u"LORD"), 0);
    EXPECT_EQ(wstrCompareNoCase(u"Lord", u"LORDS"), -1);
    EXPECT_EQ(wstrCompareNoCaseN(u"TITLE>", u"title", 5), 0);
    EXPECT_EQ(wstrCompareNoCaseN(u"TI", u"ti", 5), 0);
    EXPECT_EQ(wstrCompareNoCaseN(u"TI", u"tix", 5), -1);
}

TEST(WideText, FindsAPatternIgnoringCase)
{
    EXPECT_EQ(wstrFindNoCase(u"DRAGON", u"a red dragon"), 6);
    EXPECT_EQ(wstrFindNoCase(u"aab", u"aaab"), 1);
    EXPECT_EQ(wstrFindNoCase(u"longer text", u"short"), -1);
    EXPECT_EQ(wstrFindNoCase(u"", u"short"), -1);
    EXPECT_EQ(wstrFindNoCase(u"\u00C9t\u00C9", u"\u00E9t\u00E9"), 0);
}

TEST(WideText, CopiesAndAppendsWithinBounds)
{
    char16_t buffer[8] = { 0x7777, 0x7777, 0x7777, 0x7777, 0x7777, 0x7777, 0x7777, 0x7777 };
    wstrCopyN(buffer, u"abcdef", 3);
    EXPECT_EQ(std::u16string(buffer), u"abc");
    wstrCatN(buffer, u"defghij", 6);
    EXPECT_EQ(std::u16string(buffer), u"abcde");
    EXPECT_EQ(buffer[6], 0x7777);
    wstrCopy(buffer, u"ab");
    wstrCat(buffer, u"c");
    wstrCatAscii(buffer, "d\xE9");
    EXPECT_EQ(std::u16string(buffer), u"abcd\u00E9");
    asciiToWideN(buffer, "xyz", 2);
    EXPECT_EQ(std::u16string(buffer), u"xy");
    EXPECT_EQ(std::u16string(wstrDup(u"dup").get()), u"dup");
    EXPECT_EQ(wstrDup(nullptr), nullptr);
    EXPECT_EQ(byteToWide(-23), 0xE9);
}

TEST(WideText, NarrowsToBytes)
{
    char bytes[8];
    wideToAscii(bytes, u"a\u00E9\u0141");
    EXPECT_EQ(std::string(bytes), "a\xE9\x41");
    wideToAsciiDropHigh(bytes, u"a\u00E9b\u20AC");
    EXPECT_EQ(std::string(bytes), "ab");
}

TEST(WideText, BoundaryConversionsGiveWellFormedUtf8)
{
    EXPECT_EQ(wideToUtf8String(u"\U0001F600"), "\xF0\x9F\x98\x80");
    const char16_t loneSurrogate[] = { u'a', 0xD800, u'b', 0 };
    EXPECT_EQ(wideToUtf8String(loneSurrogate), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(wideToUtf8String(nullptr), "");
    EXPECT_EQ(narrowToUtf8String("\xE9t\xE9"), "\xC3\xA9t\xC3\xA9");
}

} // namespace
