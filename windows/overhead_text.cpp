#include "windows/overhead_text.h"

#include "core/wide_text.h"
#include "data/settings_registry.h"
#include "data/targeting.h"
#include "gfx/gump_art.h"
#include "gfx/hue_table.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_canvas.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "text/ascii_font.h"
#include "text/localization.h"
#include "text/unicode_font.h"
#include "windows/incoming_speech.h"
#include "windows/world_view_gump.h"
#include "world/mobile.h"
#include "world/world_screen.h"

#include <algorithm>
#include <map>

namespace {

constexpr int32_t kTextBody47 = 47;
constexpr int32_t kTextBody47Lift = 146;
constexpr int32_t kMobileHeadDrop = 4;
constexpr int32_t kBlendMask565 = 0x7BEF;

// The newest text of each owner; the system area's under null. The world
// tells the texts when an object goes (OverheadTextViews::deleteAll), so a
// key never outlives its object.
std::map<const StaticObject*, BarkGump*>& newestTexts()
{
    static std::map<const StaticObject*, BarkGump*> texts;
    return texts;
}

// Set while a restack deletes texts: their destructors skip the restack.
bool g_restacking = false;

const Item* asTextItem(const StaticObject* object)
{
    return object && object->isDynamic() ? static_cast<const Item*>(object) : nullptr;
}

// An item lying in a container or worn by a mobile.
bool isHeldItem(const StaticObject* object)
{
    const Item* item = asTextItem(object);
    return item && item->container() != nullptr;
}

// The window that shows a held item, whatever path made its text: the text
// closes with that window.
CGump* holderWindow(const StaticObject* owner)
{
    return isHeldItem(owner) ? gumpFindPaperdollOrContainer(const_cast<Item*>(asTextItem(owner))) : nullptr;
}

// The lifetime of a text of `lines` lines.
int32_t barkLifetime(int32_t lines)
{
    const SettingsRegistry& registry = settings();
    int32_t modifier = registry.getIntSetting(u"BarkTimeModifier");
    int32_t unit = modifier * BarkGump::kMsPerLine / 100;
    return registry.getBoolSetting(u"ScaleBarkTimes") ? lines * unit : unit;
}

int32_t lineCount(int32_t height)
{
    // A font smaller than a line would otherwise give texts no life at all.
    return std::max(1, height / BarkGump::kLineHeight);
}

int32_t unicodeBarkFont() { return settings().getFontSetting(u"BarkFontNumber"); }

} // namespace

void outlineText(uint16_t* pixels, int32_t width, int32_t height, uint16_t colour)
{
    for (int32_t y = 1; y + 1 < height; ++y) {
        for (int32_t x = 1; x + 1 < width; ++x) {
            uint16_t pixel = pixels[y * width + x];
            if (pixel == 0 || pixel == colour)
                continue;
            for (int32_t dy = -1; dy <= 1; ++dy) {
                for (int32_t dx = -1; dx <= 1; ++dx) {
                    uint16_t& neighbour = pixels[(y + dy) * width + x + dx];
                    if (neighbour == 0)
                        neighbour = colour;
                }
            }
        }
    }
}

void blendRowsHalf(int32_t rows, int32_t width, uint16_t* destination, const uint16_t* source,
    int32_t destinationPitch, int32_t sourcePitch, bool form565)
{
    for (int32_t row = 0; row < rows; ++row) {
        uint16_t* to = destination + ptrdiff_t(row) * destinationPitch;
        const uint16_t* from = source + ptrdiff_t(row) * sourcePitch;
        if (!form565) {
            blendSpan50(to, from, width);
            continue;
        }
        for (int32_t i = 0; i < width; ++i) {
            if (from[i] != 0)
                to[i] = uint16_t((((to[i] >> 1) & kBlendMask565) + ((from[i] >> 1) & kBlendMask565)) | 1);
        }
    }
}

void drawPageHalfBlended(GumpCanvas& canvas, const ScreenRect& at, const GumpPage& face)
{
    const ScreenRect area = at.intersected(canvas.clip());
    if (area.isEmpty() || !face.isAllocated())
        return;
    const BlitTarget& target = canvas.target();
    const uint16_t* source = face.pixels.data() + ptrdiff_t(area.top - at.top) * face.width + (area.left - at.left);
    blendRowsHalf(area.bottom - area.top, area.right - area.left, target.at(area.left, area.top), source,
        target.pitch, face.width, isGumpArt565());
}

BarkGump::BarkGump(StaticObject* owner, uint16_t hue, uint16_t font, CGump* containerGump, int32_t kind)
    : m_storedKind(kind)
    , m_containerGump(containerGump ? containerGump : holderWindow(owner))
    , m_owner(owner)
    , m_inWindow(isHeldItem(owner))
    , m_hue(hue)
    , m_font(font)
{
    setTypeName("bark gump");
    addKind(GumpKind::OverheadText);
    setPageCount(1);
}

BarkGump::~BarkGump()
{
    const StaticObject* owner = m_owner;
    unlinkFromStack();
    if (g_restacking || gumpManager().bulkClosing || !m_linked)
        return;
    BarkGump* newest = newestText(owner);
    for (BarkGump* text = newest; text; text = text->m_older)
        text->followOwner();
    if (newest)
        restackOwnerChain(newest);
}

StaticObject* BarkGump::owner() const { return m_owner; }

void BarkGump::linkIntoStack()
{
    BarkGump*& newest = newestTexts()[m_owner];
    m_older = newest;
    m_newer = nullptr;
    if (newest)
        newest->m_newer = this;
    newest = this;
    m_linked = true;
}

void BarkGump::unlinkFromStack()
{
    if (!m_linked)
        return;
    if (m_older)
        m_older->m_newer = m_newer;
    if (m_newer) {
        m_newer->m_older = m_older;
    } else {
        auto found = newestTexts().find(m_owner);
        if (found != newestTexts().end() && found->second == this) {
            if (m_older)
                found->second = m_older;
            else
                newestTexts().erase(found);
        }
    }
    m_older = m_newer = nullptr;
}

bool BarkGump::hasSpeakerOwner() const
{
    const Item* item = asTextItem(m_owner);
    return item && (item->isMobile() || item->isCorpse());
}

bool BarkGump::ownerAnchor(int32_t& x, int32_t& y)
{
    if (!m_owner)
        return false;
    if (m_inWindow) {
        CGump* window = holderWindow(m_owner);
        if (!window)
            return false;
        x = window->dragAnchorX();
        y = window->dragAnchorY();
        window->localToScreen(x, y);
        return true;
    }
    const WorldScreen& view = worldScreen();
    const ScreenRect& bounds = m_owner->screenRect;
    x = ((bounds.left + bounds.right) >> 1) - view.viewPixelX;
    y = bounds.top - view.viewPixelY + kMobileHeadDrop;
    if (m_owner->isMobile() && static_cast<const Mobile*>(m_owner)->graphic == kTextBody47)
        y = bounds.bottom - view.viewPixelY - kTextBody47Lift;
    return true;
}

void BarkGump::maxPoint(int32_t& maxX, int32_t& maxY) const
{
    const GumpScreen& screen = gumpScreen();
    maxX = (m_inWindow ? screen.width : screen.gameWidth) - 1;
    maxY = (m_inWindow ? screen.height : screen.gameHeight) - 1;
}

bool BarkGump::place(int32_t systemLift, int32_t width, int32_t height)
{
    const GumpScreen& screen = gumpScreen();
    int32_t x = 0;
    int32_t y = 0;
    if (!m_owner) {
        y = std::min(screen.gameHeight, screen.height) - systemLift;
    } else if (!ownerAnchor(x, y)) {
        return false;
    }
    m_anchorX = x;
    m_anchorY = y;
    // The name of a clicked item (not a corpse) starts where it was clicked;
    // it follows the item from there.
    const Item* item = asTextItem(m_owner);
    WorldViewGump* view = worldViewGump();
    if (m_youSee && !m_inWindow && item && !item->isMobile() && !item->isCorpse() && view) {
        x = view->dragAnchorX();
        y = view->dragAnchorY();
    }
    int32_t maxX = 0;
    int32_t maxY = 0;
    maxPoint(maxX, maxY);
    if (m_owner)
        x -= width / 2;
    m_desiredX = x;
    if (x + width > maxX)
        x = maxX - width;
    x = std::max(x, 0);
    y -= height;
    m_desiredY = y;
    if (y + height > maxY)
        y = maxY - height;
    y = std::max(y, 0);
    setLocation(x, y);
    setSize(width, height);
    return true;
}

bool BarkGump::finishText(int32_t systemLift, int32_t width, int32_t height)
{
    if (!place(systemLift, width, height))
        return false;
    page(0)->allocate(width, height);
    redrawText(m_hue);
    linkIntoStack();
    setTimes(platform::clock().tickMs(), barkLifetime(lineCount(height)));
    // The older texts of the stack move up by the new one's height.
    for (BarkGump* older = m_older; older; older = older->m_older) {
        older->m_desiredY -= height;
        older->clampInto();
    }
    restackOwnerChain(this);
    gumpLink(this, nullptr);
    return true;
}

void BarkGump::clampInto()
{
    int32_t maxX = 0;
    int32_t maxY = 0;
    maxPoint(maxX, maxY);
    int32_t x = std::clamp(m_desiredX, 0, std::max(0, maxX - width()));
    int32_t y = std::clamp(m_desiredY, 0, std::max(0, maxY - height()));
    if (x != this->x() || y != this->y())
        moveTo(x, y, true, nullptr, false);
}

void BarkGump::followOwner()
{
    if (!m_owner || m_inWindow || m_owner->isPlayer())
        return;
    int32_t x = 0;
    int32_t y = 0;
    if (!ownerAnchor(x, y))
        return;
    m_desiredX += x - m_anchorX;
    m_desiredY += y - m_anchorY;
    m_anchorX = x;
    m_anchorY = y;
    clampInto();
}

void BarkGump::followView()
{
    followOwner();
    if (newestText(m_owner) == this)
        restackOwnerChain(this);
}

void BarkGump::restackOwnerChain(BarkGump* text)
{
    if (!text)
        return;
    BarkGump* newest = text;
    while (newest->m_newer)
        newest = newest->m_newer;
    BarkGump* oldest = text;
    int32_t total = 0;
    for (BarkGump* t = newest; t; t = t->m_older) {
        total += t->height();
        oldest = t;
    }
    const GumpScreen& screen = gumpScreen();
    const int32_t maxY = (text->isInGameView() ? screen.gameHeight : screen.height) - 1;
    g_restacking = true;
    while (total > maxY && oldest != text) {
        BarkGump* newer = oldest->m_newer;
        total -= oldest->height();
        delete oldest;
        oldest = newer;
    }
    g_restacking = false;
    if (oldest->m_desiredY < 0) {
        oldest->moveTo(oldest->x(), 0, true, nullptr, false);
        for (BarkGump* t = oldest->m_newer; t; t = t->m_newer)
            t->moveTo(t->x(), t->m_older->y() + t->m_older->height(), true, nullptr, false);
    } else if (newest->m_desiredY + newest->height() > maxY + 1) {
        newest->moveTo(newest->x(), maxY + 1 - newest->height(), true, nullptr, false);
        for (BarkGump* t = newest->m_older; t; t = t->m_older)
            t->moveTo(t->x(), t->m_newer->y() - t->height(), true, nullptr, false);
    }
}

void BarkGump::redrawText(uint16_t hue)
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    TextSurface surface = face->surface();
    drawAsciiTextWrapped(0, 0, m_font, hue, m_text.c_str(), face->width, surface, wholeSurface(surface), 0, 0, false);
    markLookChanged();
}

bool BarkGump::isOverlappedByBark()
{
    const ScreenRect mine = screenRect();
    for (CGump* gump = previous(); gump; gump = gump->previous()) {
        if (!isValidGump(gump))
            return false;
        if (gump->is(GumpKind::OverheadText) && gump->isVisible() && rectIntersects(gump->screenRect(), mine))
            return true;
    }
    return false;
}

bool BarkGump::lookKey(uint64_t& key)
{
    key = faceLookKey() * 2 + uint64_t(isOverlappedByBark());
    return true;
}

void BarkGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    if (isOverlappedByBark())
        drawPageHalfBlended(canvas, screenRect(), *face);
    else
        drawPage(canvas);
}

void BarkGump::onMouseOver(int32_t, int32_t)
{
    if (gumpListHead() != this)
        bringToFront(true);
    if (hasSpeakerOwner())
        redrawText(kHighlightHue);
}

void BarkGump::onMouseLeave()
{
    m_clicks.clickState = 0;
    if (hasSpeakerOwner())
        redrawText(m_hue);
}

void BarkGump::onLeftDown(int32_t x, int32_t y)
{
    setDragAnchor(x, y);
    m_clicks.press();
}

void BarkGump::onHoverTick()
{
    switch (m_clicks.expire()) {
    case ClickEvent::Hold:
        m_clicks.dragStarted = true;
        break;
    case ClickEvent::Single:
        singleClick();
        break;
    default:
        break;
    }
}

void BarkGump::onLeftUp(int32_t, int32_t)
{
    GumpHandle self(this);
    if (m_clicks.release() == ClickEvent::Double && hasSpeakerOwner())
        doubleClickObject(m_owner);
    if (self)
        service<GumpPointer>().clearPointerCaptureIf(this);
}

void BarkGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void BarkGump::singleClick()
{
    GumpHandle self(this);
    if (hasSpeakerOwner() && isTargetPending()) {
        completeTarget(m_owner);
        return;
    }
    if (!self)
        return;
    std::u16string wide
        = isAsciiBark() ? bytesToWideString(m_text) : static_cast<UnicodeBarkGump*>(this)->wideText();
    const Item* item = asTextItem(m_owner);
    translateClickedText(m_languageCode, wide, item ? item->serial : 0);
}

UnicodeBarkGump::UnicodeBarkGump(StaticObject* owner, uint16_t hue, uint16_t font, CGump* containerGump)
    : BarkGump(owner, hue, font, containerGump, 0)
{
    setTypeName("unicode bark gump");
}

void UnicodeBarkGump::redrawText(uint16_t hue)
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    const int32_t previousFont = getUnicodeFont();
    selectUnicodeFont(unicodeBarkFont());
    TextSurface surface = face->surface();
    const uint16_t colour = hueTable().entry(hue - 1).colours[kTextColourIndex];
    drawUnicodeTextWrapped(surface, face->width - 2, m_wideText.c_str(), 1, 1, colour, wholeSurface(surface), false);
    outlineText(face->pixels.data(), face->width, face->height, kOutlineColour);
    selectUnicodeFont(previousFont);
    markLookChanged();
}

BarkGump* makeBarkGump(StaticObject* owner, std::string_view text, uint16_t hue, uint16_t font, CGump* containerGump,
    int32_t kind, bool youSee)
{
    auto* bark = new BarkGump(owner, hue, font, containerGump, kind);
    bark->setText(std::string(text));
    bark->m_youSee = youSee;
    const int32_t wrap = owner ? BarkGump::kOwnerWrapWidth : BarkGump::kSystemWrapWidth;
    int32_t width = 0, height = 0, baseline = 0;
    wrapAsciiText(font, bark->text().c_str(), wrap, width, height, baseline, 0);
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (!bark->finishText(BarkGump::kSystemAreaLift, width, height)) {
        delete bark;
        return nullptr;
    }
    bark->setLanguageCode(getLanguageCode());
    return bark;
}

UnicodeBarkGump* makeUnicodeBarkGump(StaticObject* owner, std::u16string_view text, uint16_t hue, uint16_t font,
    std::string_view language, CGump* containerGump, bool youSee)
{
    auto* bark = new UnicodeBarkGump(owner, hue, font, containerGump);
    bark->m_wideText = std::u16string(text);
    bark->m_youSee = youSee;
    const int32_t wrap = owner ? BarkGump::kOwnerWrapWidth : BarkGump::kSystemWrapWidth;
    const int32_t previousFont = getUnicodeFont();
    selectUnicodeFont(unicodeBarkFont());
    int32_t width = 0, height = 0, zero = 0;
    measureUnicodeTextWrapped(bark->m_wideText.c_str(), wrap, width, height, zero);
    selectUnicodeFont(previousFont);
    width += 2;
    height += 2;
    if (!bark->finishText(UnicodeBarkGump::kSystemAreaLift, width, height)) {
        delete bark;
        return nullptr;
    }
    bark->setLanguageCode(language.empty() ? std::string("enu") : std::string(language));
    return bark;
}

BarkGump* newestText(const StaticObject* owner)
{
    auto found = newestTexts().find(owner);
    return found == newestTexts().end() ? nullptr : found->second;
}

void deleteOwnerTexts(const StaticObject* owner)
{
    // Oldest first, so that each deletion leaves a consistent stack.
    while (BarkGump* newest = newestText(owner)) {
        BarkGump* oldest = newest;
        while (oldest->olderText())
            oldest = oldest->olderText();
        g_restacking = true;
        delete oldest;
        g_restacking = false;
    }
}

void followOwnerTexts(const StaticObject& owner)
{
    BarkGump* newest = newestText(&owner);
    for (BarkGump* text = newest; text; text = text->olderText())
        text->followOwner();
    if (newest)
        BarkGump::restackOwnerChain(newest);
}

void deleteTextsAttachedTo(CGump* window)
{
    GumpListCursor cursor(gumpListHead());
    while (CGump* gump = cursor.take()) {
        if (gump->is(GumpKind::OverheadText) && gump->attachedGump() == window)
            closeGump(gump);
    }
}
