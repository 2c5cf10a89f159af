// Parses markup from arbitrary bytes and lays it out every way a window does:
// drawing (with a clip, a scroll, a caret and a selection), measuring, link
// hits and the caret functions. The input gives: document flags (uint16), a
// clip and scroll (four bytes), then the markup, where a byte below 0x80 is
// that character and a byte from 0x80 up is one of the dialect's tokens, so
// short inputs reach deep nesting, links and attributes.
#include "fuzz_byte_reader.h"
#include "text/html_document.h"
#include "text/unicode_font.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr const char16_t* kTokens[] = {
    u"<B>", u"</B>", u"<I>", u"<U>", u"<BR>", u"<P ALIGN=RIGHT>", u"</P>", u"<CENTER>", u"</CENTER>",
    u"<DIV ALIGN=CENTER>", u"<BQ>", u"</BQ>", u"<BASEFONT SIZE=7 COLOR=#FF00FF>", u"</BASEFONT>",
    u"<A HREF=\"#n\">", u"<A NAME=\"n\">", u"<A INT HREF=\"http://x/\">", u"</A>", u"<H1>", u"<SMALL>",
    u"<BIG>", u"<STRONG>", u"<EM>", u"<BODY TEXT=RED LEFTMARGIN=300 TOPMARGIN=9999999999>", u"</BODY>",
    u"<TITLE>", u"</TITLE>", u"\\", u"\u4E00\u3002", u"\n", u"  ", u"<A HREF=\"?Topic7\">",
};

// A small face: every printable ASCII character and two ideographs as a 5 x 7
// block with a notch, so glyphs have ink, edges and advances.
std::vector<uint8_t> makeFace()
{
    std::vector<uint8_t> face(kUnicodeOffsetTableSize, 0);
    auto add = [&face](char16_t code) {
        const uint32_t offset = uint32_t(face.size());
        for (int i = 0; i < 4; ++i)
            face[size_t(code) * 4 + size_t(i)] = uint8_t(offset >> (8 * i));
        const uint8_t header[] = { 0, 6, 5, 7 };
        face.insert(face.end(), header, header + 4);
        for (int row = 0; row < 7; ++row)
            face.push_back(row == 3 ? 0xD8 : 0xF8);
    };
    for (char16_t code = 33; code < 127; ++code)
        add(code);
    add(0x4E00);
    add(0x3002);
    return face;
}

void installFaces()
{
    static const std::vector<uint8_t> face = makeFace();
    static bool installed = false;
    if (installed)
        return;
    for (int32_t font = 0; font < kUnicodeFontCount; ++font)
        installUnicodeFont(font, face.data(), face.size());
    installed = true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    installFaces();
    FuzzByteReader input(data, size);
    const uint32_t flags = input.u16();
    const int32_t clipLeft = int32_t(input.u8() % 40) - 10;
    const int32_t clipTop = int32_t(input.u8() % 40) - 10;
    const int32_t scroll = int32_t(input.u8()) - 20;
    const int32_t caret = int32_t(input.u8() % 64) - 1;
    std::u16string markup;
    while (!input.empty()) {
        uint8_t byte = input.u8();
        if (byte < 0x80)
            markup += char16_t(byte);
        else
            markup += kTokens[(byte - 0x80) % (sizeof kTokens / sizeof kTokens[0])];
    }

    HtmlDocument document(markup, flags, 0x7FFF);
    constexpr int32_t kWidth = 64;
    constexpr int32_t kHeight = 48;
    std::vector<uint16_t> pixels(size_t(kWidth) * kHeight);
    const TextClip clip { clipLeft, clipTop, clipLeft + 50, clipTop + 40 };
    document.draw(pixels.data(), kWidth, kHeight, &clip, scroll, caret, caret + 5, true);
    document.draw(pixels.data(), kWidth, kHeight, nullptr, 0, -1, -1, false);
    int32_t width = 0;
    int32_t height = 0;
    document.measure(kWidth, width, height, 0, caret, (flags & 1) != 0);
    document.measure(0, width, height, 3, 0, false);
    std::u16string href;
    for (int32_t y = 0; y < kHeight; y += 7)
        for (int32_t x = 0; x < kWidth; x += 5)
            document.hitTestLink(x, y, href);
    int32_t x = 0;
    int32_t y = 0;
    for (int32_t index = -1; index < 70; index += 3) {
        if (document.charPosition(index, x, y, &clip, scroll))
            document.charIndexAt(x, y, &clip, scroll);
    }
    return 0;
}
