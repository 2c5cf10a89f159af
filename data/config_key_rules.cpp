#include "data/config_key_rules.h"

#include "core/html_colour.h"
#include "data/file_manager.h"
#include "data/player_lists.h"
#include "data/server_config_store.h"
#include "data/settings_registry.h"
#include "data/settings_services.h"
#include "data/view_range.h"
#include "platform/ascii_text.h"
#include "platform/sockets.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

constexpr uint32_t kTranslationAddress = 0x7F000001; // 127.0.0.1
constexpr uint16_t kTranslationPort = 28888;

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = platform::foldAsciiCase(c);
    return out;
}

// "true", "yes", "on" or a non-zero number.
bool isTrueWord(std::string_view text)
{
    std::string word = lower(text);
    return word == "true" || word == "yes" || word == "on" || leadingNumber(text) != 0;
}

bool isFalseWord(std::string_view text)
{
    std::string word = lower(text);
    return word == "false" || word == "no" || word == "off" || word == "0";
}

std::string cut(std::string_view text, size_t length) { return std::string(text.substr(0, length)); }

void setBool(std::string_view name, bool value)
{
    if (BoolSettingRow* row = settings().boolRow(name))
        row->value = value ? 1 : 0;
}

void setRestart(std::string_view name, bool value)
{
    if (RestartSettingRow* row = settings().restartRow(name))
        row->value = value ? 1 : 0;
}

void setColour(std::string_view name, int32_t value)
{
    if (ColourSettingRow* row = settings().colourRow(name))
        row->value = value;
}

void setInteger(std::string_view name, int32_t value)
{
    if (NumberSettingRow* row = settings().integerRow(name))
        row->value = value;
}

void setFont(std::string_view name, int32_t value)
{
    if (NumberSettingRow* row = settings().fontRow(name))
        row->value = value;
}

void setString(std::string_view name, std::string_view text)
{
    if (StringSettingRow* row = settings().stringRow(name))
        row->value = cut(text, kMaxSettingTextLength);
}

// A login-server line: the dotted form, or a host name resolved when
// connecting. The lists hold eight entries; further lines are not kept.
void appendLoginServer(std::vector<LoginServerEntry>& list, std::string_view text)
{
    if (list.size() >= kMaxLoginServers)
        return;
    LoginServerEntry entry;
    if (!parseDottedAddress(text, entry.address, entry.port))
        entry.hostName = cut(text, kMaxSettingTextLength);
    list.push_back(std::move(entry));
}

HostResolver& hostResolver()
{
    static HostResolver resolver = [](const std::string& name) { return platform::resolveHostAddresses(name.c_str()); };
    return resolver;
}

size_t& rotationIndex()
{
    static size_t index = 0;
    return index;
}

// The value rule of the boolean settings.
bool applyBooleanSetting(ConfigKeyKind kind, const std::string& value)
{
    switch (kind) {
    case ConfigKeyKind::Sound:
    case ConfigKeyKind::Music:
    case ConfigKeyKind::ObscenityFilter:
    case ConfigKeyKind::FullScreen:
    case ConfigKeyKind::ShowIntroAnim:
    case ConfigKeyKind::OrderCacheOnStartup:
    case ConfigKeyKind::RememberAcctPW:
    case ConfigKeyKind::JournalSaveUnicode:
    case ConfigKeyKind::NotorietyQuery:
    case ConfigKeyKind::UseCircleTrans:
    case ConfigKeyKind::FilterPWOn:
    case ConfigKeyKind::Footsteps:
    case ConfigKeyKind::ScaleBarkTimes:
    case ConfigKeyKind::FrameSkipping:
    case ConfigKeyKind::AllowPathfind:
    case ConfigKeyKind::HoldTabForCombat:
    case ConfigKeyKind::OffsetGumps:
    case ConfigKeyKind::AutoArrangeMinimized:
    case ConfigKeyKind::AssumePlayAsGhost:
    case ConfigKeyKind::UseToolTips:
    case ConfigKeyKind::ColoredLighting:
    case ConfigKeyKind::ShowIncomingNames:
    case ConfigKeyKind::StatReport:
    case ConfigKeyKind::DarkNights:
    case ConfigKeyKind::AlwaysRun:
    case ConfigKeyKind::NewbieDesktop:
    case ConfigKeyKind::TreeCanopies:
    case ConfigKeyKind::Desolation:
    case ConfigKeyKind::CombatMusic:
    case ConfigKeyKind::ShiftForContext:
    case ConfigKeyKind::DisableMenubar:
    case ConfigKeyKind::ItemPropsIcon:
    case ConfigKeyKind::CollectMetrics:
    case ConfigKeyKind::ObjectHandles:
        setBool(configKeyName(kind), isOnOrYes(value));
        return true;
    case ConfigKeyKind::ShadedFonts:
        setBool("ShadedFonts", isOnOrYes(value));
        displaySettings().setShadedFonts(isOnOrYes(value));
        return true;
    case ConfigKeyKind::UnicodeSpeech:
    case ConfigKeyKind::Sound8Bit:
    case ConfigKeyKind::ReverseSpeakers:
        setRestart(configKeyName(kind), isOnOrYes(value));
        return true;
    case ConfigKeyKind::EnableMessenger:
    case ConfigKeyKind::VOMessengerPing:
        setRestart(configKeyName(kind), isTrueWord(value));
        return true;
    case ConfigKeyKind::IgnoreGuildChat:
    case ConfigKeyKind::IgnoreAllianceChat:
        setBool(configKeyName(kind), isTrueWord(value));
        return true;
    case ConfigKeyKind::PopupHelpSticky:
        setBool("PopupHelpSticky", isTrueWord(value));
        if (isTrueWord(value))
            windowSettings().setHelpPopupSticky(true);
        return true;
    case ConfigKeyKind::TranslationServer:
        setBool("TranslationServer", isTrueWord(value));
        if (isTrueWord(value))
            translationSettings().setEnabled(true);
        return true;
    case ConfigKeyKind::TranslationServerAutomatic:
        setBool("TranslationServerAutomatic", isTrueWord(value));
        translationSettings().setAutomatic(isTrueWord(value));
        return true;
    case ConfigKeyKind::PopupHelpPersistant: {
        bool on = !isFalseWord(value);
        setBool("PopupHelpPersistant", on);
        windowSettings().setHelpPopupPersistent(on);
        return true;
    }
    case ConfigKeyKind::PopupHelpEnabled:
        // Giving the key at all switches the pop-ups off and fixes that choice.
        windowSettings().switchHelpPopupsOff();
        setBool("PopupHelpEnabled", false);
        configValues().popupHelpEnabledGiven = true;
        return true;
    case ConfigKeyKind::ColorOutOfRange:
        setBool("ColorOutOfRange", isOnOrYes(value));
        setRangeColor(isOnOrYes(value));
        return true;
    default:
        return false;
    }
}

// The value rule of the program values and numbers.
bool applyValueKey(ConfigKeyKind kind, const std::string& value)
{
    ConfigValues& values = configValues();
    int32_t number = leadingNumber(value);
    switch (kind) {
    case ConfigKeyKind::FrameCounter:
        values.frameCounter = isOnOrYes(value);
        return true;
    case ConfigKeyKind::AutoLogIn:
        values.autoLogIn = isOnOrYes(value);
        return true;
    case ConfigKeyKind::UseVerData:
        values.useVerData = isOnOrYes(value);
        return true;
    case ConfigKeyKind::ShowTips:
        values.showTips = isOnOrYes(value);
        return true;
    case ConfigKeyKind::ChatAntiAlias:
        values.chatAntiAlias = isOnOrYes(value);
        return true;
    case ConfigKeyKind::CensorFlesh:
        values.censorFlesh = isOnOrYes(value);
        return true;
    case ConfigKeyKind::CensorBlood:
        values.censorBlood = isOnOrYes(value);
        return true;
    case ConfigKeyKind::OmitBlood:
        values.omitBlood = isOnOrYes(value);
        return true;
    case ConfigKeyKind::ClientFirstLaunch:
        values.clientFirstLaunch = isOnOrYes(value);
        return true;
    case ConfigKeyKind::FilterWeather:
        values.filterWeather = isOnOrYes(value);
        return true;
    case ConfigKeyKind::SoundVol:
    case ConfigKeyKind::MusicVol:
    case ConfigKeyKind::QuestionFlags:
        setInteger(configKeyName(kind), number);
        return true;
    case ConfigKeyKind::BarkTimeModifier:
        // A percentage of the time an overhead text stays: a negative one
        // would keep texts for ever, a huge one overflow their lifetime.
        setInteger("BarkTimeModifier", std::clamp(number, 0, kMaxBarkTimeModifier));
        return true;
    case ConfigKeyKind::ChatFontNumber:
    case ConfigKeyKind::BarkFontNumber:
        setFont(configKeyName(kind), number);
        return true;
    case ConfigKeyKind::GuildChatColor:
    case ConfigKeyKind::AllianceChatColor:
        setColour(configKeyName(kind), number);
        return true;
    case ConfigKeyKind::CacheSize:
        values.cacheSize = number;
        return true;
    case ConfigKeyKind::LastTip:
        values.lastTip = number;
        return true;
    case ConfigKeyKind::CurrentVer:
        values.currentVersion = number;
        return true;
    case ConfigKeyKind::AltKeyModNum:
        values.altKeyModNum = number;
        return true;
    case ConfigKeyKind::ChatSpaceWidth:
        values.chatSpaceWidth = number;
        return true;
    case ConfigKeyKind::SpamLimit:
        values.spamLimit = number;
        return true;
    case ConfigKeyKind::ClientLogin:
        configFiles().setLoginCount(number);
        return true;
    case ConfigKeyKind::PartyMessageColor:
        setColour("PartyMessageColor", number);
        windowSettings().setPartySpeechHue(number);
        return true;
    case ConfigKeyKind::HighlightColorInnocent:
    case ConfigKeyKind::HighlightColorFriend:
    case ConfigKeyKind::HighlightColorCanAttack:
    case ConfigKeyKind::HighlightColorCriminal:
    case ConfigKeyKind::HighlightColorEnemy:
    case ConfigKeyKind::HighlightColorMurderer:
        setColour(configKeyName(kind), number);
        return true;
    case ConfigKeyKind::CircleTransRadius:
        setInteger("CircleTransRadius", number);
        worldSettingsService().setCircleRadius(number);
        return true;
    case ConfigKeyKind::CircleTransPos: {
        int x = 0;
        int y = 0;
        if (std::sscanf(value.c_str(), "%d,%d", &x, &y) == 2) {
            values.hasCircleCentre = true;
            values.circleCentreX = x;
            values.circleCentreY = y;
            worldSettingsService().setCircleCentre(x, y);
        }
        return true;
    }
    case ConfigKeyKind::ToolTipFont:
    case ConfigKeyKind::PopupHelpTextFont: {
        int32_t font = std::clamp(number, 0, 2);
        setFont(configKeyName(kind), font);
        if (kind == ConfigKeyKind::ToolTipFont)
            windowSettings().setToolTipFont(font);
        else
            windowSettings().setHelpPopupFont(font);
        return true;
    }
    case ConfigKeyKind::ToolTipPreDelay:
        setInteger("ToolTipPreDelay", std::max(number, 100));
        return true;
    case ConfigKeyKind::PopupHelpPreDelay:
        setInteger("PopupHelpPreDelay", std::max(number, 100));
        windowSettings().setHelpPopupDelay(std::max(number, 100));
        return true;
    case ConfigKeyKind::SkillReportDiff:
        setInteger("SkillReportDiff", std::min(number, 100));
        return true;
    case ConfigKeyKind::LastServerID:
        values.lastServerId = std::max(number, 0);
        return true;
    case ConfigKeyKind::HouseCacheSize:
        setInteger("HouseCacheSize", number);
        worldSettingsService().setMultiCacheLimit(number);
        return true;
    case ConfigKeyKind::NextLoginKey:
        values.nextLoginKey = uint8_t(number & 0xFF);
        return true;
    case ConfigKeyKind::DefaultChar:
        if (number >= 0 && number <= 4)
            values.defaultCharacterSlot = number;
        return true;
    default:
        return false;
    }
}

bool applyColourKey(ConfigKeyKind kind, const std::string& value)
{
    ConfigValues& values = configValues();
    switch (kind) {
    case ConfigKeyKind::CombatHueColor:
        values.combatHueColour = parseHtmlColor(value);
        return true;
    case ConfigKeyKind::ProfileColor1:
        values.profileColour1 = parseHtmlColor(value);
        return true;
    case ConfigKeyKind::ProfileColor2:
        values.profileColour2 = parseHtmlColor(value);
        return true;
    case ConfigKeyKind::CensoredBloodColor:
        values.censoredBloodColour = parseHtmlColor(value);
        displaySettings().setCensoredBloodColour(uint16_t(values.censoredBloodColour));
        return true;
    case ConfigKeyKind::PopupHelpTextColor:
        setColour("PopupHelpTextColor", parseHtmlColor(value));
        windowSettings().setHelpPopupTextColour(parseHtmlColor(value));
        return true;
    case ConfigKeyKind::ChatColorSelfText:
    case ConfigKeyKind::ChatColorSelfName:
    case ConfigKeyKind::ChatColorOpsText:
    case ConfigKeyKind::ChatColorOpsName:
    case ConfigKeyKind::ChatColorMutedText:
    case ConfigKeyKind::ChatColorMutedName:
    case ConfigKeyKind::ChatColorText:
    case ConfigKeyKind::ChatColorName:
    case ConfigKeyKind::ChatColorMenuOption:
    case ConfigKeyKind::ChatColorInput:
    case ConfigKeyKind::ChatColorSystemMessage:
    case ConfigKeyKind::ChatColorConferenceMenuBackground:
    case ConfigKeyKind::ChatColorCommandMenuBackground:
    case ConfigKeyKind::ChatColorUserListBackground:
    case ConfigKeyKind::ChatColorTextBackground:
    case ConfigKeyKind::ChatColorInputBackground:
    case ConfigKeyKind::ChatColorDialogBackground:
    case ConfigKeyKind::ToolTipTextColor:
        setColour(configKeyName(kind), parseHtmlColor(value));
        return true;
    default:
        return false;
    }
}

bool applyTextKey(ConfigKeyKind kind, const std::string& value)
{
    ConfigValues& values = configValues();
    ConfigFiles& files = configFiles();
    switch (kind) {
    case ConfigKeyKind::CdRomDataPath:
        values.cdRomDataPath = cut(value, kMaxPathText);
        return true;
    case ConfigKeyKind::PlayerName:
        files.setCharacterName(cut(value, kMaxAccountText));
        return true;
    case ConfigKeyKind::AcctID:
        files.setAccountName(cut(value, kMaxAccountText));
        return true;
    case ConfigKeyKind::AcctLastName:
        values.accountLastName = cut(value, kMaxAccountText);
        return true;
    case ConfigKeyKind::Password:
    case ConfigKeyKind::FilterPassword:
    case ConfigKeyKind::AcctPassword: {
        if (kind == ConfigKeyKind::AcctPassword && files.forgetAccountPassword())
            return true;
        std::string text = cut(value, kMaxAccountText);
        unshiftScrambleText(text);
        if (kind == ConfigKeyKind::Password)
            values.characterPassword = text;
        else if (kind == ConfigKeyKind::FilterPassword)
            values.filterPassword = text;
        else
            values.accountPassword = text;
        return true;
    }
    case ConfigKeyKind::FullScreenRes:
        setString("FullScreenRes", value);
        displaySettings().setFullScreenRes(settings().stringRow("FullScreenRes")->value);
        return true;
    case ConfigKeyKind::GamePlayWindowSize: {
        setString("GamePlayWindowSize", value);
        int width = 0;
        int height = 0;
        if (std::sscanf(value.c_str(), "%dx%d", &width, &height) == 2)
            displaySettings().setGameWindowSize(width, height);
        return true;
    }
    case ConfigKeyKind::JournalSaveFile:
        values.journalFile = cut(value, kMaxPathText);
        setBool("SaveJournal", true);
        return true;
    case ConfigKeyKind::LoginServerFile:
        values.loginServerFile = cut(value, kMaxPathText);
        return true;
    case ConfigKeyKind::ItemPropsMode: {
        setString("ItemPropsMode", value);
        int32_t mode = itemPropsModeFor(value);
        if (mode >= 0)
            windowSettings().setItemPropsMode(mode);
        return true;
    }
    case ConfigKeyKind::FileManagerAddSearchPath:
        fileManager().addSearchPathOnce(value);
        return true;
    case ConfigKeyKind::TranslationServerTranslatorName:
    case ConfigKeyKind::TranslationServerSystranNFWMarker:
    case ConfigKeyKind::TranslationServerSystranTopicalGlossaries:
    case ConfigKeyKind::TranslationServerSystranDocumentType:
        translationSettings().setRequestText(configKeyName(kind), cut(value, kMaxSettingTextLength));
        return true;
    case ConfigKeyKind::TranslationServerIPAddress: {
        uint32_t address = kTranslationAddress;
        uint16_t port = kTranslationPort;
        if (!parseDottedAddress(value, address, port)) {
            address = kTranslationAddress;
            port = kTranslationPort;
        }
        translationSettings().setServerAddress(address, port);
        return true;
    }
    default:
        return false;
    }
}

bool applySwitchKey(ConfigKeyKind kind, const std::string& value, bool perCharacter)
{
    ConfigValues& values = configValues();
    std::string word = lower(value);
    switch (kind) {
    case ConfigKeyKind::EditServer:
        if (!parseDottedAddress(value, values.editServer.address, values.editServer.port))
            resolveServerAddress(value, values.editServer.address, values.editServer.port);
        displaySettings().setEditServerMode(values.editServer.address != 0);
        return true;
    case ConfigKeyKind::UserCentral: {
        unsigned a = 0, b = 0, c = 0, d = 0, port = 0;
        if (std::sscanf(value.c_str(), "%u.%u.%u.%u,%u", &a, &b, &c, &d, &port) == 5) {
            values.userCentral.address = (a & 0xFF) << 24 | (b & 0xFF) << 16 | (c & 0xFF) << 8 | (d & 0xFF);
            values.userCentral.port = uint16_t(port);
        }
        return true;
    }
    case ConfigKeyKind::LoginServer:
    case ConfigKeyKind::BackupLoginServer:
        // Login servers come from the login-server file, never a character's copy.
        if (perCharacter)
            return true;
        appendLoginServer(kind == ConfigKeyKind::LoginServer ? values.loginServers : values.backupLoginServers, value);
        if (kind == ConfigKeyKind::LoginServer && values.currentLoginServer < 0)
            values.currentLoginServer = 0;
        return true;
    case ConfigKeyKind::HdUsage:
        values.hdUsageMax = word == "max";
        return true;
    case ConfigKeyKind::GDIFullScreen:
        setRestart("GDIFullScreen", isOnOrYes(value));
        values.gdiFullScreenGiven = true;
        return true;
    case ConfigKeyKind::PageFlip:
        if (!values.gdiFullScreenGiven)
            setRestart("GDIFullScreen", false);
        setRestart("PageFlip", isOnOrYes(value));
        if (!isOnOrYes(value) && word == "gdi" && !values.gdiFullScreenGiven)
            setRestart("GDIFullScreen", true);
        return true;
    case ConfigKeyKind::Use565:
        setRestart("Use565", isOnOrYes(value));
        displaySettings().setUse565(isOnOrYes(value));
        return true;
    case ConfigKeyKind::MouseThread:
        setRestart("MouseThread", word == "on" || word == "yes" || word == "fast");
        return true;
    case ConfigKeyKind::Mouse:
        if (word == "slow")
            setRestart("MouseThread", false);
        else if (word == "fast")
            setRestart("MouseThread", true);
        return true;
    case ConfigKeyKind::OrderCache: {
        bool startup = false;
        size_t at = 0;
        while (at <= word.size()) {
            size_t comma = word.find(',', at);
            if (comma == std::string::npos)
                comma = word.size();
            if (std::string_view(word).substr(at, comma - at) == "startup")
                startup = true;
            at = comma + 1;
        }
        setBool("OrderCacheOnStartup", startup);
        return true;
    }
    case ConfigKeyKind::GlobalQueue:
        if (isOnOrYes(value))
            setBool("GlobalQueue", true);
        return true;
    case ConfigKeyKind::RuntimeDebugMsg:
        if (word == "on")
            values.runtimeDebugMessages = true;
        return true;
    case ConfigKeyKind::AllowWindowResize:
        if (isTrueWord(value))
            values.allowWindowResize = 1;
        if (isFalseWord(value))
            values.allowWindowResize = 0;
        return true;
    default:
        return false;
    }
}

} // namespace

bool isOnOrYes(std::string_view text)
{
    return platform::equalIgnoringAsciiCase(text, "on") || platform::equalIgnoringAsciiCase(text, "yes");
}

int32_t leadingNumber(std::string_view text)
{
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
    }
    int64_t value = 0;
    for (; at < text.size() && platform::isAsciiDigit(text[at]); ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            value = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    }
    if (negative)
        return int32_t(std::max(-value, int64_t(std::numeric_limits<int32_t>::min())));
    return int32_t(std::min(value, int64_t(std::numeric_limits<int32_t>::max())));
}

ConfigValues& configValues()
{
    static ConfigValues values;
    return values;
}

void resetConfigValues() { configValues() = ConfigValues {}; }

bool parseDottedAddress(std::string_view text, uint32_t& address, uint16_t& port)
{
    uint32_t groups[4] = {};
    size_t at = 0;
    for (int group = 0; group < 4; ++group) {
        size_t digits = 0;
        uint32_t value = 0;
        while (at < text.size() && platform::isAsciiDigit(text[at]) && digits < 4) {
            value = value * 10 + uint32_t(text[at] - '0');
            ++at;
            ++digits;
        }
        if (digits < 1 || digits > 3 || value > 255)
            return false;
        groups[group] = value;
        char separator = group < 3 ? '.' : ',';
        if (at >= text.size() || text[at] != separator)
            return false;
        ++at;
    }
    size_t digits = 0;
    uint32_t value = 0;
    while (at < text.size() && platform::isAsciiDigit(text[at]) && digits < 6) {
        value = value * 10 + uint32_t(text[at] - '0');
        ++at;
        ++digits;
    }
    if (digits < 4 || digits > 5 || value > 0xFFFF)
        return false;
    address = groups[0] << 24 | groups[1] << 16 | groups[2] << 8 | groups[3];
    port = uint16_t(value);
    return true;
}

bool isDottedAddress(std::string_view text)
{
    uint32_t address = 0;
    uint16_t port = 0;
    return parseDottedAddress(text, address, port);
}

HostResolver installHostResolver(HostResolver resolver)
{
    HostResolver previous = std::move(hostResolver());
    hostResolver() = std::move(resolver);
    return previous;
}

bool resolveServerAddress(std::string_view text, uint32_t& address, uint16_t& port)
{
    size_t comma = text.find(',');
    std::string host(text.substr(0, comma));
    port = comma == std::string_view::npos ? 0 : uint16_t(leadingNumber(text.substr(comma + 1)));
    std::vector<uint32_t> addresses = hostResolver() ? hostResolver()(host) : std::vector<uint32_t> {};
    if (addresses.empty())
        return false;
    size_t& index = rotationIndex();
    if (index >= addresses.size())
        index = 0;
    address = addresses[index++];
    return true;
}

void SettingsKeyRules::applyConfigKey(ConfigKeyKind kind, const std::string& value, bool perCharacter)
{
    if (value.empty())
        return;
    if (applyBooleanSetting(kind, value) || applyValueKey(kind, value) || applyColourKey(kind, value)
        || applyTextKey(kind, value))
        return;
    // The rest are recognised and applied nowhere (ObsceneWord, SavePassword,
    // UserLanguageCodeString, SaveJournal, the help-queue sizes, SaveDesktop,
    // CancelGumpOpen, Season, NumPassTries).
    applySwitchKey(kind, value, perCharacter);
}

bool SettingsKeyRules::isServerStoredMode() { return serverConfigStore().isEnabled(); }

void SettingsKeyRules::resetSettingsToDefaults() { settings().resetSettingsToDefaults(); }

void SettingsKeyRules::switchObscenityFilterOff() { setBool("ObscenityFilter", false); }

SettingsKeyRules& settingsKeyRules()
{
    static SettingsKeyRules rules;
    return rules;
}
