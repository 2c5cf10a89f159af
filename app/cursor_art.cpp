#include "app/cursor_art.h"

#include "gfx/art_cache.h"

#include <algorithm>

bool ArtFileCursorSource::cursorArt(int32_t artId, CursorArt& art)
{
    const ArtImage* image = getArtOrDefault(artId);
    // The size is checked before anything is decoded: a small damaged record
    // may declare any size up to 65535 x 65535, and a cursor is decoded densely.
    if (!image || image->width() <= 0 || image->height() <= 0 || image->width() > kMaxCursorSide
        || image->height() > kMaxCursorSide)
        return false;
    art.width = image->width();
    art.height = image->height();
    art.pixels.assign(size_t(art.width) * size_t(art.height), 0);
    for (int32_t y = 0; y < art.height; ++y) {
        uint16_t* line = art.pixels.data() + size_t(y) * size_t(art.width);
        for (const ArtRun& run : image->rowRuns(y))
            std::copy_n(image->pixels() + run.firstPixel, run.count, line + run.start);
    }
    return true;
}
