#include "gump/gump.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_canvas.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"

#include <algorithm>
#include <cstring>

namespace {

// Pages are made by the program's own windows, but some take sizes from the
// server or a file; nothing larger than this is ever allocated.
constexpr int32_t kMaxPageSide = 8192;
constexpr int32_t kMaxPageCount = 256;
// A moved gump keeps at least this much of itself on the screen.
constexpr int32_t kKeepOnScreen = 50;

uint64_t nextInstanceId()
{
    static uint64_t counter = 0;
    return ++counter;
}

// The size clampToScreen keeps on the screen.
void clampGumpSize(CGump& gump, int32_t& width, int32_t& height)
{
    if (gump.is(GumpKind::OptionsGump) || gump.is(GumpKind::PartyGump)) {
        width = 500;
        height = 400;
    } else if (gump.is(GumpKind::HuePicker)) {
        width = 290;
        height = 170;
    } else if (gump.is(GumpKind::ChatWindow)) {
        width = 300;
        height = 200;
    } else if (gump.is(GumpKind::ContextHelp)) {
        width = 400;
        height = 300;
    } else if (gump.is(GumpKind::ItemProperties)) {
        width = gump.width();
        height = gump.height();
    } else {
        getGumpArtSize(gump.artId(), width, height);
    }
}

// A page row onto the back buffer, skipping 0. Page rows are the bulk of
// every composition, so eight pixels are selected at a time without a
// branch (the destination is rewritten with itself where the page is
// transparent); loads and stores go through memcpy, as rows need not be
// aligned.
void copyRowColourKeyed(uint16_t* destination, const uint16_t* source, int32_t count)
{
    using Pixels = uint16_t __attribute__((vector_size(16)));
    constexpr int32_t kLanes = int32_t(sizeof(Pixels) / sizeof(uint16_t));
    int32_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        Pixels page;
        Pixels under;
        std::memcpy(&page, source + i, sizeof page);
        std::memcpy(&under, destination + i, sizeof under);
        Pixels transparent = Pixels(page == 0);
        under = (under & transparent) | (page & ~transparent);
        std::memcpy(destination + i, &under, sizeof under);
    }
    for (; i < count; ++i) {
        if (source[i])
            destination[i] = source[i];
    }
}

} // namespace

void GumpPage::allocate(int32_t pageWidth, int32_t pageHeight)
{
    if (pageWidth <= 0 || pageHeight <= 0 || pageWidth > kMaxPageSide || pageHeight > kMaxPageSide) {
        release();
        return;
    }
    width = pageWidth;
    height = pageHeight;
    pixels.assign(size_t(pageWidth) * size_t(pageHeight), 0);
}

void GumpPage::release()
{
    width = 0;
    height = 0;
    pixels.clear();
    pixels.shrink_to_fit();
}

CGump::CGump()
    : m_instanceId(nextInstanceId())
{
}

CGump::CGump(int32_t x, int32_t y, WorldObject* owner, int32_t pageCount, int32_t width, int32_t height)
    : m_instanceId(nextInstanceId())
    , m_width(width)
    , m_height(height)
    , m_x(x)
    , m_y(y)
    , m_owner(owner)
    , m_restoreX(x)
    , m_restoreY(y)
    , m_minimisedX(x)
    , m_minimisedY(y)
{
    setPageCount(pageCount);
    if (owner && service<GumpWorld>().isPlayer(owner))
        m_artId = 0;
}

CGump::~CGump()
{
    // From here on the gump is no longer valid to anyone who asks.
    retire();
    GumpManager& manager = gumpManager();
    service<GumpPointer>().forgetPressedGump(this);
    if (m_minimiseCellX != 0 || m_minimiseCellY != 0) {
        minimiseGridFreeCell(m_minimiseCellX, m_minimiseCellY);
        m_minimiseCellX = m_minimiseCellY = 0;
    }
    GumpListCursor::advancePast(this);
    service<GumpPointer>().clearPointerCaptureIf(this);
    if (manager.hovered == this)
        manager.hovered = nullptr;
    if (manager.focus == this)
        gumpReleaseFocus();
    // No other record may go on naming a destroyed gump: a new gump made at
    // the same address would inherit it.
    if (manager.modal == this)
        manager.modal = nullptr;
    if (manager.menubar == this)
        manager.menubar = nullptr;
    if (manager.tooltip == this)
        manager.tooltip = nullptr;
    if (manager.tooltipGump == this)
        manager.tooltipGump = nullptr;
    std::erase_if(manager.allNames, [this](const auto& entry) { return entry.second == this; });
    for (CGump* gump = manager.head; gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::WaitingGump))
            gump->forgetGump(this);
    }
    if (m_owner)
        service<GumpWorld>().forgetOpenGump(m_owner, this);
    deleteChildren();
    gumpUnlink(this);
}

void CGump::deleteChildren()
{
    GumpManager& manager = gumpManager();
    ++manager.childrenDeleting;
    GumpListCursor cursor(m_firstChild);
    while (CGump* child = cursor.take())
        delete child;
    --manager.childrenDeleting;
}

void CGump::setPageCount(int32_t count)
{
    m_pages.resize(size_t(std::clamp(count, 0, kMaxPageCount)));
}

GumpPage* CGump::page(int32_t index)
{
    if (index < 0 || index >= pageCount())
        return nullptr;
    return &m_pages[size_t(index)];
}

uint16_t* CGump::pagePixels()
{
    GumpPage* first = page(0);
    return first && first->isAllocated() ? first->pixels.data() : nullptr;
}

void CGump::setSizeLimits(int32_t minWidth, int32_t minHeight, int32_t maxWidth, int32_t maxHeight)
{
    m_minWidth = minWidth;
    m_minHeight = minHeight;
    m_maxWidth = maxWidth;
    m_maxHeight = maxHeight;
}

void CGump::localToScreen(int32_t& x, int32_t& y)
{
    bool inGameView = false;
    for (CGump* gump = this; gump; gump = gump->m_parent) {
        if (!isValidGump(gump))
            break;
        x += gump->m_x;
        y += gump->m_y;
        if (gump->isInGameView())
            inGameView = true;
    }
    if (inGameView) {
        x += gumpScreen().gameViewX;
        y += gumpScreen().gameViewY;
    }
}

void CGump::screenToLocal(int32_t& x, int32_t& y)
{
    int32_t originX = 0;
    int32_t originY = 0;
    localToScreen(originX, originY);
    x -= originX;
    y -= originY;
}

ScreenRect CGump::screenRect()
{
    int32_t x = 0;
    int32_t y = 0;
    localToScreen(x, y);
    int32_t width = m_minimised ? m_minimisedWidth : m_width;
    int32_t height = m_minimised ? m_minimisedHeight : m_height;
    return { x, y, x + std::max(width, 0), y + std::max(height, 0) };
}

ScreenRect CGump::composedBounds()
{
    ScreenRect bounds = screenRect();
    if (m_minimised) {
        // A minimised face may be drawn by its own look in either size.
        bounds.right = std::max(bounds.right, bounds.left + m_width);
        bounds.bottom = std::max(bounds.bottom, bounds.top + m_height);
    }
    for (CGump* child = m_firstChild; child && isValidGump(child); child = child->m_next) {
        if (!child->m_visible)
            continue;
        ScreenRect inner = child->composedBounds();
        if (inner.isEmpty())
            continue;
        bounds = bounds.isEmpty() ? inner
                                  : ScreenRect { std::min(bounds.left, inner.left), std::min(bounds.top, inner.top),
                                        std::max(bounds.right, inner.right), std::max(bounds.bottom, inner.bottom) };
    }
    const GumpScreen& screen = gumpScreen();
    return bounds.intersected({ 0, 0, screen.width, screen.height });
}

bool CGump::containsPoint(int32_t x, int32_t y)
{
    if (m_noHit)
        return false;
    if (m_artId >= 0) {
        int32_t width = 0;
        int32_t height = 0;
        getGumpArtSize(m_artId, width, height);
        if (x < 0 || y < 0 || x >= width || y >= height)
            return false;
        return getGumpArtPixel(m_artId, x, y) != 0;
    }
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return false;
    if (!isColourKeyed())
        return true;
    // A page never made has no pixels to hit.
    GumpPage* shown = page(m_currentPage);
    if (!shown || !shown->isAllocated() || x >= shown->width || y >= shown->height)
        return false;
    return shown->pixel(x, y) != 0;
}

CGump* CGump::findChildAt(int32_t x, int32_t y, CGump* excluded)
{
    if (!containsPoint(x, y))
        return nullptr;
    int32_t screenX = x;
    int32_t screenY = y;
    localToScreen(screenX, screenY);
    for (CGump* child = m_firstChild; child; child = child->m_next) {
        if (!isValidGump(child))
            return nullptr;
        if (!child->m_visible)
            continue;
        if (child->is(GumpKind::Button) && child->m_showsWhileParentMinimised != m_minimised)
            continue;
        if (child->m_group != 0 && child->m_group != m_group)
            continue;
        int32_t localX = screenX;
        int32_t localY = screenY;
        child->screenToLocal(localX, localY);
        if (child != excluded && child->containsPoint(localX, localY))
            return child->findChildAt(localX, localY, nullptr);
    }
    return this;
}

void CGump::saveUnder(GumpCanvas& canvas)
{
    if (!m_visible)
        return;
    forEachPaintedArea([this, &canvas](const ScreenRect& area) {
        if (!area.overlaps(canvas.clip()))
            return;
        m_drawn = true;
        canvas.saveRect(area.intersected(canvas.clip()));
    });
}

bool CGump::lookKey(uint64_t&) { return false; }

bool CGump::hasOwnFace() const { return true; }

namespace {

uint64_t mixLook(uint64_t key, uint64_t value)
{
    key = (key ^ value) * 0x9E3779B97F4A7C15ull;
    return key ^ (key >> 31);
}

} // namespace

uint64_t CGump::faceLookKey()
{
    uint64_t key = mixLook(uint64_t(uint32_t(m_artId)), uint64_t(uint32_t(m_currentPage)));
    key = mixLook(key, (uint64_t(isColourKeyed()) << 1) | uint64_t(m_minimised));
    return mixLook(key, m_lookVersion);
}

void CGump::draw(GumpCanvas& canvas)
{
    if (!m_visible)
        return;
    // A gump with an art face shows (and is hit-tested by) its art.
    if (m_artId >= 0) {
        int32_t x = 0;
        int32_t y = 0;
        localToScreen(x, y);
        drawGumpArtClipped(isColourKeyed() ? copySpanTransparent : copySpan, m_artId, canvas.target(),
            &canvas.clip(), x, y);
    } else {
        drawPage(canvas);
    }
    drawChildren(canvas);
}

void CGump::drawPage(GumpCanvas& canvas)
{
    int32_t x = 0;
    int32_t y = 0;
    localToScreen(x, y);
    GumpPage* shown = page(m_currentPage);
    if (!shown || !shown->isAllocated())
        return;
    // Never past the page, whatever size the gump claims.
    const int32_t width = std::min(m_width, shown->width);
    const int32_t height = std::min(m_height, shown->height);
    ScreenRect area = ScreenRect { x, y, x + width, y + height }.intersected(canvas.clip());
    if (area.isEmpty())
        return;
    const uint16_t* source = shown->pixels.data() + size_t(area.top - y) * size_t(shown->width) + size_t(area.left - x);
    const int32_t columns = area.width();
    for (int32_t row = area.top; row < area.bottom; ++row, source += shown->width) {
        uint16_t* destination = canvas.target().at(area.left, row);
        if (isColourKeyed())
            copyRowColourKeyed(destination, source, columns);
        else
            std::memcpy(destination, source, size_t(columns) * sizeof(uint16_t));
    }
}

void CGump::drawOwnBuffer(GumpCanvas& canvas)
{
    GumpPage* face = page(0);
    if (!isVisible() || !face || !face->isAllocated())
        return;
    int32_t x = 0;
    int32_t y = 0;
    localToScreen(x, y);
    drawImageClipped(
        copySpanTransparent, face->pixels.data(), face->width, face->height, canvas.target(), &canvas.clip(), x, y);
}

bool CGump::containsPointInBuffer(int32_t x, int32_t y)
{
    GumpPage* face = page(0);
    return face && x >= 0 && y >= 0 && x < face->width && y < face->height;
}

void CGump::drawChildren(GumpCanvas& canvas)
{
    forEachChildBottomUp([&canvas](CGump* child) { child->draw(canvas); });
}

void CGump::bringToFront(bool keepFocus)
{
    if (is(GumpKind::CharCreation))
        return;
    GumpManager& manager = gumpManager();
    if (!keepFocus && manager.focus && isValidGump(manager.focus) && manager.focus->m_parent != this)
        gumpReleaseFocus();
    CGump* head = m_parent ? m_parent->m_firstChild : manager.head;
    if (head != this) {
        CGump* parent = m_parent;
        gumpUnlink(this);
        gumpLink(this, parent);
    }
    if (!is(GumpKind::OverheadText)) {
        // Attached texts stay above the gump they belong to, in their order.
        std::vector<GumpHandle> attached;
        for (CGump* gump = manager.tail; gump && isValidGump(gump); gump = gump->m_previous) {
            if (gump->is(GumpKind::OverheadText) && gump->attachedGump() == this)
                attached.emplace_back(gump);
        }
        for (const GumpHandle& text : attached) {
            if (CGump* gump = text.get())
                gump->bringToFront(false);
        }
    }
    if (is(GumpKind::ShopGump)) {
        CGump* partner = partnerGump();
        if (partner && isValidGump(partner))
            partner->bringToFront(false);
    }
}

void CGump::keepOnScreen(const ScreenRect& before, int32_t& dx, int32_t& dy)
{
    const GumpScreen& screen = gumpScreen();
    ScreenRect bars;
    if (attachedBarBounds(bars)) {
        // The outermost pieces stay inside, with 50 pixels of the first piece
        // on the left and top.
        dx = std::min<int64_t>(dx, int64_t(screen.width) - 51 - bars.right);
        dy = std::min<int64_t>(dy, int64_t(screen.height) - 51 - bars.bottom);
        dx = std::max<int64_t>(dx, int64_t(kKeepOnScreen) - before.right);
        dy = std::max<int64_t>(dy, int64_t(kKeepOnScreen) - before.bottom);
        return;
    }
    const int32_t width = m_minimised ? m_minimisedWidth : m_width;
    const int32_t height = m_minimised ? m_minimisedHeight : m_height;
    const int32_t keepX = std::min(width, kKeepOnScreen);
    const int32_t keepY = std::min(height, kKeepOnScreen);
    int64_t x = int64_t(m_x) + dx;
    int64_t y = int64_t(m_y) + dy;
    x = std::max<int64_t>(std::min<int64_t>(x, int64_t(screen.width) - keepX), int64_t(keepX) - width);
    y = std::max<int64_t>(std::min<int64_t>(y, int64_t(screen.height) - keepY), int64_t(keepY) - height);
    dx = int32_t(x - m_x);
    dy = int32_t(y - m_y);
}

void CGump::moveBy(int32_t dx, int32_t dy, bool moveSelf, ScreenRect* dirty, bool keepOnScreenFlag)
{
    const ScreenRect before = screenRect();
    if (moveSelf) {
        if (keepOnScreenFlag)
            keepOnScreen(before, dx, dy);
        m_x += dx;
        m_y += dy;
    } else if (dirty) {
        rectUnion(*dirty, before);
    }
    forEachChildBottomUp([dx, dy, dirty](CGump* child) { child->moveBy(dx, dy, false, dirty, false); });
    if (moveSelf && (dx != 0 || dy != 0)) {
        GumpManager& manager = gumpManager();
        std::vector<GumpHandle> attached;
        for (CGump* gump = manager.head; gump && isValidGump(gump); gump = gump->m_next) {
            if (gump != this && gump->is(GumpKind::OverheadText) && gump->attachedGump() == this)
                attached.emplace_back(gump);
        }
        for (const GumpHandle& text : attached) {
            CGump* gump = text.get();
            if (!gump)
                continue;
            if (dirty)
                rectUnion(*dirty, gump->screenRect());
            gump->moveBy(dx, dy, true, nullptr, false);
            if (dirty)
                rectUnion(*dirty, gump->screenRect());
        }
    }
    if (dirty) {
        if (moveSelf)
            rectUnion(*dirty, before);
        rectUnion(*dirty, screenRect());
        // The real screen, whatever its size; right and bottom stay exclusive.
        const GumpScreen& screen = gumpScreen();
        *dirty = dirty->intersected({ 0, 0, screen.width, screen.height });
    }
}

void CGump::moveTo(int32_t x, int32_t y, bool moveSelf, ScreenRect* dirty, bool keepOnScreenFlag)
{
    moveBy(x - m_x, y - m_y, moveSelf, dirty, keepOnScreenFlag);
}

void CGump::keepInsideParent()
{
    if (!m_parent || !isValidGump(m_parent))
        return;
    m_x = std::max(std::min(m_x, m_parent->m_width - m_width), 0);
    m_y = std::max(std::min(m_y, m_parent->m_height - m_height), 0);
}

void CGump::clampToScreen()
{
    int32_t width = 0;
    int32_t height = 0;
    clampGumpSize(*this, width, height);
    const GumpScreen& screen = gumpScreen();
    if (m_x < 0)
        m_x = 0;
    else if (int64_t(m_x) + width > screen.width)
        m_x = screen.width - width;
    // The top keeps clear of a title line.
    if (m_y < 0)
        m_y = 20;
    else if (int64_t(m_y) + height > screen.height)
        m_y = screen.height - height;
}

void CGump::placeOutsideGameArea()
{
    const GumpScreen& screen = gumpScreen();
    int32_t width = 0;
    int32_t height = 0;
    getGumpArtSize(m_artId, width, height);
    if (screen.gameWidth + 5 - width / 2 - m_x > screen.gameHeight + 5 - height / 2 - m_y)
        m_y = screen.gameHeight + 5;
    else
        m_x = screen.gameWidth + 5;
    clampToScreen();
}

void CGump::minimize()
{
    if (m_minimiseCellX == 0 && m_minimiseCellY == 0 && gumpSettings().autoArrangeMinimized) {
        int32_t cellX = 0;
        int32_t cellY = 0;
        if (minimiseGridTakeCell(cellX, cellY)) {
            m_minimiseCellX = cellX;
            m_minimiseCellY = cellY;
            m_minimisedX = cellX;
            m_minimisedY = cellY;
        }
    }
    m_restoreX = m_x;
    m_restoreY = m_y;
    m_minimised = true;
    moveTo(m_minimisedX, m_minimisedY, true, nullptr, false);
}

void CGump::restore()
{
    m_minimisedX = m_x;
    m_minimisedY = m_y;
    m_minimised = false;
    moveTo(m_restoreX, m_restoreY, true, nullptr, false);
    // The cell goes back to the grid and the gump forgets it: two gumps must
    // never hold one cell.
    if (m_minimiseCellX != 0 || m_minimiseCellY != 0) {
        minimiseGridFreeCell(m_minimiseCellX, m_minimiseCellY);
        m_minimiseCellX = m_minimiseCellY = 0;
    }
}

void CGump::drawNinePatchFrame(int32_t x, int32_t y, int32_t width, int32_t height, const int32_t arts[9],
    bool colourKeyed, int32_t hueA, int32_t hueB)
{
    GumpPage* target = page(0);
    if (width <= 0 || height <= 0 || !target || !target->isAllocated())
        return;
    PixelSpanFn fn = colourKeyed ? copySpanTransparent : copySpan;
    if (hueB != 0) {
        setCurrentHueNumber(hueB);
        fn = colourKeyed ? partialHueSpan : partialHueSpanOpaque;
    } else if (hueA != 0) {
        setCurrentHueNumber(hueA);
        fn = colourKeyed ? hueSpanByRed : hueSpanOpaque;
    }
    auto size = [](int32_t art, int32_t& w, int32_t& h) {
        w = h = 0;
        if (art != 0)
            getGumpArtSize(art, w, h);
    };
    int32_t topLeftW, topLeftH, topW, topH, topRightW, topRightH, leftW, leftH, rightW, rightH;
    int32_t bottomLeftW, bottomLeftH, bottomW, bottomH, bottomRightW, bottomRightH;
    size(arts[0], topLeftW, topLeftH);
    size(arts[1], topW, topH);
    size(arts[2], topRightW, topRightH);
    size(arts[3], leftW, leftH);
    size(arts[5], rightW, rightH);
    size(arts[6], bottomLeftW, bottomLeftH);
    size(arts[7], bottomW, bottomH);
    size(arts[8], bottomRightW, bottomRightH);
    const BlitTarget pixels = target->target();
    const ScreenRect frame { x, y, x + width, y + height };
    auto tile = [&](int32_t art, const ScreenRect& band) {
        if (art != 0)
            tileGumpArtArea(fn, art, *target, band.intersected(frame), band.left, band.top);
    };
    // The centre fills the inside; each edge is one row (or column) of
    // tiles between the corners of its side.
    tile(arts[4], { x + topLeftW, y + topLeftH, x + width - bottomRightW, y + height - bottomRightH });
    tile(arts[1], { x + topLeftW, y, x + width - topRightW, y + topH });
    tile(arts[7], { x + bottomLeftW, y + height - bottomH, x + width - bottomRightW, y + height });
    tile(arts[3], { x, y + topLeftH, x + leftW, y + height - bottomLeftH });
    tile(arts[5], { x + width - rightW, y + topRightH, x + width, y + height - bottomRightH });

    auto corner = [&](int32_t art, int32_t cx, int32_t cy) {
        if (art != 0)
            drawGumpArt(fn, art, pixels, cx, cy);
    };
    corner(arts[0], x, y);
    corner(arts[2], x + width - topRightW, y);
    corner(arts[6], x, y + height - bottomLeftH);
    corner(arts[8], x + width - bottomRightW, y + height - bottomRightH);
}

// Base behaviour of the virtual operations: nothing, unless said.

void CGump::onLeftDown(int32_t, int32_t) { }
void CGump::onLeftUp(int32_t, int32_t) { }
void CGump::onRightDown(int32_t, int32_t) { }
void CGump::onRightUp(int32_t, int32_t) { }

void CGump::onMouseOver(int32_t, int32_t) { service<GumpPointer>().setCursorForGumpType(0); }

void CGump::onMouseLeave()
{
    service<GumpPointer>().setCursorKind(0);
    service<ItemProperties>().hideItemProperties();
}

void CGump::onDrag(int32_t, int32_t) { }
void CGump::onHoverTick() { }
void CGump::onKey(uint32_t) { }
void CGump::onSlider(int32_t, int32_t, CGump*) { }
void CGump::onSliderReleased(int32_t, int32_t, CGump*) { }
void CGump::onControlChanged(CGump*) { }
void CGump::onTab() { }
void CGump::onEnter() { }
void CGump::onEscape() { }
void CGump::onControlPressed(CGump*) { }
void CGump::onControlReleased(CGump*) { }
void CGump::onControlActivated(CGump*) { }
void CGump::onCommand(int32_t) { }
void CGump::onChoiceListClosed() { }
void CGump::resize(int32_t, int32_t, bool) { }
void CGump::objectHelpAt(int32_t, int32_t) { }
void CGump::tick() { }
bool CGump::onMessengerEvent(int32_t, int32_t, int32_t) { return true; }

WString CGump::getTooltipText(int32_t, int32_t)
{
    int32_t id = m_tooltipId == kNoTooltip ? m_artId : m_tooltipId;
    if (id == kNoTooltip || id == -1)
        return WString();
    const WString* text = gumpTooltipText(id);
    return text ? *text : WString();
}

bool CGump::acceptsItemDrop() { return false; }
bool CGump::isInGameView() { return false; }
void CGump::designCommand(int32_t) { }
void CGump::refreshLayout() { }
bool CGump::isColourKeyed() { return true; }
bool CGump::isClosableByCloseAll() { return true; }
void CGump::kindAction() { }
void CGump::onFocusLost() { }
bool CGump::hasExpired(uint32_t) { return false; }
CGump* CGump::attachedGump() { return nullptr; }
CGump* CGump::partnerGump() { return nullptr; }
void CGump::followView() { }
void CGump::riseStep() { }
void CGump::refreshBeforePresent() { }
void CGump::shiftMissile(int32_t, int32_t) { }
void CGump::replyBeforeCloseAll() { }
bool CGump::closeIfMatches(uint32_t) { return false; }
void CGump::forgetGump(CGump*) { }
bool CGump::attachedBarBounds(ScreenRect&) { return false; }
bool CGump::wantsLeaveNotice() { return false; }
uint32_t CGump::itemSerialAt(int32_t, int32_t) { return 0; }

bool isValidGump(const CGump* gump) { return isValidObject<GumpTree>(gump); }

void closeGump(CGump* gump)
{
    if (isValidGump(gump))
        delete gump;
}

GumpHandle::GumpHandle(CGump* gump)
    : m_gump(isValidGump(gump) ? gump : nullptr)
    , m_instanceId(m_gump ? m_gump->instanceId() : 0)
{
}

CGump* GumpHandle::get() const
{
    // The instance id is read only once the registry says a gump lives there.
    if (!m_gump || !isValidGump(m_gump) || m_gump->instanceId() != m_instanceId)
        return nullptr;
    return m_gump;
}

void rectUnion(ScreenRect& accumulator, const ScreenRect& r)
{
    if (accumulator.left == 0 && accumulator.top == 0 && accumulator.right == 0 && accumulator.bottom == 0) {
        accumulator = r;
        return;
    }
    accumulator.left = std::min(accumulator.left, r.left);
    accumulator.top = std::min(accumulator.top, r.top);
    accumulator.right = std::max(accumulator.right, r.right);
    accumulator.bottom = std::max(accumulator.bottom, r.bottom);
}

bool rectIntersects(const ScreenRect& a, const ScreenRect& b)
{
    return b.left < a.right && a.left < b.right && b.top < a.bottom && a.top < b.bottom;
}

void rectIntersection(const ScreenRect& a, const ScreenRect& b, ScreenRect& out)
{
    out.left = b.left <= a.left && a.left < b.right ? a.left : b.left;
    out.right = b.left < a.right && a.right <= b.right ? a.right : b.right;
    out.top = b.top <= a.top && a.top < b.bottom ? a.top : b.top;
    out.bottom = b.top < a.bottom && a.bottom <= b.bottom ? a.bottom : b.bottom;
}

void blitRowsColourKeyed(int32_t rows, int32_t width, uint16_t* destination, const uint16_t* source,
    int32_t destinationStep, int32_t sourceStep)
{
    for (int32_t row = 0; row < rows; ++row) {
        copySpanTransparent(destination, source, width);
        destination += destinationStep;
        source += sourceStep;
    }
}
