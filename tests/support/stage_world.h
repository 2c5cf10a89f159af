#pragma once
// The small world the test game server keeps for ./run.sh and the end-to-end
// test: the sample scene (the player dressed, with a backpack of coins, a
// pouch and a shirt; a woman and a horse; coins and boards on the ground)
// sent as packets when a character enters, with daylight, noon, a piece of
// music and a sound; then the answers a game server gives to what the player
// does there. Steps are taken or turned while they stay on the stage (a
// square round the scene's centre) and refused off it; speech is said back
// by the player; a double-click opens a paperdoll or a container; items are
// lifted, dropped on the ground or into a container, and worn; a click names
// a mobile; a status request gets the status. It keeps where every thing is,
// so that a container opened again shows what was moved.
//
// The server's thread calls enter() and answer(); the accessors may be read
// from any thread.

#include "support/stage_part.h"
#include "support/world_packets.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace test {

class TestShardServer;
struct TestShardConfig;

// A server configuration whose player is the scene's, at its centre.
TestShardConfig stageShardConfig();

struct StageCounts {
    uint32_t stepsTaken { 0 };
    uint32_t turns { 0 };
    uint32_t stepsRefused { 0 };
    uint32_t linesHeard { 0 };
    uint32_t paperdollsOpened { 0 };
    uint32_t containersOpened { 0 };
    uint32_t itemsLifted { 0 };
    uint32_t itemsDropped { 0 };
    uint32_t liftsRefused { 0 };
};

struct StagePosition {
    int32_t x;
    int32_t y;
    uint8_t direction;
};

class StageWorld {
public:
    // How far from the centre, in cells along either axis, the stage reaches.
    static constexpr int32_t kReach = 5;
    // The kind of status request (0x34) that asks for a status bar's values.
    static constexpr uint8_t kStatusBarRequest = 4;
    // The sound played on entering and on every drop, and the music.
    static constexpr uint16_t kSound = 0;
    static constexpr uint16_t kMusic = 34;

    // The sample scene with every part of the stage (stage_parts.cpp), or
    // with the parts given (none: the sample scene alone).
    StageWorld();
    explicit StageWorld(std::vector<std::unique_ptr<StagePart>> parts);

    // Whether a character entering is greeted with a tip of the day, as
    // ./run.sh's server does; the headless sessions go without it, as a
    // server that sends none, so that it does not lie over what they click.
    void setGreetingTip(bool greets) { m_greetingTip = greets; }
    bool greetsWithTip() const { return m_greetingTip; }

    // Installs the stage as the server's world entry and answers. The
    // server's configuration must be made by stageShardConfig().
    void attachTo(TestShardServer& server);

    // A fresh stage for a character of an account entering the world: the
    // packets that show it.
    std::vector<WirePacket> enter(const std::string& character, const std::string& account = {});
    // The stage's answer to a packet of the client in the world.
    std::vector<WirePacket> answer(const WirePacket& packet);

    StageCounts counts() const;
    StagePosition playerPosition() const;
    // Where the stage has an item: on the ground (true, with its cell), or
    // not (false: held, worn, contained or unknown).
    bool groundCell(uint32_t serial, int32_t& x, int32_t& y) const;

    // For the stage's parts (called with the stage's lock held): the player's
    // serial and name, and figures and things added to a fresh stage. Offsets
    // are from the scene's centre; a contained thing's x and y are its place
    // in the container.
    uint32_t playerSerial() const;
    const std::string& playerName() const;
    // The account the player logged in with (empty when not known).
    const std::string& accountName() const { return m_account; }
    void addFigure(uint32_t serial, uint16_t body, int32_t dx, int32_t dy, uint8_t direction, const std::string& name);
    void addGroundThing(uint32_t serial, uint16_t graphic, uint16_t amount, int32_t dx, int32_t dy);
    void addContainedThing(uint32_t serial, uint16_t graphic, uint16_t amount, uint32_t container, int32_t x, int32_t y);
    void addWornThing(uint32_t serial, uint16_t graphic, uint8_t layer, uint32_t wearer);
    // Puts the player on the cell (a server's teleport), with the packet that
    // tells the client.
    void placePlayer(int32_t x, int32_t y, std::vector<WirePacket>& out);
    // A figure's or a thing's cell, false when there is none on the ground.
    bool cellOf(uint32_t serial, int32_t& x, int32_t& y) const;
    // Everything in the container `from` goes into `to` (the packets that
    // show it), or leaves the stage when `to` is 0 (their deletions).
    void moveContents(uint32_t from, uint32_t to, std::vector<WirePacket>& out);
    // The thing leaves the stage (the client has let it go already).
    void removeThing(uint32_t serial);

private:
    bool m_greetingTip = false;
    std::string m_account;
    enum class Place : uint8_t { Ground, Contained, Worn, Held };
    struct Thing {
        uint32_t serial;
        uint16_t graphic;
        uint16_t amount;
        Place place;
        uint32_t holder; // the container or the wearer
        int32_t x; // the cell on the ground, or the place in the container
        int32_t y;
        int8_t z;
        uint8_t layer;
    };
    struct Figure {
        uint32_t serial;
        uint16_t body;
        int32_t x;
        int32_t y;
        uint8_t direction;
        std::string name;
    };

    void reset();
    Thing* find(uint32_t serial);
    bool thingOnGround(uint32_t serial, int32_t& x, int32_t& y) const;
    const Figure* figure(uint32_t serial) const;
    bool isContainer(const Thing& thing) const;
    WirePacket figurePacket(const Figure& figure) const;
    // The packet that shows a thing where it is now.
    WirePacket thingPacket(const Thing& thing) const;
    void walk(const WirePacket& packet, std::vector<WirePacket>& out);
    void use(uint32_t serial, std::vector<WirePacket>& out);
    void lift(uint32_t serial, uint16_t amount, std::vector<WirePacket>& out);
    void drop(uint32_t serial, int32_t x, int32_t y, int8_t z, uint32_t container, std::vector<WirePacket>& out);
    void wear(uint32_t serial, uint8_t layer, uint32_t wearer, std::vector<WirePacket>& out);
    // The held item a drop or a wear names, let go; null (and refused) when
    // it is not the one held.
    Thing* takeHeld(uint32_t serial, std::vector<WirePacket>& out);
    void putBack(Thing& thing, std::vector<WirePacket>& out);
    void placeInContainer(Thing& thing, uint32_t container, int32_t x, int32_t y, std::vector<WirePacket>& out);

    mutable std::mutex m_lock;
    std::vector<std::unique_ptr<StagePart>> m_parts;
    std::vector<Figure> m_figures; // the player first
    std::vector<Thing> m_things;
    // Where the held item was lifted from, for putting it back.
    Thing m_liftedFrom {};
    uint32_t m_held { 0 };
    uint32_t m_nextSplit { 0 };
    StageCounts m_counts;
};

} // namespace test
