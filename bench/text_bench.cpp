#include "core/wide_text.h"
#include "fixtures/font_writers.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

std::string latinText(size_t length)
{
    static const std::string words = "The quick brown fox jumps over the lazy dog while seven wizards quietly box. ";
    std::string out;
    while (out.size() < length)
        out += words;
    out.resize(length);
    return out;
}

std::u16string wide(const std::string& text) { return bytesToWideString(text); }

struct TextFonts {
    TextFonts()
    {
        // Byte font 0 and a Unicode font with the tests' face: printable ASCII
        // as 6 x 7 and 5 x 7 glyphs.
        std::string ascii = fixture::AsciiFontFileWriter().addTestFace(0).bytes();
        parseAsciiFontFile(reinterpret_cast<const uint8_t*>(ascii.data()), ascii.size());
        installUnicodeFont(0, reinterpret_cast<const uint8_t*>(unicode.data()), unicode.size());
        selectUnicodeFont(0);
    }
    std::string unicode = fixture::UnicodeFontWriter().addTestFace().bytes();
};

TextFonts& fonts()
{
    static TextFonts loaded;
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
