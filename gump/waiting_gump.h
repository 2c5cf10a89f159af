#pragma once
// The waiting gump: the modal message box of the client. The login steps
// show their progress and refusals in it, the front end its errors. A framed
// box with a text and one button, centred on the game area (in the world) or
// on the 640 x 480 front-end screen; it takes the keyboard focus for its life
// and gives it back when it goes. Enter presses its button. While it is the
// modal gump no other gump receives pointer input. Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <string>

class WaitingGump : public CGump {
public:
    static constexpr int32_t kFrameArt = 2600;
    static constexpr int32_t kInnerFrameArt = 3500;
    static constexpr int32_t kBusyButtonArt = 1150;
    static constexpr int32_t kButtonArt = 1153;
    static constexpr int32_t kBusyCursorKind = 17;
    // What the text buffer holds: UTF-16 units or bytes, without the end.
    static constexpr size_t kMaxWideText = 511;
    static constexpr size_t kMaxNarrowText = 1023;

    struct Options {
        // A gump hidden while the box is up, shown again by its button.
        CGump* covered = nullptr;
        // The busy arts; a large busy box also shows the busy cursor.
        bool busy = false;
        // 320 x 200 inside instead of 115 x 33; swallows every click.
        bool large = false;
        // The button logs out to the main menu instead of closing the box.
        bool returnToMenu = false;
        // A second frame of arts 3500..3508 inside the first.
        bool framed = false;
    };

    // `text` is cut to what the box holds. (x, y) are replaced by the
    // centring rule.
    WaitingGump(const std::u16string& text, const Options& options);
    WaitingGump(const std::string& text, const Options& options);
    ~WaitingGump() override;

    // The button: shows the covered gump again, then logs out to the main
    // menu or closes the box.
    void onCancel();

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onKey(uint32_t code) override;
    bool isInGameView() override { return true; }
    bool isClosableByCloseAll() override { return false; }
    void forgetGump(CGump* dying) override;

    bool isLarge() const { return m_large; }
    bool isBusy() const { return m_busy; }
    bool isUnicode() const { return m_unicode; }
    bool returnsToMenu() const { return m_returnToMenu; }
    void setReturnToMenu(bool returns) { m_returnToMenu = returns; }
    bool isDragging() const { return m_dragging; }
    const std::u16string& wideText() const { return m_wideText; }
    const std::string& narrowText() const { return m_narrowText; }
    CGump* coveredGump() const { return m_covered; }

private:
    WaitingGump(const Options& options, bool unicode);
    void build(const Options& options);
    void layOutText(GumpPage& page);

    bool m_dragging = false;
    bool m_large;
    bool m_returnToMenu;
    std::u16string m_wideText;
    std::string m_narrowText;
    CGump* m_covered;
    GumpHandle m_previousFocus;
    bool m_busy = false;
    bool m_unicode;
};

// Creates the waiting box at the centre, not busy, makes it the modal gump
// and links it at the top of the desktop.
WaitingGump* gumpShowWaiting(const std::u16string& text, CGump* covered, bool large, bool returnToMenu, bool framed);
WaitingGump* gumpShowWaiting(const std::string& text, CGump* covered, bool large, bool returnToMenu, bool framed);
