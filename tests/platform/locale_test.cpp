#include "platform/locale.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

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
        LocaleCase { "Unknown", "xx_YY", "" }, LocaleCase { "Empty", "", "" }),
    [](const ::testing::TestParamInfo<LocaleCase>& p) { return std::string(p.param.name); });

// Sets or clears one environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(SystemLanguageCode, FollowsThePosixPrecedence)
{
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv messages("LC_MESSAGES", nullptr);
    ScopedEnv lang("LANG", "de_DE.UTF-8");
    EXPECT_EQ(platform::systemLanguageCode(), "deu");
    {
        ScopedEnv overridden("LC_MESSAGES", "fr_CA.UTF-8");
        EXPECT_EQ(platform::systemLanguageCode(), "frc");
        ScopedEnv strongest("LC_ALL", "C");
        EXPECT_EQ(platform::systemLanguageCode(), "");
    }
    ScopedEnv none("LANG", nullptr);
    EXPECT_EQ(platform::systemLanguageCode(), "");
}

} // namespace
