#include "data/player_lists.h"
#include "data/settings_registry.h"
#include "data/settings_services.h"
#include "settings_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

// What the settings asked of the display, sound and window services.
class RecordingServices final : public DisplaySettingsService,
                                public SoundSettingsService,
                                public WindowSettingsService {
public:
    void setDisplayMode(bool on) override { calls.push_back(on ? "display full" : "display window"); }
    bool isFullScreen() override { return fullScreen; }
    void setGameWindowSize(int32_t w, int32_t h) override
    {
        calls.push_back("game " + std::to_string(w) + "x" + std::to_string(h));
    }
    void setFullScreenRes(std::string_view text) override { calls.push_back("res " + std::string(text)); }
    void setShadedFonts(bool on) override { calls.push_back(on ? "shaded on" : "shaded off"); }
    void setUse565(bool) override { }
    void setCensoredBloodColour(uint16_t) override { }
    void setEditServerMode(bool) override { }
    void toggleSound(bool on) override { calls.push_back(on ? "sound on" : "sound off"); }
    void toggleMusic(bool on) override { calls.push_back(on ? "music on" : "music off"); }
    void setSoundVolume(uint8_t v) override { calls.push_back("sound volume " + std::to_string(v)); }
    void setMusicVolume(uint8_t v) override { calls.push_back("music volume " + std::to_string(v)); }
    void switchHelpPopupsOff() override { calls.push_back("popups off"); }
    void setHelpPopupSticky(bool) override { }
    void setHelpPopupPersistent(bool) override { }
    void setHelpPopupTextColour(int32_t) override { }
    void setHelpPopupDelay(int32_t) override { }
    void setHelpPopupFont(int32_t) override { }
    void setToolTipFont(int32_t) override { }
    void setItemPropsMode(int32_t mode) override { calls.push_back("item props " + std::to_string(mode)); }
    void setPartySpeechHue(int32_t) override { }
    void relayoutGameArea() override { calls.push_back("relayout"); }

    bool fullScreen = false;
    std::vector<std::string> calls;
};

class RegistryTest : public SettingsFixture {
protected:
    RegistryTest()
        : m_display(m_services)
        , m_sound(m_services)
        , m_window(m_services)
    {
    }
    RecordingServices m_services;
    ScopedService<DisplaySettingsService> m_display;
    ScopedService<SoundSettingsService> m_sound;
    ScopedService<WindowSettingsService> m_window;
};

TEST_F(RegistryTest, TablesHoldTheirRowsAtTheirDefaults)
{
    EXPECT_EQ(m_settings.boolRows().size(), 45u);
    EXPECT_EQ(m_settings.restartRows().size(), 9u);
    EXPECT_EQ(m_settings.colourRows().size(), 28u);
    EXPECT_EQ(m_settings.integerRows().size(), 9u);
    EXPECT_EQ(m_settings.fontRows().size(), 4u);
    EXPECT_EQ(m_settings.stringRows().size(), 4u);
    EXPECT_EQ(m_settings.getBoolSetting(u"ObscenityFilter"), 1);
    EXPECT_EQ(m_settings.getBoolSetting(u"ShadedFonts"), 0);
    EXPECT_EQ(m_settings.getColourSetting(u"HighlightColorCanAttack"), 946);
    EXPECT_EQ(m_settings.getIntSetting(u"HouseCacheSize"), 300);
    EXPECT_EQ(m_settings.getFontSetting(u"ChatFontNumber"), 2);
    EXPECT_EQ(m_settings.getStringSetting(u"ItemPropsMode"), "Follow Mouse");
}

TEST_F(RegistryTest, NamesMatchByBeginningCaseSensitively)
{
    EXPECT_TRUE(m_settings.isBoolSetting(u"Foot"));
    EXPECT_FALSE(m_settings.isBoolSetting(u"footsteps"));
    EXPECT_FALSE(m_settings.isBoolSetting(u"FootstepsX"));
    // The first matching row in table order: "Sound" before "Sound8Bit".
    m_settings.setBoolSetting(u"So", 0);
    EXPECT_EQ(m_settings.getBoolSetting(u"Sound"), 0);
    EXPECT_EQ(m_settings.getIntSetting(u"Nope"), 0);
    EXPECT_EQ(m_settings.getStringSetting(u"Nope"), "");
}

TEST_F(RegistryTest, RestartSettingsAreReachedOnlyWithADollar)
{
    EXPECT_EQ(m_settings.getBoolSetting(u"MouseThread"), 0);
    EXPECT_EQ(m_settings.getBoolSetting(u"MouseThread$"), 1);
    EXPECT_FALSE(m_settings.isBoolSetting(u"MouseThread"));

    m_settings.setBoolSetting(u"MouseThread$", 1);
    EXPECT_FALSE(m_settings.settingsRestartNeeded()) << "the same value is no change";
    m_settings.setBoolSetting(u"MouseThread$", 0);
    EXPECT_TRUE(m_settings.settingsRestartNeeded());
    EXPECT_EQ(m_settings.getBoolSetting(u"MouseThread$"), 0) << "the pending value is the effective one";
    EXPECT_EQ(m_settings.restartRow("MouseThread")->value, 1) << "the program value holds for the run";

    m_settings.clearSettingsRestartNeeded();
    m_settings.setBoolSetting(u"MouseThread$", 1);
    EXPECT_TRUE(m_settings.settingsRestartNeeded()) << "differs from the pending value";
}

TEST_F(RegistryTest, SettersActThroughTheServices)
{
    m_settings.setBoolSetting(u"Sound", 0);
    m_settings.setBoolSetting(u"Music", 1);
    m_settings.setBoolSetting(u"FullScreen", 1);
    m_settings.setBoolSetting(u"PopupHelpEnabled", 1);
    m_settings.setBoolSetting(u"ShadedFonts", 1);
    m_settings.setIntSetting(u"SoundVol", 200);
    m_settings.setStringSetting(u"ItemPropsMode", u"single click please");
    EXPECT_EQ(m_services.calls,
        (std::vector<std::string> {
            "sound off", "music on", "display full", "popups off", "shaded on", "sound volume 200", "item props 3" }));
    EXPECT_EQ(m_settings.getBoolSetting(u"PopupHelpEnabled"), 1) << "the pop-ups go off, the value is stored";
}

TEST_F(RegistryTest, An800GameAreaRaisesTheFullScreenMode)
{
    m_settings.setStringSetting(u"GamePlayWindowSize", u"800x600");
    EXPECT_EQ(m_settings.getStringSetting(u"FullScreenRes"), "800x600");
    EXPECT_EQ(m_services.calls, (std::vector<std::string> { "game 800x600", "relayout", "res 800x600" }));
}

TEST_F(RegistryTest, ANewModeWhileFullScreenSwitchesOutAndBackIn)
{
    m_services.fullScreen = true;
    m_settings.setStringSetting(u"FullScreenRes", u"1024X768");
    m_settings.setStringSetting(u"FullScreenRes", u"1024x768"); // the same, ignoring case
    EXPECT_EQ(m_services.calls,
        (std::vector<std::string> { "res 1024X768", "display window", "display full", "res 1024x768" }));
}

TEST_F(RegistryTest, LongTextsAreCutToTheirRoom)
{
    std::u16string text(600, u'x');
    m_settings.setStringSetting(u"Language", WString(text.c_str()));
    EXPECT_EQ(m_settings.getStringSetting(u"Language"), std::string(kMaxSettingTextLength, 'x'));
    // Narrowing keeps the low byte of each character.
    m_settings.setStringSetting(u"Language", u"\u0141a");
    EXPECT_EQ(m_settings.getStringSetting(u"Language"), "Aa");
}

TEST_F(RegistryTest, PercentColoursReachTheCharacterSlotAndThePartyHue)
{
    configValues().defaultCharacterSlot = 2;
    m_settings.setColourSetting(u"%SpeechHue", 77);
    m_settings.setColourSetting(u"%EmoteHue", 78);
    m_settings.setColourSetting(u"%PartyMessageColor", 99);
    m_settings.setColourSetting(u"%GuildChatColor", 12);
    EXPECT_EQ(characterHues().speech[2], 77);
    EXPECT_EQ(characterHues().emote[2], 78);
    EXPECT_EQ(speechStyle().speechHue, 77);
    EXPECT_EQ(m_settings.getColourSetting(u"%SpeechHue"), 77);
    EXPECT_EQ(m_settings.getColourSetting(u"PartyMessageColor"), 99);
    EXPECT_EQ(m_settings.getColourSetting(u"GuildChatColor"), 12);
    EXPECT_TRUE(m_settings.isColourSetting(u"%AllianceChatColor"));
    characterHues() = CharacterHues {};
    speechStyle() = SpeechStyle {};
}

TEST_F(RegistryTest, NewCharacterHueDefaultsAreRandomWithinAThousand)
{
    std::set<int32_t> seen;
    for (int i = 0; i < 8; ++i) {
        int32_t hue = m_settings.getColourSettingDefault(u"%SpeechHue");
        EXPECT_GE(hue, 1);
        EXPECT_LE(hue, 1000);
        seen.insert(hue);
    }
    EXPECT_GT(seen.size(), 1u);
    EXPECT_EQ(m_settings.getColourSettingDefault(u"%GuildChatColor"), 0);
}

TEST_F(RegistryTest, ResetKeepsRestartAndTextSettings)
{
    m_settings.setBoolSetting(u"Footsteps", 0);
    m_settings.setIntSetting(u"SoundVol", 3);
    m_settings.setBoolSetting(u"Use565$", 1);
    m_settings.setStringSetting(u"Language", u"Deutsch");
    m_settings.resetSettingsToDefaults();
    EXPECT_EQ(m_settings.getBoolSetting(u"Footsteps"), 1);
    EXPECT_EQ(m_settings.getIntSetting(u"SoundVol"), 255);
    EXPECT_EQ(m_settings.getBoolSetting(u"Use565$"), 1);
    EXPECT_EQ(m_settings.getStringSetting(u"Language"), "Deutsch");
}

TEST_F(RegistryTest, ManagedLinesAreWholeNamesAndTheSeparator)
{
    EXPECT_TRUE(m_settings.isManagedSettingLine(";------------------------------"));
    EXPECT_TRUE(m_settings.isManagedSettingLine("  sound=on"));
    EXPECT_TRUE(m_settings.isManagedSettingLine("MouseThread=off"));
    EXPECT_TRUE(m_settings.isManagedSettingLine("%SpeechHue=3"));
    EXPECT_TRUE(m_settings.isManagedSettingLine("FullScreenRes"));
    EXPECT_FALSE(m_settings.isManagedSettingLine("Foo=bar"));
    EXPECT_FALSE(m_settings.isManagedSettingLine(";-----"));
    EXPECT_FALSE(m_settings.isManagedSettingLine("AcctPassword=x"));
    EXPECT_FALSE(m_settings.isManagedSettingLine(""));
}

// ---- Savers -----------------------------------------------------------------------

// Every boolean, then only what differs from its default; one separator.
TEST_F(RegistryTest, SaverGoldenFile)
{
    m_client.write("vo.cfg",
        "Foo=bar\r\n"
        "LoginServer=10.0.0.1,7775\n"
        ";------------------------------\r\n"
        "Sound=off\r\n"
        "SoundVol=17\r\n"
        "\r\n\r\n");
    m_settings.setIntSetting(u"SoundVol", 200);
    m_settings.setIntSetting(u"MusicVol", 255);
    m_settings.setColourSetting(u"ChatColorInput", 0x7C00);
    m_settings.setColourSetting(u"HighlightColorEnemy", 5);
    m_settings.setBoolSetting(u"MouseThread$", 0);
    m_settings.setBoolSetting(u"Footsteps", 0);
    m_settings.setFontSetting(u"ToolTipFont", 2);
    m_settings.setStringSetting(u"Language", u"Deutsch");
    saveGlobalSettings();
    const char* expected
        = "Foo=bar\r\n"
          "LoginServer=10.0.0.1,7775\r\n"
          ";------------------------------\r\n"
          "Sound=on\r\nMusic=on\r\nFootsteps=off\r\nAllowPathfind=on\r\nHoldTabForCombat=on\r\n"
          "OffsetGumps=on\r\nAutoArrangeMinimized=on\r\nAssumePlayAsGhost=off\r\nUseCircleTrans=off\r\n"
          "ScaleBarkTimes=on\r\nFrameSkipping=off\r\nNotorietyQuery=on\r\nShowIntroAnim=off\r\n"
          "OrderCacheOnStartup=off\r\nSaveJournal=off\r\nJournalSaveUnicode=off\r\n"
          "RememberAcctPW=off\r\nGlobalQueue=off\r\nFilterPWOn=off\r\nObscenityFilter=on\r\n"
          "FullScreen=off\r\nUseToolTips=on\r\nPopupHelpEnabled=on\r\nPopupHelpSticky=off\r\n"
          "PopupHelpPersistant=on\r\nTranslationServer=off\r\nTranslationServerAutomatic=on\r\n"
          "ColoredLighting=on\r\nShadedFonts=off\r\nShowIncomingNames=on\r\nStatReport=on\r\n"
          "DarkNights=off\r\nAlwaysRun=off\r\nNewbieDesktop=off\r\nTreeCanopies=off\r\n"
          "Desolation=on\r\nCombatMusic=on\r\nColorOutOfRange=on\r\nShiftForContext=off\r\n"
          "DisableMenubar=off\r\nItemPropsIcon=on\r\nCollectMetrics=on\r\nObjectHandles=on\r\n"
          "IgnoreGuildChat=off\r\nIgnoreAllianceChat=off\r\n"
          "MouseThread=off\r\n"
          "ChatColorInput=#f80000\r\n"
          "HighlightColorEnemy=5\r\n"
          "SoundVol=200\r\n"
          "ToolTipFont=2\r\n"
          "Language=Deutsch\r\n";
    EXPECT_EQ(m_client.read("vo.cfg"), expected);
    // Saving again changes nothing: one separator, never a second.
    saveGlobalSettings();
    EXPECT_EQ(m_client.read("vo.cfg"), expected);
}

TEST_F(RegistryTest, SaverLeavesTheAccountOutWhileThePasswordIsForgotten)
{
    m_client.write("vo.cfg", "AcctPassword=abc\r\nAcctID=me\r\nNumPassTries=2\r\n");
    m_files.setForgetAccountPassword(true);
    saveGlobalSettings();
    std::string saved = m_client.read("vo.cfg");
    EXPECT_EQ(saved.substr(0, 11), "AcctID=me\r\n");
    EXPECT_EQ(saved.find("AcctPassword"), std::string::npos);
    EXPECT_EQ(saved.find("RememberAcctPW"), std::string::npos);
    EXPECT_EQ(saved.find("NumPassTries"), std::string::npos);
}

TEST_F(RegistryTest, SaverCreatesNoMissingFile)
{
    saveGlobalSettings();
    EXPECT_FALSE(std::filesystem::exists(m_client.path() + "/vo.cfg"));
}

// settings file -> registry -> saver -> file: lines of no setting are kept
// byte for byte, the values come back as they were read.
TEST_F(RegistryTest, RoundTripKeepsUnknownLinesAndValues)
{
    const std::string unknown = "# my notes = keep\r\nLoginServer=login.example.net,7775\r\nAcctID=Someone Else\r\n"
                                "Foo Bar\tBaz\r\n";
    read(unknown
        + "Footsteps=off\r\nSoundVol=42\r\nChatColorText=#102030\r\nGamePlayWindowSize=800x600\r\n"
          "MouseThread=fast\r\nuse565=on\r\n");
    saveGlobalSettings();
    std::string first = m_client.read("vo.cfg");
    EXPECT_EQ(first.substr(0, unknown.size()), unknown);

    SettingsRegistry again;
    SettingsRegistry* previous = installSettings(&again);
    ASSERT_TRUE(m_files.readConfigFile("vo.cfg", true));
    installSettings(previous);
    EXPECT_EQ(again.getBoolSetting(u"Footsteps"), 0);
    EXPECT_EQ(again.getIntSetting(u"SoundVol"), 42);
    EXPECT_EQ(again.getColourSetting(u"ChatColorText"), m_settings.getColourSetting(u"ChatColorText"));
    EXPECT_EQ(again.getStringSetting(u"GamePlayWindowSize"), "800x600");
    EXPECT_EQ(again.restartRow("Use565")->value, 1);
    EXPECT_EQ(again.restartRow("MouseThread")->value, 1);
    saveGlobalSettings();
    EXPECT_EQ(m_client.read("vo.cfg"), first);
}

TEST_F(RegistryTest, PerCharacterSaveNeedsTheCopyAndLeavesTheAccountOut)
{
    m_files.setAccountName("acct");
    m_files.setShardName("Shard");
    m_files.setCharacterName("Hero");
    m_client.write("vo.cfg", "Foo=1\r\n");
    saveSettings();
    EXPECT_FALSE(std::filesystem::exists(m_client.path() + "/Desktop/acct/Shard/Hero/vo.cfg"));
    m_client.write("Desktop/acct/Shard/Hero/vo.cfg", "Mine=1\r\nAcctPassword=x\r\nRememberAcctPW=on\r\n");
    saveSettings();
    std::string own = m_client.read("Desktop/acct/Shard/Hero/vo.cfg");
    EXPECT_EQ(own.substr(0, 8), "Mine=1\r\n");
    EXPECT_EQ(own.find("AcctPassword"), std::string::npos);
    EXPECT_EQ(own.find("RememberAcctPW"), std::string::npos);
    EXPECT_NE(m_client.read("vo.cfg").find("RememberAcctPW=off"), std::string::npos);
}

} // namespace
