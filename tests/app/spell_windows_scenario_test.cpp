// The spellbook in the running program, against the test server's stage, as
// a player meets it: the book in the backpack opens on its index with the
// server's twelve spells, a click on a name turns to that spell's page, a
// double click on its icon casts it (the book lies down minimised), the
// server's target cursor is answered on the ground and the server's bolt and
// line come back; a double click stands the book up again and a right click
// closes it. The spell's icon dragged out of its page casts again, and the
// next login finds it where it was left. The test checks what the client
// shows and what the server got.
//
// The combat windows the same way: the fighting style window a first-time
// layout opens sends the chosen style inside the war-mode request; the
// paperdoll's button opens the ability book, whose index shows the two
// abilities of the player's sword, switches one on (the server gets 0xD7
// 0x19) and lets the other's icon be dragged out.

#include "app/main_window.h"
#include "app/scenario_runner.h"
#include "data/targeting.h"
#include "fixtures/sample_scene.h"
#include "fixtures/sample_spell_art.h"
#include "gump/desktop_records.h"
#include "gump/thumb.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "platform/clock.h"
#include "protocol/target_cursor.h"
#include "support/stage_journal.h"
#include "support/stage_spells.h"
#include "support/test_shard_server.h"
#include "support/world_point.h"
#include "windows/ability_book_gump.h"
#include "windows/container_gump.h"
#include "windows/fighting_style_gump.h"
#include "windows/icon_gumps.h"
#include "windows/journal.h"
#include "windows/menubar.h"
#include "windows/paperdoll_gump.h"
#include "windows/party_gump.h"
#include "windows/spell_table.h"
#include "windows/spellbook_gump.h"
#include "windows/weapon_abilities.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include "headless_client_fixture.h"
#include "stage_scenario.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using app_test::StageLog;
using app_test::StageScenario;

constexpr int32_t kMagicArrow = 5;
constexpr int32_t kInventoryButton = 2;

SpellbookGump* stageBook() { return SpellbookGump::findFor(test::kStageSpellbookSerial); }

// The journal's last line that begins with `start`, or empty.
std::string journalLine(const std::string& start)
{
    const auto& entries = journal().entries();
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (entry->narrow.rfind(start, 0) == 0)
            return entry->narrow;
    }
    return {};
}

// The text of the last text command the server got.
std::string castText(const StageLog& log)
{
    const test::WirePacket cast = log.last(0x12);
    return cast.size() > 4 ? std::string(cast.begin() + 4, cast.end() - 1) : std::string();
}

class SpellbookSession final : public StageScenario {
public:
    SpellbookSession(test::StageWorld& stage, StageLog& log)
        : StageScenario(stage)
        , m_log(log)
    {
    }

private:
    // The spread's point of the index line of the book's `ordinal`-th spell.
    static bool indexLinePoint(int32_t ordinal, int32_t& x, int32_t& y)
    {
        SpellbookGump* book = stageBook();
        for (int32_t localY = SpellbookGump::kIndexFirstRow; book && localY < book->height(); ++localY) {
            if (book->indexEntryAtPoint(60, localY) == ordinal) {
                pointOf(book, 60, localY + 2, x, y);
                return true;
            }
        }
        return false;
    }

    void addSteps() override
    {
        // The menubar's inventory button opens the backpack.
        step("the backpack",
            [this] {
                int32_t x = 0, y = 0;
                CGump* bar = gumpManager().menubar;
                if (isValidGump(bar))
                    pointOf(static_cast<Menubar*>(bar)->button(kInventoryButton), 10, 10, x, y);
                click(x, y);
            },
            [] { return test::sceneBackpackWindow() != nullptr; });
        step("the spellbook",
            [this] {
                ContainerGump* window = test::sceneBackpackWindow();
                Item* book = findItemBySerial(test::kStageSpellbookSerial);
                if (!window || !book)
                    return;
                const ScreenRect area = window->itemRect(*book);
                int32_t x = (area.left + area.right) / 2, y = (area.top + area.bottom) / 2;
                window->localToScreen(x, y);
                doubleClick(x, y);
            },
            [] {
                SpellbookGump* book = stageBook();
                if (!book || book->spellCount() != test::kStageSpellCount)
                    return false;
                say("the book opens on spread " + std::to_string(book->spread()) + " with "
                    + std::to_string(book->spellCount()) + " spells, " + std::to_string(book->spreadPageCount())
                    + " pages");
                return true;
            });
        step("Magic Arrow's page",
            [this] {
                int32_t x = 0, y = 0;
                if (indexLinePoint(kMagicArrow - 1, x, y))
                    click(x, y);
            },
            [] {
                SpellbookGump* book = stageBook();
                if (!book || book->spread() <= book->indexPages())
                    return false;
                say("the name turns to spread " + std::to_string(book->spread()) + ", "
                    + std::string(spellName(book->spellAtPoint(60, 50, false))) + " on the left");
                return true;
            });
        step("casting it",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(stageBook(), 56 + 10, 40 + 10, x, y);
                doubleClick(x, y);
            },
            [this] {
                SpellbookGump* book = stageBook();
                if (!book || !book->isMinimised() || !targetingState().targetingActive
                    || serverTargetCursor().cursorId != test::kStageSpellCursor)
                    return false;
                say("the server got the cast of \"" + castText(m_log) + "\" and asks for a target; the book lies down, "
                    + "last spell " + std::to_string(lastSpell()));
                return true;
            });
        // The next click must not pair with the double click's.
        step("a pause", [this] { m_pauseFrom = platform::clock().tickMs(); },
            [this] { return platform::clock().tickMs() - m_pauseFrom > kPauseMs; });
        step("the target",
            [this] {
                // Open grass right of the road, clear of the windows.
                click(m_session->mainWindow.gameWidth() - 80, m_session->mainWindow.gameHeight() - 60);
            },
            [this] {
                const std::string line = journalLine("Spell ");
                if (targetingState().targetingActive || line.empty())
                    return false;
                say("the server answers: " + line.substr(0, line.find(" at ")) + " after " + std::to_string(m_log.count(0x6C)) + " target reply");
                return true;
            });
        step("the book stood up",
            [this] {
                int32_t x = 0, y = 0;
                // The lower half of the laid-down book: the menubar may cover its top.
                pointOf(stageBook(), 20, 26, x, y);
                doubleClick(x, y);
            },
            [] {
                SpellbookGump* book = stageBook();
                if (!book || book->isMinimised())
                    return false;
                say("a double click opens it again at spread " + std::to_string(book->spread()));
                return true;
            });
        step("Magic Arrow dragged out",
            [this] {
                using platform::MessageKind;
                int32_t x = 0, y = 0;
                pointOf(stageBook(), 56 + 10, 40 + 10, x, y);
                const uint32_t now = platform::clock().tickMs();
                post({ MessageKind::MouseMove, 0, 0, x, y });
                post({ MessageKind::LeftButtonDown, 1, 0, x, y });
                window().scheduleMessage(now + 100, { MessageKind::MouseMove, 1, 0, x + 10, y + 10 });
                window().scheduleMessage(now + 200, { MessageKind::MouseMove, 1, 0, kIconX, kIconY });
                window().scheduleMessage(now + 300, { MessageKind::LeftButtonUp, 0, 0, kIconX, kIconY });
                m_pauseFrom = now + 300;
            },
            [this] {
                IconGump* icon = findIconGump(GumpKind::SpellIcon, kMagicArrow);
                if (!icon || int32_t(platform::clock().tickMs() - m_pauseFrom) < int32_t(kPauseMs))
                    return false;
                say("an icon of spell " + std::to_string(icon->iconId()) + " stands with its centre at "
                    + std::to_string(icon->x() + icon->width() / 2) + "," + std::to_string(icon->y() + icon->height() / 2));
                return true;
            });
        addIconCastSteps();
        step("closing the book",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(stageBook(), 120, 60, x, y);
                rightClick(x, y);
            },
            [] { return stageBook() == nullptr; });
        addQuitStep();
    }

    // A double click on the icon casts; the target is cancelled with Escape.
    void addIconCastSteps()
    {
        step("the icon cast",
            [this] {
                IconGump* icon = findIconGump(GumpKind::SpellIcon, kMagicArrow);
                int32_t x = 0, y = 0;
                pointOf(icon, icon->width() / 2, icon->height() / 2, x, y);
                doubleClick(x, y);
            },
            [] {
                if (!targetingState().targetingActive || serverTargetCursor().cursorId != test::kStageSpellCursor)
                    return false;
                say("the icon casts spell " + std::to_string(lastSpell()));
                return true;
            });
        step("the target cancelled", [this] { type("\x1b"); },
            [this] {
                const std::string line = journalLine("The spell fizzles");
                if (targetingState().targetingActive || line.empty())
                    return false;
                say("the server answers: " + line + " after " + std::to_string(m_log.count(0x12)) + " casts");
                return true;
            });
    }

    static constexpr uint32_t kPauseMs = 1000;
    // Low right in the game area, clear of where the tip of the day opens.
    static constexpr int32_t kIconX = 560;
    static constexpr int32_t kIconY = 420;
    StageLog& m_log;
    uint32_t m_pauseFrom = 0;
};

// The next login: the desktop file brings the spell icon back where it was
// left, and it casts.
class KeptIconSession final : public StageScenario {
public:
    KeptIconSession(test::StageWorld& stage, StageLog& log)
        : StageScenario(stage)
        , m_log(log)
    {
    }

private:
    void addSteps() override
    {
        step("the kept icon", nullptr, [] {
            IconGump* icon = findIconGump(GumpKind::SpellIcon, kMagicArrow);
            if (!icon)
                return false;
            say("the icon of spell " + std::to_string(icon->iconId()) + " is back at "
                + std::to_string(icon->x()) + "," + std::to_string(icon->y()));
            return true;
        });
        step("the icon cast",
            [this] {
                IconGump* icon = findIconGump(GumpKind::SpellIcon, kMagicArrow);
                int32_t x = 0, y = 0;
                pointOf(icon, icon->width() / 2, icon->height() / 2, x, y);
                doubleClick(x, y);
            },
            [this] {
                if (!targetingState().targetingActive || m_log.count(0x12) != 1)
                    return false;
                say("it casts \"" + castText(m_log) + "\"");
                return true;
            });
        addQuitStep();
    }

    StageLog& m_log;
};

// The player's macros reach the real casting and the real party window: F2
// casts Magic Arrow by its name in the macro file, F3 opens the party window.
class MacroCastSession final : public StageScenario {
public:
    MacroCastSession(test::StageWorld& stage, StageLog& log)
        : StageScenario(stage)
        , m_log(log)
    {
    }

private:
    void pressKey(uint16_t key, int32_t scanCode)
    {
        const uint32_t keyData = 1u | (uint32_t(scanCode) << 16);
        post({ platform::MessageKind::KeyDown, key, keyData, 0, 0 });
        post({ platform::MessageKind::KeyUp, key, keyData | (3u << 30), 0, 0 });
    }

    void addSteps() override
    {
        step("the cast macro", [this] { pressKey(0x71, 60); },
            [this] {
                if (!targetingState().targetingActive || m_log.count(0x12) != 1)
                    return false;
                say("the macro casts \"" + castText(m_log) + "\", last spell " + std::to_string(lastSpell()));
                return true;
            });
        step("the party macro", [this] { pressKey(0x72, 61); },
            [] {
                if (!currentPartyGump())
                    return false;
                say("the macro opens the party window");
                return true;
            });
        addQuitStep();
    }

    StageLog& m_log;
};

// Bytes of a packet the server got, as hex.
std::string combatHex(const test::WirePacket& packet)
{
    std::string text;
    char byte[4];
    for (uint8_t value : packet) {
        std::snprintf(byte, sizeof byte, "%s%02X", text.empty() ? "" : " ", unsigned(value));
        text += byte;
    }
    return text;
}

class CombatSession final : public StageScenario {
public:
    CombatSession(test::StageWorld& stage, StageLog& log)
        : StageScenario(stage)
        , m_log(log)
    {
    }

private:
    void addSteps() override
    {
        step("the fighting style window", nullptr, [] {
            FightingStyleGump* window = FightingStyleGump::current();
            if (!window)
                return false;
            say(std::string("the fighting style window is open, ")
                + (window->secondStyleChosen() ? "second" : "first") + " style");
            return true;
        });
        step("the second style",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(FightingStyleGump::current(), 151 + 5, 64 + 5, x, y);
                click(x, y);
            },
            [] {
                FightingStyleGump* window = FightingStyleGump::current();
                if (!window || !window->secondStyleChosen() || !window->thumbA()->isVisible())
                    return false;
                say("the second style shows its sliders");
                return true;
            });
        step("OK",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(FightingStyleGump::current(), 213 + 5, 177 + 5, x, y);
                click(x, y);
            },
            [this] {
                if (FightingStyleGump::current() || m_log.count(0x72) != 1)
                    return false;
                say("the server got " + combatHex(m_log.last(0x72)) + " and the window closed");
                return true;
            });
        step("the paperdoll",
            [this] {
                int32_t x = 0, y = 0;
                findOnScreen(fixture::kScenePlayerSerial, x, y);
                doubleClick(x, y);
            },
            [] { return player() && findPaperdoll(*player()); });
        step("the ability book",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(findPaperdoll(*player()), 156 + 5, 198 + 5, x, y);
                doubleClick(x, y);
            },
            [] {
                AbilityBookGump* book = AbilityBookGump::current();
                if (!book)
                    return false;
                say("the book opens at spread " + std::to_string(book->spread()) + ": the sword's "
                    + std::string(abilityName(currentPrimaryAbility())) + " and "
                    + std::string(abilityName(currentSecondaryAbility())));
                return true;
            });
        step("Concussion Blow switched on",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(AbilityBookGump::current(), AbilityBookGump::kIconX + 5, AbilityBookGump::kSecondaryIconY + 5,
                    x, y);
                doubleClick(x, y);
            },
            [this] {
                if (activeWeaponAbility() == 0 || m_log.count(0xD7) != 1)
                    return false;
                say("the server got " + combatHex(m_log.last(0xD7)) + ", ability " + std::to_string(activeWeaponAbility())
                    + " on");
                return true;
            });
        step("a pause", [this] { m_pauseFrom = platform::clock().tickMs(); },
            [this] { return platform::clock().tickMs() - m_pauseFrom > kPauseMs; });
        step("Armor Ignore dragged out",
            [this] {
                using platform::MessageKind;
                int32_t x = 0, y = 0;
                pointOf(AbilityBookGump::current(), AbilityBookGump::kIconX + 5, AbilityBookGump::kPrimaryIconY + 5, x, y);
                const uint32_t now = platform::clock().tickMs();
                post({ MessageKind::MouseMove, 0, 0, x, y });
                post({ MessageKind::LeftButtonDown, 1, 0, x, y });
                window().scheduleMessage(now + 100, { MessageKind::MouseMove, 1, 0, x + 10, y + 10 });
                window().scheduleMessage(now + 200, { MessageKind::MouseMove, 1, 0, kIconX, kIconY });
                window().scheduleMessage(now + 300, { MessageKind::LeftButtonUp, 0, 0, kIconX, kIconY });
                m_pauseFrom = now + 300;
            },
            [this] {
                IconGump* icon = findIconGump(GumpKind::AbilityIcon, AbilityIconGump::kPrimary);
                if (!icon || int32_t(platform::clock().tickMs() - m_pauseFrom) < int32_t(kPauseMs))
                    return false;
                say("an icon of ability " + std::to_string(static_cast<AbilityIconGump*>(icon)->ability())
                    + " stands with its centre at " + std::to_string(icon->x() + icon->width() / 2) + ","
                    + std::to_string(icon->y() + icon->height() / 2));
                return true;
            });
        step("Force of Nature's page",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(AbilityBookGump::current(), 321 + 4, 8 + 4, x, y);
                doubleClick(x, y);
            },
            [] {
                AbilityBookGump* book = AbilityBookGump::current();
                if (!book || book->spread() != 63)
                    return false;
                say("the corner jumps to spread 63, " + std::string(abilityName(book->shownAbility())));
                return true;
            });
        step("closing the book",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(AbilityBookGump::current(), 120, 60, x, y);
                rightClick(x, y);
            },
            [] { return AbilityBookGump::current() == nullptr; });
        addQuitStep();
    }

    static constexpr uint32_t kPauseMs = 1000;
    static constexpr int32_t kIconX = 560;
    static constexpr int32_t kIconY = 420;
    StageLog& m_log;
    uint32_t m_pauseFrom = 0;
};

class SpellPlay : public app_test::HeadlessClientTest {
protected:
    SpellPlay()
        : HeadlessClientTest("600000")
    {
    }

    template <typename Session>
    [[noreturn]] void play()
    {
        test::StageWorld stage;
        StageLog log;
        Session session(stage, log);
        app_test::playStageScenario(client.path(), stage, log, session);
    }
    // The stage with object property lists, which show the paperdoll's
    // ability book button.
    [[noreturn]] void playCombat()
    {
        test::StageWorld stage;
        StageLog log;
        CombatSession session(stage, log);
        test::TestShardConfig config = test::stageShardConfig();
        config.characterListFlags |= test::kStagePropertyListsFlag;
        app_test::playStageScenario(client.path(), stage, log, session, config);
    }
};

TEST_F(SpellPlay, TheFightingStyleWindowSendsItsStyleAndTheAbilityBookSwitchesTheSwordsAbilities)
{
    // A first-time layout with the fighting style window, as a shard may
    // ship one.
    DesktopEntry style;
    style.type = DesktopRecordType::kFightingStyle;
    style.x = 330;
    style.y = 200;
    const std::vector<uint8_t> layout = joinDesktopFile(fixture::kScenePlayerSerial, { encodeDesktopRecord(style) });
    client.write("desktop.nwb", std::string(layout.begin(), layout.end()));
    EXPECT_EXIT(playCombat(), ::testing::ExitedWithCode(0),
        "the fighting style window is open, first style\n"
        "the second style shows its sliders\n"
        "the server got 72 00 01 00 00 and the window closed\n"
        "the book opens at spread 1: the sword's Armor Ignore and Concussion Blow\n"
        "the server got D7 00 0F .. .. .. .. 00 19 00 00 00 00 03 0A, ability 3 on\n"
        "an icon of ability 1 stands with its centre at 560,420\n"
        "the corner jumps to spread 63, Force of Nature\n");
}

TEST_F(SpellPlay, TheSpellbookOpensCastsAndGivesAnIconTheDesktopFileKeeps)
{
    EXPECT_EXIT(play<SpellbookSession>(), ::testing::ExitedWithCode(0),
        "the book opens on spread 1 with 12 spells, 20 pages\n"
        "the name turns to spread 13, Magic Arrow on the left\n"
        "the server got the cast of \"5\" and asks for a target; the book lies down, last spell 5\n"
        "the server answers: Spell 5 strikes the ground after 1 target reply\n"
        "a double click opens it again at spread 13\n"
        "an icon of spell 5 stands with its centre at 560,420\n"
        "the icon casts spell 5\n"
        "the server answers: The spell fizzles. after 2 casts\n");
    // The settings as they were, so that the login goes as before; the
    // desktop file the first run left keeps the icon.
    client.write("vo.cfg", "MouseThread=off\n");
    EXPECT_EXIT(play<KeptIconSession>(), ::testing::ExitedWithCode(0),
        "the icon of spell 5 is back at 536,398\n"
        "it casts \"5\"\n");
}

TEST_F(SpellPlay, AMacroCastsBySpellNameAndOpensThePartyWindow)
{
    client.write("macros.txt",
        "F2 0 0 0\r\nCastSpell Magic Arrow\r\n########\r\nF3 0 0 0\r\nOpen PartyManifest\r\n########\r\n");
    EXPECT_EXIT(play<MacroCastSession>(), ::testing::ExitedWithCode(0),
        "the macro casts \"5\", last spell 5\nthe macro opens the party window\n");
}

} // namespace
