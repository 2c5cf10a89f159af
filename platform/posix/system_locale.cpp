#include "platform/locale.h"
#include "platform/ascii_text.h"

#include <cstdlib>
#include <ctime>
#include <string_view>

namespace platform {

namespace {

struct LocaleCode {
    const char* language; // ISO 639 language
    const char* country; // ISO 3166 country, or "" for the language's default
    const char* code;
};

// Country-specific entries come before the language's default entry.
constexpr LocaleCode kLocaleCodes[] = {
    { "en", "GB", "eng" }, { "en", "AU", "ena" }, { "en", "CA", "enc" }, { "en", "NZ", "enz" },
    { "en", "IE", "eni" }, { "en", "", "enu" },
    { "de", "CH", "des" }, { "de", "AT", "dea" }, { "de", "LU", "del" }, { "de", "LI", "dec" },
    { "de", "", "deu" },
    { "fr", "CA", "frc" }, { "fr", "BE", "frb" }, { "fr", "CH", "frs" }, { "fr", "LU", "frl" },
    { "fr", "", "fra" },
    { "es", "MX", "esm" }, { "es", "", "esp" },
    { "it", "CH", "its" }, { "it", "", "ita" },
    { "pt", "BR", "ptb" }, { "pt", "", "ptg" },
    { "nl", "BE", "nlb" }, { "nl", "", "nld" },
    { "zh", "TW", "cht" }, { "zh", "HK", "zhh" }, { "zh", "SG", "zhi" }, { "zh", "", "chs" },
    { "ja", "", "jpn" }, { "ko", "", "kor" },
    { "sv", "", "sve" }, { "nb", "", "nor" }, { "no", "", "nor" }, { "nn", "", "non" },
    { "da", "", "dan" }, { "fi", "", "fin" }, { "pl", "", "plk" }, { "ru", "", "rus" },
    { "cs", "", "csy" }, { "sk", "", "sky" }, { "hu", "", "hun" }, { "tr", "", "trk" },
    { "el", "", "ell" }, { "uk", "", "ukr" }, { "he", "", "heb" }, { "ar", "", "ara" },
};

} // namespace

std::string languageCodeForLocale(const std::string& localeName)
{
    // language[_COUNTRY][.charset][@modifier]; both parts match in any case.
    std::string_view base = std::string_view(localeName).substr(0, localeName.find_first_of(".@"));
    size_t underscore = base.find_first_of("_-");
    std::string_view language = base.substr(0, underscore);
    std::string_view country = underscore == std::string_view::npos ? std::string_view() : base.substr(underscore + 1);
    if (language.empty() || equalIgnoringAsciiCase(language, "c") || equalIgnoringAsciiCase(language, "posix"))
        return {};
    for (const LocaleCode& entry : kLocaleCodes) {
        if (!equalIgnoringAsciiCase(language, entry.language))
            continue;
        if (entry.country[0] == '\0' || equalIgnoringAsciiCase(country, entry.country))
            return entry.code;
    }
    return {};
}

std::string systemLanguageCode()
{
    for (const char* variable : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const char* value = std::getenv(variable);
        if (value && value[0] != '\0')
            return languageCodeForLocale(value);
    }
    return {};
}

int32_t timeZoneBiasMinutes()
{
    std::time_t now = std::time(nullptr);
    std::tm local {};
    if (!localtime_r(&now, &local))
        return 0;
    return int32_t(-local.tm_gmtoff / 60);
}

} // namespace platform
