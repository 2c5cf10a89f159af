#pragma once
// The user's language as the client names languages: a 3-letter code such as
// "enu" or "deu", taken from the environment's locale (LC_ALL, then
// LC_MESSAGES, then LANG, as POSIX orders them). Any thread.

#include <cstdint>
#include <string>

namespace platform {

// The code of the user's language, lower-case; empty when the locale is unset,
// "C"/"POSIX", or names a language the client has no code for.
std::string systemLanguageCode();

// The mapping itself, for a locale name such as "de_AT.UTF-8" or "fr".
std::string languageCodeForLocale(const std::string& localeName);


// The local time zone's offset from UTC in minutes, positive west of UTC
// (UTC = local time + bias), daylight saving included; 0 when the system
// gives no time-zone information.
int32_t timeZoneBiasMinutes();

} // namespace platform
