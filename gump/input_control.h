#pragma once
// The 8-bit text entry of the login, character-creation, options and macro
// screens (InputControl), its decorated variant with a nine-piece frame,
// hover and selected hues and an icon (TextEntry), and the mobile pick: a
// double click on a picking entry lets the player target a mobile, whose
// serial becomes the entry's value and whose name the server's answer
// writes in. Text is drawn in an ASCII font and hue. See entry_core.h for
// what both entries share. Main thread only.

#include "gump/entry_core.h"
#include "gump/gump_painters.h"

#include <optional>
#include <string>
#include <string_view>

struct TargetChoice;

class InputControl : public TextEntryCore {
public:
    // 184 bytes with the terminator: at most 183 characters.
    static constexpr int32_t kCapacity = 184;
    static constexpr int32_t kCaretHue = 902;

    InputControl(int32_t x, int32_t y, const EntryArt& art, int32_t mode, int32_t maxLength, int32_t font,
        int32_t hue, bool editable, bool centred);
    InputControl(int32_t x, int32_t y, const EntrySize& size, int32_t mode, int32_t maxLength, int32_t font,
        int32_t hue, bool editable, bool centred);
    ~InputControl() override;

    void redraw() override;

    int32_t font() const { return m_font; }
    int32_t hue() const { return m_hue; }
    // Takes effect at the next redraw.
    void setHue(int32_t hue) { m_hue = hue; }
    // The text as 8-bit characters (each unit's low byte).
    std::string narrowText() const;
    void setNarrowText(std::string_view text);

protected:
    int32_t measureChars(int32_t count, const std::u16string& text) override;
    int32_t fitChars(const std::u16string& text, int32_t width) override;
    int32_t charWidth(char16_t unit) override;
    int32_t charInBox(const std::u16string& text, int32_t width, int32_t x, int32_t y) override;
    bool overflowsBox(const std::u16string& textWithCaret) override;
    bool hasGlyph(uint32_t code) override;
    void onDoubleClickReleased() override;
    int32_t baselineOffset() override;
    void drawLine(int32_t x, int32_t y, const std::u16string& text, int32_t ink, const TextClip& clip) override;
    void drawWrapped(int32_t x, int32_t y, const std::u16string& text, int32_t wrapWidth, int32_t ink,
        const TextClip& clip) override;
    void drawCut(int32_t x, int32_t y, const std::u16string& text, int32_t ink, const TextClip& clip) override;
    void drawCaret(int32_t x, int32_t y, int32_t ink, const TextClip& clip) override;
    int32_t lineWidth(const std::u16string& text) override;
    void wrappedCaret(int32_t index, const std::u16string& text, int32_t wrapWidth, int32_t& x, int32_t& y) override;

    int32_t m_font;
    int32_t m_hue;
};

// The decorated entry: a nine-piece frame (art 3000 with its decorations),
// its own hue while hovered or selected, and an optional icon at the right.
class TextEntry : public InputControl {
public:
    static constexpr int32_t kFrameArt = 3000;

    TextEntry(int32_t x, int32_t y, const EntrySize& size, int32_t mode, int32_t maxLength, int32_t font, int32_t hue,
        bool editable, bool centred);

    void redraw() override;

    int32_t iconArt = -1;
    uint16_t hoverHue = 0;
    uint16_t selectedHue = 0;

protected:
    // The frame is laid once per size, so that its random decorations stay
    // where they were put while the text changes.
    void paintBackground() override;
    bool hoverChangesFace() const override { return options.hoverArt != 0 || hoverHue != 0; }

private:
    CachedNinePatch m_frame;
};

// The entry waiting for a mobile picked in the world; null when none (or
// when it was destroyed). The name reply of the server writes there.
InputControl* pendingPickEntry();
void clearPendingPickEntry();
// The target callback of the pick: a mobile gives the entry its serial and
// the text "(mobile)" and asks the server for its name.
void pickMobileForEntry(const std::optional<TargetChoice>& target);
