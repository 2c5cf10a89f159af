#pragma once
// The macro page's controls: one action row (MacroCmdGump: the action's
// drop-down field and its argument, a drop-down of choices or a text), and
// the list of a macro's rows (MacroListGump), which keeps an empty row at its
// end while the macro has fewer than ten actions and scrolls by whole rows
// with its two arrows. Choosing "(NONE)" removes a row. The rows' owner, the options window, hears onControlChanged (the
// list) after every change and rebuilds the macro's actions from the rows.
// Main thread only.

#include "gump/gump.h"
#include "windows/macro_files.h"

#include <cstdint>
#include <string>
#include <vector>

class Button;
class InputControl;
class UnicodeInputControl;

namespace macro_editor {

inline constexpr int32_t kNoneChoice = 99;
inline constexpr int32_t kRowHeight = 26;
inline constexpr int32_t kMaxRows = macro::kMaxActions;

struct Choice {
    int32_t number;
    std::string name;
};
// The drop-down of the action field: every action but "Command", then
// "(NONE)".
std::vector<Choice> actionChoices();
// The argument choices of an action; empty for text and plain actions.
std::vector<Choice> argumentChoices(int32_t action);
// The action's name, or "%d missing name" for a number outside the table.
std::string actionLabel(int32_t action);

} // namespace macro_editor

class MacroCmdGump final : public CGump {
public:
    static constexpr int32_t kWidth = 270;
    static constexpr int32_t kHeight = 26;

    MacroCmdGump(int32_t x, int32_t y, const macro::MacroAction& action);

    bool containsPoint(int32_t x, int32_t y) override;
    void onControlActivated(CGump* control) override;
    void onControlChanged(CGump* control) override;

    int32_t action() const;
    // The row as an action (the choice's number, the text).
    macro::MacroAction toAction() const;
    InputControl* actionField() const { return m_actionField; }
    InputControl* choiceField() const { return m_choiceField; }
    UnicodeInputControl* textField() const { return m_textField; }
    // The field's value chosen as the drop-down would choose it.
    void choose(CGump* field, int32_t value);

private:
    void rebuildArgumentField(int32_t argument, const std::u16string& text);

    InputControl* m_actionField = nullptr;
    InputControl* m_choiceField = nullptr;
    UnicodeInputControl* m_textField = nullptr;
};

class MacroListGump final : public CGump {
public:
    MacroListGump(int32_t x, int32_t y, int32_t width, int32_t height);

    bool containsPoint(int32_t x, int32_t y) override;
    void onControlChanged(CGump* control) override;

    void addRow(const macro::MacroAction& action);
    void removeRow(MacroCmdGump* row);
    void clearRows();
    const std::vector<MacroCmdGump*>& rows() const { return m_rows; }
    // The actions of the rows, in order; empty rows give none.
    std::vector<macro::MacroAction> actions() const;

    // The arrows: every row moves a row height down (while a row lies above
    // the view) or up (while at least two rows lie below the top).
    void scrollUp();
    void scrollDown();
    Button* upArrow() const { return m_up; }
    Button* downArrow() const { return m_down; }

private:
    void placeRows();

    std::vector<MacroCmdGump*> m_rows;
    Button* m_up = nullptr;
    Button* m_down = nullptr;
    // How far the rows are moved up, a whole number of rows.
    int32_t m_scrolled = 0;
};
