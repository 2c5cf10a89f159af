#pragma once
// What the two text entries share: the modes, the flags, the caret and the
// horizontal scroll, the typing rules and filters, the key table, and the
// press, double-click and long-press state machine. The text is kept as
// UTF-16 units; the 8-bit entry keeps one byte value per unit (its fonts
// have glyphs for codes 32 to 255 only, so nothing else can be typed into
// it). Each entry class supplies its measuring and its drawing.
//
// An entry is a child control: it reports to its parent window through the
// parent's operations (pressed, activated, released, changed, Tab, Enter,
// Escape); any of those may close the window and the entry with it, so the
// entry touches nothing of itself after such a call unless it still lives.
// It takes the keyboard focus on a click when editable. Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <string>

// Navigation keys as a gump receives them: kKeyBase plus the virtual-key
// code. The base lies past the last Unicode character, so that no character
// (a private-use one from the clipboard, say) can pass for a key.
namespace GumpKey {
constexpr uint32_t kKeyBase = 0x110000;
constexpr uint32_t kBackspace = 8;
constexpr uint32_t kTab = 9;
constexpr uint32_t kEnter = 13;
constexpr uint32_t kEscape = 27;
constexpr uint32_t kPageUp = kKeyBase + 0x21;
constexpr uint32_t kPageDown = kKeyBase + 0x22;
constexpr uint32_t kEnd = kKeyBase + 0x23;
constexpr uint32_t kHome = kKeyBase + 0x24;
constexpr uint32_t kLeft = kKeyBase + 0x25;
constexpr uint32_t kUp = kKeyBase + 0x26;
constexpr uint32_t kRight = kKeyBase + 0x27;
constexpr uint32_t kDown = kKeyBase + 0x28;
constexpr uint32_t kInsert = kKeyBase + 0x2D;
constexpr uint32_t kDelete = kKeyBase + 0x2E;
// A navigation key rather than a character.
constexpr bool isNavigationKey(uint32_t code) { return code >= kKeyBase; }
} // namespace GumpKey

// How long two presses may lie apart to make a double click. The desktop
// gives no setting of its own here, so this is the usual default.
constexpr uint32_t kDoubleClickMs = 500;

// Presses counted towards a double click: 1 after a first press, 2 after a
// second within kDoubleClickMs; the time passing forgets a first press.
struct ClickCounter {
    int32_t state = 0;
    uint32_t firstPressAt = 0;

    void press();
    // On the hover tick: true when a first press just ran out of time.
    bool expire();
    void reset() { state = 0; }
};

enum class EntryMode : uint8_t {
    Text = 0,
    Number = 1,
    // Text that asks its parent to open a list on a press (a combo box).
    ComboText = 2,
    // 3 and above: a number that can only be shown and shortened.
    ShownNumber = 3,
};

// The flags a creator sets after construction (then redraws).
struct EntryOptions {
    bool editable = false;
    bool password = false;
    bool readOnly = false;
    // Unfocused text centred, with a drop-down arrow (the combo look).
    bool centred = false;
    bool alphanumericOnly = false;
    // Letters, digits, blank, '-', '.' and '\'' only (8-bit entry).
    bool nameCharsOnly = false;
    bool threeSliceBackground = false;
    bool clearBackground = false;
    bool multiLine = false;
    // No horizontal scroll: a character that would not fit is taken back.
    bool fitToWidth = false;
    // A double click picks a mobile in the world (8-bit entry).
    bool pickMobile = false;
    // Set by the parent to highlight one entry of a group.
    bool selected = false;
    int32_t emptyArt = 0;
    int32_t hoverArt = 0;
    int32_t selectedArt = 0;
    int32_t readOnlyArt = 0;
    int32_t marginX = 3;
    int32_t marginY = 2;
};

// The two ways an entry is made: on gump art (its size, one pixel taller;
// a width override stretches the art as a three-slice), or of a given size
// with a cleared background.
struct EntryArt {
    int32_t art = 0;
    int32_t readOnlyArt = 0;
    int32_t widthOverride = 0;
};
struct EntrySize {
    int32_t width = 1;
    int32_t height = 1;
    bool threeSlice = false;
};

// The size an art-form entry takes.
EntrySize entrySizeOfArt(const EntryArt& art);

class TextEntryCore : public CGump {
public:
    // `capacity` counts units with the terminator the original buffers had:
    // the text holds at most capacity - 1.
    TextEntryCore(int32_t x, int32_t y, int32_t width, int32_t height, int32_t mode, int32_t maxLength,
        int32_t capacity);

    EntryOptions options;

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onMouseLeave() override;
    void onHoverTick() override;
    void onKey(uint32_t code) override;
    // Redraws the face (the kind action), without the caret when unfocused.
    void kindAction() override { redraw(); }
    void onFocusLost() override;

    // Draws the face into page 0.
    virtual void redraw() = 0;

    int32_t mode() const { return m_mode; }
    bool isNumberMode() const { return m_mode == 1 || m_mode > 2; }
    int32_t value() const { return m_value; }
    void setValue(int32_t value) { m_value = value; }
    const std::u16string& text() const { return m_text; }
    // Cut to the entry's capacity; the caret stays where it is (clamped
    // wherever it is used).
    void setText(std::u16string_view text);
    int32_t maxLength() const { return m_maxLength; }
    int32_t caret() const { return m_caret; }
    int32_t firstShown() const { return m_firstShown; }
    void setCaret(int32_t caret) { m_caret = caret; }
    void setFirstShown(int32_t first) { m_firstShown = first; }
    int32_t clickState() const { return m_clicks.state; }
    bool isLongPress() const { return m_longPress; }
    bool isHovered() const { return m_hovered; }
    bool hasFocus();
    // The most units the text can hold.
    int32_t textCapacity() const { return m_capacity - 1; }

    // The string the entry shows: the number, the '*' mask or the text.
    std::u16string shownString() const;

protected:
    // Measuring in the entry's font.
    virtual int32_t measureChars(int32_t count, const std::u16string& text) = 0;
    virtual int32_t fitChars(const std::u16string& text, int32_t width) = 0;
    virtual int32_t charWidth(char16_t unit) = 0;
    // The character at (x, y) of `text` wrapped to `width`.
    virtual int32_t charInBox(const std::u16string& text, int32_t width, int32_t x, int32_t y) = 0;
    // Whether text plus the caret no longer fits the box (wrapped for a
    // multi-line entry, else on one line).
    virtual bool overflowsBox(const std::u16string& textWithCaret) = 0;
    virtual bool hasGlyph(uint32_t code) = 0;
    // What the release of a double click does before the parent hears of it.
    virtual void onDoubleClickReleased() { }

    // Drawing in the entry's font and ink (a hue for the 8-bit entry, a
    // colour for the Unicode one): the baseline offset of a line, one line
    // with its baseline at y, a wrapped block from (x, y), a line cut with
    // "..." to the clip, the caret "_" (number modes may draw it in another
    // ink), a line's width, and where a character of wrapped text lies.
    virtual int32_t baselineOffset() = 0;
    virtual void drawLine(int32_t x, int32_t y, const std::u16string& text, int32_t ink, const TextClip& clip) = 0;
    virtual void drawWrapped(
        int32_t x, int32_t y, const std::u16string& text, int32_t width, int32_t ink, const TextClip& clip)
        = 0;
    virtual void drawCut(int32_t x, int32_t y, const std::u16string& text, int32_t ink, const TextClip& clip) = 0;
    virtual void drawCaret(int32_t x, int32_t y, int32_t ink, const TextClip& clip) = 0;
    virtual int32_t lineWidth(const std::u16string& text) = 0;
    virtual void wrappedCaret(int32_t index, const std::u16string& text, int32_t width, int32_t& x, int32_t& y) = 0;

    // The size form: no art, a cleared background (or a three-slice one).
    void startSizeForm(bool editable, bool centred, bool threeSlice);
    // The art form: the art as the background (stretched as a three-slice
    // by a width override), and the art shown while read only.
    void useArtBackground(const EntryArt& art);
    // Clears page 0 and draws the background the flags choose.
    virtual void paintBackground();
    // The text, the caret when focused, and the combo arrow, in `ink`; the
    // caret in `caretInk`.
    void paintText(int32_t ink, int32_t caretInk);
    // Whether hovering changes the face.
    virtual bool hoverChangesFace() const { return options.hoverArt != 0; }

    // The parent's report that text or value changed. False when the entry
    // did not survive it.
    bool notifyChanged();
    void typeCharacter(uint32_t code);
    void typeDigit(uint32_t code);
    void backspace();
    void scrollToCaret();
    // After a step left: when the caret went before the first shown
    // character, the view moves back up to 8 characters.
    void keepCaretShownAfterLeftStep();
    // The art the background is drawn from now.
    int32_t backgroundArt() const;

    std::u16string m_text;
    int32_t m_mode;
    int32_t m_value = 0;
    int32_t m_maxLength;
    int32_t m_capacity;
    int32_t m_caret = 0;
    int32_t m_firstShown = 0;
    ClickCounter m_clicks;
    bool m_longPress = false;
    bool m_pressed = false;
    bool m_hovered = false;
};
