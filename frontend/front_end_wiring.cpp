#include "frontend/front_end_wiring.h"

#include "audio/video_playback.h"
#include "data/config_key_rules.h"
#include "data/server_features.h"
#include "data/settings_registry.h"
#include "frontend/character_selection.h"
#include "frontend/feature_flags.h"
#include "frontend/front_end_dialogs.h"
#include "frontend/front_end_flow.h"
#include "frontend/front_end_shell.h"
#include "frontend/front_end_state.h"
#include "frontend/igr_sessions.h"
#include "frontend/main_menu.h"
#include "frontend/scroll_choice_gump.h"
#include "frontend/shard_list_gump.h"
#include "frontend/splash_gump.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/input_control.h"
#include "gump/waiting_gump.h"
#include "protocol/login_state.h"
#include "protocol/protocol_services.h"
#include "protocol/session_packets.h"
#include "text/localization.h"

#include <algorithm>

namespace {

CGump* coveredGump(CoveredWindow covered)
{
    FrontEndRecords& records = frontEnd();
    switch (covered) {
    case CoveredWindow::None:
        return nullptr;
    case CoveredWindow::LoginWindow:
        return records.loginWindow.get();
    case CoveredWindow::MainMenu:
        return records.mainMenu.get();
    case CoveredWindow::CharacterSelection:
        return records.characterSelection.get();
    }
    return nullptr;
}

CharacterSelectionGump* selection()
{
    return rememberedWindow<CharacterSelectionGump>(frontEnd().characterSelection);
}

// The box's button after the login completed: it enters the world.
void enterWorldFromBox(CGump* box)
{
    closeGump(box);
    enterGameWorld();
}

class FrontEndScreens final : public LoginScreens {
public:
    bool isWaitingShown() override
    {
        WaitingGump* box = currentWaiting();
        return box && box->isVisible();
    }
    void deleteWaiting() override { deleteCurrentWaiting(); }
    void closeFrontEndBoxes() override
    {
        deleteCurrentWaiting();
        ::closeFrontEndBoxes();
    }
    void showWaiting(const WaitingMessage& message) override
    {
        WaitingGump::Options options;
        options.covered = coveredGump(message.covered);
        options.busy = message.busy;
        options.large = message.large;
        options.returnToMenu = message.returnToMenu;
        auto* box = new WaitingGump(message.text, options);
        gumpSetModal(box);
        gumpLink(box, nullptr);
    }
    void enterWorldOnWaitingButton() override
    {
        WaitingGump* box = currentWaiting();
        if (!box)
            return;
        if (auto* button = static_cast<Button*>(box->firstChild())) {
            button->setCallback(enterWorldFromBox);
            button->setVisible(true);
        }
    }

    void leaveWorldOnWaitingButton() override
    {
        if (WaitingGump* box = currentWaiting())
            box->setReturnToMenu(true);
    }

    bool hasLoginWindow() override { return bool(frontEnd().loginWindow); }
    void hideLoginWindow() override
    {
        if (CGump* login = frontEnd().loginWindow.get())
            login->setVisible(false);
    }
    void focusLoginWindow() override
    {
        auto* login = rememberedWindow<AcctLoginGump>(frontEnd().loginWindow);
        if (login && !gumpFocus())
            gumpSetFocus(login->accountEntry());
    }

    void openShardList() override
    {
        FrontEndRecords& records = frontEnd();
        closeGump(records.shardListWindow.get());
        auto* window = new ShardListGump();
        gumpLink(window, nullptr);
        records.shardListWindow = GumpHandle(window);
        addMainMenuButtons(*window);
    }
    void openShardChoice() override
    {
        FrontEndRecords& records = frontEnd();
        closeGump(records.shardChoice.get());
        auto* list = new ScrollChoiceGump(records.mainMenu.get(), 3500, 100, 100, 100, 100, nullptr, false, false);
        list->setChoosesShard(true);
        for (const ShardEntry& shard : shardList().shards) {
            if (!shard.name.empty())
                list->addItem(shard.id, shard.name, 0);
        }
        list->redrawList();
        gumpLink(list, nullptr);
        gumpSetModal(list);
        records.shardChoice = GumpHandle(list);
    }

    bool hasCharacterSelection() override { return bool(frontEnd().characterSelection); }
    void openCharacterSelection() override
    {
        FrontEndRecords& records = frontEnd();
        // A new list ends any creation in progress (the server answers a
        // create request with the account's list).
        service<CharacterCreation>().closeCreationWindows();
        closeGump(records.characterSelection.get());
        auto* window = new CharacterSelectionGump();
        window->setVisible(false);
        gumpLink(window, nullptr);
        records.characterSelection = GumpHandle(window);
    }
    void closeCharacterSelection() override { closeGump(frontEnd().characterSelection.get()); }
    void addCharacter(const std::string& name, int32_t key) override
    {
        if (CharacterSelectionGump* window = selection())
            window->addCharacter(name, key);
    }
    void removeCharacter(int32_t key) override
    {
        if (CharacterSelectionGump* window = selection())
            window->removeCharacter(key);
    }
    void removeSelectedCharacter() override
    {
        CharacterSelectionGump* window = selection();
        if (!window)
            return;
        const int32_t position = window->selectedPosition();
        window->removeCharacter(window->keyAt(position));
        window->selectPosition(std::max(position - 1, 0));
    }
    void presentCharacterSelection() override
    {
        CharacterSelectionGump* window = selection();
        if (!window)
            return;
        if (window->characterCount() == 0) {
            window->onNewCharacter();
            return;
        }
        window->setVisible(true);
        window->bringToFront(false);
        gumpSetFocus(window);
    }
    void showCharacterSelection() override
    {
        if (CharacterSelectionGump* window = selection())
            window->setVisible(true);
    }
    void playSelectedCharacter() override
    {
        if (CharacterSelectionGump* window = selection())
            window->onPlay();
    }

    void closeWindowsForLoginError() override
    {
        FrontEndRecords& records = frontEnd();
        deleteCurrentWaiting();
        closeGump(records.shardChoice.get());
        service<CharacterCreation>().closeCreationWindows();
        closeGump(records.shardListWindow.get());
    }
    void closeAllButPersistent() override { gumpCloseAllButPersistent(); }
    void openMainMenu() override { openNewMainMenu(); }
    void showMainMenu() override { showMainMenuAfterDrawing(); }
    void logoutToMainMenu() override { ::logoutToMainMenu(); }
    void quitGame() override { ::quitGame(); }
};

// What the waiting box asks of the front end.
class FrontEndRecord final : public FrontEnd {
public:
    void logoutToMainMenu() override { ::logoutToMainMenu(); }
    void forgetWaitingGump(CGump* gump) override
    {
        if (frontEnd().waiting.get() == gump)
            frontEnd().waiting = GumpHandle();
    }
};

FrontEndScreens& screens()
{
    static FrontEndScreens instance;
    return instance;
}

FrontEndRecord& record()
{
    static FrontEndRecord instance;
    return instance;
}

} // namespace

LoginScreens& frontEndLoginScreens() { return screens(); }

void installFrontEnd()
{
    installLoginScreens(&screens());
    installIgrSessions(&igrSessionManager());
    installService<FrontEnd>(&record());
    installAnimSetRule();
    // A password remembered by an earlier run is offered once.
    FrontEndRecords& records = frontEnd();
    records.rememberPassword = settings().getBoolSetting(u"RememberAcctPW") != 0;
    if (records.rememberPassword)
        loginSession().password = configValues().accountPassword;
}

void uninstallFrontEnd()
{
    installService<FrontEnd>(nullptr);
    installLoginScreens(nullptr);
}

void showStartupSplash()
{
    showSplashGump(splashPictureFor(getLanguageCode(), serverFeatures()), kStartupSplashMs,
        [](int32_t) { startIntroAfterSplash(); });
}
