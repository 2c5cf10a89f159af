#include "windows/item_property_gump.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "platform/clock.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int32_t kPropsMoveThreshold = 4;
constexpr int32_t kTitleBand = 20;
constexpr int32_t kFrameWidth = 4;
constexpr int32_t kCollapseFromRight = 21;
constexpr uint16_t kBodyColour = 0x7FFF;

void onCollapseButton(CGump* parent) { static_cast<ItemPropertyGump*>(parent)->collapse(); }

void cycleItemPropsMode() { setItemPropsMode((itemPropsMode() + 1) % item_props::kModeCount, true); }

bool propsContainsOpaque(const GumpPage* face, int32_t x, int32_t y)
{
    return face && face->isAllocated() && x >= 0 && y >= 0 && x < face->width && y < face->height
        && face->pixel(x, y) != 0;
}

} // namespace

ItemPropertyState& itemPropertyState()
{
    static ItemPropertyState state;
    return state;
}

void PropertyPresses::down(int32_t x, int32_t y)
{
    dragging = true;
    pressX = x;
    pressY = y;
    const uint32_t now = platform::clock().tickMs();
    if (clickState == 1 && now - lastClick < kDoubleClickMs) {
        clickState = 2;
    } else {
        clickState = 1;
        lastClick = now;
    }
}

bool PropertyPresses::drag(int32_t x, int32_t y, int32_t& dx, int32_t& dy)
{
    if (dragging && clickState != 0
        && (std::abs(x - pressX) > kPropsMoveThreshold || std::abs(y - pressY) > kPropsMoveThreshold)) {
        moved = true;
        clickState = 0;
    }
    dx = x - pressX;
    dy = y - pressY;
    return dragging && moved && (dx != 0 || dy != 0);
}

bool PropertyPresses::up()
{
    dragging = false;
    if (moved) {
        moved = false;
        clickState = 0;
        return false;
    }
    if (clickState != 2)
        return false;
    clickState = 0;
    return true;
}

int32_t itemPropsIconArt(int32_t mode)
{
    switch (mode) {
    case item_props::kFollowMouse:
        return 225;
    case item_props::kSingleClick:
        return 236;
    default:
        return ItemPropertyGump::kMinimisedArt;
    }
}

uint16_t itemPropsTitleColour(uint16_t hue)
{
    switch (hue) {
    case 89:
        return 0x03FF;
    case 63:
        return 0x03E0;
    case 946:
        return 0x5AD6;
    case 144:
        return 0x7DE0;
    case 34:
        return 0x5C00;
    default:
        return 0x7FE0;
    }
}

ItemPropertyGump* findItemPropertyGump()
{
    for (CGump* gump = gumpListTail(); gump && isValidGump(gump); gump = gump->previous()) {
        if (gump->is(GumpKind::ItemProperties))
            return static_cast<ItemPropertyGump*>(gump);
    }
    return nullptr;
}

ItemPropertyGump::ItemPropertyGump(int32_t x, int32_t y)
    : CGump(x, y, nullptr, 2, kWidth, kHeight)
{
    setTypeName("new item Prop gump");
    addKind(GumpKind::ItemProperties);
    const GumpArtSize minimised = gumpArtSize(kMinimisedArt);
    setMinimisedSize(minimised.width, minimised.height);
    page(0)->allocate(kWidth, kHeight);
    page(1)->allocate(minimised.width, minimised.height);
    startMinimised();
    ItemPropertyState& state = itemPropertyState();
    if (x == -1 || y == -1) {
        setLocation(state.savedX, state.savedY);
        clampToScreen();
        state.savedX = this->x();
        state.savedY = this->y();
    } else {
        clampToScreen();
    }
    setMinimisedPosition(this->x(), this->y());
    auto makeView = [this](int32_t top, int32_t viewHeight) {
        auto* view = new HtmlView(this, 0, kViewFlags, false, true);
        view->setRect(kFrameWidth, top, width() - 2 * kFrameWidth, viewHeight);
        view->setText(u" ", kBodyColour);
        view->setVisible(false);
        return view;
    };
    m_title = GumpHandle(makeView(kFrameWidth, 24));
    m_body = GumpHandle(makeView(kTitleBand, height() - 24));
    auto* collapser = new Button(width() - kCollapseFromRight, 0, ButtonBehaviour::ClickOnRelease, 0,
        onCollapseButton, kCollapseArt, kCollapsePressedArt, false);
    gumpLink(collapser, this);
    m_collapse = GumpHandle(collapser);
    gumpLink(this, nullptr);
    if (itemPropsMode() == item_props::kAlwaysUp)
        rebuild(false);
    setVisible(itemPropertyListsOn());
    redrawFaces();
}

ItemPropertyGump::~ItemPropertyGump()
{
    if (CGump* own = m_icon.get())
        closeGump(own);
    deleteChildren();
}

HtmlView* ItemPropertyGump::titleView() const { return static_cast<HtmlView*>(m_title.get()); }

HtmlView* ItemPropertyGump::bodyView() const { return static_cast<HtmlView*>(m_body.get()); }

ItemPropertiesIconGump* ItemPropertyGump::icon() const { return static_cast<ItemPropertiesIconGump*>(m_icon.get()); }

void ItemPropertyGump::setIcon(ItemPropertiesIconGump* icon) { m_icon = GumpHandle(icon); }

void ItemPropertyGump::showMinimisedFace()
{
    if (!isMinimised())
        minimize();
    if (HtmlView* view = titleView())
        view->setVisible(false);
    if (HtmlView* view = bodyView())
        view->setVisible(false);
}

void ItemPropertyGump::collapse()
{
    showMinimisedFace();
    if (itemPropsMode() == item_props::kAlwaysUp)
        setItemPropsMode(item_props::kFollowMouse, true);
    const ItemPropertyState& state = itemPropertyState();
    setLocation(state.savedX, state.savedY);
    clampToScreen();
    redrawFaces();
}

void ItemPropertyGump::redrawFaces()
{
    const int32_t mode = itemPropsMode();
    GumpPage& minimised = *page(1);
    if (minimised.isAllocated()) {
        std::fill(minimised.pixels.begin(), minimised.pixels.end(), uint16_t(0));
        drawGumpArt(copySpanTransparent, itemPropsIconArt(mode), minimised.target(), 0, 0);
    }
    GumpPage& face = *page(0);
    face.allocate(width(), height());
    if (face.isAllocated()) {
        std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
        const int32_t w = width();
        const int32_t h = height();
        if (mode == item_props::kFollowMouse || mode == item_props::kSingleClick) {
            tileGumpArtRect(0, 0, w, kTitleBand, kFillArt, face, true);
            if (m_hasBody)
                tileGumpArtRect(0, kTitleBand, w, h - kTitleBand, kFillArt, face, true);
        } else {
            tileGumpArtRect(kFrameWidth, kTitleBand, w - 2 * kFrameWidth, h - 24, kFillArt, face, true);
            tileGumpArtRect(0, 0, w, kTitleBand, kEdgeArt, face, true);
            tileGumpArtRect(kFrameWidth, h - kFrameWidth, w - 2 * kFrameWidth, kFrameWidth, kEdgeArt, face, true);
            tileGumpArtRect(0, kTitleBand, kFrameWidth, h - kTitleBand, kSideArt, face, true);
            tileGumpArtRect(w - kFrameWidth, kTitleBand, kFrameWidth, h - kTitleBand, kSideArt, face, true);
        }
    }
    if (CGump* collapser = m_collapse.get())
        collapser->setVisible(mode == item_props::kAlwaysUp && itemPropertyListsOn());
}

void ItemPropertyGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    setCurrentPage(isMinimised() ? 1 : 0);
    drawPage(canvas);
    setCurrentPage(0);
    if (!isMinimised())
        drawChildren(canvas);
}

bool ItemPropertyGump::containsPoint(int32_t x, int32_t y)
{
    if (!isVisible())
        return false;
    if (isMinimised())
        return propsContainsOpaque(page(1), x, y);
    if (itemPropsMode() != item_props::kAlwaysUp)
        return false;
    return x >= 0 && y >= 0 && x < width() && y < height();
}

void ItemPropertyGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    bringToFront(true);
    if (!self)
        return;
    m_presses.down(x, y);
}

void ItemPropertyGump::onDrag(int32_t x, int32_t y)
{
    int32_t dx = 0, dy = 0;
    if (!m_presses.drag(x, y, dx, dy))
        return;
    moveBy(dx, dy, true, nullptr, true);
    ItemPropertyState& state = itemPropertyState();
    state.savedX = this->x();
    state.savedY = this->y();
}

void ItemPropertyGump::onLeftUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    if (m_presses.up())
        cycleItemPropsMode();
}

void ItemPropertyGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    if (!isMinimised())
        collapse();
}

ItemPropertiesIconGump::ItemPropertiesIconGump(int32_t x, int32_t y, ItemPropertyGump& owner)
    : CGump(x, y, nullptr, 1, 0, 0)
    , m_owner(&owner)
{
    setTypeName("ItemPropertiesIcon gump");
    const int32_t art = itemPropsIconArt(itemPropsMode() == item_props::kFollowMouse ? item_props::kFollowMouse
                                                                                       : item_props::kSingleClick);
    const GumpArtSize size = gumpArtSize(art);
    setSize((size.width + 7) / 8 * 8, size.height);
    page(0)->allocate(width(), height());
    if (page(0)->isAllocated())
        drawGumpArt(copySpanTransparent, art, page(0)->target(), 0, 0);
    gumpLink(this, nullptr);
    setVisible(itemPropertyListsOn());
}

ItemPropertiesIconGump::~ItemPropertiesIconGump()
{
    if (ItemPropertyGump* window = owner(); window && window->icon() == this)
        window->setIcon(nullptr);
}

ItemPropertyGump* ItemPropertiesIconGump::owner() const { return static_cast<ItemPropertyGump*>(m_owner.get()); }

void ItemPropertiesIconGump::draw(GumpCanvas& canvas)
{
    if (isVisible())
        drawPage(canvas);
}

bool ItemPropertiesIconGump::containsPoint(int32_t x, int32_t y)
{
    return isVisible() && propsContainsOpaque(page(0), x, y);
}

void ItemPropertiesIconGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    bringToFront(true);
    if (self)
        m_presses.down(x, y);
}

void ItemPropertiesIconGump::onDrag(int32_t x, int32_t y)
{
    int32_t dx = 0, dy = 0;
    if (m_presses.drag(x, y, dx, dy))
        moveBy(dx, dy, true, nullptr, true);
}

void ItemPropertiesIconGump::onLeftUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    if (m_presses.up())
        cycleItemPropsMode();
}

void ItemPropertiesIconGump::onRightUp(int32_t, int32_t) { service<GumpPointer>().clearPointerCaptureIf(this); }

bool ItemPropertiesIconGump::isClosableByCloseAll() { return false; }
