#pragma once
// What the gump tests share: a desktop on a 640 x 480 back buffer (or
// another size) with gump art in the data files, a fake clock and recording
// forms of the services the framework calls; and small gumps to put on it.

#include "gfx/back_buffer.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "platform/clock.h"

#include "fixtures/client_directory.h"
#include "fixtures/gump_art_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace gump_test {

// The pointer as a test sets it; capture and busy cursor recorded.
class TestPointer final : public GumpPointer {
public:
    void setPointerCapture(CGump* gump) override { capture = gump; }
    void clearPointerCaptureIf(CGump* gump) override
    {
        if (capture == gump)
            capture = nullptr;
    }
    CGump* pointerCapture() override { return capture; }
    void forgetPressedGump(CGump*) override { }
    void pointerPosition(int32_t& px, int32_t& py) override { px = x, py = y; }
    void cursorOffsets(int32_t& first, int32_t& second) override { first = cursorWidth, second = 0; }
    void setCursorKind(int32_t kind) override { cursorKind = kind; }
    void setCursorForGumpType(int32_t) override { }
    void beginBusyCursor() override { ++busy; }
    void endBusyCursor() override { --busy; }
    bool isControlHeld() override { return control; }
    bool isShiftHeld() override { return shift; }
    bool isAltHeld() override { return alt; }
    void pressPosition(int32_t& px, int32_t& py) override { px = pressX, py = pressY; }
    uint32_t pressedObjectSerial() override { return pressedSerial; }
    bool isButtonHeld() override { return held; }

    CGump* capture = nullptr;
    int32_t pressX = -1;
    int32_t pressY = -1;
    uint32_t pressedSerial = 0;
    bool held = false;
    int32_t x = -1;
    int32_t y = -1;
    int32_t cursorWidth = 0;
    int32_t cursorKind = -1;
    int32_t busy = 0;
    bool control = false;
    bool shift = false;
    bool alt = false;
};

class TestPresenter final : public GumpPresenter {
public:
    void presentBackBuffer(const ScreenRect& rect) override
    {
        presented.push_back(rect);
        if (onPresent)
            onPresent();
    }
    std::vector<ScreenRect> presented;
    std::function<void()> onPresent;
};

// World objects are plain tags here: the test says which are mobiles.
class TestWorld : public GumpWorld {
public:
    bool isValidObject(WorldObject* object) override { return object != nullptr; }
    bool isPlayer(WorldObject* object) override { return object == player; }
    bool isMobile(WorldObject* object) override { return mobiles.count(object) != 0; }
    bool isCorpse(WorldObject*) override { return false; }
    bool isContainer(WorldObject* object) override { return containers.count(object) != 0; }
    bool isLiftableItem(WorldObject*) override { return false; }
    uint32_t serialOf(WorldObject* object) override { return uint32_t(reinterpret_cast<uintptr_t>(object) & 0xFFFF); }
    WorldObject* parentObject(WorldObject*) override { return nullptr; }
    void forgetOpenGump(WorldObject*, CGump*) override { }
    std::vector<NameCandidate> nameCandidates(const ScreenRect&) override { return {}; }

    std::set<WorldObject*> mobiles;
    std::set<WorldObject*> containers;
    WorldObject* player = nullptr;
};

// A made-up world object: only its address matters.
WorldObject* fakeObject(int index);

// A gump with one page of its own pixels: every pixel `colour`, except a
// transparent (0) frame of `hole` pixels around the edge.
class PageGump : public CGump {
public:
    PageGump(int32_t x, int32_t y, int32_t width, int32_t height, uint16_t colour, int32_t hole = 0);
    bool isColourKeyed() override { return colourKeyed; }
    void tick() override
    {
        if (onTick)
            onTick(this);
    }
    void onFocusLost() override { ++focusLost; }
    bool isClosableByCloseAll() override { return closable; }
    ~PageGump() override
    {
        if (onDestroy)
            onDestroy(this);
    }

    bool colourKeyed = true;
    bool closable = true;
    int32_t focusLost = 0;
    std::function<void(PageGump*)> onTick;
    std::function<void(PageGump*)> onDestroy;

    using CGump::addKind;
    using CGump::setTypeName;
    using CGump::retire;
};

// Installs the gump art the tests draw with: frame pieces, buttons, a
// check box and a thumb (see gump_test_support.cpp for the ids).
void addStandardArt(fixture::GumpArtFiles& files);

class Desktop : public testing::Test {
protected:
    explicit Desktop(int32_t width = 640, int32_t height = 480);
    ~Desktop() override;

    // Makes the back buffer again at another size (its world pixels filled).
    void resizeScreen(int32_t width, int32_t height);
    void fillWorld();
    // The screen picture: the ring unrolled with screen (0, 0) at its start.
    uint16_t screenPixel(int32_t x, int32_t y) const;
    std::vector<uint16_t> screenPicture() const;
    // A ring laid out like the back buffer's, as the screen shows it.
    std::vector<uint16_t> unrollScreen(const uint16_t* ring) const;
    std::vector<uint16_t> worldPicture() const { return m_world; }
    // Composes the whole screen; with present the frame is shown and the
    // world put back.
    void composeAll(bool present);

    fixture::ClientDirectory client;
    fixture::GumpArtFiles art { client };
    platform::FakeClock clock { 1000 };
    platform::ScopedClock scopedClock { clock };
    TestPointer pointer;
    ScopedService<GumpPointer> scopedPointer { pointer };
    TestPresenter presenter;
    ScopedService<GumpPresenter> scopedPresenter { presenter };
    TestWorld world;
    ScopedService<GumpWorld> scopedWorld { world };
    BackBuffer buffer;
    std::vector<uint16_t> m_world;
    // The test faces as Unicode fonts 0 and 1 and ASCII fonts 0 to 3.
    std::string unicodeFace;
};

} // namespace gump_test
