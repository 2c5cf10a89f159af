#pragma once
// What an item graphic is, by fixed ranges of the art and the tile data:
// spell scrolls, flesh and blood (which the censoring settings hide), coins
// that show a picture per amount, and the kinds the object manager makes
// classes for. Also the names of items built from their tile records.
// Main thread only (the names live in static buffers).

#include <cstdint>
#include <string_view>

class StaticObject;

bool isSpellScrollGraphic(int32_t graphic);
bool isFleshGraphic(int32_t graphic);
bool isBloodGraphic(int32_t graphic);
bool isAmountArtGraphic(int32_t graphic);
bool isContainerGraphic(int32_t graphic);
bool isMapGraphic(int32_t graphic);
// Whether the graphic is one of the spellbooks.
bool isSpellbookGraphic(int32_t graphic);
// Graphics that are never drawn or picked.
bool isHiddenItemGraphic(int32_t graphic);
// The tile record's animation word of the object's graphic; -1 without one.
int32_t getTileAnimId(const StaticObject* object);

// The article and name of tile record `tileIndex`, the plural ending chosen
// by `plural`; valid until the next call.
std::string_view getItemName(int32_t tileIndex, bool plural);
// The object's name: plural for a stack of more than one.
std::string_view getObjectName(const StaticObject& object);
// The localized name (message 1020000 + graphic) with " : " and the amount
// for a stack that is not a spell scroll; valid until the next call.
std::u16string_view getObjectClilocName(const StaticObject& object);
