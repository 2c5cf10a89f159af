#pragma once
// Mouse buttons, the pointer capture and hover help. The window procedure
// hands every button message here and the game tick calls updatePointer once
// per input tick. Presses and releases become calls of the gump handlers; the
// gump that holds the capture gets the moves and releases until it lets go,
// is destroyed, or is found no longer valid. When the pointer rests on an item
// in the world for the pre-delay, the server is asked for that item's help
// text (once per item until the pointer leaves it). Gumps and world objects
// are reached through PointerTargets, which the gump framework and the world
// provide; this code never dereferences them. Main thread only.

#include <cstdint>
#include <vector>

class CGump;
class WorldObject;

// Hit-test modes of the gump manager.
enum class GumpHitMode {
    IncludeBarks = 0,
    SkipBarks = 1,
};

class PointerTargets {
public:
    virtual ~PointerTargets() = default;

    // Gumps.
    virtual bool isValid(CGump* gump) = 0;
    virtual void toLocal(CGump* gump, int32_t& x, int32_t& y) = 0;
    virtual CGump* parentOf(CGump* gump) = 0;
    virtual CGump* hitTest(int32_t x, int32_t y, GumpHitMode mode) = 0;
    virtual CGump* modalGump() = 0;
    // The top-level gumps, topmost first.
    virtual std::vector<CGump*> topLevelGumps() = 0;
    virtual bool isVisible(CGump* gump) = 0;
    virtual bool containsPoint(CGump* gump, int32_t x, int32_t y) = 0;
    // An overhead-text gump; the equipment-information popup is not one.
    virtual bool isBark(CGump* gump) = 0;
    virtual CGump* childAt(CGump* gump, int32_t x, int32_t y) = 0;
    virtual bool wantsLeaveNotice(CGump* gump) = 0;
    // The serial of the item under a container window's local point, or 0;
    // 0 also for a gump that is no container window.
    virtual uint32_t containerItemAt(CGump* gump, int32_t x, int32_t y) = 0;
    virtual CGump* hoveredGump() = 0;
    virtual void setHoveredGump(CGump* gump) = 0;

    virtual void leftDown(CGump* gump, int32_t x, int32_t y) = 0;
    virtual void leftUp(CGump* gump, int32_t x, int32_t y) = 0;
    virtual void rightDown(CGump* gump, int32_t x, int32_t y) = 0;
    virtual void rightUp(CGump* gump, int32_t x, int32_t y) = 0;
    virtual void drag(CGump* gump, int32_t x, int32_t y) = 0;
    virtual void mouseOver(CGump* gump, int32_t x, int32_t y) = 0;
    virtual void mouseLeave(CGump* gump) = 0;
    virtual void hoverTick(CGump* gump) = 0;

    // The help-text popup (null when none) and its screen rectangle.
    virtual CGump* helpPopup() = 0;
    virtual void helpPopupRect(int32_t& left, int32_t& top, int32_t& width, int32_t& height) = 0;
    virtual void closeHelpPopup() = 0;
    // The context popup: closes unless (x, y) is on it.
    virtual void closeContextPopupUnlessOn(int32_t x, int32_t y) = 0;

    // The world: the serial of the dynamic object under a client point (0 for
    // none or a static); the item under the pointer that hover help counts
    // (valid, an item, dynamic), or null.
    virtual uint32_t pickDynamicObjectAt(int32_t x, int32_t y) = 0;
    virtual WorldObject* pickHoverItem(int32_t x, int32_t y) = 0;
    virtual bool isValidObject(WorldObject* object) = 0;
    virtual uint32_t serialOf(WorldObject* object) = 0;
    // Packet 0xB6 for the object's serial.
    virtual void sendObjectHelpRequest(uint32_t serial) = 0;
    // The player's highlighted window; clearHighlight redraws the highlighted
    // object and clears both the window and the serial.
    virtual CGump* highlightedWindow() = 0;
    virtual void clearHighlight() = 0;

    virtual bool isShiftHeld() = 0;
};

struct HoverHelpSettings {
    bool enabled = true;
    uint32_t preDelayMs = 1000;
    bool sticky = false;
    bool persistent = true;
};

class MouseButtons {
public:
    static constexpr uint32_t kHelpAnswerWaitMs = 2000;

    explicit MouseButtons(PointerTargets& targets);

    void setPointerCapture(CGump* gump);
    void releasePointerCaptureIf(CGump* gump);
    CGump* captureGump() const { return m_capture; }

    void onLeftButtonDown(int32_t x, int32_t y);
    void onLeftButtonUp(int32_t x, int32_t y);
    void onRightButtonDown(int32_t x, int32_t y);
    void onRightButtonUp(int32_t x, int32_t y);
    CGump* findRightClickGump(int32_t x, int32_t y);
    // Once per input tick.
    void updatePointer();

    void getPressPosition(int32_t& x, int32_t& y) const
    {
        x = m_pressX;
        y = m_pressY;
    }
    uint32_t getPressedObject() const { return m_pressedObjectSerial; }
    bool shiftAtLeftRelease() const { return m_shiftAtLeftRelease; }
    bool leftButtonDown() const { return m_leftButtonDown; }
    bool rightButtonDown() const { return m_rightButtonDown; }
    int32_t hoverState() const { return m_hoverState; }
    HoverHelpSettings& hoverHelpSettings() { return m_hoverSettings; }

private:
    void commonFirstSteps(int32_t x, int32_t y);
    // The capture gump when valid; an invalid one is dropped.
    CGump* validCapture();
    void updateHoverHelp(int32_t x, int32_t y);
    // Strictly inside the help popup's rectangle.
    bool insideHelpPopup(int32_t x, int32_t y);

    PointerTargets& m_targets;
    CGump* m_capture = nullptr;
    bool m_leftButtonDown = false;
    bool m_rightButtonDown = false;
    int32_t m_pressX = 0;
    int32_t m_pressY = 0;
    uint32_t m_pressedObjectSerial = 0;
    bool m_shiftAtLeftRelease = false;
    int32_t m_lastHoverX = -1;
    int32_t m_lastHoverY = 1;

    HoverHelpSettings m_hoverSettings;
    int32_t m_hoverState = 0;
    WorldObject* m_hoverItem = nullptr;
    uint32_t m_hoverStart = 0;
    int32_t m_hoverLastX = 0;
    int32_t m_hoverLastY = 0;
    uint32_t m_hoverRequestTime = 0;
};
