#pragma once
// The scrolling choice list: a framed list of up to 100 text rows with a
// scroll thumb and two arrows, from which the player picks one row. A row
// stands for a value (a shard id, for the login road) and carries a colour
// and a text; in the shard layout it has two more columns (round trip and
// loss), three sort buttons and markers on the best row of each sort. A
// chosen row goes into a target text control and is reported to the
// listener window, or, without a target control, selects that shard.
//
// A press chooses on the first hover tick after it, and again every second
// tick while the button stays down. Times are 32-bit millisecond ticks
// compared unsigned. Main thread only.

#include "gump/gump.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class InputControl;
class Thumb;

// The click timing the choice windows share: a press either starts a click
// or, while a first one is pending, makes it a double click.
struct ChoiceClick {
    bool pressPending = false;
    uint32_t pressTime = 0;
    int32_t clickPhase = 0;
    int32_t hoverTicks = 0;
    // Records a press on `gump` at (x, y) and brings it to the front; false
    // when that closed it.
    bool press(CGump& gump, int32_t x, int32_t y);
    // Steps a hover tick: a first click older than the double-click time
    // makes a pending press a held one; true when the pending press
    // chooses now (every second tick).
    bool hoverTick(bool& held);
};

class ScrollChoiceGump : public CGump {
public:
    static constexpr int32_t kMaxRows = 100;
    static constexpr size_t kMaxRowText = 79;
    static constexpr int32_t kRowFont = 5;
    static constexpr int32_t kDefaultRowHue = 902;
    static constexpr int32_t kHoverHue = 53;
    static constexpr int32_t kShardHoverHue = 33;
    static constexpr int32_t kFirstMarkerArt = 2360;

    // `listener` hears of a choice; `target` (may be null) receives it.
    ScrollChoiceGump(CGump* listener, int32_t frameArt, int32_t x, int32_t y, int32_t width, int32_t height,
        InputControl* target, bool shardLayout, bool wideText);
    ~ScrollChoiceGump() override;

    // Stores a row after the last one; false once 100 are held.
    bool addItem(int32_t value, const std::string& text, uint16_t colour, const std::string& second = {},
        const std::string& third = {});
    void clearItems() { m_count = 0; }
    void clearTexts();
    // Repaints the page: frame, scroll column, title and the visible rows.
    void redrawList();
    void scrollUp();
    void scrollDown();

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override { return containsPointInBuffer(x, y); }
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onMouseLeave() override;
    void onHoverTick() override;
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;
    bool isInGameView() override { return true; }
    // Chooses the row under the press.
    void kindAction() override { choose(dragAnchorX(), dragAnchorY()); }
    virtual void choose(int32_t x, int32_t y);

    int32_t count() const { return m_count; }
    int32_t valueAt(int32_t row) const { return m_values[size_t(row)]; }
    const std::string& textAt(int32_t row) const { return m_texts[size_t(row)]; }
    const std::string& secondAt(int32_t row) const { return m_second[size_t(row)]; }
    const std::string& thirdAt(int32_t row) const { return m_third[size_t(row)]; }
    int32_t firstVisible() const { return m_firstVisible; }
    int32_t hoveredRow() const { return m_hovered; }
    // The row under a local point; -1 for none. The shard layout widens the
    // area to the third column for the hover highlight only.
    int32_t rowAt(int32_t x, int32_t y, bool forHover) const;
    int32_t rowHeight() const;
    const ScreenRect& listRect() const { return m_listRect; }

    // The three markers: the value of the best row of each sort (-1 none).
    int32_t mark(int32_t which) const { return m_marks[size_t(which)]; }
    void setMark(int32_t which, int32_t value) { m_marks[size_t(which)] = value; }
    void setTitle(const std::string& title) { m_title = title; }
    bool isShardLayout() const { return m_shardLayout; }
    // A list whose rows are shards to log in to (the shard layout, and the
    // plain list of the combined login packet): closed without a choice it
    // takes the player back to the main menu.
    void setChoosesShard(bool chooses) { m_choosesShard = chooses; }
    void setRightClickCloses(bool closes) { m_rightClickCloses = closes; }
    // 1 until a shard was chosen; see the destructor.
    int32_t shardPickPending() const { return m_shardPickPending; }
    void setShardPickPending(int32_t pending) { m_shardPickPending = pending; }
    // Set when the list goes without a choice on purpose (the shard list's
    // back button): its destruction then leaves the connection alone.
    void setQuietClose(bool quiet) { m_quietClose = quiet; }
    CGump* listener() const { return m_listener.get(); }

    // The display order of the shard sorts: a permutation of the shard
    // indexes, empty until the first sort.
    std::vector<int32_t>& order() { return m_order; }
    bool hasOrder() const { return !m_order.empty(); }
    int32_t sortOrder() const { return m_sortOrder; }
    void setSortOrder(int32_t order) { m_sortOrder = order; }

protected:
    // For lists made on this one (the skill list): its own row area and font.
    void setListRect(const ScreenRect& rect) { m_listRect = rect; }
    void setRowFont(int32_t font) { m_rowFont = font; }

private:
    void drawScrollColumn(GumpPage& face);
    void drawRows(GumpPage& face);

    GumpHandle m_listener;
    GumpHandle m_target;
    int32_t m_frameArt;
    bool m_shardLayout;
    bool m_choosesShard = false;
    bool m_wideText;
    std::array<int32_t, kMaxRows> m_values {};
    std::array<uint16_t, kMaxRows> m_colours {};
    std::array<std::string, kMaxRows> m_texts;
    std::array<std::string, kMaxRows> m_second;
    std::array<std::string, kMaxRows> m_third;
    int32_t m_count = 0;
    int32_t m_firstVisible = 0;
    int32_t m_hovered = -1;
    std::array<int32_t, 3> m_marks { -1, -1, -1 };
    ScreenRect m_listRect;
    ScreenRect m_secondRect;
    ScreenRect m_thirdRect;
    std::string m_title;

    // The click state.
    ChoiceClick m_click;
    bool m_held = false;

    Thumb* m_thumb = nullptr;
    int32_t m_shardPickPending = 1;
    bool m_quietClose = false;
    int32_t m_scrollColumnX;
    int32_t m_trackTop = 1;
    int32_t m_trackBottom;
    int32_t m_sortOrder = 0;
    bool m_rightClickCloses = true;
    int32_t m_rowFont = kRowFont;
    std::vector<int32_t> m_order;
};
