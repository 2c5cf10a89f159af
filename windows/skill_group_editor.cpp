#include "windows/skill_group_editor.h"

#include "data/skill_groups.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/input_control.h"
#include "windows/skill_gump.h"

#include <string_view>

namespace {

constexpr int32_t kGroupEditorFont = 1;
constexpr int32_t kGroupEditorHue = 902;
constexpr int32_t kGroupEntryArt = 5210;
constexpr int32_t kEntryReadOnlyArt = 5213;
constexpr int32_t kRenameArt = 5050;
constexpr int32_t kOtherArt = 5052;

void redrawPlayerSkills()
{
    if (SkillGump* skills = playerSkillGump())
        skills->rebuild();
}

} // namespace

EditGroupGump::EditGroupGump(int32_t group)
    : CGump(gumpScreen().gameWidth / 2 - kWidth / 2, gumpScreen().gameHeight / 2 - kHeight / 2, nullptr, 1, kWidth,
        kHeight)
    , m_group(group)
{
    setTypeName("EditGroup gump");
    GumpPage& face = *page(0);
    face.allocate(kWidth, kHeight);
    drawNinePatch(kFrameArt, face, true);
    const TextSurface surface = face.surface();
    const TextClip clip { 0, 0, kWidth, kHeight };
    drawSkillText(surface, 20, 20, kGroupEditorFont, kGroupEditorHue, "Group Name:", clip);
    drawSkillText(surface, 16, 70, kGroupEditorFont, kGroupEditorHue, "Rename", clip);
    drawSkillText(surface, 84, 70, kGroupEditorFont, kGroupEditorHue, "Delete", clip);
    drawSkillText(surface, 140, 70, kGroupEditorFont, kGroupEditorHue, "Cancel", clip);

    auto* entry = new InputControl(20, 28, EntryArt { kGroupEntryArt, kEntryReadOnlyArt, 160 }, int32_t(EntryMode::Text),
        kMaxName, kGroupEditorFont, kGroupEditorHue, true, false);
    const SkillGroupTable& groups = skillGroupTable();
    if (group >= 0 && group < groups.count)
        entry->setNarrowText(groups.names[size_t(group)].substr(0, size_t(kMaxName)));
    entry->setCaret(int32_t(entry->text().size()));
    entry->redraw();
    gumpLink(entry, this);
    m_entry = GumpHandle(entry);
    gumpLink(new Button(20, 80, ButtonBehaviour::ClickOnRelease, 0, onParent<&EditGroupGump::renameGroup>, kRenameArt,
                 kRenameArt + 1, false),
        this);
    gumpLink(new Button(84, 80, ButtonBehaviour::ClickOnRelease, 0, onParent<&EditGroupGump::deleteGroup>, kOtherArt,
                 kOtherArt + 1, false),
        this);
    gumpLink(new Button(144, 80, ButtonBehaviour::ClickOnRelease, 0, [](CGump* parent) { closeGump(parent); },
                 kOtherArt, kOtherArt + 1, false),
        this);
}

EditGroupGump::~EditGroupGump() { deleteChildren(); }

InputControl* EditGroupGump::nameEntry() const { return static_cast<InputControl*>(m_entry.get()); }

void EditGroupGump::renameGroup()
{
    InputControl* entry = nameEntry();
    if (entry && skillGroupTable().rename(m_group, entry->narrowText())) {
        redrawPlayerSkills();
        saveSkillGroupsFile();
    }
    closeGump(this);
}

void EditGroupGump::deleteGroup()
{
    if (skillGroupTable().remove(m_group) >= 0) {
        if (SkillGump* skills = playerSkillGump())
            skills->groupRemoved(m_group);
        saveSkillGroupsFile();
    }
    closeGump(this);
}

void EditGroupGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawPage(canvas);
    drawChildren(canvas);
}

bool EditGroupGump::containsPoint(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < width() && y < height(); }

void EditGroupGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    bringToFront(true);
    if (!self)
        return;
    setDragAnchor(x, y);
    m_pressed = true;
}

void EditGroupGump::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void EditGroupGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void EditGroupGump::onDrag(int32_t x, int32_t y)
{
    if (m_pressed)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void EditGroupGump::onEnter() { renameGroup(); }

void EditGroupGump::onEscape() { closeGump(this); }

EditGroupGump* openSkillGroupEditor(int32_t group)
{
    if (group <= 0 || group >= skillGroupTable().count)
        return nullptr;
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->typeName() == std::string_view("EditGroup gump")) {
            closeGump(gump);
            break;
        }
    }
    auto* editor = new EditGroupGump(group);
    gumpLink(editor, nullptr);
    gumpSetFocus(editor->nameEntry());
    return editor;
}
