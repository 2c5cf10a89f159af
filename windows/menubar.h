#pragma once
// The menubar: the strip of buttons in the top-left corner of the game
// screen (map, paperdoll, inventory, journal, skills, chat, help and the
// "< ? >" context-help button) with a toggle that folds it into a small
// stub. The gump manager makes it whenever it has none and keeps it on top;
// it shows nothing until the player is in the world. Its buttons run the
// actions the own paperdoll shares (own_character_actions.h). Main thread
// only.

#include "gump/gump.h"

#include <array>
#include <cstdint>

class LabelButton;
class ToggleControl;

class Menubar final : public CGump {
public:
    static constexpr int32_t kWidth = 610;
    static constexpr int32_t kHeight = 27;
    static constexpr int32_t kStubWidth = 30;
    static constexpr int32_t kFrameArt = 5054;
    static constexpr int32_t kWideArt = 2443;
    static constexpr int32_t kNarrowArt = 2445;
    static constexpr int32_t kFoldedArt = 5537;
    static constexpr int32_t kUnfoldedArt = 5540;
    static constexpr int32_t kButtonCount = 8;

    Menubar();
    ~Menubar() override;

    bool isUnfolded() const;
    ToggleControl* toggle() const;
    // The buttons in their order: map, paperdoll, inventory, journal,
    // skills, chat, help, context help.
    LabelButton* button(int32_t index) const;

    void draw(GumpCanvas& canvas) override;
    // Its pages are painted once, when it is made.
    bool lookKey(uint64_t& key) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onControlChanged(CGump* control) override;

private:
    GumpHandle m_toggle;
    std::array<GumpHandle, kButtonCount> m_buttons;
};

// The left edges of the buttons from the widths of the two arts.
std::array<int32_t, Menubar::kButtonCount> menubarButtonPositions(int32_t wideWidth, int32_t narrowWidth);
// The "< ? >" button, which the help system highlights; null without a menubar.
LabelButton* menubarHelpButton();
