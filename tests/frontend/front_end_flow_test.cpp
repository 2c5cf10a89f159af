// The ways back to the main menu and out of the program, and the dialogs.

#include "front_end_test_support.h"

#include "data/server_config_store.h"
#include "frontend/character_selection.h"
#include "frontend/front_end_dialogs.h"
#include "frontend/front_end_flow.h"
#include "frontend/front_end_state.h"
#include "frontend/login_sequence.h"
#include "frontend/main_menu.h"
#include "gump/button.h"
#include "gump/desktop_file.h"
#include "gump/input_control.h"
#include "gump/gump_manager.h"
#include "gump/waiting_gump.h"
#include "net/game_connection.h"
#include "net/shard_sessions.h"
#include "protocol/login_state.h"
#include "protocol/protocol_services.h"
#include "support/packet_tap.h"

#include <gtest/gtest.h>

namespace {

using front_end_test::Screens;
using Bytes = std::vector<uint8_t>;

bool sawPacket(const std::vector<Bytes>& packets, uint8_t id)
{
    for (const Bytes& packet : packets) {
        if (!packet.empty() && packet[0] == id)
            return true;
    }
    return false;
}

class Flow : public Screens {
protected:
    // The tap's connection as the login road's first session.
    void makeSession() { setCurrentSession(addShardSession("Test Shard", currentGameConnection())); }
};

TEST_F(Flow, TheIntroButtonsDisconnectReachesTheServerBeforeTheConnectionCloses)
{
    test::PacketTap tap;
    ASSERT_TRUE(tap.isConnected());
    loginSession().loginInProgress = true;
    loginSession().attached = true;
    replayIntro();
    EXPECT_FALSE(gameConnectionIsOpen());
    EXPECT_NE(currentGameConnection(), nullptr) << "a fresh connection object waits";
    EXPECT_FALSE(loginSession().loginInProgress);
    EXPECT_FALSE(loginSession().attached);
    const std::vector<Bytes> sent = tap.take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][0], 0x01);
}

TEST_F(Flow, EscapeFromTheCharacterSelectionDisconnectsAndBuildsAFreshMenu)
{
    test::PacketTap tap;
    loginScreens().openCharacterSelection();
    loginScreens().addCharacter("Aldric", 0);
    loginScreens().presentCharacterSelection();
    auto* selection = rememberedWindow<CharacterSelectionGump>(frontEnd().characterSelection);
    selection->onKey(27);
    EXPECT_EQ(findGump("Login gump"), nullptr);
    EXPECT_NE(findGump("MainMenu gump"), nullptr);
    EXPECT_FALSE(gameConnectionIsOpen());
    EXPECT_TRUE(sawPacket(tap.take(), 0x01));
}

TEST_F(Flow, LogoutWithSettingsOnTheServerWaitsForTheServer)
{
    test::PacketTap tap;
    makeSession();
    serverConfigStore().setEnabled(true);
    loginSession().loggedIn = true;
    loginSession().accountName = "tester";
    logoutToMainMenu();
    EXPECT_NE(findGump("IGRSave gump"), nullptr);
    EXPECT_EQ(findGump("MainMenu gump"), nullptr) << "not before the server answered";
    EXPECT_TRUE(gameConnectionIsOpen());
    EXPECT_EQ(loginSession().accountName, "");
    std::vector<Bytes> sent = tap.take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (Bytes { 0xD1, 1 }));

    // The server's 0xD1: the mode goes off, and the logout goes on.
    serverConfigStore().onLogoutConfirmed();
    logoutToMainMenu();
    EXPECT_NE(findGump("MainMenu gump"), nullptr);
    EXPECT_EQ(findGump("IGRSave gump"), nullptr);
    EXPECT_TRUE(sessionList().empty());
    EXPECT_TRUE(sawPacket(tap.take(), 0x01)) << "flushed before the session's connection closed";
}

TEST_F(Flow, LogoutAsksForNoContainerOfTheCharacterWhoLeft)
{
    test::PacketTap tap;
    makeSession();
    // A layout with one container still to be reopened: player serial 0,
    // then a container record (x, y, serial, minimised).
    const std::vector<uint8_t> layout { 0, 0, 0, 0, 3, 1, 0, 0, 0, 2, 0, 0, 0, 0x20, 0, 0, 0x40, 0 };
    ASSERT_TRUE(desktopRead(layout));
    ASSERT_EQ(desktopReopenList().size(), 1u);
    loginSession().loggedIn = true;
    logoutToMainMenu();
    EXPECT_TRUE(desktopReopenList().empty());
    EXPECT_TRUE(desktopReopenFinished());
    desktopReset();
}

TEST_F(Flow, LogoutHidesTheWorldView)
{
    class Steps final : public WorldEntrySteps {
    public:
        void hideWorldView() override { ++hidden; }
        int hidden = 0;
    } steps;
    WorldEntrySteps* previous = installWorldEntrySteps(&steps);
    test::PacketTap tap;
    makeSession();
    loginSession().loggedIn = true;
    logoutToMainMenu();
    installWorldEntrySteps(previous);
    EXPECT_EQ(steps.hidden, 1) << "the last world is not drawn under the main menu";
    EXPECT_NE(findGump("MainMenu gump"), nullptr);
}

TEST_F(Flow, QuitWithSettingsOnTheServerEndsOnlyAfterTheServerAnswered)
{
    test::PacketTap tap;
    makeSession();
    serverConfigStore().setEnabled(true);
    loginSession().loggedIn = true;
    quitGame();
    EXPECT_EQ(shell.endedWith, -1);
    EXPECT_NE(findGump("IGRSave gump"), nullptr);
    EXPECT_TRUE(sawPacket(tap.take(), 0xD1));
    EXPECT_TRUE(serverConfigStore().onLogoutConfirmed()) << "the quit waits for it";
    quitGame();
    EXPECT_EQ(shell.endedWith, 0);
}

TEST_F(Flow, QuitAndExitEndTheProgramAtOnceOtherwise)
{
    quitGame();
    EXPECT_EQ(shell.endedWith, 0);
    shell.endedWith = -1;
    exitGame();
    EXPECT_EQ(shell.endedWith, 0);
}

TEST_F(Flow, AMessageThatReturnsToTheMenuLogsOutWhenClosed)
{
    test::PacketTap tap;
    makeSession();
    WaitingMessage message;
    message.text = u"Connection lost";
    message.returnToMenu = true;
    loginScreens().showWaiting(message);
    ASSERT_NE(findMessage(), nullptr);
    findMessage()->onCancel();
    EXPECT_EQ(findMessage(), nullptr);
    EXPECT_NE(findGump("MainMenu gump"), nullptr);
    EXPECT_TRUE(sessionList().empty());
}

TEST_F(Flow, TheMainMenuAfterTheFilmComesOnTheNextUpdate)
{
    loginScreens().showMainMenu();
    EXPECT_EQ(findGump("MainMenu gump"), nullptr) << "never while the desktop is being drawn";
    gumpManagerUpdate();
    EXPECT_NE(findGump("MainMenu gump"), nullptr);
    // A second request only gives the account entry the focus.
    loginScreens().showMainMenu();
    gumpManagerUpdate();
    auto* login = rememberedWindow<AcctLoginGump>(frontEnd().loginWindow);
    EXPECT_EQ(gumpFocus(), static_cast<CGump*>(login->accountEntry()));
}

TEST_F(Flow, AfterTheLoginCompletedTheBoxsButtonEntersTheWorld)
{
    test::PacketTap tap;
    sendPlayCharacter("Aldric", 0);
    ASSERT_TRUE(loginScreens().isWaitingShown());
    loginScreens().enterWorldOnWaitingButton();
    EXPECT_FALSE(loginSession().loggedIn);
    auto* button = static_cast<Button*>(currentWaiting()->firstChild());
    button->onLeftDown(1, 1);
    button->onLeftUp(1, 1);
    EXPECT_TRUE(loginSession().loggedIn);
    EXPECT_EQ(currentWaiting(), nullptr);
}

// The login completed: the waiting box, a question and a notice still up all
// close, so that none stays over the world swallowing its clicks.
TEST_F(Flow, TheLoginConfirmationClosesEveryFrontEndBox)
{
    test::PacketTap tap;
    sendPlayCharacter("Aldric", 0);
    ASSERT_TRUE(loginScreens().isWaitingShown());
    auto* question = new YesNoGump("Really?", nullptr, nullptr, nullptr);
    gumpLink(question, nullptr);
    auto* notice = new IgrSaveGump(u"Saving...", nullptr);
    gumpLink(notice, nullptr);
    auto* html = new YesNoHtmlGump(u"<b>Hi</b>", nullptr, nullptr);
    gumpLink(html, nullptr);
    const GumpHandle handles[] = { GumpHandle(question), GumpHandle(notice), GumpHandle(html) };
    loginScreens().closeFrontEndBoxes();
    EXPECT_FALSE(loginScreens().isWaitingShown());
    EXPECT_EQ(currentWaiting(), nullptr);
    for (const GumpHandle& box : handles)
        EXPECT_FALSE(box) << "closed";
    EXPECT_EQ(gumpModal(), nullptr);
}

TEST_F(Flow, TheQuestionIsModalAndClosesBeforeItsAnswerRuns)
{
    bool yes = false;
    bool stillOpen = true;
    auto* question = new YesNoGump("Really?", [&] {
        yes = true;
        stillOpen = findGump("YesNo gump") != nullptr;
    }, nullptr, nullptr);
    gumpLink(question, nullptr);
    EXPECT_EQ(gumpModal(), question);
    // The Yes button is the first one made.
    auto* button = static_cast<Button*>(question->lastChild());
    button->onLeftDown(1, 1);
    button->onLeftUp(1, 1);
    EXPECT_TRUE(yes);
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(gumpModal(), nullptr);
}

} // namespace
