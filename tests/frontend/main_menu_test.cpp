// The splash, the main menu with its login window, and the patch number.

#include "front_end_test_support.h"

#include "frontend/front_end_state.h"
#include "frontend/login_sequence.h"
#include "frontend/main_menu.h"
#include "frontend/splash_gump.h"
#include "gfx/gump_art.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "gump/waiting_gump.h"
#include "net/game_connection.h"
#include "data/player_lists.h"
#include "protocol/login_state.h"
#include "support/png_writer.h"
#include "support/scoped_environment.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using front_end_test::Screens;

// Splash -------------------------------------------------------------------------

class Splash : public Screens { };

TEST_F(Splash, WithDurationZeroItEndsAtTheFirstUpdateAndPassesItsPicture)
{
    int32_t shown = -1;
    SplashGump* splash = showSplashGump(271, 0, [&shown](int32_t picture) { shown = picture; });
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(gumpModal(), splash) << "nothing else takes the pointer";
    gumpManagerUpdate();
    EXPECT_EQ(shown, 271);
    EXPECT_EQ(findGump("Splash gump"), nullptr);
    EXPECT_EQ(gumpModal(), nullptr);
}

TEST_F(Splash, ASecondSplashIsIgnored)
{
    int32_t calls = 0;
    ASSERT_NE(showSplashGump(271, 5000, [&calls](int32_t) { ++calls; }), nullptr);
    EXPECT_EQ(showSplashGump(272, 5000, [&calls](int32_t) { ++calls; }), nullptr);
    clock.advance(5000);
    gumpManagerUpdate();
    gumpManagerUpdate();
    EXPECT_EQ(calls, 1);
}

TEST_F(Splash, ItsTimeRunsAcrossTheTickWrap)
{
    clock.setTick(0xFFFFF000u);
    bool ended = false;
    showSplashGump(271, 5000, [&ended](int32_t) { ended = true; });
    clock.advance(4999);
    gumpManagerUpdate();
    EXPECT_FALSE(ended);
    clock.advance(1);
    gumpManagerUpdate();
    EXPECT_TRUE(ended);
}

TEST_F(Splash, ShowsItsPictureOnTheFrontEndScreenAndCannotBeClickedAway)
{
    SplashGump* splash = showSplashGump(271, 5000, nullptr);
    ASSERT_EQ(shell.gameSizes.size(), 1u);
    EXPECT_EQ(shell.gameSizes[0].width, 640);
    EXPECT_EQ(shell.gameSizes[0].height, 480);
    ASSERT_FALSE(shell.windowRects.empty());
    EXPECT_EQ(shell.windowRects.back(), (ScreenRect { 0, 0, 640, 480 }));
    EXPECT_FALSE(shell.allowResize);
    composeAll(false);
    // The picture itself, pixel by pixel.
    for (int32_t y = 0; y < 480; y += 7) {
        for (int32_t x = 0; x < 640; x += 5) {
            const uint16_t expected = getGumpArtPixel(271, x, y);
            if (expected != 0) {
                ASSERT_EQ(screenPixel(x, y), expected) << x << "," << y;
            }
        }
    }
    splash->onLeftDown(10, 10);
    splash->onKey(13);
    EXPECT_EQ(findGump("Splash gump"), splash);
}

// Main menu ----------------------------------------------------------------------

class MainMenu : public Screens {
protected:
    MainMenuGump* open()
    {
        auto* menu = new MainMenuGump();
        gumpLink(menu, nullptr);
        return menu;
    }
    AcctLoginGump* login() { return rememberedWindow<AcctLoginGump>(frontEnd().loginWindow); }

    static std::set<int32_t> buttonTooltips(CGump* gump)
    {
        std::set<int32_t> tooltips;
        for (CGump* child = gump->firstChild(); child; child = child->next()) {
            if (child->is(GumpKind::Button))
                tooltips.insert(child->tooltipId());
        }
        return tooltips;
    }
};

TEST_F(MainMenu, TheMenuNeverHasTheIntroOrRatingsButtonTheLoginWindowHasTheIntro)
{
    test::ScopedEnvironment language("LC_ALL", "C");
    MainMenuGump* menu = open();
    EXPECT_EQ(buttonTooltips(menu), (std::set<int32_t> { 100000, 100011, 100001, 100002, 100006 }));
    EXPECT_EQ(buttonTooltips(login()), (std::set<int32_t> { 100000, 100011, 100001, 100002, 100005, 100006, 100008 }));
}

TEST_F(MainMenu, TheRatingsButtonStandsOnlyOnAnEnglishDesktop)
{
    test::ScopedEnvironment language("LC_ALL", "en_US.UTF-8");
    open();
    // The ratings button carries no tooltip.
    EXPECT_TRUE(buttonTooltips(login()).count(kNoTooltip));
    closeGump(frontEnd().mainMenu.get());
    test::ScopedEnvironment german("LC_ALL", "de_DE.UTF-8");
    open();
    EXPECT_FALSE(buttonTooltips(login()).count(kNoTooltip));
}

TEST_F(MainMenu, TheArrowFlashesOnlyWhileBothEntriesHoldText)
{
    open();
    AcctLoginGump* window = login();
    ASSERT_NE(window, nullptr);
    window->tick();
    EXPECT_EQ(window->arrow()->flashArt(), 0);
    window->setAccountText("tester");
    window->tick();
    EXPECT_EQ(window->arrow()->flashArt(), 0) << "the password is still empty";
    window->setPasswordText("secret");
    window->tick();
    EXPECT_EQ(window->arrow()->flashArt(), AcctLoginGump::kArrowFlashArt);
}

TEST_F(MainMenu, TheFocusStartsOnThePasswordAndTabTakesItAcross)
{
    open();
    AcctLoginGump* window = login();
    EXPECT_EQ(gumpFocus(), window->passwordEntry());
    EXPECT_TRUE(window->passwordEntry()->options.selected);
    window->onTab();
    EXPECT_EQ(gumpFocus(), window->accountEntry());
    EXPECT_TRUE(window->accountEntry()->options.selected);
    EXPECT_FALSE(window->passwordEntry()->options.selected);
    window->onTab();
    EXPECT_EQ(gumpFocus(), window->passwordEntry());
}

TEST_F(MainMenu, TheAccountNameComesBackButAForgottenPasswordDoesNot)
{
    loginSession().accountName = "tester";
    loginSession().password = "secret";
    open();
    EXPECT_EQ(login()->accountText(), "tester");
    EXPECT_EQ(login()->passwordText(), "");
    // Without the remember mark nothing of a password stays in the file.
    const std::string settings = client.read("vo.cfg");
    EXPECT_NE(settings.find("RememberAcctPW=no"), std::string::npos);
    EXPECT_NE(settings.find("NumPassTries=-1"), std::string::npos);
    EXPECT_EQ(settings.find("secret"), std::string::npos);
}

TEST_F(MainMenu, ARememberedPasswordIsOfferedOnceAndStoredOnlyScrambled)
{
    frontEnd().rememberPassword = true;
    loginSession().password = "secret";
    open();
    EXPECT_EQ(login()->passwordText(), "secret");
    storeRememberedPassword(true, "secret");
    const std::string settings = client.read("vo.cfg");
    EXPECT_EQ(settings.find("secret"), std::string::npos) << settings;
    std::string stored = "secret";
    shiftScrambleText(stored);
    EXPECT_NE(settings.find("AcctPassword=" + stored), std::string::npos) << settings;
    EXPECT_NE(settings.find("RememberAcctPW=yes"), std::string::npos);
}

TEST_F(MainMenu, EscapeInTheLoginWindowBuildsAFreshMenuWithTheAccountName)
{
    MainMenuGump* first = open();
    GumpHandle firstHandle(first);
    login()->setAccountText("tester");
    loginSession().accountName = "tester";
    login()->onEscape();
    EXPECT_FALSE(firstHandle);
    ASSERT_NE(findGump("MainMenu gump"), nullptr);
    EXPECT_EQ(login()->accountText(), "tester");
}

TEST_F(MainMenu, WithoutALoginServerTheLoginEndsAtTheConnectMessage)
{
    open();
    login()->setAccountText("tester");
    login()->setPasswordText("secret");
    login()->onEnter();
    EXPECT_EQ(messageText(), kConnectFailedText);
    EXPECT_FALSE(login()->isVisible()) << "hidden under the message";
    EXPECT_FALSE(loginSession().loginInProgress) << "the road ended at the message";
    findMessage()->onCancel();
    EXPECT_TRUE(login()->isVisible());
}

TEST_F(MainMenu, TheScreenShowsItsArtAndTheLoginWindowsFrame)
{
    test::ScopedEnvironment language("LC_ALL", "C");
    open();
    composeAll(false);
    // The background where nothing covers it, and the frame's top-left piece.
    for (int32_t x = 150; x < 280; x += 3)
        ASSERT_EQ(screenPixel(x, 200), getGumpArtPixel(MainMenuGump::kBackgroundArt, x, 200)) << x;
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x)
            ASSERT_EQ(screenPixel(128 + x, 288 + y), getGumpArtPixel(AcctLoginGump::kFrameArt, x, y)) << x << "," << y;
    const std::vector<uint16_t> picture = screenPicture();
    test::writeSurfacePng(test::picturePath("front_end_main_menu.png"), picture.data(), 640, 480, 640);
    EXPECT_EQ(test::surfaceHash(picture.data(), 640, 480, 640), 0xd233f46c0cdf89cbull);
}

// Patch number -------------------------------------------------------------------

struct PatchCase {
    const char* name;
    const char* file; // null: no file
    int32_t patch;
};

class PatchNumber : public ::testing::TestWithParam<PatchCase> {
protected:
    fixture::ClientDirectory client;
};

TEST_P(PatchNumber, TheFirstKnownEditionLineGivesIt)
{
    if (GetParam().file)
        client.write("verinfo", GetParam().file);
    EXPECT_EQ(readPatchNumber(), GetParam().patch);
}

INSTANTIATE_TEST_SUITE_P(Cases, PatchNumber,
    ::testing::Values(PatchCase { "FanEventBeforeItsShorterName", "Win32_RMN3D_FanEvent 7\n", 7 },
        PatchCase { "BetaBeforeItsShorterName", "Win32_WR_BETA 3\n", 3 }, PatchCase { "Plain", "Win32_WR 5\n", 5 },
        PatchCase { "NoNumber", "Win32_DSK3D x\n", -1 }, PatchCase { "NoFile", nullptr, -1 },
        PatchCase { "UnknownLinesSkipped", "hello\r\nWin32_VOGW   12\r\nWin32_WR 4\r\n", 12 },
        PatchCase { "OnlyUnknownLines", "Win64_WR 5\n\n", -1 }, PatchCase { "Empty", "", -1 }),
    [](const ::testing::TestParamInfo<PatchCase>& param) { return std::string(param.param.name); });

TEST(VersionLine, NamesThePatchOrSaysItIsUnknown)
{
    EXPECT_EQ(versionLine("5.0.1c", 7), "VO Version 5.0.1c (Patch 7)");
    EXPECT_EQ(versionLine("5.0.1c", -1), "VO Version 5.0.1c (Patch Unknown)");
}

} // namespace
