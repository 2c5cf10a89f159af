#include "text/ascii_font.h"

#include "app/error_report.h"
#include "app/file_manager.h"
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

bool isGrey(uint16_t pixel)
{
    uint16_t red = (pixel >> 10) & 0x1F;
    return red == ((pixel >> 5) & 0x1F) && red == (pixel & 0x1F);
}

// A ramp colour at the pixel's 5-bit red level.
uint16_t hueByRed(const uint16_t* ramp, uint16_t pixel)
{
    return ramp[(pixel >> 10) & 0x1F];
}

uint16_t to565(uint16_t pixel)
{
    return uint16_t(((pixel & 0x7FE0) << 1) | (pixel & 0x1F));
}

// One pixel in normal mode, as the span routines transfer it: own colours
// without a hue; every inked pixel but the value 1 at the hue's colour for its
// red level; a partial-hue font only recolours its grey pixels.
uint16_t normalPixel(uint16_t pixel, const uint16_t* ramp, bool partialHue)
{
    if (!ramp || pixel == 1)
        return pixel;
    if (partialHue && !isGrey(pixel))
        return pixel;
    return hueByRed(ramp, pixel);
}

// Shaded mode darkens each row a little more than the one above it.
uint16_t shadedPixel(uint16_t pixel, int32_t row, const uint16_t* ramp, bool partialHue)
{
    int32_t amount = (row + 1) / 2;
    auto lower = [amount](int32_t channel) { return channel <= amount ? 1 : channel - amount; };
    int32_t red = lower((pixel >> 10) & 0x1F);
    int32_t green = lower((pixel >> 5) & 0x1F);
    int32_t blue = lower(pixel & 0x1F);
    uint16_t result = uint16_t((red << 10) | (green << 5) | blue);
    if (ramp && (!partialHue || isGrey(result)))
        result = hueByRed(ramp, result);
    if (isTextPixelFormat565())
        result = to565(result);
    return result;
}

int32_t measureWidthOfCode(const AsciiFont* font, uint8_t code)
{
    const AsciiGlyph* glyph = glyphFor(font, code);
    return glyph ? glyph->width : 0;
}

} // namespace

bool parseAsciiFontFile(const uint8_t* data, size_t size)
{
    freeAsciiFonts();
    size_t position = 0;
    auto readByte = [&](uint8_t& out) {
        if (position >= size)
            return false;
        out = data[position++];
        return true;
    };
    for (int32_t slot = 0; slot < kAsciiFontCount; ++slot) {
        uint8_t header = 0;
        if (!readByte(header))
            return false;
        if (header == 0)
            continue;
        auto font = std::make_unique<AsciiFont>();
        for (AsciiGlyph& glyph : font->glyphs) {
            uint8_t width = 0, height = 0, drop = 0;
            if (!readByte(width) || !readByte(height) || !readByte(drop))
                return false;
            size_t pixelCount = size_t(width) * height;
            if (pixelCount * 2 > size - position)
                return false;
            glyph.width = width;
            glyph.height = height;
            glyph.drop = drop;
            glyph.pixels.resize(pixelCount);
            for (size_t i = 0; i < pixelCount; ++i)
                glyph.pixels[i] = uint16_t(data[position + 2 * i] | (data[position + 2 * i + 1] << 8));
            position += pixelCount * 2;
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
        reportFatal("Cannot open '%s'.\n", kFileName);
    return parseAsciiFontFile(image.data(), image.size());
}

void loadAsciiFonts()
{
    freeAsciiFonts();
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

int32_t measureAsciiChars(int32_t font, int32_t count, const char* text)
{
    const AsciiFont* loaded = asciiFont(font);
    if (!loaded || !text)
        return 0;
    int32_t width = 0;
    for (int32_t i = 0; i < count && text[i]; ++i)
        width += measureWidthOfCode(loaded, uint8_t(text[i]));
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
    TextClip area = clip.within(surface);
    // Only whole glyphs are drawn across the clip's sides; a glyph that does
    // not fit ends the line.
    if (x < clip.left || x + glyph->width - 1 >= clip.right)
        return 0;
    const uint16_t* ramp = textHueRamp(hue);
    int32_t top = y + glyph->drop - glyph->height + 1;
    for (int32_t row = 0; row < glyph->height; ++row) {
        int32_t screenY = top + row;
        if (screenY < area.top || screenY >= area.bottom)
            continue;
        const uint16_t* source = glyph->pixels.data() + size_t(row) * glyph->width;
        uint16_t* destination = surface.pixels + size_t(surface.pitch) * screenY;
        for (int32_t column = 0; column < glyph->width; ++column) {
            int32_t screenX = x + column;
            uint16_t pixel = source[column];
            if (pixel == 0 || screenX < area.left || screenX >= area.right)
                continue;
            destination[screenX] = g_shadedFonts ? shadedPixel(pixel, row, ramp, loaded->partialHue)
                                                 : normalPixel(pixel, ramp, loaded->partialHue);
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
    const AsciiFont* loaded = asciiFont(font);
    if (!loaded)
        return;
    int32_t width = 0;
    for (int32_t i = 0; i < count; ++i)
        width += measureWidthOfCode(loaded, codes[i]);
    bool cut = x + width > clip.right;
    if (cut) {
        int32_t dots = 3 * measureWidthOfCode(loaded, '.');
        while (count > 0 && x + width + dots > clip.right)
            width -= measureWidthOfCode(loaded, codes[--count]);
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
