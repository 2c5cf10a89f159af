// The book window's caret editor: typing, joining and splitting lines, and
// the flow of lines from page to page of a writable book.

#include "windows/book_gump.h"

#include "gump/entry_core.h"
#include "text/unicode_font.h"
#include "windows/bulletin_message.h"

#include <algorithm>

namespace {

constexpr int32_t kEditFont = 1;

} // namespace

void BookGump::clampCaret()
{
    const BookPage* text = textPage(caretPageNumber());
    if (!text || (m_caretOnLeft && m_currentPage == 0)) {
        m_caretOnLeft = m_currentPage != 0 || !textPage(1);
        text = textPage(caretPageNumber());
    }
    const int32_t count = text ? text->lineCount() : 0;
    m_caretLine = std::clamp(m_caretLine, 0, std::max(std::min(count, pageCapacity() - 1), 0));
    const int32_t length
        = text && m_caretLine < count ? int32_t(text->lines[size_t(m_caretLine)].size()) : 0;
    m_caretColumn = std::clamp(m_caretColumn, 0, length);
}

void BookGump::moveCaretTo(int32_t pageNumber, int32_t line, int32_t column)
{
    if (pageNumber < 1 || pageNumber > m_pageCount)
        return;
    while (pageNumber > m_currentPage + 1 && m_currentPage + 1 < m_pageCount)
        nextSpread();
    while (pageNumber < m_currentPage)
        previousSpread();
    m_caretOnLeft = pageNumber == m_currentPage;
    m_caretLine = line;
    m_caretColumn = column;
}

void BookGump::onKey(uint32_t code)
{
    if (!isEditable() || !editablePage(caretPageNumber()) || (m_caretOnLeft && m_currentPage == 0))
        return;
    GumpHandle self(this);
    {
        ScopedUnicodeFont font(kEditFont);
        switch (code) {
        case GumpKey::kBackspace:
            backspace();
            break;
        case GumpKey::kEnter:
            enter();
            break;
        case GumpKey::kDelete:
            moveCaret(GumpKey::kRight);
            clampCaret();
            backspace();
            break;
        case GumpKey::kPageUp:
        case GumpKey::kPageDown:
        case GumpKey::kEnd:
        case GumpKey::kHome:
        case GumpKey::kLeft:
        case GumpKey::kUp:
        case GumpKey::kRight:
        case GumpKey::kDown:
            moveCaret(code);
            break;
        default:
            if (code == u' ' || (code > 0x20 && code < 0xE000 && hasUnicodeGlyph(char16_t(code))))
                insertCharacter(char16_t(code));
            else
                return;
            break;
        }
    }
    if (!self)
        return;
    clampCaret();
    redraw();
}

void BookGump::insertCharacter(char16_t character)
{
    const int32_t number = caretPageNumber();
    BookPage& text = *editablePage(number);
    if (m_caretLine >= text.lineCount()) {
        if (text.lineCount() >= pageCapacity())
            return;
        text.lines.emplace_back();
        m_caretLine = text.lineCount() - 1;
    }
    std::u16string& line = text.lines[size_t(m_caretLine)];
    m_caretColumn = std::min(m_caretColumn, int32_t(line.size()));
    line.insert(size_t(m_caretColumn), 1, character);
    ++m_caretColumn;
    text.dirty = true;
    rewrapFrom(number, m_caretLine);
}

void BookGump::rewrapFrom(int32_t pageNumber, int32_t line)
{
    int32_t caretPage = caretPageNumber();
    int32_t caretLine = m_caretLine;
    int32_t caretColumn = m_caretColumn;
    for (;;) {
        BookPage* text = editablePage(pageNumber);
        if (!text || line >= text->lineCount())
            break;
        std::u16string& current = text->lines[size_t(line)];
        const int32_t keep = wrappedKeepLength(current, kTextWidth, kMaxLineChars);
        if (keep < 0)
            break;
        std::u16string tail = current.substr(size_t(keep));
        current.resize(size_t(keep));
        text->dirty = true;
        const bool caretInTail = caretPage == pageNumber && caretLine == line && caretColumn >= keep;
        if (line + 1 < text->lineCount() || text->lineCount() < pageCapacity()) {
            if (line + 1 >= text->lineCount())
                text->lines.emplace_back();
            text->lines[size_t(line + 1)].insert(0, tail);
            if (caretInTail) {
                caretLine = line + 1;
                caretColumn -= keep;
            }
            ++line;
            continue;
        }
        BookPage* next = editablePage(pageNumber + 1);
        if (!next) {
            // The last page of the book: the text that does not fit is lost.
            if (caretInTail)
                caretColumn = keep;
            break;
        }
        if (next->lines.empty())
            next->lines.emplace_back();
        next->lines.front().insert(0, tail);
        next->dirty = true;
        if (caretInTail) {
            caretPage = pageNumber + 1;
            caretLine = 0;
            caretColumn -= keep;
        }
        ++pageNumber;
        line = 0;
    }
    moveCaretTo(caretPage, caretLine, caretColumn);
}

void BookGump::pushOverflowFrom(int32_t pageNumber)
{
    for (BookPage* text = editablePage(pageNumber); text && text->lineCount() > pageCapacity();
         text = editablePage(++pageNumber)) {
        std::u16string last = std::move(text->lines.back());
        text->lines.pop_back();
        text->dirty = true;
        BookPage* next = editablePage(pageNumber + 1);
        if (!next)
            break;
        next->lines.insert(next->lines.begin(), std::move(last));
        next->dirty = true;
    }
}

void BookGump::pullLinesUp(int32_t pageNumber, int32_t line)
{
    for (BookPage* text = editablePage(pageNumber); text && line < text->lineCount();) {
        const bool wasFull = text->lineCount() >= pageCapacity();
        text->lines.erase(text->lines.begin() + line);
        text->dirty = true;
        BookPage* next = editablePage(pageNumber + 1);
        if (!wasFull || !next || next->lines.empty())
            break;
        text->lines.push_back(next->lines.front());
        text = next;
        ++pageNumber;
        line = 0;
    }
}

void BookGump::backspace()
{
    const int32_t number = caretPageNumber();
    BookPage& text = *editablePage(number);
    const int32_t count = text.lineCount();
    if (m_caretColumn > 0 && m_caretLine < count) {
        text.lines[size_t(m_caretLine)].erase(size_t(m_caretColumn - 1), 1);
        --m_caretColumn;
        text.dirty = true;
        if (count == 1 && text.lines.front().empty())
            text.lines.clear();
        return;
    }
    if (m_caretLine > 0) {
        if (m_caretLine >= count) {
            --m_caretLine;
            m_caretColumn = int32_t(text.lines[size_t(m_caretLine)].size());
            return;
        }
        // The joined line grows as needed and is split again where it no
        // longer fits.
        std::u16string& above = text.lines[size_t(m_caretLine - 1)];
        const int32_t aboveLength = int32_t(above.size());
        std::u16string joined = above + text.lines[size_t(m_caretLine)];
        const int32_t keep = wrappedKeepLength(joined, kTextWidth, kMaxLineChars);
        text.dirty = true;
        if (keep >= 0) {
            above = joined.substr(0, size_t(keep));
            text.lines[size_t(m_caretLine)] = joined.substr(size_t(keep));
            if (aboveLength > keep) {
                m_caretColumn = aboveLength - keep;
                return;
            }
        } else {
            above = std::move(joined);
            pullLinesUp(number, m_caretLine);
        }
        --m_caretLine;
        m_caretColumn = aboveLength;
        return;
    }
    BookPage* previous = editablePage(number - 1);
    if (!previous)
        return;
    if (previous->lines.empty())
        previous->lines.emplace_back();
    const int32_t last = previous->lineCount() - 1;
    std::u16string& end = previous->lines[size_t(last)];
    const int32_t endLength = int32_t(end.size());
    std::u16string joined = end + (count > 0 ? text.lines.front() : std::u16string());
    const int32_t keep = wrappedKeepLength(joined, kTextWidth, kMaxLineChars);
    previous->dirty = true;
    text.dirty = true;
    if (keep >= 0) {
        end = joined.substr(0, size_t(keep));
        if (count > 0)
            text.lines.front() = joined.substr(size_t(keep));
    } else {
        end = std::move(joined);
        pullLinesUp(number, 0);
    }
    moveCaretTo(number - 1, last, std::min(endLength, int32_t(end.size())));
}

void BookGump::enter()
{
    const int32_t number = caretPageNumber();
    BookPage& text = *editablePage(number);
    if (m_caretLine >= text.lineCount())
        text.lines.emplace_back();
    std::u16string& line = text.lines[size_t(m_caretLine)];
    m_caretColumn = std::min(m_caretColumn, int32_t(line.size()));
    std::u16string tail = line.substr(size_t(m_caretColumn));
    line.resize(size_t(m_caretColumn));
    text.lines.insert(text.lines.begin() + m_caretLine + 1, std::move(tail));
    text.dirty = true;
    pushOverflowFrom(number);
    if (m_caretLine + 1 < pageCapacity()) {
        ++m_caretLine;
        m_caretColumn = 0;
    } else if (editablePage(number + 1)) {
        moveCaretTo(number + 1, 0, 0);
    }
}

void BookGump::moveCaret(uint32_t code)
{
    const int32_t number = caretPageNumber();
    const BookPage& text = *textPage(number);
    const int32_t count = text.lineCount();
    const int32_t length = m_caretLine < count ? int32_t(text.lines[size_t(m_caretLine)].size()) : 0;
    const bool hasLeft = m_currentPage != 0;
    switch (code) {
    case GumpKey::kPageUp:
        if (m_caretLine > 0)
            m_caretLine = 0;
        else if (!m_caretOnLeft && hasLeft)
            m_caretOnLeft = true;
        else if (m_caretOnLeft)
            moveCaretTo(number - 1, 0, m_caretColumn);
        break;
    case GumpKey::kPageDown:
        if (m_caretLine < count - 1) {
            m_caretLine = count - 1;
        } else if (const BookPage* next = textPage(number + 1)) {
            moveCaretTo(number + 1, std::min(m_caretLine, std::max(next->lineCount() - 1, 0)), m_caretColumn);
        }
        break;
    case GumpKey::kEnd:
        m_caretColumn = length;
        break;
    case GumpKey::kHome:
        m_caretColumn = 0;
        break;
    case GumpKey::kLeft:
        if (m_caretColumn > 0) {
            --m_caretColumn;
        } else if (m_caretLine > 0) {
            --m_caretLine;
            m_caretColumn = int32_t(text.lines[size_t(m_caretLine)].size());
        }
        break;
    case GumpKey::kUp:
        if (m_caretLine > 0) {
            --m_caretLine;
        } else if (!m_caretOnLeft && hasLeft) {
            const BookPage* left = textPage(m_currentPage);
            const int32_t leftCount = left ? left->lineCount() : 0;
            m_caretOnLeft = true;
            m_caretLine = leftCount >= pageCapacity() ? leftCount - 1 : leftCount;
        }
        break;
    case GumpKey::kRight:
        if (m_caretColumn < length) {
            ++m_caretColumn;
        } else if (m_caretLine + 1 <= count && m_caretLine + 1 < pageCapacity()) {
            ++m_caretLine;
            m_caretColumn = 0;
        }
        break;
    case GumpKey::kDown:
        if (m_caretLine + 1 <= count && m_caretLine + 1 < pageCapacity())
            ++m_caretLine;
        else if (m_caretOnLeft && textPage(number + 1))
            moveCaretTo(number + 1, 0, m_caretColumn);
        break;
    default:
        break;
    }
}
