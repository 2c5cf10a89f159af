// The whole client in one sitting, as a newcomer meets it: the real program
// runs headless on the sample data against every part of the test server's
// stage and its messenger peer, at the program's own frames. The stage
// greets with the tip of the day, which a right click puts away; then the
// player opens each family of windows the way a player does and closes it
// again: the paperdoll and its status page, the skills, a book on the ground
// and the bulletin board, the horse's context menu, the vendor's goods
// bought, the spellbook and a cast at the ground, a trade with the woman,
// the mahjong table, a party and its chat, a macro key that speaks, the
// options saved, the journal, the messenger's mail through a macro, the
// help, and the house's design mode. The program then ends with code 0 and
// its clean-ups in the reverse order of start-up.

#include "app/main_window.h"
#include "app/scenario_runner.h"
#include "app/startup_cleanups.h"
#include "data/config_file.h"
#include "data/settings_registry.h"
#include "data/skill_values.h"
#include "data/targeting.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_scene.h"
#include "gump/button.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "housing/house_design_gump.h"
#include "housing/house_designer.h"
#include "mahjong/mahjong_board_gump.h"
#include "mahjong/mahjong_piece_gumps.h"
#include "messenger/context_help_window.h"
#include "messenger/message_lists.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_window.h"
#include "messenger/messenger_windows.h"
#include "platform/clock.h"
#include "protocol/target_cursor.h"
#include "support/fast_clock.h"
#include "support/stage_house.h"
#include "support/stage_mahjong.h"
#include "support/stage_messenger.h"
#include "support/stage_party.h"
#include "support/stage_reading.h"
#include "support/stage_skills.h"
#include "support/stage_spells.h"
#include "support/stage_trade.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "support/world_player.h"
#include "support/world_point.h"
#include "windows/bill_gump.h"
#include "windows/book_gump.h"
#include "windows/bulletin_board.h"
#include "windows/container_gump.h"
#include "windows/context_menu.h"
#include "windows/journal.h"
#include "windows/journal_gump.h"
#include "windows/menubar.h"
#include "windows/options_gump.h"
#include "windows/paperdoll_gump.h"
#include "windows/party_table.h"
#include "windows/shop_gump.h"
#include "windows/skill_gump.h"
#include "windows/spellbook_gump.h"
#include "windows/status_gump.h"
#include "windows/tips_gump.h"
#include "windows/trade_gump.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/multi_cache.h"
#include "world/object_manager.h"

#include "headless_client_fixture.h"
#include "orderly_cleanups.h"
#include "stage_scenario.h"
#include "stepped_scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using app_test::StageLog;
using app_test::StageScenario;
using platform::MessageKind;

// The menubar's buttons, left to right.
constexpr int32_t kWholePaperdollButton = 1;
constexpr int32_t kWholeInventoryButton = 2;
constexpr int32_t kWholeJournalButton = 3;
constexpr int32_t kWholeSkillsButton = 4;
constexpr int32_t kWholeHelpButton = 7;
constexpr uint32_t kWholeShirtSerial = 0x40000205;
constexpr int32_t kWholeMagicArrow = 5;
// The macro keys of the player's macro file.
constexpr uint16_t kWholeF2 = 0x71;
constexpr int32_t kWholeF2Scan = 60;
constexpr uint16_t kWholeF3 = 0x72;
constexpr int32_t kWholeF3Scan = 61;

std::string wholeNarrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

// The journal's newest line that holds `text`, or empty.
std::string wholeJournalLine(const std::string& text)
{
    const auto& entries = journal().entries();
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const std::string line = entry->wide ? wholeNarrow(entry->text) : entry->narrow;
        if (line.find(text) != std::string::npos)
            return line;
    }
    return {};
}

Menubar* wholeMenubar()
{
    CGump* bar = gumpManager().menubar;
    return isValidGump(bar) ? static_cast<Menubar*>(bar) : nullptr;
}

TipsGump* wholeTip()
{
    CGump* gump = test::findGump("tips gump");
    return gump ? static_cast<TipsGump*>(gump) : nullptr;
}

JournalGump* wholeJournalWindow()
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::TextWindow) && std::string(gump->typeName()) != "tips gump")
            return static_cast<JournalGump*>(gump);
    }
    return nullptr;
}

SpellbookGump* wholeBook() { return SpellbookGump::findFor(test::kStageSpellbookSerial); }
mahjong::MahjongBoardGump* wholeBoard() { return mahjong::openMahjongBoardGump(); }

bool wholeMahjongSent(uint16_t subcommand)
{
    const std::vector<uint16_t> requests = test::stageMahjongRequests();
    return std::find(requests.begin(), requests.end(), subcommand) != requests.end();
}

bool wholeHouseHeard(uint16_t command)
{
    const std::vector<uint16_t> heard = test::stageHouseCommands();
    return std::find(heard.begin(), heard.end(), command) != heard.end();
}

template <typename Row>
std::vector<Row*> wholeRowsOf(MessengerList* list, const char* typeName)
{
    std::vector<Row*> found;
    for (CGump* row : list ? list->rows() : std::vector<CGump*>())
        if (std::string_view(row->typeName()) == typeName)
            found.push_back(static_cast<Row*>(row));
    return found;
}

MessageListControl* wholeMailList()
{
    MessageListWindow* window = messageListWindow();
    return window ? window->list() : nullptr;
}

class WholeClientSession final : public StageScenario {
public:
    WholeClientSession(test::StageWorld& stage, StageLog& log)
        : StageScenario(stage)
        , m_log(log)
    {
    }

private:
    void clickLocal(CGump* gump, int32_t dx, int32_t dy)
    {
        int32_t x = 0, y = 0;
        pointOf(gump, dx, dy, x, y);
        click(x, y);
    }
    void rightClickLocal(CGump* gump, int32_t dx, int32_t dy)
    {
        int32_t x = 0, y = 0;
        pointOf(gump, dx, dy, x, y);
        rightClick(x, y);
    }
    void clickMenubar(int32_t index) { clickLocal(wholeMenubar()->button(index), 10, 10); }
    void useObject(uint32_t serial, bool twice)
    {
        int32_t x = 0, y = 0;
        findOnScreen(serial, x, y);
        if (twice)
            doubleClick(x, y);
        else
            click(x, y);
    }
    // A drag as a hand makes it: press, a first move, the way there, release.
    void drag(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY)
    {
        const uint32_t now = platform::clock().tickMs();
        post({ MessageKind::MouseMove, 0, 0, fromX, fromY });
        post({ MessageKind::LeftButtonDown, 1, 0, fromX, fromY });
        window().scheduleMessage(now + 100, { MessageKind::MouseMove, 1, 0, fromX + 10, fromY + 10 });
        window().scheduleMessage(now + 200, { MessageKind::MouseMove, 1, 0, toX, toY });
        window().scheduleMessage(now + 300, { MessageKind::LeftButtonUp, 0, 0, toX, toY });
    }
    void pressKey(uint16_t key, int32_t scanCode)
    {
        const uint32_t keyData = 1u | (uint32_t(scanCode) << 16);
        post({ MessageKind::KeyDown, key, keyData, 0, 0 });
        post({ MessageKind::KeyUp, key, keyData | (3u << 30), 0, 0 });
    }
    // A step that waits a moment: the next click must not pair with the last.
    void addPause(const char* name)
    {
        step(name, [this] { m_pauseFrom = platform::clock().tickMs(); },
            [this] { return platform::clock().tickMs() - m_pauseFrom > kPauseMs; });
    }
    // The journal holds the line: it is told.
    static bool told(const std::string& text)
    {
        const std::string line = wholeJournalLine(text);
        if (line.empty())
            return false;
        say("journal: " + line);
        return true;
    }

    void addSteps() override
    {
        addTipSteps();
        addStatusSteps();
        addSkillSteps();
        addReadingSteps();
        addContextMenuSteps();
        addPurchaseSteps();
        addSpellSteps();
        addTradeSteps();
        addMahjongSteps();
        addPartySteps();
        addMacroAndOptionsSteps();
        addJournalSteps();
        addMessengerSteps();
        addHelpSteps();
        addHouseDesignSteps();
        addQuitStep();
    }

    void addTipSteps()
    {
        step("the tip of the day", nullptr, [this] {
            TipsGump* tip = wholeTip();
            if (!settled(tip && tip->isTip() && !tip->lines().empty()))
                return false;
            // Its lines as the window cut them, each ended by a slash.
            std::string shown;
            for (const std::string& line : tip->lines())
                shown += line + " / ";
            say("the tip of the day: " + shown);
            return true;
        });
        step("the tip put away",
            [this] {
                TipsGump* tip = wholeTip();
                rightClickLocal(tip, tip->width() / 2, tip->height() / 2);
            },
            [] { return wholeTip() == nullptr; });
    }

    void addStatusSteps()
    {
        step("the paperdoll from the menubar", [this] { clickMenubar(kWholePaperdollButton); },
            [] { return player() && findPaperdoll(*player()); });
        step("the status page from the paperdoll",
            [this] { clickLocal(findPaperdoll(*player()), 185 + 10, 233 + 4); },
            [] {
                StatusGump* page = findStatusGumpOf(player()->serial);
                if (!page || page->isMinimised() || page->record().strength == 0)
                    return false;
                say("status page: strength " + std::to_string(page->record().strength) + ", gold "
                    + std::to_string(page->record().gold));
                return true;
            });
        step("the paperdoll and status closed",
            [] {
                closeGump(findStatusGumpOf(player()->serial));
                closeGump(findPaperdoll(*player()));
            },
            [] { return !findStatusGumpOf(player()->serial) && !findPaperdoll(*player()); });
    }

    void addSkillSteps()
    {
        step("the skills from the menubar", [this] { clickMenubar(kWholeSkillsButton); },
            [] {
                SkillGump* window = playerSkillGump();
                if (!window || skillValues().value[size_t(test::kStageRisingSkill)] != test::kStageRisingStart)
                    return false;
                say("skill window with " + std::to_string(window->rows().size()) + " group rows");
                return true;
            });
        step("the skills closed", [this] { rightClickLocal(playerSkillGump(), 150, 30); },
            [] { return playerSkillGump() == nullptr; });
    }

    void addReadingSteps()
    {
        step("the chronicle on the ground", [this] { useObject(test::kStageChronicle, true); },
            [] {
                BookGump* book = findBookGump(test::kStageChronicle);
                if (!book || !book->textPage(1) || book->textPage(1)->lineCount() == 0)
                    return false;
                say("the chronicle reads: " + wholeNarrow(book->textPage(1)->lines[0]));
                return true;
            });
        step("the chronicle closed", [this] { rightClickLocal(findBookGump(test::kStageChronicle), 200, 230); },
            [] { return findBookGump(test::kStageChronicle) == nullptr; });
        step("the bulletin board", [this] { useObject(test::kStageBoard, true); },
            [] {
                BulletinBoardGump* board = findBulletinBoard(test::kStageBoard);
                if (!board || board->lines().size() != 2)
                    return false;
                say("the board lists " + std::to_string(board->lines().size()) + " postings");
                return true;
            });
        step("the thread opened",
            [this] { clickLocal(findBulletinBoard(test::kStageBoard)->lineFor(test::kStageFirstPosting), 4, 5); },
            [] { return findBulletinBoard(test::kStageBoard)->lineFor(test::kStageFirstPosting + 1)->isVisible(); });
        step("the board closed", [this] { rightClickLocal(findBulletinBoard(test::kStageBoard), 20, 20); },
            [this] {
                if (findBulletinBoard(test::kStageBoard))
                    return false;
                say("the board closed after " + std::to_string(m_log.count(0x71)) + " board requests");
                return true;
            });
    }

    void addContextMenuSteps()
    {
        step("the horse's context menu", [this] { useObject(fixture::kSceneHorseSerial, false); },
            [] {
                ContextMenuGump* menu = contextMenuGump();
                if (!menu || menu->shownTags().empty())
                    return false;
                say("context menu of " + std::to_string(menu->shownTags().size()) + " rows");
                return true;
            });
        step("the name query from the menu",
            [this] {
                ContextMenuGump* menu = contextMenuGump();
                clickLocal(menu, ContextMenuGump::kMargin + 4,
                    ContextMenuGump::kMargin + menu->lineHeight() + menu->lineHeight() / 2);
            },
            [] { return test::findGump("Stringquery gump") != nullptr; });
        step("the horse named", [this] { type("Dobbin\r"); },
            [] { return !test::findGump("Stringquery gump") && told("The horse is now called"); });
    }

    void addPurchaseSteps()
    {
        step("the vendor's goods", [this] { useObject(test::kStageVendorSerial, true); },
            [] {
                ShopGump* shop = findShopGump(test::kStageVendorSerial);
                return shop && shop->bill() && shop->rowView(0) && shop->rowView(0)->isVisible();
            });
        step("a row into the bill",
            [this] {
                int32_t x = ShopGump::kListLeft + 80, y = ShopGump::kListTop + 20;
                findShopGump(test::kStageVendorSerial)->localToScreen(x, y);
                doubleClick(x, y);
            },
            [] {
                ShopGump* shop = findShopGump(test::kStageVendorSerial);
                if (!shop || shop->shoppingList().nodes().size() != 1)
                    return false;
                say("bill total " + std::to_string(shop->bill()->total()));
                return true;
            });
        step("the bill signed", [this] { clickLocal(findShopGump(test::kStageVendorSerial)->bill(), 34 + 8, 196 + 8); },
            [] { return !findShopGump(test::kStageVendorSerial) && told("Bought "); });
    }

    // The spellbook lies in the backpack: the backpack from the menubar,
    // the book, Magic Arrow's page and a cast at the ground.
    void addSpellSteps()
    {
        step("the backpack from the menubar", [this] { clickMenubar(kWholeInventoryButton); },
            [] { return test::sceneBackpackWindow() != nullptr; });
        step("the spellbook",
            [this] {
                int32_t x = 0, y = 0;
                if (test::backpackItemPoint(test::kStageSpellbookSerial, x, y))
                    doubleClick(x, y);
            },
            [] {
                SpellbookGump* book = wholeBook();
                if (!book || book->spellCount() != test::kStageSpellCount)
                    return false;
                say("the spellbook holds " + std::to_string(book->spellCount()) + " spells");
                return true;
            });
        step("Magic Arrow's page",
            [this] {
                SpellbookGump* book = wholeBook();
                for (int32_t localY = SpellbookGump::kIndexFirstRow; localY < book->height(); ++localY) {
                    if (book->indexEntryAtPoint(60, localY) == kWholeMagicArrow - 1) {
                        clickLocal(book, 60, localY + 2);
                        return;
                    }
                }
            },
            [] {
                SpellbookGump* book = wholeBook();
                return book && book->spread() > book->indexPages();
            });
        step("the cast", [this] {
                int32_t x = 0, y = 0;
                pointOf(wholeBook(), 56 + 10, 40 + 10, x, y);
                doubleClick(x, y);
            },
            [] {
                SpellbookGump* book = wholeBook();
                return book && book->isMinimised() && targetingState().targetingActive
                    && serverTargetCursor().cursorId == test::kStageSpellCursor;
            });
        addPause("a pause after the cast");
        step("the ground targeted",
            [this] { click(m_session->mainWindow.gameWidth() - 80, m_session->mainWindow.gameHeight() - 60); },
            [] { return !targetingState().targetingActive && told("Spell "); });
        step("the book stood up",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(wholeBook(), 20, 26, x, y);
                doubleClick(x, y);
            },
            [] { return wholeBook() && !wholeBook()->isMinimised(); });
        step("the book closed", [this] { rightClickLocal(wholeBook(), 120, 60); }, [] { return wholeBook() == nullptr; });
    }

    void addTradeSteps()
    {
        step("the shirt dropped on the woman",
            [this] {
                // The backpack out of the woman's way.
                test::sceneBackpackWindow()->moveTo(400, 240, true, nullptr, false);
                int32_t fromX = 0, fromY = 0, toX = 0, toY = 0;
                test::backpackItemPoint(kWholeShirtSerial, fromX, fromY);
                findOnScreen(fixture::kSceneWomanSerial, toX, toY);
                drag(fromX, fromY, toX, toY);
            },
            [] { return tradeGumpWith(fixture::kSceneWomanSerial) != nullptr; });
        step("the shirt offered",
            [this] {
                int32_t fromX = 0, fromY = 0;
                test::backpackItemPoint(kWholeShirtSerial, fromX, fromY);
                ContainerGump* offer = tradeGumpWith(fixture::kSceneWomanSerial)->myOffer();
                int32_t toX = 0, toY = 0;
                pointOf(offer, offer->width() / 2, offer->height() / 2, toX, toY);
                drag(fromX, fromY, toX, toY);
            },
            [] {
                Item* shirt = findItemBySerial(kWholeShirtSerial);
                return tradeGumpWith(fixture::kSceneWomanSerial) && shirt && shirt->container()
                    && shirt->container()->serial == test::kStageMyTradeBoxSerial;
            });
        step("the trade accepted", [this] { clickLocal(tradeGumpWith(fixture::kSceneWomanSerial), 52 + 4, 29 + 4); },
            [] {
                Item* gift = findItemBySerial(test::kStageHerGiftSerial);
                return !tradeGumpWith(fixture::kSceneWomanSerial) && gift && !findItemBySerial(kWholeShirtSerial)
                    && gift->container() == findItemBySerial(fixture::kSceneBackpackSerial)
                    && told("The trade is done.");
            });
        step("the backpack closed",
            [this] {
                ContainerGump* pack = test::sceneBackpackWindow();
                rightClickLocal(pack, pack->width() / 2, pack->height() / 2);
            },
            [] { return test::sceneBackpackWindow() == nullptr; });
    }

    void addMahjongSteps()
    {
        step("the mahjong table", [this] { useObject(test::kStageMahjongTable, true); },
            [] {
                mahjong::MahjongTable* table = mahjong::getMahjongTable();
                if (!table || !table->ownSeat() || table->seats().size() != 4 || !wholeBoard())
                    return false;
                say("seated at the mahjong table with " + std::to_string(table->seats().size() - 1) + " robots");
                return true;
            });
        step("the leave question", [this] { rightClickLocal(wholeBoard(), 60, 60); },
            [] { return wholeBoard() && wholeBoard()->leaveQuestion(); });
        step("the table left",
            [this] {
                auto* question = static_cast<MessengerWindow*>(wholeBoard()->leaveQuestion());
                clickLocal(question->messengerButton(MessengerButton::Ok), 2, 2);
            },
            [] {
                if (wholeBoard() || !wholeMahjongSent(mahjong::kMahjongBoardClosed))
                    return false;
                say("the board closed and the server heard it");
                return true;
            });
    }

    void addPartySteps()
    {
        step("invited by speaking", [this] { type("party\r"); }, [] { return partyTable().isInvitationPending(); });
        step("the invitation accepted", [this] { type("/accept\r"); },
            [] {
                PartyTable& table = partyTable();
                if (table.memberSerial(0) != fixture::kSceneWomanSerial || table.memberName(0).empty())
                    return false;
                say("in the party of " + table.memberName(0));
                return true;
            });
        step("party chat", [this] { type("/onward\r"); }, [] { return told("I hear you: onward"); });
    }

    void addMacroAndOptionsSteps()
    {
        step("the macro's key", [this] { pressKey(kWholeF2, kWholeF2Scan); },
            [] { return told("Hail from a macro"); });
        step("the options window from Alt+O", [this] { post({ MessageKind::Command, command::kOptions, 0, 0, 0 }); },
            [this] { return settled(openOptionsWindow() != nullptr); });
        // The row keeps its value until Okay; the click is over once its
        // release has come.
        step("Always run ticked",
            [this] {
                m_pauseFrom = platform::clock().tickMs();
                clickLocal(openOptionsWindow(), OptionItem::kControlX + 3, OptionsGump::kRowsTop + 3);
            },
            [this] { return settled(platform::clock().tickMs() - m_pauseFrom > 4 * test::kClickPressMs); });
        step("Okay", [this] { clickLocal(openOptionsWindow(), 453 + 5, OptionsGump::kButtonY + 5); },
            [] {
                if (openOptionsWindow())
                    return false;
                std::string saved;
                lookupConfigValue(ConfigKeyKind::AlwaysRun, saved);
                say("options saved: AlwaysRun " + saved);
                return true;
            });
    }

    void addJournalSteps()
    {
        step("the journal from the menubar", [this] { clickMenubar(kWholeJournalButton); },
            [] {
                JournalGump* window = wholeJournalWindow();
                if (!window || !window->firstVisible())
                    return false;
                say("the journal window shows " + std::to_string(journal().entries().size()) + " lines");
                return true;
            });
        step("the journal closed", [this] { rightClickLocal(wholeJournalWindow(), 100, 150); },
            [] { return wholeJournalWindow() == nullptr; });
    }

    // The macro file's F3 opens the Messages window over the messenger's
    // connection; the peer's list comes in and a group opens.
    void addMessengerSteps()
    {
        step("the Messages window from a macro", [this] { pressKey(kWholeF3, kWholeF3Scan); },
            [this] {
                std::vector<GroupRow*> groups = wholeRowsOf<GroupRow>(wholeMailList(), "group row");
                if (!settled(messengerState().status == MessengerStatus::ListReceived && !groups.empty()))
                    return false;
                say("the Messages window lists " + wholeNarrow(groups[0]->text()));
                return true;
            });
        step("the group opened",
            [this] {
                std::vector<GroupRow*> groups = wholeRowsOf<GroupRow>(wholeMailList(), "group row");
                clickLocal(groups[0], 40, kListRowHeight / 2);
            },
            [] {
                const size_t mails = wholeRowsOf<MessageRow>(wholeMailList(), "message row").size();
                if (mails == 0)
                    return false;
                say("the group holds " + std::to_string(mails) + " mails");
                return true;
            });
        step("the Messages window closed",
            [this] {
                CGump* close = messageListWindow()->messengerButton(MessengerButton::Close);
                clickLocal(close, close->width() / 2, close->height() / 2);
            },
            [] { return messageListWindow() == nullptr; });
    }

    void addHelpSteps()
    {
        step("the help from the menubar", [this] { clickMenubar(kWholeHelpButton); },
            [] {
                if (!contextHelpWindow())
                    return false;
                say("the help window opened");
                return true;
            });
        step("the help closed", [this] { rightClickLocal(contextHelpWindow(), 10, 10); },
            [] { return contextHelpWindow() == nullptr; });
    }

    void addHouseDesignSteps()
    {
        step("the house's design", nullptr, [this] {
            Item* house = findItemBySerial(test::kStageHouseSerial);
            return settled(house && house->multi() && multiCache().find(test::kStageHouseSerial));
        });
        step("design mode from speech", [this] { type("design\r"); },
            [] {
                housing::HouseDesigner& designer = housing::houseDesigner();
                if (!housing::houseDesignGump() || !designer.isPlayerInDesign())
                    return false;
                say("design window with " + std::to_string(designer.floorCount()) + " floors");
                return true;
            });
        step("design mode left",
            [this] {
                housing::HouseDesignGump* window = housing::houseDesignGump();
                rightClick(window->x() + 20, window->y() + 30);
            },
            [] {
                if (housing::houseDesignGump() || housing::houseDesigner().isDesigning() || !wholeHouseHeard(12))
                    return false;
                say("design mode left and the server heard it");
                return true;
            });
    }

    static constexpr uint32_t kPauseMs = 1000;
    StageLog& m_log;
    uint32_t m_pauseFrom = 0;
};

[[noreturn]] void playWholeClient(const fixture::ClientDirectory& client)
{
    setCleanupObserver([](const char* name) { std::fprintf(stderr, "cleanup %s\n", name); });
    test::FastClock clock(5000, app_test::kStageSpeedUp);
    platform::ScopedClock scopedClock(clock);
    test::TestShardServer server(test::stageShardConfig());
    test::StageMessenger peer;
    if (!server.isListening() || !peer.isListening())
        _exit(3);
    test::StageWorld stage;
    // As ./run.sh's server: the tip of the day greets the player.
    stage.setGreetingTip(true);
    StageLog log;
    log.attach(server, stage);
    WholeClientSession session(stage, log);
    const int code = test::runClientAgainstServer(
        server, client.path(), session, "UserCentral=127.0.0.1," + std::to_string(peer.port()) + "\n");
    std::fflush(nullptr);
    _exit(code);
}

class HeadlessWholeClient : public app_test::HeadlessClientTest {
protected:
    HeadlessWholeClient()
        : HeadlessClientTest("900000")
    {
        client.write("macros.txt", "F2 0 0 0\r\nSay Hail from a macro\r\n########\r\nF3 0 0 0\r\nOpen Mail\r\n########\r\n");
    }
};

TEST_F(HeadlessWholeClient, EveryFamilyOfWindowsOpensAndClosesAgainstTheServerAndTheProgramEndsCleanly)
{
    EXPECT_EXIT(playWholeClient(client), ::testing::ExitedWithCode(0),
        "the tip of the day: Welcome to the stage. / Hold the journal's grip to make it / taller, and tick the lock to "
        "keep your / place. / \n"
        "status page: strength 60, gold 1234\n"
        "skill window with 1 group rows\n"
        "the chronicle reads: On the first day the stage\n"
        "the board lists 2 postings\n"
        "the board closed after [0-9]+ board requests\n"
        "context menu of 2 rows\n"
        "journal: The horse is now called Dobbin[^\n]*\n"
        "bill total [0-9]+\n"
        "journal: Bought [^\n]*\n"
        "the spellbook holds 12 spells\n"
        "journal: Spell 5 strikes the ground[^\n]*\n"
        "journal: The trade is done.\n"
        "seated at the mahjong table with 3 robots\n"
        "the board closed and the server heard it\n"
        "in the party of Mirela\n"
        "journal: [^\n]*I hear you: onward\n"
        "journal: [^\n]*Hail from a macro\n"
        "options saved: AlwaysRun on\n"
        "the journal window shows [0-9]+ lines\n"
        "the Messages window lists 2 Messages for Aldric\n"
        "the group holds 2 mails\n"
        "the help window opened\n"
        "design window with 3 floors\n"
        "design mode left and the server heard it\n"
            + app_test::kOrderlyCleanups);
}

} // namespace
