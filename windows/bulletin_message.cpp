#include "windows/bulletin_message.h"

#include "gfx/gump_art.h"
#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/thumb.h"
#include "gump/unicode_input_control.h"
#include "net/client_packets.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"
#include "windows/bulletin_board.h"
#include "windows/window_packets.h"
#include "windows/window_services.h"
#include "world/item.h"
#include "world/object_manager.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int32_t kComposeArt = 2179;
constexpr int32_t kBulletinFrameArt = 2091;
constexpr int32_t kDividerArt = 2101;
constexpr int32_t kMessageThumbArt = 2088;
constexpr int32_t kGripHoverArt = 2095;
constexpr int32_t kMessageUpArt = 2084;
constexpr int32_t kMessageDownArt = 2085;
constexpr int32_t kPostArt = 2182;
constexpr int32_t kReplyArt = 2180;
constexpr int32_t kBulletinLabelFont = 9;
constexpr int32_t kSubjectMaxChars = 60;
constexpr int32_t kSubjectHue = 8;
constexpr int32_t kDividerY = 110;
constexpr uint8_t kPostAction = 5;
// The body's caret: an underscore a few pixels below the line's top.
constexpr int32_t kMessageCaretDrop = 3;

int32_t gripHeight()
{
    int32_t width = 0;
    int32_t height = 0;
    getGumpArtSize(BBMessageGump::kGripArt, width, height);
    return height;
}

int32_t unicodeWidth(std::u16string_view text)
{
    const std::u16string copy(text);
    return measureUnicodeString(copy.c_str());
}

std::u16string clipped(std::u16string_view text, int32_t units)
{
    // Room for the terminator the fields were made with.
    return std::u16string(text.substr(0, size_t(std::max(units - 1, 0))));
}

} // namespace

BBMessageGump::BBMessageGump(uint32_t owner, uint32_t replyTo, std::u16string_view author,
    std::u16string_view subject, std::u16string_view time, bool compose)
    : CGump(0, 0, nullptr, 2, 0, kHeight)
    , m_compose(compose)
    , m_replyTo(replyTo)
    , m_author(clipped(author, kAuthorUnits))
    , m_subject(clipped(subject, kSubjectUnits))
    , m_time(clipped(time, kTimeUnits))
{
    setTypeName("bbmsg gump");
    addKind(GumpKind::BulletinMessage);
    setOwnerSerial(owner);
    int32_t artWidth = 0;
    int32_t artHeight = 0;
    getGumpArtSize(kBackgroundArt, artWidth, artHeight);
    setSize(artWidth, kHeight);
    setMinimisedSize(artWidth, kHeight);
    int32_t unusedWidth = 0;
    measureAsciiText(kBulletinLabelFont, "Aq", unusedWidth, m_lineStep, m_baseline);
    m_lineStep = std::max(m_lineStep, 1);
    gumpLink(this, nullptr);
    const int32_t grip = gripHeight();
    m_textBottom = height() - grip - 50;
    drawBackground();
    if (m_compose) {
        ScopedUnicodeFont font(kBoardFont);
        const int32_t labelWidth = unicodeWidth(u"Subject:");
        auto* entry = new UnicodeInputControl(kLeft + labelWidth + 4, m_baseline + 74,
            EntrySize { kRight - kLeft - labelWidth - 4, 20 }, 0, kSubjectMaxChars, kBulletinLabelFont, kSubjectHue, true,
            false);
        entry->options.fitToWidth = true;
        entry->setText(m_subject);
        gumpLink(entry, this);
        entry->onKey(GumpKey::kEnd);
        m_subjectEntry = GumpHandle(entry);
        gumpSetFocus(entry);
    }
    auto* thumb = new Thumb(254, kBodyTop, true, m_textBottom, kMessageThumbArt);
    gumpLink(thumb, this);
    thumb->setPosition(0, 1);
    m_thumb = GumpHandle(thumb);
    auto* gripButton = new Button(139, height() - gripHeight() - 3, ButtonBehaviour::ClickOnRelease, 0,
        onParent<&BBMessageGump::openResizeFrame>, kGripArt, kGripArt, false);
    gripButton->setHoverArt(kGripHoverArt);
    gumpLink(gripButton, this);
    gumpLink(new Button(246, 106, ButtonBehaviour::RepeatOnPress, 0, onParent<&BBMessageGump::scrollUp>, kMessageUpArt,
                 kMessageUpArt, false),
        this);
    gumpLink(new Button(246, height() - gripHeight() - 52, ButtonBehaviour::RepeatOnPress, 0,
                 onParent<&BBMessageGump::scrollDown>, kMessageDownArt, kMessageDownArt, false),
        this);
    auto* action = m_compose
        ? new Button(37, height() - gripHeight() - 24, ButtonBehaviour::ClickOnRelease, 0,
              onParent<&BBMessageGump::post>, kPostArt, kPostArt, false)
        : new Button(37, height() - gripHeight() - 24, ButtonBehaviour::ClickOnRelease, 0,
              onParent<&BBMessageGump::reply>, kReplyArt, kReplyArt, false);
    // The whole rectangle takes the press.
    action->setPixelHitTest(false);
    gumpLink(action, this);
    redrawText();
}

BBMessageGump::~BBMessageGump() = default;

UnicodeInputControl* BBMessageGump::subjectEntry() const
{
    return static_cast<UnicodeInputControl*>(m_subjectEntry.get());
}

void BBMessageGump::drawBackground()
{
    for (int32_t index : { 0, 1 })
        page(index)->allocate(width(), height());
    GumpPage& back = *page(1);
    if (!back.isAllocated())
        return;
    const int32_t grip = gripHeight();
    drawVerticalGumpStrip(kBackgroundArt, 2, back, 0, grip);
    if (m_compose)
        drawGumpArt(copySpanTransparent, kComposeArt, back.target(), 97, 12);
    drawGumpArt(copySpanTransparent, kBulletinFrameArt, back.target(), kLeft, 34);
    drawGumpArt(copySpanTransparent, kBulletinFrameArt, back.target(), kLeft, height() - grip - 48);
    ScopedUnicodeFont font(kBoardFont);
    const TextSurface surface = back.surface();
    const TextClip header { 0, 0, kRight, height() };
    struct Field {
        const char16_t* label;
        const std::u16string* value;
        int32_t y;
    };
    const Field fields[] = { { u"Author:", &m_author, 40 }, { u"Time:", &m_time, 58 },
        { u"Subject:", m_compose ? nullptr : &m_subject, 76 } };
    for (const Field& field : fields) {
        drawUnicodeTextLine(surface, field.label, kLeft, m_baseline + field.y, kBoardTextColour, header);
        if (field.value)
            drawUnicodeTextLine(surface, field.value->c_str(), kLeft + measureUnicodeString(field.label) + 4,
                m_baseline + field.y, kBoardTextColour, header);
    }
    int32_t dividerWidth = 0;
    int32_t dividerHeight = 0;
    getGumpArtSize(kDividerArt, dividerWidth, dividerHeight);
    const ScreenRect textArea { kLeft, 0, kRight + 1, height() };
    for (int32_t x = kLeft; dividerWidth > 0 && x <= kRight; x += dividerWidth)
        drawGumpArtClipped(copySpanTransparent, kDividerArt, back.target(), &textArea, x, kDividerY);
}

MessageBody::View BBMessageGump::view() const { return { kBodyTop, kBodyTop, m_textBottom, m_lineStep }; }

void BBMessageGump::redrawText()
{
    GumpPage* shown = page(0);
    GumpPage* back = page(1);
    if (!shown || !back || !shown->isAllocated() || !back->isAllocated())
        return;
    shown->pixels = back->pixels;
    ScopedUnicodeFont font(kBoardFont);
    const TextSurface surface = shown->surface();
    const TextClip area { kLeft, kBodyTop, kRight + 1, m_textBottom };
    int32_t y = kBodyTop;
    for (int32_t row = m_body.firstShown; row < m_body.lineCount() && y + m_lineStep < m_textBottom; ++row) {
        drawUnicodeTextEllipsis(surface, m_body.lines[size_t(row)].c_str(), kLeft, y, kBoardTextColour, area);
        y += m_lineStep;
    }
    if (gumpFocus() != this)
        return;
    const int32_t caretY = kBodyTop + (m_body.caretLine - m_body.firstShown) * m_lineStep + kMessageCaretDrop;
    const std::u16string text(m_body.caretText());
    const int32_t caretX = kLeft + measureUnicodeChars(m_body.caretColumn, text.c_str());
    drawUnicodeTextLine(surface, u"_", caretX, caretY, kBoardTextColour, area);
}

void BBMessageGump::addBodyLine(std::u16string_view text)
{
    if (m_body.lineCount() >= kMaxReadLines)
        return;
    m_body.lines.emplace_back(text.substr(0, size_t(MessageBody::kMaxLineChars)));
}

void BBMessageGump::placeThumb()
{
    if (auto* thumb = static_cast<Thumb*>(m_thumb.get()))
        thumb->setPosition(m_body.firstShown, m_body.lineCount());
}

void BBMessageGump::scrollUp()
{
    if (m_body.firstShown <= 0)
        return;
    --m_body.firstShown;
    redrawText();
    placeThumb();
}

void BBMessageGump::scrollDown()
{
    if (m_body.firstShown >= m_body.lineCount())
        return;
    ++m_body.firstShown;
    redrawText();
    placeThumb();
}

void BBMessageGump::onSlider(int32_t position, int32_t range, CGump*)
{
    if (m_body.lineCount() == 0 || range <= 0)
        return;
    m_body.firstShown = std::clamp(int32_t(int64_t(position) * m_body.lineCount() / range), 0, m_body.lineCount() - 1);
    redrawText();
}

bool BBMessageGump::containsPoint(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < width() && y < height(); }

void BBMessageGump::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    m_leftDown = true;
    setDragAnchor(x, y);
    if (!m_compose || x < kLeft || x > kRight || y < kBodyTop || y >= m_textBottom)
        return;
    gumpSetFocus(this);
    m_body.caretLine = std::min(m_body.firstShown + (y - kBodyTop) / m_lineStep, m_body.lineCount());
    ScopedUnicodeFont font(kBoardFont);
    const std::u16string text(m_body.caretText());
    m_body.caretColumn = text.empty() ? 0 : fitUnicodeChars(text.c_str(), x - kLeft);
    redrawText();
}

void BBMessageGump::onDrag(int32_t x, int32_t y)
{
    if (m_leftDown)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void BBMessageGump::onLeftUp(int32_t, int32_t)
{
    m_leftDown = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void BBMessageGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void BBMessageGump::onKey(uint32_t code)
{
    if (!m_compose)
        return;
    bool scrolled = false;
    {
        ScopedUnicodeFont font(kBoardFont);
        scrolled = m_body.key(code, view());
    }
    redrawText();
    if (scrolled)
        placeThumb();
}

void BBMessageGump::post()
{
    std::u16string subject;
    if (UnicodeInputControl* entry = subjectEntry())
        subject = entry->text();
    std::vector<std::u16string_view> lines(m_body.lines.begin(), m_body.lines.end());
    // Room for 79 lines of up to 240 UTF-8 bytes each.
    std::vector<uint8_t> storage(24 * 1024);
    PacketBuffer packet(storage.data(), storage.size());
    if (buildBulletinBoardPostPacket(packet, kPostAction, ownerSerial(), m_replyTo, subject, lines))
        sendWindowPacket(packet);
    closeGump(this);
}

void BBMessageGump::reply()
{
    Item* message = findItemBySerial(ownerSerial());
    Item* board = message ? message->container() : nullptr;
    BulletinBoardGump* boardWindow = board ? findBulletinBoard(board->serial) : nullptr;
    if (!boardWindow)
        return;
    // A reply to a reply carries the subject once more; it is cut to the
    // subject's room instead of growing with every level.
    std::u16string subject = u"RE: " + m_subject;
    subject.resize(std::min<size_t>(subject.size(), kSubjectUnits - 1));
    boardWindow->composeMessage(m_replyTo != 0 ? m_replyTo : ownerSerial(), subject);
}

void BBMessageGump::openResizeFrame()
{
    service<ResizeFrames>().openResizeFrame(this, width(), kMinHeight, width(), gumpScreen().height - y() - 20);
}

void BBMessageGump::resize(int32_t, int32_t newHeight, bool)
{
    const int32_t oldHeight = height();
    const int32_t change = newHeight - oldHeight;
    forEachChildBottomUp([&](CGump* child) {
        if (child->is(GumpKind::Thumb)) {
            auto* thumb = static_cast<Thumb*>(child);
            thumb->setRange(thumb->minX(), thumb->maxX(), thumb->minY(), thumb->maxY() + change);
        } else if (child->y() > oldHeight / 2) {
            child->setLocation(child->x(), child->y() + change);
        }
    });
    setSize(width(), newHeight);
    setMinimisedSize(width(), newHeight);
    m_textBottom = newHeight - gripHeight() - 50;
    drawBackground();
    redrawText();
}

BBMessageGump* findMessageWindow(uint32_t owner)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::BulletinMessage) && gump->ownerSerial() == owner)
            return static_cast<BBMessageGump*>(gump);
    }
    return nullptr;
}
