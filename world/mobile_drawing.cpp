#include "world/mobile_drawing.h"

#include "data/data_files.h"
#include "data/def_tables.h"
#include "gfx/art_image.h"
#include "net/buffered_connection.h"
#include "world/body_animation.h"
#include "world/body_tables.h"
#include "world/container_item.h"
#include "world/dying_links.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/mobile_services.h"
#include "world/object_manager.h"
#include "world/sitting_mobiles.h"
#include "world/static_object.h"
#include "world/tile_data.h"
#include "world/world_screen.h"
#include "world/world_services.h"

#include <algorithm>
#include <optional>

namespace {

constexpr int32_t kUndrawnBody = 1000;
constexpr uint16_t kPartialHueBit = 0x8000;
constexpr int32_t kMaxAttachedEffects = 64;

// The remap table's hue for an id it remaps, when `hue` is 0.
uint16_t remapTableHue(DefSlot slot, int32_t id, uint16_t hue)
{
    const DefTable* table = defTable(slot);
    if (hue != 0 || !table || id < 0 || id > 0xFFFF || !table->contains(uint16_t(id)))
        return hue;
    const DefEntry* entry = table->getEntry(uint16_t(id));
    return entry ? uint16_t(entry->hue) : hue;
}

bool castsShadow(int32_t body)
{
    switch (body) {
    case 21:
    case 52:
    case 95:
    case 150:
    case 151:
    case 221:
        return false;
    default:
        return true;
    }
}

// The item graphic whose tile record names the body a remapped mount shows.
int32_t remappedMountGraphic(int32_t remappedBody)
{
    switch (remappedBody) {
    case 204:
        return 16034;
    case 210:
        return 16035;
    case 218:
        return 16036;
    case 219:
        return 16037;
    case 220:
        return 16038;
    case 226:
        return 16032;
    case 228:
        return 16033;
    default:
        return 16031;
    }
}

int32_t mountActionForRider(const MountRow* row, int32_t mountBody, int32_t riderAction)
{
    if (!row)
        return riderAction;
    if (bodyTypes().getBodyType(mountBody) != BodyType::Animal)
        return std::min(riderAction, 13);
    switch (riderAction) {
    case 5:
    case 6:
    case 25:
        return 2;
    case 23:
        return 0;
    case 24:
        return 1;
    case 26:
    case 27:
    case 28:
    case 29:
        return bodyTypes().hasFlag(mountBody, 0x4000) ? 2 : 5;
    default:
        return std::min(riderAction, 13);
    }
}

std::optional<AnimationFrameRecord> loadMountFrame(const Mobile& rider, const MountChoice& mount)
{
    AnimationState state = animationStateOf(rider);
    state.action = mount.action;
    state.repetition = 0;
    if (state.serverFrame >= 5)
        state.serverFrame = 4;
    // The mount's record has its own frame count; the rider's action keeps the
    // count of the rider's records.
    return getAnimationFrame(mount.body, state, &rider);
}

// Everything one picture of a standing figure needs, resolved once.
struct Figure {
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    bool mirrored = false;
    int32_t facing = 0;
    // After the body's lookup: the action chosen for the body.
    AnimationState state;
    std::optional<AnimationFrameRecord> bodyFrame;
    MountChoice mount;
    int32_t lift = 0;
    bool humanBody = false;
};

bool loadFigure(const Mobile& mobile, Figure& figure, uint16_t* frameCount)
{
    mobile.anchorPoint(figure.anchorX, figure.anchorY);
    figure.facing = mobile.direction & 7;
    figure.mirrored = storedFacing(figure.facing).mirrored;
    figure.state = animationStateOf(mobile);
    figure.bodyFrame = getAnimationFrame(ghostBodyAnimation(mobile.graphic), figure.state, &mobile, frameCount);
    if (!figure.bodyFrame)
        return false;
    figure.mount = chooseMount(mobile, figure.state.action);
    figure.lift = figure.mount.item ? figure.mount.riderLift : 0;
    figure.humanBody = bodyTypes().getBodyType(mobile.graphic) == BodyType::Human;
    return true;
}

// Calls `visit`(item, animation id, hue) for every worn item the figure
// shows, in drawing order.
template <typename Visit>
void forEachShownEquipment(const Mobile& mobile, int32_t facing, Visit visit)
{
    const Item* cover = mobile.layerItem(kMobileCoverLayer);
    bool onlyCover = (cover && cover->graphic == kMobileCoverOnlyGraphic) || mobile.isDead();
    EquipmentRules& rules = worldService<EquipmentRules>();
    const LayerOrder& order = equipmentLayerOrder(facing, usesAlternateLayerOrder(shownLayerItem(mobile, 13)));
    for (size_t entry = 1; entry < order.size(); ++entry) {
        int32_t layer = order[entry];
        if (layer == Mobile::kBackpackLayer || (onlyCover && layer != kMobileCoverLayer))
            continue;
        const Item* item = shownLayerItem(mobile, layer);
        if (!item || rules.isEquipmentLayerHidden(layer, mobile))
            continue;
        int32_t animation = 0;
        uint16_t hue = 0;
        if (!equipmentAnimation(*item, animation, hue))
            continue;
        if (layer == 4 && animation >= 487 && animation <= 489) {
            const Item* under = mobile.layerItem(3);
            if (under && itemAnimationId(*under) == 476) {
                animation = 431;
                if (hue == 0)
                    hue = 1175;
            }
        }
        visit(*item, equipConv().getConvertedEquipGraphic(mobile.graphic, animation), hue);
    }
}

template <typename Visit>
void forEachCorpseEquipment(const Corpse& corpse, Visit visit)
{
    const LayerOrder& order = equipmentLayerOrder(corpse.direction & 7, usesAlternateLayerOrder(corpse.layerItem(13)));
    for (uint8_t layer : order) {
        if (layer == Mobile::kBackpackLayer || layer == Mobile::kMountLayer)
            continue;
        const Item* item = corpse.layerItem(layer);
        int32_t animation = 0;
        uint16_t hue = 0;
        if (item && equipmentAnimation(*item, animation, hue))
            visit(*item, animation, hue);
    }
}

// The hues of one picture: the highlight rules for other mobiles, the
// player's own for the player.
struct FigureHues {
    uint16_t body = 0;
    uint16_t mount = 0;
    bool bodyShadow = true;
    bool forced = false;
    uint16_t forcedHue = 0;
    // Every worn item grey: the player hidden, or the dead rule.
    bool greyEquipment = false;

    uint16_t equipment(const Item& item, uint16_t itemHue) const
    {
        if (greyEquipment)
            return kMobileGreyHue;
        uint16_t hue = forced ? forcedHue : itemHue;
        return hue == kMobileGreyHue ? hue : withPartialHue(item, hue);
    }
};

FigureHues figureHues(const Mobile& mobile, const MountChoice& mount)
{
    FigureHues hues;
    uint16_t base = bodyBaseHue(mobile.graphic, mobile.baseHue);
    bool hidden = (mobile.flags & kObjectHidden) != 0;
    if (mobile.isPlayer()) {
        hues.body = hidden ? kMobileGreyHue : base;
        hues.mount = hidden ? kMobileGreyHue : mount.hue;
        hues.greyEquipment = hidden;
        hues.bodyShadow = !hidden && !mobile.isDead() && castsShadow(mobile.graphic);
        return hues;
    }
    const PlayerMobile* self = player();
    MobileHighlights& highlights = worldService<MobileHighlights>();
    auto force = [&hues](uint16_t hue) {
        hues.forced = true;
        hues.forcedHue = hue;
    };
    bool pointerHighlights = highlights.isTargetCursorUp() || (self && self->warMode);
    if (pointerHighlights && worldScreen().objectUnderPointer == &mobile)
        force(getNotorietyHue(&mobile));
    else if (mobile.serial != 0 && mobile.serial == highlights.combatantSerial())
        force(getNotorietyHue(&mobile));
    else if (self && self->highlightedSerial != 0 && mobile.serial == self->highlightedSerial)
        force(getNotorietyHue(&mobile));
    if (hidden)
        force(kMobileGreyHue);
    bool deadRule = true;
    if (highlights.isMarkedSerial(mobile.serial)) {
        force(kMobileMarkedHue);
        deadRule = false;
    }
    uint32_t customer = highlights.gmCustomerSerial();
    if (customer != 0 && mobile.serial == customer) {
        uint16_t sofar = hues.forced ? hues.forcedHue : base;
        force(sofar == kMobileMarkedHue ? kMobileMarkedCustomerHue : kMobileCustomerHue);
        deadRule = false;
    }
    hues.body = hues.forced ? hues.forcedHue : base;
    if (deadRule && ((self && self->isDead()) || mobile.isDead())) {
        hues.body = kMobileGreyHue;
        hues.greyEquipment = true;
    }
    hues.mount = hidden ? kMobileGreyHue : hues.forced ? hues.forcedHue : mount.hue;
    hues.bodyShadow = castsShadow(mobile.graphic);
    return hues;
}

// Low bodies are cut at their base line, so that what stands in front of
// their cell covers their feet; a slice's band clip is left as it is.
ScreenRect lowBodyClip(const ScreenRect& clip, bool isLow, int32_t baseY)
{
    ScreenRect cut = clip;
    if (isLow && !isDrawingSlice())
        cut.bottom = std::min(cut.bottom, baseY - worldScreen().viewPixelY);
    return cut;
}

bool isLowFigure(const Mobile& mobile)
{
    if (bodyTypes().isAnimalLike(mobile.graphic))
        return true;
    const Item* mount = mobile.layerItem(Mobile::kMountLayer);
    return mobile.isMounted() && mount && bodyTypes().isAnimalLike(mountGraphicToBody(mount->graphic));
}

void setCellReachFrom(ContainerItem& object, const ScreenRect& rect, int32_t anchorX)
{
    int32_t reach = rect.right - anchorX + 22;
    object.setCellReach(reach > 44 ? reach / 44 : 0);
}

bool isCorpseOfDyingMobile(uint32_t corpseSerial)
{
    for (const DyingLink& link : dyingLinks()) {
        if (link.corpseSerial == corpseSerial)
            return true;
    }
    return false;
}

void corpseAnchor(const Corpse& corpse, int32_t& anchorX, int32_t& anchorY)
{
    anchorX = (corpse.x - corpse.y + mapView().mapWidth) * 22 + 1;
    anchorY = (corpse.x + corpse.y) * 22 - corpse.z * 4 + 20;
}

} // namespace



MountChoice chooseMount(const Mobile& rider, int32_t riderAction)
{
    MountChoice choice;
    const Item* item = rider.layerItem(Mobile::kMountLayer);
    if (!item)
        return choice;
    choice.item = item;
    int32_t graphic = item->graphic;
    int32_t shownBody = mountGraphicToBody(graphic);
    choice.hue = item->hue;
    const DefTable* bodyDef = defTable(DefSlot::Body);
    if (bodyDef && bodyDef->contains(uint16_t(shownBody))) {
        graphic = remappedMountGraphic(bodyDef->translate(uint16_t(shownBody), 0));
        const DefEntry* entry = bodyDef->getEntry(uint16_t(shownBody));
        if (choice.hue == 0 && entry)
            choice.hue = uint16_t(entry->hue);
    }
    const MountRow* row = findMountRow(graphic);
    choice.body = row ? row->body : tileData().item(graphic).animationId;
    if (row) {
        choice.riderLift = row->riderLift;
        choice.extraWidth = row->extraWidth;
        choice.extraHeight = row->extraHeight;
    }
    choice.action = mountActionForRider(row, choice.body, riderAction);
    return choice;
}

bool computeMountBounds(
    const Mobile& rider, int32_t riderAction, int32_t anchorX, int32_t anchorY, ScreenRect& rect, int32_t& lift)
{
    MountChoice mount = chooseMount(rider, riderAction);
    if (!mount.isDrawn())
        return false;
    std::optional<AnimationFrameRecord> frame = loadMountFrame(rider, mount);
    if (!frame)
        return false;
    int32_t width = frame->width + mount.extraWidth;
    int32_t extraHeight = mount.extraHeight;
    bool mirrored = storedFacing(rider.direction).mirrored;
    rect.left = anchorX - (mirrored ? width - frame->centreX : frame->centreX);
    rect.top = anchorY - frame->centreY - (frame->height + extraHeight);
    rect.bottom = anchorY - frame->centreY + extraHeight;
    rect.right = rect.left + width + width / 2;
    lift = mount.riderLift;
    return true;
}

ScreenRect animationFrameRect(const AnimationFrameRecord& frame, int32_t anchorX, int32_t anchorY, bool mirrored)
{
    ScreenRect rect;
    rect.left = anchorX - (mirrored ? frame.width - frame.centreX : frame.centreX) - 1;
    rect.right = rect.left + frame.width;
    rect.bottom = frame.centreY >= 0 ? anchorY : anchorY - frame.centreY - 1;
    rect.top = anchorY - frame.centreY - 1 - frame.height;
    return rect;
}

ScreenRect uniteRects(const ScreenRect& a, const ScreenRect& b)
{
    return { std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
        std::max(a.bottom, b.bottom) };
}

bool usesAlternateLayerOrder(const Item* layer13)
{
    if (!layer13)
        return false;
    int32_t animation = itemAnimationId(*layer13);
    return animation >= 921 && animation <= 925
        && (worldService<EquipmentRules>().allowsAlternateLayerOrder() || editServerMode());
}

FrameHue frameHueOf(uint16_t hueWord)
{
    return { hueEntryIndex(hueWord), (hueWord & 0x8000) != 0, (hueWord & 0x4000) != 0 };
}

uint16_t bodyBaseHue(int32_t body, uint16_t hue) { return remapTableHue(DefSlot::Body, body, hue); }

uint16_t withPartialHue(const Item& item, uint16_t hue)
{
    return (item.tileFlags() & kTilePartialHue) ? uint16_t(hue | kPartialHueBit) : hue;
}

const Item* shownLayerItem(const Mobile& mobile, int32_t layer)
{
    const Item* item = mobile.layerItem(layer);
    if (item || !(mobile.serial & kDyingSerialBit))
        return item;
    const Corpse* corpse = findCorpseOfDying(mobile.serial);
    return corpse ? corpse->layerItem(layer) : nullptr;
}

bool equipmentAnimation(const Item& item, int32_t& animation, uint16_t& hue)
{
    animation = itemAnimationId(item);
    hue = item.hue;
    const DefTable* bodyDef = defTable(DefSlot::Body);
    if (bodyDef && bodyDef->contains(uint16_t(animation))) {
        const DefEntry* entry = bodyDef->getEntry(uint16_t(animation));
        animation = bodyDef->translate(uint16_t(animation), 0);
        if (hue == 0 && entry)
            hue = uint16_t(entry->hue);
    }
    return animation >= 400 && animation <= 999;
}

void growForAttachedEffects(Mobile& mobile, ScreenRect& rect)
{
    mobile.effectGrowX = 0;
    mobile.effectGrowY = 0;
    AttachedEffects& effects = worldService<AttachedEffects>();
    for (int32_t index = 0; index < kMaxAttachedEffects; ++index) {
        const ArtImage* image = effects.effectImage(mobile, index);
        if (!image)
            break;
        int32_t wider = (image->width() - rect.width()) / 2;
        if (wider > 0) {
            rect.left -= wider;
            rect.right += wider;
            mobile.effectGrowX += wider;
        }
        int32_t taller = (image->height() - rect.height()) / 2;
        if (taller > 0) {
            rect.top -= taller;
            rect.bottom += taller;
            mobile.effectGrowY += taller;
        }
    }
}

void drawAttachedEffects(const Mobile& mobile, const BlitTarget& target, const ScreenRect& clip)
{
    AttachedEffects& effects = worldService<AttachedEffects>();
    const WorldScreen& screen = worldScreen();
    int32_t centreX = (mobile.screenRect.left + mobile.screenRect.right) / 2 - screen.viewPixelX;
    int32_t centreY = (mobile.screenRect.top + mobile.screenRect.bottom) / 2 - screen.viewPixelY;
    for (int32_t index = 0; index < kMaxAttachedEffects; ++index) {
        const ArtImage* image = effects.effectImage(mobile, index);
        if (!image)
            break;
        int32_t left = centreX - image->width() / 2;
        int32_t top = centreY - image->height() / 2;
        effects.drawEffect(mobile, index, { left, top, left + image->width(), top + image->height() }, target, clip);
    }
}

bool movementActionFrame(const Mobile& mobile, int32_t& action, int32_t& frame)
{
    if (mobile.graphic >= kUndrawnBody)
        return false;
    AnimationState state = animationStateOf(mobile);
    state.serverFrame = -1;
    int32_t index = 0;
    resolveMobileAnimation(ghostBodyAnimation(mobile.graphic), state, &mobile, index, frame);
    // Nothing is read: the set chosen for a lookup must not outlive it.
    setAnimationFileSet(0);
    action = state.action;
    return true;
}

void Mobile::computeBounds()
{
    baseY = (x + y) * 22 - drawZ * 4 + 20;
    if (isMobileSitting(*this)) {
        computeSittingBounds(*this);
        return;
    }
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    anchorPoint(anchorX, anchorY);
    if (graphic >= kUndrawnBody) {
        screenRect = { anchorX, anchorY, anchorX, anchorY };
        setCellReach(0);
        return;
    }
    Figure figure;
    // Without a body frame the old rectangle stays.
    if (!loadFigure(*this, figure, &frameCount))
        return;
    const AnimationFrameRecord& body = *figure.bodyFrame;
    ScreenRect rect = animationFrameRect(body, anchorX, anchorY - figure.lift, figure.mirrored);
    setCellReachFrom(*this, rect, anchorX);
    if (isPlayer()) {
        if (!(flags & kObjectHidden) && !isDead())
            rect.right += body.height / 2;
    } else if (castsShadow(graphic)) {
        rect.right += body.height / 2;
        rect.left -= 20;
    }
    ScreenRect mountRect;
    int32_t mountLift = 0;
    if (computeMountBounds(*this, figure.state.action, anchorX, anchorY, mountRect, mountLift))
        rect = uniteRects(rect, mountRect);
    if (figure.humanBody) {
        forEachShownEquipment(*this, figure.facing, [&](const Item&, int32_t animation, uint16_t) {
            AnimationState state = figure.state;
            if (auto worn = getAnimationFrame(animation, state, this, &frameCount))
                rect = uniteRects(rect, animationFrameRect(*worn, anchorX, anchorY - figure.lift, figure.mirrored));
        });
    }
    growForAttachedEffects(*this, rect);
    screenRect = rect;
}

void Mobile::draw(const BlitTarget& target, const ScreenRect& dirty)
{
    if (graphic >= kUndrawnBody || placeable == 0)
        return;
    if (isMobileSitting(*this)) {
        drawSittingMobile(*this, target, dirty);
        return;
    }
    Figure figure;
    if (!loadFigure(*this, figure, &frameCount))
        return;
    FigureHues hues = figureHues(*this, figure.mount);
    ScreenRect clip = lowBodyClip(dirty, isLowFigure(*this), baseY);
    const WorldScreen& screen = worldScreen();
    int32_t anchorX = figure.anchorX - screen.viewPixelX;
    int32_t anchorY = figure.anchorY - screen.viewPixelY;
    const AnimationFrameRecord& body = *figure.bodyFrame;
    if (hues.bodyShadow)
        blitFrameShadow(target, clip, figure.mirrored, anchorX, anchorY, body.pixelData);
    if (figure.mount.isDrawn()) {
        if (auto mount = loadMountFrame(*this, figure.mount)) {
            blitFrameShadow(target, clip, figure.mirrored, anchorX, anchorY, mount->pixelData);
            blitFrameRuns(target, clip, figure.mirrored, frameHueOf(hues.mount), anchorX, anchorY, mount->palette,
                mount->pixelData);
        }
    }
    int32_t riderY = anchorY - figure.lift;
    blitFrameRuns(target, clip, figure.mirrored, frameHueOf(hues.body), anchorX, riderY, body.palette, body.pixelData);
    if (figure.humanBody) {
        forEachShownEquipment(*this, figure.facing, [&](const Item& item, int32_t animation, uint16_t itemHue) {
            AnimationState state = figure.state;
            if (auto worn = getAnimationFrame(animation, state, this, &frameCount))
                blitFrameRuns(target, clip, figure.mirrored, frameHueOf(hues.equipment(item, itemHue)), anchorX,
                    riderY, worn->palette, worn->pixelData);
        });
    }
    // The base line cuts the low figure only: a spell on an animal shows
    // whole.
    drawAttachedEffects(*this, target, dirty);
}

bool Mobile::hitTest(int32_t pointX, int32_t pointY) const
{
    if (isMobileSitting(*this))
        return sittingPixelAt(*this, pointX, pointY) != 0;
    if (graphic >= kUndrawnBody)
        return false;
    Figure figure;
    if (!loadFigure(*this, figure, nullptr))
        return false;
    int32_t riderY = figure.anchorY - figure.lift;
    if (hitTestFrameRuns(pointX, pointY, figure.mirrored, figure.anchorX, riderY, figure.bodyFrame->pixelData))
        return true;
    if (figure.mount.isDrawn()) {
        auto mount = loadMountFrame(*this, figure.mount);
        if (mount && hitTestFrameRuns(pointX, pointY, figure.mirrored, figure.anchorX, figure.anchorY, mount->pixelData))
            return true;
    }
    bool hit = false;
    if (figure.humanBody) {
        forEachShownEquipment(*this, figure.facing, [&](const Item&, int32_t animation, uint16_t) {
            if (hit)
                return;
            AnimationState state = figure.state;
            auto worn = getAnimationFrame(animation, state, this);
            hit = worn && hitTestFrameRuns(pointX, pointY, figure.mirrored, figure.anchorX, riderY, worn->pixelData);
        });
    }
    return hit;
}

void Corpse::computeBounds()
{
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    corpseAnchor(*this, anchorX, anchorY);
    baseY = anchorY;
    std::optional<AnimationFrameRecord> frame;
    if (amount < kUndrawnBody)
        frame = getCorpseFrame(amount, direction);
    if (!frame) {
        screenRect = { anchorX, anchorY, anchorX, anchorY };
        setCellReach(0);
        return;
    }
    bool mirrored = storedFacing(direction).mirrored;
    ScreenRect rect = animationFrameRect(*frame, anchorX, anchorY, mirrored);
    setCellReachFrom(*this, rect, anchorX);
    if (bodyTypes().getBodyType(amount) == BodyType::Human) {
        forEachCorpseEquipment(*this, [&](const Item&, int32_t animation, uint16_t) {
            if (auto worn = getCorpseFrame(animation, direction))
                rect = uniteRects(rect, animationFrameRect(*worn, anchorX, anchorY, mirrored));
        });
    }
    screenRect = rect;
}

void Corpse::draw(const BlitTarget& target, const ScreenRect& dirty)
{
    // While the death action plays, the dying mobile is the picture.
    if (amount >= kUndrawnBody || isCorpseOfDyingMobile(serial))
        return;
    std::optional<AnimationFrameRecord> frame = getCorpseFrame(amount, direction);
    if (!frame)
        return;
    const PlayerMobile* self = player();
    bool playerDead = self && self->isDead();
    uint16_t bodyHue = remapTableHue(DefSlot::Corpse, amount, baseHue);
    if ((flags & kObjectHidden) || playerDead)
        bodyHue = kMobileGreyHue;
    ScreenRect clip = lowBodyClip(dirty, true, baseY);
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    corpseAnchor(*this, anchorX, anchorY);
    anchorX -= worldScreen().viewPixelX;
    anchorY -= worldScreen().viewPixelY;
    bool mirrored = storedFacing(direction).mirrored;
    blitFrameRuns(target, clip, mirrored, frameHueOf(bodyHue), anchorX, anchorY, frame->palette, frame->pixelData);
    if (bodyTypes().getBodyType(amount) != BodyType::Human)
        return;
    forEachCorpseEquipment(*this, [&](const Item& item, int32_t animation, uint16_t itemHue) {
        auto worn = getCorpseFrame(animation, direction);
        if (!worn)
            return;
        uint16_t wornHue = playerDead ? kMobileGreyHue : withPartialHue(item, itemHue);
        blitFrameRuns(
            target, clip, mirrored, frameHueOf(wornHue), anchorX, anchorY, worn->palette, worn->pixelData);
    });
}

bool Corpse::hitTest(int32_t pointX, int32_t pointY) const
{
    if (amount >= kUndrawnBody)
        return false;
    std::optional<AnimationFrameRecord> frame = getCorpseFrame(amount, direction);
    if (!frame)
        return false;
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    corpseAnchor(*this, anchorX, anchorY);
    return hitTestFrameRuns(pointX, pointY, storedFacing(direction).mirrored, anchorX, anchorY, frame->pixelData);
}
