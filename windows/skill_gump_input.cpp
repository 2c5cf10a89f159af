// The skill window's answers to the pointer, the keys and its controls, and
// the group edits they make.
#include "windows/skill_gump.h"

#include "core/message_boxes.h"
#include "data/skill_groups.h"
#include "data/skill_names.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/input_control.h"
#include "gump/toggle_control.h"
#include "platform/clock.h"
#include "windows/skill_group_editor.h"
#include "windows/system_text.h"
#include "windows/window_services.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int32_t kArrowWidth = 20;
constexpr int32_t kRenameFont = 6;
constexpr int32_t kRenameHue = 0;
constexpr const char* kNewGroupName = "New Group";
constexpr const char* kSkillsMovedText = "Skills moved to Miscellaneous.";

int32_t indexOfRow(const std::vector<SkillListRow>& list, const SkillListRow& row)
{
    const auto found = std::find(list.begin(), list.end(), row);
    return found == list.end() ? -1 : int32_t(found - list.begin());
}

} // namespace

void SkillGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    bringToFront(true);
    if (!self)
        return;
    // A press anywhere but on the entry (which takes its own presses) ends
    // a rename.
    commitRename();
    m_renamePending = false;
    setDragAnchor(x, y);
    m_held = true;
    m_clicks.press();
    m_pressedRow = rowAt(x, y);
    const std::vector<SkillListRow> list = rows();
    m_pressed = m_pressedRow >= 0 ? list[size_t(m_pressedRow)] : SkillListRow {};
    if (m_pressedRow >= 0 && m_pressed.isHeader()) {
        // A header acts at once on its release; a second press on the same
        // header within the double-click time opens the group editor.
        const uint32_t now = platform::clock().tickMs();
        m_headerDoubleClick = m_lastHeaderGroup == m_pressed.group && now - m_lastHeaderAt <= kDoubleClickMs;
        m_lastHeaderGroup = m_headerDoubleClick ? -1 : m_pressed.group;
        m_lastHeaderAt = now;
        m_clicks.reset();
    } else {
        m_headerDoubleClick = false;
    }
}

void SkillGump::onLeftUp(int32_t, int32_t)
{
    GumpHandle self(this);
    m_held = false;
    if (m_rowDrag) {
        finishRowDrag();
    } else if (isMinimised()) {
        if (m_clicks.state == 2) {
            m_clicks.reset();
            restore();
        }
    } else if (m_pressedRow >= 0 && m_pressed.isHeader()) {
        if (m_headerDoubleClick && m_pressed.group > 0) {
            m_headerDoubleClick = false;
            m_renamePending = false;
            commitRename();
            openSkillGroupEditor(m_pressed.group);
        } else {
            singleClick();
        }
    } else if (m_clicks.state == 0) {
        singleClick();
    }
    if (self)
        service<GumpPointer>().clearPointerCaptureIf(this);
}

void SkillGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void SkillGump::singleClick()
{
    if (m_pressedRow >= 0 && m_pressed.isHeader() && m_pressed.group < skillGroupTable().count) {
        const int32_t group = m_pressed.group;
        if (dragAnchorX() < kListLeft + kArrowWidth) {
            toggleGroup(group);
        } else if (m_selected == group) {
            // The entry opens once the time for a second press (which opens
            // the group editor instead) has passed.
            m_renamePending = !isRenaming();
        } else {
            commitRename();
            m_selected = group;
            gumpSetFocus(this);
            rebuild();
        }
        return;
    }
    commitRename();
    if (m_selected != -1) {
        m_selected = -1;
        rebuild();
    }
}

void SkillGump::onDrag(int32_t x, int32_t y)
{
    if (!m_held)
        return;
    if (m_rowDrag) {
        followDrag(x, y);
        return;
    }
    const bool far = std::abs(x - dragAnchorX()) > kDragDistance || std::abs(y - dragAnchorY()) > kDragDistance;
    if (m_pressedRow >= 0 && !m_pressed.isHeader()) {
        if (far && m_clicks.state != 0)
            startRowDrag();
    } else if (m_pressedRow < 0) {
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
    }
}

void SkillGump::onHoverTick()
{
    if (m_renamePending && platform::clock().tickMs() - m_lastHeaderAt > kDoubleClickMs) {
        m_renamePending = false;
        const int32_t row = indexOfRow(rows(), { m_selected, -1 });
        if (m_selected >= 0 && row >= m_top && row < m_top + rowsShown())
            openRename(m_selected, kListTop + (row - m_top) * kRowHeight);
        return;
    }
    if (m_clicks.expire()) {
        if (m_held && m_pressedRow >= 0 && !m_pressed.isHeader())
            startRowDrag();
        else if (!m_held)
            singleClick();
        return;
    }
    if (!m_rowDrag)
        return;
    int32_t x = 0, y = 0;
    service<GumpPointer>().pointerPosition(x, y);
    screenToLocal(x, y);
    if (y < kListTop)
        scrollRows(-1);
    else if (y >= listBottom())
        scrollRows(1);
}

void SkillGump::startRowDrag()
{
    commitRename();
    m_selected = -1;
    m_clicks.reset();
    m_rowDrag = true;
    m_dropGroup = skillGroupTable().groupOf(m_pressed.skill);
    rebuild();
}

void SkillGump::followDrag(int32_t x, int32_t y)
{
    const int32_t skill = m_pressed.skill;
    const bool usable = skill >= 0 && (skillNameTable().usable[size_t(skill)] & 0x01) != 0;
    if (usable && (x < -kIconDistance || x > width() + kIconDistance)) {
        m_rowDrag = false;
        m_held = false;
        m_dropGroup = -2;
        rebuild();
        int32_t screenX = x, screenY = y;
        localToScreen(screenX, screenY);
        service<SkillIcons>().createSkillIcon(skill, screenX, screenY);
        return;
    }
    const int32_t row = rowAt(x, y);
    const int32_t drop = row >= 0 ? rows()[size_t(row)].group : skillGroupTable().groupOf(skill);
    if (drop != m_dropGroup) {
        m_dropGroup = drop;
        rebuild();
    }
}

void SkillGump::finishRowDrag()
{
    m_rowDrag = false;
    SkillGroupTable& groups = skillGroupTable();
    const int32_t skill = m_pressed.skill;
    const int32_t drop = m_dropGroup;
    m_dropGroup = -2;
    if (drop < 0 || drop == groups.groupOf(skill)) {
        rebuild();
        return;
    }
    // The row at the top stays at the top (the next one when it is the
    // skill that moves away).
    const std::vector<SkillListRow> before = rows();
    SkillListRow anchor;
    bool anchored = m_top < int32_t(before.size());
    if (anchored) {
        anchor = before[size_t(m_top)];
        if (anchor.skill == skill) {
            anchored = m_top + 1 < int32_t(before.size());
            if (anchored)
                anchor = before[size_t(m_top + 1)];
        }
    }
    groups.moveSkill(skill, drop);
    if (anchored)
        m_top = std::max(indexOfRow(rows(), anchor), 0);
    saveSkillGroupsFile();
    rebuild();
}

void SkillGump::onSlider(int32_t position, int32_t range, CGump*)
{
    applyRename();
    const int32_t count = int32_t(rows().size());
    m_top = range > 0 ? position * count / range : 0;
    clampTop(count);
    // The thumb stays where the pointer holds it.
    paintPage();
    placeRowButtons(rows());
}

void SkillGump::scrollRows(int32_t delta)
{
    commitRename();
    m_top += delta;
    rebuild();
}

void SkillGump::toggleGroup(int32_t group)
{
    if (group < 0 || group >= skillGroupTable().count)
        return;
    m_expanded[size_t(group)] = !m_expanded[size_t(group)];
    rebuild();
}

void SkillGump::addGroup()
{
    commitRename();
    SkillGroupTable& groups = skillGroupTable();
    if (groups.count >= SkillGroupTable::kMaxGroups) {
        showMessageBox("Too many skill groups.", "Skills", AfterBox::Return);
        return;
    }
    const int32_t group = groups.addGroup(kNewGroupName);
    m_top = std::max(indexOfRow(rows(), { group, -1 }), 0);
    saveSkillGroupsFile();
    rebuild();
}

void SkillGump::deleteSelectedGroup()
{
    if (m_selected < 0)
        return;
    if (m_selected == 0) {
        showMessageBox("Cannot delete this group.", "Skills", AfterBox::Return);
        return;
    }
    const int32_t group = m_selected;
    const int32_t moved = skillGroupTable().remove(group);
    if (moved < 0)
        return;
    saveSkillGroupsFile();
    groupRemoved(group);
    if (moved > 0)
        addSystemMessage(0, 3, kSkillsMovedText);
}

void SkillGump::groupRemoved(int32_t group)
{
    if (group <= 0 || group >= 12)
        return;
    // The deleted group's skills now belong to group 0, which keeps its own
    // flag; the later groups keep theirs in their new places.
    std::move(m_expanded.begin() + group + 1, m_expanded.end(), m_expanded.begin() + group);
    m_expanded.back() = false;
    if (m_selected == group)
        m_selected = -1;
    else if (m_selected > group)
        --m_selected;
    if (isRenaming() && m_renameGroup == group) {
        closeGump(m_rename.get());
        m_rename = GumpHandle();
        m_renameGroup = -1;
    } else if (m_renameGroup > group) {
        --m_renameGroup;
    }
    rebuild();
}

void SkillGump::openRename(int32_t group, int32_t rowTop)
{
    auto* entry = new InputControl(kListLeft + 13, rowTop - 8 + kRowHeight / 2,
        EntrySize { kListRight - kListLeft, kRowHeight, false }, int32_t(EntryMode::Text), kMaxGroupName,
        kRenameFont, kRenameHue, true, false);
    entry->setNarrowText(skillGroupTable().names[size_t(group)]);
    entry->setCaret(int32_t(entry->text().size()));
    entry->redraw();
    gumpLink(entry, this);
    m_rename = GumpHandle(entry);
    m_renameGroup = group;
    gumpSetFocus(entry);
    rebuild();
}

bool SkillGump::applyRename()
{
    InputControl* entry = renameEntry();
    if (!entry)
        return false;
    const std::string text = entry->narrowText();
    m_rename = GumpHandle();
    closeGump(entry);
    if (skillGroupTable().rename(m_renameGroup, text))
        saveSkillGroupsFile();
    m_renameGroup = -1;
    m_selected = -1;
    return true;
}

void SkillGump::commitRename()
{
    if (applyRename())
        rebuild();
}

void SkillGump::onEnter() { commitRename(); }

void SkillGump::onKey(uint32_t code)
{
    if (code == GumpKey::kDelete)
        deleteSelectedGroup();
}

void SkillGump::onControlChanged(CGump* control)
{
    auto* real = static_cast<ToggleControl*>(m_showRealToggle.get());
    auto* caps = static_cast<ToggleControl*>(m_showCapsToggle.get());
    if (!real || !caps || (control != real && control != caps))
        return;
    // At most one of the two is on.
    m_showReal = real->isChecked() && control == real;
    m_showCaps = caps->isChecked() && control == caps;
    if (control == real && m_showReal) {
        caps->setChecked(false);
        caps->redraw();
    } else if (control == caps && m_showCaps) {
        real->setChecked(false);
        real->redraw();
    }
    rebuild();
}
