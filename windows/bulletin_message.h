#pragma once
// The window of one bulletin-board message: reading a message the server
// sent (0x71 command 2), with a reply button, or composing a new one, with a
// subject entry, a small multi-line editor and a post button (0x71 command
// 5). Text is the board's style: Unicode font 1 in the board's colour.
//
// The gump manager owns the window; it names its message (read mode) or
// its board (compose mode) by serial. Points are local pixels. Main thread
// only.

#include "gump/gump.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class Thumb;
class UnicodeInputControl;

// The body of a message being composed: lines wrapped at 213 pixels (215
// when two lines join), at most 79 of them, and a caret that may stand on
// the spare line after the last one. Widths are measured in the selected
// Unicode font.
class MessageBody {
public:
    static constexpr int32_t kMaxLines = 79;
    static constexpr int32_t kWrapWidth = 213;
    static constexpr int32_t kJoinWidth = 215;
    // A line never holds more than this many characters, however narrow they are.
    static constexpr int32_t kMaxLineChars = 80;

    // Where the body lies in its window, for the scrolling that follows the caret.
    struct View {
        int32_t bodyTop = 120;
        int32_t textTop = 120;
        int32_t textBottom = 0;
        int32_t lineStep = 1;
    };

    // A key as a gump receives it; true when firstShown changed.
    bool key(uint32_t code, const View& view);

    int32_t lineCount() const { return int32_t(lines.size()); }
    // The caret's line text (empty on the spare line).
    std::u16string_view caretText() const;

    std::vector<std::u16string> lines;
    int32_t caretLine = 0;
    int32_t caretColumn = 0;
    int32_t firstShown = 0;

private:
    bool backspace(const View& view);
    bool enter(const View& view);
    bool insert(char16_t character, const View& view);
    bool moveDown(const View& view);
    // Wraps one line that is wider than the wrap width; false when it fits
    // (or the line limit cut it).
    bool rewrapLine(int32_t row, const View& view, bool& cut, bool& scrolled);
    void clampColumn();
};

// How many characters of `text` stay on a line `width` pixels wide: the
// break after the last blank before the width (the blank staying on the
// line), a word wider than the line cut at the width, and never more than
// `maxChars`. -1 when the whole text fits.
int32_t wrappedKeepLength(std::u16string_view text, int32_t width, int32_t maxChars);

class BBMessageGump final : public CGump {
public:
    static constexpr int32_t kAuthorUnits = 30;
    static constexpr int32_t kSubjectUnits = 80;
    static constexpr int32_t kTimeUnits = 40;
    static constexpr int32_t kMaxReadLines = 80;
    static constexpr int32_t kHeight = 300;
    static constexpr int32_t kBackgroundArt = 2080;
    static constexpr int32_t kGripArt = 2094;
    static constexpr int32_t kLeft = 30;
    static constexpr int32_t kRight = 245;
    static constexpr int32_t kBodyTop = 120;
    static constexpr int32_t kMinHeight = 260;

    // `owner` is the message (read mode) or the board (compose mode). Linked
    // on top; a compose window gives its subject entry the keyboard focus.
    BBMessageGump(uint32_t owner, uint32_t replyTo, std::u16string_view author, std::u16string_view subject,
        std::u16string_view time, bool compose);
    ~BBMessageGump() override;

    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onKey(uint32_t code) override;
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;
    void resize(int32_t width, int32_t height, bool flag) override;
    // Without the focus the caret goes.
    void onFocusLost() override { redrawText(); }

    // A read message's body line (the first 80 characters; at most 80 lines).
    void addBodyLine(std::u16string_view text);
    void redrawText();

    // The buttons.
    void post();
    void reply();
    void scrollUp();
    void scrollDown();
    void openResizeFrame();

    bool isCompose() const { return m_compose; }
    uint32_t replyTo() const { return m_replyTo; }
    const std::u16string& subject() const { return m_subject; }
    const MessageBody& body() const { return m_body; }
    UnicodeInputControl* subjectEntry() const;
    int32_t textBottom() const { return m_textBottom; }

private:
    void drawBackground();
    MessageBody::View view() const;
    void placeThumb();

    GumpHandle m_subjectEntry;
    GumpHandle m_thumb;
    bool m_leftDown = false;
    bool m_compose;
    uint32_t m_replyTo;
    int32_t m_textBottom = 0;
    int32_t m_lineStep = 1;
    int32_t m_baseline = 0;
    std::u16string m_author;
    std::u16string m_subject;
    std::u16string m_time;
    MessageBody m_body;
};

// The message window of a message or of a board's composition, or null.
BBMessageGump* findMessageWindow(uint32_t owner);
