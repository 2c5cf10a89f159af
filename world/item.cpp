#include "world/item.h"

#include "world/container_item.h"
#include "world/mobile.h"
#include "world/tile_data.h"
#include "world/world_services.h"

#include <cstdlib>

namespace {

constexpr uint16_t kVendorStockGraphic = 11000;
constexpr uint16_t kSortedByYGraphic = 4006;
constexpr int32_t kMaxLiftableWeight = 90;

bool isBookContainerGraphic(uint16_t graphic) { return graphic == 3834 || graphic == 3643; }

} // namespace

ItemList& itemList()
{
    static ItemList list;
    return list;
}

ItemPool& itemPool()
{
    static ItemPool pool;
    return pool;
}

Item* allocItem(uint32_t serial, uint16_t graphic, int8_t graphicOffset)
{
    return itemPool().allocate(serial, graphic, graphicOffset);
}

Item::Item(uint32_t itemSerial, uint16_t itemGraphic, int8_t itemGraphicOffset)
    : serial(itemSerial)
{
    graphic = itemGraphic & 0x3FFF;
    graphicOffset = itemGraphicOffset;
    drawGraphic = remappedDrawGraphic(graphic);
    itemList().pushFront(this);
}

Item::~Item()
{
    worldService<ObjectViews>().objectDestroyed(*this);
    detach();
    releaseMulti();
    worldLists().multiParts.remove(this);
    itemList().remove(this);
}

void Item::destroy() { itemPool().release(this); }

void Item::setMultiPosition(int32_t atX, int32_t atY, int32_t atZ, int32_t multiId)
{
    worldService<MultiComponents>().updatePosition(*this, atX, atY, atZ, multiId);
}

void Item::replaceMulti(MultiComponentList* list)
{
    if (list == m_multi)
        return;
    releaseMulti();
    m_multi = list;
}

void Item::releaseMulti()
{
    if (!m_multi)
        return;
    MultiComponentList* multi = m_multi;
    m_multi = nullptr;
    worldService<MultiComponents>().release(multi);
}

bool Item::isWorn() const
{
    return m_container && m_container->isMobile() && static_cast<const Mobile*>(m_container)->layerItem(layer) == this;
}

bool Item::isLiftable() const
{
    return (flags & kObjectLiftable) || tileData().item(tileIndex()).weight <= kMaxLiftableWeight;
}

bool Item::isWithinRangeOf(int32_t range, int32_t atX, int32_t atY) const
{
    if (isPlayer())
        return true;
    if (m_multi)
        range += worldService<MultiComponents>().extent(m_multi);
    const Item& top = outermost();
    return std::abs(atX - top.x) <= range && std::abs(atY - top.y) <= range;
}

void Item::anchorPoint(int32_t& anchorX, int32_t& anchorY) const { StaticObject::anchorPoint(anchorX, anchorY); }

bool Item::isInside(const Item& container) const
{
    for (const Item* parent = m_container; parent; parent = parent->m_container) {
        if (parent == &container)
            return true;
    }
    return false;
}

const Item& Item::outermost() const
{
    const Item* top = this;
    while (top->m_container)
        top = top->m_container;
    return *top;
}

void Item::leaveWorld()
{
    // An object kept out of the grid on purpose stays where it is when asked
    // to leave; moves and destruction detach it all the same.
    if (placeable == 0)
        return;
    detach();
}

void Item::leaveParent()
{
    Item* parent = m_container;
    if (ContentList::isLinked(this)) {
        static_cast<ContainerItem*>(parent)->m_contents.remove(this);
    } else if (parent->isMobile()) {
        auto* wearer = static_cast<Mobile*>(parent);
        if (layer < kLayerCount && wearer->m_layers[layer] == this) {
            wearer->m_layers[layer] = nullptr;
            if (layer == Mobile::kHandLayerOne || layer == Mobile::kHandLayerTwo)
                wearer->handsBusy = 0;
            if (layer == Mobile::kMountLayer)
                wearer->mounted = 0;
            worldService<PaperdollViews>().layersChanged(*wearer);
        }
    }
    m_container = nullptr;
}

void Item::detach()
{
    if (detached)
        return;
    Item* parent = m_container;
    if (parent && parent->isMobile())
        parent->invalidate();
    if (isPlaced())
        removeFromGrid();
    leaveTileLists();
    if (parent) {
        if (parent->isCorpse())
            parent->invalidate();
        leaveParent();
    } else if (lightModifier != 0 && isPlayer()) {
        worldService<WorldLights>().changePersonalLight(-lightModifier);
    }
    worldLists().world.remove(this);
    detached = true;
    worldService<ObjectViews>().objectLeftWorld(*this);
    if (parent)
        worldService<ContainerViews>().itemLeft(*parent, *this);
}

void Item::enterWorldAt(int32_t atX, int32_t atY, int32_t atZ)
{
    detach();
    StaticObject::enterWorldAt(atX, atY, atZ);
    if (isPlayer() && lightModifier != 0)
        worldService<WorldLights>().changePersonalLight(lightModifier);
}

bool Item::enterContainer(ContainerItem& container, int32_t atX, int32_t atY, int32_t atZ)
{
    if (&container == this || container.isInside(*this) || isPlayer())
        return false;
    detach();
    x = int16_t(atX);
    y = int16_t(atY);
    z = int16_t(atZ);
    ContentList& contents = container.m_contents;
    Item* before = contents.head();
    if (container.graphic == kVendorStockGraphic) {
        while (before && before->x < x)
            before = ContentList::next(before);
    } else if (container.graphic == kSortedByYGraphic) {
        while (before && before->y > y)
            before = ContentList::next(before);
    } else if (isBookContainerGraphic(container.graphic)) {
        while (before && before->amount < amount)
            before = ContentList::next(before);
    }
    contents.insertBefore(before, this);
    m_container = &container;
    detached = false;
    worldService<ContainerViews>().itemEntered(container, *this);
    // A corpse lying in the world is sorted again with what it now holds.
    if (container.isCorpse() && !container.container() && !container.isDetached())
        container.place();
    return true;
}

bool Item::equipOn(Mobile& mobile, int32_t layerNumber)
{
    if (layerNumber < 0 || layerNumber >= kLayerCount)
        return false;
    if (static_cast<Item*>(&mobile) == this || mobile.isInside(*this) || isPlayer())
        return false;
    detach();
    Item* occupant = mobile.m_layers[size_t(layerNumber)];
    if (occupant)
        occupant->destroy();
    layer = uint8_t(layerNumber);
    mobile.m_layers[size_t(layerNumber)] = this;
    m_container = &mobile;
    detached = false;
    if (layerNumber == Mobile::kHandLayerOne || layerNumber == Mobile::kHandLayerTwo)
        mobile.handsBusy = 1;
    if (layerNumber == Mobile::kMountLayer) {
        mobile.mounted = 1;
        // A mount that was playing an action stops it; if that ended its
        // life, the slot was emptied by its destruction.
        if (isMobile() && static_cast<Mobile*>(this)->animationRunning) {
            if (worldService<MobileAnimator>().stopMobileAnimation(*static_cast<Mobile*>(this), false))
                return true;
        }
    }
    if (layerNumber == 0)
        return true;
    if (isLightSourceObject(graphic, tileIndex()) && !LightSourceList::isLinked(this)) {
        worldLists().lightSources.pushFront(this);
        worldService<WorldLights>().invalidateLight(*this);
    }
    worldService<PaperdollViews>().layersChanged(mobile);
    return true;
}

void Item::refreshStatusBars(int32_t kind)
{
    if (kind == 1 || kind == 2)
        worldService<ObjectViews>().refreshStatusBars(*this, kind);
}

void setObjectFlags(Item& object, uint8_t flags)
{
    if (object.isMobile()) {
        auto& mobile = static_cast<Mobile&>(object);
        if (!object.isPlayer() && (flags & kObjectHidden) && !(object.flags & kObjectHidden))
            worldService<ObjectViews>().mobileHidden(mobile);
        mobile.warMode = (flags & kObjectWarMode) && !mobile.isDead() ? 1 : 0;
    }
    object.flags = flags;
}

void setLightModifier(Item& object, int32_t value)
{
    if (!object.isPlayer() || value == object.lightModifier)
        return;
    // Entering and leaving the world add and take away the whole modifier,
    // so a change counts only while the player is in the world.
    if (!object.isDetached() && !object.container())
        worldService<WorldLights>().changePersonalLight(value - object.lightModifier);
    object.lightModifier = value;
}
