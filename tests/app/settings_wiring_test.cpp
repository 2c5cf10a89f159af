#include "app/frame_present.h"
#include "app/gump_desktop.h"
#include "app/main_window.h"
#include "app/settings_wiring.h"
#include "app/sound_startup.h"
#include "app/world_view_wiring.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/settings_registry.h"
#include "data/settings_services.h"
#include "fixtures/client_directory.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_manager.h"
#include "net/buffered_connection.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_window.h"
#include "text/ascii_font.h"
#include "text/text_surface.h"
#include "world/circle_of_transparency.h"
#include "world/multi_cache.h"
#include "world/world_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// A fresh registry, program values and settings files, with the program's
// own rules and services installed, over a client directory of its own.
class SettingsRead : public ::testing::Test {
protected:
    SettingsRead()
        : m_previousSettings(installSettings(&m_settings))
        , m_previousFiles(installConfigFiles(&m_files))
    {
        resetConfigValues();
        installSettingsServices();
        m_files.setLoginCount(10);
    }
    ~SettingsRead() override
    {
        detachSettingsFromWindow();
        installConfigFiles(m_previousFiles);
        installSettings(m_previousSettings);
        resetConfigValues();
        setAsciiShadedFonts(false);
        setTextPixelFormat565(false);
        setEditServerMode(false);
        setCensoredBloodColour(0);
    }
    void read(const std::string& text)
    {
        m_client.write("vo.cfg", text);
        ASSERT_TRUE(readConfigFile("vo.cfg", true));
    }

    fixture::ClientDirectory m_client;
    SettingsRegistry m_settings;
    SettingsRegistry* m_previousSettings;
    ConfigFiles m_files;
    ConfigFiles* m_previousFiles;
};

struct WindowSettingsCase {
    const char* name;
    const char* file;
    bool allowWindowResize;
    bool holdTabForCombat;
    bool objectHandles;
    bool mouseThread;
    const char* gameSize;
};

class WindowSettingsFromFile : public SettingsRead, public ::testing::WithParamInterface<WindowSettingsCase> { };

TEST_P(WindowSettingsFromFile, KeyRulesAndDefaults)
{
    read(GetParam().file);
    WindowSettings window = readWindowSettings();
    EXPECT_EQ(window.allowWindowResize, GetParam().allowWindowResize);
    EXPECT_EQ(window.holdTabForCombat, GetParam().holdTabForCombat);
    EXPECT_EQ(window.objectHandles, GetParam().objectHandles);
    EXPECT_EQ(window.mouseThread, GetParam().mouseThread);
    EXPECT_FALSE(window.fullScreen);
    EXPECT_EQ(window.gamePlayWindowSize, GetParam().gameSize);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowSettingsFromFile,
    ::testing::Values(WindowSettingsCase { "Defaults", "", true, true, true, true, "640x480" },
        WindowSettingsCase { "ResizeOffByZero", "AllowWindowResize=0\n", false, true, true, true, "640x480" },
        WindowSettingsCase { "ResizeOffByNo", "AllowWindowResize=NO\n", false, true, true, true, "640x480" },
        WindowSettingsCase { "ResizeOtherTextKeepsIt", "AllowWindowResize=maybe\n", true, true, true, true, "640x480" },
        WindowSettingsCase { "SwitchesTakeOnlyOnOrYes", "HoldTabForCombat=true\nObjectHandles=off\nFullScreen=1\n",
            true, false, false, true, "640x480" },
        WindowSettingsCase { "MouseThreadFast", "MouseThread=fast\n", true, true, true, true, "640x480" },
        WindowSettingsCase { "MouseThreadOff", "MouseThread=off\n", true, true, true, false, "640x480" },
        WindowSettingsCase { "MouseSlow", "MouseThread=on\nMouse=slow\n", true, true, true, false, "640x480" },
        WindowSettingsCase { "GameSize", "GamePlayWindowSize=800x600\n", true, true, true, true, "800x600" }),
    [](const ::testing::TestParamInfo<WindowSettingsCase>& param) { return std::string(param.param.name); });

// ---- Consumers follow a settings read ---------------------------------------------

TEST_F(SettingsRead, ShadedFontsReachTheFontDrawing)
{
    read("ShadedFonts=on\n");
    EXPECT_TRUE(asciiShadedFonts());
    read("ShadedFonts=off\n");
    EXPECT_FALSE(asciiShadedFonts());
}

TEST_F(SettingsRead, CensoredBloodColourReachesTheBloodSpans)
{
    read("CensoredBloodColor=#00ff00\n");
    uint16_t red = 0x7C00;
    uint16_t out = 0;
    bloodRecolourSpan(&out, &red, 1);
    EXPECT_EQ(out, 0x03E0);
}

TEST_F(SettingsRead, EditServerAddressPutsConnectionsInEditServerMode)
{
    read("EditServer=10.0.0.2,2593\n");
    EXPECT_TRUE(editServerMode());
    EXPECT_EQ(configValues().editServer.address, 0x0A000002u);
    EXPECT_EQ(configValues().editServer.port, 2593);
}

TEST_F(SettingsRead, Use565ReachesTextDrawingAndTheBackBuffer)
{
    platform::HeadlessWindow window;
    platform::HeadlessDisplay display(640, 480);
    MainWindow main(window, {}, {});
    WindowPresenter presenter(display, main);
    attachSettingsToWindow(main, presenter);
    read("use565=on\n");
    EXPECT_TRUE(isTextPixelFormat565());
    presenter.recreateBackBuffer(640, 480);
    EXPECT_EQ(presenter.backBuffer().format(), BufferFormat::Rgb565);

    read("use565=off\n");
    EXPECT_FALSE(isTextPixelFormat565());
    presenter.recreateBackBuffer(640, 480);
    EXPECT_EQ(presenter.backBuffer().format(), BufferFormat::Rgb555);
}

TEST_F(SettingsRead, Use565ReadBeforeTheWindowIsTakenOverWhenItAttaches)
{
    read("use565=yes\n");
    platform::HeadlessWindow window;
    platform::HeadlessDisplay display(640, 480);
    MainWindow main(window, {}, {});
    WindowPresenter presenter(display, main);
    attachSettingsToWindow(main, presenter);
    presenter.recreateBackBuffer(640, 480);
    EXPECT_EQ(presenter.backBuffer().format(), BufferFormat::Rgb565);
}

// The full-screen switch shows the FullScreenRes mode while in the world, and
// 640x480 outside it.
TEST_F(SettingsRead, FullScreenResChoosesTheModeOfTheSwitch)
{
    bool inGame = true;
    platform::HeadlessWindow window;
    WindowServices services;
    services.isInGame = [&] { return inGame; };
    MainWindow main(window, services, {});
    platform::HeadlessDisplay display(640, 480);
    WindowPresenter presenter(display, main);
    attachSettingsToWindow(main, presenter);
    ASSERT_TRUE(main.create("", ""));
    read("FullScreenRes=1024x768\n");

    auto clientAfterSwitch = [&] {
        main.toggleDisplayMode();
        platform::WindowMessage message;
        while (window.peekMessage(message))
            main.handleMessage(message);
        return std::make_pair(main.clientWidth(), main.clientHeight());
    };
    EXPECT_EQ(clientAfterSwitch(), std::make_pair(1024, 768));
    clientAfterSwitch(); // back to the window
    inGame = false;
    EXPECT_EQ(clientAfterSwitch(), std::make_pair(640, 480));
}

TEST_F(SettingsRead, MenuCommandsInvertObscenityFilterAndFootsteps)
{
    read("ObscenityFilter=on\nFootsteps=off\n");
    EXPECT_TRUE(runSettingsCommand(command::kToggleObscenityFilter));
    EXPECT_TRUE(runSettingsCommand(command::kToggleFootsteps));
    EXPECT_EQ(m_settings.getBoolSetting(u"ObscenityFilter"), 0);
    EXPECT_EQ(m_settings.getBoolSetting(u"Footsteps"), 1);
    EXPECT_FALSE(runSettingsCommand(command::kToggleMusic));
}

TEST_F(SettingsRead, DisplaySwitchKeepsTheSettingAndSavesTheFile)
{
    read("Foo=bar\nFullScreen=off\n");
    saveFullScreenSetting(true);
    std::string saved = m_client.read("vo.cfg");
    EXPECT_EQ(saved.substr(0, 9), "Foo=bar\r\n");
    EXPECT_NE(saved.find("\r\nFullScreen=on\r\n"), std::string::npos);
}

// The settings files are read once, at start-up, into the typed settings;
// the parts that start after that take their values from there, whatever the
// file on disk says by then.
struct ReadOnceCase {
    const char* name;
    const char* file;
    std::function<bool()> started;
    std::function<void()> restore;
};

class SettingsReadOnce : public SettingsRead, public ::testing::WithParamInterface<ReadOnceCase> { };

TEST_P(SettingsReadOnce, LaterStartUpStepsTakeWhatWasRead)
{
    read(GetParam().file);
    m_client.write("vo.cfg", "Sound=on\r\nMusic=on\r\nUseToolTips=on\r\nUseCircleTrans=off\r\n");
    EXPECT_TRUE(GetParam().started());
    GetParam().restore();
}

void restoreSound()
{
    soundEffects().toggleSound(true);
    soundEffects().setSoundVolume(255);
    musicSystem().toggleMusic(true);
    musicSystem().setMusicVolume(255);
}

INSTANTIATE_TEST_SUITE_P(Steps, SettingsReadOnce,
    ::testing::Values(
        ReadOnceCase { "SoundEffects", "Sound=off\r\nSoundVol=40\r\n",
            [] {
                initSoundLayer();
                return !soundEffects().isSoundOn() && soundEffects().masterVolume() == 40;
            },
            restoreSound },
        ReadOnceCase { "Music", "Music=off\r\nMusicVol=70\r\n",
            [] {
                musicSystem().initMusic(nullptr, nullptr);
                return !musicSystem().isMusicOn() && musicSystem().musicVolume() == 70;
            },
            restoreSound },
        ReadOnceCase { "GumpSettings",
            "UseToolTips=off\r\nToolTipPreDelay=500\r\nDisableMenubar=on\r\nOffsetGumps=off\r\n"
            "AutoArrangeMinimized=off\r\nItemPropsMode=Single Click\r\n",
            [] {
                GumpSettings gump;
                readGumpSettings(gump);
                return !gump.useToolTips && gump.toolTipPreDelayMs == 500 && gump.disableMenubar && !gump.offsetGumps
                    && !gump.autoArrangeMinimized && gump.itemPropsMode == 3;
            },
            [] { } },
        ReadOnceCase { "WorldView", "UseCircleTrans=on\r\nCircleTransRadius=100\r\nHouseCacheSize=50\r\n",
            [] {
                startWorldViewObjects();
                return worldObjectSettings().useCircleTrans && circleOfTransparency().radius() == 100
                    && multiCache().limit() == 50;
            },
            [] {
                deleteWorldViewObjects();
                worldObjectSettings().useCircleTrans = false;
                circleOfTransparency().setRadius(CircleOfTransparency::kDefaultRadius);
                multiCache().setLimit(MultiCache::kDefaultLimit);
            } }),
    [](const ::testing::TestParamInfo<ReadOnceCase>& caseInfo) { return std::string(caseInfo.param.name); });

} // namespace
