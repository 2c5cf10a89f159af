#include "support/hostile_traffic.h"

#include "fixtures/server_packet.h"
#include "support/reading_window_packets.h"
#include "fixtures/zlib_payload.h"
#include "net/dispatcher_tables.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"

#include <algorithm>
#include <iterator>

namespace test {

namespace {

using fixture::ServerPacket;

constexpr uint16_t kHumanBody = 400;
constexpr uint16_t kShirt = 0x1517;
constexpr uint16_t kBackpack = 0x0E75;
constexpr uint8_t kBackpackLayer = 21;
// Serials of objects the hostile packets keep naming, so that they meet
// objects earlier packets made.
constexpr uint32_t kFirstHostileItem = 0x40001000;
constexpr uint32_t kFirstHostileMobile = 0x00001000;
constexpr uint32_t kHostileSerialPool = 24;
// One packet in this many breaks the framing; the client drops the
// connection and logs in again.
constexpr uint32_t kBrokenFramingOneIn = 2000;

constexpr uint32_t kSessionEnderPercent = 5;
// One random packet in this many takes the next id the dispatcher acts on in
// turn instead of a random one.
constexpr uint32_t kInTurnOneIn = 8;

bool isSessionEnder(uint8_t id)
{
    switch (id) {
    case 0x1B: // login confirmation
    case 0x33: // pause
    case 0x53: // login error
    case 0x55: // login complete
    case 0x76: // new sub-server
    case 0x81: // shard choice
    case 0x82: // login denied
    case 0x8C: // relay
    case 0xA8: // shard list
    case 0xA9: // character list
    case 0xD1: // logout confirmed
        return true;
    default:
        return false;
    }
}

ServerPacket fixedPacket(uint8_t id) { return ServerPacket(id, ServerPacket::Length::Fixed); }

void putBig16(WirePacket& packet, size_t at, uint16_t value)
{
    if (at + 2 > packet.size())
        return;
    packet[at] = uint8_t(value >> 8);
    packet[at + 1] = uint8_t(value);
}

void putBig32(WirePacket& packet, size_t at, uint32_t value)
{
    if (at + 4 > packet.size())
        return;
    packet[at] = uint8_t(value >> 24);
    packet[at + 1] = uint8_t(value >> 16);
    packet[at + 2] = uint8_t(value >> 8);
    packet[at + 3] = uint8_t(value);
}

std::u16string widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

} // namespace

uint64_t TrafficRandom::next()
{
    m_state += 0x9E3779B97F4A7C15ull;
    uint64_t z = m_state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint32_t TrafficRandom::below(uint32_t bound)
{
    if (bound == 0)
        return 0;
    return uint32_t(next() % bound);
}

const char* hostileKindName(HostileKind kind)
{
    switch (kind) {
    case HostileKind::Random:
        return "random";
    case HostileKind::Valid:
        return "valid";
    case HostileKind::Cut:
        return "cut";
    case HostileKind::Flipped:
        return "flipped";
    case HostileKind::Unframed:
        return "unframed";
    }
    return "?";
}

WirePacket genericGumpPacket(uint32_t serial, uint32_t gump, uint32_t x, uint32_t y, const std::string& layout,
    const std::vector<std::u16string>& lines)
{
    ServerPacket packet(0xB0);
    packet.u32(serial).u32(gump).u32(x).u32(y).u16(uint16_t(layout.size() + 1)).text(layout, layout.size() + 1);
    packet.u16(uint16_t(lines.size()));
    for (const std::u16string& line : lines) {
        packet.u16(uint16_t(line.size()));
        for (char16_t unit : line)
            packet.u16(uint16_t(unit));
    }
    return packet.bytes();
}

namespace {

// One of the reading windows' packets about an item: book headers and pages,
// the board's three forms, signs, help texts, the quest arrow, map pins and
// web pages.
WirePacket readingWindowPacket(TrafficRandom& random, uint32_t item, uint16_t x, uint16_t y)
{
    const uint16_t small = uint16_t(random.below(12));
    switch (random.below(12)) {
    case 0:
        return bookHeaderPacket(item, random.chance(50), random.chance(50), small, "Hostile", "Writer");
    case 1:
        return bookHeaderTextPacket(item, random.chance(50), random.chance(50), small, "Hostile", "Writer");
    case 2:
        return bookPagesPacket(item, { { small, { "a line", "", "another line of the page" } } });
    case 3:
        return boardOpenPacket(item, "Hostile board");
    case 4:
        return boardSummaryPacket(item, item + 1, random.chance(50) ? item : 0, "Poster", "Subject", "now");
    case 5:
        return boardMessagePacket(item, item + 1, "Poster", "Subject", "now", { "one", "", "three" });
    case 6:
        return signPacket(item, uint16_t(256 + random.below(16)), "first", "A sign written by a hostile server.");
    case 7:
        return helpTextPacket(item, u"Help from a hostile server.");
    case 8:
        return questPointerPacket(uint8_t(random.below(3)), x, y);
    case 9:
        return mapPlotPacket(item, uint8_t(random.below(10)), uint8_t(random.below(60)), uint16_t(random.below(300)),
            uint16_t(random.below(300)));
    case 10:
        return courseMapPacket(item, uint16_t(5021 + random.below(2)),
            { 1000, 1000, 1200, 1200, uint16_t(random.below(400)), uint16_t(random.below(400)) });
    default:
        // Only addresses the client refuses: a long run must not start browsers.
        return webPagePacket(random.chance(50) ? "javascript:alert(1)" : "file:///etc/passwd");
    }
}

} // namespace

// ---------------------------------------------------------------------------

HostileTraffic::HostileTraffic(uint64_t seed)
    : m_random(seed)
{
}

uint32_t HostileTraffic::someSerial()
{
    switch (m_random.below(6)) {
    case 0:
        return m_player;
    case 1:
    case 2:
        return kFirstHostileItem + m_random.below(kHostileSerialPool);
    case 3:
        return kFirstHostileMobile + m_random.below(kHostileSerialPool);
    case 4:
        return kTourMobile;
    default:
        return uint32_t(m_random.next());
    }
}

void HostileTraffic::fillContents(WirePacket& packet, size_t from)
{
    for (size_t i = from; i < packet.size(); ++i) {
        uint32_t pick = m_random.below(100);
        if (pick < 40)
            packet[i] = uint8_t(m_random.next());
        else if (pick < 65)
            packet[i] = 0;
        else if (pick < 75)
            packet[i] = 0xFF;
        else if (pick < 90)
            packet[i] = uint8_t(m_random.below(8));
        else
            packet[i] = uint8_t(0x20 + m_random.below(0x5F)); // printable text
    }
    // Most packets begin with a serial: often one that names a known object.
    if (packet.size() >= from + 4 && m_random.chance(50))
        putBig32(packet, from, someSerial());
}

uint8_t HostileTraffic::nextInTurn()
{
    // Every id the dispatcher acts on: its handled ids and the pause. The
    // first round takes them all, so that any run soon reaches each one;
    // later rounds leave out the ones that end the session, which the random
    // picks still send now and then.
    const size_t count = kHandledPacketIds.size() + 1;
    for (;;) {
        const size_t at = size_t(m_inTurn % count);
        const bool firstRound = m_inTurn < count;
        ++m_inTurn;
        const uint8_t id = at < kHandledPacketIds.size() ? kHandledPacketIds[at] : kPausePacketId;
        if (firstRound || !isSessionEnder(id))
            return id;
    }
}

WirePacket HostileTraffic::randomPacket()
{
    uint8_t id = uint8_t(m_random.below(kPacketTableSize));
    if (m_random.below(kInTurnOneIn) == 0) {
        id = nextInTurn();
    } else {
        // The ids that end the session when the client takes them (a refusal,
        // a relay, a logout, a pause that is never resumed) come less often,
        // so that each connection carries a long flood.
        while (isSessionEnder(id) && !m_random.chance(kSessionEnderPercent))
            id = uint8_t(m_random.below(kPacketTableSize));
    }
    WirePacket packet;
    if (packetIsVariable(id)) {
        uint32_t pick = m_random.below(1000);
        uint32_t length;
        if (pick < 600)
            length = 3 + m_random.below(64);
        else if (pick < 850)
            length = 3 + m_random.below(1024);
        else if (pick < 960)
            length = 3 + m_random.below(8192);
        else
            length = 3 + m_random.below(uint32_t(kMaxPacketLength) - 2);
        packet.assign(length, 0);
        packet[0] = id;
        fillContents(packet, 3);
        putBig16(packet, 1, uint16_t(length));
    } else {
        packet.assign(packetFixedLength(id), 0);
        packet[0] = id;
        fillContents(packet, 1);
    }
    return packet;
}

WirePacket HostileTraffic::houseDesignPacket(uint32_t house)
{
    // Records of pieces round the house, in one of the four compressions.
    const uint8_t compression = uint8_t(m_random.below(4));
    const uint32_t count = m_random.below(12);
    std::string records;
    for (uint32_t i = 0; i < count; ++i) {
        records += char(0x00);
        records += char(0x64 + m_random.below(2));
        records += char(int8_t(m_random.below(9)) - 4);
        records += char(int8_t(m_random.below(9)) - 4);
        records += char(m_random.below(4) * 20);
    }
    std::vector<uint8_t> data;
    if (compression == 0) {
        data.assign(records.begin(), records.end());
    } else if (compression == 1) {
        std::vector<uint8_t> packed = fixture::zlibCompressed(records);
        data = { uint8_t(records.size() >> 8), uint8_t(records.size()), uint8_t(packed.size() >> 8),
            uint8_t(packed.size()) };
        data.insert(data.end(), packed.begin(), packed.end());
    } else if (compression == 3) {
        std::vector<uint8_t> packed = fixture::zlibCompressed(records);
        data = { 1, uint8_t(m_random.below(2) << 4), uint8_t(records.size()), uint8_t(packed.size()),
            uint8_t(((records.size() >> 8) << 4) | (packed.size() >> 8)) };
        data.insert(data.end(), packed.begin(), packed.end());
    }
    return fixture::ServerPacket(0xD8)
        .u8(compression)
        .u8(uint8_t(m_random.below(2)))
        .u32(house)
        .u32(m_random.below(4))
        .u16(uint16_t(count))
        .u16(uint16_t(data.size()))
        .bytes(data)
        .bytes();
}

WirePacket HostileTraffic::mahjongPacket(uint32_t table)
{
    // A board opened, closed, or told seats, tiles or the table's state, with
    // counts and places anywhere and the records often cut short.
    static constexpr uint16_t kTableMessages[] = { 25, 1, 2, 3, 4, 5, 26, 6, 0xFFFF };
    fixture::ServerPacket packet(0xDA);
    packet.u32(table).u16(kTableMessages[m_random.below(9)]);
    if (m_random.chance(50))
        packet.u16(uint16_t(m_random.below(m_random.chance(20) ? 0x10000 : 8)));
    for (uint32_t i = 0, count = m_random.below(100); i < count; ++i)
        packet.u8(uint8_t(m_random.chance(30) ? m_random.below(4) : m_random.next()));
    return packet.bytes();
}

WirePacket HostileTraffic::validPacket(uint32_t player, uint16_t x, uint16_t y)
{
    const uint16_t nearX = uint16_t(x + int32_t(m_random.below(25)) - 12);
    const uint16_t nearY = uint16_t(y + int32_t(m_random.below(25)) - 12);
    const uint32_t item = kFirstHostileItem + m_random.below(kHostileSerialPool);
    const uint32_t mobile = kFirstHostileMobile + m_random.below(kHostileSerialPool);
    const uint8_t direction = uint8_t(m_random.below(8));
    switch (m_random.below(53)) {
    case 0:
        return worldItemPacket(item, uint16_t(m_random.below(0x4000)), uint16_t(m_random.below(3)), nearX, nearY,
            int8_t(m_random.below(20)), uint16_t(m_random.below(0x1000)));
    case 1:
        return mobileIncomingPacket(mobile, uint16_t(m_random.below(0x400)), nearX, nearY, 0, direction,
            uint8_t(1 + m_random.below(7)), { { item, kShirt, uint8_t(1 + m_random.below(25)), 0 } });
    case 2:
        return deleteObjectPacket(m_random.chance(50) ? item : mobile);
    case 3:
        return containerContentsPacket(item,
            { { kFirstHostileItem + m_random.below(kHostileSerialPool), kShirt, 1, uint16_t(m_random.below(200)),
                uint16_t(m_random.below(200)) } });
    case 4:
        return openContainerPacket(m_random.chance(50) ? item : kTourPack, uint16_t(m_random.below(0x100)));
    case 5:
        return statusPacket(m_random.chance(50) ? player : mobile, "Hostile", uint16_t(m_random.below(100)),
            uint16_t(m_random.below(100)), uint16_t(m_random.below(200)));
    case 6:
        return hitsPacket(m_random.chance(50) ? player : mobile, uint16_t(m_random.below(100)),
            uint16_t(m_random.below(100)));
    case 7: {
        std::vector<uint8_t> fields(m_random.below(24));
        for (uint8_t& byte : fields)
            byte = uint8_t(m_random.below(4) == 0 ? m_random.next() : m_random.below(4));
        return generalInfoPacket(uint16_t(m_random.below(0x30)), fields);
    }
    case 8:
        return stepKeysPacket({ uint32_t(m_random.next()), 2, 3, 4, 5 });
    case 9:
        return damagePacket(m_random.chance(50) ? player : mobile, uint16_t(m_random.below(500)));
    case 10:
        return combatantPacket(m_random.chance(80) ? mobile : 0);
    case 11:
        return graphicalEffectPacket(uint8_t(m_random.below(5)), m_random.chance(50) ? player : mobile, mobile,
            uint16_t(0x3700 + m_random.below(0x100)), nearX, nearY, 0);
    case 12:
        return soundPacket(uint8_t(m_random.below(2)), uint16_t(m_random.below(0x200)), nearX, nearY, 0);
    case 13:
        return musicPacket(uint16_t(m_random.below(0x40)));
    case 14:
        return overallLightPacket(uint8_t(m_random.below(40)));
    case 15:
        return personalLightPacket(player, uint8_t(m_random.below(40)));
    case 16:
        return weatherPacket(uint8_t(m_random.below(4) == 0 ? 0xFF : m_random.below(4)), uint8_t(m_random.below(80)));
    case 17:
        return gameTimePacket(uint8_t(m_random.below(24)), uint8_t(m_random.below(60)), uint8_t(m_random.below(60)));
    case 18:
        return seasonPacket(uint8_t(m_random.below(6)), uint8_t(m_random.below(2)));
    case 19:
        return asciiSpeechPacket(m_random.chance(50) ? mobile : 0xFFFFFFFF, kHumanBody, uint8_t(m_random.below(10)),
            uint16_t(m_random.below(0x400)), 3, "Crier", "Hear ye, hear ye! The market opens at dawn.");
    case 20:
        return unicodeSpeechPacket(m_random.chance(50) ? mobile : player, kHumanBody, uint8_t(m_random.below(10)),
            uint16_t(m_random.below(0x400)), 1, "Bard", u"A song of the old roads, sung slowly \u00e9\u00e8");
    case 21:
        return mobileMovingPacket(mobile, kHumanBody, nearX, nearY, 0, direction, 0, uint8_t(m_random.below(0x100)),
            uint8_t(1 + m_random.below(7)));
    case 22:
        return walkAcceptedPacket(uint8_t(m_random.below(256)), uint8_t(1 + m_random.below(7)));
    case 23:
        return playerUpdatePacket(player, kHumanBody, 0, uint8_t(m_random.below(0x100)), nearX, nearY, direction, 0);
    case 24: {
        std::vector<std::u16string> lines;
        for (uint32_t i = 0, count = m_random.below(4); i < count; ++i)
            lines.push_back(u"line " + widen(std::to_string(i)));
        return genericGumpPacket(mobile, uint32_t(m_random.below(16)), m_random.below(600), m_random.below(400),
            "{ page 0 }{ resizepic 0 0 5054 200 150 }{ text 20 20 0 0 }{ button 30 60 4005 4007 1 0 1 }"
            "{ textentry 20 90 150 20 0 1 1 }{ checkbox 20 120 210 211 0 2 }{ htmlgump 40 20 100 60 2 1 1 }",
            lines);
    }
    case 25:
        return fixedPacket(0x2E)
            .u32(item)
            .u16(kShirt)
            .u8(0)
            .u8(uint8_t(1 + m_random.below(25)))
            .u32(m_random.chance(50) ? player : mobile)
            .u16(0)
            .bytes();
    case 26:
        return fixedPacket(0x25)
            .u32(item)
            .u16(kShirt)
            .u8(0)
            .u16(1)
            .u16(uint16_t(m_random.below(200)))
            .u16(uint16_t(m_random.below(200)))
            .u32(m_random.chance(50) ? kTourPack : kFirstHostileItem + m_random.below(kHostileSerialPool))
            .u16(0)
            .bytes();
    case 27:
        return mobileIncomingPacket(player, kHumanBody, x, y, 0, direction, 1,
            { { kTourPack, kBackpack, kBackpackLayer, 0 }, { item, kShirt, 5, 0x21 } });
    case 28:
        return fixedPacket(0xAF).u32(mobile).u32(item).u32(0).bytes();
    case 29: {
        // A profile, its texts of any length.
        fixture::ServerPacket profile(0xB8);
        profile.u32(m_random.chance(50) ? player : mobile).text("Hostile the Loud", 17);
        profile.unicode(std::u16string(m_random.below(600), u'x')).unicode(u"Never quiet.");
        return profile.bytes();
    }
    case 30: {
        // The older equipment list: a crafter of any length, attributes, an end.
        fixture::ServerPacket list(0xBF);
        list.u16(0x10).u32(item).u32(1041286);
        if (m_random.chance(50))
            list.u32(0xFFFFFFFD).u16(uint16_t(m_random.below(40))).fill(m_random.below(40), 'A');
        for (uint32_t i = 0, count = m_random.below(14); i < count; ++i)
            list.u32(1060639 + i).u16(uint16_t(m_random.next()));
        if (m_random.chance(80))
            list.u32(m_random.chance(20) ? 0xFFFFFFFC : 0xFFFFFFFF);
        return list.bytes();
    }
    case 52: {
        // GM queue notices, or conference chat: the window opened, a numbered message of any
        // number with texts of any length, or a line of any type.
        if (m_random.chance(10))
            return fixedPacket(0xCB).u16(0).u32(uint32_t(m_random.next())).bytes();
        if (m_random.chance(10)) {
            // A GM's call, its counts not always right.
            ServerPacket call(0xC3);
            call.u32(0).u32(m_random.chance(30) ? 0xFFFFFFF0 : uint32_t(m_random.below(100))).u32(1).u32(2).u32(mobile);
            call.u8(uint8_t(m_random.below(256))).fill(m_random.below(60), 'n');
            call.u16(0).u8(5).fill(5, 's').u32(m_random.below(9000)).u16(uint16_t(m_random.below(6)));
            call.fill(28, 0).u8(uint8_t(m_random.below(2))).fill(3, 'e');
            call.u16(uint16_t(m_random.chance(80) ? 3 : m_random.next())).fill(6, 'h');
            return call.bytes();
        }
        if (m_random.chance(20))
            return ServerPacket(0xB2).u16(1005).fill(4, 0).unicode(u"Hostile").unicode(u"").bytes();
        if (m_random.chance(50)) {
            static constexpr uint16_t kNumbers[] = { 3, 37, 39, 1000, 1001, 1003, 1004, 1006, 1007, 1008, 1009 };
            const uint16_t number = m_random.chance(80) ? kNumbers[m_random.below(11)] : uint16_t(m_random.next());
            return ServerPacket(0xB2)
                .u16(number)
                .fill(4, 'x')
                .unicode(std::u16string(m_random.below(1500), u'1'))
                .unicode(std::u16string(m_random.below(40), u'%'))
                .bytes();
        }
        return ServerPacket(0xB3).fill(4, 0).u16(uint16_t(m_random.below(8))).unicode(
            std::u16string(m_random.below(2000), u'c')).bytes();
    }
    case 46:
        // A house: multi 0 or the customizable one.
        return worldItemPacket(item, uint16_t(0x4000 + m_random.below(2)), 1, nearX, nearY, 0, 0);
    case 47:
        return houseDesignPacket(item);
    case 49:
        return mahjongPacket(item);
    case 48: {
        // Design mode, a piece added or removed, or a new revision.
        const uint8_t action = uint8_t(m_random.below(6));
        if (m_random.chance(30))
            return generalInfoPacket(0x1D, { uint8_t(item >> 24), uint8_t(item >> 16), uint8_t(item >> 8),
                                               uint8_t(item), 0, 0, 0, uint8_t(m_random.below(4)) });
        return generalInfoPacket(0x20, { uint8_t(item >> 24), uint8_t(item >> 16), uint8_t(item >> 8), uint8_t(item),
                                           action, 0x00, 0x64, 0, uint8_t(m_random.below(4)), 0xFF,
                                           uint8_t(m_random.below(3)), uint8_t(m_random.below(30)) });
    }
    case 50: {
        // A spellbook in the pack, opened as one, its content record with any
        // bits and first spell, a spell's active mark, the ability reset.
        const uint32_t book = m_random.chance(50) ? item : kTourPack;
        switch (m_random.below(5)) {
        case 0:
            return containerItemPacket(kTourPack, { book, 3643, uint16_t(m_random.below(700)), 40, 40 }, 0);
        case 1:
            return openContainerPacket(book, 0xFFFF);
        case 2: {
            fixture::ServerPacket content(0xBF);
            content.u16(0x1B).u16(1).u32(book).u16(3643).u16(uint16_t(m_random.next()));
            for (int32_t byte = 0; byte < 8; ++byte)
                content.u8(uint8_t(m_random.next()));
            return content.bytes();
        }
        case 3:
            return generalInfoPacket(0x25, { uint8_t(m_random.next()), uint8_t(m_random.next()), uint8_t(m_random.below(2)) });
        default:
            return generalInfoPacket(0x21, {});
        }
    }
    case 31:
        return generalInfoPacket(0x2A, { uint8_t(m_random.below(3)), uint8_t(m_random.below(4) == 0 ? 0xFF : m_random.below(3)) });
    case 33:
        return readingWindowPacket(m_random, item, nearX, nearY);
    case 34: {
        // Skills: a list (the player's or another's, with or without caps),
        // one skill, or names; numbers, locks and counts now and then out of
        // range, the list's end sometimes missing.
        static constexpr uint8_t kSkillsTypes[] = { 0, 1, 2, 3, 0xFF, 0xDF, 0xFE };
        const uint8_t type = kSkillsTypes[m_random.below(7)];
        fixture::ServerPacket skills(0x3A);
        skills.u8(type);
        const uint32_t count = m_random.below(70);
        if (type == 0xFE) {
            skills.u16(uint16_t(count));
            for (uint32_t i = 0; i < count; ++i) {
                const uint8_t length = uint8_t(m_random.below(100));
                skills.u8(uint8_t(m_random.below(2))).u8(length).fill(length, 'S');
            }
        } else if (type >= 0xDF) {
            skills.u16(uint16_t(m_random.below(60))).u16(uint16_t(m_random.below(1200)));
            skills.u16(uint16_t(m_random.below(1200))).u8(uint8_t(m_random.below(4)));
            if (type == 0xDF)
                skills.u16(uint16_t(m_random.below(1200)));
        } else {
            for (uint32_t i = 0; i < count; ++i) {
                skills.u16(uint16_t(1 + m_random.below(58))).u16(uint16_t(m_random.below(1200)));
                skills.u16(uint16_t(m_random.below(1200))).u8(uint8_t(m_random.below(4)));
                if (type >= 2)
                    skills.u16(1000);
            }
            if (m_random.chance(90))
                skills.u16(0);
        }
        return skills.bytes();
    }
    case 35: // a target cursor, or its cancel
        return fixedPacket(0x6C).u8(uint8_t(m_random.below(3))).u32(m_random.next()).u8(uint8_t(m_random.below(5))).fill(12, 0).bytes();
    case 36: // a house placement of any multi
        return fixedPacket(0x99).u8(1).u32(m_random.next()).fill(12, 0).u16(uint16_t(m_random.below(0x2000)))
            .u16(uint16_t(m_random.below(20))).u16(uint16_t(m_random.below(20))).u16(0).bytes();
    case 37: { // an object list placement whose count may not match its records
        fixture::ServerPacket list(0xB4);
        const uint32_t records = m_random.below(40);
        list.u8(1).u32(m_random.next()).u16(x).u16(y).u16(0).u16(uint16_t(m_random.chance(80) ? records : m_random.next()));
        for (uint32_t i = 0; i < records; ++i)
            list.u16(uint16_t(m_random.below(0x4000))).u16(0).u16(uint16_t(m_random.below(20))).u16(uint16_t(m_random.below(20))).u16(0);
        return list.bytes();
    }
    case 38: { // a buy list with names of any length, terminated or not
        fixture::ServerPacket list(0x74);
        const uint32_t entries = m_random.below(20);
        list.u32(m_random.chance(50) ? kTourPack : item).u8(uint8_t(m_random.chance(80) ? entries : m_random.below(256)));
        for (uint32_t i = 0; i < entries; ++i) {
            const uint32_t length = m_random.below(40);
            list.u32(m_random.next()).u8(uint8_t(length)).fill(length, 'a');
        }
        return list.bytes();
    }
    case 39: { // a sell list of items that may not exist
        fixture::ServerPacket list(0x9E);
        const uint32_t records = m_random.below(20);
        list.u32(mobile).u16(uint16_t(m_random.chance(80) ? records : m_random.next()));
        for (uint32_t i = 0; i < records; ++i) {
            const uint32_t length = m_random.below(40);
            list.u32(kFirstHostileItem + m_random.below(kHostileSerialPool)).u16(uint16_t(m_random.below(0x4000)));
            list.u16(0).u16(uint16_t(m_random.next())).u16(uint16_t(m_random.next())).u16(uint16_t(length)).fill(length, 'b');
        }
        return list.bytes();
    }
    case 40: // a vendor's answer, of any result
        return fixture::ServerPacket(0x3B).u32(mobile).u8(uint8_t(m_random.below(4))).bytes();
    case 41: // a secure trade action over things that may not exist
        return fixture::ServerPacket(0x6F)
            .u8(uint8_t(m_random.below(4)))
            .u32(m_random.chance(50) ? mobile : item)
            .u32(m_random.chance(50) ? kTourPack : item)
            .u32(kFirstHostileItem + m_random.below(kHostileSerialPool))
            .u8(uint8_t(m_random.below(2)))
            .fill(30, uint8_t('M'))
            .bytes();
    case 42: { // a menu of pictures or strings, the count not always right
        fixture::ServerPacket menu(0x7C);
        const uint32_t entries = m_random.below(12);
        menu.u32(item).u16(uint16_t(m_random.next())).u8(5).fill(5, 'T').u8(uint8_t(m_random.chance(80) ? entries : m_random.below(256)));
        const bool pictures = m_random.chance(50);
        for (uint32_t i = 0; i < entries; ++i)
            menu.u16(pictures ? uint16_t(1 + m_random.below(0x3FFF)) : 0).u16(0).u8(4).fill(4, 'c');
        return menu.bytes();
    }
    case 43: // a text query with any limit
        return fixture::ServerPacket(0xAB)
            .u32(item)
            .u16(uint16_t(m_random.next()))
            .u16(6)
            .fill(6, 'Q')
            .u8(uint8_t(m_random.below(2)))
            .u8(uint8_t(m_random.below(4)))
            .u32(m_random.next())
            .u16(uint16_t(m_random.below(300)))
            .fill(m_random.below(300), 'd')
            .bytes();
    case 44: // a dye request, or a tip of the day
        if (m_random.chance(50))
            return fixedPacket(0x95).u32(item).u16(uint16_t(m_random.next())).u16(uint16_t(m_random.below(0x4000))).bytes();
        return fixture::ServerPacket(0xA6)
            .u8(uint8_t(m_random.below(3)))
            .u32(m_random.below(100))
            .u16(uint16_t(m_random.below(400)))
            .fill(m_random.below(400), 'e')
            .bytes();
    case 45: { // a context menu with any flags
        fixture::ServerPacket menu(0xBF);
        const uint32_t entries = m_random.below(10);
        menu.u16(0x14).u16(1).u32(m_random.chance(50) ? mobile : item).u8(uint8_t(entries));
        for (uint32_t i = 0; i < entries; ++i) {
            const uint16_t flags = uint16_t(m_random.next());
            menu.u16(uint16_t(i)).u16(uint16_t(m_random.below(7000))).u16(flags);
            for (uint16_t mask : { uint16_t(0x84), uint16_t(0x40), uint16_t(0x20) })
                if (flags & mask)
                    menu.u16(uint16_t(m_random.next()));
        }
        return menu.bytes();
    }
    case 51: { // a party message of any action, with any count of members
        fixture::ServerPacket party(0xBF);
        const uint32_t members = m_random.below(20);
        party.u16(6).u8(uint8_t(m_random.below(10))).u8(uint8_t(m_random.chance(80) ? members : m_random.below(256)));
        for (uint32_t i = 0; i < members; ++i)
            party.u32(m_random.chance(30) ? player : kFirstHostileMobile + m_random.below(kHostileSerialPool));
        if (m_random.chance(50))
            party.fill(m_random.below(300), 'p');
        return party.bytes();
    }
    default:
        return fixedPacket(0x6E)
            .u32(m_random.chance(50) ? player : mobile)
            .u16(uint16_t(m_random.below(40)))
            .u16(uint16_t(m_random.below(8)))
            .u16(1)
            .u8(0)
            .u8(0)
            .u8(1)
            .bytes();
    }
}

void HostileTraffic::breakFraming(WirePacket& packet)
{
    const bool variable = packetIsVariable(packet[0]);
    switch (m_random.below(4)) {
    case 0: // cut short, with nothing saying so: the next packet completes it
        packet.resize(1 + m_random.below(uint32_t(packet.size())));
        break;
    case 1: // an id past the end of the table
        packet[0] = uint8_t(kPacketTableSize + m_random.below(256 - kPacketTableSize));
        break;
    case 2: // a length word that cannot be a packet's, or one longer than the packet
        if (variable)
            putBig16(packet, 1, uint16_t(m_random.chance(50) ? m_random.below(3) : packet.size() + 1));
        else
            packet.push_back(0);
        break;
    default: // one more byte than the packet holds
        packet.push_back(uint8_t(m_random.next()));
        break;
    }
}

std::vector<WirePacket> HostileTraffic::nextBatch(size_t count, uint32_t player, uint16_t x, uint16_t y)
{
    m_player = player;
    std::vector<WirePacket> batch;
    batch.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        HostileKind kind = HostileKind::Random;
        WirePacket packet;
        uint32_t pick = m_random.below(100);
        if (pick < 50) {
            packet = randomPacket();
        } else if (pick < 75) {
            kind = HostileKind::Valid;
            packet = validPacket(player, x, y);
        } else if (pick < 88) {
            kind = HostileKind::Flipped;
            packet = validPacket(player, x, y);
            const size_t header = size_t(packetHeaderSize(packet[0]));
            for (uint32_t flips = 1 + m_random.below(4); flips > 0 && packet.size() > header; --flips)
                packet[header + m_random.below(uint32_t(packet.size() - header))] ^= uint8_t(1u << m_random.below(8));
        } else {
            kind = HostileKind::Cut;
            packet = validPacket(player, x, y);
            const size_t whole = packet.size();
            // A variable packet's length word says it is short; a fixed
            // packet's missing fields come as zeros.
            if (packetIsVariable(packet[0])) {
                packet.resize(3 + m_random.below(uint32_t(whole - 2)));
                putBig16(packet, 1, uint16_t(packet.size()));
            } else {
                packet.resize(1 + m_random.below(uint32_t(whole)));
                packet.resize(whole, 0);
            }
        }
        if (m_random.below(kBrokenFramingOneIn) == 0) {
            kind = HostileKind::Unframed;
            breakFraming(packet);
        }
        ++m_counts.byId[packet[0]];
        if (kind == HostileKind::Valid)
            ++m_counts.wellFormedById[packet[0]];
        ++m_counts.byKind[size_t(kind)];
        ++m_counts.packets;
        m_counts.bytes += packet.size();
        batch.push_back(std::move(packet));
    }
    return batch;
}

// ---------------------------------------------------------------------------

namespace {

constexpr size_t kWalkers = 12;
constexpr size_t kItems = 16;
constexpr int32_t kRoam = 9;
constexpr uint32_t kFirstWalker = 0x00002000;
constexpr uint32_t kFirstItem = 0x40002000;
constexpr uint16_t kWalkerBodies[] = { 400, 401, 0x00C9, 0x00D9 };

const char* const kChatter[] = {
    "Fine weather for the road.",
    "Have you seen the smith?",
    "Fresh bread, two coins!",
    "Guards! Guards!",
    "The ferry leaves at noon.",
    "I lost my lantern by the well.",
};

// The direction a step from (0, 0) to (dx, dy) takes, 0 north, clockwise.
uint8_t directionOf(int32_t dx, int32_t dy)
{
    static constexpr uint8_t kTable[3][3] = { { 7, 0, 1 }, { 6, 0, 2 }, { 5, 4, 3 } };
    return kTable[dy + 1][dx + 1];
}

} // namespace

BusyShardTraffic::BusyShardTraffic(uint64_t seed, uint32_t player, uint16_t x, uint16_t y)
    : m_random(seed)
    , m_player(player)
    , m_homeX(x)
    , m_homeY(y)
{
    for (size_t i = 0; i < kWalkers; ++i) {
        Walker walker {};
        walker.serial = kFirstWalker + uint32_t(i);
        walker.body = kWalkerBodies[i % std::size(kWalkerBodies)];
        walker.x = m_homeX + int32_t(m_random.below(2 * kRoam + 1)) - kRoam;
        walker.y = m_homeY + int32_t(m_random.below(2 * kRoam + 1)) - kRoam;
        walker.direction = uint8_t(m_random.below(8));
        walker.present = true;
        m_walkers.push_back(walker);
    }
    for (size_t i = 0; i < kItems; ++i)
        m_items.push_back(kFirstItem + uint32_t(i));
}

void BusyShardTraffic::restart() { m_crowdSent = false; }

WirePacket BusyShardTraffic::walkerIncoming(const Walker& walker) const
{
    return mobileIncomingPacket(walker.serial, walker.body, uint16_t(walker.x), uint16_t(walker.y), 0,
        walker.direction, 1, { { walker.serial | 0x40000000u, kShirt, 5, 0 } });
}

std::vector<WirePacket> BusyShardTraffic::nextStep()
{
    std::vector<WirePacket> out;
    ++m_stepCount;
    if (!m_crowdSent) {
        m_crowdSent = true;
        for (const Walker& walker : m_walkers) {
            if (walker.present)
                out.push_back(walkerIncoming(walker));
        }
        for (size_t i = 0; i < m_items.size(); ++i) {
            out.push_back(worldItemPacket(m_items[i], uint16_t(0x0E75 + i), 1, uint16_t(m_homeX - 4 + int32_t(i % 8)),
                uint16_t(m_homeY + 3 + int32_t(i / 8)), 0, 0));
        }
    }
    // A few walkers take a step or turn.
    for (Walker& walker : m_walkers) {
        if (!walker.present || !m_random.chance(30))
            continue;
        int32_t dx = int32_t(m_random.below(3)) - 1;
        int32_t dy = int32_t(m_random.below(3)) - 1;
        if (dx == 0 && dy == 0)
            continue;
        walker.direction = directionOf(dx, dy);
        walker.x = std::clamp(walker.x + dx, m_homeX - kRoam, m_homeX + kRoam);
        walker.y = std::clamp(walker.y + dy, m_homeY - kRoam, m_homeY + kRoam);
        out.push_back(mobileMovingPacket(walker.serial, walker.body, uint16_t(walker.x), uint16_t(walker.y), 0,
            walker.direction, 0, 0, 1));
    }
    // Now and then one leaves the screen, and later comes back.
    if (m_random.chance(5)) {
        Walker& walker = m_walkers[m_random.below(uint32_t(m_walkers.size()))];
        walker.present = !walker.present;
        out.push_back(walker.present ? walkerIncoming(walker) : deleteObjectPacket(walker.serial));
    }
    // Someone speaks.
    if (m_random.chance(20)) {
        const Walker& walker = m_walkers[m_random.below(uint32_t(m_walkers.size()))];
        const char* line = kChatter[m_random.below(std::size(kChatter))];
        if (m_random.chance(50))
            out.push_back(asciiSpeechPacket(walker.serial, walker.body, 0, 0x3B2, 3, "Townsfolk", line));
        else
            out.push_back(unicodeSpeechPacket(walker.serial, walker.body, 0, 0x3B2, 1, "Townsfolk", widen(line)));
    }
    // An item changes: its amount, or it is taken away and put back.
    if (m_random.chance(25)) {
        size_t i = m_random.below(uint32_t(m_items.size()));
        if (m_random.chance(30))
            out.push_back(deleteObjectPacket(m_items[i]));
        out.push_back(worldItemPacket(m_items[i], uint16_t(0x0E75 + i), uint16_t(1 + m_random.below(50)),
            uint16_t(m_homeX - 4 + int32_t(i % 8)), uint16_t(m_homeY + 3 + int32_t(i / 8)), 0, 0));
    }
    if (m_random.chance(10)) {
        out.push_back(soundPacket(1, uint16_t(0x20 + m_random.below(0x40)), uint16_t(m_homeX), uint16_t(m_homeY), 0));
    }
    if (m_random.chance(5)) {
        const Walker& walker = m_walkers[m_random.below(uint32_t(m_walkers.size()))];
        out.push_back(graphicalEffectPacket(3, walker.serial, 0, 0x3728, uint16_t(walker.x), uint16_t(walker.y), 0));
    }
    if (m_random.chance(5)) {
        const Walker& walker = m_walkers[m_random.below(uint32_t(m_walkers.size()))];
        out.push_back(hitsPacket(walker.serial, uint16_t(20 + m_random.below(40)), 60));
    }
    // Once a game minute or so: the time and the light.
    if (m_stepCount % 600 == 0) {
        out.push_back(gameTimePacket(uint8_t((m_stepCount / 600) % 24), 0, 0));
        out.push_back(overallLightPacket(uint8_t((m_stepCount / 600) % 20)));
    }
    m_sent += out.size();
    return out;
}

std::vector<WirePacket> BusyShardTraffic::answer(const WirePacket& packet)
{
    std::vector<WirePacket> out;
    if (packet.empty())
        return out;
    switch (packet[0]) {
    case 0x02: // a step: always allowed
        if (packet.size() >= 3) {
            out.push_back(walkAcceptedPacket(packet[2], 1));
            ++m_steps;
        }
        break;
    case 0xAD: // speech: heard back as the server says it
    case 0x03: {
        const std::u16string text = spokenText(packet);
        out.push_back(unicodeSpeechPacket(m_player, kHumanBody, 0, 0x3B2, 1, "Aldric", text));
        ++m_speech;
        break;
    }
    default:
        break;
    }
    m_sent += out.size();
    return out;
}

} // namespace test
