#pragma once
// The settings files' values as the program's start-up reads them: a key's
// text, its text in lower case, and the on/off reading of a switch. Main
// thread only.

#include "data/config_keys.h"

#include <optional>
#include <string>

// The key's text; empty when no settings file names it.
std::string configText(ConfigKeyKind kind);
// The key's text in lower case; nothing when no settings file names it.
std::optional<std::string> configWord(ConfigKeyKind kind);
// "on" and "yes" are true, any other text false; a missing key keeps `fallback`.
bool configFlag(ConfigKeyKind kind, bool fallback);
