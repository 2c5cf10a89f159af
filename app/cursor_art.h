#pragma once
// Cursor images taken from the static art of the data files.

#include "app/pointer.h"

class ArtImage;

// The art image of id & 0x7FFF, or of art 0 when that image is missing; null
// when neither can be produced.
const ArtImage* getArtOrDefault(int32_t id);

class ArtFileCursorSource final : public CursorArtSource {
public:
    bool cursorArt(int32_t artId, CursorArt& art) override;
};
