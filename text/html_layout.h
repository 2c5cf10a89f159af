#pragma once
// The layout pass of an HtmlDocument, shared by drawing, measuring and the
// caret functions: it holds the Unicode text style for its life (the
// caller's font and style come back when it ends) and measures characters in
// the style of the run they belong to. One pass at a time; main thread only.

#include "text/html_document.h"

#include <cstdint>
#include <vector>

class HtmlLayout {
public:
    explicit HtmlLayout(HtmlDocument& document);
    ~HtmlLayout();
    HtmlLayout(const HtmlLayout&) = delete;
    HtmlLayout& operator=(const HtmlLayout&) = delete;

    // Makes `style` the current text style (one saved level: the caller's).
    void useStyle(uint32_t style);
    // A character's drawn advance in `style` (0 for a code without a glyph).
    int32_t advance(char16_t code, uint32_t style);

    int32_t wordWidth(int32_t run, int32_t position);
    int32_t widthOfNextThree(int32_t run, int32_t position);
    int32_t lineStartX(int32_t run, int32_t position, int32_t width, bool wrapping);
    bool runFitsLine(int32_t run, uint32_t style, int32_t width);
    // The run's style, made smaller when the shrink flag asks and it does
    // not fit `width`.
    uint32_t styleToDraw(int32_t run, int32_t width);

    // The lines of the first run laid out in `width` pixels: each line's
    // first character and the index where it ends (its line feed, the blank
    // it wraps at, or the character that starts the next line).
    struct CaretLine {
        int32_t start = 0;
        int32_t end = 0;
    };
    std::vector<CaretLine> firstRunLines(int32_t width);

    int32_t draw(const TextSurface& surface, const TextClip& clip, int32_t scrollY, int32_t caret,
        int32_t selectionEnd);
    void measure(int32_t width, int32_t& outWidth, int32_t& outHeight, int32_t startX, int32_t skip,
        bool password);

private:
    // The character before (run, position), across runs; 0 at the start.
    char16_t previousChar(int32_t run, int32_t position) const;
    bool isWrapping() const;

    HtmlDocument& m_document;
    uint32_t m_style = 0;
};
