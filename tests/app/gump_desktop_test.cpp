// The gump desktop in the running program, met as a player meets it: the
// real client runs headless in a child process, a gump is put on its
// desktop, and the mouse goes in through the window's message queue.
#include "app/client_entry.h"
#include "app/scenario_runner.h"
#include "app/client_scenario.h"
#include "app/frame_present.h"
#include "app/gump_desktop.h"
#include "app/main_window.h"
#include "fixtures/client_directory.h"
#include "fixtures/gump_art_writer.h"
#include "fixtures/sample_data_writer.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/html_view.h"
#include "gump/property_cache.h"
#include "gump/unicode_input_control.h"
#include "gump/waiting_gump.h"
#include "fixtures/font_writers.h"
#include "platform/virtual_keys.h"
#include "platform/headless/headless_display.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "support/png_writer.h"
#include "support/scoped_environment.h"
#include "support/shown_picture.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "startup_screens.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

constexpr uint16_t kFace = 0x03E0;

// A window that follows the pointer while the left button holds it, as the
// game's windows do.
class DraggableGump final : public CGump {
public:
    DraggableGump(int32_t x, int32_t y, int32_t width, int32_t height)
        : CGump(x, y, nullptr, 1, width, height)
    {
        page(0)->allocate(width, height);
        std::fill(page(0)->pixels.begin(), page(0)->pixels.end(), kFace);
    }
    void onLeftDown(int32_t x, int32_t y) override
    {
        bringToFront(false);
        setDragAnchor(x, y);
        dragging = true;
    }
    void onDrag(int32_t x, int32_t y) override
    {
        // No property list is asked for while the button is held.
        if (service<PropertyListWindows>().isPointerHeld())
            pointerHeldWhileDragged = true;
        if (dragging)
            moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
    }
    void onLeftUp(int32_t, int32_t) override { dragging = false; }

    bool dragging = false;
    bool pointerHeldWhileDragged = false;
};

// Puts a window at (100, 100), then drags it by its inside from (120, 110)
// to (220, 190) and lets go; reports where it ended and what was shown.
class DragScenario final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        app_test::closeStartupScreens();
        gump = new DraggableGump(100, 100, 80, 60);
        gumpLink(gump, nullptr);
        handle = GumpHandle(gump);
        auto& window = static_cast<platform::HeadlessWindow&>(session.window);
        const uint32_t now = platform::clock().tickMs();
        using platform::MessageKind;
        window.scheduleMessage(now + 300, { MessageKind::MouseMove, 0, 0, 120, 110 });
        window.scheduleMessage(now + 400, { MessageKind::LeftButtonDown, 1, 0, 120, 110 });
        window.scheduleMessage(now + 500, { MessageKind::MouseMove, 1, 0, 170, 150 });
        window.scheduleMessage(now + 600, { MessageKind::MouseMove, 1, 0, 220, 190 });
        window.scheduleMessage(now + 700, { MessageKind::LeftButtonUp, 0, 0, 220, 190 });
        window.scheduleMessage(now + 800, { MessageKind::MouseMove, 0, 0, 400, 400 });
    }

    void finished(ClientSession& session) override
    {
        CGump* moved = handle.get();
        std::fprintf(stderr, "gump at %d,%d\n", moved ? moved->x() : -1, moved ? moved->y() : -1);
        std::fprintf(stderr, "pointer held while dragged %s, after %s\n",
            moved && gump->pointerHeldWhileDragged ? "yes" : "no",
            service<PropertyListWindows>().isPointerHeld() ? "yes" : "no");
        // The strength requirement lines compare with the player's strength
        // as the last status gave it.
        if (PlayerMobile* self = player()) {
            const int32_t unknown = service<PropertyListWindows>().playerStrength();
            self->rememberedStats[0] = 45;
            std::fprintf(stderr, "strength %d, then %d\n", unknown, service<PropertyListWindows>().playerStrength());
        }
        // What the screen shows, read back from the headless display.
        const test::ShownPicture picture
            = test::shownPicture(static_cast<platform::HeadlessDisplay&>(session.display));
        std::fprintf(stderr, "shown at the new place %s\n",
            picture.at(205, 185) == kFace && picture.at(275, 235) == kFace ? "yes" : "no");
        std::fprintf(stderr, "gone from the old place %s\n", picture.at(105, 105) != kFace ? "yes" : "no");
        std::fprintf(stderr, "picture %016llx\n", (unsigned long long)test::keepPicture(picture, "desktop_drag.png"));
        std::fflush(nullptr);
    }

    DraggableGump* gump = nullptr;
    GumpHandle handle;
};

// Shows the waiting box over a window; Enter, typed into the main window,
// goes to the box (it holds the keyboard focus) and closes it.
class WaitingBoxScenario final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        app_test::closeStartupScreens();
        auto* login = new DraggableGump(0, 0, 640, 480);
        gumpLink(login, nullptr);
        loginHandle = GumpHandle(login);
        login->setVisible(false);
        box = GumpHandle(gumpShowWaiting(std::string("Connecting... "), login, false, false, false));
        auto& window = static_cast<platform::HeadlessWindow&>(session.window);
        const uint32_t now = platform::clock().tickMs();
        using platform::MessageKind;
        // A click on the login window's place reaches nothing while the box
        // is modal.
        window.scheduleMessage(now + 300, { MessageKind::LeftButtonDown, 1, 0, 5, 5 });
        window.scheduleMessage(now + 350, { MessageKind::LeftButtonUp, 0, 0, 5, 5 });
        window.scheduleMessage(now + 400, { MessageKind::Char, 13, 0, 0, 0 });
    }

    void finished(ClientSession&) override
    {
        std::fprintf(stderr, "box closed %s\n", box.get() ? "no" : "yes");
        std::fprintf(stderr, "window shown again %s\n", loginHandle.get() && loginHandle.get()->isVisible() ? "yes" : "no");
        std::fprintf(stderr, "modal %s\n", gumpModal() ? "set" : "none");
        std::fflush(nullptr);
    }

    GumpHandle box;
    GumpHandle loginHandle;
};

// A window with a Unicode text entry and an HTML view. The player clicks
// into the entry, types "Hi", then pastes a hundred characters with Ctrl+V:
// one line of an entry takes at most eighty.
class TextEntryScenario final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        app_test::closeStartupScreens();
        auto* window = new DraggableGump(100, 100, 300, 120);
        gumpLink(window, nullptr);
        auto* entry = new UnicodeInputControl(10, 10, EntrySize { 200, 20, false }, 0, 181, 1, 1, true, false);
        gumpLink(entry, window);
        entryHandle = GumpHandle(entry);
        auto* view = new HtmlView(window, 1, HtmlViewFlag::kReadOnly | HtmlViewFlag::kNoScrollBar | HtmlViewFlag::kNoFrame,
            false, true);
        view->setRect(10, 40, 250, 60);
        view->setText(u"<B>Hello</B> there, <A HREF=\"http://example.net/\">a link</A>", 0x7FFF);
        auto& headless = static_cast<platform::HeadlessWindow&>(session.window);
        std::u16string clipboard;
        while (clipboard.size() < 100)
            clipboard += u"abcdefghij";
        headless.setClipboardText(clipboard);
        headless.setKeyHeld(platform::vk::kControl, true);
        const uint32_t now = platform::clock().tickMs();
        using platform::MessageKind;
        headless.scheduleMessage(now + 300, { MessageKind::MouseMove, 0, 0, 115, 115 });
        headless.scheduleMessage(now + 350, { MessageKind::LeftButtonDown, 1, 0, 115, 115 });
        headless.scheduleMessage(now + 400, { MessageKind::LeftButtonUp, 0, 0, 115, 115 });
        headless.scheduleMessage(now + 450, { MessageKind::Char, 'H', 0, 0, 0 });
        headless.scheduleMessage(now + 500, { MessageKind::Char, 'i', 0, 0, 0 });
        headless.scheduleMessage(now + 550, { MessageKind::KeyDown, platform::vk::letter('V'), 0, 0, 0 });
        headless.scheduleMessage(now + 600, { MessageKind::MouseMove, 0, 0, 500, 400 });
    }

    void finished(ClientSession& session) override
    {
        auto* entry = static_cast<UnicodeInputControl*>(entryHandle.get());
        const std::u16string text = entry ? entry->text() : u"";
        std::fprintf(stderr, "entry holds %zu characters, starting %s\n", text.size(),
            std::string(text.begin(), text.begin() + std::min<size_t>(text.size(), 6)).c_str());
        std::fprintf(stderr, "entry has the focus %s\n", gumpFocus() == entry ? "yes" : "no");
        const test::ShownPicture picture
            = test::shownPicture(static_cast<platform::HeadlessDisplay&>(session.display));
        std::fprintf(
            stderr, "picture %016llx\n", (unsigned long long)test::keepPicture(picture, "desktop_text_entry.png"));
        std::fflush(nullptr);
    }

    GumpHandle entryHandle;
};

class HeadlessDesktop : public ::testing::Test {
protected:
    HeadlessDesktop()
        : headless("VARDUN_HEADLESS", "1")
        , closeAfter("VARDUN_HEADLESS_CLOSE_MS", "1500")
    {
        fixture::writeSampleDataSet(client.path());
        // The gump art the waiting box is made of.
        fixture::GumpArtFiles art(client, false);
        for (int32_t i = 0; i < 9; ++i)
            art.add(2600 + i, fixture::patternPicture(i == 4 ? 6 : 10, i == 4 ? 6 : 10, uint16_t(0x0400 + i * 0x111)));
        for (int32_t i = 0; i < 6; ++i)
            art.add(1150 + i, fixture::patternPicture(20, 10, uint16_t(0x1000 + i * 0x333)));
        art.write();
        // The pointer follows on the tick, not on a timer of its own.
        client.write("vo.cfg", "MouseThread=off\n");
    }

    fixture::ClientDirectory client;
    test::ScopedEnvironment headless;
    test::ScopedEnvironment closeAfter;
};

TEST_F(HeadlessDesktop, AGumpShowsAndIsDraggedByTheMouse)
{
    DragScenario scenario;
    EXPECT_EXIT(test::runScenarioAndExit(client.path(), scenario), ::testing::ExitedWithCode(0),
        "gump at 200,180\n"
        "pointer held while dragged yes, after no\n"
        "strength -1, then 45\n"
        "shown at the new place yes\n"
        "gone from the old place yes\n"
        "picture a36d4a24f11d7c3c\n");
}

TEST_F(HeadlessDesktop, TheWaitingBoxTakesTheKeysAndHoldsThePointer)
{
    WaitingBoxScenario scenario;
    EXPECT_EXIT(test::runScenarioAndExit(client.path(), scenario), ::testing::ExitedWithCode(0),
        "box closed yes\n"
        "window shown again yes\n"
        "modal none\n");
}

} // namespace

namespace {

TEST_F(HeadlessDesktop, TypedAndPastedTextReachesTheFocusedEntry)
{
    // Unicode fonts 0 and 1 with the test face.
    const std::string face = fixture::UnicodeFontWriter().addTestFace().bytes();
    client.write("unifont.mul", face);
    client.write("unifont1.mul", face);
    TextEntryScenario scenario;
    EXPECT_EXIT(test::runScenarioAndExit(client.path(), scenario), ::testing::ExitedWithCode(0),
        "entry holds 82 characters, starting Hiabcd\n"
        "entry has the focus yes\n"
        "picture 7cc0e8f01b6eece2\n");
}

} // namespace
