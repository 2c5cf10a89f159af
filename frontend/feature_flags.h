#pragma once
// What the server's feature word and the character list's flags mean to the
// front end (the word and the flags themselves are kept by
// data/server_features.h): how many character slots the account may use,
// which additional animation sets the world may draw, and the splash picture
// of the next start. Main thread only.

#include <cstdint>
#include <string>

// 1 with list flag 4; 6 with list flag 6 and feature 0x20; else 5.
int32_t maxCharacterSlots();
// Sets 3 and 4 always; set 1 with feature 0x08 and set 2 with feature 0x10,
// each only when both of its files are present; nothing else.
bool isAnimSetEnabled(int32_t set);
// Makes isAnimSetEnabled the world's rule for additional animation sets.
void installAnimSetRule();

// The picture of the start-up splash: 274 for Japanese, else 271, replaced
// by 272, 273 and 277 as the feature bits 0x40, 0x80 and 0x100 are set (the
// last one set wins).
int32_t splashPictureFor(const std::string& languageCode, uint32_t serverFeatures);
