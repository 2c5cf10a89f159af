#pragma once
// The skill window: the skills sorted by name inside the player's groups
// (data/skill_groups.h), each listed skill with its value, a lock button
// and, for skills used directly, a use button; groups expand and collapse,
// take new names inline, are deleted with the Delete key and added with
// "New Group"; a skill dragged onto another group moves there, and a usable
// one dragged out of the window becomes a skill icon. "Show Real" and "Show
// Caps" show base values or caps instead of values; the total sits at the
// bottom. One window shows the player's own skills (SkillValues); a list of
// another mobile opens a separate, read-only window holding its own copy.
// The gump manager owns the windows. Main thread only.

#include "gump/entry_core.h"
#include "gump/gump.h"
#include "text/text_surface.h"

#include <array>
#include <cstdint>
#include <vector>

class InputControl;
class Thumb;
class ToggleControl;

// A row of the list: a group's header (skill -1) or a skill of an expanded
// group.
struct SkillListRow {
    int32_t group = 0;
    int32_t skill = -1;
    bool isHeader() const { return skill < 0; }
    bool operator==(const SkillListRow&) const = default;
};

class SkillGump final : public CGump {
public:
    static constexpr int32_t kFrameArt = 8000;
    static constexpr int32_t kFallbackFrameArt = 2080;
    static constexpr int32_t kFallbackWidth = 345;
    static constexpr int32_t kHeight = 300;
    static constexpr int32_t kMinimiseArt = 2093;
    static constexpr int32_t kGripArt = 2094;
    static constexpr int32_t kMinimisedArt = 2105;
    static constexpr int32_t kRowHeight = 17;
    static constexpr int32_t kListLeft = 28;
    static constexpr int32_t kListTop = 74;
    static constexpr int32_t kListRight = 255;
    static constexpr int32_t kExpandedArt = 2086;
    static constexpr int32_t kCollapsedArt = 2087;
    static constexpr int32_t kUseArt = 2103;
    static constexpr int32_t kUseHoverArt = 2104;
    static constexpr int32_t kMaxGroupName = 16;
    // Moving the pointer further than this with a skill held drags it.
    static constexpr int32_t kDragDistance = 4;
    // A usable skill dragged this far beside the window becomes an icon.
    static constexpr int32_t kIconDistance = 20;

    // The player's window at (x, y), or where the desktop file's record puts
    // it; with `otherMobile` a read-only window of its own values.
    SkillGump(int32_t x, int32_t y, bool otherMobile);
    ~SkillGump() override;

    // Lays the page and the rows' buttons out again.
    void rebuild();
    // A row of the window's own values (skills 55 and above are ignored).
    void setSkill(int32_t skill, uint16_t value, uint16_t base, uint8_t lock, uint16_t cap);
    // Whether the window shows its own values instead of the player's.
    void setListMode(bool ownValues) { m_ownValues = ownValues; }
    bool showsOwnValues() const { return m_ownValues; }
    bool isReadOnly() const { return m_readOnly; }

    // The skill's lock state as this window knows it, and its change (the
    // player's table for the player's window, the own copy otherwise).
    uint8_t lockState(int32_t skill) const;
    void setLockState(int32_t skill, uint8_t state);
    // The value the rows show for the skill, and the total at the bottom.
    uint16_t shownValue(int32_t skill) const;
    int32_t total() const;

    // The rows of the list from the top (headers, and the skills of
    // expanded groups in alphabetical order), and the first one shown.
    std::vector<SkillListRow> rows() const;
    int32_t topRow() const { return m_top; }
    // The number of rows the list has room for.
    int32_t rowsShown() const;
    int32_t listBottom() const;
    // The row under a window point, -1 for none.
    int32_t rowAt(int32_t x, int32_t y) const;
    bool isExpanded(int32_t group) const { return group >= 0 && group < 12 && m_expanded[size_t(group)]; }
    int32_t selectedGroup() const { return m_selected; }
    bool isRenaming() const { return m_rename.get() != nullptr; }
    InputControl* renameEntry() const;
    bool isDraggingRow() const { return m_rowDrag; }
    int32_t dropGroup() const { return m_dropGroup; }
    bool showsReal() const { return m_showReal; }
    bool showsCaps() const { return m_showCaps; }

    // What the controls and keys do.
    void toggleGroup(int32_t group);
    void scrollRows(int32_t delta);
    void addGroup();
    void deleteSelectedGroup();
    void commitRename();
    // After the group editor deleted a group: the later groups' flags move
    // down one place with them.
    void groupRemoved(int32_t group);
    void useSkill(int32_t skill);

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;
    void resize(int32_t width, int32_t height, bool flag) override;
    void onKey(uint32_t code) override;
    void onControlChanged(CGump* control) override;
    void onEnter() override;
    bool acceptsItemDrop() override { return true; }

private:
    void paintPage();
    void placeRowButtons(const std::vector<SkillListRow>& rows);
    void clampTop(int32_t rowCount);
    void syncThumb(int32_t rowCount);
    void openRename(int32_t group, int32_t rowTop);
    // Takes a pending rename into the groups; false when none was open.
    bool applyRename();
    void singleClick();
    void startRowDrag();
    void finishRowDrag();
    void followDrag(int32_t x, int32_t y);
    Thumb* thumb() const;

    struct OwnRow {
        uint16_t value = 0;
        uint16_t base = 0;
        uint8_t lock = 0;
        uint16_t cap = 0;
    };
    std::array<OwnRow, 55> m_own {};
    std::array<bool, 12> m_expanded {};
    bool m_ownValues;
    bool m_readOnly;
    bool m_showReal = false;
    bool m_showCaps = false;
    int32_t m_top = 0;
    int32_t m_selected = -1;
    // The press: the row under it (-1 none), its point, the clicks counted.
    int32_t m_pressedRow = -1;
    SkillListRow m_pressed;
    bool m_held = false;
    ClickCounter m_clicks;
    int32_t m_lastHeaderGroup = -1;
    uint32_t m_lastHeaderAt = 0;
    bool m_headerDoubleClick = false;
    // A click on the selected header waits to open the rename entry.
    bool m_renamePending = false;
    // The row drag: the skill held and the group it would land in.
    bool m_rowDrag = false;
    int32_t m_dropGroup = -2;
    GumpHandle m_thumb;
    GumpHandle m_showRealToggle;
    GumpHandle m_showCapsToggle;
    GumpHandle m_rename;
    int32_t m_renameGroup = -1;
    std::vector<GumpHandle> m_rowButtons;
};

// The player's skill window, or null.
SkillGump* playerSkillGump();
// Set when the player asks for the skills; the next list opens the window.
void setSkillGumpRequested(bool requested);
bool isSkillGumpRequested();
// Raises (or makes at (100, 100)) the player's window.
SkillGump* raiseOrCreatePlayerSkillGump();
// 8-bit text in an ASCII font with its top at (x, top); its width.
int32_t drawSkillText(
    const TextSurface& surface, int32_t x, int32_t top, int32_t font, int32_t hue, const char* text, const TextClip& clip);
// Skills the window never lists for the features the server granted.
bool isSkillHidden(int32_t skill);
