#pragma once
// A column of 8-bit name entries on ruled lines (the options window's ignore
// list): one row per name, each keeping a number beside its text, then a
// "(new)" row. Typing into the last row makes it a name and adds a new last
// row; emptying another row removes it and hands the caret to the row above.
// A pressed row is highlighted until the list loses the focus, and Delete
// removes it (never the last row). Two repeating arrows scroll the column by
// a row; rows show only while they fit the list. Pressing the list itself
// drags its parent window. The parent hears onControlChanged (list) after
// every change of the rows. The list owns its entries. Main thread only.

#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class InputControl;

class EditListGump final : public CGump {
public:
    static constexpr int32_t kEntryX = 10;
    static constexpr int32_t kEntryWidth = 136;
    static constexpr int32_t kEntryHeight = 17;
    static constexpr int32_t kMaxNameLength = 29;
    static constexpr int32_t kEntryFont = 1;
    static constexpr int32_t kEntryHue = 902;
    static constexpr int32_t kHighlightHue = 88;
    static constexpr int32_t kUpArt = 2435;
    static constexpr int32_t kDownArt = 2437;
    static constexpr int32_t kTopLine = 3;
    static constexpr char kNewRowText[] = "(new)";

    // Sized by `art`, its background; the art after it is the ruled area.
    EditListGump(int32_t x, int32_t y, int32_t art, int32_t maxRows);

    // Appends a row (nothing once the row limit is held).
    void addRow(std::string_view text, int32_t number);
    void removeRow(int32_t row);
    void scrollUp();
    void scrollDown();
    // The y of the ruled line `place` rows below the first shown one.
    static int32_t lineY(int32_t place);

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void onKey(uint32_t code) override;
    void onControlChanged(CGump* control) override;
    void onTab() override;
    void onControlPressed(CGump* control) override;
    void onFocusLost() override;

    int32_t rowCount() const { return int32_t(m_rows.size()); }
    InputControl* rowEntry(int32_t row) const;
    int32_t firstShownIndex() const { return m_firstShown; }
    int32_t highlightedRow() const { return m_highlighted; }
    Button* upButton() const { return static_cast<Button*>(m_up.get()); }
    Button* downButton() const { return static_cast<Button*>(m_down.get()); }

private:
    int32_t rowOf(const CGump* entry) const;
    // Places every row on its line for the first shown row, shows those
    // that fit, sets the arrows and repaints the background.
    void relayout();
    void paintBackground();
    void forgetHighlight();
    void notifyParent();

    int32_t m_art;
    int32_t m_maxRows;
    int32_t m_firstShown = 0;
    int32_t m_highlighted = -1;
    int32_t m_savedHue = kEntryHue;
    std::vector<GumpHandle> m_rows;
    GumpHandle m_up;
    GumpHandle m_down;
    bool m_pressed = false;
    bool m_dragged = false;
    ClickCounter m_clicks;
};
