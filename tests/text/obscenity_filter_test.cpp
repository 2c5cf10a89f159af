#include "text/obscenity_filter.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

class ObscenityFilter : public ::testing::Test {
protected:
    void TearDown() override { setObsceneWordList({}); }
};

struct MaskCase {
    const char* name;
    std::vector<std::u16string> words;
    std::u16string text;
    std::u16string expected;
};

class MaskTable : public ObscenityFilter, public ::testing::WithParamInterface<MaskCase> { };

TEST_P(MaskTable, Wide)
{
    setObsceneWordList(GetParam().words);
    std::u16string text = GetParam().text;
    censorTextWide(text.data());
    EXPECT_EQ(text, GetParam().expected);
}

TEST_P(MaskTable, NarrowGivesTheSameBytes)
{
    bool ascii = true;
    for (char16_t c : GetParam().text)
        ascii = ascii && c < 256;
    if (!ascii)
        GTEST_SKIP() << "not byte text";
    setObsceneWordList(GetParam().words);
    std::string text(GetParam().text.begin(), GetParam().text.end());
    censorTextNarrow(text.data());
    EXPECT_EQ(std::u16string(text.begin(), text.end()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, MaskTable,
    ::testing::Values(MaskCase { "MasksFromTheTextsOwnCapitals", { u"abc" }, u"xABCx", u"x#$%x" },
        MaskCase { "MasksFromTheTextsOwnSmallLetters", { u"abc" }, u"xabcx", u"x*!@x" },
        MaskCase { "EveryOccurrence", { u"ab" }, u"ab-AB", u"*!-#$" },
        MaskCase { "EarlierWordFirst", { u"bc", u"abc" }, u"abcd", u"a!@d" },
        MaskCase { "OverlapMaskedOnce", { u"aa" }, u"aaa", u"**a" },
        MaskCase { "MaskThatMapsToItself", { u"@" }, u"a@b@", u"a@b@" },
        MaskCase { "NotListed", { u"abc" }, u"ab c", u"ab c" },
        MaskCase { "EmptyWordIgnored", { u"" }, u"abc", u"abc" }),
    [](const ::testing::TestParamInfo<MaskCase>& p) { return std::string(p.param.name); });

TEST_F(ObscenityFilter, SpeechFirstPassReadsNonAsciiAsBlanks)
{
    setObsceneWordList({ u"a b" });
    std::u16string text = u"xa\u00E9bx";
    censorSpeechText(text.data());
    EXPECT_EQ(text, u"x*\u00E9!x");
    // The second pass sees the text as it is.
    setObsceneWordList({ u"\u00E9T" });
    std::u16string accented = u"a\u00C9t";
    censorSpeechText(accented.data());
    EXPECT_EQ(accented, std::u16string(u"a") + char16_t(u"!@#$%&*"[0xC9 % 7]) + char16_t(u"!@#$%&*"['t' % 7]));
    censorSpeechText(nullptr);
}

TEST_F(ObscenityFilter, LongWordsAreCut)
{
    setObsceneWordList({ std::u16string(40, u'a') });
    EXPECT_EQ(obsceneWordList()[0].size(), kMaxObsceneWordLength);
}

} // namespace
