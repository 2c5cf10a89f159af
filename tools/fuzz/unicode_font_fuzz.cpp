// Builds a Unicode font file from arbitrary bytes and measures, wraps and
// draws text with it in every style. The input gives: a count k (first byte,
// at most 16), then k records of a code (uint16) and a glyph offset (int32,
// relative to the end of the offset table, so it may point anywhere in the
// file or outside it), then the glyph bytes that follow the table. The text
// is those codes and a few fixed ones, repeated past a line's 199 units.
#include "fuzz_byte_reader.h"
#include "text/unicode_font.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::vector<uint8_t> image;
    if (size < 1)
        return 0;
    size_t k = data[0] % 17;
    size_t header = 1 + k * 6;
    if (size < header)
        return 0;
    image.assign(kUnicodeOffsetTableSize, 0);
    image.insert(image.end(), data + header, data + size);
    std::u16string codes;
    for (size_t i = 0; i < k; ++i) {
        const uint8_t* record = data + 1 + i * 6;
        char16_t code = char16_t(fuzz::le16(record));
        uint32_t relative = fuzz::le32(record + 2);
        uint32_t offset = uint32_t(kUnicodeOffsetTableSize) + relative;
        std::memcpy(&image[size_t(code) * 4], &offset, 4); // little-endian host
        codes += code;
    }
    for (int32_t font = 0; font < kUnicodeFontCount; ++font)
        installUnicodeFont(font, image.data(), image.size());

    std::u16string text = codes + u" A.\u4e00\u3002\u300c\n\r\n^M" + codes + u"^n ^Xq  ";
    std::u16string line = text;
    while (line.size() < 420)
        line += codes.empty() ? u"A" : codes;

    constexpr int32_t kWidth = 80;
    constexpr int32_t kHeight = 60;
    std::vector<uint16_t> pixels(size_t(kWidth) * kHeight);
    TextSurface surface { pixels.data(), kWidth, kWidth, kHeight };
    TextClip clips[] = { { 0, 0, kWidth, kHeight }, { -30, -30, kWidth + 30, kHeight + 30 }, { 5, 3, 30, 20 } };
    uint32_t styles[] = { 0, UnicodeStyle::kBoldTag | UnicodeStyle::kItalicTag | UnicodeStyle::kUnderlineTag,
        UnicodeStyle::kSmall | UnicodeStyle::kLink, UnicodeStyle::kH1 };

    for (uint32_t style : styles) {
        pushUnicodeStyle(style);
        for (bool tight : { false, true }) {
            setUnicodeTightFlag(tight);
            setUnicodeColourCodes(!tight);
            int32_t w = 0, h = 0, zero = 0, x = 0, y = 0;
            measureUnicodeText(line.c_str(), w, h, zero);
            measureUnicodeTextWrapped(line.c_str(), 40, w, h, zero);
            measureUnicodeString(text.c_str());
            findUnicodeLineBreak(text.c_str(), 20);
            fitUnicodeChars(text.c_str(), 20);
            unicodeCaretPosition(300, line.c_str(), 40, x, y);
            fitUnicodeTextBox(text.c_str(), 30, 20, 18);
            for (const TextClip& clip : clips) {
                drawUnicodeTextLine(surface, text.c_str(), -4, 50, 0x7FFF, clip);
                drawUnicodeTextLineSelected(surface, text.c_str(), 3, -10, 0x7FFF, clip, 0x001F, 2, 6);
                drawUnicodeTextEllipsis(surface, text.c_str(), 10, 40, 0x7C00, clip);
                drawUnicodeTextWrapped(surface, 50, line.c_str(), 0, 0, 0x03E0, clip, true);
                drawUnicodeTextWrappedSelected(surface, 1, text.c_str(), 60, 30, 0x03E0, clip, 0x7FFF, 0, 3);
            }
        }
        popUnicodeStyle();
    }
    setUnicodeTightFlag(false);
    setUnicodeColourCodes(false);
    unloadUnicodeFonts();
    return 0;
}
