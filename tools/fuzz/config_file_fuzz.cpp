// The settings file: an arbitrary "vo.cfg" read line by line against the key
// table, one key looked up and one key rewritten, and the per-character path
// of arbitrary account, shard and character names.
//   byte 0: the key kind, byte 1: bit 0 the account-password "forget" flag
//   bytes 2-4: lengths of the value, the account and the shard name taken
//   from the front of the rest; the character name follows them
#include "data/config_file.h"
#include "fuzz_client_directory.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

class CountingRules final : public ConfigKeyRules {
public:
    void applyConfigKey(ConfigKeyKind, const std::string& value, bool) override
    {
        if (value.empty())
            __builtin_trap();
        ++applied;
    }
    bool isServerStoredMode() override { return false; }
    void resetSettingsToDefaults() override { }
    void switchObscenityFilterOff() override { }
    size_t applied = 0;
};

std::string take(const uint8_t*& data, size_t& size, size_t count)
{
    count = std::min(count, size);
    std::string text(reinterpret_cast<const char*>(data), count);
    data += count;
    size -= count;
    return text;
}

// "Desktop/<account>/<shard>/<character>/vo.cfg" with five plain pieces.
void checkPerCharacterPath(const ConfigFiles& files)
{
    std::optional<std::string> path = files.perCharacterPath("vo.cfg");
    if (!path)
        return;
    size_t pieces = 0;
    for (size_t at = 0; at <= path->size(); ++pieces) {
        size_t end = std::min(path->find('/', at), path->size());
        std::string piece = path->substr(at, end - at);
        if (piece.empty() || piece == "." || piece == ".." || piece.find('\\') != std::string::npos)
            __builtin_trap();
        at = end + 1;
    }
    if (pieces != 5 || path->rfind("Desktop/", 0) != 0)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    const fuzz::ClientDirectory& client = fuzz::ClientDirectory::get();
    auto kind = ConfigKeyKind(data[0] % kConfigKeyCount);
    bool forget = data[1] & 1;
    size_t valueLength = data[2] % 16;
    size_t accountLength = data[3] % 40;
    size_t shardLength = data[4] % 40;
    data += 5;
    size -= 5;
    std::string value = take(data, size, valueLength);
    // Values come from the program, never with a line end or a tab in them.
    std::replace_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t' || c == '\f'; }, '_');
    std::string account = take(data, size, accountLength);
    std::string shard = take(data, size, shardLength);
    std::string character = take(data, size, 40);

    ConfigFiles names;
    names.setAccountName(account);
    names.setShardName(shard);
    names.setCharacterName(character);
    checkPerCharacterPath(names);

    std::string before(reinterpret_cast<const char*>(data), size);
    client.write("vo.cfg", before);
    CountingRules rules;
    ConfigFiles files;
    files.setRules(&rules);
    files.setLoginCount(5);
    files.setForgetAccountPassword(forget);
    if (!files.readConfigFile("vo.cfg", false))
        __builtin_trap();
    std::string found;
    files.lookupConfigValue(kind, found);

    files.setConfigValueGlobal(kind, value);
    std::string after = fuzz::readFile(client.path() + "/vo.cfg");
    bool removes = forget
        && (kind == ConfigKeyKind::RememberAcctPW || kind == ConfigKeyKind::AcctPassword
            || kind == ConfigKeyKind::NumPassTries);
    std::string line = std::string(configKeyName(kind)) + "=" + value + "\r\n";
    if (!removes && after.find(line) == std::string::npos)
        __builtin_trap();
    // Whatever changed, it was one line: every byte before the first change
    // is kept, and the new line starts at or before that change.
    size_t kept = 0;
    while (kept < before.size() && kept < after.size() && before[kept] == after[kept])
        ++kept;
    if (!removes && kept < before.size() && after.rfind(line, kept) == std::string::npos)
        __builtin_trap();
    return 0;
}
