#pragma once
// A container window: the contents of a container item (backpack, chest,
// bank box, corpse, ...) drawn on the container's gump art, each item at its
// own place inside. Through it the player hovers items (highlight and
// property popup), clicks them (target, context menu, name), double-clicks
// them (use), drags them out (pick-up) and drops held items into it.
// Opening and closing play a sound chosen by the art. Closing it forgets the
// contents (the server sends them again when it is reopened), except for a
// corpse's.
//
// The gump manager owns the window (a trade window owns its two as
// children); the window names its container by serial and the world closes
// it when the container goes (ContainerViews). Points are local pixels.
// Main thread only; times are tick-count milliseconds.

#include "gump/gump.h"
#include "windows/window_clicks.h"

#include <cstdint>

class ContainerItem;
class Item;

class ContainerGump final : public CGump {
public:
    static constexpr int32_t kBookArtA = 2330;
    static constexpr int32_t kBookArtB = 2350;
    static constexpr int32_t kBookGraphicShift = 11369;
    static constexpr int32_t kMinimisableArt = 60;
    static constexpr int32_t kMinimisedArt = 80;
    static constexpr int32_t kAnimatedArt = 9;
    static constexpr uint16_t kHighlightHue = 53;
    static constexpr int32_t kBankLayer = 29;

    ContainerGump(int32_t x, int32_t y, ContainerItem& container, int32_t pageCount, int32_t width, int32_t height,
        int32_t art, bool wholeRectHit);
    ~ContainerGump() override;

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onMouseLeave() override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void objectHelpAt(int32_t x, int32_t y) override;
    void tick() override { animate(); }
    bool acceptsItemDrop() override { return true; }
    uint32_t itemSerialAt(int32_t x, int32_t y) override;

    // The topmost content item under a local point, or null.
    Item* itemAt(int32_t x, int32_t y);
    // A held item dropped at a local point: into a sub-container that can
    // take its picture, onto an equal stack, or at the point (clamped into
    // the item area). False when refused.
    bool dropAt(int32_t x, int32_t y);
    // Draws the art and the contents again inside `rect` (page pixels).
    void redraw(const ScreenRect& rect);
    void redrawWhole();
    // An item entered or changed: it is kept inside the item area and drawn
    // (unless a whole list of contents is arriving).
    void redrawItem(Item& item);
    // The region an item's picture covers, in page pixels.
    ScreenRect itemRect(const Item& item) const;
    // Gump art 9 blinks.
    void animate();

    // The container while it exists.
    ContainerItem* container() const;
    uint32_t containerSerial() const { return m_containerSerial; }
    int32_t extraHeight() const { return m_extraHeight; }
    Item* hoveredItem() const;
    // The trade window this window belongs to (the partner side when it is
    // not this window's own), or none.
    void setTradeWindow(CGump* trade, bool partnerSide) { m_tradeWindow = GumpHandle(trade), m_partnerSide = partnerSide; }
    // The container is being destroyed with its contents: closing keeps out
    // of them.
    void containerGoing() { m_containerGoing = true; }
    // Set while the window closes (its destructor runs).
    bool isClosing() const { return m_closing; }

private:
    bool isBookStyle() const { return artId() == kBookArtA || artId() == kBookArtB; }
    CGump* windowToMove();
    void pickUpPressed();
    // A first press settled: a hold picks up, a click is a single click.
    void settle(ClickEvent event);
    void singleClick();
    Item* pressedItem() const;
    void setHovered(Item* item);

    uint32_t m_containerSerial;
    bool m_closing = false;
    bool m_containerGoing = false;
    int32_t m_extraHeight = 0;
    uint32_t m_hoveredSerial = 0;
    uint32_t m_pressedSerial = 0;
    GumpHandle m_tradeWindow;
    bool m_partnerSide = false;
    WindowClicks m_clicks;
    int32_t m_animCounter = 0;
    int32_t m_animFrame = 0;
    bool m_wholeRectHit;
    bool m_bankBox = false;
};

// The open and close sounds of a container's gump art (0: none).
void containerGumpSounds(int32_t art, int32_t& open, int32_t& close);
// The server opened a container (0x24): its window on `art`, reused when one
// shows it already. Null when the container is unknown or not a container.
CGump* openContainerGump(uint32_t serial, int32_t art);
// The window showing `container`, or null.
ContainerGump* findContainerGump(const ContainerItem& container);
// The open window of the player's bank box, or null.
ContainerGump* bankBoxGump();
// The player takes a step: the bank box window closes.
void closeBankBoxGump();
