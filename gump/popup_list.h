#pragma once
// A framed pop-up menu of lines with a scroll bar (the conference chat's
// menus): a selectable TextList in four frame panes. Clicking a line reports
// it to the popup's parent through notify; a right-button release closes the
// popup, and its parent is told to forget it (forgetGump). At most eleven
// lines show at once; the rest scroll. Main thread only.

#include "gump/control_gump.h"

#include <string>
#include <vector>

class ScrollBar;
class TextList;

// A TextList with a scroll bar in a frame of four panes: edge art 2700 along
// the top and bottom, side art 2701 down both sides, the scroll bar inside
// the left side and the list beside it. The window made from it makes the
// pieces, in the order it wants them linked, and lays them out; the frame
// draws and is hit only through its pieces, and passes scrolling between the
// bar and the list.
class FramedList : public ControlGump {
public:
    static constexpr int32_t kEdgeArt = 2700; // top and bottom
    static constexpr int32_t kSideArt = 2701; // left and right

    // Places the pieces in the frame's size and scrolls the list to the top.
    // Missing pieces are skipped.
    void layout();

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void setScrollRange(int32_t position, int32_t maximum, int32_t sender) override;
    void scrollTo(int32_t position, int32_t range, CGump* sender) override;
    void scrollStep(int32_t direction, CGump* sender) override;

    TextList* list() const;
    ScrollBar* scrollBar() const;

protected:
    // The four panes (top, bottom, left, right), made for this frame.
    void makePanes();

    GumpHandle m_panes[4];
    GumpHandle m_list;
    GumpHandle m_scrollBar;
};

class PopupList : public FramedList {
public:
    static constexpr int32_t kMaxShownItems = 11;
    static constexpr int32_t kMaxLines = 2048;

    // Made and linked to `parent`, sized to the items and laid out. A line
    // takes its colour from `colours` where one is given (not -1), else the
    // menu option colour of the settings.
    PopupList(CGump* parent, const std::vector<std::u16string>& items, int32_t background,
        const std::vector<int32_t>& colours = {});
    ~PopupList() override;

    // The size the items need, cut to the maximum.
    static void computeSize(
        const std::vector<std::u16string>& items, int32_t maxWidth, int32_t maxHeight, int32_t& width, int32_t& height);
    // Cuts the popup to its parent (less room for the arrow and the edge).
    void fitToParent();

    void onRightUp(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
};
