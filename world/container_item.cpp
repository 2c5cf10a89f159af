#include "world/container_item.h"

#include "world/mobile.h"
#include "world/world_services.h"

#include <algorithm>

namespace {

// A picture taller than the grid is wide would wrap its slices round the
// ring onto cells it does not cover.
constexpr int32_t kMaxSlices = 64;
constexpr int32_t kBandHeight = 44;

} // namespace

ContainerItem::ContainerItem(uint32_t itemSerial, uint16_t itemGraphic, int8_t itemGraphicOffset, bool keepInItemList)
    : Item(itemSerial, itemGraphic, itemGraphicOffset)
{
    if (!keepInItemList)
        itemList().remove(this);
}

ContainerItem::~ContainerItem()
{
    detach();
    destroySlices();
    worldService<ContainerViews>().containerDestroyed(*this);
    destroyContents();
}

bool ContainerItem::isBookGraphic() const { return graphic == 3834 || graphic == 3643; }

void ContainerItem::destroyContents()
{
    while (Item* first = m_contents.head()) {
        // Unlinked before it goes, so the list never holds a dying item.
        m_contents.remove(first);
        first->destroy();
    }
}

void ContainerItem::createSlices(bool withMountSlice)
{
    int32_t cellX = 0;
    int32_t cellY = 0;
    linkCell(cellX, cellY);
    int32_t bottom = screenRect.bottom;
    auto addSlice = [this](int32_t top, int32_t end, int32_t sliceX, int32_t sliceY) {
        auto* slice = new TallObjectSlice(*this, top, end, sliceX, sliceY);
        slice->m_nextSlice = m_firstSlice;
        m_firstSlice = slice;
        slice->insertIntoCell(sliceX, sliceY);
    };
    if (withMountSlice) {
        int32_t top = baseY - kBandHeight / 2;
        int32_t end = std::min(bottom, baseY + kBandHeight / 2);
        if (top < end)
            addSlice(top, end, cellX + 1, cellY + 1);
    }
    int32_t band = 1;
    for (int32_t top = baseY; top < bottom && band <= kMaxSlices; top += kBandHeight, ++band)
        addSlice(top, std::min(top + kBandHeight, bottom), cellX + band, cellY + band);
}

void ContainerItem::destroySlices()
{
    while (TallObjectSlice* slice = m_firstSlice) {
        m_firstSlice = slice->m_nextSlice;
        slice->m_owner = nullptr;
        slice->destroy();
    }
}

void ContainerItem::unlinkSlice(TallObjectSlice& slice)
{
    TallObjectSlice** link = &m_firstSlice;
    while (*link && *link != &slice)
        link = &(*link)->m_nextSlice;
    if (*link)
        *link = slice.m_nextSlice;
}

void emptyContainer(ContainerItem& container) { container.destroyContents(); }

namespace {

bool g_containerBulkAdd = false;

} // namespace

bool isContainerBulkAdd() { return g_containerBulkAdd; }

void setContainerBulkAdd(bool bulk) { g_containerBulkAdd = bulk; }

int32_t countContents(const ContainerItem& container) { return int32_t(container.contents().size()); }

Corpse::Corpse(uint32_t itemSerial, uint16_t itemGraphic)
    : ContainerItem(itemSerial, itemGraphic, 0, true)
{
    direction = 0;
}

Corpse::~Corpse() { detach(); }

void Corpse::place()
{
    if (isPlaced())
        removeFromGrid();
    if (placeable == 0)
        return;
    placeWithDepthKey(z + 1);
    createSlices(false);
}

void Corpse::removeFromGrid()
{
    destroySlices();
    WorldObject::removeFromGrid();
}

bool Corpse::setLayerSerial(int32_t layerNumber, uint32_t itemSerial)
{
    if (layerNumber < 0 || layerNumber >= kLayerSerialCount)
        return false;
    m_layerSerials[size_t(layerNumber)] = itemSerial;
    return true;
}

uint32_t Corpse::layerSerial(int32_t layerNumber) const
{
    if (layerNumber < 0 || layerNumber >= kLayerSerialCount)
        return 0;
    return m_layerSerials[size_t(layerNumber)];
}

Item* Corpse::layerItem(int32_t layerNumber) const
{
    uint32_t wanted = layerSerial(layerNumber);
    if (wanted == 0)
        return nullptr;
    for (Item* item = contents().head(); item; item = ContentList::next(item)) {
        if (item->serial == wanted)
            return item;
    }
    return nullptr;
}

MapItem::MapItem(uint32_t itemSerial, uint16_t itemGraphic, int8_t itemGraphicOffset, bool keepInItemList)
    : Item(itemSerial, itemGraphic, itemGraphicOffset)
{
    if (!keepInItemList)
        itemList().remove(this);
}

MapItem::~MapItem()
{
    detach();
    worldService<MapWindows>().closeFor(*this);
}

int32_t MapItem::editPlotPoint(uint8_t command, uint8_t index, uint16_t pointX, uint16_t pointY)
{
    size_t count = m_plotPoints.size();
    const bool adds = PlotCommand(command) == PlotCommand::Append || PlotCommand(command) == PlotCommand::Insert;
    if (adds && count >= size_t(kMaxPlotPoints))
        return -1;
    switch (PlotCommand(command)) {
    case PlotCommand::Append:
        m_plotPoints.push_back({ pointX, pointY });
        break;
    case PlotCommand::Insert:
        if (index > count)
            return -1;
        m_plotPoints.insert(m_plotPoints.begin() + index, PlotPoint { pointX, pointY });
        break;
    case PlotCommand::Change:
        if (index >= count)
            return -1;
        m_plotPoints[index] = { pointX, pointY };
        break;
    case PlotCommand::Remove:
        if (index >= count)
            return -1;
        m_plotPoints.erase(m_plotPoints.begin() + index);
        break;
    case PlotCommand::Clear:
        m_plotPoints.clear();
        break;
    default:
        return -1;
    }
    return plotPointCount();
}

SpellbookItem::SpellbookItem(uint32_t itemSerial, uint16_t itemGraphic, int8_t itemGraphicOffset, bool keepInItemList)
    : ContainerItem(itemSerial, itemGraphic, itemGraphicOffset, keepInItemList)
{
}

SpellbookItem::~SpellbookItem() = default;
