#include "gump/unicode_input_control.h"

#include "core/wide_text.h"
#include "gfx/hue_table.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"

namespace {

// Unicode font 1 for the life of the object; the caller's font comes back.
class EntryFont {
public:
    EntryFont()
        : m_previous(getUnicodeFont())
    {
        selectUnicodeFont(UnicodeInputControl::kUnicodeFont);
    }
    ~EntryFont() { selectUnicodeFont(m_previous); }
    EntryFont(const EntryFont&) = delete;
    EntryFont& operator=(const EntryFont&) = delete;

private:
    int32_t m_previous;
};

// Colour 1 of a hue; hues outside the table draw white.
uint16_t hueColour(int32_t hue)
{
    const HueEntry* entry = textHueEntry(hue);
    return entry ? entry->colours[1] : uint16_t(0x7FFF);
}

} // namespace

UnicodeInputControl::UnicodeInputControl(int32_t x, int32_t y, const EntryArt& art, int32_t mode, int32_t maxLength,
    int32_t font, int32_t hue, bool editable, bool centred)
    : UnicodeInputControl(x, y, entrySizeOfArt(art), mode, maxLength, font, hue, editable, centred)
{
    useArtBackground(art);
    render();
}

UnicodeInputControl::UnicodeInputControl(int32_t x, int32_t y, const EntrySize& size, int32_t mode,
    int32_t maxLength, int32_t font, int32_t hue, bool editable, bool centred)
    : TextEntryCore(x, y, int32_t(uint16_t(size.width)), int32_t(uint16_t(size.height)), mode, maxLength, kCapacity)
    , m_font(font)
    , m_hue(hue)
    , m_colour(hueColour(hue))
{
    setTypeName("UnicodeInputControl gump");
    addKind(GumpKind::UnicodeInputControl);
    startSizeForm(editable, centred, size.threeSlice);
    render();
}

void UnicodeInputControl::render()
{
    if (!page(0)->isAllocated())
        return;
    EntryFont font;
    paintBackground();
    paintText(m_colour, isNumberMode() ? hueColour(kNumberCaretHue) : m_colour);
}

int32_t UnicodeInputControl::measureChars(int32_t count, const std::u16string& text)
{
    EntryFont font;
    return measureUnicodeChars(count, text.c_str());
}

int32_t UnicodeInputControl::fitChars(const std::u16string& text, int32_t width)
{
    EntryFont font;
    return fitUnicodeChars(text.c_str(), width);
}

int32_t UnicodeInputControl::charWidth(char16_t unit)
{
    EntryFont font;
    return unicodeCharAdvance(unit);
}

int32_t UnicodeInputControl::charInBox(const std::u16string& text, int32_t width, int32_t x, int32_t y)
{
    EntryFont font;
    return fitUnicodeTextBox(text.c_str(), width, x, y);
}

bool UnicodeInputControl::overflowsBox(const std::u16string& textWithCaret)
{
    EntryFont font;
    int32_t measuredWidth = 0;
    int32_t measuredHeight = 0;
    int32_t zero = 0;
    if (options.multiLine) {
        measureUnicodeTextWrapped(textWithCaret.c_str(), width() - 6, measuredWidth, measuredHeight, zero);
        return measuredHeight >= height();
    }
    measureUnicodeText(textWithCaret.c_str(), measuredWidth, measuredHeight, zero);
    return measuredWidth >= width() - 6;
}

bool UnicodeInputControl::hasGlyph(uint32_t code)
{
    EntryFont font;
    return code <= 0xFFFF && hasUnicodeGlyph(char16_t(code));
}

int32_t UnicodeInputControl::baselineOffset()
{
    int32_t unusedWidth = 0;
    int32_t unusedHeight = 0;
    int32_t offset = 0;
    measureUnicodeText(u"Aq", unusedWidth, unusedHeight, offset);
    return offset;
}

void UnicodeInputControl::drawLine(int32_t x, int32_t y, const std::u16string& text, int32_t ink, const TextClip& clip)
{
    drawUnicodeTextLine(page(0)->surface(), text.c_str(), x, y, uint16_t(ink), clip);
}

void UnicodeInputControl::drawWrapped(
    int32_t x, int32_t y, const std::u16string& text, int32_t wrapWidth, int32_t ink, const TextClip& clip)
{
    drawUnicodeTextWrapped(page(0)->surface(), wrapWidth, text.c_str(), x, y, uint16_t(ink), clip, false);
}

void UnicodeInputControl::drawCut(int32_t x, int32_t y, const std::u16string& text, int32_t, const TextClip& clip)
{
    // Cut text goes through the ASCII font, on its own baseline, in the hue.
    int32_t unusedWidth = 0;
    int32_t unusedHeight = 0;
    int32_t baseline = 0;
    measureAsciiText(m_font, "Aq", unusedWidth, unusedHeight, baseline);
    drawWideTextAsciiFont(x, y + baseline, m_font, m_hue, text.c_str(), page(0)->surface(), clip);
}

void UnicodeInputControl::drawCaret(int32_t x, int32_t y, int32_t ink, const TextClip& clip)
{
    drawUnicodeTextLine(page(0)->surface(), u"_", x, y, uint16_t(ink), clip);
}

int32_t UnicodeInputControl::lineWidth(const std::u16string& text)
{
    int32_t measuredWidth = 0;
    int32_t measuredHeight = 0;
    int32_t zero = 0;
    measureUnicodeText(text.c_str(), measuredWidth, measuredHeight, zero);
    return measuredWidth;
}

void UnicodeInputControl::wrappedCaret(
    int32_t index, const std::u16string& text, int32_t wrapWidth, int32_t& x, int32_t& y)
{
    unicodeCaretPosition(index, text.c_str(), wrapWidth, x, y);
}
