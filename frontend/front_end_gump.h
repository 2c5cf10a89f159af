#pragma once
// What the full-screen front-end gumps share: the 640 x 480 screen they stand
// on (the steps that make the display ready for it), their draw (their own
// page, colour-keyed, then their children) and the small input handlers the
// screens and their dialogs reuse. Main thread only.

#include "gump/gump.h"

#include <cstdint>

// The front-end screen's size.
inline constexpr int32_t kFrontEndWidth = 640;
inline constexpr int32_t kFrontEndHeight = 480;
// The pointer shape of the front-end screens.
inline constexpr int32_t kFrontEndCursorKind = 17;

// The steps the splash and the main menu take before they draw: out of the
// world, a 640 x 480 game area and window (the display mode follows it), a
// new back buffer, the whole screen to be drawn again, and no window resizing.
void prepareFrontEndScreen();
// Clears every pixel of the back buffer and asks for the whole screen again.
void clearFrontEndBackBuffer();

// A gump of the front end: a page of its own at its place, drawn with colour
// key 0 and then its children (drawFullScreenPage).
class FrontEndGump : public CGump {
public:
    FrontEndGump(int32_t x, int32_t y, int32_t width, int32_t height);

    // drawFullScreenPage: nothing while hidden; the page where it meets the
    // composed rectangle, then every child.
    void draw(GumpCanvas& canvas) override;
    // Hit anywhere inside its rectangle while visible: the screens take the
    // clicks on their transparent parts too (their buttons stand there).
    bool containsPoint(int32_t x, int32_t y) override;

protected:
    // The shared handlers, for the slots each screen takes them in.
    void releasePointerCapture();
    void bringToFrontOnLeftDown() { bringToFront(false); }
    void setFrontEndCursor();
    // Moves a dialog while it is being dragged, kept on the screen.
    void dragDialog(int32_t x, int32_t y);
    // Allocates page 0 at the gump's size (cleared).
    GumpPage& makePage();

    bool m_dragging = false;
};
