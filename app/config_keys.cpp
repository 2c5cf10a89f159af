#include "app/config_keys.h"

namespace {

char foldCase(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (foldCase(a[i]) != foldCase(b[i]))
            return false;
    }
    return true;
}

} // namespace

std::optional<ConfigKeyKind> findConfigKey(std::string_view name)
{
    for (int kind = 0; kind < kConfigKeyCount; ++kind) {
        if (equalIgnoringCase(name, configKeyName(ConfigKeyKind(kind))))
            return ConfigKeyKind(kind);
    }
    return std::nullopt;
}
