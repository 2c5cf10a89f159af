#include "windows/book_gump.h"

#include "core/wide_text.h"
#include "gfx/gump_art.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/unicode_input_control.h"
#include "net/client_packets.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"
#include "windows/window_packets.h"
#include "world/object_manager.h"
#include "world/world_services.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr int32_t kBookTextFont = 1;
constexpr int32_t kLineHeightFont = 4;
constexpr uint16_t kBookTextColour = 0xC8C6;
constexpr uint16_t kBookLabelColour = 0xA106;
constexpr uint16_t kBookCaretColour = 0x9821;
constexpr int32_t kEntryHue = 1;
constexpr int32_t kBookCaretDrop = 4;
constexpr int32_t kLeftNumberX = 116;
constexpr int32_t kRightNumberX = 302;
constexpr int32_t kNumberY = 202;

std::u16string fromUtf8(std::string_view text, int32_t units)
{
    const std::string copy(text);
    std::vector<char16_t> wide(size_t(units), u'\0');
    utf8ToWide(wide.data(), copy.c_str(), units);
    return std::u16string(wide.data());
}

// At most size - 1 bytes of whole UTF-8 sequences.
std::string toUtf8(const std::u16string& text, int32_t size)
{
    std::vector<char> bytes(size_t(size), '\0');
    wideToUtf8(bytes.data(), text.c_str(), size);
    return std::string(bytes.data());
}

void playPageSound() { worldService<WorldSounds>().playSound(BookGump::kPageSound, 0, 0, false, 0, false); }

template <typename Build>
bool buildAndSendBook(Build build)
{
    // A page of 20 lines of at most 239 bytes and their ends.
    std::vector<uint8_t> storage(8 * 1024);
    PacketBuffer packet(storage.data(), storage.size());
    return build(packet) && sendWindowPacket(packet);
}

} // namespace

BookGump::BookGump(int32_t x, int32_t y, int32_t art, uint32_t book, std::string_view titleUtf8,
    std::string_view authorUtf8, int32_t pageCount, bool writable, bool editable, int32_t headerKind)
    : CGump(x, y, nullptr, 1, 0, 0)
    , m_writable(writable)
    , m_editable(editable)
    , m_pageCount(std::max(pageCount, 0))
    , m_title(fromUtf8(titleUtf8, kTitleUnits))
    , m_author(fromUtf8(authorUtf8, kAuthorUnits))
    , m_headerKind(headerKind)
{
    setTypeName("book gump");
    addKind(GumpKind::Book);
    setOwnerSerial(book);
    setArtId(-1);
    int32_t artWidth = 0;
    int32_t artHeight = 0;
    getGumpArtSize(art, artWidth, artHeight);
    setSize(artWidth, artHeight);
    page(0)->allocate(artWidth, artHeight);
    int32_t unusedWidth = 0;
    int32_t baseline = 0;
    measureAsciiText(kLineHeightFont, "Aq", unusedWidth, m_lineHeight, baseline);
    m_lineHeight = std::max(m_lineHeight, 1);
    m_pages.resize(m_writable ? size_t(m_pageCount) : 2);
    gumpLink(this, nullptr);
    const bool entriesEditable = isEditable();
    auto* titleEntry = new UnicodeInputControl(kLeftTextX, 62, EntrySize { 157, 2 * m_lineHeight + 8 }, 0,
        kTitleUnits - 1, kBookTextFont, kEntryHue, entriesEditable, false);
    titleEntry->options.multiLine = true;
    titleEntry->setText(m_title);
    gumpLink(titleEntry, this);
    m_titleEntry = GumpHandle(titleEntry);
    auto* authorEntry = new UnicodeInputControl(kLeftTextX, 156, EntrySize { 157, m_lineHeight + 4 }, 0,
        kAuthorUnits - 1, kBookTextFont, kEntryHue, entriesEditable, false);
    authorEntry->setText(m_author);
    gumpLink(authorEntry, this);
    m_authorEntry = GumpHandle(authorEntry);
    titleEntry->redraw();
    authorEntry->redraw();
    redraw();
    if (!m_writable && m_pageCount >= 1)
        requestPage(1);
    playPageSound();
}

BookGump::~BookGump()
{
    flushEdits();
    playPageSound();
}

UnicodeInputControl* BookGump::titleEntry() const { return static_cast<UnicodeInputControl*>(m_titleEntry.get()); }
UnicodeInputControl* BookGump::authorEntry() const
{
    return static_cast<UnicodeInputControl*>(m_authorEntry.get());
}

int32_t BookGump::pageCapacity() const { return std::min(BookPage::kMaxLines, kPageTextHeight / m_lineHeight); }

const BookPage* BookGump::textPage(int32_t number) const
{
    if (m_writable)
        return number >= 1 && number <= m_pageCount ? &m_pages[size_t(number - 1)] : nullptr;
    if (number == m_currentPage && number != 0)
        return &m_pages[0];
    if (number == m_currentPage + 1 && number <= m_pageCount)
        return &m_pages[1];
    return nullptr;
}

BookPage* BookGump::editablePage(int32_t number)
{
    return isEditable() ? const_cast<BookPage*>(textPage(number)) : nullptr;
}

void BookGump::setHeader(std::string_view titleUtf8, std::string_view authorUtf8)
{
    m_title = fromUtf8(titleUtf8, kTitleUnits - 1);
    m_author = fromUtf8(authorUtf8, kAuthorUnits - 1);
    if (UnicodeInputControl* entry = titleEntry()) {
        entry->setText(m_title);
        entry->redraw();
    }
    if (UnicodeInputControl* entry = authorEntry()) {
        entry->setText(m_author);
        entry->redraw();
    }
    redraw();
}

bool BookGump::receivePage(int32_t pageNumber, const std::vector<std::u16string>& lines)
{
    BookPage* target = nullptr;
    if (m_writable) {
        // Page 0 counts as the first page.
        const int32_t index = std::max(pageNumber, 1) - 1;
        if (index < m_pageCount)
            target = &m_pages[size_t(index)];
    } else {
        const int32_t buffer = pageNumber >= m_currentPage ? pageNumber - m_currentPage : 0;
        if (buffer < 2)
            target = &m_pages[size_t(buffer)];
    }
    if (!target)
        return false;
    target->lines.assign(lines.begin(), lines.begin() + std::min<ptrdiff_t>(ptrdiff_t(lines.size()), BookPage::kMaxLines));
    if (!m_writable || pageNumber == m_currentPage || pageNumber == m_currentPage + 1) {
        clampCaret();
        redraw();
    }
    return true;
}

void BookGump::requestPage(int32_t number)
{
    buildAndSendBook([&](PacketBuffer& p) { return buildBookPageRequestPacket(p, bookSerial(), uint16_t(number)); });
}

void BookGump::flushEdits()
{
    if (!m_writable || !findObjectBySerial(bookSerial()))
        return;
    if (m_headerDirty) {
        if (UnicodeInputControl* entry = titleEntry())
            m_title = entry->text().substr(0, kTitleUnits - 1);
        if (UnicodeInputControl* entry = authorEntry())
            m_author = entry->text().substr(0, kAuthorUnits - 1);
        const std::string title = toUtf8(m_title, kTitleUnits);
        const std::string author = toUtf8(m_author, kAuthorUnits);
        buildAndSendBook([&](PacketBuffer& p) {
            return m_headerKind == 1 ? buildBookHeaderPacket(p, bookSerial(), title.c_str(), author.c_str())
                                     : buildBookHeaderTextPacket(p, bookSerial(), title, author);
        });
        m_headerDirty = false;
    }
    for (int32_t number = 1; number <= m_pageCount; ++number) {
        BookPage& text = m_pages[size_t(number - 1)];
        if (!text.dirty)
            continue;
        std::vector<std::u16string_view> lines(text.lines.begin(), text.lines.end());
        buildAndSendBook(
            [&](PacketBuffer& p) { return buildBookPagePacket(p, bookSerial(), uint16_t(number), lines); });
        text.dirty = false;
    }
}

void BookGump::onControlChanged(CGump* control)
{
    if (control && (control == titleEntry() || control == authorEntry()))
        m_headerDirty = true;
}

void BookGump::redraw()
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    drawGumpArt(copySpan, kArt, face->target(), 0, 0);
    if (m_currentPage != 0)
        drawGumpArt(copySpanTransparent, kArt + 1, face->target(), 0, 0);
    if (m_currentPage + 1 < m_pageCount) {
        int32_t cornerWidth = 0;
        int32_t cornerHeight = 0;
        getGumpArtSize(kArt + 2, cornerWidth, cornerHeight);
        drawGumpArt(copySpanTransparent, kArt + 2, face->target(), width() - cornerWidth, 0);
    }
    ScopedUnicodeFont font(kBookTextFont);
    const TextSurface surface = face->surface();
    if (m_currentPage == 0)
        drawUnicodeTextLine(surface, u"by", 41, 132, kBookLabelColour, wholeSurface(surface));
    const bool focused = gumpFocus() == this;
    drawPageText(m_currentPage != 0 ? textPage(m_currentPage) : nullptr, kLeftTextX, focused && m_caretOnLeft);
    drawPageText(textPage(m_currentPage + 1), kRightTextX, focused && !m_caretOnLeft);
    for (const auto& [number, centre] : { std::pair { m_currentPage, kLeftNumberX },
             std::pair { m_currentPage + 1, kRightNumberX } }) {
        if (number == 0 || number > m_pageCount)
            continue;
        char digits[16];
        std::snprintf(digits, sizeof digits, "%d", number);
        const std::u16string text = bytesToWideString(digits);
        drawUnicodeTextLine(
            surface, text.c_str(), centre - measureUnicodeString(text.c_str()) / 2, kNumberY, kBookLabelColour,
            wholeSurface(surface));
    }
}

void BookGump::drawPageText(const BookPage* text, int32_t left, bool caretHere)
{
    if (!text)
        return;
    GumpPage* face = page(0);
    const TextSurface surface = face->surface();
    const TextClip area { left, kTextTop, left + kTextWidth + 1, kTextBottom + 1 };
    for (int32_t line = 0; line < text->lineCount(); ++line) {
        const int32_t y = kTextTop + kDrawnLineHeight * line;
        if (y + kDrawnLineHeight > kTextBottom)
            break;
        drawUnicodeTextLine(surface, text->lines[size_t(line)].c_str(), left, y, kBookTextColour, area);
    }
    if (!caretHere || !isEditable())
        return;
    const std::u16string caretText
        = m_caretLine < text->lineCount() ? text->lines[size_t(m_caretLine)] : std::u16string();
    const int32_t x = left + measureUnicodeChars(m_caretColumn, caretText.c_str());
    drawUnicodeTextLine(surface, u"_", x, kTextTop + kDrawnLineHeight * m_caretLine + kBookCaretDrop, kBookCaretColour, area);
}

void BookGump::showSpread()
{
    if (UnicodeInputControl* entry = titleEntry())
        entry->setVisible(m_currentPage == 0);
    if (UnicodeInputControl* entry = authorEntry())
        entry->setVisible(m_currentPage == 0);
    if (!m_writable) {
        for (BookPage& buffer : m_pages)
            buffer.lines.clear();
        if (m_currentPage != 0)
            requestPage(m_currentPage);
        if (m_currentPage + 1 <= m_pageCount)
            requestPage(m_currentPage + 1);
    }
    clampCaret();
    redraw();
    playPageSound();
}

void BookGump::nextSpread()
{
    bringToFront(true);
    if (m_currentPage + 1 >= m_pageCount)
        return;
    flushEdits();
    m_currentPage += 2;
    showSpread();
}

void BookGump::previousSpread()
{
    bringToFront(true);
    if (m_currentPage == 0)
        return;
    flushEdits();
    m_currentPage -= 2;
    showSpread();
}

void BookGump::onSingleClick(int32_t x, int32_t y)
{
    int32_t previousWidth = 0;
    int32_t previousHeight = 0;
    getGumpArtSize(kArt + 1, previousWidth, previousHeight);
    int32_t nextWidth = 0;
    int32_t nextHeight = 0;
    getGumpArtSize(kArt + 2, nextWidth, nextHeight);
    if (x >= 0 && y >= 0 && x < previousWidth && y < previousHeight)
        previousSpread();
    else if (x >= width() - nextWidth && y < nextHeight)
        nextSpread();
}

void BookGump::onDoubleClick(int32_t x, int32_t y)
{
    int32_t previousWidth = 0;
    int32_t previousHeight = 0;
    getGumpArtSize(kArt + 1, previousWidth, previousHeight);
    int32_t nextWidth = 0;
    int32_t nextHeight = 0;
    getGumpArtSize(kArt + 2, nextWidth, nextHeight);
    int32_t target = m_currentPage;
    if (x >= 0 && y >= 0 && x < previousWidth && y < previousHeight)
        target = 0;
    else if (x >= width() - nextWidth && y < nextHeight)
        target = m_pageCount - (m_pageCount % 2);
    else
        return;
    flushEdits();
    m_currentPage = target;
    showSpread();
}

void BookGump::placeCaret(int32_t x, int32_t y)
{
    if (!isEditable() || y < kTextTop || y > kTextBottom)
        return;
    bool onLeft = false;
    if (x >= kLeftTextX && x <= kLeftTextX + kTextWidth)
        onLeft = true;
    else if (x < kRightTextX || x > kRightTextX + kTextWidth)
        return;
    const int32_t number = m_currentPage + (onLeft ? 0 : 1);
    if ((onLeft && m_currentPage == 0) || !textPage(number))
        return;
    const BookPage& text = *textPage(number);
    gumpSetFocus(this);
    m_caretOnLeft = onLeft;
    int32_t line = std::min((y - kTextTop) / m_lineHeight, text.lineCount());
    if (text.lineCount() == 1 && text.lines.front().empty())
        line = 0;
    if ((line + 1) * m_lineHeight > kPageTextHeight)
        --line;
    m_caretLine = std::max(line, 0);
    ScopedUnicodeFont font(kBookTextFont);
    const std::u16string caretText
        = m_caretLine < text.lineCount() ? text.lines[size_t(m_caretLine)] : std::u16string();
    m_caretColumn = fitUnicodeChars(caretText.c_str(), x - (onLeft ? kLeftTextX : kRightTextX));
    redraw();
}

void BookGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    CGump* focus = gumpFocus();
    const bool hadFocus = focus == this;
    if (focus && (focus == titleEntry() || focus == authorEntry()))
        gumpReleaseFocus();
    if (!self)
        return;
    bringToFront(true);
    setDragAnchor(x, y);
    m_clicks.press();
    placeCaret(x, y);
    if (hadFocus && !gumpFocus()) {
        gumpSetFocus(this);
        redraw();
    }
}

void BookGump::settle(ClickEvent event)
{
    if (event == ClickEvent::Hold)
        m_clicks.dragStarted = true;
    else if (event == ClickEvent::Single)
        onSingleClick(dragAnchorX(), dragAnchorY());
}

void BookGump::onHoverTick() { settle(m_clicks.expire()); }

void BookGump::onLeftUp(int32_t x, int32_t y)
{
    GumpHandle self(this);
    // A hold ends quietly; the release of a second click is the double
    // click. A first click waits for the hover tick.
    if (m_clicks.release() == ClickEvent::Double)
        onDoubleClick(x, y);
    if (self)
        service<GumpPointer>().clearPointerCaptureIf(this);
}

void BookGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void BookGump::onDrag(int32_t x, int32_t y)
{
    if (m_clicks.leftDown)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

BookGump* findBookGump(uint32_t book)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::Book) && gump->ownerSerial() == book)
            return static_cast<BookGump*>(gump);
    }
    return nullptr;
}
