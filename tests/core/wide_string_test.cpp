#include "core/wide_string.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

// A sequence of operations and the state it must leave: the text (null for
// the null text), its length and the capacity, which callers rely on exactly.
struct WStringCase {
    const char* name;
    std::function<std::unique_ptr<WString>()> run;
    const char16_t* text;
    int32_t length;
    int32_t capacity;
};

std::unique_ptr<WString> make() { return std::make_unique<WString>(); }
std::unique_ptr<WString> make(const char16_t* text) { return std::make_unique<WString>(text); }
std::unique_ptr<WString> makeNarrow(const char* text) { return std::make_unique<WString>(text); }

const WStringCase kWStringCases[] = {
    { "DefaultIsEmptyWithOneUnit", [] { return make(); }, u"", 0, 1 },
    { "NullWideHasNoBuffer", [] { return make(nullptr); }, nullptr, 0, 0 },
    { "WideCopyFitsExactly", [] { return make(u"abc"); }, u"abc", 3, 4 },
    { "NarrowLeavesCapacityZero", [] { return makeNarrow("ab"); }, u"ab", 2, 0 },
    { "NarrowWidensUnsigned", [] { return makeNarrow("\xE9"); }, u"\u00E9", 1, 0 },
    { "NullNarrow", [] { return makeNarrow(nullptr); }, nullptr, 0, 0 },
    { "CopyOfNull",
        [] {
            WString null(static_cast<const char16_t*>(nullptr));
            return std::make_unique<WString>(null);
        },
        nullptr, 0, 0 },
    { "AppendToEmptyGrowsByOne",
        [] {
            auto s = make();
            s->append(u"abc");
            return s;
        },
        u"abc", 3, 4 },
    { "EveryAppendReallocates",
        [] {
            auto s = make();
            s->append(u"abc");
            s->append(u"d");
            return s;
        },
        u"abcd", 4, 5 },
    { "AppendEmptyOrNullChangesNothing",
        [] {
            auto s = make(u"ab");
            s->append(u"");
            s->append(static_cast<const char16_t*>(nullptr));
            s->append(WString(static_cast<const char16_t*>(nullptr)));
            return s;
        },
        u"ab", 2, 3 },
    { "AppendToNull",
        [] {
            auto s = make(nullptr);
            s->append(u"xy");
            return s;
        },
        u"xy", 2, 3 },
    { "AssignNullKeepsTheBuffer",
        [] {
            auto s = make(u"abc");
            s->assign(static_cast<const char16_t*>(nullptr));
            return s;
        },
        u"", 0, 4 },
    { "AssignNullToNullStaysNull",
        [] {
            auto s = make(nullptr);
            s->assign(WString(static_cast<const char16_t*>(nullptr)));
            return s;
        },
        nullptr, 0, 0 },
    { "AssignShorterKeepsCapacity",
        [] {
            auto s = make(u"abcdef");
            s->assign(u"xy");
            return s;
        },
        u"xy", 2, 7 },
    { "AssignLongerGrowsToFit",
        [] {
            auto s = make(u"ab");
            s->assign(u"wxyz");
            return s;
        },
        u"wxyz", 4, 5 },
    { "AssignAfterNarrowAlwaysReallocates",
        [] {
            auto s = makeNarrow("abcdef");
            s->assign(u"x");
            return s;
        },
        u"x", 1, 2 },
    { "AssignNarrowWidensUnsigned",
        [] {
            auto s = make();
            s->assignNarrow("\xE9");
            return s;
        },
        u"\u00E9", 1, 2 },
    { "AssignInt",
        [] {
            auto s = make();
            s->assignInt(-2147483647 - 1);
            return s;
        },
        u"-2147483648", 11, 12 },
    { "AppendInt",
        [] {
            auto s = make(u"n=");
            s->appendInt(42);
            return s;
        },
        u"n=42", 4, 5 },
    { "AppendCharGrowsByTwo",
        [] {
            auto s = make(u"ab");
            s->appendChar(u'c');
            return s;
        },
        u"abc", 3, 4 },
    { "AppendCharInPlace",
        [] {
            auto s = make(u"abcdef");
            s->assign(u"a");
            s->appendChar(u'b');
            return s;
        },
        u"ab", 2, 7 },
    { "AppendCharToNull",
        [] {
            auto s = make(nullptr);
            s->appendChar(u'z');
            return s;
        },
        u"z", 1, 2 },
    { "PrependFitsBoth",
        [] {
            auto s = make(u"world");
            s->prepend(WString(u"hello "));
            return s;
        },
        u"hello world", 11, 12 },
    // Sources that alias the string's own buffer, including after the narrow
    // constructor, whose capacity 0 forces the re-allocating path.
    { "SelfAssignAfterNarrow",
        [] {
            auto s = makeNarrow("abc");
            s->assign(*s);
            return s;
        },
        u"abc", 3, 4 },
    { "AssignTailOfItselfAfterNarrow",
        [] {
            auto s = makeNarrow("abcdef");
            s->assign(s->c_str() + 2);
            return s;
        },
        u"cdef", 4, 5 },
    { "AssignTailOfItselfInPlace",
        [] {
            auto s = make(u"abcdef");
            s->assign(s->c_str() + 2);
            return s;
        },
        u"cdef", 4, 7 },
    { "AppendItself",
        [] {
            auto s = make(u"ab");
            s->append(*s);
            return s;
        },
        u"abab", 4, 5 },
    { "AppendTailOfItselfInPlace",
        [] {
            auto s = make(u"abcdefgh");
            s->assign(u"abc");
            s->append(s->c_str() + 1);
            return s;
        },
        u"abcbc", 5, 9 },
    { "PrependItself",
        [] {
            auto s = make(u"ab");
            s->prepend(*s);
            return s;
        },
        u"abab", 4, 5 },
    { "AfterCharIntoItself",
        [] {
            auto s = makeNarrow("Key=Value");
            s->afterChar(*s, u'=');
            return s;
        },
        u"Value", 5, 6 },
    { "CopyAssignOperator",
        [] {
            auto s = make(u"abc");
            WString other(u"xy");
            *s = other;
            *s = *s;
            return s;
        },
        u"xy", 2, 4 },
};

class WStringSequences : public ::testing::TestWithParam<WStringCase> { };

TEST_P(WStringSequences, LeaveTheExpectedTextLengthAndCapacity)
{
    const WStringCase& c = GetParam();
    std::unique_ptr<WString> s = c.run();
    if (!c.text) {
        EXPECT_TRUE(s->isNull());
        EXPECT_EQ(s->c_str(), nullptr);
    } else {
        ASSERT_FALSE(s->isNull());
        EXPECT_EQ(std::u16string(s->c_str()), std::u16string(c.text));
    }
    EXPECT_EQ(s->length(), c.length);
    EXPECT_EQ(s->capacity(), c.capacity);
    EXPECT_EQ(s->growStep(), 1);
}

INSTANTIATE_TEST_SUITE_P(Operations, WStringSequences, ::testing::ValuesIn(kWStringCases),
    [](const ::testing::TestParamInfo<WStringCase>& param) { return std::string(param.param.name); });

struct RangeCase {
    const char* name;
    const char16_t* text;
    int first;
    int second;
};

class WStringParseRange : public ::testing::TestWithParam<RangeCase> { };

TEST_P(WStringParseRange, ReadsWhatIsThereAndStopsAtTheEnd)
{
    // Copied into a buffer of exactly the text's size, so that a read past the
    // terminator is caught by the address sanitizer.
    WString text(GetParam().text);
    int first = -1;
    int second = -1;
    text.parseRange(first, second);
    EXPECT_EQ(first, GetParam().first);
    EXPECT_EQ(second, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Texts, WStringParseRange,
    ::testing::Values(RangeCase { "Whole", u"x[12-345]", 12, 345 }, RangeCase { "NoBracket", u"abc", 0, 0 },
        RangeCase { "EndsAfterFirst", u"[12", 12, 0 }, RangeCase { "EndsAfterDash", u"[12-3", 12, 3 },
        RangeCase { "EndsAtBracket", u"[", 0, 0 }, RangeCase { "NoDigitCheck", u"[1a-]", 59, 0 },
        RangeCase { "Empty", u"", 0, 0 }, RangeCase { "Null", nullptr, 0, 0 }),
    [](const ::testing::TestParamInfo<RangeCase>& param) { return std::string(param.param.name); });

TEST(WString, EmptyAndNullAreDistinctButBothEmpty)
{
    WString empty;
    WString null(static_cast<const char16_t*>(nullptr));
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_TRUE(null.isEmpty());
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(null.isNull());
    EXPECT_EQ(*null.charAt(0), 0);
    EXPECT_EQ(*WString(u"ab").charAt(1), u'b');
    EXPECT_EQ(*WString(u"ab").charAt(2), 0);
}

TEST(WString, ComparesIgnoringAsciiCase)
{
    EXPECT_TRUE(WString(u"Lord").equals(WString(u"LORD")));
    EXPECT_TRUE(WString(u"Lord").differs(WString(u"Lords")));
    EXPECT_TRUE(WString(u"\u00E9").differs(WString(u"\u00C9")));
    EXPECT_TRUE(WString().equals(WString(static_cast<const char16_t*>(nullptr))));
}

TEST(WString, PrefixTestsAgainstNarrowLiterals)
{
    WString text(u"comm");
    EXPECT_TRUE(text.isPrefixOf("command"));
    EXPECT_TRUE(text.isPrefixOf("comm"));
    EXPECT_FALSE(text.isPrefixOf("com"));
    EXPECT_TRUE(text.startsWith("co"));
    EXPECT_TRUE(text.startsWith(""));
    EXPECT_FALSE(text.startsWith("command"));
    WString null(static_cast<const char16_t*>(nullptr));
    EXPECT_FALSE(null.isPrefixOf("x"));
    EXPECT_FALSE(null.startsWith(""));
}

TEST(WString, MapsCase)
{
    WString text(u"sir lancelot-du [lac]\nthe \u00E9lu");
    text.capitalizeWords();
    EXPECT_EQ(std::u16string(text.c_str()), u"Sir Lancelot-Du [Lac]\nThe \u00E9lu");
    text.toUpper();
    EXPECT_EQ(std::u16string(text.c_str()), u"SIR LANCELOT-DU [LAC]\nTHE \u00E9LU");
    text.toLower();
    EXPECT_EQ(std::u16string(text.c_str()), u"sir lancelot-du [lac]\nthe \u00E9lu");
}

TEST(WString, RemovesOnlyAMatchingLastChar)
{
    WString text(u"ab:");
    EXPECT_FALSE(text.removeLastChar(u'b'));
    EXPECT_TRUE(text.removeLastChar(u':'));
    EXPECT_EQ(std::u16string(text.c_str()), u"ab");
    EXPECT_EQ(text.length(), 2);
    WString empty;
    EXPECT_FALSE(empty.removeLastChar(0));
}

TEST(WString, AfterCharGivesTheRestOrEmpty)
{
    WString out(u"old");
    WString(u"Key=Value").afterChar(out, u'=');
    EXPECT_EQ(std::u16string(out.c_str()), u"Value");
    WString(u"Key").afterChar(out, u'=');
    EXPECT_EQ(std::u16string(out.c_str()), u"");
    WString(static_cast<const char16_t*>(nullptr)).afterChar(out, u'=');
    EXPECT_EQ(std::u16string(out.c_str()), u"");
}

TEST(WString, ConcatSharesOneResult)
{
    const WString& first = WString::concat(WString(u"ab"), u"cd");
    EXPECT_EQ(std::u16string(first.c_str()), u"abcd");
    const WString& again = WString::concat(first, first.c_str());
    EXPECT_EQ(&again, &first);
    EXPECT_EQ(std::u16string(again.c_str()), u"abcdabcd");
    WString::concat(WString(u"long enough to move the buffer"), again.c_str() + 4);
    EXPECT_EQ(std::u16string(again.c_str()), u"long enough to move the bufferabcd");
}

} // namespace
