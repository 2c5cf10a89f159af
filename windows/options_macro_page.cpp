// The options window's macro page: the working copy of the player's macros,
// one macro shown at a time with its key, its modifiers and its action rows;
// new, delete, previous and next. Apply makes the copy the program's list.

#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "gump/toggle_control.h"
#include "windows/macro_editor.h"
#include "windows/options_gump.h"

#include <iterator>

namespace {

constexpr int32_t kKeyEntryArt = 2443;
constexpr int32_t kMacroFont = 1;
constexpr int32_t kMacroHue = 902;
constexpr int32_t kKeyNameLength = 16;
constexpr int32_t kModifierY[3] = { 130, 158, 186 };
constexpr int32_t kMacroLabelPlaces[][2] = { { 147, 135 }, { 212, 163 }, { 294, 135 }, { 294, 163 }, { 294, 191 },
    { 147, 215 } };

struct MacroButton {
    int32_t x;
    int32_t up;
    int32_t down;
    int32_t hover;
    int32_t command;
    bool repeats;
};
constexpr MacroButton kMacroButtons[] = {
    { 162, 2460, 2461, 2462, OptionsGump::kNewMacroCommand, false },
    { 215, 2463, 2464, 2465, OptionsGump::kDeleteMacroCommand, false },
    { 283, 2466, 2467, 2468, OptionsGump::kPreviousMacroCommand, true },
    { 367, 2469, 2470, 2471, OptionsGump::kNextMacroCommand, true },
};

} // namespace

void OptionsGump::buildMacroPage()
{
    // The page always shows a record: a blank one when there is none.
    if (m_macros.empty())
        m_macros.emplace_back();
    m_currentMacro = 0;
    m_actionList = new MacroListGump(130, 220, 314, 70);
    m_actionList->setGroup(kMacroTab);
    gumpLink(m_actionList, this);
    for (const MacroButton& spec : kMacroButtons) {
        auto* button = new Button(spec.x, 111, spec.repeats ? ButtonBehaviour::RepeatOnPress : ButtonBehaviour::ClickOnRelease,
            0, forwardButtonToOwner, spec.up, spec.down, false);
        button->setHoverArt(spec.hover);
        button->setId(spec.command);
        button->setPassId(true);
        button->setGroup(kMacroTab);
        gumpLink(button, this);
    }
    for (int32_t i = 0; i < 3; ++i) {
        m_modifiers[i] = new ToggleControl(258, kModifierY[i], 2151, 2153, kMacroFont, kMacroHue, "", false, 0, 0);
        m_modifiers[i]->setHoverArts(2152, 2154);
        m_modifiers[i]->setGroup(kMacroTab);
        gumpLink(m_modifiers[i], this);
    }
    m_keyEntry = new InputControl(143, 163, EntryArt { kKeyEntryArt, kKeyEntryArt, 0 }, int32_t(EntryMode::Text),
        kKeyNameLength, kMacroFont, kMacroHue, true, false);
    m_keyEntry->setGroup(kMacroTab);
    gumpLink(m_keyEntry, this);
    placeFixedLabels(kMacroTab, kMacroLabelPlaces, std::size(kMacroLabelPlaces));
    showMacro();
}

bool OptionsGump::keyEntryFocused() const { return m_keyEntry && gumpFocus() == m_keyEntry; }

void OptionsGump::showMacro()
{
    const macro::MacroRecord* record
        = m_currentMacro >= 0 && size_t(m_currentMacro) < m_macros.size() ? &m_macros[size_t(m_currentMacro)] : nullptr;
    m_keyEntry->setNarrowText(
        record && record->keyData != 0 ? std::string(macro::keyNameForScanCode(record->scanCode()).substr(0, 19)) : "");
    m_keyEntry->redraw();
    const bool flags[3] = { record && record->shift, record && record->alt, record && record->control };
    for (int32_t i = 0; i < 3; ++i) {
        m_modifiers[i]->setChecked(flags[i]);
        m_modifiers[i]->redraw();
    }
    m_actionList->clearRows();
    for (int32_t i = 0; record && i < record->count; ++i)
        m_actionList->addRow(record->actions[size_t(i)]);
    if (!record || record->count < macro::kMaxActions)
        m_actionList->addRow(macro::MacroAction {});
}

void OptionsGump::takeCapturedKey(uint16_t virtualKey)
{
    if (m_currentMacro < 0 || size_t(m_currentMacro) >= m_macros.size())
        return;
    const int32_t scan = macro::scanCodeForVirtualKey(virtualKey);
    // A key the macro file cannot name is not taken.
    if (scan <= 0)
        return;
    macro::MacroRecord& record = m_macros[size_t(m_currentMacro)];
    record.virtualKey = macro::virtualKeyForScanCode(scan);
    record.keyData = uint32_t(scan) << 16;
    showMacro();
}

void OptionsGump::macroCommand(int32_t commandId)
{
    if (keyEntryFocused())
        gumpReleaseFocus();
    const int32_t count = int32_t(m_macros.size());
    switch (commandId) {
    case kNewMacroCommand:
        m_macros.emplace_back();
        m_currentMacro = int32_t(m_macros.size()) - 1;
        break;
    case kDeleteMacroCommand:
        if (m_currentMacro < 0 || m_currentMacro >= count)
            return;
        m_macros.erase(m_macros.begin() + m_currentMacro);
        if (m_currentMacro >= int32_t(m_macros.size()))
            m_currentMacro = int32_t(m_macros.size()) - 1;
        break;
    case kPreviousMacroCommand:
        if (m_currentMacro <= 0)
            return;
        --m_currentMacro;
        break;
    case kNextMacroCommand:
        if (m_currentMacro + 1 >= count)
            return;
        ++m_currentMacro;
        break;
    default:
        return;
    }
    showMacro();
}

void OptionsGump::macroControlChanged(CGump* control)
{
    if (m_currentMacro < 0 || size_t(m_currentMacro) >= m_macros.size())
        return;
    macro::MacroRecord& record = m_macros[size_t(m_currentMacro)];
    for (int32_t i = 0; i < 3; ++i) {
        if (control != m_modifiers[i])
            continue;
        bool& flag = i == 0 ? record.shift : i == 1 ? record.alt : record.control;
        flag = m_modifiers[i]->isChecked();
        return;
    }
    if (control != m_actionList)
        return;
    const std::vector<macro::MacroAction> actions = m_actionList->actions();
    record.count = 0;
    record.actions = {};
    for (const macro::MacroAction& action : actions) {
        if (record.count >= macro::kMaxActions)
            break;
        record.actions[size_t(record.count++)] = action;
    }
}
