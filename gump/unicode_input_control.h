#pragma once
// The UTF-16 text entry: the same modes, flags, caret, scrolling, clicks and
// keys as the 8-bit entry (entry_core.h), drawn in Unicode font 1 in a
// colour taken from the hue table (colour 1 of the hue given), without the
// name-character filter and the mobile pick. A centred text that does not
// fit is drawn cut in the entry's ASCII font. Main thread only.

#include "gump/entry_core.h"

class UnicodeInputControl : public TextEntryCore {
public:
    // 182 units with the terminator: at most 181.
    static constexpr int32_t kCapacity = 182;
    static constexpr int32_t kUnicodeFont = 1;
    static constexpr int32_t kNumberCaretHue = 902;

    UnicodeInputControl(int32_t x, int32_t y, const EntryArt& art, int32_t mode, int32_t maxLength, int32_t font,
        int32_t hue, bool editable, bool centred);
    UnicodeInputControl(int32_t x, int32_t y, const EntrySize& size, int32_t mode, int32_t maxLength, int32_t font,
        int32_t hue, bool editable, bool centred);

    // The redraw, also run when the entry loses the focus.
    void render();
    void redraw() override { render(); }

    uint16_t colour() const { return m_colour; }
    void setColour(uint16_t colour) { m_colour = colour; }
    int32_t font() const { return m_font; }

protected:
    int32_t measureChars(int32_t count, const std::u16string& text) override;
    int32_t fitChars(const std::u16string& text, int32_t width) override;
    int32_t charWidth(char16_t unit) override;
    int32_t charInBox(const std::u16string& text, int32_t width, int32_t x, int32_t y) override;
    bool overflowsBox(const std::u16string& textWithCaret) override;
    bool hasGlyph(uint32_t code) override;
    int32_t baselineOffset() override;
    void drawLine(int32_t x, int32_t y, const std::u16string& text, int32_t ink, const TextClip& clip) override;
    void drawWrapped(int32_t x, int32_t y, const std::u16string& text, int32_t wrapWidth, int32_t ink,
        const TextClip& clip) override;
    void drawCut(int32_t x, int32_t y, const std::u16string& text, int32_t ink, const TextClip& clip) override;
    void drawCaret(int32_t x, int32_t y, int32_t ink, const TextClip& clip) override;
    int32_t lineWidth(const std::u16string& text) override;
    void wrappedCaret(int32_t index, const std::u16string& text, int32_t wrapWidth, int32_t& x, int32_t& y) override;

private:
    int32_t m_font;
    int32_t m_hue;
    uint16_t m_colour;
};
