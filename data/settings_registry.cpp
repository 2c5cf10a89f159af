#include "data/settings_registry.h"

#include "core/process_random.h"
#include "core/wide_text.h"
#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/managed_files.h"
#include "data/player_lists.h"
#include "data/settings_services.h"
#include "platform/ascii_text.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kRegistryMainFile = "vo.cfg";

// The "%" names of the colour accessors: not rows of the table.
constexpr const char* kSpeechHueName = "%SpeechHue";
constexpr const char* kEmoteHueName = "%EmoteHue";
constexpr const char* kPartyColourName = "%PartyMessageColor";
constexpr const char* kGuildColourName = "%GuildChatColor";
constexpr const char* kAllianceColourName = "%AllianceChatColor";
constexpr const char* const kPercentNames[]
    = { kSpeechHueName, kEmoteHueName, kPartyColourName, kGuildColourName, kAllianceColourName };

// Lines a settings file keeps for the account alone, never for one character.
constexpr const char* const kAccountLinePrefixes[] = { "AcctPassword", "RememberAcctPW", "NumPassTries" };

bool isNamed(const char* rowName, std::string_view name) { return rowName == name; }

bool startsWithAccountLine(std::string_view line)
{
    for (const char* prefix : kAccountLinePrefixes) {
        if (line.substr(0, std::strlen(prefix)) == prefix)
            return true;
    }
    return false;
}

// The low byte of each character, as the narrow settings files hold text.
std::string narrowed(const WString& text)
{
    std::string bytes;
    if (const char16_t* units = text.c_str()) {
        for (; *units; ++units)
            bytes.push_back(char(*units & 0xFF));
    }
    return bytes;
}

std::string_view firstWord(std::string_view line)
{
    auto isDelimiter = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '='; };
    size_t begin = 0;
    while (begin < line.size() && isDelimiter(line[begin]))
        ++begin;
    size_t end = begin;
    while (end < line.size() && !isDelimiter(line[end]))
        ++end;
    return line.substr(begin, end - begin);
}

bool parseSize(const std::string& text, int32_t& width, int32_t& height)
{
    int w = 0;
    int h = 0;
    if (std::sscanf(text.c_str(), "%dx%d", &w, &h) != 2)
        return false;
    width = w;
    height = h;
    return true;
}

size_t slotIndex()
{
    int32_t slot = configValues().defaultCharacterSlot;
    return slot >= 0 && size_t(slot) < kCharacterSlots ? size_t(slot) : 0;
}

void appendLine(std::string& out, std::string_view line)
{
    out.append(line);
    out.append("\r\n");
}

SettingsRegistry*& installedSettings()
{
    static SettingsRegistry* installed = nullptr;
    return installed;
}

// Keeps the lines of a settings file that name no setting, in order, without
// the empty lines at its end. False when the file does not exist.
bool keptLines(const std::string& name, std::vector<std::string>& kept)
{
    std::string bytes;
    if (!readManagedFile(name, bytes))
        return false;
    const SettingsRegistry& registry = settings();
    for (const std::string& line : splitTextLines(bytes)) {
        if (!registry.isManagedSettingLine(line))
            kept.push_back(line);
    }
    while (!kept.empty() && kept.back().empty())
        kept.pop_back();
    return true;
}

} // namespace

int32_t itemPropsModeFor(std::string_view text)
{
    static const struct {
        const char* prefix;
        int32_t mode;
    } kModes[] = { { "At Icon", 0 }, { "Always Up", 1 }, { "Follow Mouse", 2 }, { "Single Click", 3 } };
    for (const auto& entry : kModes) {
        std::string_view prefix(entry.prefix);
        if (text.size() >= prefix.size() && platform::equalIgnoringAsciiCase(text.substr(0, prefix.size()), prefix))
            return entry.mode;
    }
    return -1;
}

SettingsRegistry::SettingsRegistry()
    : m_bools(defaultBoolRows())
    , m_restarts(defaultRestartRows())
    , m_colours(defaultColourRows())
    , m_integers(defaultIntegerRows())
    , m_fonts(defaultFontRows())
    , m_strings(defaultStringRows())
{
}

template <typename Row> const Row* SettingsRegistry::findByPrefix(const std::vector<Row>& rows, const WString& name)
{
    for (const Row& row : rows) {
        if (name.isPrefixOf(row.name))
            return &row;
    }
    return nullptr;
}

const RestartSettingRow* SettingsRegistry::restartRowFor(const WString& name) const
{
    int32_t length = name.length();
    if (length == 0 || name.c_str()[length - 1] != u'$')
        return nullptr;
    std::u16string bare(name.c_str(), size_t(length - 1));
    return findByPrefix(m_restarts, WString(bare.c_str()));
}

bool SettingsRegistry::isBoolSetting(const WString& name) const
{
    return findByPrefix(m_bools, name) || restartRowFor(name);
}

uint8_t SettingsRegistry::getBoolSetting(const WString& name) const
{
    if (const BoolSettingRow* row = findByPrefix(m_bools, name))
        return row->value;
    if (const RestartSettingRow* row = restartRowFor(name))
        return row->effective();
    return 0;
}

uint8_t SettingsRegistry::getBoolSettingDefault(const WString& name) const
{
    if (const BoolSettingRow* row = findByPrefix(m_bools, name))
        return row->defaultValue;
    if (const RestartSettingRow* row = restartRowFor(name))
        return row->defaultValue;
    return 0;
}

void SettingsRegistry::setBoolSetting(const WString& name, uint8_t value)
{
    BoolSettingRow* row = findByPrefix(m_bools, name);
    if (row) {
        std::string_view rowName = row->name;
        if (rowName == "FullScreen")
            displaySettings().setDisplayMode(value != 0);
        else if (rowName == "PopupHelpEnabled")
            windowSettings().switchHelpPopupsOff();
        else if (rowName == "PopupHelpSticky")
            windowSettings().setHelpPopupSticky(value != 0);
        else if (rowName == "PopupHelpPersistant")
            windowSettings().setHelpPopupPersistent(value != 0);
        else if (rowName == "Sound")
            soundSettings().toggleSound(value != 0);
        else if (rowName == "Music")
            soundSettings().toggleMusic(value != 0);
        else if (rowName == "ShadedFonts")
            displaySettings().setShadedFonts(value != 0);
        row->value = value;
        return;
    }
    if (const RestartSettingRow* found = restartRowFor(name)) {
        RestartSettingRow& restart = *const_cast<RestartSettingRow*>(found);
        if (value != restart.effective())
            m_restartNeeded = true;
        restart.pending = 1;
        restart.pendingValue = value;
    }
}

bool SettingsRegistry::isColourSetting(const WString& name) const
{
    if (findByPrefix(m_colours, name))
        return true;
    for (const char* percentName : kPercentNames) {
        if (name.isPrefixOf(percentName))
            return true;
    }
    return false;
}

int32_t SettingsRegistry::getColourSetting(const WString& name) const
{
    if (const ColourSettingRow* row = findByPrefix(m_colours, name))
        return row->value;
    if (name.isPrefixOf(kSpeechHueName))
        return characterHues().speech[slotIndex()];
    if (name.isPrefixOf(kEmoteHueName))
        return characterHues().emote[slotIndex()];
    for (const char* percentName : { kPartyColourName, kGuildColourName, kAllianceColourName }) {
        if (name.isPrefixOf(percentName)) {
            const ColourSettingRow* row = findByPrefix(m_colours, WString(percentName + 1));
            return row ? row->value : 0;
        }
    }
    return 0;
}

int32_t SettingsRegistry::getColourSettingDefault(const WString& name) const
{
    if (const ColourSettingRow* row = findByPrefix(m_colours, name))
        return row->defaultValue;
    // A new character's hues are a surprise: any hue of the first thousand.
    if (name.isPrefixOf(kSpeechHueName) || name.isPrefixOf(kEmoteHueName))
        return nextRandom() % 1000 + 1;
    return 0;
}

void SettingsRegistry::setColourSetting(const WString& name, int32_t value)
{
    ColourSettingRow* row = findByPrefix(m_colours, name);
    if (row && isNamed(row->name, "PopupHelpTextColor"))
        windowSettings().setHelpPopupTextColour(value);
    if (name.isPrefixOf(kPartyColourName)) {
        if (ColourSettingRow* party = colourRow("PartyMessageColor"))
            party->value = value;
        windowSettings().setPartySpeechHue(value);
    }
    if (row) {
        row->value = value;
        return;
    }
    size_t slot = slotIndex();
    if (name.isPrefixOf(kSpeechHueName)) {
        speechStyle().speechHue = uint16_t(value);
        characterHues().speech[slot] = uint16_t(value);
    } else if (name.isPrefixOf(kEmoteHueName)) {
        speechStyle().emoteHue = uint16_t(value);
        characterHues().emote[slot] = uint16_t(value);
    } else if (name.isPrefixOf(kGuildColourName)) {
        if (ColourSettingRow* guild = colourRow("GuildChatColor"))
            guild->value = value;
    } else if (name.isPrefixOf(kAllianceColourName)) {
        if (ColourSettingRow* alliance = colourRow("AllianceChatColor"))
            alliance->value = value;
    }
}

int32_t SettingsRegistry::getIntSetting(const WString& name) const
{
    const NumberSettingRow* row = findByPrefix(m_integers, name);
    return row ? row->value : 0;
}

int32_t SettingsRegistry::getIntSettingDefault(const WString& name) const
{
    const NumberSettingRow* row = findByPrefix(m_integers, name);
    return row ? row->defaultValue : 0;
}

void SettingsRegistry::setIntSetting(const WString& name, int32_t value)
{
    NumberSettingRow* row = findByPrefix(m_integers, name);
    if (!row)
        return;
    std::string_view rowName = row->name;
    if (rowName == "CircleTransRadius")
        worldSettingsService().setCircleRadius(value);
    else if (rowName == "PopupHelpPreDelay")
        windowSettings().setHelpPopupDelay(value);
    else if (rowName == "SoundVol")
        soundSettings().setSoundVolume(uint8_t(value));
    else if (rowName == "MusicVol")
        soundSettings().setMusicVolume(uint8_t(value));
    row->value = value;
    if (rowName == "HouseCacheSize")
        worldSettingsService().setMultiCacheLimit(value);
}

int32_t SettingsRegistry::getFontSetting(const WString& name) const
{
    const NumberSettingRow* row = findByPrefix(m_fonts, name);
    return row ? row->value : 0;
}

int32_t SettingsRegistry::getFontSettingDefault(const WString& name) const
{
    const NumberSettingRow* row = findByPrefix(m_fonts, name);
    return row ? row->defaultValue : 0;
}

void SettingsRegistry::setFontSetting(const WString& name, int32_t value)
{
    NumberSettingRow* row = findByPrefix(m_fonts, name);
    if (!row)
        return;
    if (isNamed(row->name, "PopupHelpTextFont"))
        windowSettings().setHelpPopupFont(value);
    else if (isNamed(row->name, "ToolTipFont"))
        windowSettings().setToolTipFont(value);
    row->value = value;
}

std::string SettingsRegistry::getStringSetting(const WString& name) const
{
    const StringSettingRow* row = findByPrefix(m_strings, name);
    return row ? row->value : std::string();
}

std::string SettingsRegistry::getStringSettingDefault(const WString& name) const
{
    const StringSettingRow* row = findByPrefix(m_strings, name);
    return row ? row->defaultValue : std::string();
}

void SettingsRegistry::setStringSetting(const WString& name, const WString& text)
{
    if (StringSettingRow* row = findByPrefix(m_strings, name))
        storeString(*row, narrowed(text));
    // A game area of 800x600 needs a full-screen mode at least that large.
    StringSettingRow* fullScreenRes = stringRow("FullScreenRes");
    StringSettingRow* gameSize = stringRow("GamePlayWindowSize");
    if (fullScreenRes && gameSize && platform::equalIgnoringAsciiCase(fullScreenRes->value, "640x480")
        && platform::equalIgnoringAsciiCase(gameSize->value, "800x600"))
        storeString(*fullScreenRes, "800x600");
}

void SettingsRegistry::storeString(StringSettingRow& row, std::string text)
{
    // A text of any length from the options window fits its 512-byte room.
    if (text.size() > kMaxSettingTextLength)
        text.resize(kMaxSettingTextLength);
    std::string_view rowName = row.name;
    if (rowName == "GamePlayWindowSize") {
        int32_t width = 0;
        int32_t height = 0;
        if (parseSize(text, width, height)) {
            displaySettings().setGameWindowSize(width, height);
            windowSettings().relayoutGameArea();
        }
    }
    bool resolutionChanged = rowName == "FullScreenRes" && !platform::equalIgnoringAsciiCase(text, row.value);
    if (rowName == "ItemPropsMode") {
        int32_t mode = itemPropsModeFor(text);
        if (mode >= 0)
            windowSettings().setItemPropsMode(mode);
    }
    row.value = std::move(text);
    if (rowName == "FullScreenRes")
        displaySettings().setFullScreenRes(row.value);
    // The new mode applies by leaving full screen and entering it again.
    if (resolutionChanged && displaySettings().isFullScreen()) {
        displaySettings().setDisplayMode(false);
        displaySettings().setDisplayMode(true);
    }
}

void SettingsRegistry::resetSettingsToDefaults()
{
    for (BoolSettingRow& row : m_bools)
        row.value = row.defaultValue;
    for (ColourSettingRow& row : m_colours)
        row.value = row.defaultValue;
    for (NumberSettingRow& row : m_integers)
        row.value = row.defaultValue;
    for (NumberSettingRow& row : m_fonts)
        row.value = row.defaultValue;
}

bool SettingsRegistry::isManagedSettingLine(std::string_view line) const
{
    if (line == kSettingsSeparator)
        return true;
    std::string_view word = firstWord(line);
    if (word.empty())
        return false;
    // Whole names only (in any case, as the reader takes them): a line of
    // the player's own, "Foo=bar", is kept even though "Foo" begins a name.
    auto names = [word](const auto& rows) {
        for (const auto& row : rows) {
            if (platform::equalIgnoringAsciiCase(word, row.name))
                return true;
        }
        return false;
    };
    for (const char* percentName : kPercentNames) {
        if (platform::equalIgnoringAsciiCase(word, percentName))
            return true;
    }
    return names(m_bools) || names(m_restarts) || names(m_colours) || names(m_integers) || names(m_fonts)
        || names(m_strings);
}

std::string SettingsRegistry::savedFileText(
    const std::vector<std::string>& kept, bool forgetAccountPassword, bool perCharacter) const
{
    bool leaveAccountOut = forgetAccountPassword || perCharacter;
    std::string out;
    for (const std::string& line : kept) {
        if (leaveAccountOut && startsWithAccountLine(line))
            continue;
        appendLine(out, line);
    }
    appendLine(out, kSettingsSeparator);
    for (const BoolSettingRow& row : m_bools) {
        if (leaveAccountOut && isNamed(row.name, "RememberAcctPW"))
            continue;
        appendLine(out, std::string(row.name) + (row.value ? "=on" : "=off"));
    }
    for (const RestartSettingRow& row : m_restarts) {
        if (row.effective() != row.defaultValue)
            appendLine(out, std::string(row.name) + (row.effective() ? "=on" : "=off"));
    }
    char text[64];
    for (const ColourSettingRow& row : m_colours) {
        if (row.value == row.defaultValue)
            continue;
        if (row.isHue) {
            std::snprintf(text, sizeof text, "%d", row.value);
        } else {
            uint32_t colour = uint32_t(row.value);
            std::snprintf(
                text, sizeof text, "#%02x%02x%02x", (colour >> 7) & 0xF8, (colour >> 2) & 0xF8, (colour & 0x1F) << 3);
        }
        appendLine(out, std::string(row.name) + "=" + text);
    }
    for (const std::vector<NumberSettingRow>* table : { &m_integers, &m_fonts }) {
        for (const NumberSettingRow& row : *table) {
            if (row.value == row.defaultValue)
                continue;
            std::snprintf(text, sizeof text, "%d", row.value);
            appendLine(out, std::string(row.name) + "=" + text);
        }
    }
    for (const StringSettingRow& row : m_strings) {
        if (row.value != row.defaultValue)
            appendLine(out, std::string(row.name) + "=" + row.value);
    }
    return out;
}

BoolSettingRow* SettingsRegistry::boolRow(std::string_view name)
{
    for (BoolSettingRow& row : m_bools) {
        if (row.name == name)
            return &row;
    }
    return nullptr;
}

RestartSettingRow* SettingsRegistry::restartRow(std::string_view name)
{
    for (RestartSettingRow& row : m_restarts) {
        if (row.name == name)
            return &row;
    }
    return nullptr;
}

ColourSettingRow* SettingsRegistry::colourRow(std::string_view name)
{
    for (ColourSettingRow& row : m_colours) {
        if (row.name == name)
            return &row;
    }
    return nullptr;
}

NumberSettingRow* SettingsRegistry::integerRow(std::string_view name)
{
    for (NumberSettingRow& row : m_integers) {
        if (row.name == name)
            return &row;
    }
    return nullptr;
}

NumberSettingRow* SettingsRegistry::fontRow(std::string_view name)
{
    for (NumberSettingRow& row : m_fonts) {
        if (row.name == name)
            return &row;
    }
    return nullptr;
}

StringSettingRow* SettingsRegistry::stringRow(std::string_view name)
{
    for (StringSettingRow& row : m_strings) {
        if (row.name == name)
            return &row;
    }
    return nullptr;
}

SettingsRegistry& settings()
{
    if (SettingsRegistry* installed = installedSettings())
        return *installed;
    static SettingsRegistry processSettings;
    return processSettings;
}

SettingsRegistry* installSettings(SettingsRegistry* replacement)
{
    SettingsRegistry* previous = installedSettings();
    installedSettings() = replacement;
    return previous;
}

void saveGlobalSettings()
{
    std::vector<std::string> kept;
    if (!keptLines(kRegistryMainFile, kept))
        return;
    saveManagedFile(kRegistryMainFile, settings().savedFileText(kept, configFiles().forgetAccountPassword(), false));
}

void saveSettings()
{
    saveGlobalSettings();
    saveCharacterData();
    // The character's own copy is saved when it exists; it is made by the
    // single-key writers, never here.
    std::optional<std::string> own = configFiles().perCharacterPath(kRegistryMainFile);
    std::vector<std::string> kept;
    if (!own || !keptLines(*own, kept))
        return;
    saveManagedFile(*own, settings().savedFileText(kept, configFiles().forgetAccountPassword(), true));
}
