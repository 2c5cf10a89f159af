#include "windows/context_menu.h"

#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "protocol/protocol_text.h"
#include "text/unicode_font.h"
#include "windows/window_packets.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <algorithm>

namespace {

constexpr int32_t kMoreGap = 10;
constexpr int32_t kMoreRise = 5;
constexpr int32_t kScreenMargin = 10;

std::vector<ContextMenuEntry>& storedEntries()
{
    static std::vector<ContextMenuEntry> entries;
    return entries;
}

GumpHandle& openPopup()
{
    static GumpHandle popup;
    return popup;
}

void redrawObject(uint32_t serial)
{
    if (WorldObject* object = findObjectBySerial(serial))
        object->invalidate();
}

// Where a popup of the given size opens: at the press point, moved in to end
// 10 pixels inside a screen edge it would cross, never above or left of 0.
int32_t placeAlong(int32_t press, int32_t size, int32_t screen)
{
    int32_t at = press;
    if (at + size >= screen)
        at = screen - size - kScreenMargin;
    return std::max(at, 0);
}

} // namespace

ContextMenuGump::ContextMenuGump(uint32_t ownerSerial, Form form)
    : m_form(form)
    , m_ownerSerial(ownerSerial)
{
    setOwnerSerial(ownerSerial);
    int32_t unusedWidth = 0;
    int32_t zero = 0;
    measureUnicodeText(u"jL", unusedWidth, m_lineHeight, zero);
    bool hidden = false;
    for (const ContextMenuEntry& entry : storedEntries()) {
        if (form == Form::Compact && (entry.flags & kSecondaryFlag)) {
            hidden = true;
            continue;
        }
        m_shown.push_back(entry);
        m_tags.push_back(entry.tag);
        const std::u16string text = clilocText(int32_t(entry.textId));
        m_widest = std::max(m_widest, measureUnicodeString(text.c_str()));
    }
    m_textHeight = int32_t(m_shown.size()) * m_lineHeight;
    int32_t width = m_widest + 2 * kMargin;
    int32_t height = m_textHeight + 2 * kMargin;
    if (hidden) {
        m_more = new Button(kMargin + kMoreGap, m_textHeight + 2 * kMargin - kMoreRise,
            ButtonBehaviour::ClickOnRelease, 0, onParent<&ContextMenuGump::askForFullForm>, kMoreArt,
            kMorePressedArt, false);
        static_cast<Button*>(m_more)->setHoverArt(kMorePressedArt);
        height += m_more->height() + kMargin;
    }
    setSize(width, height);
    // The frame is half see-through: every pixel of an odd column and an odd
    // row is left out.
    m_normal.allocate(width, height);
    drawNinePatch(kFrameArt, m_normal, true);
    for (int32_t y = 1; y < height; y += 2)
        for (int32_t x = 1; x < width; x += 2)
            m_normal.pixels[size_t(y) * size_t(width) + size_t(x)] = 0;
    paintTexts(m_normal);
    m_highlighted.allocate(width, height);
    std::fill(m_highlighted.pixels.begin(), m_highlighted.pixels.end(), kHighlightColour);
    paintTexts(m_highlighted);
    setPageCount(1);
    *page(0) = m_normal;
    int32_t pressX = 0;
    int32_t pressY = 0;
    contextMenuPressPoint(pressX, pressY);
    const GumpScreen& screen = gumpScreen();
    setLocation(placeAlong(pressX, width, screen.width), placeAlong(pressY, height, screen.height));
    if (m_more)
        gumpLink(m_more, this);
}

ContextMenuGump::~ContextMenuGump()
{
    if (openPopup().get() == this)
        openPopup() = GumpHandle();
}

void ContextMenuGump::paintTexts(GumpPage& image)
{
    const TextSurface surface = image.surface();
    for (size_t row = 0; row < m_shown.size(); ++row) {
        const ContextMenuEntry& entry = m_shown[row];
        uint16_t colour = kTextColour;
        if (entry.flags & kDisabledFlag)
            colour = kDisabledColour;
        else if (entry.flags & kColouredFlag)
            colour = entry.hue;
        const std::u16string text = clilocText(int32_t(entry.textId));
        drawUnicodeTextLine(
            surface, text.c_str(), kMargin, kMargin + int32_t(row) * m_lineHeight, colour, wholeSurface(surface));
    }
}

void ContextMenuGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawPage(canvas);
    drawChildren(canvas);
}

bool ContextMenuGump::containsPoint(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < width() && y < height(); }

void ContextMenuGump::showRow(int32_t row)
{
    if (row == m_hovered)
        return;
    m_hovered = row;
    GumpPage& shown = *page(0);
    shown = m_normal;
    if (row < 0)
        return;
    const int32_t top = kMargin + row * m_lineHeight;
    for (int32_t y = top; y < top + m_lineHeight && y < shown.height; ++y)
        for (int32_t x = kMargin; x < kMargin + m_widest && x < shown.width; ++x)
            shown.pixels[size_t(y) * size_t(shown.width) + size_t(x)]
                = m_highlighted.pixels[size_t(y) * size_t(shown.width) + size_t(x)];
}

void ContextMenuGump::onMouseOver(int32_t x, int32_t y)
{
    PlayerMobile* self = player();
    if (self && findObjectBySerial(m_ownerSerial) && self->highlightedSerial != m_ownerSerial) {
        self->highlightedSerial = m_ownerSerial;
        redrawObject(m_ownerSerial);
    }
    const bool inText = y >= kMargin && y < kMargin + m_textHeight && x >= kMargin && x < kMargin + m_widest;
    showRow(inText && m_lineHeight > 0 ? (y - kMargin) / m_lineHeight : -1);
}

void ContextMenuGump::onMouseLeave()
{
    redrawObject(m_ownerSerial);
    showRow(-1);
}

void ContextMenuGump::onLeftUp(int32_t x, int32_t y)
{
    const bool inText = y >= kMargin && y < kMargin + m_textHeight && x >= kMargin && x < kMargin + m_widest;
    if (inText && m_lineHeight > 0) {
        const size_t row = size_t((y - kMargin) / m_lineHeight);
        if (row < m_tags.size() && findObjectBySerial(m_ownerSerial)) {
            PacketStorage<16> packet;
            if (buildContextMenuChoicePacket(packet, m_ownerSerial, m_tags[row]))
                sendPacket(packet);
        }
    }
    closeContextMenu();
}

void ContextMenuGump::onRightUp(int32_t, int32_t) { closeContextMenu(); }

void ContextMenuGump::tick()
{
    if (!m_fullFormAsked)
        return;
    const uint32_t owner = m_ownerSerial;
    const int32_t atX = x();
    const int32_t atY = y();
    closeContextMenu();
    auto* full = new ContextMenuGump(owner, Form::Full);
    full->setLocation(atX, atY);
    gumpLink(full, nullptr);
    openPopup() = GumpHandle(full);
}

const std::vector<ContextMenuEntry>& contextMenuEntries() { return storedEntries(); }

void showContextMenu(uint32_t serial, const std::vector<ContextMenuEntry>& entries)
{
    if (serial != contextMenuRequestedSerial() || !findObjectBySerial(serial))
        return;
    closeContextMenu();
    storedEntries() = entries;
    auto* popup = new ContextMenuGump(serial, ContextMenuGump::Form::Compact);
    gumpLink(popup, nullptr);
    openPopup() = GumpHandle(popup);
}

ContextMenuGump* contextMenuGump() { return static_cast<ContextMenuGump*>(openPopup().get()); }

bool isContextMenuOpen() { return contextMenuGump() != nullptr; }

void closeContextMenu()
{
    ContextMenuGump* popup = contextMenuGump();
    openPopup() = GumpHandle();
    if (!popup)
        return;
    const uint32_t owner = popup->ownerSerial();
    PlayerMobile* self = player();
    if (self && self->highlightedSerial == owner)
        self->highlightedSerial = 0;
    redrawObject(owner);
    closeGump(popup);
}

bool contextMenuContains(int32_t x, int32_t y)
{
    ContextMenuGump* popup = contextMenuGump();
    if (!popup)
        return false;
    popup->screenToLocal(x, y);
    return popup->containsPoint(x, y);
}

void closeContextMenuUnlessOn(int32_t x, int32_t y)
{
    if (isContextMenuOpen() && !contextMenuContains(x, y))
        closeContextMenu();
}
