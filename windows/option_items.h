#pragma once
// The rows of the options window and the layout language that places them.
// The rows are not built in: the localized "options" string table lays out
// each tab (its title and text) and its rows, each naming a setting of the
// settings store by key and a control: a check box, a colour or hue swatch, a
// set of radio choices, a Unicode font choice, a slider, or a label alone. A
// row shows the stored value, changes it on a press or drag, and writes it
// back only when the window applies. Main thread only.

#include "core/wide_string.h"
#include "gump/gump.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class OptionItem {
public:
    static constexpr int32_t kLabelWrap = 434;
    static constexpr int32_t kLineHeight = 18;
    static constexpr int32_t kControlX = 70;
    static constexpr uint16_t kTextColour = 0x0842;

    OptionItem(int32_t tab, std::u16string label, std::u16string key);
    virtual ~OptionItem() = default;
    OptionItem(const OptionItem&) = delete;
    OptionItem& operator=(const OptionItem&) = delete;

    // In the window's text state (Unicode font 0, blank width 6, not tight).
    virtual int32_t height() const = 0;
    virtual void draw(GumpPage& page, int32_t top, const ScreenRect& clip) const = 0;
    virtual void apply() = 0;
    // A press or a drag at (x, y) of the window, the row's top at `top`;
    // true keeps the row taking the drags. `changed` is set when the value
    // changed.
    virtual bool onPointer(int32_t x, int32_t y, int32_t top, bool& changed) = 0;
    // Takes the setting's default; true when the value changed.
    virtual bool resetToDefault() { return false; }
    // A colour row's picker answer; the others ignore it.
    virtual bool takeHue(int32_t) { return false; }
    virtual bool isColour() const { return false; }

    int32_t tab() const { return m_tab; }
    const std::u16string& label() const { return m_label; }
    // The settings store's name of the setting.
    const WString& key() const { return m_key; }

protected:
    // The label's height wrapped to kLabelWrap.
    int32_t labelHeight() const;
    void drawLabel(GumpPage& page, int32_t x, int32_t width, int32_t top, const ScreenRect& clip) const;

private:
    int32_t m_tab;
    std::u16string m_label;
    WString m_key;
};

// What the layout gave: the notice, the tabs' titles and texts, and the rows
// in layout order.
struct OptionsLayout {
    static constexpr int32_t kTabCount = 10;
    std::u16string notice;
    std::u16string titles[kTabCount];
    std::u16string texts[kTabCount];
    std::vector<std::unique_ptr<OptionItem>> rows;
};

// The table's entries by index; nothing for a missing entry.
using OptionsEntry = std::function<std::optional<std::u16string>(int32_t index)>;
// Reads the layout language from entry 0 on. Parsing stops at the first
// malformed line; the rows read before it stay.
OptionsLayout parseOptionsLayout(const OptionsEntry& entry);
// The layout of the current language's "options" table; empty without it.
OptionsLayout loadOptionsLayout();
