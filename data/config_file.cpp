#include "data/config_file.h"

#include "core/error_report.h"
#include "core/file_name_sanitizer.h"
#include "data/file_manager.h"
#include "data/managed_files.h"
#include "platform/file_system.h"

#include <algorithm>

namespace {

constexpr size_t kMaxNameCopy = 29;
const char* const kMainFile = "vo.cfg";
const char* const kSharedFile = "Desktop/common/vo.cfg";

bool isKeyDelimiter(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '='; }

bool isValueDelimiter(char c) { return c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool isAccountKey(ConfigKeyKind kind)
{
    return kind == ConfigKeyKind::RememberAcctPW || kind == ConfigKeyKind::AcctPassword
        || kind == ConfigKeyKind::NumPassTries;
}

// Keys a per-character copy may not change: they belong to the account or
// the installation, not to one character.
bool isExcludedPerCharacter(ConfigKeyKind kind)
{
    switch (kind) {
    case ConfigKeyKind::RememberAcctPW:
    case ConfigKeyKind::AcctPassword:
    case ConfigKeyKind::NumPassTries:
    case ConfigKeyKind::GlobalQueue:
    case ConfigKeyKind::NextLoginKey:
    case ConfigKeyKind::TranslationServer:
    case ConfigKeyKind::TranslationServerIPAddress:
    case ConfigKeyKind::TranslationServerTranslatorName:
    case ConfigKeyKind::TranslationServerSystranNFWMarker:
    case ConfigKeyKind::TranslationServerSystranTopicalGlossaries:
    case ConfigKeyKind::TranslationServerSystranDocumentType:
    case ConfigKeyKind::ClientLogin:
        return true;
    default:
        return false;
    }
}

std::optional<ConfigKeyKind> lineKind(std::string_view text)
{
    std::string_view key;
    std::string_view value;
    if (!parseConfigLine(text, key, value))
        return std::nullopt;
    return findConfigKey(key);
}

std::string readRealFile(const std::string& path)
{
    std::string bytes;
    if (FILE* stream = platform::openRegularFile(path, "rb")) {
        char chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0)
            bytes.append(chunk, got);
        std::fclose(stream);
    }
    return bytes;
}

ConfigFiles*& installedConfigFiles()
{
    static ConfigFiles* installed = nullptr;
    return installed;
}

} // namespace

bool readTextLine(FILE* stream, std::string& line)
{
    line.clear();
    int c = std::fgetc(stream);
    if (c == EOF)
        return false;
    while (c != EOF && c != '\n' && c != '\r') {
        if (line.size() < kMaxTextLineLength)
            line += char(c);
        c = std::fgetc(stream);
    }
    if (c != EOF) {
        int other = c == '\n' ? '\r' : '\n';
        int after = std::fgetc(stream);
        if (after != other && after != EOF)
            std::ungetc(after, stream);
    }
    return true;
}

bool parseConfigLine(std::string_view line, std::string_view& key, std::string_view& value)
{
    size_t at = 0;
    while (at < line.size() && isKeyDelimiter(line[at]))
        ++at;
    size_t keyEnd = at;
    while (keyEnd < line.size() && !isKeyDelimiter(line[keyEnd]))
        ++keyEnd;
    if (keyEnd == at)
        return false;
    key = line.substr(at, keyEnd - at);
    // Exactly one separator is consumed: "Sound = on" has the value "= on".
    at = keyEnd < line.size() ? keyEnd + 1 : keyEnd;
    while (at < line.size() && isValueDelimiter(line[at]))
        ++at;
    size_t valueEnd = at;
    while (valueEnd < line.size() && !isValueDelimiter(line[valueEnd]))
        ++valueEnd;
    value = line.substr(at, valueEnd - at);
    return true;
}

std::optional<std::string> ConfigFiles::perCharacterPath(const std::string& fileName) const
{
    if (!namesKnown())
        return std::nullopt;
    // Every name is made safe, the shard name above all: it comes from the
    // server, and "../" in it must not lead out of the Desktop folder.
    std::string account = m_accountName;
    std::string shard = m_shardName;
    std::string character = m_characterName.substr(0, kMaxNameCopy);
    for (std::string* name : { &account, &shard, &character }) {
        sanitizeFileName(*name);
        if (name->empty())
            return std::nullopt;
    }
    return "Desktop/" + account + "/" + shard + "/" + character + "/" + fileName;
}

bool ConfigFiles::readConfigFile(const std::string& path, bool perCharacter)
{
    bool perCharacterFile = false;
    std::string bytes;
    bool opened;
    if (perCharacter) {
        if (serverStored() && m_rules)
            m_rules->resetSettingsToDefaults();
        opened = false;
        if (namesKnown()) {
            perCharacterFile = true;
            std::optional<std::string> own
                = serverStored() ? std::optional<std::string>(kSharedFile) : perCharacterPath(kMainFile);
            opened = own && readManagedFile(*own, bytes);
        }
        if (!opened)
            opened = readManagedFile(kMainFile, bytes);
    } else {
        opened = readManagedFile(path, bytes);
    }
    if (!opened)
        return false;

    TextLineSpan line;
    for (size_t at = 0; nextTextLine(bytes, at, line); at = line.next) {
        std::string_view key;
        std::string_view value;
        if (!parseConfigLine(line.text, key, value) || value.empty())
            continue;
        std::optional<ConfigKeyKind> kind = findConfigKey(key);
        if (!kind)
            continue;
        if (perCharacterFile && perCharacter) {
            if (isExcludedPerCharacter(*kind))
                continue;
            if (*kind == ConfigKeyKind::FullScreen && !serverStored())
                continue;
        }
        if (m_rules)
            m_rules->applyConfigKey(*kind, std::string(value), perCharacter);
    }

    // A first play of an installation starts without the obscenity filter.
    if (!m_obscenityRuleDone) {
        m_obscenityRuleDone = true;
        if (m_loginCount <= 1) {
            if (m_rules)
                m_rules->switchObscenityFilterOff();
            setConfigValue(ConfigKeyKind::ObscenityFilter, "off");
        }
    }
    return true;
}

std::string ConfigFiles::writerTarget(bool perCharacterWriter) const
{
    if (!perCharacterWriter || !namesKnown())
        return kMainFile;
    if (serverStored())
        return kSharedFile;
    return perCharacterPath(kMainFile).value_or(kMainFile);
}

void ConfigFiles::writeKey(ConfigKeyKind kind, const std::string& value, bool perCharacterWriter)
{
    // A line break in a value would add a line of its own to the file, which
    // the next read applies as a setting: a value with any control character
    // below 0x20 is never written. (0x7F stays: the password scramble makes
    // it of an 'r'.)
    if (std::any_of(value.begin(), value.end(), [](char c) { return uint8_t(c) < 0x20; }))
        return;
    std::string target = writerTarget(perCharacterWriter);
    std::string bytes;
    bool scanned = readManagedFile(target, bytes);
    if (!scanned && perCharacterWriter)
        scanned = readManagedFile(kMainFile, bytes);

    bool remove = isAccountKey(kind) && (m_forgetAccountPassword || (perCharacterWriter && namesKnown()));
    std::string newLine = std::string(configKeyName(kind)) + "=" + value + "\r\n";

    TextLineSpan line {};
    bool found = false;
    for (size_t at = 0; scanned && nextTextLine(bytes, at, line); at = line.next) {
        if (lineKind(line.text) == kind) {
            found = true;
            break;
        }
    }
    if (!found && remove)
        return;

    // The file to write: the target, or for the per-character writer
    // "vo.cfg" when the target cannot be made (its folder is missing).
    std::optional<std::string> path = managedRealPath(target, true);
    if (!path && perCharacterWriter)
        path = managedRealPath(kMainFile, true);
    if (!path) {
        reportFatal("The settings file %s cannot be written: no regular file of that name can be opened or created "
                    "for writing.\n",
            target.c_str());
    }

    std::string content;
    if (found) {
        content = bytes.substr(0, line.begin) + (remove ? "" : newLine) + bytes.substr(line.next);
    } else {
        // Appended to what the file written holds now, on a line of its own
        // even when the last line has no line end.
        content = readRealFile(*path);
        if (!content.empty() && content.back() != '\n' && content.back() != '\r')
            content += "\r\n";
        content += newLine;
    }
    // A failed replacement leaves the old file as it was.
    if (!platform::replaceFileContents(*path, content))
        reportSaveFailure(target);
}

void ConfigFiles::setConfigValue(ConfigKeyKind kind, const std::string& value) { writeKey(kind, value, true); }

void ConfigFiles::setConfigValueGlobal(ConfigKeyKind kind, const std::string& value) { writeKey(kind, value, false); }

bool ConfigFiles::lookupConfigValue(ConfigKeyKind kind, std::string& out)
{
    std::string bytes;
    std::optional<std::string> own = perCharacterPath(kMainFile);
    if (!(own && readManagedFile(*own, bytes)) && !readManagedFile(kMainFile, bytes))
        return false;
    bool found = false;
    TextLineSpan line;
    for (size_t at = 0; nextTextLine(bytes, at, line); at = line.next) {
        std::string_view key;
        std::string_view value;
        if (!parseConfigLine(line.text, key, value) || findConfigKey(key) != kind)
            continue;
        // Here a blank ends the value too.
        value = value.substr(0, value.find(' '));
        if (!value.empty()) {
            out = std::string(value);
            found = true;
        }
    }
    return found;
}

ConfigFiles& configFiles()
{
    if (ConfigFiles* installed = installedConfigFiles())
        return *installed;
    static ConfigFiles processFiles;
    return processFiles;
}

ConfigFiles* installConfigFiles(ConfigFiles* replacement)
{
    ConfigFiles* previous = installedConfigFiles();
    installedConfigFiles() = replacement;
    return previous;
}

bool readConfigFile(const std::string& path, bool perCharacter)
{
    return configFiles().readConfigFile(path, perCharacter);
}

void setConfigValue(ConfigKeyKind kind, const std::string& value) { configFiles().setConfigValue(kind, value); }

void setConfigValueGlobal(ConfigKeyKind kind, const std::string& value)
{
    configFiles().setConfigValueGlobal(kind, value);
}

bool lookupConfigValue(ConfigKeyKind kind, std::string& out) { return configFiles().lookupConfigValue(kind, out); }
