#pragma once
// The spells the client knows, keyed by spell id and grouped into books by id
// range, and what the spellbook window, the spell icons, the party bars and
// the macros ask about them: names, reagents, words of power, costs, minimum
// skill, icon art and text ids. Also the cast request, the open-spellbook
// request, the contents of spellbook items and the spells the server marks
// active. Unknown ids answer "Bad Spell", 0 and book kind 255. Main thread
// only.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class SpellbookItem;

inline constexpr uint8_t kNoSpellBook = 255;

// Builds the table once (start-up); later calls change nothing.
void initSpellTables();
int32_t spellCount();
// The spell id at `index` in ascending id order, -1 outside.
int32_t spellIdByIndex(int32_t index);

std::string_view spellName(int32_t spell);
// The reagent names joined by line feeds; empty for books without reagents.
std::string_view spellReagents(int32_t spell);
std::string_view spellWords(int32_t spell);

// The book kind of a spellbook item graphic, 0 for any other graphic.
uint8_t spellbookKindForGraphic(int32_t graphic);
// 1, 2, 3, 5, 6 or 7 by the id ranges, else kNoSpellBook.
uint8_t spellBookKind(int32_t spell);
int32_t spellbookIndexPages(uint8_t kind);
int32_t spellCircle(int32_t spell);
int32_t spellManaCost(int32_t spell);
int32_t spellTithingCost(int32_t spell);
int32_t spellMinSkill(int32_t spell);
int32_t spellIconArt(int32_t spell);
int32_t spellIconArtForIcon(int32_t spell);
int32_t spellNameClilocId(int32_t spell);
int32_t spellDescriptionClilocId(int32_t spell);

// The spells of a spellbook item: its spell list in the extended mode, else
// the amounts of its content items.
int32_t spellbookSpellCount(const SpellbookItem& book);
// The index-th spell id of the book, -1 outside.
int32_t spellbookSpellAt(const SpellbookItem& book, int32_t index);

// The extended mode: the newer packets for casting and the content list of
// books (character-list flag bit 5, or an edit server).
bool extendedSpellMode();

bool isSpellActive(int32_t spell);
void setSpellActive(int32_t spell, bool active);

// The last spell cast from a book or an icon, 0 before any.
int32_t lastSpell();
void setLastSpell(int32_t spell);

// Sends the cast request of `spell` (from the book `bookSerial`, 0 for none);
// with `remember` the spell becomes the last spell. False when nothing could
// be sent.
bool castSpell(int32_t spell, uint32_t bookSerial, bool remember);
// Asks the server to open the player's spellbook of the kind.
bool openSpellbookByKind(uint8_t kind);

// Fills a spellbook item's spell list from a content record: bit j of byte i
// marks spell first + 8 i + j. False (nothing changed) when the serial is no
// spellbook item.
bool fillSpellbookContent(uint32_t serial, uint16_t firstSpell, std::span<const uint8_t, 8> bits);

// The initials of the words of power ("Ka Velo" -> "KV").
std::string spellWordInitials(int32_t spell);
