#include "world/multi_components.h"

#include "core/byte_cursor.h"
#include "data/data_files.h"
#include "world/item.h"
#include "world/map_view.h"

#include <algorithm>
#include <cstdlib>

namespace {

uint16_t readBigU16(std::span<const uint8_t> bytes, size_t at) { return uint16_t((bytes[at] << 8) | bytes[at + 1]); }

} // namespace

StaticObject* makeMultiPiece(uint16_t graphic, uint16_t hue)
{
    StaticObject* object = allocStatic(graphic);
    object->drawGraphic = remappedDrawGraphic(graphic);
    object->baseHue = hue;
    object->hue = hue;
    object->markMultiPart();
    worldLists().multiParts.pushFront(object);
    return object;
}

namespace {

// A new list of the item's multi records: the first gives the item its own
// picture and hue, the shown ones become pieces.
MultiComponentList* buildFromRecords(Item& item, int32_t multiId, const std::vector<MultiRecord>& records)
{
    auto* list = new MultiComponentList(item);
    list->setMultiId(multiId);
    bool first = true;
    for (const MultiRecord& record : records) {
        if (first) {
            first = false;
            item.graphic = record.graphic;
            item.drawGraphic = remappedDrawGraphic(record.graphic);
            item.baseHue = 0;
            item.hue = 0;
            continue;
        }
        if (record.flags != 1)
            continue;
        list->append(makeMultiPiece(record.graphic, 0), record.x, record.y, record.z);
    }
    list->setPlaced(false);
    return list;
}

} // namespace

void MultiComponentList::append(StaticObject* object, int32_t dx, int32_t dy, int32_t dz)
{
    m_components.push_back({ object, int16_t(dx), int16_t(dy), dz });
    m_extent = std::max({ m_extent, std::abs(dx), std::abs(dy) });
}

void MultiComponentList::placeAt(int32_t x, int32_t y, int32_t z)
{
    for (const MultiComponent& component : m_components) {
        if (!component.object->isDetached())
            component.object->leaveWorld();
        component.object->enterWorldAt(x + component.dx, y + component.dy, z + component.dz);
    }
    m_placed = true;
    worldService<RadarView>().rebuildRadar();
}

MultiComponent* MultiComponentList::find(int32_t dx, int32_t dy, int32_t dz, uint16_t graphic)
{
    for (MultiComponent& component : m_components) {
        if (component.dx == dx && component.dy == dy && component.dz == dz && component.object->graphic == graphic)
            return &component;
    }
    return nullptr;
}

bool MultiComponentList::remove(const DesignRecord& record)
{
    for (auto it = m_components.begin(); it != m_components.end(); ++it) {
        if (it->dx == record.dx && it->dy == record.dy && it->dz == record.dz && it->object->graphic == record.graphic
            && it->object->baseHue == record.hue) {
            StaticObject* object = it->object;
            m_components.erase(it);
            object->destroy();
            return true;
        }
    }
    return false;
}

void MultiComponentList::removeAt(int32_t dx, int32_t dy, int32_t dz)
{
    std::vector<StaticObject*> removed;
    std::erase_if(m_components, [&](const MultiComponent& component) {
        bool match = component.dx == dx && component.dy == dy && component.dz == dz;
        if (match)
            removed.push_back(component.object);
        return match;
    });
    for (StaticObject* object : removed)
        object->destroy();
}

void MultiComponentList::destroy()
{
    std::vector<MultiComponent> components;
    components.swap(m_components);
    if (!m_shared) {
        for (const MultiComponent& component : components)
            component.object->destroy();
    }
    m_placed = false;
    m_multiId = -1;
    m_extent = 0;
}

bool getMultiComponents(int32_t multiId, std::vector<MultiRecord>& records)
{
    records.clear();
    int32_t length = 0;
    uint32_t extra = 0;
    const uint8_t* data = multiId >= 0 ? lookupIndexedRecord(kMultiIndexFile, kMultiDataFile, multiId, length, extra)
                                       : nullptr;
    if (!data || length < 0)
        return false;
    ByteCursor cursor(std::span<const uint8_t>(data, size_t(length)));
    records.reserve(size_t(length / kMultiRecordBytes));
    for (int32_t n = length / kMultiRecordBytes; n > 0; --n) {
        MultiRecord record;
        record.graphic = cursor.readU16();
        record.x = cursor.readI16();
        record.y = cursor.readI16();
        record.z = cursor.readI16();
        record.flags = cursor.readU32();
        records.push_back(record);
    }
    return true;
}

bool attachMultiComponents(int32_t multiId, Item& item)
{
    std::vector<MultiRecord> records;
    if (!getMultiComponents(multiId, records))
        return false;
    item.replaceMulti(nullptr);
    item.replaceMulti(buildFromRecords(item, multiId, records));
    return true;
}

void applyDesignRecords(Item& item, std::span<const DesignRecord> records)
{
    int32_t multiId = item.multi() ? item.multi()->multiId() : -1;
    item.replaceMulti(nullptr);
    auto* list = new MultiComponentList(item);
    list->setMultiId(multiId);
    for (const DesignRecord& record : records)
        list->append(makeMultiPiece(record.graphic, record.hue), record.dx, record.dy, record.dz);
    item.replaceMulti(list);
    item.moveTo(item.x, item.y, item.z);
    list->placeAt(item.x, item.y, item.z);
}

void updateMultiPosition(Item& item, int32_t x, int32_t y, int32_t z, int32_t multiId)
{
    if (item.multi() && item.multi()->multiId() != multiId)
        item.replaceMulti(nullptr);
    if (!item.multi())
        attachMultiComponents(multiId, item);
    MultiComponentList* list = item.multi();
    if (!list) {
        item.moveTo(x, y, z);
        return;
    }
    if (list->isPlaced() && item.isPlaced() && !item.isDetached() && item.x == x && item.y == y && item.z == z)
        return;
    item.moveTo(x, y, z);
    list->placeAt(x, y, z);
}

std::vector<MultiRecord> convertMultiRecords(std::span<const uint8_t> data)
{
    std::vector<MultiRecord> records;
    size_t count = data.size() / size_t(kMultiRecordBytes);
    records.reserve(count);
    for (size_t n = 0; n < count; ++n) {
        size_t at = n * size_t(kMultiRecordBytes);
        MultiRecord record;
        record.graphic = readBigU16(data, at);
        record.x = int16_t(readBigU16(data, at + 2));
        record.y = int16_t(readBigU16(data, at + 4));
        record.z = int16_t(readBigU16(data, at + 6));
        record.flags = (uint32_t(readBigU16(data, at + 8)) << 16) | readBigU16(data, at + 10);
        records.push_back(record);
    }
    return records;
}

void MultiComponentService::updatePosition(Item& item, int32_t x, int32_t y, int32_t z, int32_t multiId)
{
    updateMultiPosition(item, x, y, z, multiId);
}

void MultiComponentService::release(MultiComponentList* list) { delete list; }

int32_t MultiComponentService::extent(const MultiComponentList* list) { return list ? list->extent() : 0; }

void MultiComponentService::setShared(MultiComponentList* list)
{
    if (list)
        list->setShared(true);
}
