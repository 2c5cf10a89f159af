#include "text/ascii_font.h"

#include <algorithm>
#include <cstring>

namespace {

// Wrapping measures with the widths drawing uses, so a wrapped line fits the
// box it was wrapped for.
int32_t codeWidth(int32_t font, char c)
{
    return asciiGlyphWidth(font, uint8_t(c));
}

// Where the first line of `text` ends (index of its last character), or -1
// when the whole text fits. A blank at i >= 2 lets the line end at i - 1;
// without such a candidate the line keeps all that fit. tooWide is set when
// the very first character alone overflows.
int32_t firstLineEnd(int32_t font, const std::string& text, int32_t width, bool& tooWide)
{
    tooWide = false;
    int32_t sum = 0;
    int32_t candidate = -1;
    for (int32_t i = 0; i < int32_t(text.size()); ++i) {
        if (text[size_t(i)] == ' ' && i >= 2)
            candidate = i - 1;
        sum += codeWidth(font, text[size_t(i)]);
        if (sum > width) {
            if (i == 0) {
                tooWide = true;
                return -1;
            }
            return candidate >= 0 ? candidate : i - 1;
        }
    }
    return -1;
}

std::string cappedCopy(const char* text)
{
    size_t length = strnlen(text, kAsciiMaxWrapChars);
    return std::string(text, length);
}

} // namespace

std::vector<AsciiWrappedLine> wrapAsciiLines(int32_t font, const char* text, int32_t width, int32_t indent)
{
    std::vector<AsciiWrappedLine> lines;
    if (!isAsciiFontLoaded(font) || !text)
        return lines;
    std::string source = cappedCopy(text);
    std::string prefix;
    int32_t consumed = 0; // characters of the source taken by earlier lines
    for (;;) {
        std::string rest = prefix + source.substr(size_t(consumed));
        int32_t prefixLength = int32_t(prefix.size());
        bool tooWide = false;
        int32_t end = firstLineEnd(font, rest, width, tooWide);
        // A line that would take nothing but indent blanks makes no progress;
        // the remainder is then the last line, as when its first character is
        // too wide.
        if (end < 0 || end + 1 <= prefixLength) {
            lines.push_back({ rest, consumed, int32_t(source.size()) - consumed });
            break;
        }
        int32_t next = end + 1;
        if (next < int32_t(rest.size()) && rest[size_t(next)] == ' ')
            ++next;
        int32_t taken = next - prefixLength;
        lines.push_back({ rest.substr(0, size_t(end) + 1), consumed, taken });
        consumed += taken;
        prefix.assign(size_t(std::max(indent, 0)), ' ');
    }
    return lines;
}

int32_t drawAsciiTextWrapped(int32_t x, int32_t y, int32_t font, int32_t hue, const char* text, int32_t width,
    const TextSurface& surface, const TextClip& clip, int32_t indent, int32_t lineSpacing, bool centre)
{
    if (!isAsciiFontLoaded(font) || !text)
        return 0;
    if (!*text)
        return lineSpacing;
    int32_t top = 0;
    int32_t lastHeight = 0;
    for (const AsciiWrappedLine& line : wrapAsciiLines(font, text, width, indent)) {
        int32_t lineWidthPx = 0, height = 0, baseline = 0;
        measureAsciiText(font, line.text.c_str(), lineWidthPx, height, baseline);
        // Positions in 64 bits: the block may start anywhere in 32.
        int64_t lineX = centre ? int64_t(x) + (int64_t(width) - lineWidthPx) / 2 : x;
        int64_t lineY = int64_t(y) + top + baseline;
        drawAsciiText(
            clampedPosition(lineX), clampedPosition(lineY), font, hue, line.text.c_str(), surface, clip);
        lastHeight = lineSpacing ? lineSpacing : height;
        top += lastHeight;
    }
    return top;
}

bool wrapAsciiText(int32_t font, const char* text, int32_t width, int32_t& maxWidth, int32_t& height,
    int32_t& firstBaseline, int32_t indent)
{
    maxWidth = height = firstBaseline = 0;
    if (!isAsciiFontLoaded(font) || !text)
        return false;
    bool first = true;
    for (const AsciiWrappedLine& line : wrapAsciiLines(font, text, width, indent)) {
        int32_t lineWidthPx = 0, lineHeight = 0, baseline = 0;
        measureAsciiText(font, line.text.c_str(), lineWidthPx, lineHeight, baseline);
        maxWidth = std::max(maxWidth, lineWidthPx);
        height += lineHeight;
        if (first)
            firstBaseline = baseline;
        first = false;
    }
    return true;
}

int32_t asciiWrapIndex(int32_t font, const char* text, int32_t width)
{
    if (!isAsciiFontLoaded(font) || !text)
        return -1;
    bool tooWide = false;
    return firstLineEnd(font, std::string(text), width, tooWide);
}

void asciiCaretPosition(int32_t font, int32_t index, const char* text, int32_t width, int32_t& x, int32_t& y)
{
    x = y = 0;
    if (!isAsciiFontLoaded(font) || !text)
        return;
    std::vector<AsciiWrappedLine> lines = wrapAsciiLines(font, text, width, 0);
    int32_t top = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const AsciiWrappedLine& line = lines[i];
        bool last = i + 1 == lines.size();
        if (last || index < line.sourceStart + line.sourceLength) {
            int32_t before = std::clamp(index - line.sourceStart, 0, int32_t(line.text.size()));
            x = measureAsciiChars(font, before, line.text.c_str());
            y = top;
            return;
        }
        int32_t unused = 0, height = 0;
        measureAsciiText(font, line.text.c_str(), unused, height, unused);
        top += height;
    }
}

int32_t fitAsciiChars(int32_t font, const char* text, int32_t width)
{
    if (!isAsciiFontLoaded(font) || !text)
        return 0;
    int32_t sum = 0;
    int32_t count = 0;
    for (const char* p = text; *p; ++p) {
        sum += codeWidth(font, *p);
        if (sum >= width)
            break;
        ++count;
    }
    return count;
}

int32_t fitAsciiTextBox(int32_t font, const char* text, int32_t width, int32_t maxX, int32_t maxY)
{
    if (!isAsciiFontLoaded(font) || !text)
        return 0;
    std::string whole = cappedCopy(text);
    for (int32_t n = int32_t(whole.size()); n > 0; --n) {
        std::string prefix = whole.substr(0, size_t(n));
        int32_t x = 0, y = 0;
        asciiCaretPosition(font, n, prefix.c_str(), width, x, y);
        if (x <= maxX && y <= maxY)
            return n;
    }
    return 0;
}
