#pragma once
// A bulletin board: a container item whose contents are messages. The
// server opens its window (0x71 command 0) and sends one summary per posting
// (command 1); the window lists the postings as threads in a band, each
// top-level posting followed by its replies, which show only while their
// thread is expanded. A double click on a line asks the server for the whole
// message (command 3), which opens in a message window; the post area opens
// a window to compose a new message.
//
// The gump manager owns the board; its lines are its children. The board and
// its lines name their items by serial; the world tells the board when a
// message leaves (onLineRemoved). Points are local pixels. Main thread only;
// times are tick-count milliseconds.

#include "gump/gump.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class Thumb;

// The board's and its message windows' text style.
inline constexpr int32_t kBoardFont = 1;
inline constexpr uint16_t kBoardTextColour = 0x8842;
inline constexpr int32_t kBoardLineHeight = 18;

class BBLineGump final : public CGump {
public:
    static constexpr int32_t kMessageArt = 5411;
    static constexpr int32_t kIconBoxArt = 5401;
    static constexpr int32_t kCollapsedArt = 55;
    static constexpr int32_t kExpandedArt = 56;
    static constexpr int32_t kIconClickWidth = 22;

    // Made and linked to the board.
    BBLineGump(CGump& board, int32_t x, int32_t y, int32_t width, uint32_t message, uint32_t parentMessage,
        std::u16string_view poster, std::u16string_view subject, std::u16string_view time);

    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;

    uint32_t message() const { return m_message; }
    uint32_t parentMessage() const { return m_parentMessage; }
    // -1 no replies, 0 collapsed, 1 expanded.
    int32_t expandState() const { return m_expandState; }
    void setExpandState(int32_t state);
    // Opens or closes the thread when (x, y) lies on the icon.
    void toggle(int32_t x, int32_t y);

private:
    void drawIcon();
    class BulletinBoardGump* board() const;

    uint32_t m_message;
    uint32_t m_parentMessage;
    int32_t m_expandState = -1;
    bool m_held = false;
    bool m_leftDown = false;
    uint32_t m_pressTime = 0;
    int32_t m_clickState = 0;
};

class BulletinBoardGump final : public CGump {
public:
    static constexpr int32_t kArt = 2170;
    static constexpr int32_t kThumbArt = 2088;
    static constexpr int32_t kListLeft = 109;
    static constexpr int32_t kListTop = 159;
    static constexpr int32_t kListRight = 354;
    static constexpr int32_t kListBottom = 324;
    static constexpr int32_t kReplyIndent = 20;

    // Centred in the client area, with the board's name over the list.
    BulletinBoardGump(uint32_t board, std::u16string_view name);
    ~BulletinBoardGump() override;

    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;

    // A posting: a top-level line at the end, or a reply at the end of its
    // thread (shown only while the thread is expanded).
    void addPosting(uint32_t message, uint32_t parent, std::u16string_view poster, std::u16string_view subject,
        std::u16string_view time);
    // The message of `line` left the world: the line goes and the lines
    // below close up.
    void onLineRemoved(BBLineGump* line);
    // A compose window for a new message (replyTo 0) or a reply.
    void composeMessage(uint32_t replyTo, std::u16string_view subject);
    void scrollUp();
    void scrollDown();
    // A line's thread opened or closed: the lines after its replies move.
    void threadToggled(BBLineGump& line);

    uint32_t boardSerial() const { return ownerSerial(); }
    bool isClosing() const { return m_closing; }
    // The board item is being destroyed with its messages: closing keeps
    // out of them.
    void boardGoing() { m_boardGoing = true; }
    // The lines in display order.
    std::vector<BBLineGump*> lines() const;
    BBLineGump* lineFor(uint32_t message) const;
    BBLineGump* topLine() const;
    bool isShown(const BBLineGump& line) const;
    Thumb* thumb() const;

private:
    // Visible when shown and inside the band.
    void applyBandRule(BBLineGump& line) const;
    void moveLine(BBLineGump& line, int32_t dy) const;
    std::vector<BBLineGump*> shownLines() const;
    int32_t shownIndex(const BBLineGump* line) const;
    void placeThumb(int32_t position, int32_t range);
    void pruneLines();

    std::vector<GumpHandle> m_lines;
    GumpHandle m_topLine;
    GumpHandle m_thumb;
    bool m_leftDown = false;
    bool m_closing = false;
    bool m_boardGoing = false;
};

// One message request at a time: set when a line asks for its message,
// cleared when the message arrives; `parent` becomes the message window's
// reply-to serial.
struct BoardRequest {
    bool pending = false;
    uint32_t parent = 0;
};
BoardRequest& boardRequest();

// The board window of a board item, or null.
BulletinBoardGump* findBulletinBoard(uint32_t board);
// The board showing a line for `message`, with that line; null when none.
BulletinBoardGump* findBoardOfMessage(uint32_t message, BBLineGump*& line);
