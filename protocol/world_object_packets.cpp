#include "protocol/world_object_packets.h"

#include "core/wide_text.h"
#include "data/client_services.h"
#include "data/settings_registry.h"
#include "data/targeting.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/property_cache.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "net/network_pump.h"
#include "net/shard_sessions.h"
#include "protocol/general_info_packet.h"
#include "protocol/login_state.h"
#include "protocol/packet_reader.h"
#include "protocol/protocol_services.h"
#include "protocol/protocol_text.h"
#include "protocol/session_packets.h"
#include "protocol/world_packet_windows.h"
#include "text/localization.h"
#include "world/light_pass.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/overhead_texts.h"
#include "world/visibility.h"
#include "world/walking.h"
#include "world/world_screen.h"

#include <cstdio>

namespace {

constexpr uint16_t kLoginConfirmHue = 55;
constexpr uint8_t kRequestStatus = 4;
constexpr uint8_t kRequestLoginStatus = 5;
constexpr uint16_t kSubScreenSize = 5;
constexpr uint16_t kSubLanguage = 11;
constexpr uint16_t kSubMapFiles = 15;
constexpr uint8_t kMapFilesTag = 10;
constexpr uint32_t kDefaultScreenWidth = 640;
constexpr uint32_t kDefaultScreenHeight = 480;
constexpr uint16_t kBodyMask = 0x3FFF;
// Room for the longest request sent here: the version text.
using ReplyStorage = PacketStorage<96>;

bool sendBuilt(bool built, const PacketBuffer& buffer) { return built && sendPacket(buffer); }

// The fields every mobile packet starts with.
struct MobileFields {
    uint32_t serial = 0;
    uint16_t body = 0;
    uint16_t x = 0;
    uint16_t y = 0;
    int8_t z = 0;
    uint8_t direction = 0;
    uint16_t hue = 0;
    uint8_t flags = 0;
    uint8_t notoriety = 0;
};

// The fields of 0x77 and 0x78; their extended forms add three words that
// nothing here uses.
MobileFields readMobileFields(PacketReader& reader, bool extended)
{
    MobileFields fields;
    fields.serial = reader.u32();
    fields.body = reader.u16();
    fields.x = reader.u16();
    fields.y = reader.u16();
    fields.z = reader.i8();
    fields.direction = reader.u8();
    fields.hue = reader.u16();
    fields.flags = reader.u8();
    fields.notoriety = reader.u8();
    if (extended) {
        reader.u16();
        reader.u16();
        reader.u16();
    }
    return fields;
}

// The player's own look from a mobile packet: its position stays the
// walking code's. The status bars redraw when the flags changed.
void applyPlayerLook(PlayerMobile& self, uint16_t body, uint16_t hue, uint8_t flags, bool lookToo)
{
    uint8_t oldFlags = self.flags;
    if (lookToo) {
        bool placed = self.isPlaced();
        if (placed)
            self.removeFromGrid();
        self.graphic = body & kBodyMask;
        self.applyGraphicAndHue(normalizeHue(hue));
        if (placed)
            self.place();
    }
    setObjectFlags(self, flags);
    if (self.flags != oldFlags)
        self.refreshStatusBars(1);
}

Mobile* findMobile(uint32_t serial)
{
    Item* object = findItemBySerial(serial);
    return object && object->isMobile() ? static_cast<Mobile*>(object) : nullptr;
}

void mobileMoving(const uint8_t* packet, bool extended)
{
    PacketReader reader(packet);
    MobileFields fields = readMobileFields(reader, extended);
    if (!reader.ok())
        return;
    Mobile* mobile = findMobile(fields.serial);
    if (!mobile)
        return;
    mobile->setNotoriety(fields.notoriety);
    if (mobile->isPlayer()) {
        applyPlayerLook(static_cast<PlayerMobile&>(*mobile), fields.body, fields.hue, fields.flags, !extended);
        return;
    }
    onObjectPacket(fields.serial, fields.body, 0, 1, fields.x, fields.y, fields.z, fields.direction, fields.hue,
        fields.flags);
}

// One equipment entry of an incoming mobile; false at the end mark or when
// the entry is cut short.
bool readEquipmentEntry(PacketReader& reader, uint32_t& serial, uint16_t& graphic, uint8_t& layer, uint16_t& hue)
{
    serial = reader.u32();
    if (!reader.ok() || serial == 0)
        return false;
    graphic = reader.u16();
    layer = reader.u8();
    hue = 0;
    if (graphic & 0x8000) {
        graphic &= 0x7FFF;
        hue = reader.u16();
    }
    return reader.ok();
}

void mobileIncoming(const uint8_t* packet, bool extended)
{
    PacketReader reader(packet);
    MobileFields fields = readMobileFields(reader, extended);
    if (!reader.ok())
        return;
    bool existed = findItemBySerial(fields.serial) != nullptr;
    bool isSelf = isPlayerSerial(fields.serial);
    PlayerMobile* self = player();
    if (isSelf) {
        if (!self)
            return;
        applyPlayerLook(*self, fields.body, fields.hue, fields.flags, true);
    } else {
        onObjectPacket(fields.serial, fields.body, 0, 1, fields.x, fields.y, fields.z, fields.direction, fields.hue,
            fields.flags);
    }

    // The mobile is taken out of the grid while its equipment changes, and
    // put back once with all of it.
    Mobile* mobile = isSelf ? self : findMobile(fields.serial);
    if (mobile) {
        mobile->stopAnimation();
        if (!isValidWorldObject(mobile))
            mobile = nullptr;
    }
    uint32_t mobileSerial = mobile ? mobile->serial : 0;
    if (mobile) {
        mobile->removeFromGrid();
        mobile->setNotoriety(fields.notoriety);
    }
    uint32_t itemSerial = 0;
    uint16_t graphic = 0;
    uint8_t layer = 0;
    uint16_t hue = 0;
    while (readEquipmentEntry(reader, itemSerial, graphic, layer, hue)) {
        if (mobile)
            equipItemOnMobile(mobileSerial, itemSerial, graphic, layer, hue);
    }
    // An equipment order may have destroyed what it replaced; the mobile is
    // found again rather than trusted.
    mobile = isSelf ? player() : findMobile(fields.serial);
    if (!mobile)
        return;
    if (Item* parent = mobile->container(); parent && !mobile->layerItem(Mobile::kMountLayer)) {
        // A mount that was ridden comes back into the world on its own.
        mobile->detach();
        mobile->enterWorldAt(mobile->x, mobile->y, mobile->z);
    } else if (!mobile->isDetached() && !mobile->container()) {
        mobile->hiddenCache = 0;
        mobile->place();
    }
    if (gumpFindForObject(mobile, false, false, gumpListHead(), false)) {
        ReplyStorage request;
        sendBuilt(buildStatusRequestPacket(request, kRequestStatus, mobile->serial), request);
    }
    if (self && !self->layerItem(Mobile::kMountLayer))
        self->mounted = 0;
    if (settings().getBoolSetting(u"ShowIncomingNames") && !existed && !(fields.flags & kObjectHidden)
        && fields.body != 0 && !isSelf) {
        ReplyStorage click;
        sendBuilt(buildSingleClickPacket(click, fields.serial), click);
    }
}

} // namespace

ServerMapArea& serverMapArea()
{
    static ServerMapArea area;
    return area;
}

bool isPlayerSerial(uint32_t serial)
{
    const PlayerMobile* self = player();
    return (playerSerial() != 0 && serial == playerSerial()) || (self && self->serial != 0 && self->serial == serial);
}

Mobile* packetMobile(uint32_t serial)
{
    Item* object = isPlayerSerial(serial) ? player() : findItemBySerial(serial);
    return object && object->isMobile() ? static_cast<Mobile*>(object) : nullptr;
}

void parseScreenSize(const std::string& text, uint32_t& width, uint32_t& height)
{
    int parsedWidth = 0;
    int parsedHeight = 0;
    if (std::sscanf(text.c_str(), "%dx%d", &parsedWidth, &parsedHeight) == 2 && parsedWidth > 0
        && parsedHeight > 0) {
        width = uint32_t(parsedWidth);
        height = uint32_t(parsedHeight);
        return;
    }
    width = kDefaultScreenWidth;
    height = kDefaultScreenHeight;
}

bool buildPlayerStatusRequest(PacketBuffer& buffer, uint32_t serial)
{
    return buildStatusRequestPacket(buffer, kRequestLoginStatus, serial);
}

bool buildScreenSizePacket(PacketBuffer& buffer, uint32_t width, uint32_t height)
{
    buildGeneralInfoPacket(buffer, kSubScreenSize);
    packetPutLong(buffer, width);
    packetPutLong(buffer, height);
    return !buffer.failed();
}

bool buildLanguagePacket(PacketBuffer& buffer, const std::string& code)
{
    char field[4] = {};
    for (size_t i = 0; i < 3 && i < code.size(); ++i)
        field[i] = code[i];
    buildGeneralInfoPacket(buffer, kSubLanguage);
    packetPutBytes(buffer, field, sizeof field);
    return !buffer.failed();
}

bool buildMapFilesPacket(PacketBuffer& buffer, uint16_t mapFileMask)
{
    buildGeneralInfoPacket(buffer, kSubMapFiles);
    packetPutByte(buffer, kMapFilesTag);
    packetPutLong(buffer, mapFileMask & 0xFFu);
    return !buffer.failed();
}

void handleOverallLight(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint8_t level = reader.u8();
    if (reader.ok())
        setGlobalLightLevel(level);
}

void handleLoginConfirm(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    reader.u32();
    uint16_t body = reader.u16();
    uint16_t x = reader.u16();
    uint16_t y = reader.u16();
    int16_t z = int16_t(reader.u16());
    uint8_t direction = reader.u8();
    uint8_t region = reader.u8();
    reader.u32();
    ServerMapArea area;
    area.left = reader.u16();
    area.top = reader.u16();
    area.width = reader.u16();
    area.height = reader.u16();
    area.region = region;
    reader.skip(6);
    if (!reader.ok())
        return;

    ShardSession* session = currentSession();
    LoginSession& login = loginSession();
    const std::string& shardName = session ? session->name : login.shardName;
    clientShell().setWindowTitle(bytesToWideString(login.playerName + " (" + shardName + ")"));
    windowNotices().addSystemMessage(kLoginConfirmHue, kSystemMessageFont, "Login confirm on " + shardName);
    if (session) {
        session->playerSerial = serial;
        session->x = int16_t(x);
        session->y = int16_t(y);
        session->z = z;
        session->confirmByte = direction;
        session->facet = region;
        session->confirmValue = uint32_t(int32_t(z));
        if (session->connection)
            session->connection->setConfirmed(true);
        if (session->autoSwitchRequest != -1 && session->connection && session->connection->isOpen())
            switchToShard(session->connection->handle());
        // A shard behind the shown one keeps its confirmation for when it is
        // switched to; the world is the shown shard's.
        if (!isLiveSession(session) || session->connection != currentGameConnection())
            return;
    }

    serverMapArea() = area;
    setPlayerSerial(serial);
    refreshPlayerObjectSerial();
    PlayerMobile* self = player();
    if (!self)
        return;
    self->attackTarget = 0;
    self->followSerial = 0;
    self->following = 0;
    self->highlightedSerial = 0;
    self->graphic = body & kBodyMask;
    self->applyGraphicAndHue(self->baseHue);
    resetWorldForLogin();
    setDeathScreenShown(false);
    self->direction = direction & 7;
    self->z = z;
    self->enterWorldAt(x, y, z);
    setPlayerPosition(x, y, z, region);

    loginScreens().closeFrontEndBoxes();
    windowNotices().addSystemMessage(0, kSystemMessageFont, "Welcome to Vardun Online!");
    clearWorldBackBuffer();
    setInWorldFlag(true);
    updateRoofLimits();

    ReplyStorage reply;
    sendBuilt(buildPlayerStatusRequest(reply, serial), reply);
    service<StatusWindows>().clearSkillWindowRequest();
    sendBuilt(buildVersionReplyPacket(reply), reply);
    uint32_t width = 0;
    uint32_t height = 0;
    parseScreenSize(settings().getStringSetting(u"GamePlayWindowSize"), width, height);
    sendBuilt(buildScreenSizePacket(reply, width, height), reply);
    sendBuilt(buildLanguagePacket(reply, getLanguageCode()), reply);
    sendBuilt(buildMapFilesPacket(reply, clientShell().mapFileMask()), reply);
    propertyListReset();
}

void handleNewSubserver(const uint8_t* packet)
{
    PacketReader reader(packet);
    reader.u16();
    reader.u16();
    reader.u16();
    ServerMapArea area;
    area.region = reader.u8();
    area.left = reader.u16();
    area.top = reader.u16();
    area.width = reader.u16();
    area.height = reader.u16();
    if (!reader.ok())
        return;
    serverMapArea() = area;
    setPlayerPosition(-1, -1, -1, area.region);
    setInWorldFlag(true);
}

void handleDeleteObject(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    if (!reader.ok() || isPlayerSerial(serial))
        return;
    if (!deleteObjectBySerial(serial))
        return;
    DragState& drag = dragState();
    if (drag.dragging && drag.serial == serial)
        drag.dragging = false;
    service<StatusWindows>().closeTargetBarsShowing(serial);
}

void handlePlayerUpdate(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    uint16_t body = reader.u16();
    reader.u8();
    uint16_t hue = reader.u16();
    uint8_t flags = reader.u8();
    uint16_t x = reader.u16();
    uint16_t y = reader.u16();
    uint16_t region = reader.u16();
    uint8_t direction = reader.u8();
    int8_t z = reader.i8();
    PlayerMobile* self = player();
    if (!reader.ok() || !self || !isPlayerSerial(serial))
        return;
    service<WorldEventWindows>().closeBankBox();
    clearResyncSent();
    bool placed = self->isPlaced();
    self->removeFromGrid();
    self->x = int16_t(x);
    self->y = int16_t(y);
    self->z = z;
    self->graphic = body & kBodyMask;
    // The walking tables are indexed by the facing; the running bit and
    // anything else above it are not a facing.
    self->direction = direction & 7;
    if (placed)
        self->place();
    setPlayerPosition(x, y, z, region);
    uint8_t oldFlags = self->flags;
    self->applyGraphicAndHue(normalizeHue(hue));
    setObjectFlags(*self, flags);
    resyncPlayerPosition(-1, -1, -1, -1);
    if (self->flags != oldFlags)
        self->refreshStatusBars(1);
}

void handleMoveReject(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint8_t sequence = reader.u8();
    uint16_t x = reader.u16();
    uint16_t y = reader.u16();
    uint8_t direction = reader.u8();
    int8_t z = reader.i8();
    if (!reader.ok())
        return;
    resyncPlayerPosition(sequence, x, y, z);
    if (PlayerMobile* self = player())
        self->direction = direction & 7;
}

void handleMoveAck(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint8_t sequence = reader.u8();
    uint8_t notoriety = reader.u8();
    if (!reader.ok())
        return;
    if (PlayerMobile* self = player())
        self->setNotoriety(notoriety);
    onMoveAck(sequence);
}

void handleMobileMoving(const uint8_t* packet) { mobileMoving(packet, false); }

void handleMobileUpdateExtended(const uint8_t* packet) { mobileMoving(packet, true); }

void handleMobileIncoming(const uint8_t* packet) { mobileIncoming(packet, false); }

void handleMobileIncomingExtended(const uint8_t* packet) { mobileIncoming(packet, true); }

void handleWorldItem(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    bool hasAmount = serial & 0x80000000u;
    serial &= 0x7FFFFFFFu;
    uint16_t graphic = reader.u16();
    bool hasIncrement = graphic & 0x8000;
    graphic &= 0x7FFF;
    uint16_t amount = hasAmount ? reader.u16() : 1;
    uint8_t increment = hasIncrement ? reader.u8() : 0;
    uint16_t x = reader.u16();
    bool hasDirection = x & 0x8000;
    x &= 0x7FFF;
    uint16_t y = reader.u16();
    bool hasHue = y & 0x8000;
    bool hasFlags = y & 0x4000;
    y &= 0x3FFF;
    uint8_t direction = hasDirection ? reader.u8() : 0;
    int8_t z = reader.i8();
    uint16_t hue = hasHue ? reader.u16() : 0;
    uint8_t flags = hasFlags ? reader.u8() : 0;
    if (!reader.ok() || isPlayerSerial(serial))
        return;
    onObjectPacket(serial, graphic, int8_t(increment), amount, x, y, z, direction, hue, flags);
}

void handleSemiVisible(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    uint8_t flag = reader.u8();
    ShardSession* session = currentSession();
    if (!reader.ok() || !session)
        return;
    if (serial == 0xFFFFFFFF) {
        for (uint32_t shown : session->semiVisible) {
            if (WorldObject* object = findObjectBySerial(shown))
                object->invalidate();
        }
        session->semiVisible.clear();
        return;
    }
    WorldObject* object = findObjectBySerial(serial);
    if (!object)
        return;
    if (flag != 0)
        session->semiVisible.insert(serial);
    else
        session->semiVisible.erase(serial);
    object->invalidate();
}

void handleGroupNotice(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t first = reader.u32();
    uint32_t second = reader.u32();
    PlayerMobile* self = player();
    if (!reader.ok() || !self)
        return;
    if (first == 0 && second == 0) {
        showOverheadText(*self, "Illegal group.", 0, kSystemMessageFont, 0, false);
    } else if (first == 0 && second == 1) {
        showOverheadText(*self, "Removed from group.", 0, kSystemMessageFont, 0, false);
    } else if (isPlayerSerial(first)) {
        if (Item* member = findItemBySerial(second))
            showOverheadText(*member, "Now grouped.", 0, kSystemMessageFont, 0, false);
    }
}

void handleMovePlayer(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint8_t direction = reader.u8();
    if (reader.ok())
        onServerStep(direction);
}
