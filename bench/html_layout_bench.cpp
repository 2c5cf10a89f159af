// Laying out an HTML document of 8 to 64 KB: parsing it and drawing it into
// a 400-pixel-wide window (every line is laid out, the visible ones drawn),
// against the plain wrapped-text drawer given the same characters without
// their markup, in the same run. Time per kilobyte should stay flat as the
// size grows (the complexity fit reports it as O(N)).
#include "bench/bench_timing.h"
#include "fixtures/font_writers.h"
#include "text/html_document.h"
#include "text/unicode_font.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Fonts {
    Fonts()
    {
        for (int32_t font = 0; font < kUnicodeFontCount; ++font)
            installUnicodeFont(font, reinterpret_cast<const uint8_t*>(face.data()), face.size());
    }
    std::string face = fixture::UnicodeFontWriter().addTestFace().bytes();
};

// A document like the server's mail, book and help pages: paragraphs of
// words with bold, italic, coloured and linked stretches and line breaks.
void makeDocument(size_t bytes, std::u16string& markup, std::u16string& plain)
{
    static const char16_t* const kWords[] = { u"the", u"quick", u"brown", u"fox", u"jumps", u"over", u"lazy",
        u"dogs", u"while", u"seven", u"wizards", u"quietly", u"box" };
    markup = u"<BODY TEXT=#FFFFFF LEFTMARGIN=4>";
    plain.clear();
    size_t word = 0;
    while (markup.size() * sizeof(char16_t) < bytes) {
        markup += u"<P>";
        for (int i = 0; i < 40; ++i, ++word) {
            const char16_t* text = kWords[word % (sizeof kWords / sizeof kWords[0])];
            switch (word % 17) {
            case 3:
                markup += u"<B>" + std::u16string(text) + u"</B> ";
                break;
            case 7:
                markup += u"<A HREF=\"http://example.net/\">" + std::u16string(text) + u"</A> ";
                break;
            case 11:
                markup += u"<BASEFONT COLOR=#FFFF00>" + std::u16string(text) + u" ";
                break;
            case 13:
                markup += u"<I>" + std::u16string(text) + u"</I><BR>";
                break;
            default:
                markup += std::u16string(text) + u" ";
            }
            plain += std::u16string(text) + u" ";
        }
        markup += u"</P>";
        plain += u"\n";
    }
}

void BM_HtmlLayout(benchmark::State& state)
{
    static Fonts fonts;
    const size_t bytes = size_t(state.range(0));
    std::u16string markup;
    std::u16string plain;
    makeDocument(bytes, markup, plain);
    constexpr int32_t kWidth = 400;
    constexpr int32_t kHeight = 300;
    std::vector<uint16_t> pixels(size_t(kWidth) * kHeight);
    const TextSurface surface { pixels.data(), kWidth, kWidth, kHeight };
    Clock::duration htmlTime {};
    Clock::duration plainTime {};
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        HtmlDocument document(markup, 0, 0x7FFF);
        benchmark::DoNotOptimize(document.draw(pixels.data(), kWidth, kHeight, nullptr, 0, -1, -1, true));
        Clock::time_point middle = Clock::now();
        drawUnicodeTextWrapped(surface, kWidth - 4, plain.c_str(), 4, 0, 0x7FFF, wholeSurface(surface), false);
        benchmark::DoNotOptimize(pixels.data());
        Clock::time_point end = Clock::now();
        htmlTime += middle - start;
        plainTime += end - middle;
    }
    const double iterations = double(state.iterations());
    const double kilobytes = double(markup.size() * sizeof(char16_t)) / 1024.0;
    state.counters["us_per_KB"] = elapsedNanoseconds(htmlTime) / iterations / 1000.0 / kilobytes;
    state.counters["plain_us"] = elapsedNanoseconds(plainTime) / iterations / 1000.0;
    state.counters["ratio"]
        = elapsedNanoseconds(plainTime) > 0 ? elapsedNanoseconds(htmlTime) / elapsedNanoseconds(plainTime) : 0;
    state.SetComplexityN(int64_t(bytes));
}

BENCHMARK(BM_HtmlLayout)->RangeMultiplier(2)->Range(8 << 10, 64 << 10)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

} // namespace
