// Laying out an HtmlDocument: runs flow left to right in 18-pixel lines,
// wrapped at blanks and at the CJK break points, each line placed by its
// first run's indent and alignment. Drawing, measuring and the caret
// functions each walk the runs once; every look-ahead (a word, a line's
// width) moves forward from where the walk stands, so the work is linear in
// the document's length.
#include "text/html_layout.h"

#include "text/unicode_font.h"

#include <algorithm>

namespace {

constexpr int32_t kLineFeedCellWidth = 8;
constexpr int32_t kEllipsisDots = 3;

bool isLinkRun(const HtmlRun& run) { return run.style & UnicodeStyle::kLink; }

// Inverts the pixels of a rectangle inside the clip, keeping to the pixel
// format; with `keepOpaque` a pixel that becomes 0 becomes 1.
void invertRect(const TextSurface& surface, const TextClip& clip, int32_t x, int32_t y, int32_t width, int32_t height,
    bool keepOpaque)
{
    const uint16_t mask = isTextPixelFormat565() ? 0xFFFF : 0x7FFF;
    TextClip area = TextClip { x, y, x + width, y + height }.intersected(clip);
    for (int32_t row = area.top; row < area.bottom; ++row) {
        uint16_t* pixel = surface.pixels + size_t(row) * size_t(surface.pitch) + size_t(area.left);
        for (int32_t column = area.left; column < area.right; ++column, ++pixel) {
            uint16_t inverted = uint16_t(~*pixel & mask);
            *pixel = (keepOpaque && inverted == 0) ? 1 : inverted;
        }
    }
}

} // namespace

HtmlLayout::HtmlLayout(HtmlDocument& document)
    : m_document(document)
{
    // The one saved level holds the caller's font and style until the end.
    pushUnicodeStyle(0);
}

HtmlLayout::~HtmlLayout() { popUnicodeStyle(); }

void HtmlLayout::useStyle(uint32_t style)
{
    if (style == m_style && getUnicodeStyle() == style)
        return;
    popUnicodeStyle();
    pushUnicodeStyle(style);
    m_style = style;
}

int32_t HtmlLayout::advance(char16_t code, uint32_t style)
{
    useStyle(style);
    return unicodeDrawnAdvance(code);
}

bool HtmlLayout::isWrapping() const
{
    return !(m_document.flags & (HtmlFlag::kSingleLine | HtmlFlag::kNoWrap | HtmlFlag::kEllipsis));
}

char16_t HtmlLayout::previousChar(int32_t run, int32_t position) const
{
    const std::vector<HtmlRun>& runs = m_document.m_runs;
    if (position > 0)
        return runs[size_t(run)].text[size_t(position) - 1];
    for (int32_t r = run - 1; r >= 0; --r) {
        if (!runs[size_t(r)].text.empty())
            return runs[size_t(r)].text.back();
    }
    return 0;
}

int32_t HtmlLayout::wordWidth(int32_t run, int32_t position)
{
    const std::vector<HtmlRun>& runs = m_document.m_runs;
    int32_t width = 0;
    bool first = true;
    char16_t previous = 0;
    for (size_t r = size_t(run); r < runs.size(); ++r, position = 0) {
        const HtmlRun& current = runs[r];
        for (size_t i = size_t(position); i < current.text.size(); ++i) {
            char16_t c = current.text[i];
            if (c == u' ' || c == u'\n')
                return width;
            if (!first && canBreakBetween(previous, c))
                return width;
            width += advance(c, current.style);
            previous = c;
            first = false;
        }
    }
    return width;
}

int32_t HtmlLayout::widthOfNextThree(int32_t run, int32_t position)
{
    const std::vector<HtmlRun>& runs = m_document.m_runs;
    int32_t width = 0;
    int32_t counted = 0;
    for (size_t r = size_t(run); r < runs.size(); ++r, position = 0) {
        const HtmlRun& current = runs[r];
        for (size_t i = size_t(position); i < current.text.size(); ++i) {
            if (current.text[i] == u'\n' || counted == kEllipsisDots)
                return width;
            width += advance(current.text[i], current.style);
            ++counted;
        }
    }
    return width;
}

int32_t HtmlLayout::lineStartX(int32_t run, int32_t position, int32_t width, bool wrapping)
{
    const std::vector<HtmlRun>& runs = m_document.m_runs;
    if (run < 0 || size_t(run) >= runs.size())
        return 0;
    const HtmlRun& starting = runs[size_t(run)];
    const int32_t indent = starting.indent;
    const bool right = starting.style & UnicodeStyle::kAlignRight;
    const bool centred = starting.style & UnicodeStyle::kCentred;
    if (!right && !centred)
        return indent;
    // The line's width: up to the next line feed, or to the word that would
    // not fit.
    const int32_t room = width - indent;
    int32_t lineWidth = 0;
    bool done = false;
    for (size_t r = size_t(run); r < runs.size() && !done; ++r, position = 0) {
        const HtmlRun& current = runs[r];
        for (size_t i = size_t(position); i < current.text.size(); ++i) {
            char16_t c = current.text[i];
            if (c == u'\n' && !(m_document.flags & HtmlFlag::kSingleLine)) {
                done = true;
                break;
            }
            int32_t step = advance(c, current.style);
            if (c == u' ' && wrapping && lineWidth + step + wordWidth(int32_t(r), int32_t(i + 1)) >= room) {
                done = true;
                break;
            }
            lineWidth += step;
        }
    }
    int32_t free = width - indent - lineWidth - 1;
    if (free < 0)
        free = 0;
    return indent + (right ? free : free / 2);
}

uint32_t HtmlLayout::styleToDraw(int32_t run, int32_t width)
{
    uint32_t style = m_document.m_runs[size_t(run)].style;
    if (!(m_document.flags & HtmlFlag::kShrinkToFit) || runFitsLine(run, style, width))
        return style;
    // A run too wide for a line is drawn smaller: big text loses BIG, and
    // when that is not enough (or it was not big) it becomes SMALL.
    if (style & UnicodeStyle::kBig) {
        style &= ~uint32_t(UnicodeStyle::kBig);
        if (runFitsLine(run, style, width))
            return style;
    }
    return style | UnicodeStyle::kSmall;
}

bool HtmlLayout::runFitsLine(int32_t run, uint32_t style, int32_t width)
{
    const HtmlRun& current = m_document.m_runs[size_t(run)];
    int32_t lineWidth = current.indent;
    for (char16_t c : current.text) {
        if (c == u'\n') {
            lineWidth = current.indent;
            continue;
        }
        lineWidth += advance(c, style);
        if (lineWidth >= width)
            return false;
    }
    return true;
}

// The drawing pass. Positions follow the layout rules; every pixel written
// lies inside the clip.
int32_t HtmlLayout::draw(
    const TextSurface& surface, const TextClip& clip, int32_t scrollY, int32_t caret, int32_t selectionEnd)
{
    HtmlDocument& document = m_document;
    const uint32_t flags = document.flags;
    const bool wrapping = isWrapping();
    const GlyphEdge edge = (flags & HtmlFlag::kOutline) ? GlyphEdge::Outline
        : (flags & HtmlFlag::kShadow)                   ? GlyphEdge::Shadow
                                                        : GlyphEdge::None;
    const int32_t base = clip.left + document.leftMargin;
    const int32_t right = clip.right - document.rightMargin;
    const int32_t firstLineTop = clip.top + document.topMargin - scrollY;
    int32_t lineTop = firstLineTop;
    int32_t x = base + lineStartX(0, 0, right - base, wrapping);
    int32_t count = 0; // characters passed, over all runs
    const bool hasSelection = caret >= 0 && selectionEnd >= 0;
    const int32_t low = std::min(caret, selectionEnd);
    const int32_t high = std::max(caret, selectionEnd);
    bool caretDrawn = caret < 0;
    bool documentStarted = false;
    bool skippingToLineEnd = false;

    auto drawCaretAt = [&](int32_t at) {
        if (caretDrawn)
            return;
        caretDrawn = true;
        invertRect(surface, clip, at, lineTop, 1, kHtmlLineHeight, false);
    };

    const int32_t runsToLay = (flags & HtmlFlag::kFirstRunOnly) ? std::min(1, document.runCount()) : document.runCount();
    for (int32_t r = 0; r < runsToLay; ++r) {
        HtmlRun& run = document.m_runs[size_t(r)];
        HtmlLink* link = run.link >= 0 && run.link < document.linkCount() ? &document.m_links[size_t(run.link)] : nullptr;
        int32_t colour = run.colour < 0 ? document.textColour : run.colour;
        if (isLinkRun(run) && link)
            colour = (link->visited || pageHistoryContains(link->href)) ? document.visitedLinkColour
                                                                         : document.linkColour;
        const uint32_t style = styleToDraw(r, right - base);
        useStyle(style);
        if (link && link->anchorY == -1)
            link->anchorY = lineTop + scrollY;

        int32_t segmentStart = x;
        auto closeSegment = [&]() {
            if (!link || !isLinkRun(run))
                return;
            int32_t end = std::min(x, clip.right);
            if (end > segmentStart && int32_t(link->rects.size()) < kHtmlMaxHitRects)
                link->rects.push_back({ segmentStart, lineTop, end, lineTop + kHtmlLineHeight });
        };
        auto newLine = [&](int32_t position) {
            closeSegment();
            lineTop += kHtmlLineHeight;
            x = base + lineStartX(r, position, right - base, wrapping);
            useStyle(style);
            segmentStart = x;
        };

        const std::u16string& text = run.text;
        for (int32_t i = 0; i < int32_t(text.size()); ++i) {
            const char16_t c = text[size_t(i)];
            const int32_t n = ++count;
            const bool selected = hasSelection && n > low && n <= high;
            const bool caretHere = n == caret + 1;
            const bool firstOfDocument = !documentStarted;
            documentStarted = true;
            if (c == u'\n') {
                if (flags & HtmlFlag::kSingleLine)
                    continue;
                skippingToLineEnd = false;
                if (selected)
                    invertRect(surface, clip, x, lineTop, kLineFeedCellWidth, kHtmlLineHeight, true);
                if (caretHere)
                    drawCaretAt(x);
                if (firstOfDocument) {
                    closeSegment();
                    x = base + lineStartX(r, i + 1, right - base, wrapping);
                    useStyle(style);
                    segmentStart = x;
                } else {
                    newLine(i + 1);
                }
                continue;
            }
            if (skippingToLineEnd)
                continue;
            if (c == u' ') {
                const int32_t blank = getSpaceWidth();
                if (!wrapping || x + blank + wordWidth(r, i + 1) < right) {
                    useStyle(style);
                    drawUnicodeGlyph(surface, clip, c, x, lineTop, uint16_t(colour), GlyphEdge::None);
                    if (selected)
                        invertRect(surface, clip, x, lineTop, blank, kHtmlLineHeight, true);
                    if (caretHere)
                        drawCaretAt(x);
                    x += blank;
                } else {
                    useStyle(style);
                    if (selected)
                        invertRect(surface, clip, x, lineTop, blank, kHtmlLineHeight, true);
                    if (caretHere)
                        drawCaretAt(x);
                    newLine(i + 1);
                }
                continue;
            }
            const int32_t step = advance(c, style);
            if (step == 0 && !hasUnicodeGlyph(c))
                continue;
            if (i > 0 && wrapping && canBreakBetween(text[size_t(i) - 1], c) && x + wordWidth(r, i) >= right)
                newLine(i);
            if ((flags & HtmlFlag::kEllipsis) && x + widthOfNextThree(r, i) >= right) {
                // This character and the next two become dots; the rest of
                // the line is left out.
                useStyle(style);
                int32_t dots = 0;
                while (dots < kEllipsisDots && i + dots < int32_t(text.size()) && text[size_t(i + dots)] != u'\n') {
                    x += drawUnicodeGlyph(surface, clip, u'.', x, lineTop, uint16_t(colour), edge);
                    ++dots;
                }
                count += dots - 1;
                i += dots - 1;
                skippingToLineEnd = true;
                continue;
            }
            // Lines above or below the clip are laid out but not drawn.
            if (lineTop < clip.bottom && lineTop + kHtmlLineHeight > clip.top) {
                useStyle(style);
                drawUnicodeGlyph(surface, clip, c, x, lineTop, uint16_t(colour), edge);
                if (selected)
                    invertRect(surface, clip, x, lineTop, step, kHtmlLineHeight, true);
            }
            if (caretHere)
                drawCaretAt(x);
            x += step;
        }
        closeSegment();
        if (caret == count)
            drawCaretAt(x);
    }
    return document.topMargin + document.bottomMargin + (lineTop - firstLineTop) + kHtmlLineHeight;
}

void HtmlLayout::measure(
    int32_t width, int32_t& outWidth, int32_t& outHeight, int32_t startX, int32_t skip, bool password)
{
    HtmlDocument& document = m_document;
    const uint32_t flags = document.flags;
    const bool wrapping = isWrapping();
    const int32_t base = document.leftMargin;
    const int32_t right = width - document.rightMargin;
    int32_t x = base + (startX != 0 ? startX : lineStartX(0, 0, right - base, wrapping));
    int32_t widest = x;
    int32_t lines = 1;
    int32_t count = 0;
    bool started = false; // a character (line feeds included) was measured
    bool anyVisible = false; // a character other than a line feed was
    bool endsInOpenedLine = false; // the last character was a line feed that opened a line
    const int32_t runsToLay = (flags & HtmlFlag::kFirstRunOnly) ? std::min(1, document.runCount()) : document.runCount();
    for (int32_t r = 0; r < runsToLay; ++r) {
        const HtmlRun& run = document.m_runs[size_t(r)];
        const uint32_t style = styleToDraw(r, right - base);
        for (int32_t i = 0; i < int32_t(run.text.size()); ++i) {
            if (count++ < skip)
                continue;
            const char16_t c = run.text[size_t(i)];
            if (c == u'\n') {
                if (flags & HtmlFlag::kSingleLine)
                    continue;
                // As in drawing, a line feed that starts the document opens
                // no line.
                endsInOpenedLine = started;
                if (started)
                    ++lines;
                started = true;
                x = base + lineStartX(r, i + 1, right - base, wrapping);
                continue;
            }
            endsInOpenedLine = false;
            const char16_t shown = password ? u'*' : c;
            const int32_t step = advance(shown, style);
            if (c != u' ' && wrapping) {
                // Measuring wraps only where a word starts, and the first
                // word too: one wider than the line moves to a line of its
                // own.
                const char16_t previous = previousChar(r, i);
                const bool breakPoint = !anyVisible || previous == u' ' || canBreakBetween(previous, c);
                if (breakPoint && x + (password ? step : wordWidth(r, i)) >= right) {
                    ++lines;
                    x = base + lineStartX(r, i, right - base, wrapping);
                }
            }
            started = true;
            anyVisible = true;
            x += step;
            widest = std::max(widest, x);
        }
    }
    // A line feed that ends the text opens no line of its own.
    if (endsInOpenedLine)
        --lines;
    outWidth = widest;
    outHeight = document.topMargin + document.bottomMargin + kHtmlLineHeight * lines;
}

std::vector<HtmlLayout::CaretLine> HtmlLayout::firstRunLines(int32_t width)
{
    std::vector<CaretLine> lines;
    const HtmlRun& run = m_document.m_runs.front();
    const std::u16string& text = run.text;
    const bool breaksAtLineFeed = !(m_document.flags & HtmlFlag::kSingleLine);
    int32_t x = 0;
    CaretLine line;
    for (int32_t i = 0; i < int32_t(text.size()); ++i) {
        const char16_t c = text[size_t(i)];
        if (c == u'\n' && breaksAtLineFeed) {
            line.end = i;
            lines.push_back(line);
            line = { i + 1, i + 1 };
            x = 0;
            continue;
        }
        const int32_t step = advance(c, run.style);
        if (c == u' ') {
            if (x + step + wordWidth(0, i + 1) >= width) {
                line.end = i;
                lines.push_back(line);
                line = { i + 1, i + 1 };
                x = 0;
                continue;
            }
        } else if (i > line.start && canBreakBetween(text[size_t(i) - 1], c) && x + wordWidth(0, i) >= width) {
            line.end = i;
            lines.push_back(line);
            line = { i, i };
            x = 0;
        }
        x += step;
    }
    line.end = int32_t(text.size());
    lines.push_back(line);
    return lines;
}

int32_t HtmlDocument::draw(uint16_t* surface, int32_t width, int32_t height, const TextClip* clip, int32_t scrollY,
    int32_t caret, int32_t selectionEnd, bool fillBackground)
{
    for (HtmlLink& link : m_links) {
        link.rects.clear();
        link.anchorY = -1;
    }
    if (!surface || width <= 0 || height <= 0 || !hasAnyUnicodeFont())
        return 0;
    const TextSurface target { surface, width, width, height };
    const TextClip area = clipToSurface(clip ? *clip : wholeSurface(target), target);
    scrollY = std::max(scrollY, 0);
    if (fillBackground) {
        for (int32_t y = area.top; y < area.bottom; ++y)
            std::fill_n(surface + size_t(y) * size_t(width) + size_t(area.left), area.width(), uint16_t(bgColour));
    }
    HtmlLayout layout(*this);
    return layout.draw(target, area, scrollY, caret, selectionEnd);
}

void HtmlDocument::measure(
    int32_t width, int32_t& outWidth, int32_t& outHeight, int32_t startX, int32_t skip, bool password)
{
    outWidth = outHeight = 0;
    if (!hasAnyUnicodeFont())
        return;
    HtmlLayout layout(*this);
    layout.measure(width, outWidth, outHeight, startX, skip, password);
}

int32_t HtmlDocument::wordWidth(int32_t run, int32_t position)
{
    if (run < 0 || run >= runCount())
        return 0;
    HtmlLayout layout(*this);
    return layout.wordWidth(run, position);
}

int32_t HtmlDocument::widthOfNextThree(int32_t run, int32_t position)
{
    if (run < 0 || run >= runCount())
        return 0;
    HtmlLayout layout(*this);
    return layout.widthOfNextThree(run, position);
}

int32_t HtmlDocument::lineStartX(int32_t run, int32_t position, int32_t width)
{
    HtmlLayout layout(*this);
    return layout.lineStartX(
        run, position, width, !(flags & (HtmlFlag::kSingleLine | HtmlFlag::kNoWrap | HtmlFlag::kEllipsis)));
}

bool HtmlDocument::runFitsLine(int32_t run, uint32_t style, int32_t width)
{
    if (run < 0 || run >= runCount())
        return true;
    HtmlLayout layout(*this);
    return layout.runFitsLine(run, style, width);
}
