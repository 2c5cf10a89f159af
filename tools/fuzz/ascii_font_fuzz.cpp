// Reads an arbitrary image as "fonts.mul", then measures, wraps and draws a
// string through every font it gave: into a small surface whose clip reaches
// past its sides, hued (also past the last hue; the hue table keeps its
// start-up colours) and shaded.
#include "core/wide_text.h"
#include "text/ascii_font.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    parseAsciiFontFile(data, size);

    // Latin text with every byte code, then the input's last bytes.
    std::string text = "The quick brown fox jumps over the lazy dog.  a b  cd";
    for (int code = 1; code < 256; code += 7)
        text += char(code);
    for (size_t i = size > 64 ? size - 64 : 0; i < size; ++i)
        text += data[i] ? char(data[i]) : ' ';
    std::u16string wide = bytesToWideString(text);
    wide += u"\u4e00\uffff";

    constexpr int32_t kWidth = 96;
    constexpr int32_t kHeight = 40;
    std::vector<uint16_t> pixels(size_t(kWidth) * kHeight);
    TextSurface surface { pixels.data(), kWidth, kWidth, kHeight };
    TextClip clips[] = { { 0, 0, kWidth, kHeight }, { -20, -20, kWidth + 20, kHeight + 20 }, { 10, 5, 40, 20 } };
    int32_t hues[] = { 0, 1, 3000, 3001, 0x8000 | 5, -1 };

    for (int32_t font = 0; font < kAsciiFontCount; ++font) {
        if (!isAsciiFontLoaded(font))
            continue;
        int32_t width = 0, height = 0, baseline = 0, maxWidth = 0, x = 0, y = 0;
        measureAsciiText(font, text.c_str(), width, height, baseline);
        measureAsciiChars(font, 300, text.c_str());
        wrapAsciiText(font, text.c_str(), 50, maxWidth, height, baseline, 3);
        asciiWrapIndex(font, text.c_str(), 50);
        asciiCaretPosition(font, 40, text.c_str(), 50, x, y);
        fitAsciiChars(font, text.c_str(), 50);
        fitAsciiTextBox(font, text.c_str(), 50, 30, 20);
        for (bool shaded : { false, true }) {
            setAsciiShadedFonts(shaded);
            for (const TextClip& clip : clips) {
                for (int32_t hue : hues) {
                    drawAsciiText(-3, 10, font, hue, text.c_str(), surface, clip);
                    drawAsciiTextClipped(2, 30, font, hue, text.c_str(), surface, clip);
                }
                drawWideTextAsciiFont(1, 12, font, 7, wide.c_str(), surface, clip);
                drawAsciiTextWrapped(-5, -4, font, 9, text.c_str(), 60, surface, clip, 2, 0, true);
                drawAsciiTextWrapped(0, 0, font, 0, text.c_str(), 1, surface, clip, 4, 6, false);
            }
        }
    }
    setAsciiShadedFonts(false);
    freeAsciiFonts();
    return 0;
}
