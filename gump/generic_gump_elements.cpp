// The elements of server-described gumps: how each kind draws itself into
// the gump's page, and how buttons, switches and text entries answer the
// pointer and the keys.
#include "gump/generic_gump.h"

#include "gfx/art_blitter.h"
#include "gfx/art_cache.h"
#include "gfx/colour_tables.h"
#include "gfx/gump_art.h"
#include "gfx/hue_table.h"
#include "gfx/pixel_spans.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/html_view.h"
#include "net/game_connection.h"
#include "net/packet_table.h"
#include "platform/clock.h"
#include "text/unicode_font.h"
#include "world/object_manager.h"

#include <algorithm>

namespace {

constexpr uint16_t kElementOutlineColour = 1;
constexpr uint16_t kLabelFrameColour = 0x7FC0;
constexpr int32_t kTextColourIndex = 30;
// Drawing a character costs about as much as this many pixels.
constexpr int64_t kWorkPerCharacter = 32;
constexpr int32_t kLabelCentreX = 155;
constexpr int32_t kLabelCentreY = 165;

bool isTableHue(int32_t hue) { return hue >= 1 && hue <= HueTable::kEntryCount; }

// The text colour of a hue: colour 30 of its ramp. Hues outside the table
// (0 included) use the first entry rather than reading past the table.
uint16_t textColour(int32_t hue)
{
    const HueEntry& entry = hueTable().entry(isTableHue(hue) ? hue - 1 : 0);
    return entry.colours[kTextColourIndex];
}

// A buffer for the part of `rect` inside the page, addressed in page
// coordinates, so that drawing into it needs no offsets.
struct PageBuffer {
    ScreenRect visible;
    std::vector<uint16_t> pixels;
    BlitTarget target;

    PageBuffer(const ScreenRect& rect, const GumpPage& page)
        : visible(rect.intersected({ 0, 0, page.width, page.height }))
    {
        if (visible.isEmpty())
            return;
        pixels.assign(size_t(visible.width()) * size_t(visible.height()), 0);
        target.pixels = pixels.data();
        target.pitch = visible.width();
        target.origin = -(ptrdiff_t(visible.top) * visible.width() + visible.left);
        target.bounds = visible;
    }
    bool isEmpty() const { return visible.isEmpty(); }
    uint16_t& at(int32_t x, int32_t y) { return *target.at(x, y); }
};

// Copies the buffer's non-zero pixels into the page, from 5-5-5 into the
// display's form.
void copyIntoPage(PageBuffer& buffer, GumpPage& page)
{
    const bool is565 = isTextPixelFormat565();
    for (int32_t y = buffer.visible.top; y < buffer.visible.bottom; ++y) {
        for (int32_t x = buffer.visible.left; x < buffer.visible.right; ++x) {
            uint16_t pixel = buffer.at(x, y);
            if (pixel)
                page.pixels[size_t(y) * size_t(page.width) + size_t(x)] = is565 ? convert555To565(pixel) : pixel;
        }
    }
}

// Every pixel off the border that holds ink (not the outline colour) gives
// its empty neighbours the outline colour.
void outlineInk(uint16_t* pixels, int32_t width, int32_t height, uint16_t colour)
{
    std::vector<uint8_t> ink(size_t(width) * size_t(height), 0);
    for (size_t i = 0; i < ink.size(); ++i)
        ink[i] = pixels[i] != 0 && pixels[i] != colour;
    for (int32_t y = 1; y < height - 1; ++y) {
        for (int32_t x = 1; x < width - 1; ++x) {
            if (!ink[size_t(y) * size_t(width) + size_t(x)])
                continue;
            for (int32_t dy = -1; dy <= 1; ++dy) {
                for (int32_t dx = -1; dx <= 1; ++dx) {
                    uint16_t& neighbour = pixels[size_t(y + dy) * size_t(width) + size_t(x + dx)];
                    if (neighbour == 0)
                        neighbour = colour;
                }
            }
        }
    }
}

// The longest prefix that fits in `width` together with "...", and the dots.
std::u16string croppedText(const std::u16string& text, int32_t width)
{
    if (measureUnicodeString(text.c_str()) <= width)
        return text;
    const int32_t dots = measureUnicodeString(u"...");
    int32_t used = 0;
    size_t count = 0;
    while (count < text.size() && used + unicodeCharAdvance(text[count]) + dots <= width)
        used += unicodeCharAdvance(text[count++]);
    return text.substr(0, count) + u"...";
}

void drawFace(const GenericGumpElement& element, GumpPage& page, int32_t art, int32_t hue)
{
    PixelSpanFn fn = copySpanTransparent;
    if (isTableHue(hue)) {
        setCurrentHueNumber(hue);
        fn = hueSpanByRed;
    }
    drawGumpArt(fn, art, page.target(), element.x, element.y);
}

// A static art tile into the part of `clip` inside the page, through the
// hue entry `hueEntry` (-1 for none).
void drawTile(GumpPage& page, const ScreenRect& clip, int32_t graphic, int32_t hueEntry, int32_t x, int32_t y)
{
    const ArtImage* image = getArtImage(ArtImageCache::kStaticArtBase + graphic);
    PageBuffer buffer(clip, page);
    if (!image || buffer.isEmpty())
        return;
    PixelSpanFn fn = copySpanTransparent;
    if (hueEntry >= 0) {
        setCurrentHue(hueEntry);
        fn = hueSpanByRed;
    }
    blitArtClipped(fn, image, buffer.target, &buffer.visible, x, y);
    copyIntoPage(buffer, page);
}

// The hue entry of a button's tile: a table hue selects entry hue - 1, any
// larger hue entry 1, and 0 draws the tile as it is. (Hues between the
// table's end and 60000 would otherwise index past the table.)
int32_t tileHueEntry(int32_t hue)
{
    if (hue <= 0)
        return -1;
    return isTableHue(hue) ? hue - 1 : 1;
}

void renderText(GenericGumpElement& element, GumpPage& page)
{
    std::u16string shown = element.text;
    const int32_t inset = element.highlighted ? 4 : 1;
    const int32_t insetY = element.highlighted ? 2 : 1;
    if (element.kind == ElementKind::CroppedText)
        shown = croppedText(shown, element.width - 2);
    if (element.kind == ElementKind::TextEntry && element.state)
        shown += u'_';

    const ScreenRect rect { element.x, element.y, element.x + element.width, element.y + element.height };
    PageBuffer buffer(rect, page);
    if (buffer.isEmpty())
        return;
    const int32_t width = buffer.visible.width();
    const int32_t height = buffer.visible.height();
    TextSurface surface { buffer.pixels.data(), width, width, height };
    drawUnicodeTextWrapped(surface, std::max(element.width - 2 * inset, 1), shown.c_str(),
        element.x + inset - buffer.visible.left, element.y + insetY - buffer.visible.top, textColour(element.hue),
        wholeSurface(surface), false);
    outlineInk(buffer.pixels.data(), width, height, kElementOutlineColour);

    if (!element.highlighted) {
        copyIntoPage(buffer, page);
        return;
    }
    // The label: a frame on the element's border, the page darkened where
    // no text is.
    const bool is565 = isTextPixelFormat565();
    const uint16_t darkMask = is565 ? 0x7BEF : 0x7DEF;
    for (int32_t y = buffer.visible.top; y < buffer.visible.bottom; ++y) {
        for (int32_t x = buffer.visible.left; x < buffer.visible.right; ++x) {
            uint16_t& target = page.pixels[size_t(y) * size_t(page.width) + size_t(x)];
            bool border = x == rect.left || y == rect.top || x == rect.right - 1 || y == rect.bottom - 1;
            uint16_t pixel = border ? kLabelFrameColour : buffer.at(x, y);
            if (pixel)
                target = is565 ? convert555To565(pixel) : pixel;
            else
                target = uint16_t((target >> 1) & darkMask);
        }
    }
}

void renderCheckerTrans(const GenericGumpElement& element, GumpPage& page)
{
    const ScreenRect area
        = ScreenRect { element.x, element.y, element.x + element.width, element.y + element.height }.intersected(
            { 0, 0, page.width, page.height });
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            if (((x ^ y) & 1) == 0)
                page.pixels[size_t(y) * size_t(page.width) + size_t(x)] = 0;
        }
    }
}

bool isTextKind(ElementKind kind)
{
    return kind == ElementKind::Text || kind == ElementKind::TextEntry || kind == ElementKind::CroppedText;
}

} // namespace

GenericGumpElement::GenericGumpElement(ElementKind elementKind)
    : kind(elementKind)
{
}

GenericGumpElement::~GenericGumpElement() = default;

int32_t GenericGumpElement::typingLimit() const
{
    // The server's limit counts too, but typing never passes the reply's cap.
    return value > 0 ? std::min(value, GenericGump::kMaxTypedCharacters) : GenericGump::kMaxTypedCharacters;
}

void GenericGumpElement::render(GenericGump& gump)
{
    gump.growPage(int64_t(x) + width, int64_t(y) + height);
    GumpPage& own = *gump.page(0);
    const ScreenRect visible = ScreenRect { x, y, x + width, y + height }.intersected({ 0, 0, own.width, own.height });
    int64_t work = int64_t(visible.width()) * visible.height();
    if (isTextKind(kind))
        work += int64_t(text.size()) * kWorkPerCharacter;
    if (kind != ElementKind::Group && !gump.spendWork(work)) {
        hideViews();
        return;
    }
    switch (kind) {
    case ElementKind::GumpPic:
        drawFace(*this, own, art, hue);
        break;
    case ElementKind::Button:
    case ElementKind::Checkbox:
    case ElementKind::Radio:
        drawFace(*this, own, state ? secondArt : art, 0);
        break;
    case ElementKind::ButtonTileArt:
        drawFace(*this, own, state ? secondArt : art, 0);
        drawTile(own, { x, y, x + width - 1, y + height - 1 }, tileGraphic, tileHueEntry(tileHue), x + tileX,
            y + tileY);
        break;
    case ElementKind::TilePic:
        drawTile(own, { x, y, x + width, y + height }, art, isTableHue(hue) ? hue - 1 : -1, x, y);
        break;
    case ElementKind::ResizePic:
        drawNinePatchRecord(x, y, width, height, art, own, true);
        break;
    case ElementKind::Text:
    case ElementKind::TextEntry:
    case ElementKind::CroppedText:
        renderText(*this, own);
        break;
    case ElementKind::CheckerTrans:
        renderCheckerTrans(*this, own);
        break;
    case ElementKind::GumpPicTiled:
        tileGumpArtRect(x, y, width, height, art, own, false);
        break;
    case ElementKind::Group:
    case ElementKind::Html:
        break;
    }
    renderChildren(gump);
}

void GenericGumpElement::renderChildren(GenericGump& gump)
{
    for (const std::unique_ptr<GenericGumpElement>& child : children) {
        if (child->isActiveOn(currentPage))
            child->render(gump);
        else
            child->hideViews();
    }
}

void GenericGumpElement::hideViews()
{
    for (const std::unique_ptr<GenericGumpElement>& child : children)
        child->hideViews();
}

GenericGumpElement* GenericGumpElement::hitTest(int32_t px, int32_t py)
{
    GenericGumpElement* hit = nullptr;
    for (const std::unique_ptr<GenericGumpElement>& child : children) {
        if (!child->isActiveOn(currentPage))
            continue;
        if (GenericGumpElement* found = child->hitTest(px, py))
            hit = found;
    }
    if (hit)
        return hit;
    if (kind != ElementKind::Group && contains(px, py))
        return this;
    return nullptr;
}

void GenericGumpElement::onHover(int32_t px, int32_t py, GenericGump& gump)
{
    if (px == -1 && py == -1) {
        bool wasInside = hoverX != -1 || hoverY != -1;
        hoverX = hoverY = -1;
        if (wasInside)
            leave(gump);
        return;
    }
    bool entering = hoverX == -1 && hoverY == -1;
    hoverX = px;
    hoverY = py;
    if (entering)
        enter(gump);
}

bool GenericGumpElement::onPress(int32_t, int32_t, GenericGump& gump)
{
    if (isButton()) {
        gump.setPressedElement(this);
        state = 1;
        gump.layout();
    } else if (isSwitch()) {
        gump.setPressedElement(this);
    } else if (kind == ElementKind::TextEntry) {
        GumpHandle alive(&gump);
        gumpReleaseFocus();
        if (!alive)
            return false;
        gumpSetFocus(&gump);
        gump.setFocusedEntry(this);
        state = 1;
        gump.layout();
    }
    return true;
}

bool GenericGumpElement::onRelease(int32_t px, int32_t py, GenericGump& gump)
{
    gump.setPressedElement(nullptr);
    const bool inside = contains(px, py);
    if (isButton()) {
        if (inside && (buttonFlags & ButtonFlag::kReplies)) {
            gump.sendReply(uint32_t(id));
            // This element goes with the gump: nothing of it is touched again.
            closeGump(&gump);
            return false;
        }
        if (inside && (buttonFlags & ButtonFlag::kSwitchesPage)) {
            if (parent)
                parent->currentPage = value;
            else
                gump.setShownPage(value);
        }
        state = 0;
        gump.layout();
    } else if (kind == ElementKind::Checkbox) {
        if (inside) {
            state = state ? 0 : 1;
            gump.layout();
        }
    } else if (kind == ElementKind::Radio) {
        if (inside && !state) {
            auto& siblings = parent ? parent->children : gump.elements();
            for (const std::unique_ptr<GenericGumpElement>& sibling : siblings) {
                if (sibling->kind == ElementKind::Radio)
                    sibling->state = 0;
            }
            state = 1;
            gump.layout();
        }
    }
    return true;
}

void GenericGumpElement::onKey(uint32_t code, GenericGump& gump)
{
    switch (code) {
    case 8:
    case GumpKey::kDelete:
        if (!text.empty()) {
            text.pop_back();
            gump.layout();
        }
        return;
    case 9:
        return;
    case 13:
    case 27:
        gumpReleaseFocus();
        return;
    default:
        break;
    }
    if (GumpKey::isNavigationKey(code))
        return;
    if (code > 0xFFFF || !hasUnicodeGlyph(char16_t(code)) || int32_t(text.size()) >= typingLimit())
        return;
    text.push_back(char16_t(code));
    gump.layout();
}

// ---- HTML areas -------------------------------------------------------------

HtmlElement::HtmlElement(GenericGump& gump, std::u16string_view content, int32_t background, int32_t scrollBar,
    int32_t colour, int32_t left, int32_t top, int32_t areaWidth, int32_t areaHeight)
    : GenericGumpElement(ElementKind::Html)
{
    x = left;
    y = top;
    width = areaWidth;
    height = areaHeight;
    uint32_t flags = HtmlViewFlag::kReadOnly | HtmlViewFlag::kFrame3000;
    if (background == 0)
        flags |= HtmlViewFlag::kNoFrame;
    if (scrollBar == 0)
        flags |= HtmlViewFlag::kNoScrollBar;
    auto* view = new HtmlView(&gump, 0, flags, false, true);
    int32_t textColour = colour != 0 ? colour : (scrollBar != 0 && background == 0 ? 0x7BDE : 1);
    view->setText(content, textColour);
    view->setRect(left, top, areaWidth, areaHeight);
    m_view = GumpHandle(view);
}

HtmlElement::~HtmlElement()
{
    if (CGump* view = m_view.get())
        closeGump(view);
}

HtmlView* HtmlElement::view() const { return static_cast<HtmlView*>(m_view.get()); }

void HtmlElement::render(GenericGump& gump)
{
    gump.growPage(int64_t(x) + width, int64_t(y) + height);
    if (HtmlView* shown = view())
        shown->setVisible(true);
}

void HtmlElement::hideViews()
{
    if (HtmlView* shown = view())
        shown->setVisible(false);
}

GenericGumpElement* HtmlElement::hitTest(int32_t px, int32_t py)
{
    HtmlView* shown = view();
    if (!shown || !contains(px, py) || !shown->containsPoint(px - shown->x(), py - shown->y()))
        return nullptr;
    return GenericGumpElement::hitTest(px, py);
}

// ---- Virtue items -----------------------------------------------------------

VirtueItem::VirtueItem()
    : GenericGumpElement(ElementKind::GumpPic)
{
}

bool VirtueItem::onPress(int32_t, int32_t, GenericGump&)
{
    const uint32_t now = platform::clock().tickMs();
    if (m_hasPress && now - m_lastPressAt <= kDoubleClickMs) {
        m_hasPress = false;
        PacketStorage<15> packet;
        if (packetBegin(packet, 0xB1) && packetPutLong(packet, playerSerial())
            && packetPutLong(packet, uint32_t(GenericGump::kVirtueTypeId)) && packetPutLong(packet, uint32_t(art)))
            sendPacket(packet);
    } else {
        m_hasPress = true;
        m_lastPressAt = now;
    }
    return false;
}

void VirtueItem::enter(GenericGump& gump)
{
    if (!m_label)
        m_label = gump.addMessageLabel(hue);
    m_label->text = virtueLabelText(art, hue);
    m_label->hue = hue;
    int32_t textWidth = 0;
    int32_t textHeight = 0;
    int32_t zero = 0;
    measureUnicodeText(m_label->text.c_str(), textWidth, textHeight, zero);
    m_label->width = textWidth + 8;
    m_label->height = textHeight + 4;
    m_label->x = kLabelCentreX - m_label->width / 2;
    m_label->y = kLabelCentreY - m_label->height / 2;
    gump.layout();
}

void VirtueItem::leave(GenericGump& gump)
{
    if (!m_label)
        return;
    m_label->text.clear();
    m_label->width = 0;
    m_label->height = 0;
    gump.layout();
}
