#include "support/world_packets.h"

#include "fixtures/server_packet.h"

namespace test {

namespace {

using fixture::ServerPacket;

ServerPacket fixed(uint8_t id) { return ServerPacket(id, ServerPacket::Length::Fixed); }

// The 27 bytes every effect packet starts with: from and to the same place,
// speed 10, duration 20, none of the flags.
void effectFields(ServerPacket& packet, uint8_t type, uint32_t source, uint32_t target, uint16_t graphic,
    uint16_t x, uint16_t y, int8_t z)
{
    packet.u8(type).u32(source).u32(target).u16(graphic);
    packet.u16(x).u16(y).u8(uint8_t(z)).u16(x).u16(y).u8(uint8_t(z));
    packet.u8(10).u8(20).u8(0).u8(0).u8(0).u8(0);
}

WirePacket statusFlags(uint8_t id, uint32_t serial, const std::vector<StatusFlagEntry>& entries)
{
    ServerPacket packet(id);
    packet.u32(serial).u16(uint16_t(entries.size()));
    for (const StatusFlagEntry& entry : entries)
        packet.u16(entry.key).u8(entry.value);
    return packet.bytes();
}

} // namespace

WirePacket worldItemPacket(uint32_t serial, uint16_t graphic, uint16_t amount, uint16_t x, uint16_t y, int8_t z,
    uint16_t hue, uint8_t flags)
{
    ServerPacket packet(0x1A);
    packet.u32(serial | 0x80000000).u16(graphic).u16(amount).u16(x);
    packet.u16(uint16_t(y | (hue ? 0x8000 : 0) | (flags ? 0x4000 : 0))).u8(uint8_t(z));
    if (hue)
        packet.u16(hue);
    if (flags)
        packet.u8(flags);
    return packet.bytes();
}

WirePacket mobileIncomingPacket(uint32_t serial, uint16_t body, uint16_t x, uint16_t y, int8_t z, uint8_t direction,
    uint8_t notoriety, const std::vector<WornEntry>& worn)
{
    ServerPacket packet(0x78);
    packet.u32(serial).u16(body).u16(x).u16(y).u8(uint8_t(z)).u8(direction).u16(0).u8(0).u8(notoriety);
    for (const WornEntry& entry : worn) {
        packet.u32(entry.serial).u16(uint16_t(entry.graphic | (entry.hue ? 0x8000 : 0))).u8(entry.layer);
        if (entry.hue)
            packet.u16(entry.hue);
    }
    packet.u32(0);
    return packet.bytes();
}

WirePacket mobileMovingPacket(uint32_t serial, uint16_t body, uint16_t x, uint16_t y, int8_t z, uint8_t direction,
    uint8_t notoriety)
{
    return mobileMovingPacket(serial, body, x, y, z, direction, 0, 0, notoriety);
}

WirePacket mobileMovingPacket(uint32_t serial, uint16_t body, uint16_t x, uint16_t y, int8_t z, uint8_t direction,
    uint16_t hue, uint8_t flags, uint8_t notoriety)
{
    return fixed(0x77)
        .u32(serial)
        .u16(body)
        .u16(x)
        .u16(y)
        .u8(uint8_t(z))
        .u8(direction)
        .u16(hue)
        .u8(flags)
        .u8(notoriety)
        .bytes();
}

WirePacket playerUpdatePacket(uint32_t serial, uint16_t body, uint16_t hue, uint8_t flags, uint16_t x, uint16_t y,
    uint8_t direction, int8_t z)
{
    return fixed(0x20)
        .u32(serial)
        .u16(body)
        .u8(0)
        .u16(hue)
        .u8(flags)
        .u16(x)
        .u16(y)
        .u16(0)
        .u8(direction)
        .u8(uint8_t(z))
        .bytes();
}

WirePacket wornItemPacket(uint32_t item, uint16_t graphic, uint8_t layer, uint32_t wearer, uint16_t hue)
{
    return fixed(0x2E).u32(item).u16(graphic).u8(1).u8(layer).u32(wearer).u16(hue).bytes();
}

WirePacket deleteObjectPacket(uint32_t serial) { return fixed(0x1D).u32(serial).bytes(); }

WirePacket containerContentsPacket(uint32_t container, const std::vector<ContentEntry>& entries)
{
    ServerPacket packet(0x3C);
    packet.u16(uint16_t(entries.size()));
    for (const ContentEntry& entry : entries)
        packet.u32(entry.serial).u16(entry.graphic).u8(0).u16(entry.amount).u16(entry.x).u16(entry.y).u32(container).u16(0);
    return packet.bytes();
}

WirePacket containerItemPacket(uint32_t container, const ContentEntry& entry, uint16_t hue)
{
    return fixed(0x25)
        .u32(entry.serial)
        .u16(entry.graphic)
        .u8(0)
        .u16(entry.amount)
        .u16(entry.x)
        .u16(entry.y)
        .u32(container)
        .u16(hue)
        .bytes();
}

WirePacket openContainerPacket(uint32_t serial, uint16_t gump) { return fixed(0x24).u32(serial).u16(gump).bytes(); }

WirePacket statusPacket(uint32_t serial, const std::string& name, uint16_t hits, uint16_t maxHits, uint16_t strength)
{
    ServerPacket packet(0x11);
    packet.u32(serial).text(name, 30).u16(hits).u16(maxHits).u8(0).u8(1);
    packet.u8(0).u16(strength).u16(10).u16(10).u16(50).u16(50).u16(20).u16(20).u32(0).u16(0).u16(0);
    return packet.bytes();
}

WirePacket hitsPacket(uint32_t serial, uint16_t hits, uint16_t maxHits)
{
    return fixed(0xA1).u32(serial).u16(maxHits).u16(hits).bytes();
}

WirePacket statusFlagsReplacePacket(uint32_t serial, const std::vector<StatusFlagEntry>& entries)
{
    return statusFlags(0x16, serial, entries);
}

WirePacket statusFlagsChangePacket(uint32_t serial, const std::vector<StatusFlagEntry>& entries)
{
    return statusFlags(0x17, serial, entries);
}

WirePacket mobileNamePacket(uint32_t serial, const std::string& name)
{
    ServerPacket packet(0x98);
    packet.u32(serial).text(name, 30);
    return packet.bytes();
}

WirePacket generalInfoPacket(uint16_t subCommand, const std::vector<uint8_t>& fields)
{
    ServerPacket packet(0xBF);
    packet.u16(subCommand).bytes(fields);
    return packet.bytes();
}

WirePacket stepKeysPacket(const uint32_t (&keys)[5])
{
    ServerPacket packet(0xBF);
    packet.u16(0x01);
    for (uint32_t key : keys)
        packet.u32(key);
    return packet.bytes();
}

WirePacket pickUpRejectPacket(uint8_t reason) { return fixed(0x27).u8(reason).bytes(); }

// Both carry nothing the client reads: 0x28 four bytes, 0x29 none.
WirePacket dropRejectClearPacket() { return fixed(0x28).u32(0).bytes(); }

WirePacket dropAcceptedPacket() { return fixed(0x29).bytes(); }

WirePacket deathScreenPacket(uint8_t action) { return fixed(0x2C).u8(action).bytes(); }

WirePacket swingPacket(uint32_t attacker, uint32_t defender)
{
    return fixed(0x2F).u8(0).u32(attacker).u32(defender).bytes();
}

WirePacket animationPacket(uint32_t serial, uint16_t action, uint16_t frameCount, uint16_t repeatCount,
    bool reverse, bool repeat, uint8_t delay)
{
    return fixed(0x6E)
        .u32(serial)
        .u16(action)
        .u16(frameCount)
        .u16(repeatCount)
        .u8(reverse ? 1 : 0)
        .u8(repeat ? 1 : 0)
        .u8(delay)
        .bytes();
}

WirePacket deathAnimationPacket(uint32_t serial, uint32_t corpse, uint32_t fall)
{
    return fixed(0xAF).u32(serial).u32(corpse).u32(fall).bytes();
}

WirePacket followPacket(uint32_t follower, uint32_t followed)
{
    return fixed(0x15).u32(follower).u32(followed).bytes();
}

WirePacket pathfindPacket(uint16_t x, uint16_t y, int16_t z)
{
    return fixed(0x38).u16(x).u16(y).u16(uint16_t(z)).bytes();
}

WirePacket sequencePacket(uint8_t value) { return fixed(0x7B).u8(value).bytes(); }

WirePacket damagePacket(uint32_t serial, uint16_t amount) { return fixed(0x0B).u32(serial).u16(amount).bytes(); }

WirePacket combatantPacket(uint32_t serial) { return fixed(0xAA).u32(serial).bytes(); }

WirePacket graphicalEffectPacket(uint8_t type, uint32_t source, uint32_t target, uint16_t graphic, uint16_t x,
    uint16_t y, int8_t z)
{
    ServerPacket packet = fixed(0x70);
    effectFields(packet, type, source, target, graphic, x, y, z);
    return packet.bytes();
}

WirePacket huedEffectPacket(uint8_t type, uint32_t source, uint32_t target, uint16_t graphic, uint16_t x,
    uint16_t y, int8_t z, uint32_t hue, uint32_t renderMode)
{
    ServerPacket packet = fixed(0xC0);
    effectFields(packet, type, source, target, graphic, x, y, z);
    return packet.u32(hue).u32(renderMode).bytes();
}

WirePacket particleEffectPacket(uint8_t type, uint32_t source, uint32_t target, uint16_t graphic, uint16_t x,
    uint16_t y, int8_t z, uint32_t hue, uint32_t renderMode)
{
    ServerPacket packet = fixed(0xC7);
    effectFields(packet, type, source, target, graphic, x, y, z);
    packet.u32(hue).u32(renderMode);
    // The particle fields: effect number, explosion effect and sound, the
    // layer and two more.
    return packet.u16(0x0BB8).u16(0).u16(0).u32(0).u8(0).u8(0).u8(0).bytes();
}

WirePacket soundPacket(uint8_t mode, uint16_t id, uint16_t x, uint16_t y, int16_t z)
{
    return fixed(0x54).u8(mode).u16(id).u16(0).u16(x).u16(y).u16(uint16_t(z)).bytes();
}

WirePacket musicPacket(uint16_t word) { return fixed(0x6D).u16(word).bytes(); }

WirePacket overallLightPacket(uint8_t level) { return fixed(0x4F).u8(level).bytes(); }

WirePacket personalLightPacket(uint32_t serial, uint8_t level) { return fixed(0x4E).u32(serial).u8(level).bytes(); }

WirePacket weatherPacket(uint8_t type, uint8_t count) { return fixed(0x65).u8(type).u8(count).u8(0).bytes(); }

WirePacket gameTimePacket(uint8_t hour, uint8_t minute, uint8_t second)
{
    return fixed(0x5B).u8(hour).u8(minute).u8(second).bytes();
}

WirePacket seasonPacket(uint8_t season, uint8_t override) { return fixed(0xBC).u8(season).u8(override).bytes(); }

WirePacket walkAcceptedPacket(uint8_t sequence, uint8_t notoriety)
{
    return fixed(0x22).u8(sequence).u8(notoriety).bytes();
}

WirePacket walkRefusedPacket(uint8_t sequence, uint16_t x, uint16_t y, uint8_t direction, int8_t z)
{
    return fixed(0x21).u8(sequence).u16(x).u16(y).u8(direction).u8(uint8_t(z)).bytes();
}

WirePacket asciiSpeechPacket(uint32_t serial, uint16_t body, uint8_t type, uint16_t hue, uint16_t font,
    const std::string& name, const std::string& text)
{
    ServerPacket packet(0x1C);
    packet.u32(serial).u16(body).u8(type).u16(hue).u16(font).text(name, 30).text(text, text.size() + 1);
    return packet.bytes();
}

WirePacket unicodeSpeechPacket(uint32_t serial, uint16_t body, uint8_t type, uint16_t hue, uint16_t font,
    const std::string& name, const std::u16string& text)
{
    ServerPacket packet(0xAE);
    packet.u32(serial).u16(body).u8(type).u16(hue).u16(font).text("ENU", 4).text(name, 30).unicode(text);
    return packet.bytes();
}

std::u16string spokenText(const WirePacket& packet)
{
    std::u16string text;
    if (packet.size() > 8 && packet[0] == 0x03) {
        for (size_t at = 8; at < packet.size() && packet[at]; ++at)
            text.push_back(char16_t(packet[at]));
        return text;
    }
    constexpr size_t kTextAt = 12;
    if (packet.size() <= kTextAt || packet[0] != 0xAD)
        return text;
    if (!(packet[3] & 0xC0)) {
        for (size_t at = kTextAt; at + 1 < packet.size() && (packet[at] || packet[at + 1]); at += 2)
            text.push_back(char16_t(packet[at] << 8 | packet[at + 1]));
        return text;
    }
    // Keyword-coded: a 12-bit count and as many 12-bit keywords, packed into
    // whole bytes, then the text in UTF-8.
    if (packet.size() < kTextAt + 2)
        return text;
    const size_t count = size_t(packet[kTextAt]) << 4 | packet[kTextAt + 1] >> 4;
    size_t at = kTextAt + (12 * (count + 1) + 7) / 8;
    while (at < packet.size() && packet[at]) {
        const uint8_t lead = packet[at];
        const size_t extra = lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        if (at + extra >= packet.size())
            break;
        char16_t unit = extra == 2 ? char16_t(lead & 0x0F) : extra == 1 ? char16_t(lead & 0x1F) : char16_t(lead);
        for (size_t i = 1; i <= extra; ++i)
            unit = char16_t(unit << 6 | (packet[at + i] & 0x3F));
        text.push_back(unit);
        at += extra + 1;
    }
    return text;
}

WirePacket openPaperdollPacket(uint32_t serial, const std::string& title, uint8_t flags)
{
    return fixed(0x88).u32(serial).text(title, 60).u8(flags).bytes();
}

WirePacket newSubserverPacket(uint8_t region, uint16_t left, uint16_t top, uint16_t width, uint16_t height)
{
    // The position the packet starts with is not read.
    return fixed(0x76).u16(0).u16(0).u16(0).u8(region).u16(left).u16(top).u16(width).u16(height).bytes();
}

WirePacket mobileUpdateExtendedPacket(uint32_t serial, uint16_t body, uint16_t x, uint16_t y, int8_t z,
    uint8_t direction, uint8_t flags, uint8_t notoriety)
{
    // The moving-mobile fields, then eight bytes the client reads and drops.
    WirePacket packet = mobileMovingPacket(serial, body, x, y, z, direction, 0, flags, notoriety);
    packet[0] = 0xD2;
    packet.insert(packet.end(), 8, 0);
    return packet;
}

WirePacket mobileIncomingExtendedPacket(uint32_t serial, uint16_t body, uint16_t x, uint16_t y, int8_t z,
    uint8_t direction, uint8_t notoriety, const std::vector<WornEntry>& worn)
{
    ServerPacket packet(0xD3);
    packet.u32(serial).u16(body).u16(x).u16(y).u8(uint8_t(z)).u8(direction).u16(0).u8(0).u8(notoriety);
    packet.u16(0).u16(0).u16(0);
    for (const WornEntry& entry : worn) {
        packet.u32(entry.serial).u16(uint16_t(entry.graphic | (entry.hue ? 0x8000 : 0))).u8(entry.layer);
        if (entry.hue)
            packet.u16(entry.hue);
    }
    packet.u32(0);
    return packet.bytes();
}

WirePacket semiVisiblePacket(uint32_t serial, uint8_t flag) { return fixed(0xC4).u32(serial).u8(flag).bytes(); }

WirePacket groupNoticePacket(uint32_t first, uint32_t second) { return fixed(0x39).u32(first).u32(second).bytes(); }

WirePacket movePlayerPacket(uint8_t direction) { return fixed(0x97).u8(direction).bytes(); }

WirePacket corpseEquipmentPacket(uint32_t corpse, const std::vector<CorpseLayerEntry>& entries)
{
    ServerPacket packet(0x89);
    packet.u32(corpse);
    for (const CorpseLayerEntry& entry : entries)
        packet.u8(entry.layer).u32(entry.serial);
    packet.u8(0);
    return packet.bytes();
}

WirePacket courseMapPacket(uint32_t serial, uint16_t art, const std::array<uint16_t, 6>& area)
{
    ServerPacket packet = fixed(0x90);
    packet.u32(serial).u16(art);
    for (uint16_t value : area)
        packet.u16(value);
    return packet.bytes();
}

WirePacket dragAnimationPacket(uint16_t graphic, uint32_t source, uint16_t sourceX, uint16_t sourceY, int8_t sourceZ,
    uint32_t target, uint16_t targetX, uint16_t targetY, int8_t targetZ)
{
    // No graphic offset; the two words after it (the amount among them) are
    // not read.
    return fixed(0x23)
        .u16(graphic)
        .u8(0)
        .u16(0)
        .u16(1)
        .u32(source)
        .u16(sourceX)
        .u16(sourceY)
        .u8(uint8_t(sourceZ))
        .u32(target)
        .u16(targetX)
        .u16(targetY)
        .u8(uint8_t(targetZ))
        .bytes();
}

WirePacket mobileAttributesPacket(uint32_t serial, uint16_t hits, uint16_t maxHits, uint16_t mana, uint16_t maxMana,
    uint16_t stamina, uint16_t maxStamina)
{
    return fixed(0x2D).u32(serial).u16(maxHits).u16(hits).u16(maxMana).u16(mana).u16(maxStamina).u16(stamina).bytes();
}

WirePacket manaPacket(uint32_t serial, uint16_t mana, uint16_t maxMana)
{
    return fixed(0xA2).u32(serial).u16(maxMana).u16(mana).bytes();
}

WirePacket staminaPacket(uint32_t serial, uint16_t stamina, uint16_t maxStamina)
{
    return fixed(0xA3).u32(serial).u16(maxStamina).u16(stamina).bytes();
}

WirePacket attackAcceptedPacket(uint32_t serial) { return fixed(0x30).u32(serial).bytes(); }

WirePacket attackEndedPacket(uint32_t serial)
{
    ServerPacket packet(0x31);
    packet.u32(serial).u8(0);
    return packet.bytes();
}

WirePacket warModePacket(uint8_t war, uint8_t style, uint8_t valueA, uint8_t valueB)
{
    return fixed(0x72).u8(war).u8(style).u8(valueA).u8(valueB).bytes();
}

std::vector<WirePacket> worldTourPackets(uint32_t player, uint16_t x, uint16_t y)
{
    constexpr uint16_t kShirt = 0x1517;
    constexpr uint16_t kBackpack = 0x0E75;
    constexpr uint16_t kHumanBody = 400;
    constexpr uint8_t kShirtLayer = 5;
    constexpr uint8_t kCloakLayer = 20;
    // The server's walk acts on every 19th request only.
    constexpr int kPathfindRun = 19;
    std::vector<WirePacket> tour {
        // The objects first, then what names them.
        worldItemPacket(kTourItem, kShirt, 3, uint16_t(x + 1), y, 0, 0x0021),
        mobileIncomingPacket(kTourMobile, kHumanBody, uint16_t(x + 2), uint16_t(y + 1), 0, 2, 3,
            { { kTourPack, kBackpack, 21, 0 } }),
        mobileIncomingPacket(kTourVictim, kHumanBody, uint16_t(x + 1), uint16_t(y + 2), 0, 4, 6, {}),
        containerContentsPacket(kTourPack, { { kTourContent, kShirt, 1, 40, 50 } }),
        containerItemPacket(kTourPack, { kTourAdded, kShirt, 2, 60, 70 }, 0x0022),
        wornItemPacket(kTourWorn, kShirt, kShirtLayer, kTourMobile, 0x0023),
        statusPacket(kTourMobile, "Visitor", 30, 60, 80),
        hitsPacket(kTourMobile, 25, 60),
        statusFlagsReplacePacket(kTourMobile, { { 1, 1 }, { 3, 4 } }),
        statusFlagsChangePacket(kTourMobile, { { 1, 0 }, { 5, 9 } }),
        mobileMovingPacket(kTourMobile, kHumanBody, uint16_t(x + 3), uint16_t(y + 1), 0, 2, 5),
        playerUpdatePacket(player, kHumanBody, 0x0024, 0, x, y, 3, 0),
        mobileNamePacket(kTourMobile, "Visitor"),
        // The sub-server's area, a guest in the extended forms with its
        // vital values, and what a few packets say about known objects.
        newSubserverPacket(0, 0, 0, kTourAreaWidth, kTourAreaHeight),
        mobileIncomingExtendedPacket(kTourGuest, kHumanBody, uint16_t(x - 1), uint16_t(y + 1), 0, 2, 2,
            { { kTourGuestCloak, kShirt, kCloakLayer, 0x0031 } }),
        mobileUpdateExtendedPacket(kTourGuest, kHumanBody, uint16_t(x - 1), uint16_t(y + 2), 0, 4, 0, 4),
        mobileAttributesPacket(kTourGuest, 11, 12, 13, 14, 15, 16),
        manaPacket(kTourGuest, 7, 14),
        staminaPacket(kTourGuest, 8, 16),
        semiVisiblePacket(kTourGuest, 1),
        groupNoticePacket(player, kTourGuest),
        worldItemPacket(kTourCorpse, kTourCorpseGraphic, kHumanBody, uint16_t(x + 2), uint16_t(y + 2), 0, 0),
        corpseEquipmentPacket(kTourCorpse, { { kShirtLayer, kTourWorn } }),
        worldItemPacket(kTourMap, kTourMapGraphic, 1, x, uint16_t(y + 1), 0, 0),
        courseMapPacket(kTourMap, kTourMapArt, kTourMapArea),
        dragAnimationPacket(kShirt, 0, uint16_t(x + 1), y, 0, kTourGuest, 0, 0, 0),
        stepKeysPacket({ 101, 102, 103, 104, 105 }),
        combatantPacket(kTourMobile),
        swingPacket(player, kTourMobile),
        damagePacket(kTourMobile, 5),
        animationPacket(kTourMobile, 12, 5, 1, false, false, 1),
        deathAnimationPacket(kTourVictim, 0, 0),
        // A new season loads the world around the player again and with it
        // the walking state: what follows keeps its effect.
        seasonPacket(3, 0),
        followPacket(player, kTourMobile),
    };
    for (int i = 0; i < kPathfindRun; ++i)
        tour.push_back(pathfindPacket(x, y, 0));
    const std::vector<WirePacket> rest {
        // After the season, whose reset puts the light levels back to 0.
        overallLightPacket(5),
        attackAcceptedPacket(kTourGuest),
        attackEndedPacket(kTourGuest),
        warModePacket(1, 2, 3, 4),
        // A turn to the south, which the server takes as done; after the
        // season, whose reset empties the walking queue it goes into.
        movePlayerPacket(4),
        graphicalEffectPacket(2, 0, 0, 0x3728, x, y, 0),
        huedEffectPacket(2, 0, 0, 0x36B0, x, y, 0, 0x0025, 2),
        // An effect and a sound recorded, played back when the sequence ends.
        sequencePacket(0),
        huedEffectPacket(2, 0, 0, 0x36B0, x, y, 0, 0x0027, 4),
        soundPacket(1, 0x0042, x, y, 0),
        sequencePacket(1),
        particleEffectPacket(2, 0, 0, 0x376A, x, y, 0, 0x0026, 3),
        soundPacket(1, 0x0041, x, y, 0),
        musicPacket(0x0009),
        personalLightPacket(player, 4),
        weatherPacket(0, 10),
        pickUpRejectPacket(1),
        dropRejectClearPacket(),
        dropAcceptedPacket(),
        deathScreenPacket(0),
        // Last: the end test waits for the time.
        gameTimePacket(6, 15, 0),
    };
    tour.insert(tour.end(), rest.begin(), rest.end());
    return tour;
}

} // namespace test
