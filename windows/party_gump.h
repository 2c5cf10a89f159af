#pragma once
// The party window, the "Party Manifest": the ten party slots with a tell
// button each, kick buttons and the add-member button for the leader, the
// message button, the loot toggle, leave (or disband) and OK. Its buttons
// call the party requests of windows/party_words.h and fill the speech line
// for tells and party messages. One window at a time; the gump manager owns
// it. Main thread only.

#include "gump/gump.h"

#include <array>
#include <cstdint>
#include <string>

class Button;
class ToggleControl;

class PartyGump final : public CGump {
public:
    static constexpr int32_t kFrameWidth = 450;
    static constexpr int32_t kHeight = 480;
    enum Command : int32_t {
        kTellFirst = 10,
        kKickFirst = 20,
        kAddMember = 50,
        kMessage = 60,
        kLeave = 70,
        kOk = 99,
    };

    PartyGump();
    ~PartyGump() override;

    void addKickButtons();
    void removeKickButtons();
    void addAddMemberButton();
    void removeAddMemberButton();
    Button* kickButton(int32_t row) const;
    Button* addMemberButton() const;
    ToggleControl* lootToggle() const { return m_loot; }
    // The texts the window shows now (rows, then labels), for tests and the
    // redraw check.
    const std::string& shownText() const { return m_shown; }

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onCommand(int32_t commandId) override;
    WString getTooltipText(int32_t, int32_t) override { return WString(); }
    bool isInGameView() override { return true; }

private:
    Button* addCommandButton(int32_t x, int32_t y, int32_t up, int32_t down, int32_t hover, int32_t id);
    // Repaints the face when what it shows changed.
    void repaint();
    void syncLootFlag();

    std::array<GumpHandle, 10> m_kicks;
    GumpHandle m_addMember;
    ToggleControl* m_loot = nullptr;
    bool m_dragging = false;
    std::string m_shown;
};

// The open party window raised and kept on screen, or a new one.
PartyGump* openPartyGump();
PartyGump* currentPartyGump();
