#pragma once
// The control family: gumps that report scrolling, text submission and focus
// loss to their parent through the operations below, and its simple
// members: TextPane (a strip of tiled art that passes the mouse to its
// parent) and ScrollBar (two repeating arrow buttons, a track and a thumb).
// The chat windows use a second set of the same classes (TextPane2,
// ScrollBar2, TextList2) that differ only as ControlSet::Chat says.
// ScrollBarGump is the same scroll bar on a plain gump for the options
// window, which it reaches through ScrollBarGumpOwner.
//
// Members start 1 x 1 at (0, 0) with one opaque page; a child reports to its
// parent only when the parent is itself of the family (controlGumpOf). Any
// report may close the parent and the child with it. Main thread only.

#include "gump/button.h"
#include "gump/gump.h"
#include "gump/thumb.h"

#include <cstdint>
#include <string>

// Which set a member belongs to: the first answers to GumpKind::ControlGump
// and takes the family's tooltip; the chat set answers to
// GumpKind::ChatControl and keeps the base tooltip.
enum class ControlSet : uint8_t {
    First,
    Chat,
};

class ControlGump : public CGump {
public:
    explicit ControlGump(ControlSet set = ControlSet::First);
    ~ControlGump() override;

    // A child reports an event (a selectable text list: the clicked line);
    // by default passed on to the parent with this as the sender.
    virtual void notify(const std::u16string& text, CGump* sender);
    // A scrolling child reports its position and maximum.
    virtual void setScrollRange(int32_t position, int32_t maximum, int32_t sender);
    // A text list submits its edit line; true accepts it.
    virtual bool submitText(const std::u16string& text, CGump* sender);
    // A scroll bar's thumb was dragged to position of range.
    virtual void scrollTo(int32_t position, int32_t range, CGump* sender);
    // A scroll bar's arrow fired: 0 up, 1 down.
    virtual void scrollStep(int32_t direction, CGump* sender);
    // The conference chat dialog closed (its own business; nothing here).
    virtual void childClosed(CGump* child);
    virtual void childClosedWithText(CGump* child, const std::u16string* first, const std::u16string* second);

    bool isColourKeyed() override { return false; }
    WString getTooltipText(int32_t x, int32_t y) override;

    ControlSet controlSet() const { return m_set; }

protected:
    // The parent as a member of the family, or null.
    ControlGump* controlParent() const;
    // Passes a mouse event on to the parent in the parent's coordinates.
    void passToParent(void (CGump::*handler)(int32_t, int32_t), int32_t x, int32_t y);
    // Replaces page 0 with a width x height page and sets the size.
    void resizePage(int32_t width, int32_t height);

private:
    ControlSet m_set;
};

// The family member behind a gump, or null when it is none.
ControlGump* controlGumpOf(CGump* gump);

class TextPane : public ControlGump {
public:
    // Made and linked to `parent` at once.
    explicit TextPane(CGump* parent, ControlSet set = ControlSet::First);

    // Moves the pane and tiles `art` (opaque) along `length` pixels, down
    // when vertical (the art's width wide) or across (the art's height high).
    void setGeometry(bool vertical, int32_t art, int32_t x, int32_t y, int32_t length);

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
};

class TextPane2 final : public TextPane {
public:
    explicit TextPane2(CGump* parent)
        : TextPane(parent, ControlSet::Chat)
    {
    }
};

// The arrows, track and thumb shared by ScrollBar and ScrollBarGump: a press
// on the track works the arrow on the thumb's side as if it were pressed.
class ScrollBarParts {
public:
    static constexpr int32_t kUpArt = 250;
    static constexpr int32_t kDownArt = 252;
    static constexpr int32_t kThumbArt = 254;
    static constexpr int32_t kTrackArt = 256;

    // Creates the arrows on `bar` (not yet the thumb).
    void create(CGump& bar);
    // Moves the down arrow to the bar's bottom and makes a new thumb.
    void placeChildren(CGump& bar, int32_t height);
    void setThumbPosition(int32_t position, int32_t range);
    void trackPress(CGump& bar, int32_t x, int32_t y);
    void trackRelease(CGump& bar, int32_t x, int32_t y);
    void hoverTick();

    Button* upButton() const { return static_cast<Button*>(m_up.get()); }
    Button* downButton() const { return static_cast<Button*>(m_down.get()); }
    Thumb* thumb() const { return static_cast<Thumb*>(m_thumb.get()); }
    bool isPressed() const { return m_pressed; }

private:
    GumpHandle m_up;
    GumpHandle m_down;
    GumpHandle m_thumb;
    GumpHandle m_pressedButton;
    bool m_pressed = false;
};

class ScrollBar : public ControlGump {
public:
    // Made with its children and linked to `parent` at once.
    explicit ScrollBar(CGump* parent, ControlSet set = ControlSet::First);

    // The track art's width (2 more in the chat set), `height` high, tiled
    // with the track art; the arrows at both ends and a new thumb.
    void setGeometry(int32_t x, int32_t y, int32_t height);
    // Range 0 counts as 1.
    void setThumbPosition(int32_t position, int32_t range);

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    // An arrow fired (id 0 up, 1 down): the parent scrolls a step.
    void onCommand(int32_t id) override;
    // The thumb moved: the parent scrolls to it.
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;

    ScrollBarParts& parts() { return m_parts; }

private:
    ScrollBarParts m_parts;
};

class ScrollBar2 final : public ScrollBar {
public:
    explicit ScrollBar2(CGump* parent)
        : ScrollBar(parent, ControlSet::Chat)
    {
    }
};

// The options window's side of its scroll bar.
class ScrollBarGumpOwner {
public:
    virtual ~ScrollBarGumpOwner() = default;
    virtual void onScrollArrow(int32_t id, CGump* bar) = 0;
    virtual void onScrollThumb(int32_t position, int32_t range, CGump* bar) = 0;
};

class ScrollBarGump final : public CGump {
public:
    static constexpr int32_t kTopArt = 257;
    static constexpr int32_t kBottomArt = 255;

    // Made with its children and linked to `parent`, which reports to `owner`.
    ScrollBarGump(CGump* parent, ScrollBarGumpOwner* owner);

    // A three-piece track (top, tiled middle, bottom), the arrows and a thumb.
    void setGeometry(int32_t x, int32_t y, int32_t height);
    void setThumbPosition(int32_t position, int32_t range) { m_parts.setThumbPosition(position, range); }

    bool isColourKeyed() override { return false; }
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void onCommand(int32_t id) override;
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;

    ScrollBarParts& parts() { return m_parts; }

private:
    ScrollBarGumpOwner* m_owner;
    ScrollBarParts m_parts;
};

// Tiles `art` over `area` of the page with opaque copies; an art with no
// size along the tiling draws nothing.
void tileOpaque(int32_t art, GumpPage& page, int32_t left, int32_t top, int32_t right, int32_t bottom);
