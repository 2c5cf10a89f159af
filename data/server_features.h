#pragma once
// What the server lets the account use: the feature word of packet 0xB9,
// kept between runs in "entitled.def" (2 bytes, low byte first), and the
// flags at the end of the character list. Main thread only.

#include <cstdint>

void setServerFeatures(uint32_t word);
uint32_t serverFeatures();
// True when the word shares a bit with `mask`.
bool hasServerFeature(uint32_t mask);

// Replaces "entitled.def" (found through the file manager, the client
// directory first) with the word; false when the file cannot be written (the
// word is then kept in memory only).
bool writeEntitledFile(uint32_t word);
// Reads up to 4 bytes of "entitled.def", low byte first; 0 without the file.
uint32_t readEntitledFile();

// The character list's flag word: bits 0 and 2 to 9 are kept; bit 1 (settings
// stored on the server) belongs to the settings store.
void storeCharacterListFlags(uint32_t word);
bool characterListFlag(int32_t bit);
