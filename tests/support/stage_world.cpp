#include "support/stage_world.h"

#include "fixtures/facet_writer.h"
#include "fixtures/sample_figures.h"
#include "fixtures/sample_scene.h"
#include "fixtures/sample_trade_art.h"
#include "fixtures/sample_window_art.h"
#include "support/test_shard_server.h"

#include <cstdlib>

namespace test {

namespace {

using fixture::SceneEntryKind;

constexpr uint32_t kGround = 0xFFFFFFFF;
constexpr uint32_t kOwnPaperdollBit = 0x80000000;
constexpr uint8_t kInnocent = 1;
constexpr uint8_t kCannotLift = 0;
constexpr uint8_t kLabelSpeech = 6;
constexpr uint16_t kNameHue = 0x03B2;
constexpr uint16_t kNameFont = 3;
// How far from the player an item can be put down or picked up.
constexpr int32_t kHandReach = 2;
// Where the backpack takes what is dropped on its wearer.
constexpr int32_t kPackDropX = 100;
constexpr int32_t kPackDropY = 100;
// Serials of the stacks that stay behind when part of one is lifted.
constexpr uint32_t kFirstSplitSerial = 0x40001000;

uint16_t be16At(const WirePacket& packet, size_t at) { return uint16_t(packet[at] << 8 | packet[at + 1]); }

uint32_t be32At(const WirePacket& packet, size_t at)
{
    return uint32_t(packet[at]) << 24 | uint32_t(packet[at + 1]) << 16 | uint32_t(packet[at + 2]) << 8
        | packet[at + 3];
}

// The cell one step away in a direction (0 north, clockwise).
void stepFrom(uint8_t direction, int32_t& x, int32_t& y)
{
    static constexpr int32_t kDx[8] = { 0, 1, 1, 1, 0, -1, -1, -1 };
    static constexpr int32_t kDy[8] = { -1, -1, 0, 1, 1, 1, 0, -1 };
    x += kDx[direction & 7];
    y += kDy[direction & 7];
}

bool onStage(int32_t x, int32_t y)
{
    return std::abs(x - fixture::kSampleCentreX) <= StageWorld::kReach
        && std::abs(y - fixture::kSampleCentreY) <= StageWorld::kReach;
}

} // namespace

TestShardConfig stageShardConfig()
{
    TestShardConfig config;
    config.playerSerial = fixture::kScenePlayerSerial;
    config.playerBody = uint16_t(fixture::kSampleManBody);
    config.playerX = uint16_t(fixture::kSampleCentreX);
    config.playerY = uint16_t(fixture::kSampleCentreY);
    config.playerZ = 0;
    // Context menus are on: the vendor and the horse have theirs.
    config.characterListFlags |= 0x08;
    return config;
}

StageWorld::StageWorld()
    : StageWorld(stageParts())
{
}

StageWorld::StageWorld(std::vector<std::unique_ptr<StagePart>> parts)
    : m_parts(std::move(parts))
{
    reset();
}

void StageWorld::attachTo(TestShardServer& server)
{
    // The account is the one the login server last heard: the test server
    // plays one client at a time.
    server.setWorldEntryHook(
        [this, &server](const std::string& character) { return enter(character, server.events().account); });
    server.setGamePacketHook([this](const WirePacket& packet) { return answer(packet); });
}

void StageWorld::reset()
{
    m_figures.clear();
    m_things.clear();
    m_held = 0;
    m_nextSplit = kFirstSplitSerial;
    m_figures.push_back({ fixture::kScenePlayerSerial, uint16_t(fixture::kSampleManBody), fixture::kSampleCentreX,
        fixture::kSampleCentreY, 0, "" });
    for (const fixture::SceneEntry& entry : fixture::sampleSceneEntries()) {
        const int32_t x = fixture::kSampleCentreX + entry.x;
        const int32_t y = fixture::kSampleCentreY + entry.y;
        switch (entry.kind) {
        case SceneEntryKind::Mobile:
            m_figures.push_back({ entry.serial, entry.graphic, x, y, entry.detail,
                entry.graphic == fixture::kSampleHorseBody ? "a horse" : "Mirela" });
            break;
        case SceneEntryKind::Worn:
            m_things.push_back({ entry.serial, entry.graphic, entry.amount, Place::Worn, entry.holder, 0, 0, 0,
                entry.detail });
            break;
        case SceneEntryKind::Contained:
            m_things.push_back({ entry.serial, entry.graphic, entry.amount, Place::Contained, entry.holder, entry.x,
                entry.y, 0, 0 });
            break;
        case SceneEntryKind::Ground:
            m_things.push_back({ entry.serial, entry.graphic, entry.amount, Place::Ground, kGround, x, y, 0, 0 });
            break;
        }
    }
    for (const std::unique_ptr<StagePart>& part : m_parts)
        part->populate(*this);
}

std::vector<WirePacket> StageWorld::enter(const std::string& character, const std::string& account)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_account = account;
    reset();
    m_figures.front().name = character;
    std::vector<WirePacket> out;
    for (const Figure& one : m_figures)
        out.push_back(figurePacket(one));
    for (const Thing& thing : m_things) {
        if (thing.place == Place::Ground)
            out.push_back(thingPacket(thing));
    }
    const Figure& self = m_figures.front();
    out.push_back(overallLightPacket(0));
    out.push_back(gameTimePacket(12, 0, 0));
    out.push_back(musicPacket(kMusic));
    out.push_back(soundPacket(1, kSound, uint16_t(self.x), uint16_t(self.y), 0));
    for (const std::unique_ptr<StagePart>& part : m_parts)
        part->enter(*this, out);
    return out;
}

std::vector<WirePacket> StageWorld::answer(const WirePacket& packet)
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<WirePacket> out;
    if (packet.empty())
        return out;
    for (const std::unique_ptr<StagePart>& part : m_parts) {
        if (part->answer(*this, packet, out))
            return out;
    }
    const Figure& self = m_figures.front();
    switch (packet[0]) {
    case 0x02:
        if (packet.size() >= 7)
            walk(packet, out);
        break;
    case 0x03:
    case 0xAD: {
        const std::u16string text = spokenText(packet);
        if (text.empty() || packet.size() < 8)
            break;
        // Said back as heard, in the speaker's own type, hue and font.
        out.push_back(unicodeSpeechPacket(self.serial, self.body, uint8_t(packet[3] & 0x0F), be16At(packet, 4),
            be16At(packet, 6), self.name, text));
        ++m_counts.linesHeard;
        break;
    }
    case 0x06:
        if (packet.size() >= 5)
            use(be32At(packet, 1), out);
        break;
    case 0x07:
        if (packet.size() >= 7)
            lift(be32At(packet, 1), be16At(packet, 5), out);
        break;
    case 0x08:
        if (packet.size() >= 14)
            drop(be32At(packet, 1), be16At(packet, 5), be16At(packet, 7), int8_t(packet[9]), be32At(packet, 10), out);
        break;
    case 0x13:
        if (packet.size() >= 10)
            wear(be32At(packet, 1), packet[5], be32At(packet, 6), out);
        break;
    case 0x09:
        if (packet.size() >= 5) {
            if (const Figure* one = figure(be32At(packet, 1)))
                out.push_back(asciiSpeechPacket(one->serial, one->body, kLabelSpeech, kNameHue, kNameFont, one->name,
                    one->name));
        }
        break;
    case 0x34:
        if (packet.size() >= 10 && packet[5] == kStatusBarRequest) {
            if (const Figure* one = figure(be32At(packet, 6)))
                out.push_back(statusPacket(one->serial, one->name, 50, 50, 60));
        }
        break;
    case 0x72:
        // War mode goes back as asked.
        if (packet.size() == 5)
            out.push_back(packet);
        break;
    case 0x98:
        if (packet.size() >= 7) {
            if (const Figure* one = figure(be32At(packet, 3)))
                out.push_back(mobileNamePacket(one->serial, one->name));
        }
        break;
    default:
        break;
    }
    return out;
}

void StageWorld::walk(const WirePacket& packet, std::vector<WirePacket>& out)
{
    Figure& self = m_figures.front();
    const uint8_t direction = packet[1] & 7;
    const uint8_t sequence = packet[2];
    if (direction != self.direction) {
        // A request in a new direction turns the player where he stands.
        self.direction = direction;
        ++m_counts.turns;
        out.push_back(walkAcceptedPacket(sequence, kInnocent));
        return;
    }
    int32_t x = self.x;
    int32_t y = self.y;
    stepFrom(direction, x, y);
    if (!onStage(x, y)) {
        ++m_counts.stepsRefused;
        out.push_back(walkRefusedPacket(sequence, uint16_t(self.x), uint16_t(self.y), self.direction, 0));
        return;
    }
    self.x = x;
    self.y = y;
    ++m_counts.stepsTaken;
    out.push_back(walkAcceptedPacket(sequence, kInnocent));
}

void StageWorld::use(uint32_t serial, std::vector<WirePacket>& out)
{
    const Figure& self = m_figures.front();
    if (const Figure* one = figure(serial & ~kOwnPaperdollBit)) {
        if (one->body == fixture::kSampleHorseBody)
            return;
        const bool own = one == &self;
        out.push_back(openPaperdollPacket(one->serial, own ? one->name + ", the Wanderer" : one->name, own ? 0x02 : 0));
        ++m_counts.paperdollsOpened;
        return;
    }
    Thing* thing = find(serial);
    if (!thing || !isContainer(*thing))
        return;
    out.push_back(openContainerPacket(thing->serial, fixture::kSceneContainerGump));
    std::vector<ContentEntry> contents;
    for (const Thing& inside : m_things) {
        if (inside.place == Place::Contained && inside.holder == thing->serial)
            contents.push_back({ inside.serial, inside.graphic, inside.amount, uint16_t(inside.x), uint16_t(inside.y) });
    }
    if (!contents.empty())
        out.push_back(containerContentsPacket(thing->serial, contents));
    ++m_counts.containersOpened;
}

void StageWorld::lift(uint32_t serial, uint16_t amount, std::vector<WirePacket>& out)
{
    Thing* thing = find(serial);
    const Figure& self = m_figures.front();
    bool liftable = thing && m_held == 0 && thing->place != Place::Held;
    if (liftable && thing->place == Place::Worn)
        liftable = thing->holder == self.serial && !isContainer(*thing);
    if (liftable && thing->place == Place::Ground)
        liftable = std::abs(thing->x - self.x) <= kHandReach && std::abs(thing->y - self.y) <= kHandReach;
    if (!liftable) {
        ++m_counts.liftsRefused;
        out.push_back(pickUpRejectPacket(kCannotLift));
        return;
    }
    if (amount > 0 && amount < thing->amount) {
        // Part of a stack: the rest stays where it was under a serial of its own.
        Thing rest = *thing;
        rest.serial = m_nextSplit++;
        rest.amount = uint16_t(thing->amount - amount);
        thing->amount = amount;
        out.push_back(thingPacket(rest));
        m_things.push_back(rest);
        thing = find(serial);
    }
    m_liftedFrom = *thing;
    thing->place = Place::Held;
    m_held = serial;
    ++m_counts.itemsLifted;
}

void StageWorld::drop(uint32_t serial, int32_t x, int32_t y, int8_t z, uint32_t container, std::vector<WirePacket>& out)
{
    Thing* thing = takeHeld(serial, out);
    if (!thing)
        return;
    const Figure& self = m_figures.front();
    if (container == kGround) {
        if (std::abs(x - self.x) > kHandReach || std::abs(y - self.y) > kHandReach) {
            putBack(*thing, out);
            return;
        }
        thing->place = Place::Ground;
        thing->holder = kGround;
        thing->x = x;
        thing->y = y;
        thing->z = z;
        out.push_back(thingPacket(*thing));
        out.push_back(soundPacket(1, kSound, uint16_t(x), uint16_t(y), z));
    } else if (Thing* target = find(container); target && isContainer(*target) && target->serial != serial) {
        placeInContainer(*thing, target->serial, x, y, out);
    } else if (target && target->place == Place::Contained) {
        // Onto an item in a container: beside it in the same container.
        placeInContainer(*thing, target->holder, target->x, target->y, out);
    } else if (container == self.serial) {
        Thing* pack = find(fixture::kSceneBackpackSerial);
        if (!pack || pack->place != Place::Worn) {
            putBack(*thing, out);
            return;
        }
        placeInContainer(*thing, pack->serial, kPackDropX, kPackDropY, out);
    } else {
        putBack(*thing, out);
        return;
    }
    out.push_back(dropAcceptedPacket());
    ++m_counts.itemsDropped;
}

void StageWorld::wear(uint32_t serial, uint8_t layer, uint32_t wearer, std::vector<WirePacket>& out)
{
    Thing* thing = takeHeld(serial, out);
    if (!thing)
        return;
    const Figure& self = m_figures.front();
    bool taken = false;
    for (const Thing& worn : m_things)
        taken = taken || (worn.place == Place::Worn && worn.holder == wearer && worn.layer == layer);
    if (wearer != self.serial || taken) {
        putBack(*thing, out);
        return;
    }
    thing->place = Place::Worn;
    thing->holder = wearer;
    thing->layer = layer;
    out.push_back(thingPacket(*thing));
    out.push_back(dropAcceptedPacket());
    ++m_counts.itemsDropped;
}

StageWorld::Thing* StageWorld::takeHeld(uint32_t serial, std::vector<WirePacket>& out)
{
    Thing* thing = find(serial);
    if (!thing || m_held != serial) {
        out.push_back(dropRejectClearPacket());
        return nullptr;
    }
    m_held = 0;
    return thing;
}

void StageWorld::putBack(Thing& thing, std::vector<WirePacket>& out)
{
    thing = m_liftedFrom;
    out.push_back(thingPacket(thing));
    out.push_back(dropRejectClearPacket());
}

void StageWorld::placeInContainer(Thing& thing, uint32_t container, int32_t x, int32_t y, std::vector<WirePacket>& out)
{
    thing.place = Place::Contained;
    thing.holder = container;
    thing.x = x;
    thing.y = y;
    thing.z = 0;
    out.push_back(thingPacket(thing));
}

WirePacket StageWorld::thingPacket(const Thing& thing) const
{
    switch (thing.place) {
    case Place::Ground:
        return worldItemPacket(thing.serial, thing.graphic, thing.amount, uint16_t(thing.x), uint16_t(thing.y),
            thing.z, 0, fixture::kSceneMovableFlag);
    case Place::Contained:
        return containerItemPacket(
            thing.holder, { thing.serial, thing.graphic, thing.amount, uint16_t(thing.x), uint16_t(thing.y) }, 0);
    case Place::Worn:
        return wornItemPacket(thing.serial, thing.graphic, thing.layer, thing.holder, 0);
    case Place::Held:
        break;
    }
    return deleteObjectPacket(thing.serial);
}

WirePacket StageWorld::figurePacket(const Figure& one) const
{
    std::vector<WornEntry> worn;
    for (const Thing& thing : m_things) {
        if (thing.place == Place::Worn && thing.holder == one.serial)
            worn.push_back({ thing.serial, thing.graphic, thing.layer, 0 });
    }
    return mobileIncomingPacket(one.serial, one.body, uint16_t(one.x), uint16_t(one.y), 0, one.direction, kInnocent,
        worn);
}

StageWorld::Thing* StageWorld::find(uint32_t serial)
{
    for (Thing& thing : m_things) {
        if (thing.serial == serial)
            return &thing;
    }
    return nullptr;
}

const StageWorld::Figure* StageWorld::figure(uint32_t serial) const
{
    for (const Figure& one : m_figures) {
        if (one.serial == serial)
            return &one;
    }
    return nullptr;
}

bool StageWorld::isContainer(const Thing& thing) const
{
    return thing.graphic == fixture::kSampleBackpackGraphic || thing.graphic == fixture::kSamplePouchGraphic
        || thing.graphic == fixture::kSampleTradeBoxGraphic;
}

void StageWorld::moveContents(uint32_t from, uint32_t to, std::vector<WirePacket>& out)
{
    for (Thing& thing : m_things) {
        if (thing.place != Place::Contained || thing.holder != from)
            continue;
        if (to != 0)
            placeInContainer(thing, to, thing.x, thing.y, out);
        else
            out.push_back(deleteObjectPacket(thing.serial));
    }
    if (to == 0)
        std::erase_if(m_things, [from](const Thing& thing) { return thing.place == Place::Contained && thing.holder == from; });
}

void StageWorld::removeThing(uint32_t serial)
{
    std::erase_if(m_things, [serial](const Thing& thing) { return thing.serial == serial; });
}

StageCounts StageWorld::counts() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_counts;
}

StagePosition StageWorld::playerPosition() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    const Figure& self = m_figures.front();
    return { self.x, self.y, self.direction };
}

uint32_t StageWorld::playerSerial() const { return m_figures.front().serial; }

void StageWorld::placePlayer(int32_t x, int32_t y, std::vector<WirePacket>& out)
{
    Figure& self = m_figures.front();
    self.x = x;
    self.y = y;
    out.push_back(playerUpdatePacket(self.serial, self.body, 0, 0, uint16_t(x), uint16_t(y), self.direction, 0));
}

const std::string& StageWorld::playerName() const { return m_figures.front().name; }

void StageWorld::addFigure(
    uint32_t serial, uint16_t body, int32_t dx, int32_t dy, uint8_t direction, const std::string& name)
{
    m_figures.push_back(
        { serial, body, fixture::kSampleCentreX + dx, fixture::kSampleCentreY + dy, direction, name });
}

void StageWorld::addGroundThing(uint32_t serial, uint16_t graphic, uint16_t amount, int32_t dx, int32_t dy)
{
    m_things.push_back({ serial, graphic, amount, Place::Ground, kGround, fixture::kSampleCentreX + dx,
        fixture::kSampleCentreY + dy, 0, 0 });
}

void StageWorld::addContainedThing(
    uint32_t serial, uint16_t graphic, uint16_t amount, uint32_t container, int32_t x, int32_t y)
{
    m_things.push_back({ serial, graphic, amount, Place::Contained, container, x, y, 0, 0 });
}

void StageWorld::addWornThing(uint32_t serial, uint16_t graphic, uint8_t layer, uint32_t wearer)
{
    m_things.push_back({ serial, graphic, 1, Place::Worn, wearer, 0, 0, 0, layer });
}

bool StageWorld::cellOf(uint32_t serial, int32_t& x, int32_t& y) const
{
    if (const Figure* one = figure(serial)) {
        x = one->x;
        y = one->y;
        return true;
    }
    return thingOnGround(serial, x, y);
}

bool StageWorld::groundCell(uint32_t serial, int32_t& x, int32_t& y) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return thingOnGround(serial, x, y);
}

bool StageWorld::thingOnGround(uint32_t serial, int32_t& x, int32_t& y) const
{
    for (const Thing& thing : m_things) {
        if (thing.serial == serial && thing.place == Place::Ground) {
            x = thing.x;
            y = thing.y;
            return true;
        }
    }
    return false;
}

} // namespace test
