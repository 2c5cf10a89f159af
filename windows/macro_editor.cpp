#include "windows/macro_editor.h"

#include "data/skill_names.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/input_control.h"
#include "gump/list_box.h"
#include "gump/unicode_input_control.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int32_t kActionFieldArt = 2445;
constexpr int32_t kArgumentFieldArt = 2446;
constexpr int32_t kDropDownArt = 2485;
constexpr int32_t kMacroEditorFont = 1;
constexpr int32_t kMacroEditorHue = 902;
constexpr int32_t kFieldLength = 16;
constexpr int32_t kMaxTextLength = 80;
constexpr int32_t kFirstRowY = 14;
constexpr int32_t kRowX = 10;
constexpr int32_t kDropDownRows = 10;
constexpr int32_t kMacroUpArt = 2435;
constexpr int32_t kMacroDownArt = 2437;

constexpr const char* kWalkChoices[macro::kDirectionCount] = { "NW (top)", "N (topright)", "NE (right)",
    "E (bottomright)", "SE (bottom)", "S (bottomleft)", "SW (left)", "W (topleft)" };

bool isTextAction(int32_t action)
{
    return macro::argumentKind(action) == macro::ArgumentKind::Text || action == macro::kCommand;
}

bool isChoiceAction(int32_t action)
{
    const macro::ArgumentKind kind = macro::argumentKind(action);
    return kind != macro::ArgumentKind::None && kind != macro::ArgumentKind::Text;
}

std::string choiceName(int32_t action, int32_t number)
{
    const macro::ArgumentKind kind = macro::argumentKind(action);
    // Hands and virtues start on no choice at all.
    if (number == 0 && (kind == macro::ArgumentKind::Hand || kind == macro::ArgumentKind::Virtue))
        return std::string();
    const std::vector<macro_editor::Choice> choices = macro_editor::argumentChoices(action);
    if (action == macro::kUseSkill) {
        // The first usable skill at or after the number, in number order.
        const macro_editor::Choice* next = nullptr;
        for (const macro_editor::Choice& choice : choices) {
            if (choice.number >= number && (!next || choice.number < next->number))
                next = &choice;
        }
        if (next)
            return next->name;
    }
    for (const macro_editor::Choice& choice : choices) {
        if (choice.number == number)
            return choice.name;
    }
    // A number from the file that no table holds.
    char text[32];
    std::snprintf(text, sizeof text, "%d missing name", int(number));
    return text;
}

InputControl* comboField(int32_t x, int32_t art, bool centred, CGump* parent)
{
    auto* field = new InputControl(x, 4, EntryArt { art, art, 0 }, int32_t(EntryMode::ComboText), kFieldLength,
        kMacroEditorFont, kMacroEditorHue, true, centred);
    gumpLink(field, parent);
    return field;
}

} // namespace

namespace macro_editor {

std::string actionLabel(int32_t action)
{
    const std::string_view name = macro::actionName(action);
    if (!name.empty())
        return std::string(name);
    char text[32];
    std::snprintf(text, sizeof text, "%d missing name", int(action));
    return text;
}

std::vector<Choice> actionChoices()
{
    std::vector<Choice> choices;
    for (int32_t action = 1; action <= macro::kActionCount; ++action) {
        // "Command" comes only from the macro file.
        if (action != macro::kCommand)
            choices.push_back({ action, actionLabel(action) });
    }
    choices.push_back({ kNoneChoice, "(NONE)" });
    return choices;
}

std::vector<Choice> argumentChoices(int32_t action)
{
    std::vector<Choice> choices;
    switch (macro::argumentKind(action)) {
    case macro::ArgumentKind::Direction:
        for (int32_t i = 0; i < macro::kDirectionCount; ++i)
            choices.push_back({ i, kWalkChoices[i] });
        break;
    case macro::ArgumentKind::Window:
        for (int32_t i = 0; i < macro::kWindowNameCount; ++i) {
            // Minimize and Maximize leave out the windows they cannot fold.
            const bool foldable = i != macro::kOverview && i != macro::kMail && i != macro::kPartyManifest
                && i != macro::kPartyChat && i != macro::kGuild && i != macro::kQuestLog;
            if (foldable || action == macro::kOpen || action == macro::kClose)
                choices.push_back({ i, std::string(macro::windowName(i)) });
        }
        break;
    case macro::ArgumentKind::Skill: {
        const SkillNameTable& table = skillNameTable();
        for (int32_t i = 0; i < table.count && i < SkillNameTable::kMaxSkills; ++i) {
            const int32_t skill = table.alphabetical[size_t(i)];
            if (table.usable[size_t(skill)] & 1)
                choices.push_back({ skill, std::string(table.nameOf(skill)) });
        }
        break;
    }
    case macro::ArgumentKind::Spell: {
        macro::SpellNames& spells = service<macro::SpellNames>();
        for (int32_t i = 0; i < spells.spellCount(); ++i) {
            const int32_t id = spells.spellIdByIndex(i);
            choices.push_back({ id, spells.spellName(id) });
        }
        break;
    }
    case macro::ArgumentKind::Hand:
        choices = { { macro::kLeftHand, "Left Hand" }, { macro::kRightHand, "Right Hand" } };
        break;
    case macro::ArgumentKind::Virtue:
        choices = { { 1, "Honor" }, { 2, "Sacrifice" }, { 3, "Valor" } };
        break;
    default:
        break;
    }
    return choices;
}

} // namespace macro_editor

MacroCmdGump::MacroCmdGump(int32_t x, int32_t y, const macro::MacroAction& action)
    : CGump(x, y, nullptr, 1, kWidth, kHeight)
{
    setTypeName("macro cmd gump");
    addKind(GumpKind::MacroCommand);
    m_actionField = comboField(4, kActionFieldArt, true, this);
    m_actionField->setValue(action.action);
    if (action.action != macro::kNone)
        m_actionField->setNarrowText(macro_editor::actionLabel(action.action));
    m_actionField->redraw();
    rebuildArgumentField(action.argument, action.text);
}

bool MacroCmdGump::containsPoint(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < width() && y < height(); }

void MacroCmdGump::onRightUp(int32_t x, int32_t y)
{
    if (CGump* list = parent())
        list->onRightUp(x, y);
}

int32_t MacroCmdGump::action() const { return m_actionField->value(); }

void MacroCmdGump::rebuildArgumentField(int32_t argument, const std::u16string& text)
{
    if (m_choiceField)
        closeGump(m_choiceField);
    if (m_textField)
        closeGump(m_textField);
    m_choiceField = nullptr;
    m_textField = nullptr;
    const int32_t number = action();
    const int32_t x = m_actionField->x() + m_actionField->width() + 4;
    if (isChoiceAction(number)) {
        m_choiceField = comboField(x, kArgumentFieldArt, false, this);
        const std::vector<macro_editor::Choice> choices = macro_editor::argumentChoices(number);
        int32_t value = argument;
        // A new row starts on the first choice (none for hands and virtues).
        const macro::ArgumentKind kind = macro::argumentKind(number);
        if (argument == 0 && !choices.empty() && kind != macro::ArgumentKind::Hand && kind != macro::ArgumentKind::Virtue)
            value = choices.front().number;
        m_choiceField->setValue(value);
        m_choiceField->setNarrowText(choiceName(number, value));
        m_choiceField->redraw();
    } else if (isTextAction(number)) {
        m_textField = new UnicodeInputControl(x, 4, EntryArt { kArgumentFieldArt, kArgumentFieldArt, 0 },
            int32_t(EntryMode::Text), kMaxTextLength, kMacroEditorFont, kMacroEditorHue, true, false);
        m_textField->setText(text);
        gumpLink(m_textField, this);
        m_textField->redraw();
    }
}

void MacroCmdGump::onControlActivated(CGump* control)
{
    std::vector<macro_editor::Choice> choices;
    int32_t rows = kDropDownRows;
    if (control == m_actionField) {
        choices = macro_editor::actionChoices();
    } else if (control == m_choiceField) {
        choices = macro_editor::argumentChoices(action());
        const macro::ArgumentKind kind = macro::argumentKind(action());
        if (kind == macro::ArgumentKind::Direction || kind == macro::ArgumentKind::Window)
            rows = int32_t(choices.size());
    } else {
        return;
    }
    auto* field = static_cast<InputControl*>(control);
    int32_t x = -2;
    int32_t y = field->height();
    field->localToScreen(x, y);
    auto* list = new ListBoxControl(x, y, kDropDownArt, kMacroEditorFont, kMacroEditorHue, rows);
    for (const macro_editor::Choice& choice : choices)
        list->addItem(choice.number, choice.name);
    showListBox(list, field);
}

void MacroCmdGump::choose(CGump* field, int32_t value)
{
    auto* entry = static_cast<InputControl*>(field);
    entry->setValue(value);
    entry->setNarrowText(field == m_actionField ? macro_editor::actionLabel(value) : choiceName(action(), value));
    onControlChanged(field);
}

void MacroCmdGump::onControlChanged(CGump* control)
{
    // Rows live only in a macro list.
    auto* list = static_cast<MacroListGump*>(parent());
    if (control == m_actionField && action() == macro_editor::kNoneChoice && list) {
        list->removeRow(this);
        return;
    }
    if (control == m_actionField)
        rebuildArgumentField(0, std::u16string());
    if (list)
        list->onControlChanged(this);
}

macro::MacroAction MacroCmdGump::toAction() const
{
    macro::MacroAction out;
    out.action = action();
    out.argument = m_choiceField ? m_choiceField->value() : 0;
    if (m_textField)
        out.text = m_textField->text();
    return out;
}

MacroListGump::MacroListGump(int32_t x, int32_t y, int32_t width, int32_t height)
    : CGump(x, y, nullptr, 1, width, height)
{
    setTypeName("macro list gump");
    auto* up = new Button(
        width - 8, 4, ButtonBehaviour::RepeatOnPress, 0, onParent<&MacroListGump::scrollUp>, kMacroUpArt, 0, false);
    up->setHoverArt(kMacroUpArt + 1);
    up->setVisible(false);
    gumpLink(up, this);
    auto* down = new Button(width - 8, height - 14, ButtonBehaviour::RepeatOnPress, 0,
        onParent<&MacroListGump::scrollDown>, kMacroDownArt, 0, false);
    down->setHoverArt(kMacroDownArt + 1);
    down->setVisible(false);
    gumpLink(down, this);
    m_up = GumpHandle(up);
    m_down = GumpHandle(down);
}

bool MacroListGump::containsPoint(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < width() && y < height(); }

void MacroListGump::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    setDragAnchor(x, y);
    m_pressed = true;
}

void MacroListGump::onDrag(int32_t x, int32_t y)
{
    if (!m_pressed)
        return;
    if (CGump* window = parent())
        window->moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void MacroListGump::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void MacroListGump::onRightUp(int32_t, int32_t)
{
    if (CGump* window = parent())
        window->onRightUp(0, 0);
}

void MacroListGump::placeRows()
{
    const int32_t count = int32_t(m_rows.size());
    m_rowsAbove = std::clamp(m_rowsAbove, 0, std::max(count - 1, 0));
    for (int32_t i = 0; i < count; ++i) {
        const int32_t y = kFirstRowY + (i - m_rowsAbove) * macro_editor::kRowHeight;
        m_rows[size_t(i)]->setLocation(kRowX, y);
        m_rows[size_t(i)]->setVisible(y >= 8 && y + macro_editor::kRowHeight <= height());
    }
    if (Button* up = upButton())
        up->setVisible(m_rowsAbove > 0);
    if (Button* down = downButton())
        down->setVisible(count - m_rowsAbove >= 2);
}

void MacroListGump::scrollUp()
{
    if (m_rowsAbove <= 0)
        return;
    --m_rowsAbove;
    placeRows();
}

void MacroListGump::scrollDown()
{
    if (int32_t(m_rows.size()) - m_rowsAbove < 2)
        return;
    ++m_rowsAbove;
    placeRows();
}

void MacroListGump::addRow(const macro::MacroAction& action)
{
    if (int32_t(m_rows.size()) >= macro_editor::kMaxRows)
        return;
    auto* row = new MacroCmdGump(kRowX, 0, action);
    gumpLink(row, this);
    m_rows.push_back(row);
    placeRows();
}

void MacroListGump::removeRow(MacroCmdGump* row)
{
    const auto found = std::find(m_rows.begin(), m_rows.end(), row);
    if (found == m_rows.end())
        return;
    const bool lowest = found + 1 == m_rows.end();
    const bool full = int32_t(m_rows.size()) == macro_editor::kMaxRows;
    m_rows.erase(found);
    closeGump(row);
    // An empty row stays at the end while the macro has room.
    if (lowest || full)
        addRow(macro::MacroAction {});
    placeRows();
    if (parent())
        parent()->onControlChanged(this);
}

void MacroListGump::clearRows()
{
    for (MacroCmdGump* row : m_rows)
        closeGump(row);
    m_rows.clear();
    m_rowsAbove = 0;
    placeRows();
}

void MacroListGump::onControlChanged(CGump* control)
{
    if (!m_rows.empty() && control == m_rows.back() && m_rows.back()->action() != macro::kNone
        && int32_t(m_rows.size()) < macro_editor::kMaxRows)
        addRow(macro::MacroAction {});
    if (parent())
        parent()->onControlChanged(this);
}

std::vector<macro::MacroAction> MacroListGump::actions() const
{
    std::vector<macro::MacroAction> out;
    for (const MacroCmdGump* row : m_rows) {
        if (row->action() != macro::kNone && row->action() != macro_editor::kNoneChoice)
            out.push_back(row->toAction());
    }
    return out;
}
