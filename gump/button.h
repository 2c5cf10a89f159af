#pragma once
// Buttons: a gump-art button with three behaviours (fire on release, toggle,
// repeat while held), hover, flash and disabled looks, a rectangle form used
// as an invisible hot spot, and LabelButton, whose face carries a centred
// text. A button is a child of its window; it reports through a callback run
// on that window (GumpCallback) and through the window's operations. Either
// may destroy the window, and with it the button: a button touches nothing
// of itself or of its parent after such a call unless both still live.
// Main thread only.

#include "core/wide_string.h"
#include "gump/gump.h"

#include <cstdint>

// Run on the button's parent window. A plain function, so that nothing the
// button owns is in use while the window (and the button) may be destroyed.
using GumpCallback = void (*)(CGump* parent);

namespace gump_callback_detail {
template <typename Method>
struct MemberOf;
template <typename Class>
struct MemberOf<void (Class::*)()> {
    using Type = Class;
};
} // namespace gump_callback_detail

// A callback that runs `Method` (a parameterless member of the parent's own
// class) on the parent: onParent<&MyWindow::onOk>.
template <auto Method>
void onParent(CGump* parent)
{
    using Window = typename gump_callback_detail::MemberOf<decltype(Method)>::Type;
    (static_cast<Window*>(parent)->*Method)();
}

// The default callback: the parent's onCommand with the parent's last
// command id (with passId set, the button's id).
void forwardButtonToOwner(CGump* parent);
// The close, Cancel and No buttons of many windows: the parent closes.
void closeButtonParent(CGump* parent);

enum class ButtonBehaviour : int32_t {
    ClickOnRelease = 0,
    Toggle = 1,
    RepeatOnPress = 2,
};

class Button : public CGump {
public:
    static constexpr int32_t kRepeatDelayTicks = 5;
    static constexpr int32_t kDisabledHue = 0x3C0;

    // A button with its up art (page 0) and down art (page 1); art 0 is none.
    // Its size is the up art's, else the down art's.
    Button(int32_t x, int32_t y, ButtonBehaviour behaviour, int32_t initialPage, GumpCallback callback, int32_t upArt,
        int32_t downArt, bool showWhileParentMinimised);
    // A button without art over the inclusive rectangle; its width is made
    // even. It is hit-tested by its rectangle.
    static Button* hotSpot(int32_t left, int32_t top, int32_t right, int32_t bottom, ButtonBehaviour behaviour,
        int32_t initialPage, GumpCallback callback, bool showWhileParentMinimised);

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightDown(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onMouseLeave() override;
    void onHoverTick() override;
    // The flash cycle; the manager ticks only top-level gumps, so a window
    // whose buttons flash ticks them.
    void tick() override;
    // The face it shows now; a class that draws otherwise answers for itself.
    bool lookKey(uint64_t& key) override;

    ButtonBehaviour behaviour() const { return m_behaviour; }
    int32_t id() const { return m_id; }
    void setId(int32_t id) { m_id = id; }
    bool passesId() const { return m_passId; }
    void setPassId(bool pass) { m_passId = pass; }
    int32_t upArt() const { return artId(); }
    int32_t downArt() const { return m_downArt; }
    void setDownArt(int32_t art) { m_downArt = art; }
    int32_t hoverArt() const { return m_hoverArt; }
    void setHoverArt(int32_t art) { m_hoverArt = art; }
    int32_t flashArt() const { return m_flashArt; }
    void setFlashArt(int32_t art) { m_flashArt = art; }
    void setFlashTicks(int32_t offTicks, int32_t onTicks) { m_flashOffTicks = offTicks, m_flashOnTicks = onTicks; }
    bool isFlashOn() const { return m_flashPhase; }
    bool isDisabled() const { return m_disabled; }
    void setDisabled(bool disabled) { m_disabled = disabled; }
    bool isHovered() const { return m_hovered; }
    bool isPressed() const { return m_pressed; }
    bool hasPixelHitTest() const { return m_pixelHitTest; }
    void setPixelHitTest(bool pixelHitTest) { m_pixelHitTest = pixelHitTest; }
    // The button shows the pixels of its own current page instead of art.
    void setDrawsOwnBuffer(bool ownBuffer) { m_drawsOwnBuffer = ownBuffer; }
    void setCallback(GumpCallback callback) { m_callback = callback; }
    int32_t repeatCountdown() const { return m_repeatCountdown; }

protected:
    // The passId copy, then the callback on the parent. False when the
    // button did not survive it.
    bool fire();
    // The art the face shows now (0: nothing), and whether it is drawn
    // disabled.
    int32_t faceArt(bool& disabledLook) const;

    ButtonBehaviour m_behaviour;
    int32_t m_repeatCountdown = 0;
    int32_t m_id = 0;
    int32_t m_downArt = 0;
    int32_t m_hoverArt = 0;
    int32_t m_flashOffTicks = 10;
    int32_t m_flashOnTicks = 1;
    int32_t m_flashArt = 0;
    bool m_passId = false;
    bool m_disabled = false;
    bool m_drawsOwnBuffer = false;
    bool m_hovered = false;
    bool m_pixelHitTest = true;
    GumpCallback m_callback = nullptr;
    bool m_pressed = false;
    bool m_flashPhase = false;
    int32_t m_flashCounter = 0;
};

class LabelButton : public Button {
public:
    static constexpr uint16_t kHighlightColour = 0x7FE0;

    LabelButton(int32_t x, int32_t y, ButtonBehaviour behaviour, int32_t initialPage, GumpCallback callback,
        int32_t upArt, int32_t downArt, bool showWhileParentMinimised);

    // Both centre the label in Unicode font 1. The face shows a new label at
    // its next change of state, so a creator sets it before the first draw.
    void setText(const WString& text);
    void setTextById(int32_t messageId);

    void draw(GumpCanvas& canvas) override;
    void tick() override;
    // The face its next draw settles on; none while it flashes, since its
    // draws advance the flash.
    bool lookKey(uint64_t& key) override;

    int32_t labelX() const { return m_labelX; }
    int32_t labelY() const { return m_labelY; }
    const WString& label() const { return m_label; }
    void setLabelColour(uint16_t colour) { m_labelColour = colour; }

private:
    void centreLabel();
    void renderFace(int32_t art, int32_t labelTop, uint16_t colour);
    // The face state the next draw shows (FaceState).
    uint8_t wantedFaceState() const;

    int32_t m_labelX = 0;
    int32_t m_labelY = 0;
    uint16_t m_labelColour = 1;
    WString m_label;
    uint8_t m_faceState = 0;
};
