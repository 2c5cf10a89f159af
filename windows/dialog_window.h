#pragma once
// The shared forms of the small movable windows through which the player
// answers the server (the amount chooser, the pickers, the text query, the
// trade, shop and bill windows): one page of their own, drawn colour-keyed
// under their children and hit where it is not transparent; a press brings
// the window to the front and anchors a drag that moves it (kept 50 pixels
// on screen); a right release closes it. Helpers draw gump art and text in
// the ASCII fonts into the page. Main thread only; points are local pixels.

#include "gfx/pixel_spans.h"
#include "gump/gump.h"

#include <cstdint>
#include <string_view>

class DialogWindow : public CGump {
public:
    DialogWindow(int32_t x, int32_t y, WorldObject* owner);

    void draw(GumpCanvas& canvas) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;

protected:
    // Page 0 of the art's size with the art drawn in it, and the window of
    // that size; false (no page) when the art is missing.
    bool makePageFromArt(int32_t art);
    // Draws gump art into page 0 at (x, y), colour-keyed.
    void drawArt(int32_t art, int32_t x, int32_t y);
    // The pointer capture goes when it is this window's.
    void releaseCapture();
};

// The baseline offset of an ASCII font: where text whose top is at 0 has its
// baseline (measured for "Aq").
int32_t asciiBaseline(int32_t font);
// Text whose top lies at `top`, into a page.
void drawAsciiLine(GumpPage& page, int32_t font, int32_t hue, int32_t x, int32_t top, std::string_view text);
// The width of a line of text in an ASCII font.
int32_t asciiLineWidth(int32_t font, std::string_view text);

class ArtImage;
// An item's picture into a page at (x, y) through `span`, inside `clip`
// (page pixels); on a 5-6-5 screen it is converted as the page's art is.
void drawItemPicture(GumpPage& page, const ArtImage* image, PixelSpanFn span, int32_t x, int32_t y,
    const ScreenRect& clip);
