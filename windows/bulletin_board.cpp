#include "windows/bulletin_board.h"

#include "core/wide_text.h"
#include "gfx/gump_art.h"
#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/thumb.h"
#include "net/client_packets.h"
#include "platform/clock.h"
#include "protocol/login_state.h"
#include "text/unicode_font.h"
#include "windows/bulletin_message.h"
#include "windows/window_packets.h"
#include "world/container_item.h"
#include "world/object_manager.h"

#include <algorithm>
#include <array>

namespace {

constexpr int32_t kBoardNameCentreX = 240;
constexpr int32_t kBoardNameY = 47;
constexpr uint8_t kRequestMessage = 3;

bool sendBoardRequest(uint8_t action, uint32_t board, uint32_t message)
{
    std::array<uint8_t, 16> storage {};
    PacketBuffer packet(storage.data(), storage.size());
    return buildBulletinBoardRequestPacket(packet, action, board, message) && sendWindowPacket(packet);
}

} // namespace

BoardRequest& boardRequest()
{
    static BoardRequest request;
    return request;
}

BBLineGump::BBLineGump(CGump& board, int32_t x, int32_t y, int32_t width, uint32_t message, uint32_t parentMessage,
    std::u16string_view poster, std::u16string_view subject, std::u16string_view time)
    : CGump(x, y, nullptr, 1, width, kBoardLineHeight)
    , m_message(message)
    , m_parentMessage(parentMessage)
{
    setTypeName("bbline gump");
    addKind(GumpKind::BulletinLine);
    setOwnerSerial(message);
    GumpPage* face = page(0);
    face->allocate(width, kBoardLineHeight);
    gumpLink(this, &board);
    if (!face->isAllocated())
        return;
    drawGumpArt(copySpan, kMessageArt, face->target(), 18, 0);
    int32_t artWidth = 0;
    int32_t artHeight = 0;
    if (!getGumpArtSize(kMessageArt, artWidth, artHeight))
        return;
    std::u16string text(poster);
    text += u" - ";
    text += subject;
    text += u" [";
    text += time;
    text += u"]";
    ScopedUnicodeFont font(kBoardFont);
    int32_t textWidth = 0;
    int32_t textHeight = 0;
    int32_t offset = 0;
    measureUnicodeText(u"Aq", textWidth, textHeight, offset);
    const TextSurface surface = face->surface();
    drawUnicodeTextEllipsis(surface, text.c_str(), artWidth + 24, (kBoardLineHeight - textHeight) / 2 + offset,
        kBoardTextColour, wholeSurface(surface));
}

BulletinBoardGump* BBLineGump::board() const
{
    CGump* owner = parent();
    return owner && isValidGump(owner) && owner->is(GumpKind::BulletinBoard) ? static_cast<BulletinBoardGump*>(owner)
                                                                              : nullptr;
}

void BBLineGump::drawIcon()
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    int32_t boxWidth = 0;
    int32_t boxHeight = 0;
    getGumpArtSize(kIconBoxArt, boxWidth, boxHeight);
    for (int32_t row = 0; row < std::min(boxHeight, face->height); ++row)
        std::fill_n(face->pixels.begin() + row * face->width, std::min(boxWidth, face->width), uint16_t(0));
    if (m_expandState >= 0)
        drawGumpArt(copySpan, m_expandState == 0 ? kCollapsedArt : kExpandedArt, face->target(), 0, 0);
}

void BBLineGump::setExpandState(int32_t state)
{
    m_expandState = state;
    drawIcon();
}

void BBLineGump::toggle(int32_t x, int32_t y)
{
    int32_t boxWidth = 0;
    int32_t boxHeight = 0;
    getGumpArtSize(kIconBoxArt, boxWidth, boxHeight);
    if (m_expandState < 0 || x < 0 || y < 0 || x >= boxWidth || y >= boxHeight)
        return;
    m_expandState = m_expandState == 0 ? 1 : 0;
    if (BulletinBoardGump* owner = board())
        owner->threadToggled(*this);
    drawIcon();
}

bool BBLineGump::containsPoint(int32_t x, int32_t y)
{
    return isVisible() && x >= 0 && y >= 0 && x < width() && y < height();
}

void BBLineGump::onLeftDown(int32_t x, int32_t y)
{
    if (BulletinBoardGump* owner = board())
        owner->bringToFront(false);
    setDragAnchor(x, y);
    m_leftDown = true;
    if (m_clickState == 1) {
        m_clickState = 2;
    } else {
        m_clickState = 1;
        m_pressTime = platform::clock().tickMs();
    }
}

void BBLineGump::onDrag(int32_t x, int32_t y)
{
    if (!m_leftDown)
        return;
    if (BulletinBoardGump* owner = board())
        owner->moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void BBLineGump::onHoverTick()
{
    if (m_clickState != 1 || platform::clock().tickMs() - m_pressTime <= kDoubleClickMs)
        return;
    m_clickState = 0;
    if (m_leftDown)
        m_held = true;
    else
        toggle(dragAnchorX(), dragAnchorY());
}

void BBLineGump::onLeftUp(int32_t x, int32_t y)
{
    m_leftDown = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
    if (m_held) {
        m_held = false;
        m_clickState = 0;
        return;
    }
    if (m_clickState == 2) {
        m_clickState = 0;
        BoardRequest& request = boardRequest();
        BulletinBoardGump* owner = board();
        if (request.pending || !owner)
            return;
        request.pending = true;
        request.parent = m_parentMessage;
        sendBoardRequest(kRequestMessage, owner->boardSerial(), m_message);
        return;
    }
    if (x < kIconClickWidth) {
        m_clickState = 0;
        toggle(x, y);
    }
}

void BBLineGump::onRightUp(int32_t x, int32_t y)
{
    BulletinBoardGump* owner = board();
    if (!owner)
        return;
    localToScreen(x, y);
    owner->screenToLocal(x, y);
    owner->onRightUp(x, y);
}

BulletinBoardGump::BulletinBoardGump(uint32_t board, std::u16string_view name)
    : CGump(0, 0, nullptr, 1, 0, 0)
{
    setTypeName("bulletinboard gump");
    addKind(GumpKind::BulletinBoard);
    setOwnerSerial(board);
    int32_t artWidth = 0;
    int32_t artHeight = 0;
    getGumpArtSize(kArt, artWidth, artHeight);
    setSize(artWidth, artHeight);
    const GumpScreen& screen = gumpScreen();
    setLocation((screen.width - artWidth) / 2, (screen.height - artHeight) / 2);
    GumpPage* face = page(0);
    face->allocate(artWidth, artHeight);
    if (face->isAllocated()) {
        drawGumpArt(copySpan, kArt, face->target(), 0, 0);
        const std::u16string shown(name);
        ScopedUnicodeFont font(kBoardFont);
        int32_t nameWidth = 0;
        int32_t nameHeight = 0;
        int32_t offset = 0;
        measureUnicodeText(shown.c_str(), nameWidth, nameHeight, offset);
        const TextSurface surface = face->surface();
        drawUnicodeTextLine(surface, shown.c_str(), kBoardNameCentreX - nameWidth / 2,
            offset - nameHeight / 2 + kBoardNameY, kBoardTextColour, wholeSurface(surface));
    }
    auto* thumb = new Thumb(356, 162, true, 316, kThumbArt);
    gumpLink(thumb, this);
    thumb->setPosition(0, 1);
    m_thumb = GumpHandle(thumb);
    gumpLink(Button::hotSpot(21, 171, 92, 250, ButtonBehaviour::ClickOnRelease, 0,
                 [](CGump* parent) { static_cast<BulletinBoardGump*>(parent)->composeMessage(0, u""); }, false),
        this);
    gumpLink(Button::hotSpot(356, 144, 374, 156, ButtonBehaviour::RepeatOnPress, 0,
                 onParent<&BulletinBoardGump::scrollUp>, false),
        this);
    gumpLink(Button::hotSpot(356, 320, 374, 334, ButtonBehaviour::RepeatOnPress, 0,
                 onParent<&BulletinBoardGump::scrollDown>, false),
        this);
}

BulletinBoardGump::~BulletinBoardGump()
{
    m_closing = true;
    // The messages are asked for again when the board opens again.
    Item* board = m_boardGoing ? nullptr : findItemBySerial(boardSerial());
    if (board && board->isContainer())
        emptyContainer(static_cast<ContainerItem&>(*board));
}

Thumb* BulletinBoardGump::thumb() const { return static_cast<Thumb*>(m_thumb.get()); }

void BulletinBoardGump::pruneLines()
{
    std::erase_if(m_lines, [](const GumpHandle& line) { return !line; });
}

std::vector<BBLineGump*> BulletinBoardGump::lines() const
{
    std::vector<BBLineGump*> result;
    for (const GumpHandle& handle : m_lines) {
        if (CGump* line = handle.get())
            result.push_back(static_cast<BBLineGump*>(line));
    }
    return result;
}

BBLineGump* BulletinBoardGump::lineFor(uint32_t message) const
{
    for (BBLineGump* line : lines()) {
        if (line->message() == message)
            return line;
    }
    return nullptr;
}

BBLineGump* BulletinBoardGump::topLine() const { return static_cast<BBLineGump*>(m_topLine.get()); }

bool BulletinBoardGump::isShown(const BBLineGump& line) const
{
    if (line.parentMessage() == 0)
        return true;
    const BBLineGump* parentLine = lineFor(line.parentMessage());
    return parentLine && parentLine->expandState() == 1;
}

void BulletinBoardGump::applyBandRule(BBLineGump& line) const
{
    line.setVisible(isShown(line) && line.y() >= kListTop && line.y() + kBoardLineHeight <= kListBottom);
}

void BulletinBoardGump::moveLine(BBLineGump& line, int32_t dy) const
{
    line.setLocation(line.x(), line.y() + dy);
    applyBandRule(line);
}

std::vector<BBLineGump*> BulletinBoardGump::shownLines() const
{
    std::vector<BBLineGump*> shown;
    for (BBLineGump* line : lines()) {
        if (isShown(*line))
            shown.push_back(line);
    }
    return shown;
}

int32_t BulletinBoardGump::shownIndex(const BBLineGump* line) const
{
    const std::vector<BBLineGump*> shown = shownLines();
    auto found = std::find(shown.begin(), shown.end(), line);
    return found == shown.end() ? 0 : int32_t(found - shown.begin());
}

void BulletinBoardGump::placeThumb(int32_t position, int32_t range)
{
    if (Thumb* knob = thumb())
        knob->setPosition(position, range);
}

void BulletinBoardGump::addPosting(uint32_t message, uint32_t parent, std::u16string_view poster,
    std::u16string_view subject, std::u16string_view time)
{
    pruneLines();
    std::vector<BBLineGump*> all = lines();
    const int32_t width = kListRight - kListLeft + 1;
    BBLineGump* added = nullptr;
    BBLineGump* parentLine = parent ? lineFor(parent) : nullptr;
    if (!parentLine) {
        // A top-level posting, or a reply whose thread has no line yet: at
        // the end, after the last line that takes a place (a reply hidden in
        // a collapsed thread takes none).
        auto lastShown = std::find_if(all.rbegin(), all.rend(), [this](BBLineGump* line) { return isShown(*line); });
        const int32_t y = lastShown == all.rend() ? kListTop : (*lastShown)->y() + kBoardLineHeight;
        if (parent)
            added = new BBLineGump(*this, kListLeft + kReplyIndent, y, width - kReplyIndent, message, parent,
                poster, subject, time);
        else
            added = new BBLineGump(*this, kListLeft, y, width, message, 0, poster, subject, time);
        m_lines.emplace_back(added);
    } else {
        if (parentLine->expandState() < 0)
            parentLine->setExpandState(0);
        const bool expanded = parentLine->expandState() == 1;
        auto at = std::find(all.begin(), all.end(), parentLine) + 1;
        while (at != all.end() && (*at)->parentMessage() != 0)
            ++at;
        const size_t insertAt = size_t(at - all.begin());
        const int32_t y = all[insertAt - 1]->y() + kBoardLineHeight;
        added = new BBLineGump(
            *this, kListLeft + kReplyIndent, y, width - kReplyIndent, message, parent, poster, subject, time);
        if (expanded) {
            for (size_t i = insertAt; i < all.size(); ++i)
                moveLine(*all[i], kBoardLineHeight);
        }
        m_lines.insert(m_lines.begin() + std::ptrdiff_t(insertAt), GumpHandle(added));
    }
    if (!topLine())
        m_topLine = GumpHandle(added);
    applyBandRule(*added);
}

void BulletinBoardGump::threadToggled(BBLineGump& line)
{
    const bool expanded = line.expandState() == 1;
    std::vector<BBLineGump*> all = lines();
    auto at = std::find(all.begin(), all.end(), &line);
    if (at == all.end())
        return;
    int32_t replies = 0;
    for (++at; at != all.end() && (*at)->parentMessage() != 0; ++at) {
        applyBandRule(**at);
        ++replies;
    }
    for (; at != all.end(); ++at)
        moveLine(**at, (expanded ? 1 : -1) * replies * kBoardLineHeight);
    const int32_t shown = int32_t(shownLines().size());
    placeThumb(shownIndex(topLine()), std::max(shown, 2) - 1);
}

void BulletinBoardGump::scrollUp()
{
    BBLineGump* top = topLine();
    const std::vector<BBLineGump*> shown = shownLines();
    auto at = std::find(shown.begin(), shown.end(), top);
    if (!top || at == shown.end() || at == shown.begin())
        return;
    m_topLine = GumpHandle(*(at - 1));
    for (BBLineGump* line : lines())
        moveLine(*line, kBoardLineHeight);
    placeThumb(int32_t(at - shown.begin()) - 1, int32_t(shown.size()) - 1);
}

void BulletinBoardGump::scrollDown()
{
    BBLineGump* top = topLine();
    const std::vector<BBLineGump*> shown = shownLines();
    auto at = std::find(shown.begin(), shown.end(), top);
    if (!top || at == shown.end() || at + 1 == shown.end())
        return;
    m_topLine = GumpHandle(*(at + 1));
    for (BBLineGump* line : lines())
        moveLine(*line, -kBoardLineHeight);
    placeThumb(int32_t(at - shown.begin()) + 1, int32_t(shown.size()) - 1);
}

void BulletinBoardGump::onSlider(int32_t position, int32_t range, CGump*)
{
    const std::vector<BBLineGump*> shown = shownLines();
    if (!topLine() || shown.empty() || range <= 0)
        return;
    const int32_t count = int32_t(shown.size());
    // The thumb at the end of its track shows the last line at the top
    // rather than pushing every line out of the band.
    const int32_t k = std::clamp(int32_t(int64_t(position) * count / range), 0, count - 1);
    m_topLine = GumpHandle(shown[size_t(k)]);
    const int32_t firstY = shown.front()->y();
    for (BBLineGump* line : lines()) {
        line->setLocation(line->x(), kListTop + line->y() - firstY - k * kBoardLineHeight);
        applyBandRule(*line);
    }
}

void BulletinBoardGump::onLineRemoved(BBLineGump* line)
{
    if (m_closing || !line)
        return;
    pruneLines();
    std::vector<BBLineGump*> all = lines();
    auto at = std::find(all.begin(), all.end(), line);
    if (at == all.end())
        return;
    const bool tookPlace = isShown(*line);
    if (line->parentMessage() != 0) {
        const bool lastReply = std::none_of(all.begin(), all.end(), [line](BBLineGump* other) {
            return other != line && other->parentMessage() == line->parentMessage();
        });
        if (BBLineGump* parentLine = lineFor(line->parentMessage()); parentLine && lastReply)
            parentLine->setExpandState(-1);
    }
    // A reply hidden in a collapsed thread took no place in the list, so
    // nothing below it moves.
    if (tookPlace) {
        for (auto later = at + 1; later != all.end(); ++later)
            moveLine(**later, -kBoardLineHeight);
    }
    if (line == topLine()) {
        const std::vector<BBLineGump*> shown = shownLines();
        auto shownAt = std::find(shown.begin(), shown.end(), line);
        if (shownAt != shown.end() && shownAt + 1 != shown.end()) {
            m_topLine = GumpHandle(*(shownAt + 1));
        } else if (shownAt != shown.end() && shownAt != shown.begin()) {
            m_topLine = GumpHandle(line);
            scrollUp();
        } else {
            m_topLine = GumpHandle();
        }
    }
    m_lines.erase(m_lines.begin() + (at - all.begin()));
    closeGump(line);
}

void BulletinBoardGump::composeMessage(uint32_t replyTo, std::u16string_view subject)
{
    const std::string& name = loginSession().playerName;
    char16_t author[BBMessageGump::kAuthorUnits] {};
    utf8ToWide(author, name.c_str(), BBMessageGump::kAuthorUnits);
    new BBMessageGump(boardSerial(), replyTo, author, subject, u"-/-", true);
}

bool BulletinBoardGump::containsPoint(int32_t x, int32_t y)
{
    GumpPage* face = page(0);
    return face && face->isAllocated() && x >= 0 && y >= 0 && x < face->width && y < face->height
        && face->pixel(x, y) != 0;
}

void BulletinBoardGump::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    m_leftDown = true;
    setDragAnchor(x, y);
}

void BulletinBoardGump::onDrag(int32_t x, int32_t y)
{
    if (m_leftDown)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void BulletinBoardGump::onLeftUp(int32_t, int32_t)
{
    m_leftDown = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void BulletinBoardGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

BulletinBoardGump* findBulletinBoard(uint32_t board)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::BulletinBoard) && gump->ownerSerial() == board)
            return static_cast<BulletinBoardGump*>(gump);
    }
    return nullptr;
}

BulletinBoardGump* findBoardOfMessage(uint32_t message, BBLineGump*& line)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (!gump->is(GumpKind::BulletinBoard))
            continue;
        auto* board = static_cast<BulletinBoardGump*>(gump);
        if (BBLineGump* found = board->lineFor(message)) {
            line = found;
            return board;
        }
    }
    line = nullptr;
    return nullptr;
}
