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
};

INSTANTIATE_TEST_SUITE_P(Cases, SanitizeFileName, ::testing::ValuesIn(kSanitizeCases),
    [](const ::testing::TestParamInfo<SanitizeCase>& entry) {
        return std::string(entry.param.label) + std::to_string(entry.index);
    });

} // namespace
