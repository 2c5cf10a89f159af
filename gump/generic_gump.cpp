// The server-described gump as a window: its page, pointer and key input,
// tooltips, the reply packet and the server's close command.
#include "gump/generic_gump.h"

#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "net/game_connection.h"
#include "net/packet_table.h"

#include <algorithm>
#include <functional>

namespace {

// What one layout pass may draw, in pixels (a character counts as several):
// dozens of full screens, far above any real gump, but a bound on what a
// hostile layout can make each click cost.
constexpr int64_t kLayoutWorkBudget = 64 * 1024 * 1024;
constexpr size_t kReplyHeaderBytes = 3 + 4 + 4 + 4;

// The last pointer point any generic gump saw, so that a pointer standing
// still does not walk the elements again.
int32_t g_lastHoverX = -1;
int32_t g_lastHoverY = -1;

// The extent of what a layout pass draws: every active element's rectangle.
void growExtent(const GenericGumpElement& element, int64_t& right, int64_t& bottom)
{
    right = std::max(right, int64_t(element.x) + element.width);
    bottom = std::max(bottom, int64_t(element.y) + element.height);
    for (const std::unique_ptr<GenericGumpElement>& child : element.children) {
        if (child->isActiveOn(element.currentPage))
            growExtent(*child, right, bottom);
    }
}

// Switches and entries of a subtree in reply order: children before their
// parent, depth first.
void collectReplyElements(const GenericGumpElement& element, std::vector<const GenericGumpElement*>& switches,
    std::vector<const GenericGumpElement*>& entries)
{
    for (const std::unique_ptr<GenericGumpElement>& child : element.children)
        collectReplyElements(*child, switches, entries);
    if (element.isSwitch() && element.state)
        switches.push_back(&element);
    else if (element.kind == ElementKind::TextEntry)
        entries.push_back(&element);
}

void forEachElement(GenericGumpElement& element, const std::function<void(GenericGumpElement&)>& visit)
{
    visit(element);
    for (size_t i = 0; i < element.children.size(); ++i)
        forEachElement(*element.children[i], visit);
}

} // namespace

GenericGump::GenericGump(int32_t x, int32_t y, std::string_view layoutText, std::vector<std::u16string> lines,
    uint32_t senderSerial, uint32_t typeId)
    // The server's 32-bit position is kept within reach of the screen: the
    // framework adds sizes and offsets to it.
    : CGump(std::clamp(x, -kMaxLayoutCoordinate, kMaxLayoutCoordinate),
        std::clamp(y, -kMaxLayoutCoordinate, kMaxLayoutCoordinate), nullptr, 1, 1, 1)
    , m_senderSerial(senderSerial)
    , m_typeId(typeId)
    , m_lines(std::move(lines))
{
    setTypeName("generic gump");
    addKind(GumpKind::GenericGump);
    parseLayout(layoutText);
    // The text lines were only needed by the commands.
    m_lines = {};
    MasterPosition stored = masterGumpPosition(typeId);
    if (stored.x != -1)
        setLocation(stored.x, stored.y);
    layout();
}

GenericGump::~GenericGump()
{
    m_pressed = nullptr;
    m_focusedEntry = nullptr;
    m_lastElement = nullptr;
    // HTML areas close their views while the gump still holds them.
    m_elements.clear();
}

void GenericGump::layout()
{
    int64_t right = 1;
    int64_t bottom = 1;
    for (const std::unique_ptr<GenericGumpElement>& element : m_elements) {
        if (element->isActiveOn(m_shownPage))
            growExtent(*element, right, bottom);
    }
    // The page is made once at its final size; growPage then keeps it.
    GumpPage& own = *page(0);
    own.release();
    own.allocate(int32_t(std::clamp<int64_t>(right, 1, kMaxPageSize)),
        int32_t(std::clamp<int64_t>(bottom, 1, kMaxPageSize)));
    m_workLeft = kLayoutWorkBudget;
    for (size_t i = 0; i < m_elements.size(); ++i) {
        GenericGumpElement& element = *m_elements[i];
        if (element.isActiveOn(m_shownPage))
            element.render(*this);
        else
            element.hideViews();
    }
    setSize(own.width, own.height);
}

void GenericGump::growPage(int64_t width, int64_t height)
{
    GumpPage& own = *page(0);
    const int32_t newWidth = int32_t(std::clamp<int64_t>(std::max<int64_t>(width, own.width), 1, kMaxPageSize));
    const int32_t newHeight = int32_t(std::clamp<int64_t>(std::max<int64_t>(height, own.height), 1, kMaxPageSize));
    if (newWidth == own.width && newHeight == own.height && own.isAllocated())
        return;
    GumpPage grown;
    grown.allocate(newWidth, newHeight);
    for (int32_t row = 0; row < own.height && own.isAllocated(); ++row)
        std::copy_n(own.pixels.begin() + ptrdiff_t(row) * own.width, own.width,
            grown.pixels.begin() + ptrdiff_t(row) * newWidth);
    own = std::move(grown);
    setSize(own.width, own.height);
}

bool GenericGump::spendWork(int64_t amount)
{
    if (amount > m_workLeft) {
        m_workLeft = 0;
        return false;
    }
    m_workLeft -= amount;
    return true;
}

template <typename Visit> void GenericGump::forEachHit(int32_t x, int32_t y, Visit visit)
{
    // By index: a press may add the virtue label at the end of the list.
    for (size_t i = 0; i < m_elements.size(); ++i) {
        GenericGumpElement& element = *m_elements[i];
        if (!element.isActiveOn(m_shownPage))
            continue;
        if (GenericGumpElement* hit = element.hitTest(x, y)) {
            if (!visit(*hit))
                return;
        }
    }
}

CGump* GenericGump::findChildAt(int32_t x, int32_t y, CGump* excluded)
{
    int32_t screenX = x;
    int32_t screenY = y;
    localToScreen(screenX, screenY);
    for (CGump* child = firstChild(); child; child = child->next()) {
        if (!isValidGump(child))
            break;
        if (!child->isVisible() || child == excluded)
            continue;
        int32_t localX = screenX;
        int32_t localY = screenY;
        child->screenToLocal(localX, localY);
        if (child->containsPoint(localX, localY))
            return child->findChildAt(localX, localY, nullptr);
    }
    return containsPoint(x, y) ? this : nullptr;
}

bool GenericGump::containsPoint(int32_t x, int32_t y)
{
    bool hit = false;
    forEachHit(x, y, [&hit](GenericGumpElement&) {
        hit = true;
        return false;
    });
    return hit;
}

void GenericGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle alive(this);
    bringToFront(false);
    if (!alive)
        return;
    m_dragging = true;
    setDragAnchor(x, y);
    forEachHit(x, y, [&](GenericGumpElement& element) { return element.onPress(x, y, *this) && alive; });
}

void GenericGump::onLeftUp(int32_t x, int32_t y)
{
    m_dragging = false;
    GumpHandle alive(this);
    // The element under the press point is asked, judged with the release
    // point: a release over another button fires nothing.
    forEachHit(dragAnchorX(), dragAnchorY(),
        [&](GenericGumpElement& element) { return element.onRelease(x, y, *this) && alive; });
    if (alive)
        service<GumpPointer>().setPointerCapture(nullptr);
}

void GenericGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().setPointerCapture(nullptr);
    if (!m_closable)
        return;
    sendReply(0);
    closeGump(this);
}

void GenericGump::onMouseOver(int32_t x, int32_t y)
{
    if (x == g_lastHoverX && y == g_lastHoverY)
        return;
    g_lastHoverX = x;
    g_lastHoverY = y;
    service<GumpPointer>().setCursorKind(0);
    std::vector<GenericGumpElement*> hits;
    forEachHit(x, y, [&hits](GenericGumpElement& element) {
        hits.push_back(&element);
        return true;
    });
    for (GenericGumpElement* hit : hits)
        hit->onHover(x, y, *this);
    // Every element the pointer is not over is told so, children of groups
    // included, so that a label shown by one of them goes away.
    for (size_t i = 0; i < m_elements.size(); ++i) {
        forEachElement(*m_elements[i], [&](GenericGumpElement& element) {
            if (element.hoverX != -1 && std::find(hits.begin(), hits.end(), &element) == hits.end())
                element.onHover(-1, -1, *this);
        });
    }
}

void GenericGump::onDrag(int32_t x, int32_t y)
{
    if (!m_movable || !m_dragging || m_pressed)
        return;
    moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
    masterGumpStorePosition(m_typeId, this->x(), this->y());
}

void GenericGump::onKey(uint32_t code)
{
    if (m_focusedEntry)
        m_focusedEntry->onKey(code, *this);
}

WString GenericGump::getTooltipText(int32_t x, int32_t y)
{
    bool anyHit = false;
    int32_t id = kNoTooltip;
    forEachHit(x, y, [&](GenericGumpElement& element) {
        anyHit = true;
        id = element.tooltipId;
        return id == kNoTooltip;
    });
    if (!anyHit)
        id = tooltipId();
    if (id == kNoTooltip)
        id = artId();
    if (id == kNoTooltip || id == -1)
        return WString();
    const WString* text = gumpTooltipText(id);
    return text ? *text : WString();
}

void GenericGump::onFocusLost()
{
    GenericGumpElement* entry = m_focusedEntry;
    m_focusedEntry = nullptr;
    if (entry && entry->kind == ElementKind::TextEntry) {
        entry->state = 0;
        layout();
    }
}

void GenericGump::replyBeforeCloseAll() { sendReply(0); }

bool GenericGump::closeIfMatches(uint32_t typeId)
{
    if (typeId != m_typeId)
        return false;
    closeGump(this);
    return true;
}

std::vector<uint8_t> GenericGump::replyPacket(uint32_t buttonId) const
{
    if (m_senderSerial == 0)
        return {};
    std::vector<const GenericGumpElement*> switches;
    std::vector<const GenericGumpElement*> entries;
    for (const std::unique_ptr<GenericGumpElement>& element : m_elements)
        collectReplyElements(*element, switches, entries);

    // The length word caps the reply at 65535 bytes. Switches come first;
    // texts that would pass the cap are left out (the counts say so) rather
    // than the whole answer being lost.
    size_t size = kReplyHeaderBytes + 4 + 4;
    size_t switchCount = std::min(switches.size(), (kMaxPacketLength - size) / 4);
    size += switchCount * 4;
    size_t entryCount = 0;
    for (const GenericGumpElement* entry : entries) {
        size_t length = std::min<size_t>(entry->text.size(), kMaxTypedCharacters);
        if (size + 4 + length * 2 > kMaxPacketLength)
            break;
        size += 4 + length * 2;
        ++entryCount;
    }

    std::vector<uint8_t> storage(size);
    PacketBuffer packet(storage.data(), storage.size());
    packetBegin(packet, 0xB1);
    packetPutLong(packet, m_senderSerial);
    packetPutLong(packet, m_typeId);
    packetPutLong(packet, buttonId);
    packetPutLong(packet, uint32_t(switchCount));
    for (size_t i = 0; i < switchCount; ++i)
        packetPutLong(packet, uint32_t(switches[i]->id));
    packetPutLong(packet, uint32_t(entryCount));
    for (size_t i = 0; i < entryCount; ++i) {
        const GenericGumpElement& entry = *entries[i];
        const size_t length = std::min<size_t>(entry.text.size(), kMaxTypedCharacters);
        packetPutShort(packet, uint16_t(entry.id));
        packetPutShort(packet, uint16_t(length));
        for (size_t unit = 0; unit < length; ++unit)
            packetPutShort(packet, uint16_t(entry.text[unit]));
    }
    if (packet.failed())
        return {};
    return std::vector<uint8_t>(storage.begin(), storage.begin() + packet.length());
}

void GenericGump::sendReply(uint32_t buttonId)
{
    if (!currentGameConnection())
        return;
    std::vector<uint8_t> bytes = replyPacket(buttonId);
    if (bytes.empty())
        return;
    // The bytes are a whole packet already; a buffer takes them as one put.
    std::vector<uint8_t> storage(bytes.size());
    PacketBuffer packet(storage.data(), storage.size());
    if (packetBegin(packet, 0xB1) && packetPutBytes(packet, bytes.data() + 3, bytes.size() - 3))
        sendPacket(packet);
}

GenericGump* openGenericGump(int32_t x, int32_t y, std::string_view layoutText, std::vector<std::u16string> lines,
    uint32_t senderSerial, uint32_t typeId)
{
    auto* gump = new GenericGump(x, y, layoutText, std::move(lines), senderSerial, typeId);
    gumpLink(gump, nullptr);
    return gump;
}
