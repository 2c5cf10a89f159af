#include "text/ascii_font.h"
#include "text/unicode_font.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

// A byte font in slot 0: every printable character a 6 x 7 glyph with a
// 5-column pattern and one column of spacing.
std::string benchAsciiFontFile()
{
    std::string out(1, '\1');
    for (int code = 32; code < 256; ++code) {
        bool printable = code > 32 && code < 127;
        int width = code == 32 ? 3 : (printable ? 6 : 0);
        int height = code == 32 ? 1 : (printable ? 7 : 0);
        out.push_back(char(width));
        out.push_back(char(height));
        out.push_back('\0');
        for (int i = 0; i < width * height; ++i) {
            uint16_t pixel = (code == 32 || (i % 6) == 5 || ((code + i) % 3) == 0) ? 0 : 0x5294;
            out.push_back(char(pixel & 0xFF));
            out.push_back(char(pixel >> 8));
        }
    }
    out.append(24, '\0');
    return out;
}

// A Unicode font: printable ASCII as 5 x 7 glyphs.
std::string benchUnicodeFontFile()
{
    std::string table(kUnicodeOffsetTableSize, '\0');
    std::string glyphs;
    for (int code = 33; code < 127; ++code) {
        uint32_t offset = uint32_t(kUnicodeOffsetTableSize + glyphs.size());
        for (int i = 0; i < 4; ++i)
            table[size_t(code) * 4 + size_t(i)] = char(offset >> (8 * i));
        glyphs += std::string { 0, 6, 5, 7 };
        for (int row = 0; row < 7; ++row)
            glyphs.push_back(char(uint8_t(0xF8 & ((code * 37 + row * 11) | 0x80))));
    }
    return table + glyphs;
}

std::string latinText(size_t length)
{
    static const std::string words = "The quick brown fox jumps over the lazy dog while seven wizards quietly box. ";
    std::string out;
    while (out.size() < length)
        out += words;
    out.resize(length);
    return out;
}

std::u16string wide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

struct Fonts {
    Fonts()
    {
        std::string ascii = benchAsciiFontFile();
        parseAsciiFontFile(reinterpret_cast<const uint8_t*>(ascii.data()), ascii.size());
        installUnicodeFont(0, reinterpret_cast<const uint8_t*>(unicode.data()), unicode.size());
        selectUnicodeFont(0);
    }
    std::string unicode = benchUnicodeFontFile();
};

Fonts& fonts()
{
    static Fonts loaded;
    return loaded;
}

void BM_AsciiGlyphDrawing(benchmark::State& state)
{
    fonts();
    std::vector<uint16_t> pixels(640 * 480);
    TextSurface surface { pixels.data(), 640, 640, 480 };
    TextClip clip = wholeSurface(surface);
    int32_t hue = int32_t(state.range(0));
    int64_t glyphs = 0;
    for (auto _ : state) {
        for (int32_t y = 10; y < 470; y += 10)
            for (int32_t x = 0; x + 6 <= 640; x += 6, ++glyphs)
                drawAsciiGlyph(0, x, y, hue, 'A' + (x / 6) % 26, surface, clip);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.counters["glyphs_per_second"] = benchmark::Counter(double(glyphs), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AsciiGlyphDrawing)->Arg(0)->Arg(40);

void BM_UnicodeGlyphDrawing(benchmark::State& state)
{
    fonts();
    std::vector<uint16_t> pixels(640 * 480);
    TextSurface surface { pixels.data(), 640, 640, 480 };
    TextClip clip = wholeSurface(surface);
    std::u16string line = wide(latinText(100));
    pushUnicodeStyle(uint32_t(state.range(0)));
    int64_t glyphs = 0;
    for (auto _ : state) {
        for (int32_t y = 0; y < 460; y += 18) {
            drawUnicodeTextLine(surface, line.c_str(), 0, y, 0x7FFF, clip);
            glyphs += int64_t(line.size());
        }
        benchmark::DoNotOptimize(pixels.data());
    }
    popUnicodeStyle();
    state.counters["glyphs_per_second"] = benchmark::Counter(double(glyphs), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_UnicodeGlyphDrawing)->Arg(0)->Arg(int64_t(UnicodeStyle::kBoldTag | UnicodeStyle::kItalicTag));

void BM_AsciiMeasureAndWrap2000(benchmark::State& state)
{
    fonts();
    std::string text = latinText(2000);
    for (auto _ : state) {
        int32_t width = measureAsciiChars(0, int32_t(text.size()), text.c_str());
        // The byte fonts wrap at most the first 255 characters of a text.
        int32_t maxWidth = 0, height = 0, baseline = 0;
        wrapAsciiText(0, text.c_str(), 200, maxWidth, height, baseline, 0);
        benchmark::DoNotOptimize(width + maxWidth + height);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_AsciiMeasureAndWrap2000);

void BM_UnicodeMeasureAndWrap2000(benchmark::State& state)
{
    fonts();
    std::u16string text = wide(latinText(2000));
    for (auto _ : state) {
        int32_t width = measureUnicodeString(text.c_str());
        int32_t maxWidth = 0, height = 0, zero = 0;
        measureUnicodeTextWrapped(text.c_str(), 200, maxWidth, height, zero);
        benchmark::DoNotOptimize(width + maxWidth + height);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_UnicodeMeasureAndWrap2000);

} // namespace
