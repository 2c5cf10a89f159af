#pragma once
// The journal window: the journal in a framed window of fixed width that
// grows downwards (at least 300 pixels high) with arrows, a thumb, the
// scroll lock, a minimise button and a resize grip. Opened by the
// menubar's journal button and the paperdoll through the factory's kind 7,
// and by the desktop file's text-window record; closed by the right button.
// The gump manager owns it. Main thread only.

#include "windows/journal_log.h"

class JournalGump final : public JournalLogGump {
public:
    static constexpr int32_t kFrameArt = 2080;
    static constexpr int32_t kMinimisedArt = 2096;
    static constexpr int32_t kMinimiseArt = 2093;
    static constexpr int32_t kGripArt = 2094;
    static constexpr int32_t kGripPressedArt = 2095;
    static constexpr int32_t kThumbArt = 31;
    static constexpr int32_t kUpArt = 2084;
    static constexpr int32_t kDownArt = 2085;
    static constexpr int32_t kTitleArt = 2090;
    static constexpr int32_t kRuleArt = 2091;
    static constexpr int32_t kHeight = 300;
    static constexpr int32_t kMinHeight = 300;

    JournalGump(int32_t x, int32_t y);
    ~JournalGump() override;

    void redrawText() override;
    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void resize(int32_t width, int32_t height, bool flag) override;

protected:
    void moveWithPointer(int32_t dx, int32_t dy) override;
    bool raisesOnPress() const override { return true; }

private:
    void placeTextArea();
};

// The frame every art-2080 text window shares: the background strip, then
// the title art and the two rules. `titleX` and `titleDrop` place the
// title art below the minimise button.
void drawTextWindowFrame(GumpPage& page, int32_t titleArt, int32_t titleX, int32_t titleDrop);
// A text window's right edge of text: width - margin, made odd.
int32_t textWindowRight(int32_t width, int32_t margin);
// Moves children with a text window's new size: the thumb keeps its distance
// from the right edge and its track grows with the height; other children
// beyond half the old width (height) keep their distance from the right
// (bottom) edge. The caller sets the new size afterwards.
void moveTextWindowChildren(CGump& window, Thumb* thumb, int32_t newWidth, int32_t newHeight);
