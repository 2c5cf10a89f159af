#pragma once
// The drop-down lists of the combo boxes: a window that shows an entry in
// mode 2 opens one when the entry asks (onControlActivated), fills it with
// value and name pairs and shows it with showListBox; the list holds the
// pointer capture, highlights the row under the pointer, writes the chosen
// value and name into its owner entry (the owner's parent hears
// onControlChanged) and then destroys itself. ListBoxControl is drawn from
// a column of gump art and grows with its items; SizedListBoxControl has a
// given size and a nine-piece frame and chooses on the press. Both keep
// their face in page 0 and live on the desktop (screen coordinates).
// Main thread only.

#include "gump/entry_core.h"
#include "gump/gump_painters.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ListBoxControl : public CGump {
public:
    static constexpr int32_t kMaxItems = 150;
    static constexpr int32_t kMaxNameLength = 40;
    static constexpr int32_t kRowHeight = 14;
    static constexpr int32_t kHighlightArt = 5109;
    static constexpr int32_t kUpArrowArt = 2435;
    static constexpr int32_t kDownArrowArt = 2437;

    // A hidden list of the art's width, as tall as its top and bottom
    // pieces; with visibleRows (1..255) it scrolls and shows that many rows.
    ListBoxControl(int32_t x, int32_t y, int32_t art, int32_t font, int32_t hue, int32_t visibleRows);

    // Ignored once kMaxItems are held; a name is cut to kMaxNameLength. The
    // list grows by a row (unless it scrolls and is full) and widens,
    // staying centred, for a name wider than itself less 12.
    void addItem(int32_t value, std::string_view name);
    // Draws row `row`, or every row for -1 (making the page at its size).
    virtual void redraw(int32_t row);

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;

    void setOwner(TextEntryCore* owner) { m_owner = GumpHandle(owner); }
    TextEntryCore* owner() const { return static_cast<TextEntryCore*>(m_owner.get()); }
    int32_t itemCount() const { return int32_t(m_values.size()); }
    int32_t itemValue(int32_t index) const { return m_values[size_t(index)]; }
    const std::string& itemName(int32_t index) const { return m_names[size_t(index)]; }
    int32_t highlighted() const { return m_highlighted; }
    int32_t firstRow() const { return m_firstRow; }
    bool isScrollable() const { return m_visibleRows > 0; }

protected:
    // The highlighted row under a local point (-1 for none).
    virtual int32_t rowAt(int32_t x, int32_t y);
    // Gives the owner the row's value and name and tells its parent.
    void chooseForOwner(int32_t row);
    int32_t shownRows() const;
    void textArea(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) const;

    int32_t m_art;
    int32_t m_font;
    int32_t m_hue;
    int32_t m_visibleRows;
    int32_t m_firstRow = 0;
    int32_t m_highlighted = -1;
    std::vector<int32_t> m_values;
    std::vector<std::string> m_names;
    GumpHandle m_owner;
};

class SizedListBoxControl : public ListBoxControl {
public:
    SizedListBoxControl(
        int32_t x, int32_t y, int32_t art, int32_t width, int32_t height, int32_t font, int32_t hue, int32_t visibleRows);

    void redraw(int32_t row) override;
    // The choice is made on the press.
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;

protected:
    int32_t rowAt(int32_t x, int32_t y) override;

private:
    CachedNinePatch m_frame;
};

// The parent's part of the combo box: shows the list at the top of the
// desktop for `owner`, gives it the pointer capture and highlights the row
// under the pointer at once.
void showListBox(ListBoxControl* list, TextEntryCore* owner);
