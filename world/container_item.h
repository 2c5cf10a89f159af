#pragma once
// Items that hold other items, and two item kinds with data of their own:
// ContainerItem keeps a content list (its children, each linked once); Corpse
// also remembers which item the dead body wore in each layer; MapItem keeps
// the plot points of a map; SpellbookItem keeps the spells its window fills
// in. Mobile derives from ContainerItem too. Destroying a container destroys
// its whole content tree. The windows that show these objects find them
// through the window services; the objects keep no window pointers.
// Main thread only.

#include "world/item.h"

#include <array>
#include <cstdint>
#include <vector>

class TallObjectSlice;

using ContentList = IntrusiveList<Item, &Item::contentLink>;

class ContainerItem : public Item {
public:
    // With keepInItemList false the container leaves the global item list at
    // once, so that lookups by serial never find it.
    ContainerItem(uint32_t itemSerial, uint16_t itemGraphic, int8_t itemGraphicOffset, bool keepInItemList);
    ~ContainerItem() override;

    void destroy() override { WorldObject::destroy(); }
    bool isContainer() const override { return true; }
    bool isBookGraphic() const override;
    int32_t cellReach() const override { return m_cellReach; }

    const ContentList& contents() const { return m_contents; }
    TallObjectSlice* firstSlice() const { return m_firstSlice; }
    void setCellReach(int32_t reach) { m_cellReach = reach; }

    // A slice being destroyed leaves the list.
    void unlinkSlice(TallObjectSlice& slice);

    // The base line kept by the mobile and corpse drawing.
    int32_t baseY = 0;

protected:
    // The slices of a tall object: bands below its base line, each linked
    // into the cell the band covers.
    void createSlices(bool withMountSlice);
    void destroySlices();
    // Destroys every content item, first content first.
    void destroyContents();

private:
    friend class Item;
    friend void emptyContainer(ContainerItem& container);
    ContentList m_contents;
    TallObjectSlice* m_firstSlice = nullptr;
    int32_t m_cellReach = 0;
};

// Destroys every content item (the server refills the container).
void emptyContainer(ContainerItem& container);

// Set while a container's whole contents arrive in one packet: the windows
// keep each item that enters or leaves in place without drawing, and draw
// once when all are in (ContainerViews::contentsArrived).
bool isContainerBulkAdd();
void setContainerBulkAdd(bool bulk);
int32_t countContents(const ContainerItem& container);

class Corpse final : public ContainerItem {
public:
    static constexpr uint16_t kCorpseGraphic = 0x2006;
    // Layers 0..25 each name the serial of the content the body wore.
    static constexpr int32_t kLayerSerialCount = 26;

    Corpse(uint32_t itemSerial, uint16_t itemGraphic);
    ~Corpse() override;

    void computeBounds() override;
    void draw(const BlitTarget& target, const ScreenRect& dirty) override;
    // Whether the body's death frame covers a world pixel.
    bool hitTest(int32_t pointX, int32_t pointY) const;
    void place() override;
    void removeFromGrid() override;
    bool isCorpse() const override { return true; }
    uint32_t tileFlags() const override { return 0; }
    int32_t tileHeight() const override { return 6; }

    // The corpse-equipment packet and the drawing use one mapping: entry L
    // for layer L. A layer outside the table is not stored (false) and reads 0.
    bool setLayerSerial(int32_t layerNumber, uint32_t itemSerial);
    uint32_t layerSerial(int32_t layerNumber) const;
    // The content the body wore in `layerNumber`, or null.
    Item* layerItem(int32_t layerNumber) const;

private:
    std::array<uint32_t, kLayerSerialCount> m_layerSerials {};
};

struct PlotPoint {
    uint16_t x = 0;
    uint16_t y = 0;
};

class MapItem final : public Item {
public:
    enum class PlotCommand : uint8_t { Append = 1, Insert = 2, Change = 3, Remove = 4, Clear = 5 };

    MapItem(uint32_t itemSerial, uint16_t itemGraphic, int8_t itemGraphicOffset, bool keepInItemList);
    ~MapItem() override;

    void destroy() override { WorldObject::destroy(); }
    bool isMap() const override { return true; }
    bool isLiftable() const override { return Item::isLiftable(); }

    // A course holds at most this many points: an index on the wire is one
    // byte.
    static constexpr int32_t kMaxPlotPoints = 256;

    // Commands 1, 2, 4 and 5 answer the new count; 3 answers the count too.
    // An index outside the list (commands 2 to 4) changes nothing and
    // answers -1, as do an unknown command and an addition to a full course.
    int32_t editPlotPoint(uint8_t command, uint8_t index, uint16_t pointX, uint16_t pointY);
    const std::vector<PlotPoint>& plotPoints() const { return m_plotPoints; }
    int32_t plotPointCount() const { return int32_t(m_plotPoints.size()); }

private:
    std::vector<PlotPoint> m_plotPoints;
};

class SpellbookItem final : public ContainerItem {
public:
    SpellbookItem(uint32_t itemSerial, uint16_t itemGraphic, int8_t itemGraphicOffset, bool keepInItemList);
    ~SpellbookItem() override;

    bool isSpellbook() const override { return true; }

    // Filled by the spellbook-content packet, read by the spellbook window.
    std::vector<uint16_t> spells;
};
