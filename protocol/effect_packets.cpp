#include "protocol/effect_packets.h"

#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "data/client_services.h"
#include "data/def_tables.h"
#include "gump/missile_gump.h"
#include "gump/weather.h"
#include "protocol/packet_reader.h"
#include "protocol/protocol_services.h"
#include "protocol/world_object_packets.h"
#include "world/effect_calls.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/recorded_sequence.h"
#include "world/world_services.h"

namespace {

// The fields 0x70 carries and 0xC0 and 0xC7 begin with.
struct EffectFields {
    uint8_t type = 0;
    uint32_t source = 0;
    uint32_t target = 0;
    uint16_t graphic = 0;
    uint16_t sourceX = 0;
    uint16_t sourceY = 0;
    int8_t sourceZ = 0;
    uint16_t targetX = 0;
    uint16_t targetY = 0;
    int8_t targetZ = 0;
    uint8_t speed = 0;
    uint8_t duration = 0;
    uint8_t backward = 0;
    uint8_t pingPong = 0;
    uint8_t fixedDirection = 0;
    uint8_t explode = 0;
    uint32_t hue = 0;
    uint32_t renderMode = 0;
};

EffectFields readEffectFields(PacketReader& reader, bool hued)
{
    EffectFields fields;
    fields.type = reader.u8();
    fields.source = reader.u32();
    fields.target = reader.u32();
    fields.graphic = reader.u16();
    fields.sourceX = reader.u16();
    fields.sourceY = reader.u16();
    fields.sourceZ = reader.i8();
    fields.targetX = reader.u16();
    fields.targetY = reader.u16();
    fields.targetZ = reader.i8();
    fields.speed = reader.u8();
    fields.duration = reader.u8();
    fields.backward = reader.u8();
    fields.pingPong = reader.u8();
    fields.fixedDirection = reader.u8();
    fields.explode = reader.u8();
    if (hued) {
        fields.hue = reader.u32();
        fields.renderMode = reader.u32();
    }
    return fields;
}

// An object that is not a mobile counts as none: the effect then starts or
// ends at the given position.
Mobile* effectMobile(uint32_t serial) { return serial != 0 ? packetMobile(serial) : nullptr; }

void createFromFields(const EffectFields& fields, bool hued)
{
    Mobile* source = effectMobile(fields.source);
    Mobile* target = effectMobile(fields.target);
    uint32_t sourceXY = packXY(fields.sourceX, fields.sourceY);
    uint32_t targetXY = packXY(fields.targetX, fields.targetY);
    if (hued) {
        createEffect(fields.type, source, target, fields.graphic, sourceXY, fields.sourceZ, targetXY, fields.targetZ,
            fields.speed, fields.duration, fields.backward, fields.pingPong, fields.fixedDirection, fields.explode,
            int32_t(fields.hue), int32_t(fields.renderMode));
        return;
    }
    createEffectEx(fields.type, source, target, fields.graphic, sourceXY, fields.sourceZ, targetXY, fields.targetZ,
        fields.speed, fields.duration, fields.backward, fields.pingPong, fields.fixedDirection, fields.explode);
}

} // namespace

void handleGraphicalEffect(const uint8_t* packet)
{
    PacketReader reader(packet);
    EffectFields fields = readEffectFields(reader, false);
    if (reader.ok())
        createFromFields(fields, false);
}

void handleHuedEffect(const uint8_t* packet)
{
    PacketReader reader(packet);
    EffectFields fields = readEffectFields(reader, true);
    if (reader.ok())
        createFromFields(fields, true);
}

void handleParticleEffect(const uint8_t* packet)
{
    PacketReader reader(packet);
    EffectFields fields = readEffectFields(reader, true);
    // The particle fields that follow are for renderers this client does
    // not have.
    reader.u16();
    reader.u16();
    reader.u16();
    reader.u32();
    reader.u8();
    reader.u8();
    reader.u8();
    if (reader.ok() && fields.graphic > 1)
        createFromFields(fields, true);
}

void handlePlaySound(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint8_t mode = reader.u8();
    uint16_t id = reader.u16();
    reader.u16();
    uint16_t x = reader.u16();
    uint16_t y = reader.u16();
    uint16_t z = reader.u16();
    if (!reader.ok())
        return;
    if (mode == 0) {
        soundEffects().playAmbientLoop(id);
        return;
    }
    if (const DefTable* table = defTable(DefSlot::Sound); table && table->contains(id))
        id = table->translate(id, 0);
    if (id > kHighestServerSound)
        return;
    if (recordPositionalSound(id, x, y, int16_t(z)))
        return;
    worldService<WorldSounds>().playSoundAt(id, x, y, int16_t(z), 1.0f, false, 0, false);
}

void handlePlayMusic(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint16_t word = reader.u16();
    if (!reader.ok())
        return;
    uint16_t id = word & kMusicStopWord;
    queueServerMusic(id == kMusicStopWord ? kMusicStopId : id, uint16_t(word >> 12));
}

void handlePersonalLight(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    uint8_t level = reader.u8();
    PlayerMobile* self = player();
    if (reader.ok() && self && isPlayerSerial(serial))
        setLightModifier(*self, level);
}

void handleWeather(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint8_t type = reader.u8();
    uint8_t count = reader.u8();
    reader.i8();
    if (reader.ok())
        onWeatherPacket(type, count);
}

void handleGameTime(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint8_t hour = reader.u8();
    uint8_t minute = reader.u8();
    uint8_t second = reader.u8();
    if (reader.ok())
        clientShell().setGameTime(hour, minute, second);
}

void handleSequence(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint8_t value = reader.u8();
    if (!reader.ok())
        return;
    if (value == 0) {
        if (!startEffectRecording())
            windowNotices().showWaitingBox("already sequencing!");
        return;
    }
    if (!stopEffectRecording(value))
        windowNotices().showWaitingBox("not sequencing!");
}
