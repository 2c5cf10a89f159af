#pragma once
// The item-property window: one small window that shows the property list
// of the object under the pointer (or of the object last clicked). It has
// two faces: a minimised icon the player may place anywhere, and an
// expanded face with the object's name line and its property lines as
// HTML. The ItemPropsMode setting chooses when and where the expanded face
// shows: at the icon after hovering 400 ms ("At Icon"), always ("Always
// Up"), beside the pointer after hovering 400 ms ("Follow Mouse") or beside
// the press point after a single click, for 3 s plus half a second a line
// ("Single Click"). In the two pointer-bound modes the property icon holds
// the icon's place while the list shows elsewhere (when ItemPropsIcon is
// on). Double-clicking either icon cycles the mode; a right click on the
// expanded window collapses it. Nothing shows while the server grants no
// property lists. There is at most one window; the gump manager owns it and
// its icon. Main thread only; times are tick-count milliseconds.

#include "core/wide_string.h"
#include "gump/gump.h"

#include <cstdint>

class HtmlView;
class ItemPropertiesIconGump;

namespace item_props {
constexpr int32_t kAtIcon = 0;
constexpr int32_t kAlwaysUp = 1;
constexpr int32_t kFollowMouse = 2;
constexpr int32_t kSingleClick = 3;
constexpr int32_t kModeCount = 4;
constexpr uint32_t kHoverDelayMs = 400;
constexpr uint32_t kClickShowMs = 3000;
constexpr uint32_t kClickShowPerLineMs = 500;
} // namespace item_props

// The state the window keeps for the whole program.
struct ItemPropertyState {
    int32_t savedX = 2000;
    int32_t savedY = 2000;
    bool keepAmount = true;
    uint32_t currentSerial = 0;
    uint32_t pendingSerial = 0;
    // 0: nothing pending.
    uint32_t pendingTime = 0;
    uint32_t singleClickExpiry = 0;
};
ItemPropertyState& itemPropertyState();

// The press, drag and double click that the window and its icon share.
struct PropertyPresses {
    bool dragging = false;
    bool moved = false;
    int32_t clickState = 0;
    uint32_t lastClick = 0;
    int32_t pressX = 0;
    int32_t pressY = 0;

    void down(int32_t x, int32_t y);
    // The displacement to move by; false while the gump stays.
    bool drag(int32_t x, int32_t y, int32_t& dx, int32_t& dy);
    // True when the release completes a double click (the mode cycles).
    bool up();
};

class ItemPropertyGump final : public CGump {
public:
    static constexpr int32_t kWidth = 270;
    static constexpr int32_t kHeight = 120;
    static constexpr int32_t kMinimisedArt = 227;
    static constexpr int32_t kCollapseArt = 2710;
    static constexpr int32_t kCollapsePressedArt = 2711;
    static constexpr int32_t kFillArt = 9274;
    static constexpr int32_t kEdgeArt = 9204;
    static constexpr int32_t kSideArt = 9203;
    static constexpr uint32_t kViewFlags = 0x8086;

    // -1, -1 stands at the saved position.
    ItemPropertyGump(int32_t x, int32_t y);
    ~ItemPropertyGump() override;

    HtmlView* titleView() const;
    HtmlView* bodyView() const;
    CGump* collapseButton() const { return m_collapse.get(); }
    ItemPropertiesIconGump* icon() const;
    void setIcon(ItemPropertiesIconGump* icon);
    const std::u16string& titleText() const { return m_titleText; }
    const std::u16string& bodyText() const { return m_bodyText; }
    bool hasBody() const { return m_hasBody; }

    // Builds the texts, size and position for the current serial.
    void rebuild(bool cacheUpdate);
    // Shows the minimised face and hides the views.
    void showMinimisedFace();
    void redrawFaces();
    void collapse();

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;

private:
    void placeExpanded(bool cacheUpdate);

    GumpHandle m_icon;
    GumpHandle m_title;
    GumpHandle m_body;
    GumpHandle m_collapse;
    PropertyPresses m_presses;
    bool m_hasBody = true;
    std::u16string m_titleText;
    std::u16string m_bodyText;
};

class ItemPropertiesIconGump final : public CGump {
public:
    ItemPropertiesIconGump(int32_t x, int32_t y, ItemPropertyGump& owner);
    ~ItemPropertiesIconGump() override;

    ItemPropertyGump* owner() const;

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    bool isClosableByCloseAll() override;

private:
    GumpHandle m_owner;
    PropertyPresses m_presses;
};

// The property window, searched from the top of the gump list; null for none.
ItemPropertyGump* findItemPropertyGump();
int32_t itemPropsMode();
bool itemPropertyListsOn();
bool itemPropsIconOn();
// The icon art of a mode (the minimised face and the property icon).
int32_t itemPropsIconArt(int32_t mode);
// The title colour of a mobile's notoriety hue (5-5-5).
uint16_t itemPropsTitleColour(uint16_t notorietyHue);

// What the rest of the program calls.
void showItemProperties(uint32_t serial, bool isClick, bool keepAmount);
void hideItemProperties();
void tickItemProperties();
void setItemPropsMode(int32_t mode, bool write);
void rebuildItemPropertyWindow(bool cacheUpdate);
// The window the player finds on entering the world.
void ensureItemPropertyWindow();
// The desktop record's position: the window's when open, else where it opens.
void restoreItemPropertyPosition(int32_t x, int32_t y);
// The property icon goes; the window takes its place, which is kept.
void removeItemPropertyIcon(ItemPropertyGump& window);
