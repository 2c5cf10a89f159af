#pragma once
// The status gump of a mobile in its three forms: the player's full status
// page (every statistic and the three stat-lock buttons), a compact bar of
// any mobile (its name and hit-point bar, three bars for the player), and a
// party member's bar (name, three bars, two quick-spell buttons). The bar
// is the gump's minimised face. The gump keeps its own copy of the mobile's
// status record, which the status packets fill; it names its mobile by
// serial, so a bar whose mobile left view stays, drawn as unknown, and finds
// the mobile again on its next update. Bars dock to one another edge to edge
// into groups that move, come to the front and close together.
//
// Pages: 0 the full page, 1 the bar's picture, 2 the overlay the bars are
// drawn into (drawn over page 0 or 1). The gump manager owns the window; a
// docked bar's links name other live status gumps only (a bar leaving its
// group, or dying, clears every link to itself). Points are local pixels;
// times tick-count milliseconds. Main thread only.

#include "gump/gump.h"
#include "protocol/world_packet_windows.h"

#include <array>
#include <cstdint>
#include <vector>

class InputControl;
class Mobile;

class StatusGump final : public CGump {
public:
    static constexpr int32_t kFullArt = 10860;
    static constexpr int32_t kPlayerBarArt = 2051;
    static constexpr int32_t kOtherBarArt = 2052;
    static constexpr int32_t kWarBarArt = 2055;
    static constexpr int32_t kBarBackgroundArt = 2053;
    static constexpr int32_t kFillArt = 2054;
    static constexpr int32_t kPoisonedFillArt = 2056;
    static constexpr int32_t kYellowFillArt = 2057;
    static constexpr int32_t kPartyBackgroundArt = 40;
    static constexpr int32_t kPartyFillArt = 41;
    static constexpr int32_t kBarX = 34;
    static constexpr int32_t kBarWidth = 109;
    static constexpr int32_t kBarHeight = 11;
    static constexpr std::array<int32_t, 3> kLockArts { 2435, 2437, 2092 };
    static constexpr int32_t kGreaterHealSpell = 29;
    static constexpr int32_t kCureSpell = 11;

    // Docking sides: this bar on the candidate's right, left, below, above.
    enum DockSide : int32_t { NoSide = 0, RightOf = 1, LeftOf = 2, Below = 4, Above = 8 };

    // A bar of the mobile (asBar), or the full page; the mobile is looked up
    // by serial whenever it is not known.
    StatusGump(Mobile* owner, uint32_t serial, bool asBar);
    ~StatusGump() override;

    // Redraws the pages from the mobile and the record (nothing while hidden).
    void update();
    // The lock buttons show the lock states.
    void refreshStatLocks();
    void setStatLocks(uint8_t strength, uint8_t dexterity, uint8_t intelligence);
    uint8_t statLock(int32_t stat) const { return m_locks[size_t(stat)]; }
    // The name entry of a rename, opened once.
    void openNameEntry();
    InputControl* nameEntry() const;
    // Moves the serial into the party half of the status-bar table.
    bool moveToPartySlot();
    // The two quick-spell buttons of a party member's bar.
    void addPartyControls();
    bool hasPartyControls() const;

    void setRecord(const StatusRecord& record) { m_record = record; }
    const StatusRecord& record() const { return m_record; }
    // The six values of 0x2D and 0xA1-0xA3: hits, max hits, mana, max mana,
    // stamina, max stamina.
    void setVitals(const std::array<int32_t, 6>& values);
    uint32_t mobileSerial() const { return ownerSerial(); }
    // The mobile while it exists.
    Mobile* mobile() const;
    bool isCreatedAsBar() const { return m_createdAsBar; }
    bool isPartyBar() const;
    // The full page minimised into the bar, and the bar restored to the page.
    void minimiseToBar();
    void restoreToPage();
    // The paperdoll's status button on an open gump: restored, made visible,
    // kept on screen, raised and taken out of its group.
    void raiseForPaperdoll();

    // The fill width of a bar `width` wide.
    static int32_t fillWidth(int32_t width, int32_t current, int32_t maximum);
    // The tooltip id of the full page at a local point; -1 outside the grid.
    static int32_t fullPageTooltipId(int32_t x, int32_t y);

    // Docking.
    StatusGump* groupHead() const { return m_groupHead; }
    StatusGump* nextMember() const { return m_nextMember; }
    StatusGump* neighbour(int32_t index) const { return m_neighbours[size_t(index)]; }
    StatusGump* snapCandidate() const { return m_snapCandidate; }
    int32_t snapSide() const { return m_snapSide; }
    // The side this bar would dock to `other` on; NoSide when it would not.
    int32_t dockSideAgainst(StatusGump& other);
    // Docks to the snap candidate and joins its group (the release's step).
    void dockToCandidate();
    void leaveGroup();
    // Every member, head first; this bar alone when it is in no group.
    std::vector<StatusGump*> groupMembers();
    // The head's extremes: leftmost, rightmost, topmost, bottommost.
    std::array<StatusGump*, 4> groupExtremes() const { return m_extremes; }

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void onEnter() override;
    WString getTooltipText(int32_t x, int32_t y) override;
    void onCommand(int32_t commandId) override;

    // Neighbour indices.
    static constexpr int32_t kLeft = 0;
    static constexpr int32_t kRight = 1;
    static constexpr int32_t kUpper = 2;
    static constexpr int32_t kLower = 3;

private:
    void registerInTable();
    void drawPages();
    void drawBars(GumpPage& overlay);
    void drawFullPage(GumpPage& face);
    void drawBarName(GumpPage& face);
    void addLockButtons();
    void cycleLock(int32_t stat);
    void doubleClick();
    // Drag with its group and the snap search of an undocked bar.
    void dragTo(int32_t x, int32_t y);
    void findSnapCandidate();
    void recomputeExtremes();
    void linkSide(StatusGump& candidate, int32_t side);

    template <int32_t Stat>
    static void onLockButton(CGump* parent);

    StatusRecord m_record;
    bool m_createdAsBar;
    std::array<uint8_t, 3> m_locks {};
    std::array<GumpHandle, 3> m_lockButtons;
    std::array<GumpHandle, 2> m_partyButtons;
    GumpHandle m_nameEntry;
    bool m_nameEntryOpened = false;
    bool m_pendingTargetClick = false;
    // Click tracking.
    bool m_pressed = false;
    int32_t m_pressX = 0;
    int32_t m_pressY = 0;
    uint32_t m_firstClickTime = 0;
    int32_t m_clickState = 0;
    bool m_clickSuppressed = false;

    StatusGump* m_groupHead = nullptr;
    StatusGump* m_nextMember = nullptr;
    std::array<StatusGump*, 4> m_neighbours {};
    StatusGump* m_snapCandidate = nullptr;
    int32_t m_snapSide = NoSide;
    std::array<StatusGump*, 4> m_extremes {};
};

// The status gump of the serial, topmost first, or null.
StatusGump* findStatusGumpOf(uint32_t serial);
// Every status gump of the serial (a copy: a visit may close gumps).
std::vector<GumpHandle> statusGumpsOf(uint32_t serial);
// The paperdoll's status button: the open gump raised, or a new one (the
// full page for the player, a bar for others); then the status request.
StatusGump* openStatusFromPaperdoll(Mobile& mobile);
// The status gump highlighting its mobile under the pointer, or null; and
// the end of that highlight.
CGump* highlightingStatusGump();
void clearStatusHighlight();
