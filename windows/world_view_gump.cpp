#include "windows/world_view_gump.h"

#include "data/settings_registry.h"
#include "data/targeting.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/property_cache.h"
#include "protocol/target_cursor.h"
#include "windows/game_area_edges.h"
#include "windows/speech_services.h"
#include "windows/window_packets.h"
#include "world/body_animation.h"
#include "world/cell_grid.h"
#include "world/house_designer_view.h"
#include "world/container_item.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/multi_preview.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/overhead_texts.h"
#include "world/path_walk.h"
#include "world/target_choice.h"
#include "world/world_screen.h"

#include <array>

namespace {

constexpr uint16_t kWorldNoticeHue = 946;
constexpr uint16_t kWorldNoticeFont = 3;
constexpr uint16_t kInnocentHue = 89;

constexpr int32_t kCriminalNotoriety = 4;
constexpr const char* kCriminalWarning = "This may flag you criminal!";

WorldViewGump* g_worldView = nullptr;

constexpr std::array<std::array<int32_t, 2>, 8> kDirectionSteps { { { 0, -1 }, { 1, -1 }, { 1, 0 }, { 1, 1 },
    { 0, 1 }, { -1, 1 }, { -1, 0 }, { -1, -1 } } };

void notice(std::string_view text)
{
    if (PlayerMobile* self = player())
        showOverheadText(*self, text, kWorldNoticeHue, kWorldNoticeFont, 0, false);
}

Item* asDynamicItem(WorldObject* object)
{
    return object && object->isDynamic() && object->hasItemTile() ? static_cast<Item*>(object) : nullptr;
}

Mobile* asMobile(WorldObject* object) { return object && object->isMobile() ? static_cast<Mobile*>(object) : nullptr; }

bool isPlayerInWarMode()
{
    const PlayerMobile* self = player();
    return self && self->warMode != 0;
}

// The dynamic object under a game-view point, or null.
WorldObject* dynamicObjectAt(int32_t x, int32_t y)
{
    WorldObject* object = worldCellGrid().pickAt(x, y, true);
    return object && object->isDynamic() ? object : nullptr;
}

void releaseCaptureOf(CGump* gump) { service<GumpPointer>().clearPointerCaptureIf(gump); }

// Every corpse of the tile of `corpse`, at its height, is opened.
void openCorpsesOfTile(Item& corpse)
{
    WorldObject* first = &corpse;
    while (first->cellPrev())
        first = first->cellPrev();
    const int32_t x = corpse.x;
    const int32_t y = corpse.y;
    const int32_t z = corpse.z;
    std::vector<uint32_t> serials;
    for (WorldObject* object = first; object; object = object->cellNext()) {
        Item* item = asDynamicItem(object);
        if (item && item->isCorpse() && item->x == x && item->y == y && item->z == z)
            serials.push_back(item->serial);
    }
    // Using one may change the cell: each is looked up again.
    for (uint32_t serial : serials) {
        if (Item* item = findItemBySerial(serial))
            useObject(*item);
    }
}

void confirmAttack(Mobile& mobile)
{
    service<YesNoQuestions>().ask(QuestionKind::Attack,
        notorietyWarnings().criminal ? kCriminalWarning : "This will lower notoriety !", mobile.serial);
}

// A harmful target on an innocent (unless the player is a criminal already),
// or a beneficial one on a criminal, an enemy or a murderer, asks first.
bool asksBeforeTargeting(const Mobile& mobile, TargetIntent intent)
{
    if (intent == TargetIntent::Neutral || !settings().getBoolSetting(u"NotorietyQuery"))
        return false;
    if (intent == TargetIntent::Harmful) {
        const PlayerMobile* self = player();
        return !(self && self->getNotoriety() == kCriminalNotoriety) && !mobile.notorietyNot1();
    }
    return !mobile.notorietyOutside4To6();
}

// The object (or none) goes to the target callback; a server cursor's
// answer puts a targeted mobile in the last target's bar.
void handToTarget(WorldObject* object)
{
    std::optional<TargetChoice> choice;
    if (object)
        choice = targetChoiceOf(*object);
    // The callback may end the targeting and with it itself: it runs from a
    // copy.
    auto callback = targetingState().callback;
    callback(choice);
    if (object && isValidWorldObject(object))
        object->invalidate();
}

} // namespace

WorldViewGump* worldViewGump() { return isValidGump(g_worldView) ? g_worldView : nullptr; }

WorldViewGump::WorldViewGump(bool withEdges)
    : CGump(0, 0, nullptr, 1, 0, 0)
{
    setTypeName("map gump");
    addKind(GumpKind::WorldView);
    g_worldView = this;
    gumpLink(this, nullptr);
    if (withEdges)
        createGameAreaEdges();
    setVisible(false);
}

WorldViewGump::~WorldViewGump()
{
    clearHighlights();
    if (g_worldView == this)
        g_worldView = nullptr;
}

bool WorldViewGump::containsPoint(int32_t x, int32_t y)
{
    const GumpScreen& screen = gumpScreen();
    return x >= 0 && x < screen.gameWidth && y >= 0 && y < screen.gameHeight;
}

WorldObject* WorldViewGump::pressObject(int32_t x, int32_t y)
{
    if (m_pressSerial)
        if (WorldObject* object = findObjectBySerial(m_pressSerial))
            return object;
    return dynamicObjectAt(x, y);
}

void WorldViewGump::onLeftDown(int32_t x, int32_t y)
{
    gumpReleaseFocus();
    // A placement preview the server sent goes at the press; one that stays
    // (the house designer's) takes the press for itself.
    if (MultiPreview* preview = multiPreview(); preview && preview->clearIfTemporary()) {
        // The designer's preview stays: the press places its piece on the
        // cell under the pointer.
        if (preview->hasDesign() && isTargetPending())
            completeTarget(worldCellGrid().findLandAt(x, y));
        return;
    }
    m_clicks.press();
    if (m_clicks.clickState == 1) {
        WorldObject* object = dynamicObjectAt(x, y);
        Item* item = asDynamicItem(object);
        m_pressSerial = item ? item->serial : 0;
    }
    setDragAnchor(x, y);
}

void WorldViewGump::onLeftUp(int32_t x, int32_t y)
{
    GumpHandle self(this);
    WindowClicks::noteRelease(service<GumpPointer>().isShiftHeld());
    const bool wasDragging = m_clicks.dragStarted;
    const ClickEvent event = m_clicks.release();
    if (event == ClickEvent::Double) {
        WorldObject* object = pressObject(x, y);
        m_pressSerial = 0;
        doubleClickObject(object);
    } else if (!wasDragging
        && ((event == ClickEvent::Single && !m_suppressClick) || targetingState().targetingActive)) {
        // With a target cursor a first press targets at its release.
        m_clicks.clickState = 0;
        singleClick(x, y);
    }
    if (!self)
        return;
    m_suppressClick = false;
    releaseCaptureOf(this);
}

void WorldViewGump::resolvePendingClick(ClickEvent event)
{
    m_clicks.clickState = 0;
    const int32_t x = dragAnchorX();
    const int32_t y = dragAnchorY();
    WorldObject* object = pressObject(x, y);
    m_pressSerial = 0;
    if (event == ClickEvent::Hold) {
        m_clicks.dragStarted = true;
        m_suppressClick = true;
        if (object)
            startDrag(object);
    } else {
        singleClick(x, y);
    }
}

void WorldViewGump::onHoverTick()
{
    GumpHandle self(this);
    if (m_rightDown || m_rightStepPending) {
        m_rightStepPending = false;
        service<PlayerWalking>().walkByPointer(service<GumpPointer>().pointerDirection(true), -1);
    }
    const uint32_t now = platform::clock().tickMs();
    if (m_rightClickState == 1 && now - m_rightPressTime > kDoubleClickMs)
        m_rightClickState = 0;
    if (self && m_clicks.firstPressExpired())
        resolvePendingClick(m_clicks.expire());
}

void WorldViewGump::onDrag(int32_t x, int32_t y)
{
    if (m_rightDown && m_rightClickState > 0 && WindowClicks::movedBeyondThreshold(x, y, m_rightPressX, m_rightPressY))
        m_rightClickState = 0;
    if (m_clicks.leftDown && m_clicks.clickState > 0
        && WindowClicks::movedBeyondThreshold(x, y, dragAnchorX(), dragAnchorY())) {
        GumpHandle self(this);
        m_clicks.clickState = 0;
        m_clicks.dragStarted = true;
        m_suppressClick = true;
        WorldObject* object = pressObject(dragAnchorX(), dragAnchorY());
        m_pressSerial = 0;
        if (object)
            startDrag(object);
        if (!self)
            return;
    }
    m_lastX = x;
    m_lastY = y;
}

void WorldViewGump::setHighlight(WorldObject*& slot, WorldObject* candidate)
{
    if (slot == candidate)
        return;
    if (isValidWorldObject(slot))
        slot->invalidate();
    slot = isValidWorldObject(candidate) ? candidate : nullptr;
    if (slot)
        slot->invalidate();
    publishHighlight();
}

void WorldViewGump::publishHighlight()
{
    WorldObject* shown = highlightedMobile();
    if (!shown)
        shown = hoveredItem();
    worldScreen().objectUnderPointer = shown;
}

void WorldViewGump::onMouseOver(int32_t x, int32_t y)
{
    if (m_highlightedMobile && !isValidWorldObject(m_highlightedMobile))
        m_highlightedMobile = nullptr;
    const bool targeting = targetingState().targetingActive;
    service<GumpPointer>().setCursorKind(targeting ? kTargetCursorKind : 0);
    m_lastX = x;
    m_lastY = y;
    WorldObject* object = dynamicObjectAt(x, y);
    worldService<HouseDesignerView>().pointerOverWorld(x, y);

    if (isPlayerInWarMode() || targeting) {
        WorldObject* candidate = object && object->isMobile() && !object->isPlayer() ? object : nullptr;
        setHighlight(m_highlightedMobile, candidate);
    }

    ItemProperties& properties = service<ItemProperties>();
    Item* item = asDynamicItem(object);
    WorldObject* candidate = nullptr;
    if (item
        && (item->isLiftable() || item->isMobile() || item->isCorpse() || propertyListEntryCount(item->serial) != 0)) {
        if (item->serial != m_propertySerial) {
            m_propertySerial = item->serial;
            properties.showItemProperties(item->serial, false, true);
        }
        if (item->isLiftable())
            candidate = item;
    } else if (m_propertySerial) {
        m_propertySerial = 0;
        properties.hideItemProperties();
    }
    setHighlight(m_hoveredItem, candidate);
}

void WorldViewGump::onMouseLeave()
{
    clearHighlights();
    if (m_propertySerial) {
        m_propertySerial = 0;
        service<ItemProperties>().hideItemProperties();
    }
    if (m_clicks.clickState == 1)
        resolvePendingClick(m_clicks.leftDown ? ClickEvent::Hold : ClickEvent::Single);
    else
        m_clicks.clickState = 0;
}

void WorldViewGump::singleClick(int32_t x, int32_t y)
{
    TargetingState& targeting = targetingState();
    if (targeting.targetingActive && targeting.callback) {
        bool locationTarget = targeting.targetType == kLocationTargetType;
        WorldObject* object = nullptr;
        if (m_pressSerial)
            object = findObjectBySerial(m_pressSerial);
        if (!object)
            object = worldCellGrid().pickAt(x, y, !locationTarget);
        completeTarget(object);
        return;
    }
    WorldObject* object = worldCellGrid().pickAt(x, y, true);
    if (!object)
        return;
    GumpPointer& keys = service<GumpPointer>();
    PlayerMobile* self = player();
    if (keys.isAltHeld() && !keys.isControlHeld() && object->isMobile() && self) {
        if (object->isPlayer()) {
            notice(self->following ? "Stopped following." : "Not following.");
            self->following = 0;
            stopPathWalk();
        } else {
            notice("Now following.");
            self->following = 1;
            self->followSerial = static_cast<Mobile*>(object)->serial;
            self->followOffsetX = self->x - object->x;
            self->followOffsetY = self->y - object->y;
        }
        return;
    }
    Item* item = asDynamicItem(object);
    if (!item) {
        if (object->hasItemTile())
            labelStatic(*static_cast<StaticObject*>(object));
        return;
    }
    if (WindowClicks::shiftAtLastRelease() == (settings().getBoolSetting(u"ShiftForContext") != 0))
        requestContextMenu(item->serial);
    requestObjectName(item);
}

void WorldViewGump::startDrag(WorldObject* object)
{
    Mobile* mobile = asMobile(object);
    bool inParty = mobile && isPartyMember(mobile->serial);
    if (isPlayerDead() && !inParty) {
        m_clicks.dragStarted = false;
        m_clicks.clickState = 0;
        return;
    }
    if (mobile) {
        CGump* bar = gumpFindForObject(mobile, false, false, gumpListHead(), true);
        if (!bar) {
            // Dragged out of the world, the player's status comes as a bar too.
            bar = service<FactoryWindows>().createStatusBar(mobile, false);
            if (!isValidGump(bar))
                return;
            gumpLink(bar, nullptr);
        }
        if (!bar->is(GumpKind::StatusGump))
            return;
        if (inParty)
            service<FactoryWindows>().reslotStatusBar(bar);
        if (!isValidGump(bar))
            return;
        bar->setVisible(true);
        bar->clampToScreen();
        bar->setDragAnchor(bar->minimisedWidth() / 2, bar->minimisedHeight() / 2);
        service<GumpPointer>().setPointerCapture(bar);
        sendStatusRequest(kStatusBarRequest, mobile->serial);
        return;
    }
    Item* item = asDynamicItem(object);
    if (item && !dragState().dragging && item->isLiftable()) {
        m_clicks.dragStarted = false;
        m_clicks.clickState = 0;
        pickUpItem(*item, 0);
    }
}

void WorldViewGump::onRightDown(int32_t x, int32_t y)
{
    m_rightDown = true;
    if (m_rightClickState > 0) {
        m_rightClickState = 2;
    } else {
        m_rightClickState = 1;
        m_rightPressTime = platform::clock().tickMs();
    }
    m_rightPressX = x;
    m_rightPressY = y;
    m_rightStepPending = true;
}

void WorldViewGump::onRightUp(int32_t x, int32_t y)
{
    GumpHandle self(this);
    m_rightDown = false;
    PlayerWalking& walking = service<PlayerWalking>();
    if (m_rightClickState == 2) {
        m_rightClickState = 0;
        pathfindToPoint(x, y);
    } else if (m_rightStepPending && m_rightClickState == 0 && walking.isWalkIdle()) {
        m_rightStepPending = false;
        int32_t direction = service<GumpPointer>().pointerDirection(false);
        if (direction >= 0)
            walking.walkByPointer(direction, -1);
    }
    if (self && !dragState().dragging)
        releaseCaptureOf(this);
}

void WorldViewGump::pathfindToPoint(int32_t x, int32_t y)
{
    PlayerWalking& walking = service<PlayerWalking>();
    if (settings().getBoolSetting(u"AllowPathfind") == 0 || walking.isAwaitingResync())
        return;
    WorldObject* goalObject = worldCellGrid().pickAt(x, y, false);
    PlayerMobile* self = player();
    if (!goalObject || !self)
        return;
    const MapView& view = mapView();
    PathCell start { view.centreX, view.centreY, view.centreZ };
    for (const PendingStep& step : walking.pendingSteps()) {
        if (!step.moves)
            continue;
        const auto& delta = kDirectionSteps[size_t(step.direction & 7)];
        start.x += delta[0];
        start.y += delta[1];
        start.z = step.z;
    }
    PathCell goal { goalObject->x, goalObject->y, goalObject->z };
    if (!walking.walkPathTo(start, goal, kPathSearchLimit, 0) && !walking.walkPathTo(start, goal, kPathSearchLimit, 1)) {
        notice("Can't get there");
        return;
    }
    notice("Pathfinding!");
    releaseCaptureOf(this);
}

void WorldViewGump::objectHelpAt(int32_t x, int32_t y)
{
    if (Item* item = asDynamicItem(worldCellGrid().pickAt(x, y, true)))
        sendObjectHelpRequest(item->serial);
}

WorldObject* WorldViewGump::highlightedMobile()
{
    if (m_highlightedMobile && !isValidWorldObject(m_highlightedMobile))
        m_highlightedMobile = nullptr;
    return m_highlightedMobile;
}

WorldObject* WorldViewGump::hoveredItem()
{
    if (m_hoveredItem && !isValidWorldObject(m_hoveredItem))
        m_hoveredItem = nullptr;
    return m_hoveredItem;
}

void WorldViewGump::clearHighlights()
{
    setHighlight(m_highlightedMobile, nullptr);
    setHighlight(m_hoveredItem, nullptr);
    worldScreen().objectUnderPointer = nullptr;
}

void WorldViewGump::clearHighlightedMobile() { setHighlight(m_highlightedMobile, nullptr); }

void WorldViewGump::forgetObject(const WorldObject* object)
{
    if (object == m_highlightedMobile)
        m_highlightedMobile = nullptr;
    if (object == m_hoveredItem)
        m_hoveredItem = nullptr;
    if (worldScreen().objectUnderPointer == object)
        publishHighlight();
}

bool isTargetPending()
{
    const TargetingState& targeting = targetingState();
    return targeting.targetingActive && bool(targeting.callback);
}

void completeTarget(WorldObject* object)
{
    TargetingState& targeting = targetingState();
    if (!targeting.targetingActive || !targeting.callback)
        return;
    Mobile* mobile = asMobile(object);
    if (!mobile || !asksBeforeTargeting(*mobile, targeting.intent)) {
        handToTarget(object);
        return;
    }
    // Targeting ends while the question is up; the callback waits for the
    // answer.
    targeting.targetingActive = false;
    targeting.intent = TargetIntent::Neutral;
    service<GumpPointer>().setCursorKind(0);
    if (WorldViewGump* view = worldViewGump())
        view->clearHighlightedMobile();
    mobile->invalidate();
    service<YesNoQuestions>().ask(QuestionKind::HarmfulTarget, kCriminalWarning, mobile->serial);
}

void confirmTargetYes(uint32_t serial)
{
    if (!targetingState().callback)
        return;
    // Gone while the question was up: the cursor is answered with a cancel
    // rather than left waiting.
    if (WorldObject* object = findObjectBySerial(serial))
        handToTarget(object);
    else
        sendTargetCancel();
}

void confirmTargetNo()
{
    if (targetingState().callback)
        sendTargetCancel();
}

void doubleClickObject(WorldObject* object)
{
    if (!object || !object->isDynamic() || targetingState().targetingActive)
        return;
    if (object->isPlayer()) {
        auto* self = static_cast<PlayerMobile*>(object);
        bool mounted = self->layerItem(Mobile::kMountLayer) != nullptr;
        sendUseRequest(mounted ? self->serial : self->serial | kOwnPaperdollBit);
        return;
    }
    Mobile* mobile = asMobile(object);
    if (mobile && !isPlayerInWarMode()) {
        sendUseRequest(mobile->serial);
        return;
    }
    if (mobile) {
        bool ruledFacet = mapView().currentFacet == 0;
        if (ruledFacet && settings().getBoolSetting(u"NotorietyQuery") && getNotorietyHue(mobile) == kInnocentHue)
            confirmAttack(*mobile);
        else
            sendAttackRequest(mobile->serial);
        return;
    }
    Item* item = asDynamicItem(object);
    if (!item)
        return;
    if (item->isCorpse())
        openCorpsesOfTile(*item);
    else
        useObject(*item);
}
