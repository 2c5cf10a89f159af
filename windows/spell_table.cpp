#include "windows/spell_table.h"

#include "data/server_features.h"
#include "net/buffered_connection.h"
#include "net/client_packets.h"
#include "windows/spell_tables.h"
#include "windows/window_packets.h"
#include "world/container_item.h"
#include "world/object_manager.h"

#include <array>
#include <cstdio>
#include <map>

namespace {

constexpr std::string_view kBadSpell = "Bad Spell";

struct SpellRecord {
    std::string name;
    std::string reagents;
    std::string words;
};

std::map<int32_t, SpellRecord>& spellTable()
{
    static std::map<int32_t, SpellRecord> table;
    return table;
}

std::map<uint16_t, bool>& activeSpells()
{
    static std::map<uint16_t, bool> flags;
    return flags;
}

int32_t& lastSpellId()
{
    static int32_t spell = 0;
    return spell;
}

const SpellRecord* findSpell(int32_t spell)
{
    auto found = spellTable().find(spell);
    return found == spellTable().end() ? nullptr : &found->second;
}

// The words of power are made of these syllables, two or three per spell.
constexpr std::array<const char*, 16> kWordSyllables { "Ka", "Velo", "Sar", "Dun", "Mir", "Tol", "Esh", "Ran",
    "Qel", "Oth", "Bri", "Nal", "Hesk", "Ure", "Zim", "Fal" };

std::string wordsOfPower(int32_t spell)
{
    uint32_t seed = uint32_t(spell) * 2654435761u;
    std::string words = kWordSyllables[seed >> 28];
    words += ' ';
    words += kWordSyllables[(seed >> 24) & 15];
    if (spell % 3 == 0) {
        words += ' ';
        words += kWordSyllables[(seed >> 20) & 15];
    }
    return words;
}

struct KindRange {
    uint8_t kind;
    int32_t first;
    int32_t last;
    int32_t circleSize;
    int32_t iconOffset;
    int32_t nameCliloc;
};

constexpr std::array<KindRange, 6> kKindRanges { {
    { 1, 1, 64, 8, 2239, 3002010 },
    { 2, 101, 117, 8, 20379, 1060408 },
    { 3, 201, 210, 5, 20535, 1060384 },
    { 5, 401, 406, 3, 21103, 1060194 },
    { 6, 501, 508, 4, 20747, 1060109 },
    { 7, 601, 616, 8, 22399, 1070425 },
} };

const KindRange* kindRangeOf(int32_t spell)
{
    for (const KindRange& range : kKindRanges) {
        if (spell >= range.first && spell <= range.last)
            return &range;
    }
    return nullptr;
}

constexpr std::array<int32_t, 8> kMageCircleMana { 4, 6, 9, 11, 14, 20, 40, 50 };
constexpr std::array<int32_t, 17> kNecroMana { 23, 13, 11, 7, 11, 11, 23, 17, 5, 17, 29, 17, 23, 41, 23, 17, 40 };
constexpr std::array<int32_t, 10> kPaladinMana { 10, 10, 10, 10, 15, 20, 10, 20, 20, 10 };
constexpr std::array<int32_t, 6> kBushidoMana { 0, 10, 10, 5, 5, 10 };
constexpr std::array<int32_t, 8> kNinjitsuMana { 20, 30, 0, 25, 20, 30, 15, 10 };
constexpr std::array<int32_t, 16> kWeavingMana { 24, 24, 32, 24, 32, 24, 10, 10, 34, 50, 40, 40, 32, 50, 70, 50 };

constexpr std::array<int32_t, 17> kNecroSkill { 40, 20, 20, 0, 20, 40, 70, 30, 20, 50, 65, 30, 99, 80, 60, 20, 80 };
constexpr std::array<int32_t, 10> kPaladinSkill { 5, 0, 15, 35, 25, 45, 55, 65, 5, 15 };
constexpr std::array<int32_t, 6> kBushidoSkill { 25, 25, 60, 40, 50, 70 };
constexpr std::array<int32_t, 8> kNinjitsuSkill { 60, 85, 0, 80, 30, 20, 50, 40 };
constexpr std::array<int32_t, 16> kWeavingSkill { 0, 0, 10, 0, 10, 0, 38, 38, 24, 66, 52, 52, 24, 80, 38, 24 };

template <size_t N>
int32_t rowOf(const std::array<int32_t, N>& rows, int32_t spell, int32_t first)
{
    int32_t index = spell - first;
    return index >= 0 && index < int32_t(N) ? rows[size_t(index)] : 0;
}

} // namespace

void initSpellTables()
{
    std::map<int32_t, SpellRecord>& table = spellTable();
    if (!table.empty())
        return;
    for (const SpellRow& row : spellRows())
        table[row.id] = SpellRecord { row.name, row.reagents, wordsOfPower(row.id) };
}

int32_t spellCount() { return int32_t(spellTable().size()); }

int32_t spellIdByIndex(int32_t index)
{
    if (index < 0 || index >= spellCount())
        return -1;
    return std::next(spellTable().begin(), index)->first;
}

std::string_view spellName(int32_t spell)
{
    const SpellRecord* record = findSpell(spell);
    return record ? std::string_view(record->name) : kBadSpell;
}

std::string_view spellReagents(int32_t spell)
{
    const SpellRecord* record = findSpell(spell);
    return record ? std::string_view(record->reagents) : kBadSpell;
}

std::string_view spellWords(int32_t spell)
{
    const SpellRecord* record = findSpell(spell);
    return record ? std::string_view(record->words) : kBadSpell;
}

uint8_t spellbookKindForGraphic(int32_t graphic)
{
    switch (graphic) {
    case 3643:
    case 3834:
        return 1;
    case 8787:
        return 2;
    case 8786:
        return 3;
    case 9100:
        return 5;
    case 9120:
        return 6;
    case 11600:
        return 7;
    default:
        return 0;
    }
}

uint8_t spellBookKind(int32_t spell)
{
    const KindRange* range = kindRangeOf(spell);
    return range ? range->kind : kNoSpellBook;
}

int32_t spellbookIndexPages(uint8_t kind)
{
    if (kind == 1)
        return 8;
    return kind == 2 ? 4 : 2;
}

int32_t spellCircle(int32_t spell)
{
    const KindRange* range = kindRangeOf(spell);
    return range ? (spell - range->first) / range->circleSize + 1 : 1;
}

int32_t spellManaCost(int32_t spell)
{
    switch (spellBookKind(spell)) {
    case 1:
        return kMageCircleMana[size_t((spell - 1) / 8)];
    case 2:
        return rowOf(kNecroMana, spell, 101);
    case 3:
        return rowOf(kPaladinMana, spell, 201);
    case 5:
        return rowOf(kBushidoMana, spell, 401);
    case 6:
        return rowOf(kNinjitsuMana, spell, 501);
    case 7:
        return rowOf(kWeavingMana, spell, 601);
    default:
        return 0;
    }
}

int32_t spellTithingCost(int32_t spell)
{
    if (spell < 201 || spell > 210)
        return 0;
    if (spell == 208)
        return 30;
    return spell == 210 ? 15 : 10;
}

int32_t spellMinSkill(int32_t spell)
{
    switch (spellBookKind(spell)) {
    case 2:
        return rowOf(kNecroSkill, spell, 101);
    case 3:
        return rowOf(kPaladinSkill, spell, 201);
    case 5:
        return rowOf(kBushidoSkill, spell, 401);
    case 6:
        return rowOf(kNinjitsuSkill, spell, 501);
    case 7:
        return rowOf(kWeavingSkill, spell, 601);
    default:
        return 0;
    }
}

int32_t spellIconArt(int32_t spell)
{
    const KindRange* range = kindRangeOf(spell);
    return range ? spell + range->iconOffset : 0;
}

int32_t spellIconArtForIcon(int32_t spell)
{
    uint8_t kind = spellBookKind(spell);
    return kind == 5 || kind == 6 ? spellIconArt(spell) + 32 : spellIconArt(spell);
}

int32_t spellNameClilocId(int32_t spell)
{
    const KindRange* range = kindRangeOf(spell);
    return range ? spell + range->nameCliloc : 0;
}

int32_t spellDescriptionClilocId(int32_t spell)
{
    switch (spellBookKind(spell)) {
    case 5:
        return spell + 1062862;
    case 6:
        return spell + 1062778;
    case 7:
        return spell + 1071441;
    default:
        return spell + 1061289;
    }
}

bool extendedSpellMode() { return characterListFlag(5) || editServerMode(); }

int32_t spellbookSpellCount(const SpellbookItem& book)
{
    if (extendedSpellMode())
        return int32_t(book.spells.size());
    return int32_t(book.contents().size());
}

int32_t spellbookSpellAt(const SpellbookItem& book, int32_t index)
{
    if (index < 0)
        return -1;
    if (extendedSpellMode())
        return index < int32_t(book.spells.size()) ? book.spells[size_t(index)] : -1;
    int32_t at = 0;
    for (const Item* item = book.contents().head(); item; item = ContentList::next(item), ++at) {
        if (at == index)
            return item->amount;
    }
    return -1;
}

bool isSpellActive(int32_t spell) { return activeSpells()[uint16_t(spell)]; }

void setSpellActive(int32_t spell, bool active) { activeSpells()[uint16_t(spell)] = active; }

int32_t lastSpell() { return lastSpellId(); }

void setLastSpell(int32_t spell) { lastSpellId() = spell; }

bool castSpell(int32_t spell, uint32_t bookSerial, bool remember)
{
    std::array<uint8_t, 64> storage {};
    PacketBuffer packet(storage.data(), storage.size());
    bool built = false;
    if (extendedSpellMode()) {
        built = buildCastSpellPacket(packet, uint16_t(spell), bookSerial);
    } else {
        char text[32];
        if (bookSerial != 0) {
            std::snprintf(text, sizeof text, "%d %d", int(spell), int(bookSerial));
            built = buildTextCommandPacket(packet, 0x27, text);
        } else {
            std::snprintf(text, sizeof text, "%d", int(spell));
            built = buildTextCommandPacket(packet, 0x56, text);
        }
    }
    if (remember)
        setLastSpell(spell);
    return built && sendWindowPacket(packet);
}

bool openSpellbookByKind(uint8_t kind)
{
    static constexpr std::array<char, 8> kOpenDigits { 0, '1', '2', '3', 0, '4', '5', '6' };
    if (kind >= kOpenDigits.size() || kOpenDigits[kind] == 0)
        return false;
    char text[2] { kOpenDigits[kind], 0 };
    std::array<uint8_t, 16> storage {};
    PacketBuffer packet(storage.data(), storage.size());
    return buildTextCommandPacket(packet, 0x43, text) && sendWindowPacket(packet);
}

bool fillSpellbookContent(uint32_t serial, uint16_t firstSpell, std::span<const uint8_t, 8> bits)
{
    Item* object = findItemBySerial(serial);
    if (!object || !object->isSpellbook())
        return false;
    auto& book = static_cast<SpellbookItem&>(*object);
    book.spells.clear();
    for (size_t i = 0; i < bits.size(); ++i) {
        for (int32_t j = 0; j < 8; ++j) {
            if (bits[i] & (1u << j))
                book.spells.push_back(uint16_t(firstSpell + 8 * i + size_t(j)));
        }
    }
    return true;
}

std::string spellWordInitials(int32_t spell)
{
    std::string initials;
    std::string_view words = spellWords(spell);
    bool atStart = true;
    for (char c : words) {
        if (atStart && c != ' ')
            initials += c;
        atStart = c == ' ';
    }
    return initials;
}
