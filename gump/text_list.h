#pragma once
// TextList: a scrolling list of coloured UTF-16 lines (the chat, messenger
// and help windows), newest at the bottom, at most maxLines kept. It reports
// its scroll position and maximum to its parent (setScrollRange) after every
// change, so a scroll bar can follow; a selectable list shows the line under
// the pointer inverted and reports a clicked line (notify). Its owner can
// make the newest line an edit line: typed characters go there and Enter
// submits it to the parent (submitText), which may refuse.
//
// Scroll arithmetic: maxScroll is the content height less the view height
// (negative while the content is shorter); scrollPos 0 shows the oldest
// line at the top and maxScroll the newest at the bottom. Every line is at
// least 18 pixels high. Text is measured and drawn in the chat font settings
// (TextList2, the chat set, with a fixed blank of 6 and no tight style).
// Main thread only.

#include "gump/control_gump.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

struct TextListLine {
    std::u16string text;
    int32_t colour = 0; // 5-5-5
    int32_t highlightColour = 0;
    // Characters highlightStart..highlightEnd (inclusive) in highlightColour;
    // -1 and -1 for none.
    int32_t highlightStart = -1;
    int32_t highlightEnd = -1;
    int32_t height = 18;
    // The speech language code of a chat line (3 characters at most).
    std::string tag;
};

class TextList : public ControlGump {
public:
    static constexpr int32_t kMinLineHeight = 18;
    static constexpr int32_t kScrollStep = 18;
    static constexpr int32_t kMaxEditLength = 1023;

    // Made and linked to `parent` at once. background >= 0 is a fill colour,
    // below 0 minus a gump art tiled over the list.
    TextList(CGump* parent, bool wrap, bool selectable, int32_t maxLines, int32_t listId, int32_t background,
        ControlSet set = ControlSet::First);

    void setGeometry(int32_t x, int32_t y, int32_t width, int32_t height);
    void addLine(std::u16string_view text, int32_t colour, int32_t highlightColour, int32_t highlightStart,
        int32_t highlightEnd, std::string_view tag = {});
    // The first line with this text takes the values; a new line when none has it.
    void updateLine(std::u16string_view text, int32_t colour, int32_t highlightColour, int32_t highlightStart,
        int32_t highlightEnd, std::string_view tag = {});
    void removeLine(std::u16string_view text);
    void clear();
    void setScrollPos(int32_t position);
    void scrollTo(int32_t position, int32_t range, CGump* sender) override;
    void scrollStep(int32_t direction, CGump* sender) override;
    void remeasureAll();
    void remeasureEditLine();

    // Editing: the owner adds an empty line, gives the list the focus and
    // syncs the caret to the end of the newest line.
    void syncEditCursor();
    // Replaces (or extends) the edit line; a text ending in '$' is submitted
    // without it, as Enter would.
    void setEditText(std::u16string_view text);
    void appendEditText(std::u16string_view text);
    const std::u16string& editText() const;
    int32_t editLineHeight() const;
    // The newest line's width in the list's font plus 4; 0 when it has none.
    int32_t measureEditLine();

    // The line under the pointer and its top, or null.
    const TextListLine* lineAtCursor(int32_t& top);
    void redraw();

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onMouseLeave() override;
    void onDrag(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void onKey(uint32_t code) override;
    // The first set stops editing; the chat set keeps its caret.
    void onFocusLost() override;

    // The help-text popup measures and draws in its own font.
    void setPopupHelpFont(bool on) { m_popupHelpFont = on; }

    int32_t lineCount() const { return int32_t(m_lines.size()); }
    const std::deque<TextListLine>& lines() const { return m_lines; }
    int32_t maxScroll() const { return m_maxScroll; }
    int32_t scrollPos() const { return m_scrollPos; }
    int32_t editCursor() const { return m_editCursor; }
    int32_t listId() const { return m_listId; }
    int32_t background() const { return m_background; }

private:
    // Selects the list's font, blank width and style for its life.
    class FontScope;
    int32_t measureHeight(const std::u16string& text);
    void changeEditText(std::u16string_view text, bool append);
    void report();
    bool isAtBottom() const { return m_scrollPos == m_maxScroll; }

    int32_t m_listId;
    bool m_wrap;
    bool m_selectable;
    int32_t m_maxLines;
    int32_t m_maxScroll = 0;
    int32_t m_scrollPos = 0;
    int32_t m_editCursor = -1;
    int32_t m_background;
    bool m_popupHelpFont = false;
    // Oldest first; while editing the last is the edit line.
    std::deque<TextListLine> m_lines;
};

class TextList2 final : public TextList {
public:
    TextList2(CGump* parent, bool wrap, bool selectable, int32_t maxLines, int32_t listId, int32_t background)
        : TextList(parent, wrap, selectable, maxLines, listId, background, ControlSet::Chat)
    {
    }
};

// Adds "name: text" (just the text without a name; nothing when both are
// empty) in the ChatColorText colour, tagged with the speech language code.
void appendSpeakerLine(TextList& list, std::u16string_view name, std::u16string_view text);
