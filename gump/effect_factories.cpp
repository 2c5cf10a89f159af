#include "gump/gump_manager.h"
#include "gump/missile_gump.h"
#include "world/mobile.h"
#include "world/recorded_sequence.h"

namespace {

// The call a factory's arguments describe; nothing for unknown kinds.
bool describeCall(int32_t kind, const Mobile* source, const Mobile* target, int32_t art, uint32_t sourceXY,
    int32_t sourceZ, uint32_t targetXY, int32_t targetZ, int32_t speed, int32_t duration, int32_t backward,
    int32_t pingPong, int32_t fixedDirection, int32_t explode, EffectCall& call)
{
    call.art = uint16_t(art);
    call.sourceXY = sourceXY;
    call.sourceZ = int16_t(sourceZ);
    call.targetXY = targetXY;
    call.targetZ = int16_t(targetZ);
    call.sourceMobile = source ? source->serial : 0;
    call.targetMobile = target ? target->serial : 0;
    call.speed = uint8_t(speed);
    call.duration = uint8_t(duration);
    call.backward = uint8_t(backward);
    call.pingPong = uint8_t(pingPong);
    call.fixedDirection = uint8_t(fixedDirection);
    call.explode = uint8_t(explode);
    switch (kind & 0xFF) {
    case 0:
        if (source && target)
            call.kind = EffectKind::MovingMobileToMobile;
        else if (source)
            call.kind = EffectKind::MovingMobileToLocation;
        else if (target)
            call.kind = EffectKind::MovingLocationToMobile;
        else
            call.kind = EffectKind::MovingLocationToLocation;
        return true;
    case 1:
        call.kind = EffectKind::Lightning;
        return true;
    case 2:
        call.kind = EffectKind::FixedAtLocation;
        return true;
    case 3:
        call.kind = EffectKind::FixedOnMobile;
        return true;
    default:
        return false;
    }
}

MissileGump* buildWith(const EffectCall& call, Mobile* source, Mobile* target)
{
    bool fixedDirection = call.fixedDirection != 0;
    bool explode = call.explode != 0;
    switch (call.kind) {
    case EffectKind::FixedAtLocation:
        return MissileGump::fixedAtLocation(call.sourceXY, call.sourceZ, call.art, call.speed, call.duration,
            call.backward != 0, call.pingPong != 0, call.hue, call.renderMode);
    case EffectKind::FixedOnMobile:
        return MissileGump::fixedOnMobile(source, call.art, call.speed, call.duration, call.backward != 0,
            call.pingPong != 0, call.hue, call.renderMode);
    case EffectKind::Lightning:
        return MissileGump::lightningOnMobile(source, call.hue, call.renderMode);
    case EffectKind::MovingLocationToLocation:
        return MissileGump::movingLocationToLocation(call.sourceXY, call.sourceZ, call.targetXY, call.targetZ,
            call.art, call.speed, fixedDirection, explode, call.hue, call.renderMode);
    case EffectKind::MovingLocationToMobile:
        return MissileGump::movingLocationToMobile(call.sourceXY, call.sourceZ, target, call.art, call.speed,
            fixedDirection, explode, call.hue, call.renderMode);
    case EffectKind::MovingMobileToLocation:
        return MissileGump::movingMobileToLocation(source, call.targetXY, call.targetZ, call.art, call.speed,
            fixedDirection, explode, call.hue, call.renderMode);
    case EffectKind::MovingMobileToMobile:
        return MissileGump::movingMobileToMobile(
            source, target, call.art, call.speed, fixedDirection, explode, call.hue, call.renderMode);
    }
    return nullptr;
}

void linkBuilt(MissileGump* gump)
{
    if (gump)
        gump->link();
}

void createDescribed(int32_t kind, Mobile* source, Mobile* target, int32_t art, uint32_t sourceXY, int32_t sourceZ,
    uint32_t targetXY, int32_t targetZ, int32_t speed, int32_t duration, int32_t backward, int32_t pingPong,
    int32_t fixedDirection, int32_t explode, bool hued, int32_t hue, int32_t renderMode)
{
    EffectCall call;
    if (!describeCall(kind, source, target, art, sourceXY, sourceZ, targetXY, targetZ, speed, duration, backward,
            pingPong, fixedDirection, explode, call))
        return;
    call.hued = hued;
    call.hue = hue;
    call.renderMode = renderMode;
    if (recordEffectCall(call))
        return;
    linkBuilt(buildWith(call, source, target));
}

} // namespace

void createEffectEx(int32_t kind, Mobile* source, Mobile* target, int32_t art, uint32_t sourceXY, int32_t sourceZ,
    uint32_t targetXY, int32_t targetZ, int32_t speed, int32_t duration, int32_t backward, int32_t pingPong,
    int32_t fixedDirection, int32_t explode)
{
    createDescribed(kind, source, target, art, sourceXY, sourceZ, targetXY, targetZ, speed, duration, backward,
        pingPong, fixedDirection, explode, false, 0, 0);
}

void createEffect(int32_t kind, Mobile* source, Mobile* target, int32_t art, uint32_t sourceXY, int32_t sourceZ,
    uint32_t targetXY, int32_t targetZ, int32_t speed, int32_t duration, int32_t backward, int32_t pingPong,
    int32_t fixedDirection, int32_t explode, int32_t hue, int32_t renderMode)
{
    createDescribed(kind, source, target, art, sourceXY, sourceZ, targetXY, targetZ, speed, duration, backward,
        pingPong, fixedDirection, explode, true, hue, renderMode);
}

void createDragEffect(int32_t art, uint32_t sourceXY, int32_t sourceZ, uint32_t targetXY, int32_t targetZ,
    int32_t speed, int32_t fixedDirection, int32_t explode)
{
    linkBuilt(MissileGump::movingLocationToLocation(
        sourceXY, sourceZ, targetXY, targetZ, art, speed, fixedDirection != 0, explode != 0));
}

void createDragEffectToObject(int32_t art, uint32_t sourceXY, int32_t sourceZ, Mobile* target, int32_t speed,
    int32_t fixedDirection, int32_t explode)
{
    linkBuilt(
        MissileGump::movingLocationToMobile(sourceXY, sourceZ, target, art, speed, fixedDirection != 0, explode != 0));
}

void createDragEffectFromObject(int32_t art, Mobile* source, uint32_t targetXY, int32_t targetZ, int32_t speed,
    int32_t fixedDirection, int32_t explode)
{
    linkBuilt(
        MissileGump::movingMobileToLocation(source, targetXY, targetZ, art, speed, fixedDirection != 0, explode != 0));
}

void createDragEffectBetweenObjects(
    int32_t art, Mobile* source, Mobile* target, int32_t speed, int32_t fixedDirection, int32_t explode)
{
    linkBuilt(MissileGump::movingMobileToMobile(source, target, art, speed, fixedDirection != 0, explode != 0));
}

MissileGump* buildEffect(const EffectCall& call, RecordedSequence* sequence)
{
    MissileGump* gump = buildWith(call, findLiveMobile(call.sourceMobile), findLiveMobile(call.targetMobile));
    if (!gump)
        return nullptr;
    gump->setSequence(sequence);
    gump->link();
    return gump;
}

bool MissileEffects::build(const EffectCall& call, RecordedSequence* sequence)
{
    return buildEffect(call, sequence) != nullptr;
}

void MissileEffects::mobileDestroyed(Mobile& mobile)
{
    // Every effect riding on the mobile or flying at it ends. An ending
    // effect may start others (a waiting sequence), which never name this
    // mobile: it already counts as gone.
    GumpListCursor cursor(gumpListHead());
    while (CGump* gump = cursor.take()) {
        if (gump->is(GumpKind::Missile) && static_cast<MissileGump*>(gump)->targetObject() == &mobile)
            closeGump(gump);
    }
}

void MissileEffects::attachedPictures(const Mobile& mobile, std::vector<EffectPicture>& out)
{
    out.clear();
    for (const MissileGump* effect : attachedEffects(mobile))
        out.push_back(effect->picture());
}
