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

struct SanitizeCase {
    const char* name;
    std::string input;
    std::string expected;
};

class Sanitize : public ::testing::TestWithParam<SanitizeCase> { };

TEST_P(Sanitize, InA30ByteBuffer)
{
    char buffer[30];
    std::strncpy(buffer, GetParam().input.c_str(), sizeof buffer - 1);
    buffer[sizeof buffer - 1] = '\0';
    sanitizeFileName(buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, Sanitize,
    ::testing::Values(SanitizeCase { "Plain", "Blue Fox", "Blue Fox" },
        SanitizeCase { "TrailingBlank", "Blue Fox ", "Blue Fox_" },
        SanitizeCase { "Dot", "a.b", "a_b_" },
        SanitizeCase { "Colon", "Blue:Fox", "Blue_Fox_" },
        SanitizeCase { "LeadingDelimiter", ".x", "x_" },
        SanitizeCase { "Question", "a?b", "a_b_" },
        SanitizeCase { "OnlyDelimiter", "?", "" },
        SanitizeCase { "ParentFolder", "..", "" },
        SanitizeCase { "Escape", "../../etc/passwd", "etc_passwd_" },
        SanitizeCase { "EveryDelimiter", "a\\b/c:d*e?f\"g<h>i|j.k", "a_b_c_d_e_f_g_h_i_j_k_" },
        // 29 characters with delimiters inside used to grow to 30 and overrun
        // the 30-byte buffer; the result is cut to 29.
        SanitizeCase { "TwentyNineWithDelimiters", "abcdefghijklmn.opqrstuvwxyz12", "abcdefghijklmn_opqrstuvwxyz12" }),
    [](const ::testing::TestParamInfo<SanitizeCase>& p) { return std::string(p.param.name); });

TEST(SanitizedFileName, GrowsByOneWithoutABuffer)
{
    EXPECT_EQ(sanitizedFileName("abcdefghijklmn.opqrstuvwxyz12"), "abcdefghijklmn_opqrstuvwxyz12_");
    char tiny[3] = "ab";
    sanitizeFileName(tiny, sizeof tiny);
    EXPECT_STREQ(tiny, "ab");
}

} // namespace
