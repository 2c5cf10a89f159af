#include "data/config_key_rules.h"
#include "data/file_manager.h"
#include "data/player_lists.h"
#include "data/settings_services.h"
#include "data/view_range.h"
#include "settings_fixture.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

// ---- Key x value ---------------------------------------------------------------------

struct KeyCase {
    const char* label;
    const char* file;
    // What the read must leave behind.
    std::function<void(SettingsRegistry&, const ConfigValues&)> check;
};

class KeyRules : public SettingsFixture, public ::testing::WithParamInterface<KeyCase> { };

TEST_P(KeyRules, ApplyTheValue)
{
    read(GetParam().file);
    GetParam().check(m_settings, configValues());
}

uint8_t flag(SettingsRegistry& s, const char16_t* name) { return s.getBoolSetting(name); }

const KeyCase kKeyCases[] = {
    { "OnInAnyCase", "sound=ON\r\n", [](auto& s, auto&) { EXPECT_EQ(flag(s, u"Sound"), 1); } },
    { "TrueIsNotOnForPlainBooleans", "Sound=true\r\n", [](auto& s, auto&) { EXPECT_EQ(flag(s, u"Sound"), 0); } },
    { "YesIsOn", "Footsteps=off\r\nFootsteps=Yes\r\n", [](auto& s, auto&) { EXPECT_EQ(flag(s, u"Footsteps"), 1); } },
    { "EmptyValueLeavesTheDefault", "Footsteps=\r\n", [](auto& s, auto&) { EXPECT_EQ(flag(s, u"Footsteps"), 1); } },
    { "NumberCountsForChatSwitches", "IgnoreAllianceChat=1\r\n",
        [](auto& s, auto&) {
            EXPECT_EQ(flag(s, u"IgnoreAllianceChat"), 1);
            EXPECT_EQ(flag(s, u"IgnoreGuildChat"), 0);
        } },
    { "TrueCountsForMessenger", "EnableMessenger=0\r\nVOMessengerPing=TRUE\r\n",
        [](auto& s, auto&) {
            EXPECT_EQ(s.getBoolSetting(u"EnableMessenger$"), 0);
            EXPECT_EQ(s.getBoolSetting(u"VOMessengerPing$"), 1);
        } },
    { "PopupHelpEnabledOnStillSwitchesThemOff", "PopupHelpEnabled=on\r\n",
        [](auto& s, auto& v) {
            EXPECT_EQ(flag(s, u"PopupHelpEnabled"), 0);
            EXPECT_TRUE(v.popupHelpEnabledGiven);
        } },
    { "PersistenceOffOnlyByItsFalseWords", "PopupHelpPersistant=0\r\n",
        [](auto& s, auto&) { EXPECT_EQ(flag(s, u"PopupHelpPersistant"), 0); } },
    { "PersistenceOnForOtherText", "PopupHelpPersistant=maybe\r\n",
        [](auto& s, auto&) { EXPECT_EQ(flag(s, u"PopupHelpPersistant"), 1); } },
    { "FontClampedHigh", "ToolTipFont=7\r\nPopupHelpTextFont=-3\r\n",
        [](auto& s, auto&) {
            EXPECT_EQ(s.getFontSetting(u"ToolTipFont"), 2);
            EXPECT_EQ(s.getFontSetting(u"PopupHelpTextFont"), 0);
        } },
    { "DelayAtLeast100", "ToolTipPreDelay=50\r\nPopupHelpPreDelay=-9\r\n",
        [](auto& s, auto&) {
            EXPECT_EQ(s.getIntSetting(u"ToolTipPreDelay"), 100);
            EXPECT_EQ(s.getIntSetting(u"PopupHelpPreDelay"), 100);
        } },
    { "SkillReportAtMost100", "SkillReportDiff=250\r\n",
        [](auto& s, auto&) { EXPECT_EQ(s.getIntSetting(u"SkillReportDiff"), 100); } },
    { "LastServerNotNegative", "LastServerID=-5\r\n", [](auto&, auto& v) { EXPECT_EQ(v.lastServerId, 0); } },
    { "NextLoginKeyLowByte", "NextLoginKey=300\r\n", [](auto&, auto& v) { EXPECT_EQ(v.nextLoginKey, 44); } },
    { "DefaultCharOutsideTheSlotsChangesNothing", "DefaultChar=3\r\nDefaultChar=9\r\nDefaultChar=-1\r\n",
        [](auto&, auto& v) { EXPECT_EQ(v.defaultCharacterSlot, 3); } },
    { "NonNumericIsZero", "SoundVol=loud\r\n", [](auto& s, auto&) { EXPECT_EQ(s.getIntSetting(u"SoundVol"), 0); } },
    { "HugeNumberClampsTo32Bits", "MusicVol=99999999999999\r\nQuestionFlags=-99999999999999\r\n",
        [](auto& s, auto&) {
            EXPECT_EQ(s.getIntSetting(u"MusicVol"), std::numeric_limits<int32_t>::max());
            EXPECT_EQ(s.getIntSetting(u"QuestionFlags"), std::numeric_limits<int32_t>::min());
        } },
    // A negative time would keep overhead texts for ever, a huge one
    // overflow their lifetime.
    { "BarkTimeNeverNegative", "BarkTimeModifier=-1\r\n",
        [](auto& s, auto&) { EXPECT_EQ(s.getIntSetting(u"BarkTimeModifier"), 0); } },
    { "BarkTimeAtMostAHundredTimes", "BarkTimeModifier=99999999999999\r\n",
        [](auto& s, auto&) { EXPECT_EQ(s.getIntSetting(u"BarkTimeModifier"), kMaxBarkTimeModifier); } },
    { "LeadingNumberOfText", "QuestionFlags=12abc\r\n",
        [](auto& s, auto&) { EXPECT_EQ(s.getIntSetting(u"QuestionFlags"), 12); } },
    { "HighlightHues", "HighlightColorMurderer=35\r\n",
        [](auto& s, auto&) { EXPECT_EQ(s.getColourSetting(u"HighlightColorMurderer"), 35); } },
    { "HtmlColour", "ChatColorInput=#ff0000\r\nToolTipTextColor=-5\r\n",
        [](auto& s, auto&) {
            EXPECT_EQ(s.getColourSetting(u"ChatColorInput"), 0x7C00);
            EXPECT_EQ(s.getColourSetting(u"ToolTipTextColor"), -5);
        } },
    { "CombatHue", "CombatHueColor=#0000ff\r\n", [](auto&, auto& v) { EXPECT_EQ(v.combatHueColour, 0x1F); } },
    { "OrderCacheWords", "OrderCache=fast,STARTUP\r\n",
        [](auto& s, auto&) { EXPECT_EQ(flag(s, u"OrderCacheOnStartup"), 1); } },
    { "OrderCacheOtherWords", "OrderCacheOnStartup=on\r\nOrderCache=fast\r\n",
        [](auto& s, auto&) { EXPECT_EQ(flag(s, u"OrderCacheOnStartup"), 0); } },
    { "MouseMediumChangesNothing", "MouseThread=off\r\nMouse=medium\r\n",
        [](auto& s, auto&) { EXPECT_EQ(s.restartRow("MouseThread")->value, 0); } },
    { "MouseFast", "MouseThread=off\r\nMouse=fast\r\n",
        [](auto& s, auto&) { EXPECT_EQ(s.restartRow("MouseThread")->value, 1); } },
    { "PageFlipGdi", "PageFlip=gdi\r\n",
        [](auto& s, auto&) {
            EXPECT_EQ(s.restartRow("PageFlip")->value, 0);
            EXPECT_EQ(s.restartRow("GDIFullScreen")->value, 1);
        } },
    { "PageFlipGdiAfterGdiFullScreen", "GDIFullScreen=off\r\nPageFlip=gdi\r\n",
        [](auto& s, auto&) { EXPECT_EQ(s.restartRow("GDIFullScreen")->value, 0); } },
    { "Use565", "use565=YES\r\n", [](auto& s, auto&) { EXPECT_EQ(s.restartRow("Use565")->value, 1); } },
    { "GlobalQueueOnlyTurnsOn", "GlobalQueue=on\r\nGlobalQueue=off\r\n",
        [](auto& s, auto&) { EXPECT_EQ(flag(s, u"GlobalQueue"), 1); } },
    { "RuntimeDebugOnlyOn", "RuntimeDebugMsg=yes\r\n", [](auto&, auto& v) { EXPECT_FALSE(v.runtimeDebugMessages); } },
    { "HdUsageMax", "HdUsage=MAX\r\n", [](auto&, auto& v) { EXPECT_TRUE(v.hdUsageMax); } },
    { "HdUsageOther", "HdUsage=1\r\n", [](auto&, auto& v) { EXPECT_FALSE(v.hdUsageMax); } },
    { "AllowWindowResizeOtherTextKeeps", "AllowWindowResize=no\r\nAllowWindowResize=perhaps\r\n",
        [](auto&, auto& v) { EXPECT_EQ(v.allowWindowResize, 0); } },
    { "JournalFileTurnsSavingOn", "JournalSaveFile=journal.txt\r\n",
        [](auto& s, auto& v) {
            EXPECT_EQ(v.journalFile, "journal.txt");
            EXPECT_EQ(flag(s, u"SaveJournal"), 1);
        } },
    { "ItemPropsModeText", "ItemPropsMode=Always Up\r\n",
        [](auto& s, auto&) { EXPECT_EQ(s.getStringSetting(u"ItemPropsMode"), "Always Up"); } },
    { "PasswordsAreUnscrambled", "AcctPassword=uryy|\r\n",
        [](auto&, auto& v) { EXPECT_EQ(v.accountPassword, "hello"); } },
    { "AccountTextsAreCut", "AcctLastName=abcdefghijklmnopqrstuvwxyz0123456789\r\n",
        [](auto&, auto& v) { EXPECT_EQ(v.accountLastName, "abcdefghijklmnopqrstuvwxyz01234"); } },
    { "CircleCentre", "CircleTransPos=300,200\r\n",
        [](auto&, auto& v) {
            EXPECT_TRUE(v.hasCircleCentre);
            EXPECT_EQ(v.circleCentreX, 300);
        } },
    { "OutOfRangeColouringFollows", "ColorOutOfRange=off\r\n",
        [](auto& s, auto&) {
            EXPECT_EQ(flag(s, u"ColorOutOfRange"), 0);
            EXPECT_FALSE(isRangeColorOn());
            setRangeColor(true);
        } },
    { "TranslationAddressFallsBack", "TranslationServerIPAddress=nonsense\r\n", [](auto&, auto&) {} },
};

INSTANTIATE_TEST_SUITE_P(Cases, KeyRules, ::testing::ValuesIn(kKeyCases),
    [](const ::testing::TestParamInfo<KeyCase>& entry) { return std::string(entry.param.label); });

// ---- Every key, absurd values --------------------------------------------------------

// Each key with values of every shape: the read never fails, and a plain
// boolean setting takes exactly "on" and "yes".
TEST_F(SettingsFixture, EveryKeyTakesEveryValueShape)
{
    const std::string longNumber(253, '9');
    const char* values[] = { "on", "ON", "true", "yes", "off", "0", "1", "-1", "250", "99999999999999", "-99999999999",
        "abc", "#zzzzzz", "#ffffff", "1.2.3.4,5", "999.1.1.1,77777", "x,y,startup", longNumber.c_str() };
    for (int key = 0; key < kConfigKeyCount; ++key) {
        std::string name = configKeyName(ConfigKeyKind(key));
        // The edit server is resolved at once; keep the lookup away.
        if (name == "EditServer")
            continue;
        for (const char* value : values) {
            read(name + "=" + value + "\r\n");
            if (BoolSettingRow* row = m_settings.boolRow(name)) {
                std::string folded(value);
                for (char& c : folded)
                    c = char(std::tolower(uint8_t(c)));
                bool plain = name != "PopupHelpEnabled" && name != "PopupHelpSticky" && name != "PopupHelpPersistant"
                    && name != "TranslationServer" && name != "TranslationServerAutomatic" && name != "IgnoreGuildChat"
                    && name != "IgnoreAllianceChat" && name != "GlobalQueue" && name != "SaveJournal";
                if (plain) {
                    EXPECT_EQ(row->value, folded == "on" || folded == "yes" ? 1 : 0) << name << "=" << value;
                }
            }
        }
    }
    EXPECT_LE(configValues().loginServers.size(), kMaxLoginServers);
}

TEST_F(SettingsFixture, LoginListsHoldEightServersEach)
{
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "LoginServer=10.0.0." + std::to_string(i) + ",7775\r\nBackupLoginServer=backup" + std::to_string(i)
            + "\r\n";
    m_client.write("login.cfg", text);
    ASSERT_TRUE(m_files.readConfigFile("login.cfg", false));
    const ConfigValues& values = configValues();
    ASSERT_EQ(values.loginServers.size(), 8u);
    ASSERT_EQ(values.backupLoginServers.size(), 8u);
    EXPECT_EQ(values.loginServers[7].address, 0x0A000007u);
    EXPECT_EQ(values.loginServers[7].port, 7775);
    EXPECT_EQ(values.backupLoginServers[0].hostName, "backup0");
    EXPECT_TRUE(values.loginServers[0].hostName.empty());
    EXPECT_EQ(values.currentLoginServer, 0);
}

TEST_F(SettingsFixture, LoginServersComeOnlyFromTheSharedRead)
{
    read("LoginServer=10.0.0.1,7775\r\n");
    EXPECT_TRUE(configValues().loginServers.empty());
}

TEST_F(SettingsFixture, AddedSearchPathsAreKeptOnceAndNeverFatal)
{
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "FileManagerAddSearchPath=/tmp/extra" + std::to_string(i) + "\r\n";
    text += "FileManagerAddSearchPath=" + std::string(600, 'd') + "\r\n";
    read(text);
    size_t afterFirst = fileManager().searchPathCount();
    EXPECT_EQ(afterFirst, FileManager::kMaxSearchPaths);
    read(text);
    EXPECT_EQ(fileManager().searchPathCount(), afterFirst);
}

TEST_F(SettingsFixture, ClientLoginSetsTheLoginCountBeforeTheFirstPlayRule)
{
    m_files.setLoginCount(0);
    const std::string text = "ClientLogin=7\r\nObscenityFilter=on\r\n";
    read(text);
    EXPECT_EQ(m_files.loginCount(), 7);
    EXPECT_EQ(m_settings.getBoolSetting(u"ObscenityFilter"), 1);
    EXPECT_EQ(m_client.read("vo.cfg"), text);
}

TEST_F(SettingsFixture, FirstPlaySwitchesTheFilterOffAndWritesIt)
{
    m_files.setLoginCount(0);
    read("ClientLogin=1\r\nObscenityFilter=on\r\n");
    EXPECT_EQ(m_settings.getBoolSetting(u"ObscenityFilter"), 0);
    EXPECT_EQ(m_client.read("vo.cfg"), "ClientLogin=1\r\nObscenityFilter=off\r\n");
}

// Damaged files: lines of 10,000 characters, binary junk, absurd numbers.
// Nothing crashes, and with nothing to change the file is not written.
TEST_F(SettingsFixture, DamagedFilesAreReadWithoutHarmAndNotRewritten)
{
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk.push_back(char((i * 131 + 7) & 0xFF));
    const std::string text = "SoundVol=" + std::string(10000, '7') + "\r\n" + junk + "\r\nChatFontNumber=-"
        + std::string(10000, '8') + "\r\nHouseCacheSize=\x01\x02\r\nGamePlayWindowSize=99999999999x-5\r\n"
        + "CircleTransRadius=-2147483649\r\n";
    read(text);
    EXPECT_EQ(m_client.read("vo.cfg"), text);
    // A line keeps its first 254 characters: the number is cut there and clamped.
    EXPECT_EQ(m_settings.getIntSetting(u"SoundVol"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(m_settings.getFontSetting(u"ChatFontNumber"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(m_settings.getIntSetting(u"HouseCacheSize"), 0);
}

// ---- Addresses ---------------------------------------------------------------------

struct AddressCase {
    const char* label;
    const char* text;
    bool dotted;
    uint32_t address = 0;
    uint16_t port = 0;
};

class DottedAddress : public ::testing::TestWithParam<AddressCase> { };

TEST_P(DottedAddress, FourGroupsAndAFourOrFiveDigitPort)
{
    const AddressCase& row = GetParam();
    EXPECT_EQ(isDottedAddress(row.text), row.dotted);
    uint32_t address = 0;
    uint16_t port = 0;
    EXPECT_EQ(parseDottedAddress(row.text, address, port), row.dotted);
    if (row.dotted) {
        EXPECT_EQ(address, row.address);
        EXPECT_EQ(port, row.port);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DottedAddress,
    ::testing::Values(AddressCase { "FourDigitPort", "10.0.0.1,7775", true, 0x0A000001, 7775 },
        AddressCase { "FiveDigitPort", "192.168.1.20,12345", true, 0xC0A80114, 12345 },
        AddressCase { "ThreeDigitPortIsAHost", "10.0.0.1,775", false },
        AddressCase { "SixDigitPort", "10.0.0.1,123456", false },
        AddressCase { "PortBeyond16Bits", "10.0.0.1,70000", false },
        AddressCase { "TextAfterThePort", "10.0.0.1,7775 main", true, 0x0A000001, 7775 },
        AddressCase { "GroupBeyondAByte", "256.0.0.1,7775", false },
        AddressCase { "FourDigitGroup", "1000.0.0.1,7775", false }, AddressCase { "ThreeGroups", "10.0.1,7775", false },
        AddressCase { "NoPort", "10.0.0.1", false }, AddressCase { "HostName", "login.example.net,7775", false },
        AddressCase { "Empty", "", false }),
    [](const ::testing::TestParamInfo<AddressCase>& entry) { return std::string(entry.param.label); });

TEST(ServerAddress, RotatesThroughTheHostsAddresses)
{
    HostResolver previous = installHostResolver([](const std::string& host) {
        return host == "two.example" ? std::vector<uint32_t> { 0x01020304, 0x05060708 } : std::vector<uint32_t> {};
    });
    uint32_t first = 0, second = 0, third = 0;
    uint16_t port = 0;
    EXPECT_TRUE(resolveServerAddress("two.example,2593", first, port));
    EXPECT_EQ(port, 2593);
    EXPECT_TRUE(resolveServerAddress("two.example", second, port));
    EXPECT_EQ(port, 0);
    EXPECT_TRUE(resolveServerAddress("two.example,1", third, port));
    EXPECT_NE(first, second);
    EXPECT_EQ(first, third);
    uint32_t untouched = 42;
    EXPECT_FALSE(resolveServerAddress("missing.example,1", untouched, port));
    EXPECT_EQ(untouched, 42u);
    installHostResolver(previous);
}

TEST(ServerAddress, TheSystemResolverFindsLocalhost)
{
    uint32_t address = 0;
    uint16_t port = 0;
    ASSERT_TRUE(resolveServerAddress("localhost,2593", address, port));
    EXPECT_EQ(address >> 24, 127u);
    EXPECT_EQ(port, 2593);
    address = 77;
    EXPECT_FALSE(resolveServerAddress("no-such-host.invalid,1", address, port));
    EXPECT_EQ(address, 77u);
}

} // namespace
