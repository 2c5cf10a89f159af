#include "world/item_drawing.h"

#include "gfx/art_blitter.h"
#include "gfx/art_cache.h"
#include "gfx/terrain_rasteriser.h"
#include "world/circle_of_transparency.h"
#include "world/house_designer_view.h"
#include "world/item.h"
#include "world/item_graphics.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/tile_data.h"
#include "world/update_range.h"
#include "world/world_screen.h"
#include "world/world_services.h"
#include "world/world_settings.h"

namespace {

constexpr int32_t kHighlightHueEntry = 53;
constexpr uint16_t kItemGreyHue = 995;
constexpr int32_t kModeHued = 2;
constexpr int32_t kModeSuppressed = 4;
constexpr int32_t kModeCensoredBlood = 16;
constexpr int32_t kModeOmittedBlood = 32;
constexpr uint32_t kModeTileFlags = 0x60008;

} // namespace

PixelSpanFn chooseItemSpan(int32_t mode)
{
    switch (mode) {
    case 2:
    case 0x20002:
        return hueSpanOpaque;
    case 8:
    case 0x40008:
        return blendSpan75Opaque;
    case 10:
        return hueBlendSpan75Opaque;
    case 16:
        return bloodRecolourSpan;
    case 32:
        return nullptr;
    case 0x20008:
    case 0x60008:
        return blendSpan25Opaque;
    case 0x40002:
    case 0x60002:
        return partialHueSpanOpaque;
    case 0x4000A:
        return partialHueBlendSpan75Opaque;
    default:
        return copySpan;
    }
}

void StaticObject::draw(const BlitTarget& target, const ScreenRect& dirty)
{
    if (isHiddenItemGraphic(drawGraphic) || (tileFlags() & kTileNeverDrawn))
        return;
    const PlayerMobile* self = player();
    bool greyed = (isDynamic() && (static_cast<const Item*>(this)->flags & kObjectHidden)) || (self && self->isDead());
    const ArtImage* image = iconImage();
    const WorldScreen& screen = worldScreen();
    if (!image) {
        // Without a picture the cell's diamond shows the first land art.
        int32_t left = screenRect.left - screen.viewPixelX;
        int32_t top = screenRect.top - screen.viewPixelY;
        if (greyed)
            drawFlatLandTileGrey(target, 0, left, top, dirty);
        else
            drawFlatLandTile(target, 0, left, top, dirty);
        return;
    }
    uint16_t hueWord = normalizeHue(hue);
    if (hueWord > 60000)
        return;
    // The designed house shows marked and unsupported pieces in their hues.
    if (isMultiPart())
        if (int32_t designHue = worldService<HouseDesignerView>().componentHue(*this); designHue >= 0)
            hueWord = uint16_t(designHue);
    bool rangeColoring = updateRangeState().rangeColoring;
    if ((rangeColoring && !isInUpdateRange()) || greyed)
        hueWord = kItemGreyHue;
    bool highlighted = worldScreen().objectUnderPointer == this
        || (isDynamic() && self && self->highlightedSerial != 0
            && self->highlightedSerial == static_cast<const Item*>(this)->serial);
    int32_t hueEntry = highlighted ? kHighlightHueEntry : hueEntryIndex(hueWord);

    int32_t mode = greyed ? 0 : int32_t(tileFlags() & kModeTileFlags);
    if (hueEntry >= 0)
        mode |= kModeHued;
    if ((hueWord & 0x3FFF) == 0 && isBloodGraphic(graphic)) {
        if (worldObjectSettings().censorBlood)
            mode = kModeCensoredBlood;
        if (worldObjectSettings().omitBlood)
            mode = kModeOmittedBlood;
    }
    mode |= drawFlags;
    if (mode & kModeSuppressed)
        return;
    PixelSpanFn span = chooseItemSpan(mode);
    if (!span)
        return;
    setCurrentHue(hueEntry < 0 ? 0 : hueEntry);

    int32_t left = screenRect.left - screen.viewPixelX;
    int32_t top = screenRect.top - screen.viewPixelY;
    bool doubled = isDrawnDoubled();
    if (worldObjectSettings().useCircleTrans && !worldService<HouseDesignerView>().isDesigning()
        && span != blendSpan25Opaque && isInCircleOfTransparency(*this)) {
        blitArtThroughCircle(span, image, target, &dirty, left, top);
        if (doubled)
            blitArtThroughCircle(span, image, target, &dirty, left + 5, top + 5);
        return;
    }
    ScreenRect picture { left, top, left + image->width(), top + image->height() };
    if (!doubled && picture.intersected(dirty) == picture) {
        blitArt(span, image, target, left, top);
        return;
    }
    blitArtClipped(span, image, target, &dirty, left, top);
    if (doubled)
        blitArtClipped(span, image, target, &dirty, left + 5, top + 5);
}
