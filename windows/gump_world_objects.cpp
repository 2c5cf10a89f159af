#include "windows/gump_world_objects.h"

#include "gump/gump_manager.h"
#include "world/container_item.h"
#include "world/item_graphics.h"
#include "world/mobile.h"
#include "world/world_screen.h"

namespace {

Item* asItem(WorldObject* object)
{
    return isValidWorldObject(object) && object->isDynamic() && object->hasItemTile() ? static_cast<Item*>(object)
                                                                                     : nullptr;
}

} // namespace

ScreenRect objectClientRect(const WorldObject& object)
{
    const WorldScreen& world = worldScreen();
    const GumpScreen& screen = gumpScreen();
    const ScreenRect& r = object.screenRect;
    int32_t dx = screen.gameViewX - world.viewPixelX;
    int32_t dy = screen.gameViewY - world.viewPixelY;
    return { r.left + dx, r.top + dy, r.right + dx, r.bottom + dy };
}

bool WorldObjectsForGumps::isValidObject(WorldObject* object) { return isValidWorldObject(object); }

bool WorldObjectsForGumps::isPlayer(WorldObject* object) { return isValidWorldObject(object) && object->isPlayer(); }

bool WorldObjectsForGumps::isMobile(WorldObject* object) { return isValidWorldObject(object) && object->isMobile(); }

bool WorldObjectsForGumps::isCorpse(WorldObject* object)
{
    Item* item = asItem(object);
    return item && item->isCorpse();
}

bool WorldObjectsForGumps::isContainer(WorldObject* object)
{
    return isValidWorldObject(object) && object->isContainer();
}

bool WorldObjectsForGumps::isLiftableItem(WorldObject* object)
{
    Item* item = asItem(object);
    return item && !item->isMobile() && item->isLiftable();
}

uint32_t WorldObjectsForGumps::serialOf(WorldObject* object)
{
    Item* item = asItem(object);
    return item ? item->serial : 0;
}

WorldObject* WorldObjectsForGumps::parentObject(WorldObject* object)
{
    Item* item = asItem(object);
    return item ? item->container() : nullptr;
}

void WorldObjectsForGumps::forgetOpenGump(WorldObject*, CGump*) { }

std::vector<GumpWorld::NameCandidate> WorldObjectsForGumps::nameCandidates(const ScreenRect& gameArea)
{
    std::vector<NameCandidate> candidates;
    for (Item* each = itemList().head(); each; each = ItemList::next(each)) {
        Item& item = *each;
        bool mobile = item.isMobile();
        if (!(mobile || item.isContainer() || item.isLiftable()))
            continue;
        if ((item.flags & kObjectHidden) || item.container() || !item.isPlaced())
            continue;
        if (!mobile && (item.graphic == 0 || isHiddenItemGraphic(item.graphic)))
            continue;
        ScreenRect bounds = objectClientRect(item);
        if (bounds.right < gameArea.left || bounds.left > gameArea.right || bounds.bottom < gameArea.top
            || bounds.top > gameArea.bottom)
            continue;
        candidates.push_back({ item.serial, bounds });
    }
    return candidates;
}
