// The player's own windows as a player uses them: the real program runs
// headless on the sample data against the test server's stage. In the world
// the menubar's paperdoll button opens the paperdoll; its status button
// opens the full status page, which the server fills; a click on the
// strength lock goes to the server and comes back as the lock report; a
// double-click on the paperdoll's profile scroll asks for the profile and
// the server's answer opens it; the woman dragged out of the world view
// becomes a status bar the server fills; the inventory button opens the
// backpack and a click on the shirt in it brings the equipment popup; every
// window closes on a right click and the program ends cleanly.

#include "app/client_scenario.h"
#include "app/main_window.h"
#include "app/scenario_runner.h"
#include "app/startup_cleanups.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_scene.h"
#include "frontend/character_selection.h"
#include "gump/button.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "orderly_cleanups.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "protocol/login_state.h"
#include "support/fast_clock.h"
#include "support/shown_picture.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "support/world_player.h"
#include "windows/container_gump.h"
#include "windows/menubar.h"
#include "windows/paperdoll_gump.h"
#include "windows/profile_gump.h"
#include "windows/status_gump.h"
#include "world/cell_picking.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include "headless_client_fixture.h"
#include "stepped_scenario.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using platform::MessageKind;
constexpr uint32_t kShirtSerial = 0x40000205;

class StatusWindowsSession final : public app_test::SteppedScenario {
private:
    void rightClick(int32_t x, int32_t y)
    {
        post({ MessageKind::MouseMove, 0, 0, x, y });
        post({ MessageKind::RightButtonDown, 2, 0, x, y });
        post({ MessageKind::RightButtonUp, 0, 0, x, y });
    }
    void clickGump(CGump* gump, int32_t x, int32_t y)
    {
        gump->localToScreen(x, y);
        click(x, y);
    }
    // A point of a world object's picture in the game area, or (-1, -1).
    void findOnScreen(WorldObject* wanted, int32_t& x, int32_t& y)
    {
        x = y = -1;
        for (int32_t py = 0; py < m_session->mainWindow.gameHeight(); py += 2) {
            for (int32_t px = 0; px < m_session->mainWindow.gameWidth(); px += 2) {
                if (wanted && pickWorldObjectAt(px, py) == wanted) {
                    x = px;
                    y = py;
                    return;
                }
            }
        }
    }
    static Menubar* menubar()
    {
        CGump* bar = gumpManager().menubar;
        return isValidGump(bar) ? static_cast<Menubar*>(bar) : nullptr;
    }
    static StatusGump* ownStatus() { return player() ? findStatusGumpOf(player()->serial) : nullptr; }
    void clickMenubarButton(int32_t index)
    {
        LabelButton* button = menubar()->button(index);
        clickGump(button, 10, 10);
    }

    void addSteps() override
    {
        addLoginRoad();
        step("the menubar in the world", nullptr, [this] {
            const PlayerMobile* self = player();
            if (!settled(
                    loginSession().loggedIn && self && menubar() && findObjectBySerial(fixture::kSceneWomanSerial)))
                return false;
            std::fprintf(stderr, "the menubar is up\n");
            return true;
        });
        step(
            "the paperdoll from the menubar", [this] { clickMenubarButton(1); },
            [] { return player() && findPaperdoll(*player()); });
        step(
            "the status page from the paperdoll",
            [this] {
                PaperdollGump* doll = findPaperdoll(*player());
                clickGump(doll, 185 + 10, 233 + 4);
            },
            [] {
                StatusGump* page = ownStatus();
                if (!page || page->isMinimised() || page->record().strength != 60)
                    return false;
                std::fprintf(stderr, "status page: strength %u, stamina %u/%u, gold %u\n", page->record().strength,
                    page->record().stamina, page->record().maxStamina, page->record().gold);
                return true;
            });
        step(
            "the strength lock",
            [this] {
                StatusGump* page = ownStatus();
                page->bringToFront(false);
                page->moveTo(150, 240, true, nullptr, false);
                clickGump(page, 40 + 4, 78 + 4);
            },
            [] {
                StatusGump* page = ownStatus();
                if (!page || page->statLock(0) != 1)
                    return false;
                std::fprintf(stderr, "strength lock now %d\n", page->statLock(0));
                return true;
            });
        step(
            "the profile from the paperdoll",
            [this] {
                PaperdollGump* doll = findPaperdoll(*player());
                doll->bringToFront(false);
                int32_t x = 23 + 4, y = 196 + 4;
                doll->localToScreen(x, y);
                doubleClick(x, y);
            },
            [] {
                ProfileGump* profile = findProfileGump(player()->serial);
                if (!profile)
                    return false;
                std::fprintf(stderr, "profile shown, editable: %s\n", profile->isEditable() ? "yes" : "no");
                return true;
            });
        step(
            "the profile closed",
            [this] {
                ProfileGump* profile = findProfileGump(player()->serial);
                int32_t x = 100, y = 150;
                profile->localToScreen(x, y);
                rightClick(x, y);
            },
            [] { return findProfileGump(player()->serial) == nullptr; });
        step(
            "the woman's bar dragged out of the world",
            [this] {
                closeGump(findPaperdoll(*player()));
                closeGump(ownStatus());
                int32_t x = 0, y = 0;
                findOnScreen(findObjectBySerial(fixture::kSceneWomanSerial), x, y);
                const uint32_t now = platform::clock().tickMs();
                post({ MessageKind::MouseMove, 0, 0, x, y });
                post({ MessageKind::LeftButtonDown, 1, 0, x, y });
                window().scheduleMessage(now + 100, { MessageKind::MouseMove, 1, 0, x + 10, y + 10 });
                window().scheduleMessage(now + 200, { MessageKind::MouseMove, 1, 0, 500, 400 });
                window().scheduleMessage(now + 300, { MessageKind::LeftButtonUp, 0, 0, 500, 400 });
                m_releasedAt = now + 300;
            },
            [this] {
                StatusGump* bar = findStatusGumpOf(fixture::kSceneWomanSerial);
                if (!bar || !bar->isMinimised() || bar->record().name.empty()
                    || platform::clock().tickMs() - m_releasedAt > 0x80000000u)
                    return false;
                std::fprintf(stderr, "bar of %s, hits %u/%u\n", bar->record().name.c_str(), bar->record().hits,
                    bar->record().maxHits);
                return true;
            });
        step(
            "the backpack from the menubar", [this] { clickMenubarButton(2); },
            [] {
                auto* pack = static_cast<ContainerItem*>(findItemBySerial(fixture::kSceneBackpackSerial));
                return pack && findContainerGump(*pack);
            });
        step(
            "the shirt's equipment popup",
            [this] {
                auto* pack = static_cast<ContainerItem*>(findItemBySerial(fixture::kSceneBackpackSerial));
                ContainerGump* window = findContainerGump(*pack);
                window->bringToFront(false);
                Item* shirt = findItemBySerial(kShirtSerial);
                const ScreenRect area = window->itemRect(*shirt);
                int32_t x = (area.left + area.right) / 2, y = (area.top + area.bottom) / 2;
                window->localToScreen(x, y);
                click(x, y);
            },
            [] {
                for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
                    if (gump->is(GumpKind::EquipInfo)) {
                        std::fprintf(stderr, "equipment popup shown\n");
                        return true;
                    }
                }
                return false;
            });
        step(
            "the bar closed",
            [this] {
                StatusGump* bar = findStatusGumpOf(fixture::kSceneWomanSerial);
                rightClick(bar->x() + 20, bar->y() + 10);
            },
            [this] {
                if (findStatusGumpOf(fixture::kSceneWomanSerial))
                    return false;
                const test::ShownPicture picture
                    = test::shownPicture(static_cast<platform::HeadlessDisplay&>(m_session->display));
                test::keepPicture(picture, "status_windows_session.png");
                end();
                return true;
            });
    }

    uint32_t m_releasedAt { 0 };
};

[[noreturn]] void playStatusWindows(const fixture::ClientDirectory& client)
{
    StatusWindowsSession session;
    app_test::playAgainstStage(client, session);
}

class HeadlessStatusWindows : public app_test::HeadlessClientTest {
protected:
    HeadlessStatusWindows()
        : HeadlessClientTest("600000")
    {
    }
};

TEST_F(HeadlessStatusWindows, TheMenubarPaperdollStatusProfileBarsAndEquipmentPopupWorkAgainstTheServer)
{
    EXPECT_EXIT(playStatusWindows(client), ::testing::ExitedWithCode(0),
        "the menubar is up\n"
        "status page: strength 60, stamina 60/60, gold 1234\n"
        "strength lock now 1\n"
        "profile shown, editable: yes\n"
        "bar of [^\n]*, hits 50/50\n"
        "equipment popup shown\n"
            + app_test::kOrderlyCleanups);
}

} // namespace
