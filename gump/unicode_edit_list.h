#pragma once
// A scrolling column of Unicode entries, one name per row (the options
// window's name lists). The last row is always empty (or reads "(new)" in a
// select-only list): typing into it makes it a row and adds a new last row;
// emptying another row removes it and hands the caret to the row above.
// Two repeating arrows scroll the column by a row; rows show only while they
// fit the list. In a select-only list the rows are picked by a click and
// Delete removes the picked one. Pressing the list itself (not a row) drags
// its parent window. The parent hears onControlChanged (list) after every
// change of the rows. The list owns its entries. Main thread only.

#include "gump/button.h"
#include "gump/unicode_input_control.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class UnicodeEditList : public CGump {
public:
    static constexpr int32_t kRowSpacing = 29;
    static constexpr int32_t kFirstRowY = 7;
    static constexpr int32_t kEntryX = 10;
    static constexpr int32_t kEntryWidth = 136;
    static constexpr int32_t kEntryFont = 1;
    static constexpr int32_t kEntryHue = 902;
    static constexpr int32_t kUpArt = 2435;
    static constexpr int32_t kDownArt = 2437;
    // A drag starts past this many pixels from the press.
    static constexpr int32_t kDragThreshold = 4;

    // Sized by `art`, which is its background; rows are added by addEntry.
    UnicodeEditList(int32_t x, int32_t y, int32_t art, int32_t maxRows, int32_t entryMaxLength);

    // Appends a row (ignored once maxRows are held); the text is cut to what
    // an entry holds.
    void addEntry(std::u16string_view text, int32_t value);
    void addEntryAnsi(std::string_view text, int32_t value);
    void removeRow(int32_t row);
    void scrollUp();
    void scrollDown();

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

    bool selectOnly = false;

    int32_t rowCount() const { return int32_t(m_rows.size()); }
    UnicodeInputControl* rowEntry(int32_t row) const;
    int32_t firstShownIndex() const { return m_firstShown; }
    int32_t selectedRow() const { return m_selected; }
    Button* upButton() const { return static_cast<Button*>(m_up.get()); }
    Button* downButton() const { return static_cast<Button*>(m_down.get()); }
    bool isDragged() const { return m_dragged; }
    int32_t clickState() const { return m_clicks.state; }

private:
    int32_t rowOf(const CGump* entry) const;
    // Places every row at its y for the first shown row, shows those that
    // fit, sets the arrows and repaints the background.
    void relayout();
    void paintBackground();
    void forgetSelection();
    void notifyParent();

    int32_t m_art;
    int32_t m_maxRows;
    int32_t m_entryMaxLength;
    int32_t m_firstShown = 0;
    int32_t m_selected = -1;
    uint16_t m_selectedColour = 0;
    std::vector<GumpHandle> m_rows;
    GumpHandle m_up;
    GumpHandle m_down;
    bool m_dragged = false;
    bool m_pressed = false;
    ClickCounter m_clicks;
};
