#include "app/cursor_art.h"

#include "gfx/art_cache.h"

bool ArtFileCursorSource::cursorArt(int32_t artId, CursorArt& art)
{
    const ArtImage* image = getArtOrDefault(artId);
    if (!image || image->width() <= 0 || image->height() <= 0)
        return false;
    art.width = image->width();
    art.height = image->height();
    art.pixels.assign(size_t(art.width) * size_t(art.height), 0);
    for (int32_t y = 0; y < art.height; ++y) {
        for (int32_t x = 0; x < art.width; ++x)
            art.pixels[size_t(y) * size_t(art.width) + size_t(x)] = getArtPixel(image, x, y);
    }
    return true;
}
