#include "app/config_words.h"

#include "data/config_file.h"
#include "platform/ascii_text.h"

std::string configText(ConfigKeyKind kind)
{
    std::string value;
    lookupConfigValue(kind, value);
    return value;
}

std::optional<std::string> configWord(ConfigKeyKind kind)
{
    std::string value;
    if (!lookupConfigValue(kind, value))
        return std::nullopt;
    for (char& c : value)
        c = platform::foldAsciiCase(c);
    return value;
}

bool configFlag(ConfigKeyKind kind, bool fallback)
{
    std::optional<std::string> word = configWord(kind);
    if (!word)
        return fallback;
    return *word == "on" || *word == "yes";
}
