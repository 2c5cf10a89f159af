#pragma once
// Small windows standing for one action each, placed anywhere on the
// desktop: a spell icon casts its spell, a skill icon uses its skill, an
// ability icon switches the primary or secondary ability of the weapon in
// hand. Only a double click acts: a single click or a press held past the
// double-click time does nothing, a drag moves the icon, a right click
// closes it. They outlive the close-all commands and are kept by the desktop
// file. Main thread only.

#include "gump/gump.h"
#include "windows/window_clicks.h"

#include <cstdint>

class IconGump : public CGump {
public:
    IconGump(int32_t x, int32_t y, int32_t iconId);
    ~IconGump() override;

    // The spell id, the skill number, or which ability (1 primary, 2 secondary).
    int32_t iconId() const { return m_iconId; }
    // Carries on a drag begun in another window: the button counts as held,
    // the icon's centre follows the pointer and the icon holds the pointer.
    void takeDrag();

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    bool isClosableByCloseAll() override { return false; }
    void kindAction() override { activate(); }

protected:
    // What the double click does.
    virtual void activate() { }
    // Page 0 made `width` x `height` and cleared, for the face to be drawn.
    GumpPage& clearedFace(int32_t width, int32_t height);

private:
    int32_t m_iconId;
    WindowClicks m_clicks;
};

class SpellIconGump final : public IconGump {
public:
    SpellIconGump(int32_t x, int32_t y, int32_t spell);
    // Draws the spell's icon again (its active mark changed).
    void redrawIcon();

private:
    void activate() override;
};

class SkillIconGump final : public IconGump {
public:
    static constexpr int32_t kWidthArt = 2241;
    static constexpr int32_t kFrameArt = 9400;

    SkillIconGump(int32_t x, int32_t y, int32_t skill);

private:
    void activate() override;
};

class AbilityIconGump final : public IconGump {
public:
    static constexpr int32_t kPrimary = 1;
    static constexpr int32_t kSecondary = 2;
    static constexpr int32_t kSizeArt = 20992;

    AbilityIconGump(int32_t x, int32_t y, int32_t which);
    // Draws the weapon's ability again (the weapon or the active one changed).
    void redrawIcon();
    // The ability the icon stands for with the weapon in hand.
    int32_t ability() const;

private:
    void activate() override;
};

// The open icon of the kind and number lowest in the stacking order, or null.
IconGump* findIconGump(GumpKind kind, int32_t iconId);
// A book's drag out: the open icon of the kind and number comes to the
// front, else a new one opens at the pointer's screen point - (20, 20); the
// icon carries on the drag.
IconGump* dragOutIcon(GumpKind kind, int32_t iconId, int32_t screenX, int32_t screenY);
// The icon restored from the desktop file at (x, y); null for a number out
// of range.
IconGump* openIconGump(GumpKind kind, int32_t iconId, int32_t x, int32_t y);
// Every spell icon of the spell draws again.
void redrawSpellIcons(int32_t spell);
