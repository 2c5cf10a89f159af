#pragma once
// The three 1-bit Unicode fonts ("unifont.mul", "unifont1.mul",
// "unifont2.mul"), indexed by UTF-16 code unit, and the process-wide text
// state callers set around their drawing: current font, style (with one saved
// level), blank width, tight flag and colour codes. Every offset and size read
// from a font file is checked against the file before a glyph is used; a
// glyph that fails is treated as absent. Lines are kUnicodeLineHeight pixels
// apart. Main thread only.

#include "text/text_surface.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t kUnicodeFontCount = 3;
constexpr int32_t kUnicodeLineHeight = 18;
constexpr int32_t kUnicodeMaxLineChars = 199;
// The offset table in front of the glyphs: one int32 per code unit.
constexpr size_t kUnicodeOffsetTableSize = 65536 * 4;

// Style bits shared with the HTML engine.
namespace UnicodeStyle {
constexpr uint32_t kSmall = 0x2;
constexpr uint32_t kBig = 0x4;
constexpr uint32_t kItalicTag = 0x8;
constexpr uint32_t kBoldTag = 0x10;
constexpr uint32_t kUnderlineTag = 0x20;
constexpr uint32_t kEmphasis = 0x40;
constexpr uint32_t kStrong = 0x80;
constexpr uint32_t kH1 = 0x100;
constexpr uint32_t kH2 = 0x200;
constexpr uint32_t kH3 = 0x400;
constexpr uint32_t kH4 = 0x800;
constexpr uint32_t kH5 = 0x1000;
constexpr uint32_t kH6 = 0x2000;
constexpr uint32_t kAlignRight = 0x4000;
constexpr uint32_t kCentred = 0x8000;
constexpr uint32_t kLink = 0x10000;
constexpr uint32_t kItalicGroup = 0x1048; // I, EM, H5
constexpr uint32_t kBoldGroup = 0xB90; // B, STRONG, H1, H2, H4
constexpr uint32_t kUnderlineGroup = 0x10120; // U, H1, link
} // namespace UnicodeStyle

// Maps the three files through the file manager; a file that is missing or
// cannot be mapped leaves its font absent.
void loadUnicodeFonts();
void unloadUnicodeFonts();
bool areUnicodeFontsLoaded();
// True when at least one of the three fonts is present (loading them first).
bool hasAnyUnicodeFont();
// Uses caller-owned bytes (which must outlive their use) as font 0..2 and
// counts the fonts as loaded. False, leaving the font absent, when the bytes
// cannot hold the offset table.
bool installUnicodeFont(int32_t font, const uint8_t* data, size_t size);

void selectUnicodeFont(int32_t font);
int32_t getUnicodeFont();
// Selects a font for its life and then the one selected before.
class ScopedUnicodeFont {
public:
    explicit ScopedUnicodeFont(int32_t font)
        : m_previous(getUnicodeFont())
    {
        selectUnicodeFont(font);
    }
    ~ScopedUnicodeFont() { selectUnicodeFont(m_previous); }
    ScopedUnicodeFont(const ScopedUnicodeFont&) = delete;
    ScopedUnicodeFont& operator=(const ScopedUnicodeFont&) = delete;

private:
    int32_t m_previous;
};
void pushUnicodeStyle(uint32_t style);
void popUnicodeStyle();
uint32_t getUnicodeStyle();
bool isUnicodeAlignRight();
bool isUnicodeAlignCentre();
bool isUnicodeItalic();
bool isUnicodeBold();
bool isUnicodeUnderline();

int32_t getSpaceWidth();
void setSpaceWidth(int32_t width);
void setUnicodeTightFlag(bool on);
bool getUnicodeTightFlag();
// The caret colour codes (^F, ^L, ^M, ^R, ^n) while on.
void setUnicodeColourCodes(bool on);
bool getUnicodeColourCodes();

// Rows of (width + 7) / 8 bytes, bit 7 leftmost; null for the blank (whose
// width is the blank width) and for a code without a glyph (all zero).
const uint8_t* getUnicodeGlyph(char16_t code, int32_t& xOffset, int32_t& yOffset, int32_t& width, int32_t& height);
bool hasUnicodeGlyph(char16_t code);

// A code without a glyph advances like an empty glyph (1 pixel, plain) here
// and in measureUnicodeString, measureUnicodeChars, fitUnicodeChars and
// findUnicodeLineBreak; the other measures and all drawing skip it.
int32_t unicodeCharAdvance(char16_t code);
// The advance as drawing sees it: 0 for a code without a glyph.
int32_t unicodeDrawnAdvance(char16_t code);
int32_t measureUnicodeString(const char16_t* text);
int32_t measureUnicodeChars(int32_t count, const char16_t* text);
void measureUnicodeText(const char16_t* text, int32_t& width, int32_t& height, int32_t& zero);
void measureUnicodeTextWrapped(const char16_t* text, int32_t width, int32_t& maxWidth, int32_t& height, int32_t& zero);
// Index of the last character of the first line; -1 for an empty first line
// (a line end at position 0); -2 when the whole text is one line.
int32_t findUnicodeLineBreak(const char16_t* text, int32_t width);
int32_t fitUnicodeChars(const char16_t* text, int32_t width);
void unicodeCaretPosition(int32_t index, const char16_t* text, int32_t width, int32_t& x, int32_t& y);
int32_t fitUnicodeTextBox(const char16_t* text, int32_t width, int32_t maxX, int32_t maxY);

// The CJK line-break rule: may a line end between previous and next?
bool canBreakBetween(char16_t previous, char16_t next);

// A wrapped line and the span of the source it consumed (its dropped
// separator included).
struct UnicodeWrappedLine {
    std::u16string text;
    int32_t sourceStart = 0;
    int32_t sourceLength = 0;
};
std::vector<UnicodeWrappedLine> wrapUnicodeLines(const char16_t* text, int32_t width);

// How drawUnicodeGlyph marks the pixels around a glyph's ink with the value
// 1 (never transparent, nearly black): a shadow to the right and below, or an
// outline on all four sides.
enum class GlyphEdge : uint8_t {
    None,
    Shadow,
    Outline,
};

// One character at x (its line's top at y) as line drawing draws it, in the
// current font and style (italic shift, bold, tight first pixel, underline),
// clipped; the blank draws only its underline. Returns its drawn advance (0
// for a code without a glyph, which draws nothing).
int32_t drawUnicodeGlyph(const TextSurface& surface, const TextClip& clip, char16_t code, int32_t x, int32_t y,
    uint16_t colour, GlyphEdge edge);

void drawUnicodeTextLine(const TextSurface& surface, const char16_t* text, int32_t x, int32_t y, uint16_t colour,
    const TextClip& clip);
void drawUnicodeTextLineSelected(const TextSurface& surface, const char16_t* text, int32_t x, int32_t y,
    uint16_t colour, const TextClip& clip, uint16_t selectionColour, int32_t selectionStart, int32_t selectionEnd);
void drawUnicodeTextEllipsis(const TextSurface& surface, const char16_t* text, int32_t x, int32_t y, uint16_t colour,
    const TextClip& clip);
void drawUnicodeTextWrapped(const TextSurface& surface, int32_t width, const char16_t* text, int32_t x, int32_t y,
    uint16_t colour, const TextClip& clip, bool centre);
void drawUnicodeTextWrappedSelected(const TextSurface& surface, int32_t width, const char16_t* text, int32_t x,
    int32_t y, uint16_t colour, const TextClip& clip, uint16_t selectionColour, int32_t selectionStart,
    int32_t selectionEnd);
