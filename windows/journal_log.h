#pragma once
// The journal as the text-log windows show it: the journal window and the
// log control the mahjong board places share this view. The view keeps its
// first visible line (by the journal's sequence number, so a dropped line is
// never read) and how many pixel rows of it lie above the text area. It
// follows the newest line until the player scrolls (arrows, thumb, paging by
// holding the button in the scroll column), which turns the scroll lock on;
// unchecking the lock goes back to the newest line. 8-bit lines are drawn in
// ASCII font 9 in their hue, UTF-16 lines in the Unicode font in colour 30
// of their hue's ramp, each wrapped to the text area. Main thread only.

#include "gump/gump.h"
#include "windows/journal.h"
#include "windows/text_window_presses.h"

#include <cstdint>

class Button;
class Thumb;

class JournalLogGump : public CGump, public JournalView {
public:
    static constexpr int32_t kAsciiFont = 9;
    static constexpr int32_t kWideColourIndex = 30;
    static constexpr int32_t kArrowStep = 6;
    static constexpr int32_t kPageEntries = 10;
    static constexpr int32_t kLockArt = 2092;

    // Gump-local, right and bottom inclusive.
    struct TextArea {
        int32_t left = 0;
        int32_t top = 0;
        int32_t right = 0;
        int32_t bottom = 0;
        int32_t width() const { return right - left + 1; }
    };

    ~JournalLogGump() override;

    const TextArea& textArea() const { return m_area; }
    // Null for an empty journal.
    const JournalEntry* firstVisible() const;
    int32_t offset() const { return m_offset; }
    bool isScrollLocked() const;
    void setScrollLock(bool on);
    Thumb* thumb() const;
    Button* lockToggle() const;
    // The height of a line wrapped to the text area (at least 1).
    int32_t entryHeight(const JournalEntry& entry) const;

    // The newest line ends at the bottom of the text area.
    void layoutToNewest();
    // The thumb shows the share of the journal above the first visible row.
    void syncThumb();
    // The arrows: pixels down (positive) or up, the lock turned on.
    void scrollByArrow(int32_t pixels);
    // Paging at a press point of the scroll column.
    void pageAt(int32_t x, int32_t y);
    // Draws the face again with the lines.
    virtual void redrawText() = 0;

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;

    void journalLineDropping(const JournalEntry& entry) override;
    void journalLineAdded(const JournalEntry& entry) override;

protected:
    JournalLogGump(int32_t x, int32_t y, int32_t pageCount, int32_t width, int32_t height);
    void setTextArea(const TextArea& area) { m_area = area; }
    // Links the two children the view scrolls with.
    void attachScrollControls(Thumb* thumb, Button* lock);
    // The lines from the first visible one, clipped to the text area.
    void drawLines(GumpPage& page) const;
    // The window (or the board holding the control) follows the pointer.
    virtual void moveWithPointer(int32_t dx, int32_t dy) = 0;
    virtual bool raisesOnPress() const = 0;

private:
    static void onLockToggled(CGump* parent);
    void setFirst(size_t index, int32_t offset);
    // Index of the first visible line in the journal; 0 when it is empty.
    size_t firstIndex() const;

    TextArea m_area;
    uint64_t m_firstSequence = 0;
    int32_t m_offset = 0;
    TextWindowPresses m_presses;
    GumpHandle m_thumb;
    GumpHandle m_lock;
};
