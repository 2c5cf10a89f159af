#include "data/config_keys.h"
#include "platform/ascii_text.h"

std::optional<ConfigKeyKind> findConfigKey(std::string_view name)
{
    for (int kind = 0; kind < kConfigKeyCount; ++kind) {
        if (platform::equalIgnoringAsciiCase(name, configKeyName(ConfigKeyKind(kind))))
            return ConfigKeyKind(kind);
    }
    return std::nullopt;
}
