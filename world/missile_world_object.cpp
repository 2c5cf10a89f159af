#include "world/missile_world_object.h"

#include "gfx/art_blitter.h"
#include "gfx/art_cache.h"
#include "gfx/gump_art.h"
#include "gfx/hue_table.h"
#include "gfx/pixel_spans.h"
#include "gfx/rotated_art.h"
#include "world/world_screen.h"

#include <algorithm>
#include <cmath>

namespace {

// A world coordinate from an exact position. The server's effect packets
// carry unsigned 16-bit positions; one past the signed range is held at its
// end rather than converted out of range.
int16_t worldCoordinate(double value)
{
    return int16_t(std::clamp(std::trunc(value), -32768.0, 32767.0));
}

const ArtImage* itemArt(int32_t art) { return effectItemArt(art); }

// The image's size; 0 x 0 when missing.
void imageSize(const EffectPicture& picture, int32_t& width, int32_t& height)
{
    width = height = 0;
    if (picture.lightning) {
        getGumpArtSize(picture.art, width, height);
        return;
    }
    if (const ArtImage* image = itemArt(picture.art)) {
        width = image->width();
        height = image->height();
    }
}

bool hasBlend(int32_t renderMode) { return !isBlendLevelZero(renderMode); }

void drawTurned(const ArtImage* image, const BlitTarget& target, const ScreenRect& clip, const EffectPicture& picture,
    int32_t left, int32_t top)
{
    ScreenRect box { 0, 0, image->width(), image->height() };
    rotateBounds(picture.angle, &box);
    const HueEntry& hue = hueTable().entry((picture.hue & 0x3FFF) - 1);
    if (hasBlend(picture.renderMode))
        selectBlendTable(picture.renderMode);
    if (picture.hue != 0 && hasBlend(picture.renderMode))
        blitArtRotatedInBoxHueBlend(image, &box, target, left, top, picture.angle, &clip, hue);
    else if (picture.hue != 0)
        blitArtRotatedInBoxGreyHue(image, &box, target, left, top, picture.angle, &clip, hue);
    else if (hasBlend(picture.renderMode))
        blitArtRotatedInBox(image, &box, target, left, top, picture.angle, &clip);
    else
        blitArtRotatedInBoxCopy(image, &box, target, left, top, picture.angle, &clip);
}

PixelSpanFn chooseSpan(const EffectPicture& picture)
{
    if (hasBlend(picture.renderMode)) {
        selectBlendTable(picture.renderMode);
        if (picture.hue != 0) {
            setCurrentHueNumber(picture.hue & 0x3FFF);
            return hueBlendTableSpan;
        }
        return blendTableSpan;
    }
    if (picture.hue != 0) {
        setCurrentHueNumber(picture.hue & 0x3FFF);
        return hueSpanByRed;
    }
    return copySpanTransparent;
}

} // namespace

const ArtImage* effectItemArt(int32_t art) { return getArtImage(kFirstStaticArt + (art & 0x3FFF)); }

ScreenRect effectImageRect(const EffectPicture& picture)
{
    int32_t width = 0;
    int32_t height = 0;
    imageSize(picture, width, height);
    if (width <= 0 || height <= 0)
        return { picture.x, picture.y, picture.x, picture.y };
    int32_t left = picture.x - width / 2;
    ScreenRect rect { left, picture.y - height, left + width, picture.y };
    if (picture.angle != 0 && !picture.lightning)
        rotateBounds(picture.angle, &rect);
    return rect;
}

void drawEffectImage(const BlitTarget& target, const ScreenRect& clip, const EffectPicture& picture)
{
    ScreenRect rect = effectImageRect(picture);
    if (picture.lightning) {
        int32_t width = 0;
        int32_t height = 0;
        if (getGumpArtSize(picture.art, width, height) && width > 0)
            drawGumpArtClipped(copySpanTransparent, picture.art, target, &clip, rect.left, rect.top);
        return;
    }
    const ArtImage* image = itemArt(picture.art);
    if (!image)
        return;
    if (picture.angle != 0) {
        drawTurned(image, target, clip, picture, rect.left, rect.top);
        return;
    }
    blitArtClipped(chooseSpan(picture), image, target, &clip, rect.left, rect.top);
}

MissileWorldObject::MissileWorldObject(MissileOwner& owner, double atX, double atY, double atZ)
    : worldX(atX)
    , worldY(atY)
    , worldZ(atZ)
    , m_owner(&owner)
{
    x = worldCoordinate(atX);
    y = worldCoordinate(atY);
    z = worldCoordinate(atZ);
}

MissileWorldObject::~MissileWorldObject()
{
    removeFromGrid();
    if (m_owner)
        m_owner->forgetWorldObject(this);
}

void MissileWorldObject::computeBounds()
{
    const WorldScreen& screen = worldScreen();
    ScreenRect rect = effectImageRect(m_owner->picture());
    screenRect = { rect.left + screen.viewPixelX, rect.top + screen.viewPixelY, rect.right + screen.viewPixelX,
        rect.bottom + screen.viewPixelY };
}

void MissileWorldObject::draw(const BlitTarget& target, const ScreenRect& dirty)
{
    drawEffectImage(target, dirty, m_owner->picture());
}

void MissileWorldObject::stepOnce()
{
    worldX += stepX;
    worldY += stepY;
    worldZ += stepZ;
    placeAgain();
}

void MissileWorldObject::placeAgain()
{
    removeFromGrid();
    x = worldCoordinate(worldX);
    y = worldCoordinate(worldY);
    z = worldCoordinate(worldZ);
    place();
}
