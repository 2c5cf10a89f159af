#include "world/sitting_mobiles.h"

#include "data/def_tables.h"
#include "gfx/animation_blitter.h"
#include "world/body_animation.h"
#include "world/body_tables.h"
#include "world/cell_grid.h"
#include "world/mobile.h"
#include "world/mobile_drawing.h"
#include "world/mobile_services.h"
#include "world/object_manager.h"
#include "world/static_object.h"
#include "world/world_screen.h"
#include "world/world_services.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

constexpr int32_t kSeeHiddenBody = 987;
// What the remapping may push a figure beyond its frame: sideways and up,
// and down.
constexpr int32_t kSideMargin = 16;
constexpr int32_t kSittingBottomMargin = 32;

uint8_t facingBit(int32_t facing) { return (facing & 1) ? 0 : uint8_t(1 << ((facing & 7) / 2)); }

int32_t clampColumn(int32_t column) { return std::clamp(column, 0, SittingCanvas::kWidth - 1); }

uint16_t canvasIndex(int32_t row, int32_t column)
{
    if (row < 0)
        return 0;
    return uint16_t(std::min(row, SittingCanvas::kHeight - 1) * SittingCanvas::kWidth + clampColumn(column));
}

// The source of output (row, column) for facings 0-1 (pair 0) to 6-7 (pair 3).
uint16_t remapSource(int32_t pair, int32_t row, int32_t column)
{
    if (pair == 0 || pair == 3)
        return canvasIndex(row - 26, column + (pair == 0 ? -3 : 3));
    int32_t side = pair == 1 ? -1 : 1;
    if (row < 56)
        return canvasIndex(row - 12, column);
    if (row < 72) {
        int32_t t = row - 56;
        return canvasIndex(44 + t + t / 4, column + side * (t / 2));
    }
    return canvasIndex(row - 8, column + side * 8);
}

// The chair object of the mobile's cell that the canvas remembered.
StaticObject* findChairObject(const Mobile& mobile, const ChairEntry* chair)
{
    for (WorldObject* object = worldCellGrid().head(WorldCellGrid::cellIndex(mobile.x, mobile.y)); object;
         object = object->cellNext()) {
        if (!object->hasItemTile() || object->isMobile() || object->x != mobile.x || object->y != mobile.y
            || std::abs(object->z - mobile.z) > 1)
            continue;
        auto* candidate = static_cast<StaticObject*>(object);
        if (findChair(candidate->graphic) == chair)
            return candidate;
    }
    return nullptr;
}

int32_t sittingFacing(const Mobile& mobile)
{
    int32_t facing = mobile.direction & 7;
    adjustSittingFacing(facing);
    return facing;
}

std::optional<AnimationFrameRecord> sittingFrame(int32_t body, int32_t facing, uint16_t* frameCount)
{
    int32_t index = 0;
    int32_t frame = 0;
    sittingAnimationIndex(body, facing, index, frame);
    return loadAnimationRecordFrame(index, frame, frameCount);
}

// The hues of a sitting figure; `drawn` is false for a hidden mobile the
// player cannot see.
struct SittingHues {
    bool drawn = true;
    bool forced = false;
    uint16_t forcedHue = 0;
    uint16_t body = 0;
    bool grey = false;

    uint16_t equipment(const Item& item, uint16_t itemHue) const
    {
        if (grey)
            return kMobileGreyHue;
        return withPartialHue(item, forced ? forcedHue : itemHue);
    }
};

SittingHues sittingHues(const Mobile& mobile, bool withHighlights)
{
    SittingHues hues;
    const PlayerMobile* self = player();
    auto force = [&hues](uint16_t hue) {
        hues.forced = true;
        hues.forcedHue = hue;
    };
    if (mobile.flags & kObjectHidden) {
        if (!mobile.isPlayer() && (!self || self->graphic != kSeeHiddenBody))
            hues.drawn = false;
        force(kMobileGreyHue);
    }
    uint16_t base = bodyBaseHue(mobile.graphic, mobile.baseHue);
    if (withHighlights && !mobile.isPlayer()) {
        MobileHighlights& highlights = worldService<MobileHighlights>();
        if (worldScreen().objectUnderPointer == &mobile)
            force(getNotorietyHue(&mobile));
        if (highlights.isMarkedSerial(mobile.serial))
            force(kMobileMarkedHue);
        uint32_t customer = highlights.gmCustomerSerial();
        if (customer != 0 && mobile.serial == customer)
            force((hues.forced ? hues.forcedHue : base) == kMobileMarkedHue ? kMobileMarkedCustomerHue
                                                                            : kMobileCustomerHue);
    }
    hues.body = hues.forced ? hues.forcedHue : base;
    bool playerDead = self && self->isDead();
    if (playerDead != mobile.isDead()) {
        hues.body = kMobileGreyHue;
        hues.grey = true;
    }
    return hues;
}

const LayerOrder& sittingOrderFor(const Mobile& mobile, int32_t facing)
{
    const Item* layer19 = mobile.layerItem(19);
    const Item* layer13 = mobile.layerItem(13);
    if (usesAlternateLayerOrder(layer13))
        return equipmentLayerOrder(facing, true);
    if ((layer19 && itemAnimationId(*layer19) == 528) || (layer13 && itemAnimationId(*layer13) == 538))
        return equipmentLayerOrder(facing, false);
    return sittingLayerOrder(facing);
}

// Calls `visit`(item, animation id, hue) for each worn item the sitting
// figure shows, in drawing order.
template <typename Visit>
void forEachSittingEquipment(const Mobile& mobile, int32_t facing, Visit visit)
{
    const Item* cover = mobile.layerItem(kMobileCoverLayer);
    bool hairCovered = cover && cover->drawGraphic == kMobileCoverOnlyGraphic;
    EquipmentRules& rules = worldService<EquipmentRules>();
    const LayerOrder& order = sittingOrderFor(mobile, facing);
    const DefTable* bodyDef = defTable(DefSlot::Body);
    for (size_t entry = 1; entry < order.size(); ++entry) {
        int32_t layer = order[entry];
        const Item* item = mobile.layerItem(layer);
        if (layer == Mobile::kBackpackLayer || !item || rules.isEquipmentLayerHidden(layer, mobile)
            || (hairCovered && isHairLayerItem(item)))
            continue;
        int32_t animation = itemAnimationId(*item);
        if (animation < 400 || animation > 999)
            continue;
        uint16_t hue = item->hue;
        if (hue == 0 && bodyDef && bodyDef->contains(uint16_t(animation))) {
            if (const DefEntry* remapEntry = bodyDef->getEntry(uint16_t(animation)))
                hue = uint16_t(remapEntry->hue);
        }
        visit(*item, equipConv().getConvertedEquipGraphic(mobile.graphic, animation), hue);
    }
}

// Renders the figure and its equipment into the canvas; false when the
// body has no sitting frame.
bool renderFigure(const Mobile& mobile, int32_t facing, const SittingHues& hues, uint16_t* frameCount)
{
    SittingCanvas& canvas = sittingCanvas();
    canvas.clear();
    bool mirrored = storedFacing(facing).mirrored;
    std::optional<AnimationFrameRecord> body = sittingFrame(mobile.graphic, facing, frameCount);
    if (!body)
        return false;
    canvas.renderFrame(hues.body, *body, mirrored);
    if (bodyTypes().getBodyType(remappedBody(mobile.graphic)) != BodyType::Human)
        return true;
    forEachSittingEquipment(mobile, facing, [&](const Item& item, int32_t animation, uint16_t hue) {
        if (auto frame = sittingFrame(animation, facing, frameCount))
            canvas.renderFrame(hues.equipment(item, hue), *frame, mirrored);
    });
    return true;
}

// The canvas's top-left in world pixels, the chair's shift included.
void canvasOrigin(const Mobile& mobile, int32_t facing, int32_t& left, int32_t& top)
{
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    mobile.anchorPoint(anchorX, anchorY);
    const ChairEntry* chair = sittingCanvas().chair;
    left = anchorX - SittingCanvas::kAnchorColumn;
    top = anchorY - SittingCanvas::kAnchorRow + (chair ? chair->shiftFor(facing) : 0);
}

} // namespace

SittingCanvas::SittingCanvas()
{
    for (int32_t pair = 0; pair < 4; ++pair) {
        for (int32_t row = 0; row < kHeight; ++row) {
            for (int32_t column = 0; column < kWidth; ++column)
                m_remap[size_t(pair)][size_t(row * kWidth + column)] = remapSource(pair, row, column);
        }
    }
}

void SittingCanvas::renderFrame(uint16_t hueWord, const AnimationFrameRecord& frame, bool mirrored)
{
    BlitTarget target = BlitTarget::surface(m_pixels.data(), kWidth, kHeight, kWidth);
    // Art hues have no shade mode.
    FrameHue hue = frameHueOf(uint16_t(hueWord & ~0x4000));
    hue.shade = false;
    blitFrameRuns(target, target.bounds, mirrored, hue, kAnchorColumn, kAnchorRow, frame.palette, frame.pixelData);
}

SittingCanvas& sittingCanvas()
{
    static SittingCanvas canvas;
    return canvas;
}

bool isMobileSitting(const Mobile& mobile)
{
    if (!mobile.isPlaced() || mobile.graphic < 400 || mobile.graphic > 999 || mobile.isDead()
        || mobile.stepCountdown != 0 || mobile.layerItem(Mobile::kMountLayer))
        return false;
    if (bodyTypes().getBodyType(remappedBody(mobile.graphic)) != BodyType::Human)
        return false;
    const PlayerMobile* self = mobile.isPlayer() ? static_cast<const PlayerMobile*>(&mobile) : nullptr;
    if (self && self->stepsQueued)
        return false;
    bool rememberedChair = false;
    for (WorldObject* object = worldCellGrid().head(WorldCellGrid::cellIndex(mobile.x, mobile.y)); object;
         object = object->cellNext()) {
        if (!object->hasItemTile() || object->isMobile() || object->x != mobile.x || object->y != mobile.y
            || std::abs(object->z - mobile.z) > 1)
            continue;
        const ChairEntry* chair = findChair(static_cast<StaticObject*>(object)->graphic);
        if (!chair)
            continue;
        // The first chair of the cell is the one remembered, also when the
        // mobile sits on a later one.
        if (!rememberedChair) {
            rememberedChair = true;
            sittingCanvas().chair = chair;
        }
        if (!(chair->facings & kChairStillOnly) || (self && self->standing))
            return true;
    }
    return false;
}

void adjustSittingFacing(int32_t& facing)
{
    const ChairEntry* chair = sittingCanvas().chair;
    int32_t wanted = facing & 7;
    if (!chair)
        return;
    for (int32_t step : { 0, 1, -1, 2, -2, 3, -3 }) {
        int32_t candidate = (wanted + step + 8) & 7;
        if (chair->facings & facingBit(candidate)) {
            facing = candidate;
            return;
        }
    }
    facing = (wanted + 4) & 7;
}

void sittingAnimationIndex(int32_t body, int32_t facing, int32_t& outIndex, int32_t& outFrame)
{
    int32_t shown = ghostBodyAnimation(remappedBody(body));
    int32_t fileBody = selectAnimationFileSet(shown);
    int32_t action = (facing == 0 || facing == 6) ? 25 : 4;
    outIndex = animationRecordNumber(RecordLayout::Long, fileBody, action, storedFacing(facing).direction);
    outFrame = 0;
}

void computeSittingBounds(Mobile& mobile)
{
    int32_t facing = sittingFacing(mobile);
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    mobile.anchorPoint(anchorX, anchorY);
    mobile.setCellReach(0);
    const PlayerMobile* self = player();
    bool unseen = (mobile.flags & kObjectHidden) && !mobile.isPlayer() && (!self || self->graphic != kSeeHiddenBody);
    std::optional<AnimationFrameRecord> body;
    if (!unseen)
        body = sittingFrame(mobile.graphic, facing, &mobile.frameCount);
    if (!body) {
        mobile.screenRect = { anchorX, anchorY, anchorX, anchorY };
        return;
    }
    bool mirrored = storedFacing(facing).mirrored;
    ScreenRect rect = animationFrameRect(*body, anchorX, anchorY, mirrored);
    if (bodyTypes().getBodyType(remappedBody(mobile.graphic)) == BodyType::Human) {
        forEachSittingEquipment(mobile, facing, [&](const Item&, int32_t animation, uint16_t) {
            if (auto frame = sittingFrame(animation, facing, &mobile.frameCount))
                rect = uniteRects(rect, animationFrameRect(*frame, anchorX, anchorY, mirrored));
        });
    }
    // The picture is moved down by the chair's shift: so is its rectangle,
    // or the lowest rows it draws would never be redrawn.
    const ChairEntry* chair = sittingCanvas().chair;
    int32_t shift = chair ? chair->shiftFor(facing) : 0;
    rect.left -= kSideMargin;
    rect.top -= kSideMargin - std::min(shift, 0);
    rect.right += kSideMargin;
    rect.bottom += kSittingBottomMargin + std::max(shift, 0);
    growForAttachedEffects(mobile, rect);
    mobile.screenRect = rect;
}

void drawSittingMobile(Mobile& mobile, const BlitTarget& target, const ScreenRect& clip)
{
    int32_t facing = sittingFacing(mobile);
    SittingHues hues = sittingHues(mobile, true);
    if (!hues.drawn || !renderFigure(mobile, facing, hues, &mobile.frameCount))
        return;
    int32_t left = 0;
    int32_t top = 0;
    canvasOrigin(mobile, facing, left, top);
    const WorldScreen& screen = worldScreen();
    left -= screen.viewPixelX;
    top -= screen.viewPixelY;
    ScreenRect area = clip.intersected(target.bounds);
    int32_t firstRow = std::max(area.top - top, 0);
    int32_t endRow = std::min(area.bottom - top, SittingCanvas::kHeight);
    int32_t firstColumn = std::max(area.left - left, 0);
    int32_t endColumn = std::min(area.right - left, SittingCanvas::kWidth);
    const SittingCanvas& canvas = sittingCanvas();
    for (int32_t row = firstRow; row < endRow && firstColumn < endColumn; ++row) {
        uint16_t* destination = target.at(left + firstColumn, top + row);
        for (int32_t column = firstColumn; column < endColumn; ++column, ++destination) {
            if (uint16_t pixel = canvas.shownPixel(facing, row, column))
                *destination = pixel;
        }
    }
    const ChairEntry* chair = canvas.chair;
    if (chair && chair->overlap != 0) {
        if (StaticObject* seat = findChairObject(mobile, chair)) {
            // The near part of the chair covers the figure again, never
            // beyond the area being drawn.
            ScreenRect narrowed = clip;
            int32_t half = seat->screenRect.width() / 2;
            if (facing == 0)
                narrowed.right
                    = std::min(narrowed.right, seat->screenRect.right - half + chair->overlap - screen.viewPixelX);
            else
                narrowed.left
                    = std::max(narrowed.left, seat->screenRect.left + half - chair->overlap - screen.viewPixelX);
            if (!narrowed.isEmpty())
                seat->draw(target, narrowed);
        }
    }
    drawAttachedEffects(mobile, target, clip);
}

uint16_t sittingPixelAt(const Mobile& mobile, int32_t x, int32_t y)
{
    int32_t facing = sittingFacing(mobile);
    SittingHues hues = sittingHues(mobile, false);
    if (!hues.drawn || !renderFigure(mobile, facing, hues, nullptr))
        return 0;
    int32_t left = 0;
    int32_t top = 0;
    canvasOrigin(mobile, facing, left, top);
    int32_t row = y - top;
    int32_t column = x - left;
    if (row < 0 || row >= SittingCanvas::kHeight || column < 0 || column >= SittingCanvas::kWidth)
        return 0;
    return sittingCanvas().shownPixel(facing, row, column);
}
