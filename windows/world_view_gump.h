#pragma once
// The world view: the one gump that covers the game area, at the bottom of
// the desktop, through which the player acts on the world with the mouse. It
// has no pixels of its own (the world is drawn beneath the gumps); it turns
// the presses, releases, moves and hover ticks that no other gump takes into
// single clicks (target, follow, names, context menus), double clicks (use,
// the own paperdoll, corpses, attacks), drags (pick up, pull a status bar
// off), right-button walking and a walked path on a double right click. It
// keeps the two objects the world's drawing highlights: the mobile under the
// pointer in war or target mode, and the liftable item under the pointer.
//
// One instance exists for the whole run, created at start-up and owned by the
// gump manager like every top-level gump; worldViewGump() finds it. Points
// are game-view pixels. Main thread only; times are tick-count milliseconds.

#include "gump/gump.h"
#include "windows/window_clicks.h"
#include "windows/window_services.h"

#include <cstdint>

class WorldObject;

class WorldViewGump final : public CGump {
public:
    static constexpr int32_t kPathSearchLimit = 500;

    // The four game-area edges come with it when the window may be resized.
    explicit WorldViewGump(bool withEdges);
    ~WorldViewGump() override;

    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightDown(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onMouseLeave() override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void objectHelpAt(int32_t x, int32_t y) override;
    bool acceptsItemDrop() override { return true; }
    bool isInGameView() override { return true; }
    bool isClosableByCloseAll() override { return false; }
    // It has no pixels: only the game-area edges, its children, are drawn.
    bool lookKey(uint64_t& key) override
    {
        key = 0;
        return true;
    }
    bool hasOwnFace() const override { return false; }

    // The click at (x, y): a pending target, following, a static's name, a
    // context menu and the object's name.
    void singleClick(int32_t x, int32_t y);
    // The drag of an object: an item is picked up, a mobile's status bar is
    // pulled off it.
    void startDrag(WorldObject* object);
    // A double right click: a path to the cell at (x, y), walked a few steps
    // ahead of the server.
    void pathfindToPoint(int32_t x, int32_t y);

    // Null when no longer valid.
    WorldObject* highlightedMobile();
    WorldObject* hoveredItem();
    // Both highlights dropped (and redrawn).
    void clearHighlights();
    void clearHighlightedMobile();
    // An object that is going away stops being highlighted.
    void forgetObject(const WorldObject* object);

private:
    WorldObject* pressObject(int32_t x, int32_t y);
    // A first press settled: a hold drags the press object, a click is a
    // single click at the press point.
    void resolvePendingClick(ClickEvent event);
    void setHighlight(WorldObject*& slot, WorldObject* candidate);
    void publishHighlight();

    uint32_t m_pressSerial = 0;
    bool m_suppressClick = false;
    WindowClicks m_clicks;
    bool m_rightDown = false;
    bool m_rightStepPending = false;
    uint32_t m_rightPressTime = 0;
    int32_t m_rightClickState = 0;
    int32_t m_rightPressX = 0;
    int32_t m_rightPressY = 0;
    int32_t m_lastX = 0;
    int32_t m_lastY = 0;
    WorldObject* m_highlightedMobile = nullptr;
    WorldObject* m_hoveredItem = nullptr;
    uint32_t m_propertySerial = 0;
};

// The world view, or null before start-up made it.
WorldViewGump* worldViewGump();

// The double click of a world object: use it, ask for a paperdoll, open the
// corpses of its tile, or attack in war mode.
void doubleClickObject(WorldObject* object);
// Hands an object (or none) to the pending target. A harmful or beneficial
// target on a mobile it may flag the player for ends the targeting and asks
// first ("This may flag you criminal!"); the answer comes back through:
void completeTarget(WorldObject* object);
// Yes: the object of that serial (looked up again) goes to the callback.
void confirmTargetYes(uint32_t serial);
// No: the target is cancelled.
void confirmTargetNo();
// A target is pending: targeting is on with a callback.
bool isTargetPending();
