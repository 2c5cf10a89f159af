#pragma once
// The fighting style window: two radio buttons choose the first or the
// second style; the second shows two sliders setting values from 0 to 100,
// each with a spot at either end that nudges its thumb a pixel. Apply sends
// the choice to the server inside the war-mode request (0x72, after the
// player's war flag), OK does so and closes, the default button picks the
// first style. The corner spot minimises the window, a double click on the
// minimised face restores it, a right click closes it. The chosen values are
// the process-wide ones of the war mode (data/view_range.h): they fill the
// window when it opens and the server's war-mode packet replaces them. One
// window at a time; the desktop file reopens it. Main thread only.

#include "gump/gump.h"
#include "windows/window_clicks.h"

#include <cstdint>

class Button;
class Thumb;

class FightingStyleGump final : public CGump {
public:
    static constexpr int32_t kArt = 2110;
    static constexpr int32_t kMinimisedArt = 2131;
    static constexpr int32_t kThumbArt = 2117;
    static constexpr int32_t kThumbHoverArt = 2118;
    static constexpr int32_t kThumbX = 92;
    static constexpr int32_t kThumbAY = 107;
    static constexpr int32_t kThumbBY = 150;
    static constexpr int32_t kTrackEnd = 197;
    // The style the server takes for the second style.
    static constexpr int32_t kSecondStyle = 1;

    // Not linked: the creator links it.
    FightingStyleGump(int32_t x, int32_t y);
    ~FightingStyleGump() override;

    // The open window, or null.
    static FightingStyleGump* current();
    // The desktop file's record: the window (the open one, else a new one)
    // at (x, y), minimised when it was.
    static FightingStyleGump* restoreAt(int32_t x, int32_t y, bool minimised);

    // The radio behaviour of the two style buttons.
    void onControlChanged(CGump* control) override;
    // Stores the style and the two values and sends them.
    void apply();
    void applyAndClose();
    void chooseFirstStyle();
    void nudgeALeft();
    void nudgeARight();
    void nudgeBLeft();
    void nudgeBRight();

    bool secondStyleChosen() const;
    // A thumb's value, 0 at its track's left end, 100 at its right end.
    static int32_t thumbValue(const Thumb& thumb);
    Thumb* thumbA() const;
    Thumb* thumbB() const;
    Button* firstStyleToggle() const;
    Button* secondStyleToggle() const;

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onHoverTick() override;

private:
    static void nudge(Thumb* thumb, int32_t step);

    GumpHandle m_thumbA;
    GumpHandle m_thumbB;
    GumpHandle m_firstToggle;
    GumpHandle m_secondToggle;
    WindowClicks m_clicks;
};
