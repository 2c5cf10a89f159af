#pragma once
// The settings files: "vo.cfg" in the program folder, its per-character copy
// "Desktop/<account>/<shard>/<character>/vo.cfg" (or the shared copy
// "Desktop/common/vo.cfg" while settings are stored on the server) and the
// login-server file, all text files of key=value lines read against the key
// table. The reader applies each line through the key rules; the single-key
// writers rewrite one line and keep every other byte. Files are found through
// the file manager. Main thread only.

#include "data/config_keys.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// What the keys mean: the typed settings, the per-key rules and the
// server-stored mode live with the code that owns them.
class ConfigKeyRules {
public:
    virtual ~ConfigKeyRules() = default;
    virtual void applyConfigKey(ConfigKeyKind kind, const std::string& value, bool perCharacter) = 0;
    // Whether settings are stored on the server (the shared copy is used).
    virtual bool isServerStoredMode() = 0;
    virtual void resetSettingsToDefaults() = 0;
    virtual void switchObscenityFilterOff() = 0;
};

// Reads one line of at most 254 characters (the rest of a longer line is
// dropped); CR, LF, CR LF and LF CR end a line. False at the end of the file.
bool readTextLine(FILE* stream, std::string& line);

// The key and value of one line: the key is the first run of characters that
// are not blank, tab, CR, LF, form feed or '='; one character after it is
// consumed; the value runs from there (leading tabs, CRs, LFs and form feeds
// skipped, blanks kept) to the next tab, CR, LF or form feed. False when the
// line has no key.
bool parseConfigLine(std::string_view line, std::string_view& key, std::string_view& value);

class ConfigFiles {
public:
    // Without rules the files are still read and written, but no key is
    // applied.
    void setRules(ConfigKeyRules* rules) { m_rules = rules; }

    void setAccountName(std::string name) { m_accountName = std::move(name); }
    void setShardName(std::string name) { m_shardName = std::move(name); }
    void setCharacterName(std::string name) { m_characterName = std::move(name); }
    const std::string& accountName() const { return m_accountName; }
    const std::string& shardName() const { return m_shardName; }
    const std::string& characterName() const { return m_characterName; }

    void setLoginCount(int32_t count) { m_loginCount = count; }
    int32_t loginCount() const { return m_loginCount; }
    void setForgetAccountPassword(bool forget) { m_forgetAccountPassword = forget; }
    bool forgetAccountPassword() const { return m_forgetAccountPassword; }

    // "Desktop/<account>/<shard>/<character>/<fileName>" with each name made
    // safe for paths; nothing when the shard or character name is unknown or
    // a name has nothing usable left (".." for example).
    std::optional<std::string> perCharacterPath(const std::string& fileName) const;

    // Reads one settings file and applies its lines; see the class comment.
    // With `perCharacter` the per-character copy is read when a character is
    // chosen (falling back to "vo.cfg"), and "vo.cfg" otherwise. False when
    // no file could be opened.
    bool readConfigFile(const std::string& path, bool perCharacter);
    // Rewrites one key in the current settings file (the per-character copy
    // once a character is chosen).
    void setConfigValue(ConfigKeyKind kind, const std::string& value);
    // Rewrites one key in the program folder's "vo.cfg".
    void setConfigValueGlobal(ConfigKeyKind kind, const std::string& value);
    // The first word of the key's value (the last line naming it wins).
    bool lookupConfigValue(ConfigKeyKind kind, std::string& out);

private:
    bool namesKnown() const { return !m_shardName.empty() && !m_characterName.empty(); }
    bool serverStored() const { return m_rules && m_rules->isServerStoredMode(); }
    std::string writerTarget(bool perCharacterWriter) const;
    void writeKey(ConfigKeyKind kind, const std::string& value, bool perCharacterWriter);

    ConfigKeyRules* m_rules = nullptr;
    std::string m_accountName;
    std::string m_shardName;
    std::string m_characterName;
    int32_t m_loginCount = 0;
    bool m_forgetAccountPassword = false;
    bool m_obscenityRuleDone = false;
};

// The process-wide settings files, unless others were installed.
ConfigFiles& configFiles();
ConfigFiles* installConfigFiles(ConfigFiles* replacement);

bool readConfigFile(const std::string& path, bool perCharacter);
void setConfigValue(ConfigKeyKind kind, const std::string& value);
void setConfigValueGlobal(ConfigKeyKind kind, const std::string& value);
bool lookupConfigValue(ConfigKeyKind kind, std::string& out);
