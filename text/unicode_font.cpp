#include "text/unicode_font.h"

#include "core/byte_cursor.h"
#include "core/wide_text.h"
#include "data/client_file_path.h"
#include "data/data_files.h"
#include "data/file_manager.h"
#include "platform/message_box.h"

#include <algorithm>
#include <memory>

namespace {

struct FontBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

struct UnicodeTextState {
    FontBytes fonts[kUnicodeFontCount];
    std::unique_ptr<MappedFile> mappings[kUnicodeFontCount];
    int32_t font = 0;
    uint32_t style = 0;
    int32_t savedFont = 0;
    uint32_t savedStyle = 0;
    int32_t blankWidth = 8;
    bool tight = false;
    bool colourCodes = false;
    bool loaded = false;
};

UnicodeTextState g_state;

bool isPresent(int32_t font)
{
    return font >= 0 && font < kUnicodeFontCount && g_state.fonts[font].data;
}

int32_t presentOrZero(int32_t font)
{
    return isPresent(font) ? font : 0;
}

void ensureLoaded()
{
    if (!g_state.loaded)
        loadUnicodeFonts();
}

struct GlyphView {
    int32_t xOffset = 0;
    int32_t yOffset = 0;
    int32_t width = 0;
    int32_t height = 0;
    const uint8_t* rows = nullptr;
    bool present = false;
};

// The glyph of code in the current font, checked against the file: its
// offset must lie after the table and its rows inside the file, and its sizes
// must not be negative.
GlyphView lookUpGlyph(char16_t code)
{
    GlyphView glyph;
    const FontBytes& font = g_state.fonts[presentOrZero(g_state.font)];
    if (!font.data)
        return glyph;
    ByteCursor cursor({ font.data, font.size });
    cursor.seek(size_t(code) * 4);
    int32_t offset = cursor.readI32();
    if (offset <= 0 || size_t(offset) < kUnicodeOffsetTableSize || !cursor.seek(size_t(offset)))
        return glyph;
    int32_t xOffset = cursor.readI8();
    int32_t yOffset = cursor.readI8();
    int32_t width = cursor.readI8();
    int32_t height = cursor.readI8();
    if (cursor.failed() || width < 0 || height < 0)
        return glyph;
    size_t rowBytes = (size_t(width) + 7) / 8;
    if (rowBytes * size_t(height) > cursor.remaining())
        return glyph;
    glyph.xOffset = xOffset;
    glyph.yOffset = yOffset;
    glyph.width = width;
    glyph.height = height;
    glyph.rows = font.data + cursor.position();
    glyph.present = true;
    return glyph;
}

int32_t styleExtra()
{
    return (isUnicodeBold() ? 1 : 0) + (isUnicodeItalic() ? 1 : 0);
}

// An absent glyph reads as an empty one here: 1 pixel plus the style's extra.
int32_t glyphAdvance(const GlyphView& glyph)
{
    return glyph.xOffset + glyph.width + 1 - (g_state.tight ? 1 : 0) + styleExtra();
}

} // namespace

int32_t unicodeDrawnAdvance(char16_t code)
{
    if (code == u' ')
        return g_state.blankWidth;
    GlyphView glyph = lookUpGlyph(code);
    return glyph.present ? glyphAdvance(glyph) : 0;
}

void loadUnicodeFonts()
{
    unloadUnicodeFonts();
    static const char* const kNames[kUnicodeFontCount] = { "unifont.mul", "unifont1.mul", "unifont2.mul" };
    FileManager& files = fileManager();
    for (int32_t font = 0; font < kUnicodeFontCount; ++font) {
        FILE* stream = files.open(kNames[font], "rb");
        if (!stream) {
            notePassedOverFiles({ kNames[font] }, "missing");
            continue;
        }
        std::string path;
        for (const OpenFileEntry& entry : files.openFiles()) {
            if (entry.handle == stream)
                path = entry.path;
        }
        files.close(stream);
        // Mapped where the file manager found it; a failed mapping shows its
        // error box and leaves the font absent.
        auto mapping = std::make_unique<MappedFile>(path);
        if (mapping->map(true) && installUnicodeFont(font, mapping->base(), mapping->size()))
            g_state.mappings[font] = std::move(mapping);
    }
    g_state.loaded = true;
}

void unloadUnicodeFonts()
{
    for (int32_t font = 0; font < kUnicodeFontCount; ++font) {
        g_state.fonts[font] = {};
        g_state.mappings[font].reset();
    }
    g_state.loaded = false;
}

bool areUnicodeFontsLoaded()
{
    return g_state.loaded;
}

bool hasAnyUnicodeFont()
{
    ensureLoaded();
    for (const FontBytes& font : g_state.fonts) {
        if (font.data)
            return true;
    }
    return false;
}

bool installUnicodeFont(int32_t font, const uint8_t* data, size_t size)
{
    if (font < 0 || font >= kUnicodeFontCount)
        return false;
    g_state.mappings[font].reset();
    g_state.fonts[font] = {};
    g_state.loaded = true;
    if (!data || size < kUnicodeOffsetTableSize)
        return false;
    g_state.fonts[font] = { data, size };
    return true;
}

void selectUnicodeFont(int32_t font)
{
    g_state.font = presentOrZero(font);
}

int32_t getUnicodeFont()
{
    return g_state.font;
}

void pushUnicodeStyle(uint32_t style)
{
    g_state.savedFont = g_state.font;
    g_state.savedStyle = g_state.style;
    g_state.style = style;
    int32_t font = 1;
    if (style & UnicodeStyle::kSmall)
        font = 2;
    else if (style & (UnicodeStyle::kBig | UnicodeStyle::kH1 | UnicodeStyle::kH2 | UnicodeStyle::kH3))
        font = 0;
    g_state.font = presentOrZero(font);
}

void popUnicodeStyle()
{
    g_state.font = presentOrZero(g_state.savedFont);
    g_state.style = g_state.savedStyle;
}

uint32_t getUnicodeStyle()
{
    return g_state.style;
}

bool isUnicodeAlignRight()
{
    return g_state.style & UnicodeStyle::kAlignRight;
}

bool isUnicodeAlignCentre()
{
    return g_state.style & UnicodeStyle::kCentred;
}

bool isUnicodeItalic()
{
    return g_state.style & UnicodeStyle::kItalicGroup;
}

bool isUnicodeBold()
{
    return g_state.style & UnicodeStyle::kBoldGroup;
}

bool isUnicodeUnderline()
{
    return g_state.style & UnicodeStyle::kUnderlineGroup;
}

int32_t getSpaceWidth()
{
    return g_state.blankWidth;
}

void setSpaceWidth(int32_t width)
{
    if (width < 1 || width > 20)
        platform::showMessageBox("", "Unreasonable width of space character.");
    g_state.blankWidth = width;
}

void setUnicodeTightFlag(bool on)
{
    g_state.tight = on;
}

bool getUnicodeTightFlag()
{
    return g_state.tight;
}

void setUnicodeColourCodes(bool on)
{
    g_state.colourCodes = on;
}

bool getUnicodeColourCodes()
{
    return g_state.colourCodes;
}

const uint8_t* getUnicodeGlyph(char16_t code, int32_t& xOffset, int32_t& yOffset, int32_t& width, int32_t& height)
{
    ensureLoaded();
    xOffset = yOffset = width = height = 0;
    if (code == u' ') {
        width = g_state.blankWidth;
        return nullptr;
    }
    GlyphView glyph = lookUpGlyph(code);
    if (!glyph.present)
        return nullptr;
    xOffset = glyph.xOffset;
    yOffset = glyph.yOffset;
    width = glyph.width;
    height = glyph.height;
    return glyph.rows;
}

bool hasUnicodeGlyph(char16_t code)
{
    ensureLoaded();
    return code == u' ' || lookUpGlyph(code).present;
}

int32_t unicodeCharAdvance(char16_t code)
{
    ensureLoaded();
    if (code == u' ')
        return g_state.blankWidth;
    return glyphAdvance(lookUpGlyph(code));
}

int32_t measureUnicodeString(const char16_t* text)
{
    return measureUnicodeChars(wstrLen(text), text);
}

int32_t measureUnicodeChars(int32_t count, const char16_t* text)
{
    int32_t width = 0;
    for (int32_t i = 0; text && i < count && text[i]; ++i)
        width += unicodeCharAdvance(text[i]);
    return width;
}

void measureUnicodeText(const char16_t* text, int32_t& width, int32_t& height, int32_t& zero)
{
    ensureLoaded();
    width = 0;
    for (int32_t i = 0; text && text[i]; ++i)
        width += unicodeDrawnAdvance(text[i]);
    height = kUnicodeLineHeight;
    zero = 0;
}

int32_t findUnicodeLineBreak(const char16_t* text, int32_t width)
{
    ensureLoaded();
    int32_t sum = 0;
    int32_t candidate = -1;
    bool hasCandidate = false;
    for (int32_t i = 0; text && text[i]; ++i) {
        char16_t c = text[i];
        if (i >= 2 && (c == u' ' || canBreakBetween(text[i - 1], c))) {
            candidate = i - 1;
            hasCandidate = true;
        }
        if (c == u'\n' || c == u'\r')
            return i - 1;
        sum += unicodeCharAdvance(c);
        if (sum > width) {
            if (hasCandidate)
                return candidate;
            return i > 0 ? i - 1 : -2;
        }
    }
    return -2;
}

int32_t fitUnicodeChars(const char16_t* text, int32_t width)
{
    int32_t sum = 0;
    int32_t count = 0;
    for (int32_t i = 0; text && text[i]; ++i) {
        sum += unicodeCharAdvance(text[i]);
        if (sum >= width)
            break;
        ++count;
    }
    return count;
}

std::vector<UnicodeWrappedLine> wrapUnicodeLines(const char16_t* text, int32_t width)
{
    std::vector<UnicodeWrappedLine> lines;
    if (!text)
        return lines;
    std::u16string copy(text);
    int32_t start = 0;
    for (;;) {
        const char16_t* rest = copy.c_str() + start;
        int32_t restLength = int32_t(copy.size()) - start;
        int32_t end = findUnicodeLineBreak(rest, width);
        // A line holds at most kUnicodeMaxLineChars characters; a longer one
        // is broken there.
        if (end == -2 && restLength <= kUnicodeMaxLineChars) {
            lines.push_back({ std::u16string(rest, size_t(restLength)), start, restLength });
            break;
        }
        if (end == -2 || end + 1 > kUnicodeMaxLineChars)
            end = kUnicodeMaxLineChars - 1;
        int32_t next = end + 1;
        if (next < restLength && (rest[next] == u' ' || rest[next] == u'\n' || rest[next] == u'\r'))
            ++next;
        lines.push_back({ std::u16string(rest, size_t(end + 1)), start, next });
        start += next;
    }
    return lines;
}

void measureUnicodeTextWrapped(const char16_t* text, int32_t width, int32_t& maxWidth, int32_t& height, int32_t& zero)
{
    ensureLoaded();
    maxWidth = 0;
    zero = 0;
    std::vector<UnicodeWrappedLine> lines = wrapUnicodeLines(text, width);
    for (const UnicodeWrappedLine& line : lines) {
        int32_t lineWidth = 0, unusedHeight = 0, unused = 0;
        measureUnicodeText(line.text.c_str(), lineWidth, unusedHeight, unused);
        maxWidth = std::max(maxWidth, lineWidth);
    }
    height = kUnicodeLineHeight * int32_t(lines.size());
}

void unicodeCaretPosition(int32_t index, const char16_t* text, int32_t width, int32_t& x, int32_t& y)
{
    ensureLoaded();
    x = y = 0;
    std::vector<UnicodeWrappedLine> lines = wrapUnicodeLines(text, width);
    for (size_t k = 0; k < lines.size(); ++k) {
        const UnicodeWrappedLine& line = lines[k];
        if (k + 1 == lines.size() || index < line.sourceStart + line.sourceLength) {
            int32_t before = std::clamp(index - line.sourceStart, 0, int32_t(line.text.size()));
            for (int32_t i = 0; i < before; ++i)
                x += unicodeDrawnAdvance(line.text[size_t(i)]);
            y = kUnicodeLineHeight * int32_t(k);
            return;
        }
    }
}

int32_t fitUnicodeTextBox(const char16_t* text, int32_t width, int32_t maxX, int32_t maxY)
{
    for (int32_t n = wstrLen(text); n > 0; --n) {
        int32_t x = 0, y = 0;
        unicodeCaretPosition(n, text, width, x, y);
        if (x <= maxX && y <= maxY)
            return n;
    }
    return 0;
}
