#include "gump/text_list.h"

#include "data/config_key_rules.h"
#include "data/settings_registry.h"
#include "gfx/colour_tables.h"
#include "gfx/gump_art.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "text/localization.h"
#include "text/unicode_font.h"

#include <algorithm>
#include <climits>

namespace {

// The chat set's fixed blank width.
constexpr int32_t kChatSetBlankWidth = 6;
constexpr int32_t kTextInset = 2;
constexpr uint16_t kCaretColour = 0x7FFF;
// Wide enough that a line that is not wrapped never is.
constexpr int32_t kNoWrapWidth = INT32_MAX / 4;
constexpr size_t kTagLength = 3;

bool isBlankWidthValid(int32_t width) { return width >= 1 && width <= 20; }

} // namespace

class TextList::FontScope {
public:
    explicit FontScope(const TextList& list)
        : m_font(getUnicodeFont())
        , m_blank(getSpaceWidth())
        , m_tight(getUnicodeTightFlag())
    {
        const bool chat = list.controlSet() == ControlSet::Chat;
        selectUnicodeFont(settings().getFontSetting(WString(list.m_popupHelpFont ? u"PopupHelpTextFont" : u"ChatFontNumber")));
        // A blank width the settings give outside 1..20 is not taken.
        const int32_t blank = chat ? kChatSetBlankWidth : configValues().chatSpaceWidth;
        if (isBlankWidthValid(blank) && blank != m_blank)
            setSpaceWidth(blank);
        setUnicodeTightFlag(chat ? false : configValues().chatAntiAlias);
    }
    ~FontScope()
    {
        selectUnicodeFont(m_font);
        if (getSpaceWidth() != m_blank && isBlankWidthValid(m_blank))
            setSpaceWidth(m_blank);
        setUnicodeTightFlag(m_tight);
    }
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;

private:
    int32_t m_font;
    int32_t m_blank;
    bool m_tight;
};

TextList::TextList(CGump* parent, bool wrap, bool selectable, int32_t maxLines, int32_t listId, int32_t background,
    ControlSet set)
    : ControlGump(set)
    , m_listId(listId)
    , m_wrap(wrap)
    , m_selectable(selectable)
    , m_maxLines(std::max(maxLines, 1))
    , m_background(background)
{
    setTypeName("text list");
    if (parent)
        gumpLink(this, parent);
}

int32_t TextList::measureHeight(const std::u16string& text)
{
    FontScope font(*this);
    int32_t measuredWidth = 0;
    int32_t height = 0;
    int32_t zero = 0;
    if (m_wrap)
        measureUnicodeTextWrapped(text.c_str(), width() - 4, measuredWidth, height, zero);
    else
        measureUnicodeText(text.c_str(), measuredWidth, height, zero);
    return std::max(height, kMinLineHeight);
}

void TextList::report()
{
    if (ControlGump* owner = controlParent())
        owner->setScrollRange(m_scrollPos, m_maxScroll, m_listId);
}

void TextList::setGeometry(int32_t x, int32_t y, int32_t width, int32_t height)
{
    setLocation(x, y);
    resizePage(width, height);
    GumpHandle self(this);
    remeasureAll();
    if (self)
        redraw();
}

void TextList::addLine(std::u16string_view text, int32_t colour, int32_t highlightColour, int32_t highlightStart,
    int32_t highlightEnd, std::string_view tag)
{
    // Whether the view shows the newest line is decided before the oldest
    // makes room, so a view at the bottom stays there.
    const bool atBottom = isAtBottom();
    if (lineCount() >= m_maxLines) {
        const int32_t dropped = m_lines.front().height;
        m_lines.pop_front();
        m_maxScroll -= dropped;
        m_scrollPos = std::max(0, m_scrollPos - dropped);
    }
    TextListLine line;
    line.text.assign(text);
    line.colour = colour;
    line.highlightColour = highlightColour;
    line.highlightStart = highlightStart;
    line.highlightEnd = highlightEnd;
    line.tag.assign(tag.substr(0, kTagLength));
    line.height = measureHeight(line.text);
    if (atBottom)
        m_scrollPos = m_maxScroll + line.height;
    m_maxScroll += line.height;
    m_lines.push_back(std::move(line));
    GumpHandle self(this);
    report();
    if (self)
        redraw();
}

void TextList::updateLine(std::u16string_view text, int32_t colour, int32_t highlightColour, int32_t highlightStart,
    int32_t highlightEnd, std::string_view tag)
{
    for (TextListLine& line : m_lines) {
        if (line.text == text) {
            line.colour = colour;
            line.highlightColour = highlightColour;
            line.highlightStart = highlightStart;
            line.highlightEnd = highlightEnd;
            line.tag.assign(tag.substr(0, kTagLength));
            redraw();
            return;
        }
    }
    addLine(text, colour, highlightColour, highlightStart, highlightEnd);
}

void TextList::removeLine(std::u16string_view text)
{
    auto found = std::find_if(m_lines.begin(), m_lines.end(), [&](const TextListLine& line) { return line.text == text; });
    if (found == m_lines.end())
        return;
    const int32_t removed = found->height;
    m_lines.erase(found);
    if (isAtBottom())
        m_scrollPos -= removed;
    m_maxScroll -= removed;
    GumpHandle self(this);
    report();
    if (self)
        redraw();
}

void TextList::clear()
{
    for (const TextListLine& line : m_lines)
        m_maxScroll -= line.height;
    m_lines.clear();
    m_scrollPos = 0;
    GumpHandle self(this);
    if (ControlGump* owner = controlParent())
        owner->setScrollRange(0, m_maxScroll, m_listId);
    if (self)
        redraw();
}

void TextList::remeasureAll()
{
    int32_t total = 0;
    for (TextListLine& line : m_lines) {
        line.height = measureHeight(line.text);
        total += line.height;
    }
    m_maxScroll = total - height();
    m_scrollPos = m_maxScroll;
    report();
}

void TextList::remeasureEditLine()
{
    if (m_lines.empty())
        return;
    m_lines.back().height = measureHeight(m_lines.back().text);
    int32_t total = 0;
    for (const TextListLine& line : m_lines)
        total += line.height;
    m_maxScroll = total - height();
    m_scrollPos = m_maxScroll;
    report();
}

void TextList::setScrollPos(int32_t position)
{
    m_scrollPos = position;
    GumpHandle self(this);
    report();
    if (self)
        redraw();
}

void TextList::scrollTo(int32_t position, int32_t range, CGump*)
{
    if (m_maxScroll <= 0 || range <= 0)
        return;
    m_scrollPos = int32_t(int64_t(position) * m_maxScroll / range);
    redraw();
}

void TextList::scrollStep(int32_t direction, CGump*)
{
    const int32_t before = m_scrollPos;
    int32_t position = m_scrollPos + (direction != 0 ? kScrollStep : -kScrollStep);
    // Not below 0, then not past the maximum: while the content is shorter
    // than the view the maximum (negative) wins.
    position = std::min(std::max(position, 0), m_maxScroll);
    m_scrollPos = position;
    if (m_scrollPos == before)
        return;
    GumpHandle self(this);
    report();
    if (self)
        redraw();
}

void TextList::syncEditCursor()
{
    m_editCursor = m_lines.empty() ? 0 : int32_t(m_lines.back().text.size());
    redraw();
}

const std::u16string& TextList::editText() const
{
    static const std::u16string kEmpty;
    return m_lines.empty() ? kEmpty : m_lines.back().text;
}

int32_t TextList::editLineHeight() const { return m_lines.empty() ? 0 : m_lines.back().height; }

int32_t TextList::measureEditLine()
{
    FontScope font(*this);
    int32_t measuredWidth = 0;
    int32_t height = 0;
    int32_t zero = 0;
    measureUnicodeText(editText().c_str(), measuredWidth, height, zero);
    return measuredWidth == 0 ? 0 : measuredWidth + 4;
}

void TextList::setEditText(std::u16string_view text) { changeEditText(text, false); }

void TextList::appendEditText(std::u16string_view text) { changeEditText(text, true); }

void TextList::changeEditText(std::u16string_view text, bool append)
{
    if (m_lines.empty())
        return;
    std::u16string& line = m_lines.back().text;
    // A '$' at the end of the given text submits the line without it.
    const bool submit = !text.empty() && text.back() == u'$';
    if (submit)
        text.remove_suffix(1);
    if (!append)
        line.clear();
    // The line holds no more than typing could put into it.
    const size_t room = size_t(kMaxEditLength) - std::min(line.size(), size_t(kMaxEditLength));
    line.append(text.substr(0, room));
    remeasureEditLine();
    if (submit)
        onKey(13);
    else
        redraw();
}

const TextListLine* TextList::lineAtCursor(int32_t& top)
{
    top = 0;
    int32_t x = 0;
    int32_t y = 0;
    service<GumpPointer>().pointerPosition(x, y);
    screenToLocal(x, y);
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return nullptr;
    int32_t bottom = height() + m_maxScroll - m_scrollPos;
    for (auto line = m_lines.rbegin(); line != m_lines.rend(); ++line) {
        const int32_t lineTop = bottom - line->height;
        if (y >= lineTop && y < bottom) {
            top = lineTop;
            return &*line;
        }
        if (lineTop < 0)
            return nullptr;
        bottom = lineTop;
    }
    return nullptr;
}

void TextList::redraw()
{
    GumpPage& face = *page(0);
    if (!face.isAllocated())
        return;
    if (m_background < 0) {
        int32_t artWidth = 0;
        int32_t artHeight = 0;
        if (getGumpArtSize(-m_background, artWidth, artHeight) && artHeight > 0)
            tileOpaque(-m_background, face, 0, 0, face.width, face.height);
        else
            m_background = 0;
    }
    if (m_background >= 0) {
        uint16_t fill = uint16_t(m_background);
        if (isTextPixelFormat565())
            fill = convert555To565(fill);
        std::fill(face.pixels.begin(), face.pixels.end(), fill);
    }
    FontScope font(*this);
    const TextSurface surface = face.surface();
    const TextClip clip { kTextInset, 0, face.width - kTextInset, face.height };
    const int32_t wrapWidth = face.width - 2 * kTextInset;
    int32_t bottom = face.height + m_maxScroll - m_scrollPos;
    int32_t newestTop = 0;
    for (auto line = m_lines.rbegin(); line != m_lines.rend(); ++line) {
        const int32_t top = bottom - line->height;
        if (line == m_lines.rbegin())
            newestTop = top;
        if (top < face.height) {
            const uint16_t colour = uint16_t(line->colour);
            if (m_wrap)
                drawUnicodeTextWrappedSelected(surface, wrapWidth, line->text.c_str(), kTextInset, top, colour, clip,
                    uint16_t(line->highlightColour), line->highlightStart, line->highlightEnd);
            else
                drawUnicodeTextLineSelected(surface, line->text.c_str(), kTextInset, top, colour, clip,
                    uint16_t(line->highlightColour), line->highlightStart, line->highlightEnd);
        }
        if (top < 0)
            break;
        bottom = top;
    }
    if (m_editCursor >= 0 && !m_lines.empty() && newestTop >= 0 && newestTop < face.height) {
        const std::u16string& text = m_lines.back().text;
        int32_t caretX = 0;
        int32_t caretY = 0;
        unicodeCaretPosition(std::min(m_editCursor, int32_t(text.size())), text.c_str(),
            m_wrap ? wrapWidth : kNoWrapWidth, caretX, caretY);
        drawUnicodeTextLine(surface, u"_", kTextInset + caretX, newestTop + caretY, kCaretColour, clip);
    }
    if (!m_selectable)
        return;
    int32_t top = 0;
    const TextListLine* hovered = lineAtCursor(top);
    if (!hovered)
        return;
    const uint16_t mask = isTextPixelFormat565() ? 0xFFFF : 0x7FFF;
    for (int32_t y = std::max(top, 0); y < std::min(top + hovered->height, face.height); ++y)
        for (int32_t x = kTextInset; x < face.width - kTextInset; ++x)
            face.pixels[size_t(y) * size_t(face.width) + size_t(x)] ^= mask;
}

void TextList::onLeftDown(int32_t x, int32_t y)
{
    if (!m_selectable)
        passToParent(&CGump::onLeftDown, x, y);
}

void TextList::onLeftUp(int32_t x, int32_t y)
{
    if (!m_selectable) {
        passToParent(&CGump::onLeftUp, x, y);
        return;
    }
    service<GumpPointer>().clearPointerCaptureIf(this);
    int32_t top = 0;
    const TextListLine* line = lineAtCursor(top);
    ControlGump* owner = controlParent();
    if (line && owner) {
        const std::u16string text = line->text;
        owner->notify(text, this);
    }
}

void TextList::onMouseOver(int32_t x, int32_t y)
{
    CGump::onMouseOver(x, y);
    if (m_selectable)
        redraw();
}

void TextList::onMouseLeave()
{
    CGump::onMouseLeave();
    if (m_selectable)
        redraw();
}

void TextList::onDrag(int32_t x, int32_t y)
{
    if (m_selectable)
        redraw();
    else
        passToParent(&CGump::onDrag, x, y);
}

void TextList::onRightUp(int32_t x, int32_t y) { passToParent(&CGump::onRightUp, x, y); }

void TextList::onHoverTick()
{
    if (CGump* owner = parent())
        owner->onHoverTick();
}

void TextList::onFocusLost()
{
    if (controlSet() == ControlSet::Chat)
        return;
    m_editCursor = -1;
    redraw();
}

void TextList::onKey(uint32_t code)
{
    if (code == 27) {
        gumpReleaseFocus();
        return;
    }
    if (m_lines.empty() || m_editCursor < 0)
        return;
    std::u16string& text = m_lines.back().text;
    m_editCursor = std::min(m_editCursor, int32_t(text.size()));
    auto deleteAtCursor = [&]() {
        if (m_editCursor < int32_t(text.size())) {
            text.erase(size_t(m_editCursor), 1);
            remeasureEditLine();
        }
    };
    switch (code) {
    case 8:
        if (m_editCursor >= 1) {
            --m_editCursor;
            deleteAtCursor();
        }
        break;
    case 9:
        break;
    case 13: {
        GumpHandle self(this);
        ControlGump* owner = controlParent();
        const TextListLine edit = m_lines.back();
        const bool accepted = owner ? owner->submitText(edit.text, this) : true;
        if (!self)
            return;
        if (accepted) {
            m_editCursor = 0;
            addLine(u"", edit.colour, edit.highlightColour, edit.highlightStart, edit.highlightEnd);
            if (!self)
                return;
        }
        break;
    }
    case GumpKey::kEnd:
    case GumpKey::kDown:
        m_editCursor = int32_t(text.size());
        break;
    case GumpKey::kHome:
    case GumpKey::kUp:
        m_editCursor = 0;
        break;
    case GumpKey::kLeft:
        if (m_editCursor >= 1)
            --m_editCursor;
        break;
    case GumpKey::kRight:
        if (m_editCursor < int32_t(text.size()))
            ++m_editCursor;
        break;
    case GumpKey::kDelete:
        deleteAtCursor();
        break;
    default: {
        bool typeable = false;
        {
            FontScope font(*this);
            typeable = code <= 0xFFFF && hasUnicodeGlyph(char16_t(code));
        }
        if (!typeable || int32_t(text.size()) >= kMaxEditLength)
            return;
        text.insert(size_t(m_editCursor), 1, char16_t(code));
        ++m_editCursor;
        remeasureEditLine();
        break;
    }
    }
    redraw();
}

void appendSpeakerLine(TextList& list, std::u16string_view name, std::u16string_view text)
{
    if (name.empty() && text.empty())
        return;
    std::u16string line;
    if (!name.empty()) {
        line.assign(name);
        line += u": ";
    }
    line.append(text);
    const std::string& language = getLanguageCode();
    list.addLine(line, settings().getColourSetting(WString(u"ChatColorText")), 0, -1, -1,
        std::string_view(language).substr(0, 3));
}
