#include "audio/audio_settings.h"

#include "data/config_file.h"

#include <cstdlib>
#include <string>

bool audioSettingOn(ConfigKeyKind kind, bool fallback)
{
    std::string value;
    if (!lookupConfigValue(kind, value))
        return fallback;
    for (char& c : value) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return value == "on" || value == "yes";
}

uint8_t audioSettingByte(ConfigKeyKind kind, uint8_t fallback)
{
    std::string value;
    if (!lookupConfigValue(kind, value))
        return fallback;
    return static_cast<uint8_t>(std::atoi(value.c_str()) & 0xFF);
}
