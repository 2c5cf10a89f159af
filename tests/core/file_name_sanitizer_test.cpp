#include "core/file_name_sanitizer.h"

#include <gtest/gtest.h>

namespace {

struct SanitizeCase {
    const char* label;
    const char* name;
    const char* expected;
};

class SanitizeFileName : public ::testing::TestWithParam<SanitizeCase> { };

TEST_P(SanitizeFileName, MakesANameSafeForPaths)
{
    std::string name = GetParam().name;
    sanitizeFileName(name);
    EXPECT_EQ(name, GetParam().expected);
}

const SanitizeCase kSanitizeCases[] = {
    { "Plain", "Blue Fox", "Blue Fox" },
    { "TrailingBlank", "Blue Fox ", "Blue Fox_" },
    { "Dot", "a.b", "a_b_" },
    { "Colon", "Blue:Fox", "Blue_Fox_" },
    { "LeadingDelimiter", ".x", "x_" },
    { "QuestionMark", "a?b", "a_b_" },
    { "OnlyDelimiter", "?", "" },
    { "Dot", ".", "" },
    { "DotDot", "..", "" },
    { "ParentEscape", "../../etc", "etc_" },
    { "Separators", "a\\b/c", "a_b_c_" },
    { "Empty", "", "" },
    // What a server's name may carry that no folder name may.
    { "LineBreak", "X\nJournalSaveFile=/tmp/j", "X_JournalSaveFile=_tmp_j_" },
    { "ControlBytes", "a\x01\x7F" "b", "a_b_" },
    { "RightToLeftOverride", "abc\xE2\x80\xAEtxt", "abc_txt_" },
    { "IsolateMark", "\xE2\x81\xA6x", "x_" },
    { "InvalidUtf8", "caf\xE9", "caf_" },
    { "TruncatedSequence", "ab\xE2\x80", "ab_" },
    { "OverlongSlash", "a\xC0\xAF" "b", "a_b_" },
    { "Surrogate", "a\xED\xA0\x80", "a_" },
    { "ValidUtf8Stays", "Ren\xC3\xA9" "e", "Ren\xC3\xA9" "e" },
};

INSTANTIATE_TEST_SUITE_P(Cases, SanitizeFileName, ::testing::ValuesIn(kSanitizeCases),
    [](const ::testing::TestParamInfo<SanitizeCase>& entry) {
        return std::string(entry.param.label) + std::to_string(entry.index);
    });

} // namespace
