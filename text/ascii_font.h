#pragma once
// The byte fonts of "fonts.mul": up to 25 fonts of 224 glyphs (codes 32 to
// 255) with 5-5-5 pixels, drawn into 16-bit surfaces with the glyph's baseline
// at the given y. Loaded once at start-up, freed at exit; main thread only.
// Widths of codes 128 to 255 are measured as they are drawn, so Latin-1 text
// stays inside the box it was measured for.

#include "text/text_surface.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t kAsciiFontCount = 25;
constexpr int32_t kAsciiFirstCode = 32;
constexpr int32_t kAsciiGlyphCount = 224;
// The wrapping and cut-line functions work on at most this many characters.
constexpr int32_t kAsciiMaxWrapChars = 255;

struct AsciiGlyph {
    uint16_t width = 0;
    uint16_t height = 0;
    int32_t drop = 0; // rows below the baseline
    std::vector<uint16_t> pixels; // width * height, row by row; 0 is transparent
};

struct AsciiFont {
    bool partialHue = false;
    AsciiGlyph glyphs[kAsciiGlyphCount];
};

// Loading. readAsciiFontFile opens "fonts.mul" through the file manager and
// stops the program when it is missing; parseAsciiFontFile reads an image
// already in memory and gives fonts 0, 1, 2, 3 and 7 the partial-hue flag
// (they hue only their grey pixels). A font whose records run past the end of the image is
// left out (the fonts before it are kept) and the parse returns false.
void loadAsciiFonts();
bool readAsciiFontFile();
bool parseAsciiFontFile(const uint8_t* data, size_t size);
void freeAsciiFonts();

bool isAsciiFontLoaded(int32_t font);
const AsciiFont* asciiFont(int32_t font);
bool hasAsciiGlyph(int32_t font, int32_t code);
int32_t asciiGlyphWidth(int32_t font, int32_t code);

// Glyph drawing options (the `ShadedFonts` setting).
void setAsciiShadedFonts(bool on);
bool asciiShadedFonts();

int32_t measureAsciiChars(int32_t font, int32_t count, const char* text);
bool measureAsciiText(int32_t font, const char* text, int32_t& width, int32_t& height, int32_t& baseline);

int32_t drawAsciiGlyph(int32_t font, int32_t x, int32_t y, int32_t hue, int32_t code, const TextSurface& surface,
    const TextClip& clip);
void drawAsciiText(int32_t x, int32_t y, int32_t font, int32_t hue, const char* text, const TextSurface& surface,
    const TextClip& clip);
void drawAsciiTextClipped(int32_t x, int32_t y, int32_t font, int32_t hue, const char* text,
    const TextSurface& surface, const TextClip& clip);
void drawWideTextAsciiFont(int32_t x, int32_t y, int32_t font, int32_t hue, const char16_t* text,
    const TextSurface& surface, const TextClip& clip);

// Wrapping. A line as the wrapping rule cuts it: its characters (with any
// indent blanks in front) and the span of the source text it consumed,
// including the one blank dropped after it.
struct AsciiWrappedLine {
    std::string text;
    int32_t sourceStart = 0;
    int32_t sourceLength = 0;
};
std::vector<AsciiWrappedLine> wrapAsciiLines(int32_t font, const char* text, int32_t width, int32_t indent);

int32_t drawAsciiTextWrapped(int32_t x, int32_t y, int32_t font, int32_t hue, const char* text, int32_t width,
    const TextSurface& surface, const TextClip& clip, int32_t indent, int32_t lineSpacing, bool centre);
bool wrapAsciiText(int32_t font, const char* text, int32_t width, int32_t& maxWidth, int32_t& height,
    int32_t& firstBaseline, int32_t indent);
int32_t asciiWrapIndex(int32_t font, const char* text, int32_t width);
void asciiCaretPosition(int32_t font, int32_t index, const char* text, int32_t width, int32_t& x, int32_t& y);
int32_t fitAsciiChars(int32_t font, const char* text, int32_t width);
int32_t fitAsciiTextBox(int32_t font, const char* text, int32_t width, int32_t maxX, int32_t maxY);
