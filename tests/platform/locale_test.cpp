#include "platform/locale.h"
#include "support/scoped_environment.h"

#include <gtest/gtest.h>

namespace {

struct LocaleCase {
    const char* name;
    const char* locale;
    const char* code;
};

class LanguageCodeForLocale : public ::testing::TestWithParam<LocaleCase> { };

TEST_P(LanguageCodeForLocale, Maps)
{
    EXPECT_EQ(platform::languageCodeForLocale(GetParam().locale), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Table, LanguageCodeForLocale,
    ::testing::Values(LocaleCase { "German", "de_DE.UTF-8", "deu" }, LocaleCase { "Austrian", "de_AT", "dea" },
        LocaleCase { "GermanOtherCountry", "de_BE.UTF-8@euro", "deu" }, LocaleCase { "American", "en_US.UTF-8", "enu" },
        LocaleCase { "British", "en_GB", "eng" }, LocaleCase { "LanguageOnly", "fr", "fra" },
        LocaleCase { "Taiwan", "zh_TW.Big5", "cht" }, LocaleCase { "Japanese", "ja_JP.eucJP", "jpn" },
        LocaleCase { "CLocale", "C", "" }, LocaleCase { "CUtf8", "C.UTF-8", "" }, LocaleCase { "Posix", "POSIX", "" },
        LocaleCase { "AnyCaseWithHyphen", "PT-br", "ptb" }, LocaleCase { "UpperCaseLanguage", "DE_at", "dea" },
        LocaleCase { "Unknown", "xx_YY", "" }, LocaleCase { "Empty", "", "" }),
    [](const ::testing::TestParamInfo<LocaleCase>& p) { return std::string(p.param.name); });

TEST(SystemLanguageCode, FollowsThePosixPrecedence)
{
    test::ScopedEnvironment all("LC_ALL", nullptr);
    test::ScopedEnvironment messages("LC_MESSAGES", nullptr);
    test::ScopedEnvironment lang("LANG", "de_DE.UTF-8");
    EXPECT_EQ(platform::systemLanguageCode(), "deu");
    {
        test::ScopedEnvironment overridden("LC_MESSAGES", "fr_CA.UTF-8");
        EXPECT_EQ(platform::systemLanguageCode(), "frc");
        test::ScopedEnvironment strongest("LC_ALL", "C");
        EXPECT_EQ(platform::systemLanguageCode(), "");
    }
    test::ScopedEnvironment none("LANG", nullptr);
    EXPECT_EQ(platform::systemLanguageCode(), "");
}

} // namespace
