#pragma once
// A book open as a two-page spread. The server opens it with a header
// (0x93, or 0xD4 with counted texts) and feeds page text with 0x66; the
// window asks for the pages a read-only book needs, lets the player write in
// a writable one (the title and author on the title page, the pages with a
// caret whose lines wrap and flow across pages) and sends what changed when
// a page is turned or the book closes. A click on a corner turns a spread, a
// double click jumps to the first or the last.
//
// The gump manager owns the window; it names its book item by serial. A
// writable book holds every page, a read-only one only the two shown.
// Points are local pixels. Main thread only; times are tick-count
// milliseconds.

#include "gump/gump.h"
#include "windows/window_clicks.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class UnicodeInputControl;

// One page's text: at most 20 lines, and whether it changed since it was
// last sent.
struct BookPage {
    static constexpr int32_t kMaxLines = 20;
    std::vector<std::u16string> lines;
    bool dirty = false;
    int32_t lineCount() const { return int32_t(lines.size()); }
};

class BookGump : public CGump {
public:
    static constexpr int32_t kArt = 510;
    static constexpr int32_t kTitleUnits = 60;
    static constexpr int32_t kAuthorUnits = 30;
    // A line holds at most this many characters.
    static constexpr int32_t kMaxLineChars = 79;
    // The page text areas (inclusive) and the wrap width.
    static constexpr int32_t kLeftTextX = 38;
    static constexpr int32_t kRightTextX = 224;
    static constexpr int32_t kTextTop = 32;
    static constexpr int32_t kTextBottom = 210;
    static constexpr int32_t kTextWidth = 156;
    static constexpr int32_t kPageTextHeight = 178;
    static constexpr int32_t kDrawnLineHeight = 18;
    static constexpr int32_t kPageSound = 85;

    // `headerKind` 1 for a book opened by 0x93, 2 by 0xD4. Links itself on
    // top, asks for page 1 of a read-only book and plays the page sound.
    BookGump(int32_t x, int32_t y, int32_t art, uint32_t book, std::string_view titleUtf8,
        std::string_view authorUtf8, int32_t pageCount, bool writable, bool editable, int32_t headerKind);
    ~BookGump() override;

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void onKey(uint32_t code) override;
    void onControlChanged(CGump* control) override;
    void kindAction() override { redraw(); }
    void onFocusLost() override { redraw(); }

    virtual void redraw();
    virtual void nextSpread();
    virtual void previousSpread();
    virtual void onSingleClick(int32_t x, int32_t y);
    virtual void onDoubleClick(int32_t x, int32_t y);

    // A second header for the open book: the new title and author.
    void setHeader(std::string_view titleUtf8, std::string_view authorUtf8);
    // Page text from the server. False when the page has no place here (a
    // page outside the book, or away from a read-only book's spread).
    bool receivePage(int32_t pageNumber, const std::vector<std::u16string>& lines);
    // Sends the changed header and the changed pages, in page order.
    void flushEdits();

    uint32_t bookSerial() const { return ownerSerial(); }
    bool isWritable() const { return m_writable; }
    bool isEditable() const { return m_writable && m_editable; }
    int32_t currentPage() const { return m_currentPage; }
    int32_t pageCount() const { return m_pageCount; }
    int32_t headerKind() const { return m_headerKind; }
    const std::u16string& title() const { return m_title; }
    const std::u16string& author() const { return m_author; }
    // The text of page `number` while this window holds it, else null.
    const BookPage* textPage(int32_t number) const;
    bool caretOnLeft() const { return m_caretOnLeft; }
    int32_t caretLine() const { return m_caretLine; }
    int32_t caretColumn() const { return m_caretColumn; }
    // Lines a page can hold at this window's line height.
    int32_t pageCapacity() const;
    UnicodeInputControl* titleEntry() const;
    UnicodeInputControl* authorEntry() const;

protected:
    // The spread changed: the header entries, the pages shown (asked for,
    // for a read-only book), the picture and the sound.
    void showSpread();

private:
    BookPage* editablePage(int32_t number);
    int32_t caretPageNumber() const { return m_currentPage + (m_caretOnLeft ? 0 : 1); }
    void placeCaret(int32_t x, int32_t y);
    void requestPage(int32_t number);
    void drawPageText(const BookPage* text, int32_t left, bool caretHere);
    void settle(ClickEvent event);

    // The editor (book_editor.cpp).
    void insertCharacter(char16_t character);
    void backspace();
    void enter();
    void moveCaret(uint32_t code);
    // Wraps the caret's text from (page, line) on as long as text moves.
    void rewrapFrom(int32_t pageNumber, int32_t line);
    void pushOverflowFrom(int32_t pageNumber);
    void pullLinesUp(int32_t pageNumber, int32_t line);
    // Puts the caret on a page of the book, turning the spread when the
    // page is not shown.
    void moveCaretTo(int32_t pageNumber, int32_t line, int32_t column);
    void clampCaret();

    std::vector<BookPage> m_pages;
    bool m_writable;
    bool m_editable;
    bool m_headerDirty = false;
    int32_t m_currentPage = 0;
    int32_t m_pageCount;
    std::u16string m_title;
    std::u16string m_author;
    GumpHandle m_titleEntry;
    GumpHandle m_authorEntry;
    bool m_caretOnLeft = true;
    int32_t m_caretLine = 0;
    int32_t m_caretColumn = 0;
    WindowClicks m_clicks;
    int32_t m_headerKind;
    int32_t m_lineHeight = 1;
};

// The first book-family window of a book item, or null.
BookGump* findBookGump(uint32_t book);
