// Thousands of random sequences of server orders, drawn from a small set of
// serials so that they collide all the time: objects are created, moved,
// put into each other, equipped, killed, deleted and dropped in any order,
// with serials reused across classes and the player named where it must not
// be. After every order the whole model is checked: no cycle, every object in
// at most one parent, the registry equal to the reachable set, the grid well
// formed. Under AddressSanitizer a stale pointer anywhere fails the run.

#include "world_fixture.h"

#include "world/dying_links.h"

#include <random>
#include <sstream>
#include <string>

namespace test {
namespace {

constexpr int32_t kSequences = 2000;
constexpr int32_t kOrdersPerSequence = 60;

class HostileOrders {
public:
    explicit HostileOrders(uint32_t seed)
        : m_random(seed)
    {
    }

    // Runs one random order and returns what it was.
    std::string runOne()
    {
        switch (pick(20)) {
        case 0:
        case 1:
        case 2:
        case 3: {
            uint32_t serial = anySerial();
            uint16_t graphic = anyGraphic(serial);
            int32_t x = near(kCentreX);
            int32_t y = near(kCentreY);
            bool applied = onObjectPacket(serial, graphic, int8_t(pick(3) - 1), uint16_t(pick(600)), x, y,
                int8_t(pick(40) - 20), uint8_t(pick(256)), anyHue(), uint8_t(pick(256)));
            return describe("object", serial, graphic, applied);
        }
        case 4:
        case 5:
        case 6:
        case 7: {
            uint32_t serial = anySerial();
            uint32_t container = anySerial();
            bool applied = addItemToContainer(serial, anyGraphic(serial), 0, uint16_t(pick(100)), pick(200),
                pick(200), container, anyHue());
            return describe("into container", serial, container, applied);
        }
        case 8:
        case 9: {
            uint32_t mobile = anySerial();
            uint32_t item = anySerial();
            int32_t layer = pick(45) - 5;
            bool applied = equipItemOnMobile(mobile, item, anyGraphic(0x40000000), layer, anyHue());
            return describe("equip", item, mobile, applied) + " layer " + std::to_string(layer);
        }
        case 10: {
            uint32_t serial = anySerial();
            return describe("delete", serial, 0, deleteObjectBySerial(serial));
        }
        case 11:
            clockAdvance();
            updateWorldObjects();
            return "frame";
        case 12: {
            int32_t range = pick(25);
            setUpdateRange(range, pick(2) == 0);
            return "range " + std::to_string(range);
        }
        case 13: {
            Item* found = findItemBySerial(anySerial());
            if (!found || !found->isMobile())
                return "die: no mobile";
            uint32_t corpse = pick(3) == 0 ? 0 : anySerial();
            bool applied = static_cast<Mobile*>(found)->die(corpse, pick(2) == 0);
            return describe("die", found->serial, corpse, applied);
        }
        case 14: {
            uint32_t corpse = anySerial();
            uint32_t mobile = anySerial() | kDyingSerialBit;
            removeDyingLinks(corpse, mobile, pick(2) == 0);
            return describe("death ends", mobile, corpse, true);
        }
        case 15: {
            Item* found = findItemBySerial(anySerial());
            if (found && found->isContainer() && pick(2) == 0) {
                emptyContainer(*static_cast<ContainerItem*>(found));
                return "empty container";
            }
            if (found && found->isCorpse())
                static_cast<Corpse*>(found)->setLayerSerial(pick(60) - 10, anySerial());
            if (found && found->isMap())
                static_cast<MapItem*>(found)->editPlotPoint(uint8_t(pick(8)), uint8_t(pick(256)), 1, 2);
            return "corpse or map data";
        }
        case 16: {
            Item* found = findItemBySerial(anySerial());
            if (!found || found->isPlayer())
                return "pick up: nothing";
            setShiftKeyHeld(pick(2) == 0);
            pickUpItem(*found, uint16_t(pick(3)));
            if (pick(2) == 0)
                restoreDraggedItem();
            return "pick up";
        }
        case 17: {
            mapView().centreX = near(kCentreX);
            mapView().centreY = near(kCentreY);
            player()->moveTo(mapView().centreX, mapView().centreY, 0);
            dropOutOfRangeObjects();
            return "view moves";
        }
        case 18: {
            Item* found = findItemBySerial(anySerial());
            if (found && found->isMobile()) {
                auto* mobile = static_cast<Mobile*>(found);
                if (pick(2) == 0)
                    mobile->playAnimation(pick(30), pick(10), 0, 1, pick(2) == 0, false);
                else
                    mobile->stopAnimation();
            }
            return "animation";
        }
        default:
            if (pick(10) == 0) {
                clearWorld();
                return "clear world";
            }
            setPlayerSerial(pick(3) == 0 ? anySerial() : kPlayerSerial);
            refreshPlayerObjectSerial();
            return "player serial";
        }
    }

private:
    int32_t pick(int32_t count) { return int32_t(m_random() % uint32_t(count)); }

    // Items, mobiles, the player, 0, and now and then a dying one.
    uint32_t anySerial()
    {
        switch (pick(10)) {
        case 0:
            return kPlayerSerial;
        case 1:
            return pick(4) == 0 ? 0 : kDyingSerialBit | uint32_t(1 + pick(8));
        case 2:
        case 3:
        case 4:
            return uint32_t(1 + pick(8));
        default:
            return 0x40000000u | uint32_t(1 + pick(16));
        }
    }

    uint16_t anyGraphic(uint32_t serial)
    {
        if (!(serial & kItemSerialBit) && pick(2) == 0)
            return pick(2) == 0 ? kHumanBody : kAnimalBody;
        static constexpr uint16_t kGraphics[] = { kPlainGraphic, kBackpackGraphic, kPouchGraphic, kMapGraphic, 3834,
            0x2006, kCoinGraphic, kLampGraphic, kTreeGraphic, 0x4001, 0xFFFF };
        return kGraphics[pick(int32_t(std::size(kGraphics)))];
    }

    uint16_t anyHue() { return pick(4) == 0 ? uint16_t(m_random()) : uint16_t(pick(3)); }

    int32_t near(int32_t centre) { return centre + pick(45) - 22; }

    void clockAdvance();

    static std::string describe(const char* what, uint32_t first, uint32_t second, bool applied)
    {
        std::ostringstream text;
        text << what << " " << std::hex << first << " " << second << (applied ? " applied" : " refused");
        return text.str();
    }

    std::mt19937 m_random;

public:
    platform::FakeClock* clock = nullptr;
};

void HostileOrders::clockAdvance()
{
    if (clock)
        clock->advance(uint32_t(pick(3000)));
}

using HostileOrderTest = WorldTest;

TEST_F(HostileOrderTest, EveryOrderLeavesTheModelConsistent)
{
    for (int32_t sequence = 0; sequence < kSequences; ++sequence) {
        HostileOrders orders(uint32_t(sequence) * 2654435761u + 1);
        orders.clock = &clock;
        std::vector<std::string> log;
        for (int32_t order = 0; order < kOrdersPerSequence; ++order) {
            log.push_back(orders.runOne());
            std::string fault = checkWorldInvariants();
            if (!fault.empty()) {
                std::ostringstream history;
                for (const std::string& line : log)
                    history << "  " << line << "\n";
                FAIL() << "sequence " << sequence << ", order " << order << ": " << fault << "\n" << history.str();
            }
        }
        // The next sequence starts from an empty world with the player.
        clearWorld();
        player()->serial = kPlayerSerial;
        setPlayerSerial(kPlayerSerial);
        mapView().centreX = kCentreX;
        mapView().centreY = kCentreY;
        player()->moveTo(kCentreX, kCentreY, 0);
        player()->setUpdateRangeByte(PlayerMobile::kDefaultUpdateRange);
        ASSERT_EQ(checkWorldInvariants(), "");
    }
}

} // namespace
} // namespace test
