#pragma once
// Multis: one server item standing for a whole set of static pieces (a house,
// a boat), each at an offset from the item. The pieces come from
// "multi.idx"/"multi.mul" by multi id (12-byte records: uint16 graphic,
// int16 x, y, z offsets, uint32 flags, 1 = shown), or from a cached house
// design. The item owns its component list; the pieces are statics marked as
// multi parts, so that the statics window leaves them alone, and in the
// multi-part list, so that they come into the world near the player.
// Main thread only.

#include "world/world_services.h"

#include <cstdint>
#include <span>
#include <vector>

class Item;
class StaticObject;

struct MultiRecord {
    uint16_t graphic = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t z = 0;
    uint32_t flags = 0;
};
constexpr int32_t kMultiRecordBytes = 12;
constexpr int32_t kMultiIndexFile = 13;
constexpr int32_t kMultiDataFile = 14;

// A record of a cached house design.
struct DesignRecord {
    uint16_t graphic = 0;
    uint16_t hue = 0;
    int16_t dx = 0;
    int16_t dy = 0;
    int16_t dz = 0;
    bool operator==(const DesignRecord&) const = default;
};

struct MultiComponent {
    StaticObject* object = nullptr;
    int16_t dx = 0;
    int16_t dy = 0;
    int32_t dz = 0;
};

class MultiComponentList {
public:
    explicit MultiComponentList(Item& owner)
        : m_owner(&owner)
    {
    }
    ~MultiComponentList() { destroy(); }
    MultiComponentList(const MultiComponentList&) = delete;
    MultiComponentList& operator=(const MultiComponentList&) = delete;

    // Moves every piece to (x + dx, y + dy, z + dz) and marks the list placed.
    void placeAt(int32_t x, int32_t y, int32_t z);
    // The first node with those offsets whose object shows `graphic`.
    MultiComponent* find(int32_t dx, int32_t dy, int32_t dz, uint16_t graphic);
    // Removes (and destroys) the first node matching offsets, graphic and raw
    // hue; false when there is none.
    bool remove(const DesignRecord& record);
    // Removes every node at those offsets.
    void removeAt(int32_t dx, int32_t dy, int32_t dz);
    // Destroys the pieces unless shared, and empties the list.
    void destroy();
    void setShared(bool shared) { m_shared = shared; }
    // Appends a piece; the extent grows to cover it.
    void append(StaticObject* object, int32_t dx, int32_t dy, int32_t dz);

    const std::vector<MultiComponent>& components() const { return m_components; }
    Item& owner() const { return *m_owner; }
    int32_t multiId() const { return m_multiId; }
    void setMultiId(int32_t id) { m_multiId = id; }
    bool isShared() const { return m_shared; }
    bool isPlaced() const { return m_placed; }
    void setPlaced(bool placed) { m_placed = placed; }
    int32_t extent() const { return m_extent; }

private:
    std::vector<MultiComponent> m_components;
    Item* m_owner;
    int32_t m_multiId = -1;
    int32_t m_extent = 0;
    bool m_shared = false;
    bool m_placed = false;
};

// A new piece of a multi, marked as a multi part; the caller appends it to a
// component list, which owns it from then on.
StaticObject* makeMultiPiece(uint16_t graphic, uint16_t hue);
// The records of multi `multiId`; false when multi.idx has no such entry.
bool getMultiComponents(int32_t multiId, std::vector<MultiRecord>& records);
// Builds the item's list from multi.mul (the first record gives the item its
// own graphic and hue); false when the multi has no entry.
bool attachMultiComponents(int32_t multiId, Item& item);
// Rebuilds the item's list from a cached design and places it at the item.
void applyDesignRecords(Item& item, std::span<const DesignRecord> records);
// The server moved (or first sent) a multi item.
void updateMultiPosition(Item& item, int32_t x, int32_t y, int32_t z, int32_t multiId);
// Records of a server packet, in network byte order; a trailing partial
// record is left out.
std::vector<MultiRecord> convertMultiRecords(std::span<const uint8_t> data);

// The item graphic of the figurine that stands for `body` in icons; 0 when
// the body has none.
int32_t getFigurineGraphic(int32_t body);

// The world service the items call for their multis.
class MultiComponentService final : public MultiComponents {
public:
    void updatePosition(Item& item, int32_t x, int32_t y, int32_t z, int32_t multiId) override;
    void release(MultiComponentList* list) override;
    int32_t extent(const MultiComponentList* list) override;
    void setShared(MultiComponentList* list) override;
};
