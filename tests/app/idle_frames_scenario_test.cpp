// What the running program sends to the screen when the player does
// nothing, and when only the pointer moves: the real program runs headless
// on the sample data against the test server's stage and logs into the
// world, where the menubar and the quest arrow stand. While nothing changes
// the unchanged menubar is neither composed nor sent again (the world and
// the quest arrow's flash may change meanwhile); a pointer move sends the
// pointer's old and new boxes, each once, and composes only what changed.

#include "app/scenario_runner.h"
#include "fixtures/client_directory.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "platform/headless/headless_display.h"
#include "protocol/login_state.h"
#include "world/object_manager.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"
#include "support/world_player.h"

#include "headless_client_fixture.h"
#include "stepped_scenario.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

using platform::MessageKind;

// Two points of the game area away from the menubar.
constexpr int32_t kRestX = 600;
constexpr int32_t kRestY = 440;
constexpr int32_t kMovedX = 560;
constexpr int32_t kMovedY = 410;
// Frames watched while nothing happens.
constexpr int32_t kIdleUpdates = 40;
// Larger than any cursor image of the sample set.
constexpr int32_t kMaxCursorSide = 64;

bool covers(const ScreenRect& outer, const ScreenRect& inner)
{
    return !inner.isEmpty() && inner.intersected(outer) == inner;
}

ScreenRect menubarBox()
{
    CGump* bar = test::findGump("menubar");
    return bar ? bar->composedBounds() : ScreenRect {};
}

// Whether one of the rectangles holds all of the menubar, which never
// changes here (the world beneath it changes in small pieces at most).
bool holdsMenubar(const std::vector<ScreenRect>& rects)
{
    for (const ScreenRect& rect : rects) {
        if (covers(rect, menubarBox()))
            return true;
    }
    return false;
}

class IdleFramesSession final : public app_test::SteppedScenario {
private:
    platform::HeadlessDisplay& display() { return static_cast<platform::HeadlessDisplay&>(m_session->display); }

    // A rectangle sent by the last present that holds the point and is no
    // larger than a pointer.
    int32_t pointerBoxesAt(int32_t x, int32_t y)
    {
        int32_t count = 0;
        for (const ScreenRect& rect : display().lastCopiedRects())
            count += rect.contains(x, y) && rect.width() <= kMaxCursorSide && rect.height() <= kMaxCursorSide;
        return count;
    }

    void addSteps() override
    {
        addLoginRoad();
        step("the world with the menubar, the pointer resting", nullptr, [this] {
            const bool shown = loginSession().loggedIn && player() && !menubarBox().isEmpty();
            if (shown)
                post({ MessageKind::MouseMove, 0, 0, kRestX, kRestY });
            return settled(shown);
        });
        step(
            "idle frames",
            [this] {
                m_presents = display().presentCount();
                m_updates = 0;
            },
            [this] {
                const int32_t count = display().presentCount();
                // One present at most between two updates: each one is seen.
                if (count > m_presents + 1)
                    ++m_unseen;
                else if (count == m_presents + 1
                    && (holdsMenubar(display().lastCopiedRects()) || holdsMenubar(gumpChangedScreenRects())))
                    ++m_menubarSent;
                m_presents = count;
                if (++m_updates < kIdleUpdates)
                    return false;
                std::fprintf(stderr, "idle frames: the menubar composed or sent %d times, %d presents unseen\n", m_menubarSent,
                    m_unseen);
                return true;
            });
        step(
            "a pointer move",
            [this] {
                m_presents = display().presentCount();
                post({ MessageKind::MouseMove, 0, 0, kMovedX, kMovedY });
            },
            [this] {
                if (display().presentCount() == m_presents || pointerBoxesAt(kMovedX, kMovedY) == 0) {
                    // Nothing yet, or a frame before the move was taken in.
                    m_presents = display().presentCount();
                    return false;
                }
                const bool boxes = pointerBoxesAt(kRestX, kRestY) == 1 && pointerBoxesAt(kMovedX, kMovedY) == 1;
                const bool composedMenubar = holdsMenubar(gumpChangedScreenRects());
                std::fprintf(stderr, "a pointer move sends %s, composes the menubar %s\n",
                    boxes ? "each of the pointer's boxes once" : "its boxes more or less often",
                    composedMenubar ? "again" : "not");
                end();
                return true;
            });
    }

    int32_t m_presents = 0;
    int32_t m_updates = 0;
    int32_t m_menubarSent = 0;
    int32_t m_unseen = 0;
};

[[noreturn]] void playIdleFrames(const fixture::ClientDirectory& client)
{
    IdleFramesSession session;
    app_test::playAgainstStage(client, session, false, test::stageShardConfig());
}

class HeadlessIdleFrames : public app_test::HeadlessClientTest {
protected:
    HeadlessIdleFrames()
        : HeadlessClientTest("600000")
    {
    }
};

TEST_F(HeadlessIdleFrames, AnUnchangedFrameSendsNothingAndAPointerMoveOnlyItsBoxes)
{
    EXPECT_EXIT(playIdleFrames(client), ::testing::ExitedWithCode(0),
        "idle frames: the menubar composed or sent 0 times, 0 presents unseen\n"
        "a pointer move sends each of the pointer's boxes once, composes the menubar not\n");
}

} // namespace
