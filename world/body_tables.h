#pragma once
// The tables that describe mobile bodies to the animation code, read at
// start-up from three small text files: "mobtypes.txt" (the kind and
// animation flags of each body), "bodyconv.def" (the body to use instead in
// each of the four additional animation sets) and "Equipconv.def" (the item
// graphic and paperdoll gump a body wears instead of an item's own). Main thread.

#include <array>
#include <cstdint>
#include <map>
#include <string_view>

enum class BodyType : int32_t {
    Monster = 0,
    SeaMonster = 1,
    Animal = 2,
    Human = 3,
    Equipment = 4,
};

class BodyTypeTable {
public:
    static constexpr int32_t kBodyCount = 2048;

    // Lines "body word flags" (flags in hexadecimal); only the word's first
    // letter counts. Lines missing a field, with a body outside 1..2047 or an
    // unknown word are skipped.
    void load(std::string_view text);

    // Bodies outside the table read entry 0.
    BodyType getBodyType(int32_t body) const;
    bool isListed(int32_t body) const { return entry(body).listed; }
    // Listed, with any of `flag`'s bits.
    bool hasFlag(int32_t body, uint32_t flag) const;
    bool isHuman(int32_t body) const;
    bool isAnimal(int32_t body) const;
    bool isHumanLike(int32_t body) const;
    bool isAnimalLike(int32_t body) const;

private:
    struct Entry {
        bool listed = false;
        // Unlisted bodies keep type 0; getBodyType answers Equipment for them.
        BodyType type = BodyType::Monster;
        uint32_t flags = 0;
    };
    const Entry& entry(int32_t body) const;

    std::array<Entry, kBodyCount> m_entries {};
};

class BodyConversionTable {
public:
    static constexpr int32_t kBodyCount = 16384;
    static constexpr int32_t kSetCount = 4;

    BodyConversionTable();
    // Lines of five numbers: the body, then its body in sets 1 to 4 (-1 for
    // none). Shorter lines and bodies outside the table are skipped.
    void load(std::string_view text);
    // The body to use in additional animation set 1..4, or -1.
    int32_t alternative(int32_t body, int32_t set) const;

private:
    std::array<std::array<int32_t, kSetCount>, kBodyCount> m_alternatives;
};

struct EquipConvEntry {
    int32_t graphic = 0;
    int32_t gump = 0;
    uint32_t hue = 0;
};

class EquipConvTable {
public:
    // Lines "body graphic converted-graphic gump hue" (hue in hexadecimal);
    // replaces everything held before. Shorter lines are skipped.
    void load(std::string_view text);
    const EquipConvEntry* find(int32_t body, int32_t graphic) const;
    // The graphic a body shows for an item graphic.
    int32_t getConvertedEquipGraphic(int32_t body, int32_t graphic) const;
    // The paperdoll gump for an item graphic on a body.
    int32_t getGump(int32_t body, int32_t graphic) const;

private:
    std::map<int32_t, std::map<int32_t, EquipConvEntry>> m_entries;
};

BodyTypeTable& bodyTypes();
BodyConversionTable& bodyConversions();
EquipConvTable& equipConv();

// Start-up readers: "mobtypes.txt" through the file manager's search paths,
// "bodyconv.def" and "Equipconv.def" from the client directory. False when
// the file is missing; the table then keeps what it held.
bool loadBodyTypes();
bool loadBodyConversions();
bool loadEquipConv();
