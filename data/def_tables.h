#pragma once
// The ten .def remap tables. Each maps an id its installation lacks or wants
// to look different to a list of alternative ids and a hue; every subsystem
// that turns an id into data asks the table of its kind. The tables are
// loaded once at start-up from the client directory and only read afterwards.
// Main thread only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct DefEntry {
    std::vector<uint16_t> alternatives; // in file order
    int32_t hue = 0;
};

// What the tables ask of the world layer and the front end while loading and
// answering.
class DefTableWorld {
public:
    virtual ~DefTableWorld() = default;
    // Whether the art image of `artId` (below 0x4000 land, from 0x4000 static)
    // can be produced.
    virtual bool hasArtImage(uint16_t artId) = 0;
    // The partial-hue bit 0x40000 of item tile-data record `item` (0..16383).
    virtual bool itemHasPartialHue(uint16_t item) = 0;
    virtual void clearItemPartialHue(uint16_t item) = 0;
    // Whether animation set 1..4 is enabled for this account.
    virtual bool isAnimSetEnabled(int set) = 0;
    // The body-conversion table's entry for `body` in column 1..4; -1: none.
    virtual int32_t bodyConversion(uint16_t body, int column) = 0;
};

class DefTable {
public:
    DefTable() = default;
    virtual ~DefTable() = default;
    DefTable(const DefTable&) = delete;
    DefTable& operator=(const DefTable&) = delete;

    // Reads the file (a missing one leaves the table empty); the first line
    // for an id wins.
    virtual void load(const std::string& path);
    virtual bool contains(uint16_t id) const;
    virtual void add(uint16_t id, DefEntry entry);

    // id unchanged when the table does not contain it (or its list is
    // empty); otherwise alternative number r mod n, r being the first value
    // of the process random generator reseeded with `seed`.
    uint16_t translate(uint16_t id, uint32_t seed) const;
    // The entry without the table's contains rule.
    const DefEntry* getEntry(uint16_t id) const;
    size_t size() const { return m_entries.size(); }

    // One line of a .def file: an id, a brace-enclosed list of alternatives
    // and a hue; nothing when the line is no entry.
    static std::optional<std::pair<uint16_t, DefEntry>> parseLine(std::string_view line);

protected:
    bool containsPlain(uint16_t id) const { return m_entries.count(id) != 0; }

private:
    std::unordered_map<uint16_t, DefEntry> m_entries;
};

// Takes a line only when the sound is missing or too small to play.
class SoundDefTable final : public DefTable {
public:
    void add(uint16_t id, DefEntry entry) override;
};

// Takes a line only when the art image is missing; after loading, a remapped
// static keeps partial hueing only when its replacement has it too.
class ArtDefTable final : public DefTable {
public:
    explicit ArtDefTable(DefTableWorld& world)
        : m_world(world)
    {
    }
    void load(const std::string& path) override;
    void add(uint16_t id, DefEntry entry) override;

private:
    DefTableWorld& m_world;
};

// After loading, a body that an enabled animation set serves through the
// body-conversion table is never remapped.
class BodyDefTable final : public DefTable {
public:
    explicit BodyDefTable(DefTableWorld& world)
        : m_world(world)
    {
    }
    void load(const std::string& path) override;
    bool contains(uint16_t id) const override;

private:
    DefTableWorld& m_world;
    bool m_loaded = false;
};

enum class DefSlot {
    Sound,
    Gump,
    Anim1,
    Anim2,
    Anim3,
    Anim4,
    Art,
    TextureError,
    Body,
    Corpse,
};
constexpr int kDefSlotCount = 10;

// The file name of each slot ("sound.def", ...).
const char* defFileName(DefSlot slot);

// Creates the ten tables in slot order, each loaded from the client
// directory.
void createDefTables(DefTableWorld& world);
void destroyDefTables();
// Null before createDefTables and after destroyDefTables.
DefTable* defTable(DefSlot slot);
