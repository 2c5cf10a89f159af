#include "text/ascii_font.h"

#include "core/byte_cursor.h"
#include "core/error_report.h"
#include "data/client_file_path.h"
#include "data/file_manager.h"
#include "gfx/colour_tables.h"
#include "gfx/hue_table.h"
#include "gfx/pixel_spans.h"
#include "platform/message_box.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace {

std::unique_ptr<AsciiFont> g_fonts[kAsciiFontCount];
bool g_shadedFonts = false;

// Fonts 0, 1, 2, 3 and 7 hue only their grey pixels.
constexpr bool kPartialHueFonts[] = { true, true, true, true, false, false, false, true, false };

const AsciiGlyph* glyphFor(const AsciiFont* font, int32_t code)
{
    if (!font || code < kAsciiFirstCode || code >= kAsciiFirstCode + kAsciiGlyphCount)
        return nullptr;
    return &font->glyphs[code - kAsciiFirstCode];
}

// Shaded mode darkens each row a little more than the one above it; the
// pixel is computed and written here, not through a span.
uint16_t shadedPixel(uint16_t pixel, int32_t row, const HueEntry* hue, bool partialHue)
{
    int32_t amount = (row + 1) / 2;
    auto lower = [amount](int32_t channel) { return channel <= amount ? 1 : channel - amount; };
    uint16_t result = uint16_t((lower(redOf(pixel)) << kRedShift) | (lower(greenOf(pixel)) << kGreenShift)
        | lower(blueOf(pixel)));
    if (hue && (!partialHue || isGrey(result)))
        result = hue->colours[redOf(result)];
    if (isTextPixelFormat565())
        result = convert555To565(result);
    return result;
}

// Normal mode hands one row to a pixel-span routine: own colours without a
// hue; every inked pixel but the value 1 at the hue's colour for its red
// level; a partial-hue font only recolours its grey pixels.
void transferRow(uint16_t* destination, const uint16_t* source, int32_t count, int32_t hue, const HueEntry* entry,
    bool partialHue)
{
    if (!entry) {
        copySpanTransparent(destination, source, count);
    } else if (partialHue) {
        hueSpanGreyOnly(destination, source, count, *entry);
    } else {
        setCurrentHueNumber(hue);
        hueSpanByRed(destination, source, count);
    }
}

} // namespace

bool parseAsciiFontFile(const uint8_t* data, size_t size)
{
    freeAsciiFonts();
    ByteCursor cursor({ data, data ? size : 0 });
    for (int32_t slot = 0; slot < kAsciiFontCount; ++slot) {
        uint8_t header = cursor.readU8();
        if (cursor.failed())
            return false;
        if (header == 0)
            continue;
        auto font = std::make_unique<AsciiFont>();
        for (AsciiGlyph& glyph : font->glyphs) {
            uint8_t width = cursor.readU8();
            uint8_t height = cursor.readU8();
            uint8_t drop = cursor.readU8();
            size_t pixelCount = size_t(width) * height;
            if (cursor.failed() || pixelCount * 2 > cursor.remaining())
                return false;
            glyph.width = width;
            glyph.height = height;
            glyph.drop = drop;
            glyph.pixels.resize(pixelCount);
            for (uint16_t& pixel : glyph.pixels)
                pixel = cursor.readU16();
        }
        if (size_t(slot) < std::size(kPartialHueFonts))
            font->partialHue = kPartialHueFonts[slot];
        g_fonts[slot] = std::move(font);
    }
    return true;
}

void freeAsciiFonts()
{
    for (auto& font : g_fonts)
        font.reset();
}

bool readAsciiFontFile()
{
    static const char kFileName[] = "fonts.mul";
    std::vector<uint8_t> image;
    if (fileManager().readWhole(kFileName, image) <= 0)
        reportFatal("Cannot open '%s'.\n%s", kFileName, dataDirectoryNote().c_str());
    return parseAsciiFontFile(image.data(), image.size());
}

void loadAsciiFonts()
{
    // The parse frees the fonts held before.
    readAsciiFontFile();
}

bool isAsciiFontLoaded(int32_t font)
{
    return font >= 0 && font < kAsciiFontCount && g_fonts[font];
}

const AsciiFont* asciiFont(int32_t font)
{
    return isAsciiFontLoaded(font) ? g_fonts[font].get() : nullptr;
}

bool hasAsciiGlyph(int32_t font, int32_t code)
{
    const AsciiGlyph* glyph = glyphFor(asciiFont(font), code);
    return glyph && glyph->width != 0;
}

int32_t asciiGlyphWidth(int32_t font, int32_t code)
{
    const AsciiGlyph* glyph = glyphFor(asciiFont(font), code);
    return glyph ? glyph->width : 0;
}

void setAsciiShadedFonts(bool on)
{
    g_shadedFonts = on;
}

bool asciiShadedFonts() { return g_shadedFonts; }

int32_t measureAsciiChars(int32_t font, int32_t count, const char* text)
{
    int32_t width = 0;
    for (int32_t i = 0; text && i < count && text[i]; ++i)
        width += asciiGlyphWidth(font, uint8_t(text[i]));
    return width;
}

bool measureAsciiText(int32_t font, const char* text, int32_t& width, int32_t& height, int32_t& baseline)
{
    width = height = baseline = 0;
    const AsciiFont* loaded = asciiFont(font);
    if (!loaded || !text)
        return false;
    int32_t ascent = 0;
    int32_t descent = 0;
    for (const char* p = text; *p; ++p) {
        const AsciiGlyph* glyph = glyphFor(loaded, uint8_t(*p));
        if (!glyph)
            continue;
        width += glyph->width;
        ascent = std::max(ascent, int32_t(glyph->height) - glyph->drop);
        descent = std::max(descent, glyph->drop);
    }
    height = ascent + descent;
    baseline = ascent - 1;
    return true;
}

int32_t drawAsciiGlyph(int32_t font, int32_t x, int32_t y, int32_t hue, int32_t code, const TextSurface& surface,
    const TextClip& clip)
{
    const AsciiFont* loaded = asciiFont(font);
    const AsciiGlyph* glyph = glyphFor(loaded, code);
    if (!glyph || glyph->width == 0)
        return 0;
    TextClip area = clipToSurface(clip, surface);
    // In 64 bits: the position may be anywhere in 32, and adding the glyph's
    // size to it must not wrap round into the clip.
    const int64_t left = x;
    const int64_t right = left + glyph->width;
    // Only whole glyphs are drawn across the clip's sides; a glyph that does
    // not fit ends the line.
    if (left < clip.left || right > clip.right)
        return 0;
    const HueEntry* entry = textHueEntry(hue);
    const int64_t top = int64_t(y) + glyph->drop - glyph->height + 1;
    // The columns of the glyph inside the surface part of the clip.
    const int64_t first = std::max<int64_t>(left, area.left);
    const int64_t end = std::min<int64_t>(right, area.right);
    const int32_t count = int32_t(end - first);
    for (int32_t row = 0; row < glyph->height && first < end; ++row) {
        const int64_t screenY = top + row;
        if (screenY < area.top || screenY >= area.bottom)
            continue;
        const uint16_t* source = glyph->pixels.data() + size_t(row) * glyph->width + size_t(first - left);
        uint16_t* destination = surface.pixels + size_t(surface.pitch) * size_t(screenY) + size_t(first);
        if (!g_shadedFonts) {
            transferRow(destination, source, count, hue, entry, loaded->partialHue);
            continue;
        }
        for (int32_t column = 0; column < count; ++column) {
            if (source[column])
                destination[column] = shadedPixel(source[column], row, entry, loaded->partialHue);
        }
    }
    return glyph->width;
}

void drawAsciiText(int32_t x, int32_t y, int32_t font, int32_t hue, const char* text, const TextSurface& surface,
    const TextClip& clip)
{
    if (!isAsciiFontLoaded(font)) {
        platform::showMessageBox("Error", "Missing Font!", platform::MessageBoxIcon::Error);
        return;
    }
    if (!text)
        return;
    for (const char* p = text; *p; ++p) {
        int32_t advance = drawAsciiGlyph(font, x, y, hue, uint8_t(*p), surface, clip);
        if (advance == 0)
            return;
        x += advance;
    }
}

namespace {

// Draws `count` byte codes, then three dots when cut is set.
void drawCodesWithDots(int32_t x, int32_t y, int32_t font, int32_t hue, const uint8_t* codes, int32_t count,
    bool cut, const TextSurface& surface, const TextClip& clip)
{
    for (int32_t i = 0; i < count; ++i) {
        int32_t advance = drawAsciiGlyph(font, x, y, hue, codes[i], surface, clip);
        if (advance == 0)
            return;
        x += advance;
    }
    for (int32_t dot = 0; cut && dot < 3; ++dot)
        x += drawAsciiGlyph(font, x, y, hue, '.', surface, clip);
}

void drawCutLine(int32_t x, int32_t y, int32_t font, int32_t hue, const uint8_t* codes, int32_t count,
    const TextSurface& surface, const TextClip& clip)
{
    if (!isAsciiFontLoaded(font))
        return;
    // The line's right end in 64 bits, like the glyph positions.
    int64_t end = x;
    for (int32_t i = 0; i < count; ++i)
        end += asciiGlyphWidth(font, codes[i]);
    bool cut = end > clip.right;
    if (cut) {
        int32_t dots = 3 * asciiGlyphWidth(font, '.');
        while (count > 0 && end + dots > clip.right)
            end -= asciiGlyphWidth(font, codes[--count]);
    }
    drawCodesWithDots(x, y, font, hue, codes, count, cut, surface, clip);
}

} // namespace

void drawAsciiTextClipped(int32_t x, int32_t y, int32_t font, int32_t hue, const char* text,
    const TextSurface& surface, const TextClip& clip)
{
    if (!text)
        return;
    uint8_t codes[kAsciiMaxWrapChars];
    int32_t count = 0;
    while (count < kAsciiMaxWrapChars && text[count]) {
        codes[count] = uint8_t(text[count]);
        ++count;
    }
    drawCutLine(x, y, font, hue, codes, count, surface, clip);
}

void drawWideTextAsciiFont(int32_t x, int32_t y, int32_t font, int32_t hue, const char16_t* text,
    const TextSurface& surface, const TextClip& clip)
{
    if (!text)
        return;
    // Units outside 32..255 have no byte glyph: they measure 0 and end the
    // drawn line like any other missing glyph.
    constexpr int32_t kMaxUnits = 256;
    uint8_t codes[kMaxUnits];
    int32_t count = 0;
    while (count < kMaxUnits && text[count]) {
        char16_t unit = text[count];
        codes[count] = unit >= kAsciiFirstCode && unit <= 0xFF ? uint8_t(unit) : 0;
        ++count;
    }
    drawCutLine(x, y, font, hue, codes, count, surface, clip);
}
