#pragma once
// Cursor images taken from the static art of the data files.

#include "app/pointer.h"

class ArtFileCursorSource final : public CursorArtSource {
public:
    bool cursorArt(int32_t artId, CursorArt& art) override;
};
