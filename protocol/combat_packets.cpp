#include "protocol/combat_packets.h"

#include "audio/music_player.h"
#include "data/view_range.h"
#include "gump/gump_manager.h"
#include "protocol/packet_reader.h"
#include "protocol/protocol_services.h"
#include "protocol/protocol_text.h"
#include "protocol/window_walks.h"
#include "protocol/world_object_packets.h"
#include "protocol/world_packet_windows.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/overhead_texts.h"
#include "world/path_walk.h"
#include "world/recorded_sequence.h"
#include "world/walking.h"

namespace {

constexpr uint8_t kResurrectAction = 1;
constexpr uint16_t kPlayerDamageHue = 52;
constexpr uint16_t kOtherDamageHue = 33;

void closeModal()
{
    if (CGump* modal = gumpModal(); modal && isValidGump(modal))
        closeGump(modal);
}

uint32_t& combatant()
{
    static uint32_t serial = 0;
    return serial;
}

} // namespace

uint32_t combatantSerial() { return combatant(); }

void handleDeathScreen(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint8_t action = reader.u8();
    if (!reader.ok())
        return;
    gumpCloseAllClosable();
    closeModal();
    if (action == kResurrectAction)
        return;
    closeTopLevelGumps(GumpKind::DragGump);
    closeTopLevelGumps(GumpKind::OverheadText);
    service<WorldEventWindows>().playerDied();
    // Walking stops while the world fades; the end of the fade starts it again.
    setDeathScreenShown(true);
    clientShell().startDeathFade();
    playMusic(kDeathMusic, 1, 1);
    if (PlayerMobile* self = player(); self && self->warMode)
        setWarMode(0);
}

void handleSwing(const uint8_t* packet)
{
    PacketReader reader(packet);
    reader.u8();
    reader.u32();
    uint32_t defender = reader.u32();
    if (reader.ok())
        setCombatantSerial(defender);
}

void handleAttackAccepted(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    PlayerMobile* self = player();
    if (!reader.ok() || !self)
        return;
    self->attackTarget = findObjectBySerial(serial) ? serial : 0;
}

void handleAttackEnded(const uint8_t* packet)
{
    PacketReader reader(packet);
    reader.u32();
    uint8_t count = reader.u8();
    // Each record names how many follow it; the walk ends where the packet does.
    while (reader.ok() && count > 0) {
        reader.u32();
        count = reader.u8();
    }
}

void handleCombatant(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    if (!reader.ok())
        return;
    if (WorldObject* previous = combatant() ? findObjectBySerial(combatant()) : nullptr)
        previous->invalidate();
    combatant() = serial;
    if (serial == 0)
        return;
    if (WorldObject* object = findObjectBySerial(serial)) {
        object->invalidate();
        service<StatusWindows>().showCombatant(serial);
    }
}

void handleDamage(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    uint16_t amount = reader.u16();
    if (!reader.ok() || amount == 0)
        return;
    showDamageNumber(serial, amount);
}

void showDamageNumber(uint32_t serial, uint16_t amount)
{
    uint16_t hue = isPlayerSerial(serial) ? kPlayerDamageHue : kOtherDamageHue;
    service<GeneralInfoWindows>().showDamage(serial, amount, hue);
}

void handleDeathAnimation(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    uint32_t corpse = reader.u32();
    uint32_t fall = reader.u32();
    Mobile* mobile = reader.ok() ? packetMobile(serial) : nullptr;
    // The body kinds' actions for a fall value of 0 are the forward ones.
    if (mobile)
        mobile->die(corpse, fall == 0);
}

void handleAnimation(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    uint16_t action = reader.u16();
    uint16_t frameCount = reader.u16();
    uint16_t repeatCount = reader.u16();
    uint8_t reverse = reader.u8();
    uint8_t repeat = reader.u8();
    uint8_t delay = reader.u8();
    Mobile* mobile = reader.ok() ? packetMobile(serial) : nullptr;
    // While the server records a show, its animation is kept for the show.
    if (mobile && !recordMobileAnimation(*mobile, action, frameCount, delay, repeatCount, reverse != 0, repeat != 0))
        mobile->playAnimation(action, frameCount, delay, repeatCount, reverse != 0, repeat != 0);
}

void handleFollow(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t follower = reader.u32();
    uint32_t followed = reader.u32();
    if (!reader.ok())
        return;
    if (follower == 0 || followed == 0) {
        if (PlayerMobile* self = player())
            showOverheadText(*self, "No longer following.", 0, kSystemMessageFont, 0, false);
        setServerFollow(false);
    }
    if (Item* object = followed ? findItemBySerial(followed) : nullptr) {
        showOverheadText(*object, "Now following.", 0, kSystemMessageFont, 0, false);
        setServerFollow(true);
    }
}

void handlePathfind(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint16_t x = reader.u16();
    uint16_t y = reader.u16();
    int16_t z = int16_t(reader.u16());
    if (reader.ok())
        onServerPathfind(x, y, z);
}
