#include "windows/escalate_gump.h"

#include "core/wide_text.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/thumb.h"
#include "net/game_connection.h"
#include "net/packet_table.h"
#include "platform/clock.h"
#include "protocol/session_packets.h"
#include "text/unicode_font.h"
#include "windows/gm_page_queue.h"
#include "windows/window_services.h"

#include <algorithm>

namespace {

constexpr int32_t kEscalateBackArt = 2080;
constexpr int32_t kEscalateIconArt = 2516;
constexpr int32_t kEscalateThumbArt = 31;
constexpr int32_t kEscalateGripArt = 2094;
constexpr int32_t kEscalateMinHeight = 220;
constexpr uint16_t kEscalateInk = 0x0860;
constexpr uint8_t kEscalateCommand = 0xEF;
constexpr char16_t kEscalatePrompt[] = u"Enter call escalation text to be passed to the GQ menu.";

void escalateGripPressed(CGump* window)
{
    service<ResizeFrames>().openResizeFrame(
        window, window->width(), kEscalateMinHeight, window->width(), gumpScreen().height);
}

Button* escalateButton(CGump* window, int32_t x, int32_t y, int32_t up, int32_t id)
{
    auto* made = new Button(x, y, ButtonBehaviour::ClickOnRelease, 0, forwardButtonToOwner, up, up + 1, false);
    made->setHoverArt(up + 2);
    made->setId(id);
    made->setPassId(true);
    gumpLink(made, window);
    return made;
}

} // namespace

EscalateGump::EscalateGump(int32_t resolution)
    : CGump(170, 90, nullptr, 2, std::max(gumpArtSize(kEscalateBackArt).width, 1), kHeight)
    , m_resolution(resolution)
{
    setTypeName("escalate gump");
    addKind(GumpKind::Escalate);
    const GumpArtSize icon = gumpArtSize(kEscalateIconArt);
    setMinimisedSize(icon.width, icon.height);
    const int32_t gripHeight = gumpArtSize(kEscalateGripArt).height;
    auto* thumb = new Thumb(256, 72, true, kHeight - gripHeight - 56, kEscalateThumbArt);
    gumpLink(thumb, this);
    m_thumb = GumpHandle(thumb);
    m_escalate = GumpHandle(escalateButton(this, 65, 240, 2074, kEscalate));
    m_cancel = GumpHandle(escalateButton(this, 190, 240, 2071, kCancel));
    auto* grip = new Button(137, kHeight - gripHeight - 3, ButtonBehaviour::ClickOnRelease, 0, escalateGripPressed,
        kEscalateGripArt, kEscalateGripArt + 1, false);
    gumpLink(grip, this);
    m_grip = GumpHandle(grip);
    paint();
    gumpLink(this, nullptr);
}

EscalateGump::~EscalateGump() { deleteChildren(); }

CGump* EscalateGump::button(int32_t id) const
{
    return id == kEscalate ? m_escalate.get() : id == kCancel ? m_cancel.get() : nullptr;
}

void EscalateGump::paint()
{
    GumpPage& face = *page(0);
    face.allocate(width(), height());
    // The background strip: the art's top, then its rows repeated to the bottom.
    const GumpArtSize back = gumpArtSize(kEscalateBackArt);
    for (int32_t y = 0; back.height > 0 && y < height(); y += back.height)
        drawGumpArt(copySpanTransparent, kEscalateBackArt, face.target(), 0, y);
    const int32_t w = width();
    const int32_t h = height();
    int32_t promptWidth = 0, promptHeight = 0, zero = 0;
    measureUnicodeTextWrapped(kEscalatePrompt, w - 160, promptWidth, promptHeight, zero);
    drawUnicodeTextWrapped(face.surface(), w - 160, kEscalatePrompt, 90, 61 - m_scroll, kEscalateInk,
        { 90, 60, w - 70, h - 70 }, false);
    const int32_t divider = promptHeight + 35 - m_scroll;
    std::u16string shown = m_text;
    if (m_editing) {
        const size_t at = size_t(std::clamp(m_caret, 0, int32_t(m_text.size())));
        shown = m_text.substr(0, at);
        shown.push_back(u'_');
        shown.append(m_text, at);
    }
    int32_t textWidth = 0, textHeight = 0;
    measureUnicodeTextWrapped(shown.c_str(), (w - 50) - 40, textWidth, textHeight, zero);
    const int32_t textTop = divider + 50;
    drawUnicodeTextWrapped(face.surface(), (w - 50) - 40, shown.c_str(), 40, textTop, kEscalateInk,
        { 40, 60, w - 50, h - 70 }, false);
    m_total = std::max(textTop + textHeight + m_scroll - h + 100, 0);
    if (m_typed && m_caret == int32_t(m_text.size()) && textTop + textHeight > h - 70) {
        // The caret's line went below the text area: follow it.
        m_typed = false;
        m_scroll += textTop + textHeight - (h - 70);
        if (Thumb* thumb = static_cast<Thumb*>(m_thumb.get()))
            thumb->setPosition(thumb->range(), thumb->range());
        paint();
        return;
    }
    m_typed = false;
    if (m_scroll > m_total) {
        m_scroll = m_total;
        paint();
        return;
    }
    markLookChanged();
}

void EscalateGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawPage(canvas);
    drawChildren(canvas);
}

bool EscalateGump::containsPoint(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < width() && y < height(); }

void EscalateGump::onLeftDown(int32_t x, int32_t y)
{
    setDragAnchor(x, y);
    m_dragging = true;
    bringToFront(true);
    const uint32_t now = platform::clock().tickMs();
    if (m_clickState == 2)
        m_clickState = 0;
    else if (m_clickState == 1 && int32_t(m_clickDeadline - now) >= 0)
        m_clickState = 2;
    else {
        m_clickState = 1;
        m_clickDeadline = now + kDoubleClickMs;
    }
}

void EscalateGump::startEditing()
{
    m_editing = true;
    gumpSetFocus(this);
    if (Thumb* thumb = static_cast<Thumb*>(m_thumb.get()))
        thumb->setPosition(thumb->range(), thumb->range());
    m_caret = int32_t(m_text.size());
    m_scroll = m_savedScroll;
    paint();
}

void EscalateGump::onLeftUp(int32_t, int32_t)
{
    m_dragging = false;
    if (m_clickState == 1) {
        m_clickState = 0;
        if (!m_editing)
            startEditing();
    }
    service<GumpPointer>().setPointerCapture(nullptr);
}

void EscalateGump::onRightUp(int32_t, int32_t) { service<GumpPointer>().setPointerCapture(nullptr); }

void EscalateGump::onDrag(int32_t x, int32_t y)
{
    if (m_dragging)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void EscalateGump::onSlider(int32_t position, int32_t range, CGump*)
{
    // A track of no length scrolls nowhere.
    const int32_t offset = range > 0 ? int32_t(int64_t(position) * m_total / range) : 0;
    if (offset == m_scroll)
        return;
    m_scroll = offset;
    m_savedScroll = offset;
    paint();
}

void EscalateGump::resize(int32_t, int32_t height, bool)
{
    height = std::max(height, kEscalateMinHeight);
    const int32_t grow = height - this->height();
    for (GumpHandle* child : { &m_escalate, &m_cancel, &m_grip }) {
        if (CGump* moved = child->get())
            moved->setLocation(moved->x(), moved->y() + grow);
    }
    setSize(width(), height);
    if (Thumb* thumb = static_cast<Thumb*>(m_thumb.get())) {
        thumb->setRange(thumb->minX(), thumb->maxX(), thumb->minY(), thumb->maxY() + grow);
        thumb->setPosition(thumb->range(), thumb->range());
    }
    paint();
}

void EscalateGump::onKey(uint32_t code)
{
    const int32_t length = int32_t(m_text.size());
    switch (code) {
    case 8:
        if (m_caret > 0) {
            --m_caret;
            m_text.erase(size_t(m_caret), 1);
        }
        break;
    case 9:
        return;
    case 27:
        gumpReleaseFocus();
        return;
    case GumpKey::kEnd:
    case GumpKey::kDown:
        m_caret = length;
        if (Thumb* thumb = static_cast<Thumb*>(m_thumb.get()))
            thumb->setPosition(thumb->range(), thumb->range());
        m_scroll = m_savedScroll;
        break;
    case GumpKey::kHome:
    case GumpKey::kUp:
        m_caret = 0;
        if (Thumb* thumb = static_cast<Thumb*>(m_thumb.get()))
            thumb->setPosition(0, thumb->range());
        m_scroll = 0;
        break;
    case GumpKey::kLeft:
        m_caret = std::max(m_caret - 1, 0);
        break;
    case GumpKey::kRight:
        m_caret = std::min(m_caret + 1, length);
        break;
    case GumpKey::kDelete:
        if (m_caret < length)
            m_text.erase(size_t(m_caret), 1);
        break;
    default:
        if (code >= GumpKey::kKeyBase || (code != 13 && !hasUnicodeGlyph(char16_t(code))))
            return;
        if (m_text.size() >= kMaxEscalationText)
            return;
        m_text.insert(size_t(m_caret), 1, char16_t(code));
        ++m_caret;
        m_typed = true;
        break;
    }
    paint();
}

void EscalateGump::onFocusLost()
{
    m_editing = false;
    m_clickState = 2;
    paint();
}

void EscalateGump::escalate()
{
    const std::string code = std::to_string(m_resolution);
    const GmCallRecord& call = currentGmCall();
    PacketStorage<2048> packet;
    bool built = false;
    if (call.isEscalated()) {
        built = buildGmQueueCommandPacket(packet, call.idText.c_str(), "ESCALATE", bytesToWideString(code), m_text);
    } else {
        packetBegin(packet, 0x12);
        packetPutByte(packet, kEscalateCommand);
        packetPutBytes(packet, code.c_str(), code.size() + 1);
        packetPutShort(packet, uint16_t(2 * m_text.size()));
        packetPutWideString(packet, m_text.c_str(), m_text.size());
        built = !packet.failed();
    }
    if (built)
        sendPacket(packet);
    forgetGmCallView();
    closeGump(this);
}

void EscalateGump::onCommand(int32_t id)
{
    if (id == kCancel)
        closeGump(this);
    else if (id == kEscalate)
        escalate();
}

EscalateGump* openEscalateGump(int32_t resolution) { return new EscalateGump(resolution); }
