#pragma once
// The software mouse pointer: 46 cursor kinds drawn from game art (kinds 0-22
// the war-mode set, 23-45 the same shapes for peace), the pointer's position
// and kind, the geometry questions asked of it (direction from the game-area
// centre, near the centre) and its drawing into the presented frame.
//
// Threads: only the main thread may present, so the 25 ms pointer timer does
// not draw. It takes the newest mouse position (kept in an atomic by the main
// thread), moves the pointer and chooses its kind under the position and kind
// locks, and marks the pointer dirty; the main thread composites the pointer
// into the next presented frame. Lock order: display, position, kind, image.

#include "data/targeting.h"
#include "platform/screen_rect.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace platform {
class Window;
}

inline constexpr int kCursorKindCount = 46;
inline constexpr int kCursorImageCount = 39;
inline constexpr int kFirstCursorArt = 24659;
inline constexpr int kPeaceKindOffset = 23;
inline constexpr int kBusyCursorKind = 20;
// Cursor images are small; art larger than this either way is damaged art
// for a cursor and is refused, since it is decoded densely (and a hotspot
// further in than 255 pixels cannot be kept anyway).
inline constexpr int32_t kMaxCursorSide = 256;
// 5-5-5 pure green marks a cursor image's hotspot.
inline constexpr uint16_t kHotspotMarker = 0x03E0;
// The id of the timer message the pointer timer posts to ask the main thread
// for a present of what changed.
inline constexpr uint32_t kPointerTimerId = 1;

struct CursorKindRow {
    int32_t firstArt;
    int32_t lastArt;
    uint8_t hotspotX = 0;
    uint8_t hotspotY = 0;
    int32_t maxWidth = 0;
    int32_t maxHeight = 0;
    bool loaded = false;
};

// One decoded art image: width x height 5-5-5 pixels, 0 transparent.
struct CursorArt {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint16_t> pixels;
};

// Where cursor images come from (the art files).
class CursorArtSource {
public:
    virtual ~CursorArtSource() = default;
    // False when the art image is missing or damaged (larger than
    // kMaxCursorSide either way included).
    virtual bool cursorArt(int32_t artId, CursorArt& art) = 0;
};

// What the pointer asks of the player and the world.
struct PointerServices {
    std::function<bool()> isInGame;
    // A player object exists and is in war mode.
    std::function<bool()> isWarMode;
    // The facet the player is on (0 for none).
    std::function<int32_t()> currentFacet;
    // A 5-5-5 pixel turned grey, for the peace set off the first facet.
    std::function<uint16_t(uint16_t)> greyOf;
};

void initPointerState();
void releasePointerState();
void setPointerServices(PointerServices services);
// The game area's position and size inside the client area.
void setPointerGameArea(int32_t offsetX, int32_t offsetY, int32_t width, int32_t height);
void setPointerDrawingAllowed(bool allowed);

// Builds the kind table's hotspots and sizes and the images. `combatHue` is
// a 5-5-5 tint for the war-mode images (0: none); `use565` converts both sets.
void loadCursors(CursorArtSource& source, uint16_t combatHue, bool use565);
const CursorKindRow& cursorKindRow(int kind);

void setCursorKind(int32_t kind);
int32_t getCursorKind();
bool isCursorDirty();
void beginBusyCursor();
void endBusyCursor();
void setCursorForGumpType(int32_t code);
int32_t shownCursorKind();
int32_t busyCount();

// The hot point; the top-left of the shown image when its kind is not loaded.
void getPointerPosition(int32_t& x, int32_t& y);
void getCursorImageSize(int32_t& width, int32_t& height);
// The screen direction 0-7 from the game-area centre; -1 outside the game
// area unless `ignoreBounds`.
int32_t getPointerDirection(bool ignoreBounds);
bool isPointerNearCentre();
void movePointerTo(int32_t x, int32_t y);
void chooseShownCursor();

// The newest mouse position in client coordinates, from the event loop.
void notePointerMoved(int32_t x, int32_t y);
// The pointer moved or changed its kind since it was last drawn.
bool pointerNeedsRedraw();

// Composites (main thread, inside the present step, which holds the display
// lock) the pointer into a ring back buffer of width x height pixels
// whose picture starts at index `ringOffset`, keeping the pixels under it;
// removePointerFromFrame puts them back (at the ring indices kept) after the
// present. Returns the image's box in picture pixels, clipped to the
// picture; empty when nothing was drawn.
platform::ScreenRect drawPointerIntoFrame(uint16_t* ring, int32_t width, int32_t height, int64_t ringOffset);
// Before a frame is composed: the pointer follows the mouse and its place and
// image are held for the next drawPointerIntoFrame, whatever the timer thread
// does meanwhile. Returns the box it will be drawn in (as drawPointerIntoFrame
// returns it, or larger), so that what lies under it can be composed.
platform::ScreenRect holdPointerForFrame(int32_t width, int32_t height);
void removePointerFromFrame(uint16_t* ring);

// The 25 ms pointer timer (when the MouseThread setting is on).
void startPointerTimer(platform::Window& window);
// Stops it under the display lock; safe to call when it does not run.
void stopPointerTimer();
bool pointerTimerRunning();
