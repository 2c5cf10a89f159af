#pragma once
// The group editor: a small dialog over the game area that renames or
// deletes one skill group (never group 0). Rename (its button or Enter)
// takes a non-empty name; Delete moves the group's skills to group 0 and the
// later groups down one place. Either closes the dialog, saves the groups
// and redraws the player's skill window; Cancel, Escape and a right click
// close it. The gump manager owns it. Main thread only.

#include "gump/gump.h"

#include <cstdint>

class InputControl;

class EditGroupGump final : public CGump {
public:
    static constexpr int32_t kWidth = 200;
    static constexpr int32_t kHeight = 120;
    static constexpr int32_t kFrameArt = 5100;
    static constexpr int32_t kMaxName = 12;

    explicit EditGroupGump(int32_t group);
    ~EditGroupGump() override;

    int32_t group() const { return m_group; }
    InputControl* nameEntry() const;
    void renameGroup();
    void deleteGroup();

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onEnter() override;
    void onEscape() override;
    bool isClosableByCloseAll() override { return false; }

private:
    int32_t m_group;
    GumpHandle m_entry;
    bool m_pressed = false;
};

// Opens the editor for a group other than group 0 (one editor at a time:
// an open one closes first). Null for group 0 and groups out of range.
EditGroupGump* openSkillGroupEditor(int32_t group);
