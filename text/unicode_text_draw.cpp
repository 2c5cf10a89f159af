#include "text/unicode_font.h"

#include "gfx/hue_table.h"

#include <algorithm>

namespace {

// The colours of the caret codes in 5-5-5 and in 5-6-5.
struct ColourCode {
    char16_t letter;
    uint16_t colour555;
    uint16_t colour565;
};
constexpr ColourCode kColourCodes[] = {
    { u'F', 0x319B, 0x633B },
    { u'L', 0x7FE0, 0xFFE0 },
    { u'M', 0x7C00, 0xF800 },
    { u'R', 0x4A52, 0x94B2 },
};

// Hue 54's colour 30: text in it shows '^' as it is.
constexpr int32_t kLiteralCaretHue = 54;
constexpr int32_t kLiteralCaretLevel = 30;

// Row of the underline below the line's top.
constexpr int32_t kUnderlineRow = 14;

struct LineOptions {
    bool colourCodes = false;
    bool tight = false;
    bool selection = false;
    uint16_t selectionColour = 0;
    int32_t selectionStart = 0;
    int32_t selectionEnd = -1;
};

// Positions here are 64-bit: a line may start anywhere in 32 bits, and the
// glyph offsets and advances added to it must not wrap round into the clip.
class LinePainter {
public:
    LinePainter(const TextSurface& surface, const TextClip& clip)
        : m_surface(surface)
        , m_area(clipToSurface(clip, surface))
    {
    }

    void plot(int64_t x, int64_t y, uint16_t colour)
    {
        if (x >= m_area.left && x < m_area.right && y >= m_area.top && y < m_area.bottom)
            m_surface.pixels[size_t(x) + size_t(m_surface.pitch) * size_t(y)] = colour;
    }

    // The underline is clipped like the glyph pixels.
    void underline(int64_t x, int64_t y, int32_t advance, uint16_t colour)
    {
        if (!isUnicodeUnderline())
            return;
        for (int32_t i = 0; i < advance; ++i)
            plot(x + i, y + kUnderlineRow, colour);
    }

    void glyph(int64_t x, int64_t y, const uint8_t* rows, int32_t xOffset, int32_t yOffset, int32_t width,
        int32_t height, uint16_t colour, bool tight, GlyphEdge edge = GlyphEdge::None)
    {
        bool italic = isUnicodeItalic();
        bool bold = isUnicodeBold();
        size_t rowBytes = (size_t(width) + 7) / 8;
        if (edge != GlyphEdge::None)
            edges(x, y, rows, xOffset, yOffset, width, height, edge == GlyphEdge::Outline);
        for (int32_t r = 0; r < height; ++r) {
            const uint8_t* row = rows + rowBytes * size_t(r);
            int32_t shift = italic ? (height - r - 1) / 2 : 0;
            bool firstInRow = true;
            for (int32_t c = 0; c < width; ++c) {
                if (!(row[c / 8] & (0x80 >> (c % 8))))
                    continue;
                uint16_t ink = colour;
                if (tight && firstInRow)
                    ink = uint16_t((colour >> 1) & 0x3DEF);
                firstInRow = false;
                int64_t px = x + xOffset + c + shift;
                int64_t py = y + yOffset + r;
                plot(px, py, ink);
                if (bold)
                    plot(px + 1, py, ink);
            }
        }
    }

private:
    // The value-1 pixels beside the ink, drawn before the ink so that ink
    // always wins: right and below for a shadow; left and above as well for
    // an outline, where the neighbour is not ink itself.
    void edges(int64_t x, int64_t y, const uint8_t* rows, int32_t xOffset, int32_t yOffset, int32_t width,
        int32_t height, bool outline)
    {
        bool italic = isUnicodeItalic();
        size_t rowBytes = (size_t(width) + 7) / 8;
        auto inked = [&](int32_t c, int32_t r) {
            return c >= 0 && r >= 0 && c < width && r < height && (rows[rowBytes * size_t(r) + size_t(c / 8)] & (0x80 >> (c % 8)));
        };
        for (int32_t r = 0; r < height; ++r) {
            int32_t shift = italic ? (height - r - 1) / 2 : 0;
            for (int32_t c = 0; c < width; ++c) {
                if (!inked(c, r))
                    continue;
                int64_t px = x + xOffset + c + shift;
                int64_t py = y + yOffset + r;
                plot(px + 1, py, 1);
                plot(px, py + 1, 1);
                if (outline) {
                    if (!inked(c - 1, r))
                        plot(px - 1, py, 1);
                    if (!inked(c, r - 1))
                        plot(px, py - 1, 1);
                }
            }
        }
    }

    const TextSurface& m_surface;
    TextClip m_area;
};

bool isLiteralCaretColour(uint16_t colour)
{
    const HueEntry* hue = textHueEntry(kLiteralCaretHue);
    return hue && hue->colours[kLiteralCaretLevel] == colour;
}

void drawLine(const TextSurface& surface, const char16_t* text, int64_t x, int64_t y, uint16_t lineColour,
    const TextClip& clip, const LineOptions& options)
{
    if (!text || !surface.pixels)
        return;
    LinePainter painter(surface, clip);
    uint16_t current = lineColour;
    for (int32_t i = 0; text[i]; ++i) {
        char16_t c = text[i];
        uint16_t colour = current;
        if (options.selection && i >= options.selectionStart && i <= options.selectionEnd)
            colour = options.selectionColour;
        if (c == u' ') {
            int32_t advance = getSpaceWidth();
            painter.underline(x, y, advance, colour);
            x += advance;
            continue;
        }
        if (options.colourCodes && c == u'^' && !isLiteralCaretColour(current)) {
            char16_t letter = text[i + 1];
            const ColourCode* code = nullptr;
            for (const ColourCode& candidate : kColourCodes)
                if (candidate.letter == letter)
                    code = &candidate;
            if (code) {
                current = isTextPixelFormat565() ? code->colour565 : code->colour555;
                ++i;
                continue;
            }
            if (letter == u'n') {
                current = lineColour;
                ++i;
                continue;
            }
            if (current != lineColour && letter) {
                ++i;
                continue;
            }
        }
        int32_t xOffset = 0, yOffset = 0, width = 0, height = 0;
        const uint8_t* rows = getUnicodeGlyph(c, xOffset, yOffset, width, height);
        if (!rows)
            continue;
        painter.glyph(x, y, rows, xOffset, yOffset, width, height, colour, options.tight);
        int32_t advance = unicodeDrawnAdvance(c);
        painter.underline(x, y, advance, colour);
        x += advance;
    }
}

} // namespace

int32_t drawUnicodeGlyph(const TextSurface& surface, const TextClip& clip, char16_t code, int32_t x, int32_t y,
    uint16_t colour, GlyphEdge edge)
{
    if (!surface.pixels)
        return 0;
    LinePainter painter(surface, clip);
    if (code == u' ') {
        int32_t advance = getSpaceWidth();
        painter.underline(x, y, advance, colour);
        return advance;
    }
    int32_t xOffset = 0, yOffset = 0, width = 0, height = 0;
    const uint8_t* rows = getUnicodeGlyph(code, xOffset, yOffset, width, height);
    if (!rows)
        return 0;
    painter.glyph(x, y, rows, xOffset, yOffset, width, height, colour, getUnicodeTightFlag(), edge);
    int32_t advance = unicodeDrawnAdvance(code);
    painter.underline(x, y, advance, colour);
    return advance;
}

void drawUnicodeTextLine(const TextSurface& surface, const char16_t* text, int32_t x, int32_t y, uint16_t colour,
    const TextClip& clip)
{
    LineOptions options;
    options.colourCodes = getUnicodeColourCodes();
    options.tight = getUnicodeTightFlag();
    drawLine(surface, text, x, y, colour, clip, options);
}

void drawUnicodeTextLineSelected(const TextSurface& surface, const char16_t* text, int32_t x, int32_t y,
    uint16_t colour, const TextClip& clip, uint16_t selectionColour, int32_t selectionStart, int32_t selectionEnd)
{
    LineOptions options;
    options.tight = getUnicodeTightFlag();
    options.selection = true;
    options.selectionColour = selectionColour;
    options.selectionStart = selectionStart;
    options.selectionEnd = selectionEnd;
    drawLine(surface, text, x, y, colour, clip, options);
}

void drawUnicodeTextEllipsis(const TextSurface& surface, const char16_t* text, int32_t x, int32_t y, uint16_t colour,
    const TextClip& clip)
{
    if (!text || !surface.pixels)
        return;
    int32_t sum = 0, lineHeight = 0, zero = 0;
    measureUnicodeText(text, sum, lineHeight, zero);
    if (int64_t(clip.right) - x >= sum) {
        drawUnicodeTextLine(surface, text, x, y, colour, clip);
        return;
    }
    int32_t dotsWidth = measureUnicodeString(u"...");
    int32_t extra = (isUnicodeBold() ? 1 : 0) + (isUnicodeItalic() ? 1 : 0);
    LinePainter painter(surface, clip);
    int64_t penX = x;
    bool cutting = false;
    int32_t dots = 0;
    for (int32_t i = 0; text[i] && dots < 3; ++i) {
        char16_t c = text[i];
        int32_t xOffset = 0, yOffset = 0, width = 0, height = 0;
        getUnicodeGlyph(c, xOffset, yOffset, width, height);
        if (!cutting && penX + xOffset + width + dotsWidth > clip.right)
            cutting = true;
        if (cutting) {
            c = u'.';
            ++dots;
        }
        const uint8_t* rows = getUnicodeGlyph(c, xOffset, yOffset, width, height);
        if (c != u' ' && !rows)
            continue;
        if (rows)
            painter.glyph(penX, y, rows, xOffset, yOffset, width, height, colour, false);
        int32_t advance = xOffset + width + 1 + extra;
        painter.underline(penX, y, advance, colour);
        penX += advance;
    }
}

void drawUnicodeTextWrapped(const TextSurface& surface, int32_t width, const char16_t* text, int32_t x, int32_t y,
    uint16_t colour, const TextClip& clip, bool centre)
{
    int64_t top = y;
    for (const UnicodeWrappedLine& line : wrapUnicodeLines(text, width)) {
        int64_t lineX = x;
        if (centre) {
            int32_t lineWidth = 0, height = 0, zero = 0;
            measureUnicodeText(line.text.c_str(), lineWidth, height, zero);
            lineX = int64_t(x) + (int64_t(width) - lineWidth) / 2;
        }
        drawUnicodeTextLine(surface, line.text.c_str(), clampedPosition(lineX), clampedPosition(top), colour, clip);
        top += kUnicodeLineHeight;
    }
}

void drawUnicodeTextWrappedSelected(const TextSurface& surface, int32_t width, const char16_t* text, int32_t x,
    int32_t y, uint16_t colour, const TextClip& clip, uint16_t selectionColour, int32_t selectionStart,
    int32_t selectionEnd)
{
    int64_t top = y;
    for (const UnicodeWrappedLine& line : wrapUnicodeLines(text, width)) {
        drawUnicodeTextLineSelected(surface, line.text.c_str(), x, clampedPosition(top), colour, clip, selectionColour,
            selectionStart - line.sourceStart, selectionEnd - line.sourceStart);
        top += kUnicodeLineHeight;
    }
}
