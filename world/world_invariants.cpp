#include "world/world_invariants.h"

#include "world/cell_grid.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <cstdio>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace {

std::string describe(const char* what, const void* object)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s (object %p)", what, object);
    return text;
}

std::string describeItem(const char* what, const Item* item)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s (serial 0x%08X)", what, item ? unsigned(item->serial) : 0u);
    return text;
}

// Walks a list both ways; false when a link disagrees, a member is not
// live, or the length is not its count.
template <typename List, typename T>
std::string checkList(const List& list, const char* name, std::unordered_set<const WorldObject*>* members)
{
    const T* previous = nullptr;
    size_t count = 0;
    for (const T* object = list.head(); object; object = List::next(object)) {
        if (!isValidWorldObject(object))
            return describe((std::string(name) + ": a member is not alive").c_str(), object);
        if (List::prev(object) != previous || !List::isLinked(object))
            return describe((std::string(name) + ": broken links").c_str(), object);
        if (members && !members->insert(object).second)
            return describe((std::string(name) + ": a member is listed twice").c_str(), object);
        previous = object;
        if (++count > list.size())
            return std::string(name) + ": longer than its count (a loop?)";
    }
    if (previous != list.tail())
        return std::string(name) + ": the tail is not the last member";
    if (count != list.size())
        return std::string(name) + ": shorter than its count";
    return {};
}

struct Reachable {
    std::unordered_set<const WorldObject*> objects;

    bool add(const WorldObject* object) { return objects.insert(object).second; }
};

std::string checkParentChain(const Item* item, size_t limit)
{
    size_t steps = 0;
    for (const Item* parent = item->container(); parent; parent = parent->container()) {
        if (parent == item)
            return describeItem("an item is inside itself", item);
        if (!isValidWorldObject(parent))
            return describeItem("an item's parent is not alive", item);
        if (++steps > limit)
            return describeItem("a parent chain does not end", item);
    }
    return {};
}

std::string checkPlace(const Item* item, const std::unordered_set<const WorldObject*>& inWorld)
{
    const Item* parent = item->container();
    bool listedInWorld = inWorld.count(item) != 0;
    if (!parent) {
        if (listedInWorld == item->isDetached())
            return describeItem("the detached mark disagrees with the world list", item);
        if (item->isPlaced() && !listedInWorld)
            return describeItem("a placed item is not in the world", item);
        return {};
    }
    if (listedInWorld || item->isPlaced() || item->isDetached())
        return describeItem("a contained item is also in the world", item);
    if (!parent->isContainer())
        return describeItem("an item's parent is not a container", item);
    bool inContents = false;
    for (const Item* content = static_cast<const ContainerItem*>(parent)->contents().head(); content;
         content = ContentList::next(content)) {
        if (content == item) {
            if (inContents)
                return describeItem("an item is twice in one content list", item);
            inContents = true;
        }
    }
    bool worn = parent->isMobile() && static_cast<const Mobile*>(parent)->layerItem(item->layer) == item;
    if (inContents == worn)
        return describeItem(inContents ? "an item is both worn and in the contents" : "an item is in no slot of its parent",
            item);
    return {};
}

std::string checkContainer(const ContainerItem* container, Reachable& reachable)
{
    std::string fault = checkList<ContentList, Item>(container->contents(), "content list", nullptr);
    if (!fault.empty())
        return fault;
    for (const Item* content = container->contents().head(); content; content = ContentList::next(content)) {
        if (content->container() != container)
            return describeItem("a content item names another parent", content);
        if (!reachable.add(content))
            return describeItem("an item is reachable from two places", content);
    }
    if (container->isMobile()) {
        const auto* mobile = static_cast<const Mobile*>(container);
        for (int32_t layer = 0; layer < kLayerCount; ++layer) {
            const Item* worn = mobile->layerItem(layer);
            if (!worn)
                continue;
            if (!isValidWorldObject(worn))
                return describeItem("a layer holds a dead item", mobile);
            if (worn->container() != mobile || worn->layer != layer || ContentList::isLinked(worn))
                return describeItem("a worn item disagrees with its slot", worn);
            if (!reachable.add(worn))
                return describeItem("an item is reachable from two places", worn);
        }
    }
    for (const TallObjectSlice* slice = container->firstSlice(); slice; slice = slice->nextSlice()) {
        if (!isValidWorldObject(slice) || slice->owner() != container)
            return describeItem("a slice list is broken", container);
        if (!reachable.add(slice))
            return describeItem("a slice is listed twice", container);
    }
    return {};
}

std::string checkCells(const Reachable* reachable, std::unordered_set<const WorldObject*>& linked)
{
    const WorldCellGrid& grid = worldCellGrid();
    for (int32_t index = 0; index < WorldCellGrid::kCellCount; ++index) {
        const WorldObject* previous = nullptr;
        const WorldObject* previousSorted = nullptr;
        for (const WorldObject* object = grid.head(index); object; object = object->cellNext()) {
            if (!isValidWorldObject(object))
                return describe("a cell holds a dead object", object);
            if (reachable && !reachable->objects.count(object))
                return describe("a cell holds an object no list reaches", object);
            if (object->cellPrev() != previous || !object->isPlaced())
                return describe("a cell's links are broken", object);
            if (!linked.insert(object).second)
                return describe("an object is in two cells (or twice in one)", object);
            // Slices take the key of the land they stand before; everything
            // else keeps its cell sorted by key.
            if (!object->isSlice()) {
                if (previousSorted && previousSorted->depthKey > object->depthKey)
                    return describe("a cell is out of order", object);
                previousSorted = object;
            }
            previous = object;
        }
    }
    return {};
}

std::string checkGrid(const Reachable& reachable)
{
    std::unordered_set<const WorldObject*> linked;
    std::string fault = checkCells(&reachable, linked);
    if (!fault.empty())
        return fault;
    for (const WorldObject* object : reachable.objects) {
        if (object->isPlaced() && !linked.count(object))
            return describe("a placed object is in no cell", object);
    }
    return {};
}

} // namespace

std::string checkCellGrid()
{
    std::unordered_set<const WorldObject*> linked;
    return checkCells(nullptr, linked);
}

std::string checkWorldInvariants()
{
    WorldLists& lists = worldLists();
    std::unordered_set<const WorldObject*> inWorld;
    std::string fault = checkList<WorldList, StaticObject>(lists.world, "world list", &inWorld);
    if (fault.empty())
        fault = checkList<LightSourceList, StaticObject>(lists.lightSources, "light list", nullptr);
    if (fault.empty())
        fault = checkList<AnimatedList, StaticObject>(lists.animated, "animated list", nullptr);
    if (fault.empty())
        fault = checkList<FoliageList, StaticObject>(lists.foliage, "foliage list", nullptr);
    if (fault.empty())
        fault = checkList<MultiPartList, StaticObject>(lists.multiParts, "multi-part list", nullptr);
    std::unordered_set<const WorldObject*> items;
    if (fault.empty())
        fault = checkList<ItemList, Item>(itemList(), "item list", &items);
    std::unordered_set<const WorldObject*> mobiles;
    if (fault.empty())
        fault = checkList<MobileList, Mobile>(mobileList(), "mobile list", &mobiles);
    if (!fault.empty())
        return fault;

    // Every root of a parent chain is the player, in the world, or detached;
    // everything else is reached once from its parent.
    Reachable reachable;
    for (const WorldObject* object : inWorld)
        reachable.add(object);
    std::unordered_map<uint32_t, const Item*> serials;
    size_t playerCount = 0;
    for (const Item* item = itemList().head(); item; item = ItemList::next(item)) {
        fault = checkParentChain(item, items.size());
        if (fault.empty())
            fault = checkPlace(item, inWorld);
        if (!fault.empty())
            return fault;
        if (!item->container())
            reachable.add(item);
        if (item->isMobile() != (mobiles.count(item) != 0))
            return describeItem("the mobile list disagrees with the item list", item);
        if (item->isPlayer()) {
            ++playerCount;
            if (item != player())
                return describeItem("a player object that is not the player", item);
        }
        if (!(item->serial & kDyingSerialBit) && !serials.emplace(item->serial, item).second)
            return describeItem("two live objects share a serial", item);
    }
    if (playerCount > 1)
        return "more than one player object";
    if (player() && !items.count(player()))
        return "the player is not in the item list";
    for (const Item* item = itemList().head(); item; item = ItemList::next(item)) {
        if (item->isContainer()) {
            fault = checkContainer(static_cast<const ContainerItem*>(item), reachable);
            if (!fault.empty())
                return fault;
        }
    }
    for (const StaticObject* part = lists.multiParts.head(); part; part = MultiPartList::next(part))
        reachable.add(part);
    // Land and the flying effects (owned by their effect windows) live only
    // in their cells: the grid is what reaches them.
    const WorldCellGrid& grid = worldCellGrid();
    for (int32_t index = 0; index < WorldCellGrid::kCellCount; ++index) {
        for (const WorldObject* object = grid.head(index); object; object = object->cellNext()) {
            if (isValidWorldObject(object) && (object->isLand() || object->isEffect()))
                reachable.add(object);
        }
    }
    fault = checkGrid(reachable);
    if (!fault.empty())
        return fault;

    const LiveObjectRegistry& registry = LiveObject<WorldObjectTree>::registry();
    for (const WorldObject* object : reachable.objects) {
        if (!registry.contains(static_cast<const LiveObject<WorldObjectTree>*>(object)))
            return describe("a reachable object is not in the registry", object);
    }
    if (registry.size() != reachable.objects.size()) {
        char text[120];
        std::snprintf(text, sizeof text, "the registry holds %zu objects but %zu are reachable", registry.size(),
            reachable.objects.size());
        return text;
    }
    return {};
}
