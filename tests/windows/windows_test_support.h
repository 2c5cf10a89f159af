#pragma once
// What the game windows' tests share: the sample world (its data files with
// the windows' pictures, the player at the sample facet's centre) under a
// gump desktop on a 640 x 480 back buffer whose world pixels are a fixed
// pattern, the game windows' services, a fake clock, the gump tests' pointer
// and presenter, and recorders of the packets sent and the sounds played.

#include "gfx/back_buffer.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "platform/clock.h"
#include "windows/game_window_services.h"
#include "world/tile_data.h"
#include "world/world_services.h"

#include "fixtures/sample_world.h"
#include "gump/gump_test_support.h"
#include "world/world_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

class ContainerItem;
class Item;
class Mobile;

namespace windows_test {

using Bytes = std::vector<uint8_t>;

class RecordingSounds final : public WorldSounds {
public:
    void playSound(int32_t id, int32_t, int32_t, bool, int32_t, bool) override { played.push_back(id); }
    void playSoundAt(int32_t id, int32_t, int32_t, int32_t, float, bool, int32_t, bool) override
    {
        played.push_back(id);
    }
    std::vector<int32_t> played;
};

// Hex bytes, "01 02 ...", for golden packets.
std::string hexOf(const Bytes& bytes);

// Writes item tile record `graphic` into the process's tile data (the
// sample world puts the whole table back when it ends).
void setTileRecord(uint16_t graphic, const TileDataItem& record);
// A record of the given flags, layer, animation and height.
TileDataItem tileRecord(uint32_t flags, int32_t layer, int32_t animation, uint8_t height = 0);

class WindowDesktop : public testing::Test {
protected:
    WindowDesktop();
    ~WindowDesktop() override;

    // The world pixels again (the fixed pattern).
    void fillWorld();
    void composeAll() { gumpRedrawRect({ 0, 0, buffer.width(), buffer.height() }, false); }
    uint16_t screenPixel(int32_t x, int32_t y) const;
    std::vector<uint16_t> screenPicture() const;
    uint16_t worldPixel(int32_t x, int32_t y) const;

    // Objects made as the server's packets make them.
    Mobile* addMobile(uint32_t serial, int32_t x, int32_t y, uint16_t body = 400);
    Item* addItem(uint32_t serial, uint16_t graphic, int32_t x, int32_t y, uint16_t amount = 1, uint16_t hue = 0);
    Item* addToContainer(
        uint32_t serial, uint16_t graphic, int32_t x, int32_t y, uint32_t container, uint16_t amount = 1, uint16_t hue = 0);
    Item* equip(uint32_t mobile, uint32_t serial, uint16_t graphic, int32_t layer, uint16_t hue = 0);
    // The player's backpack (serial 0x40000100) in layer 21.
    ContainerItem* playerBackpack();

    // The pointer at a client point, then one pointer update of the gumps
    // under it and holding it, as the mouse-button code runs them.
    void pointAt(int32_t x, int32_t y);
    void pressLeft(int32_t x, int32_t y);
    void releaseLeft(int32_t x, int32_t y);
    void pressRight(int32_t x, int32_t y);
    void releaseRight(int32_t x, int32_t y);
    void advance(uint32_t milliseconds);
    // The packets queued on the game connection since the last call (every
    // request the windows and the framework send goes there).
    std::vector<Bytes> takePackets();

    fixture::SampleWorld world;
    platform::FakeClock clock { 100000 };
    platform::ScopedClock scopedClock { clock };
    gump_test::TestPointer pointer;
    ScopedService<GumpPointer> scopedPointer { pointer };
    gump_test::TestPresenter presenter;
    ScopedService<GumpPresenter> scopedPresenter { presenter };
    RecordingSounds sounds;
    ScopedWorldService<WorldSounds> scopedSounds { sounds };
    BackBuffer buffer;
    std::string unicodeFace;
    GameWindowServices services;
    CGump* capture() const { return pointer.capture; }

private:
    // A button event for the gump holding the pointer (a press takes the
    // gump under the point first), in its own coordinates.
    void button(int32_t x, int32_t y, bool press, void (CGump::*handler)(int32_t, int32_t));

    CGump* m_hovered = nullptr;
    uint32_t m_packetsTaken = 0;
};

} // namespace windows_test
