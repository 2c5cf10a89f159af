#include "windows/container_gump.h"

#include "data/settings_registry.h"
#include "data/targeting.h"
#include "gfx/art_blitter.h"
#include "gfx/art_image.h"
#include "gfx/gump_art.h"
#include "gump/button.h"
#include "gump/gump_canvas.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "windows/drag_gump.h"
#include "windows/item_pictures.h"
#include "windows/overhead_text.h"
#include "windows/window_packets.h"
#include "windows/world_view_gump.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/tile_data.h"
#include "world/world_services.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int32_t kBookExtraHeight = 20;
constexpr int32_t kDoubledShift = 5;
constexpr int32_t kHiddenLayerA = 11;
constexpr int32_t kHiddenLayerB = 16;
constexpr int32_t kAnimationArt = 69;
constexpr int32_t kAnimationX = 45;
constexpr int32_t kAnimationY = 30;
constexpr uint16_t kAnywhere = 0xFFFF;

ContainerGump* g_bankBoxGump = nullptr;
// The blink period of gump art 9, shared by every such window.
int32_t g_animationPeriod = 20;

struct SoundRow {
    int32_t first;
    int32_t last;
    int32_t open;
    int32_t close;
};

constexpr SoundRow kSounds[] = {
    { 60, 61, 72, 88 },
    { 62, 62, 47, 46 },
    { 72, 72, 47, 46 },
    { 77, 77, 47, 46 },
    { 81, 81, 47, 46 },
    { 260, 263, 47, 46 },
    { 268, 270, 47, 46 },
    { 63, 63, 79, 88 },
    { 65, 65, 79, 88 },
    { 258, 258, 79, 88 },
    { 264, 264, 79, 88 },
    { 66, 68, 45, 44 },
    { 73, 76, 45, 44 },
    { 78, 79, 45, 44 },
    { 265, 267, 45, 44 },
    { 10851, 10851, 391, 457 },
};

void playWindowSound(int32_t id)
{
    if (id > 0)
        worldService<WorldSounds>().playSound(id, 0, 0, false, 0, false);
}

bool isSkipped(const Item& item)
{
    const int32_t layer = tileData().item(item.graphic).quality;
    return layer == kHiddenLayerA || layer == kHiddenLayerB || item.graphic < 2;
}

// The contents, first of the list first: the first is drawn last, on top.
std::vector<Item*> contentsOf(const ContainerItem& container)
{
    std::vector<Item*> items;
    for (Item* item = container.contents().head(); item; item = ContentList::next(item))
        items.push_back(item);
    return items;
}

} // namespace

void containerGumpSounds(int32_t art, int32_t& open, int32_t& close)
{
    open = close = 0;
    for (const SoundRow& row : kSounds) {
        if (art >= row.first && art <= row.last) {
            open = row.open;
            close = row.close;
            return;
        }
    }
}

ContainerGump::ContainerGump(int32_t x, int32_t y, ContainerItem& container, int32_t pageCount, int32_t width,
    int32_t height, int32_t art, bool wholeRectHit)
    : CGump(x, y, &container, std::max(pageCount, 1), width, height)
    , m_containerSerial(container.serial)
    , m_wholeRectHit(wholeRectHit)
{
    setTypeName("container gump");
    addKind(GumpKind::ContainerGump);
    setOwnerSerial(container.serial);
    setArtId(art);
    m_extraHeight = art == kBookArtA ? kBookExtraHeight : 0;
    setSize(width, height + m_extraHeight);
    page(0)->allocate(width, height + m_extraHeight);
    if (art == kMinimisableArt) {
        setPageCount(2);
        int32_t minimisedWidth = 0, minimisedHeight = 0;
        getGumpArtSize(kMinimisedArt, minimisedWidth, minimisedHeight);
        setMinimisedSize(minimisedWidth, minimisedHeight);
        page(1)->allocate(minimisedWidth, minimisedHeight);
        drawGumpArt(copySpanTransparent, kMinimisedArt, page(1)->target(), 0, 0);
        auto* button = Button::hotSpot(103, 161, 123, 180, ButtonBehaviour::ClickOnRelease, 0,
            [](CGump* parent) { parent->minimize(); }, false);
        gumpLink(button, this);
    }
    redrawWhole();
    const Mobile* wearer = container.container() && container.container()->isMobile()
        ? static_cast<const Mobile*>(container.container())
        : nullptr;
    if (wearer && wearer->isPlayer() && container.layer == kBankLayer) {
        g_bankBoxGump = this;
        m_bankBox = true;
    }
    int32_t open = 0, close = 0;
    containerGumpSounds(art, open, close);
    playWindowSound(open);
}

ContainerGump::~ContainerGump()
{
    m_closing = true;
    deleteChildren();
    deleteTextsAttachedTo(this);
    ContainerItem* shown = container();
    if (shown && !m_containerGoing && !gumpManager().bulkClosing && !shown->isCorpse())
        emptyContainer(*shown);
    if (g_bankBoxGump == this) {
        g_bankBoxGump = nullptr;
        if (shown && !m_containerGoing && !gumpManager().bulkClosing)
            shown->destroy();
    }
    int32_t open = 0, close = 0;
    containerGumpSounds(artId(), open, close);
    if (!gumpManager().bulkClosing)
        playWindowSound(close);
}

ContainerItem* ContainerGump::container() const
{
    Item* item = findItemBySerial(m_containerSerial);
    return item && item->isContainer() ? static_cast<ContainerItem*>(item) : nullptr;
}

Item* ContainerGump::hoveredItem() const { return m_hoveredSerial ? findItemBySerial(m_hoveredSerial) : nullptr; }

Item* ContainerGump::pressedItem() const { return m_pressedSerial ? findItemBySerial(m_pressedSerial) : nullptr; }

ScreenRect ContainerGump::itemRect(const Item& item) const
{
    int32_t width = 0;
    int32_t height = 0;
    if (isBookStyle()) {
        getGumpArtSize(item.graphic - kBookGraphicShift, width, height);
    } else if (const ArtImage* image = item.iconImage()) {
        width = image->width() + (item.isDrawnDoubled() ? kDoubledShift : 0);
        height = image->height() + (item.isDrawnDoubled() ? kDoubledShift : 0);
    }
    return { item.x, item.y, item.x + width, item.y + height };
}

void ContainerGump::redraw(const ScreenRect& rect)
{
    if (gumpManager().bulkClosing || m_closing)
        return;
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    ScreenRect area = rect.intersected({ 0, 0, face->width, face->height });
    if (m_extraHeight)
        area = { 0, 0, face->width, face->height };
    if (area.isEmpty())
        return;
    for (int32_t y = area.top; y < area.bottom; ++y)
        std::fill_n(face->pixels.begin() + ptrdiff_t(y) * face->width + area.left, area.right - area.left, uint16_t(0));
    BlitTarget target = face->target();
    target.bounds = area;
    drawGumpArt(copySpanTransparent, artId(), target, 0, m_extraHeight);
    const ContainerItem* shown = container();
    if (!shown)
        return;
    // The items go onto a cleared layer of their own when the screen is
    // 5-6-5, which is converted before it is laid over the art.
    const bool form565 = isGumpArt565();
    std::vector<uint16_t> layer;
    BlitTarget itemTarget = target;
    if (form565) {
        layer.assign(face->pixels.size(), 0);
        itemTarget = BlitTarget::surface(layer.data(), face->width, face->height, face->width);
        itemTarget.bounds = area;
    }
    const Item* hovered = hoveredItem();
    std::vector<Item*> items = contentsOf(*shown);
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        const Item& item = **it;
        if (isSkipped(item) || !itemRect(item).overlaps(area))
            continue;
        PixelSpanFn span = windowItemSpan(item.hue, item.tileFlags(), item.graphic, &item == hovered);
        if (isBookStyle()) {
            drawGumpArt(span, item.graphic - kBookGraphicShift, itemTarget, item.x, item.y);
            continue;
        }
        const ArtImage* image = item.iconImage();
        blitArtClipped(span, image, itemTarget, &area, item.x, item.y);
        if (item.isDrawnDoubled())
            blitArtClipped(span, image, itemTarget, &area, item.x + kDoubledShift, item.y + kDoubledShift);
    }
    if (form565) {
        convertPixelsTo565(layer.data(), layer.size());
        for (int32_t y = area.top; y < area.bottom; ++y) {
            const ptrdiff_t row = ptrdiff_t(y) * face->width + area.left;
            copyPixelsSkippingZero(face->pixels.data() + row, layer.data() + row, area.right - area.left);
        }
    }
}

void ContainerGump::redrawItem(Item& item)
{
    const ScreenRect area = containerItemArea(artId());
    ScreenRect rect = itemRect(item);
    const int32_t width = rect.right - rect.left;
    const int32_t height = rect.bottom - rect.top;
    int32_t x = rect.left;
    int32_t y = rect.top;
    if (x <= area.left)
        x = area.left + 1;
    if (x + width >= area.right)
        x = area.right - width - 1;
    if (y <= area.top)
        y = area.top + 1;
    if (y + height >= area.bottom)
        y = area.bottom - height - 1;
    item.x = int16_t(x);
    item.y = int16_t(y);
    item.invalidate();
    if (!isContainerBulkAdd())
        redraw({ x, y, x + width, y + height });
}

void ContainerGump::redrawWhole()
{
    if (const GumpPage* face = page(0))
        redraw({ 0, 0, face->width, face->height });
}

Item* ContainerGump::itemAt(int32_t x, int32_t y)
{
    GumpPage* face = page(0);
    const ContainerItem* shown = container();
    if (!shown || !face || x < 0 || y < 0 || x >= face->width || y >= face->height)
        return nullptr;
    for (Item* item : contentsOf(*shown)) {
        if (isSkipped(*item))
            continue;
        if (isBookStyle()) {
            if (getGumpArtPixel(item->graphic - kBookGraphicShift, x - item->x, y - item->y) != 0)
                return item;
            continue;
        }
        const ArtImage* image = item->iconImage();
        if (getArtPixel(image, x - item->x, y - item->y) != 0)
            return item;
        if (item->isDrawnDoubled() && getArtPixel(image, x - item->x - kDoubledShift, y - item->y - kDoubledShift) != 0)
            return item;
    }
    return nullptr;
}

uint32_t ContainerGump::itemSerialAt(int32_t x, int32_t y)
{
    Item* item = isMinimised() ? nullptr : itemAt(x, y);
    return item ? item->serial : 0;
}

void ContainerGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    setCurrentPage(isMinimised() && pageCount() > 1 ? 1 : 0);
    drawPage(canvas);
    setCurrentPage(0);
    drawChildren(canvas);
}

bool ContainerGump::containsPoint(int32_t x, int32_t y)
{
    GumpPage* shown = page(isMinimised() && pageCount() > 1 ? 1 : 0);
    if (!shown || !shown->isAllocated() || x < 0 || y < 0 || x >= shown->width || y >= shown->height)
        return false;
    return m_wholeRectHit || shown->pixel(x, y) != 0;
}

void ContainerGump::setHovered(Item* item)
{
    Item* old = hoveredItem();
    if (old == item)
        return;
    m_hoveredSerial = item ? item->serial : 0;
    if (old)
        redraw(itemRect(*old));
    if (item)
        redraw(itemRect(*item));
}

void ContainerGump::onMouseOver(int32_t x, int32_t y)
{
    GumpPointer& pointer = service<GumpPointer>();
    if (targetingState().targetingActive && !isMinimised())
        pointer.setCursorKind(kTargetCursorKind);
    else
        pointer.setCursorForGumpType(0);
    if (isMinimised())
        return;
    Item* item = itemAt(x, y);
    Item* old = hoveredItem();
    setHovered(item);
    if (item == old)
        return;
    if (item)
        service<ItemProperties>().showItemProperties(item->serial, false, true);
    else
        service<ItemProperties>().hideItemProperties();
}

void ContainerGump::onMouseLeave()
{
    setHovered(nullptr);
    service<ItemProperties>().hideItemProperties();
    if (m_clicks.clickState == 1) {
        m_clicks.clickState = 0;
        settle(m_clicks.leftDown ? ClickEvent::Hold : ClickEvent::Single);
    }
}

CGump* ContainerGump::windowToMove()
{
    CGump* trade = m_tradeWindow.get();
    return trade ? trade : this;
}

void ContainerGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    windowToMove()->bringToFront(false);
    if (!self)
        return;
    m_clicks.press();
    setDragAnchor(x, y);
    Item* item = isMinimised() ? nullptr : itemAt(x, y);
    m_pressedSerial = item ? item->serial : 0;
    setHovered(item);
}

void ContainerGump::pickUpPressed()
{
    Item* item = pressedItem();
    if (!item)
        return;
    if (m_tradeWindow.get() && m_partnerSide) {
        m_pressedSerial = 0;
        return;
    }
    const PlayerMobile* self = player();
    if (dragState().dragging || (self && self->isDead()))
        return;
    m_clicks.leftDown = false;
    m_clicks.dragStarted = false;
    m_clicks.clickState = 0;
    pickUpItem(*item, 0);
}

void ContainerGump::onDrag(int32_t x, int32_t y)
{
    if (!m_clicks.leftDown)
        return;
    if (!pressedItem()) {
        windowToMove()->moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
        return;
    }
    if (m_clicks.clickState > 0 && WindowClicks::movedBeyondThreshold(x, y, dragAnchorX(), dragAnchorY())) {
        m_clicks.dragStarted = true;
        m_clicks.clickState = 0;
        pickUpPressed();
    }
}

void ContainerGump::singleClick()
{
    Item* item = pressedItem();
    if (!item)
        return;
    if (isTargetPending()) {
        completeTarget(item);
        return;
    }
    if (WindowClicks::shiftAtLastRelease() == (settings().getBoolSetting(u"ShiftForContext") != 0))
        requestContextMenu(item->serial);
    requestObjectName(item);
}

void ContainerGump::settle(ClickEvent event)
{
    if (event == ClickEvent::Hold)
        pickUpPressed();
    else if (event == ClickEvent::Single)
        singleClick();
}

void ContainerGump::onHoverTick() { settle(m_clicks.expire()); }

void ContainerGump::onLeftUp(int32_t, int32_t)
{
    GumpHandle self(this);
    WindowClicks::noteRelease(service<GumpPointer>().isShiftHeld());
    const ClickEvent event = m_clicks.release();
    if (event == ClickEvent::Double) {
        const PlayerMobile* me = player();
        if (!targetingState().targetingActive) {
            if (isMinimised())
                restore();
            else if (Item* item = pressedItem(); item && !(me && me->isDead()))
                useObject(*item);
        }
    } else if (event == ClickEvent::Single) {
        singleClick();
    }
    if (self)
        service<GumpPointer>().clearPointerCaptureIf(this);
}

void ContainerGump::onRightUp(int32_t x, int32_t y)
{
    if (CGump* trade = m_tradeWindow.get()) {
        int32_t tx = x;
        int32_t ty = y;
        localToScreen(tx, ty);
        trade->screenToLocal(tx, ty);
        trade->onRightUp(tx, ty);
        return;
    }
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void ContainerGump::objectHelpAt(int32_t x, int32_t y)
{
    if (Item* item = itemAt(x, y))
        sendObjectHelpRequest(item->serial);
}

bool ContainerGump::dropAt(int32_t x, int32_t y)
{
    GumpHandle self(this);
    windowToMove()->bringToFront(false);
    if (!self)
        return false;
    const DragState& held = dragState();
    if (m_tradeWindow.get() && m_partnerSide)
        return false;
    ContainerItem* shown = container();
    if (!shown)
        return false;
    // Placed and fitted by the picture the player drags: a pile of coins by
    // its amount art, a stack by its doubled picture.
    const HeldPicture picture = heldPicture(held);
    const int32_t pictureWidth = picture.width;
    const int32_t pictureHeight = picture.height;
    if (Item* target = itemAt(x, y)) {
        if (target->isContainer()) {
            const ScreenRect inner = containerItemArea(containerGumpForGraphic(target->graphic));
            if (inner.right - inner.left < pictureWidth || inner.bottom - inner.top < pictureHeight)
                return false;
            sendDropRequest(held.serial, kAnywhere, kAnywhere, 0, target->serial);
            return true;
        }
        if (isEqualStack(*target, held)) {
            sendDropRequest(held.serial, uint16_t(target->x), uint16_t(target->y), uint8_t(target->z), target->serial);
            return true;
        }
    }
    const ScreenRect area = containerItemArea(artId());
    int32_t dropX = x - pictureWidth / 2;
    if (dropX + pictureWidth > area.right)
        dropX = area.right - pictureWidth;
    dropX = std::max<int32_t>(dropX, area.left);
    int32_t dropY = y - pictureHeight / 2;
    if (dropY + pictureHeight > area.bottom)
        dropY = area.bottom - pictureHeight;
    dropY = std::max<int32_t>(dropY, area.top);
    sendDropRequest(held.serial, uint16_t(dropX), uint16_t(dropY), 0, shown->serial);
    return true;
}

void ContainerGump::animate()
{
    if (artId() != kAnimatedArt)
        return;
    if (++m_animCounter < g_animationPeriod)
        return;
    g_animationPeriod = 5 + randomBelow(20);
    m_animCounter = 0;
    m_animFrame ^= 1;
    GumpPage* face = page(0);
    if (face && face->isAllocated())
        drawGumpArt(copySpanTransparent, kAnimationArt + m_animFrame, face->target(), kAnimationX, kAnimationY);
}

ContainerGump* findContainerGump(const ContainerItem& container)
{
    CGump* found = gumpFindForObject(const_cast<ContainerItem*>(&container), false, false, gumpListHead(), false);
    return found && found->is(GumpKind::ContainerGump) ? static_cast<ContainerGump*>(found) : nullptr;
}

CGump* openContainerGump(uint32_t serial, int32_t art)
{
    Item* item = findItemBySerial(serial);
    if (!item || !item->isContainer())
        return nullptr;
    return gumpOpenByKind(item, art, nullptr, true, false);
}

ContainerGump* bankBoxGump() { return isValidGump(g_bankBoxGump) ? g_bankBoxGump : nullptr; }

void closeBankBoxGump() { closeGump(bankBoxGump()); }
