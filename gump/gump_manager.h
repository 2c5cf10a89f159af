#pragma once
// The gump manager: the process-wide state that holds the desktop together —
// one z-ordered list of top-level gumps (head on top), the keyboard-focus
// gump, the hovered gump, the modal gump, hit testing, the per-update step of
// every gump, the composition of the gump layer into the ring back buffer
// with the menubar kept on top and a hover tooltip after a delay, the
// close-all commands, the all-names overlay, the maps that remember where
// server gumps of one family were placed, and tooltip texts by id.
//
// Ownership: the manager owns every top-level gump and destroys what is left
// at gumpSystemShutdown. The back buffer belongs to the program, which
// attaches it. Deletion safety: every walk over a gump list keeps its next
// gump in a GumpListCursor, which a dying gump advances, so any gump (the next
// one included) may be destroyed during the walk; a walk stops at the first
// gump that fails the validity check. Times are 32-bit millisecond ticks
// compared unsigned. Main thread only.

#include "core/wide_string.h"
#include "gfx/screen_rect.h"
#include "gump/gump.h"
#include "gump/gump_canvas.h"
#include "gump/gump_looks.h"

#include <cstdint>
#include <map>
#include <span>
#include <vector>

class BackBuffer;

// The screen the gumps live on: the client area (the back buffer's size),
// and the game area inside it at the game view's offset.
struct GumpScreen {
    int32_t width = 640;
    int32_t height = 480;
    int32_t gameViewX = 0;
    int32_t gameViewY = 0;
    int32_t gameWidth = 640;
    int32_t gameHeight = 480;
};

// The settings the framework reads; the program fills them from the settings
// files (these are the defaults).
struct GumpSettings {
    bool useToolTips = true;
    // At least 100.
    uint32_t toolTipPreDelayMs = 1000;
    bool disableMenubar = false;
    bool offsetGumps = true;
    bool autoArrangeMinimized = true;
    // 3: "Single Click".
    int32_t itemPropsMode = 0;
};

// A saved position of a family of server gumps.
struct MasterPosition {
    int16_t x = -1;
    int16_t y = -1;
    int16_t spare = -1;
};

// A walk over a gump list that survives the destruction of any gump: the
// walk keeps its next gump here, and a dying gump that is some cursor's next
// moves that cursor on (downwards, or upwards for a walk from the tail).
class GumpListCursor {
public:
    enum class Direction {
        Down,
        Up,
    };
    explicit GumpListCursor(CGump* first, Direction direction = Direction::Down);
    ~GumpListCursor();
    GumpListCursor(const GumpListCursor&) = delete;
    GumpListCursor& operator=(const GumpListCursor&) = delete;

    // The next gump of the walk, or null at the end or at an invalid gump.
    CGump* take();
    // Moves every cursor whose next gump is `dying` past it.
    static void advancePast(CGump* dying);

private:
    CGump* m_next;
    Direction m_direction;
    GumpListCursor* m_outer;
};

class GumpManager {
public:
    GumpManager();

    void reset();

    CGump* head = nullptr;
    CGump* tail = nullptr;
    CGump* focus = nullptr;
    CGump* hovered = nullptr;
    CGump* modal = nullptr;
    CGump* menubar = nullptr;
    CGump* tooltip = nullptr;
    // While set, a dying parent is deleting its children: focus-lost actions
    // do not run.
    int32_t childrenDeleting = 0;
    // Set while the framework destroys every gump at once (the shutdown):
    // windows then skip the steps that follow their closing.
    bool bulkClosing = false;
    GumpListCursor* cursors = nullptr;

    GumpScreen screen;
    GumpSettings settings;
    BackBuffer* backBuffer = nullptr;
    bool presentationOff = true;
    ScreenRect presentRect;

    // The composition: what lies under the gumps until the frame is shown,
    // and the parts the piece being composed has saved.
    RestoreQueue restoreQueue;
    DirtyRectList savedRects;
    // The screen rectangles of the top-level gumps drawn by the last and by
    // the current composition.
    std::vector<ScreenRect> composedRects;
    std::vector<ScreenRect> previousComposedRects;
    // What the last present may have changed (both lists above, or the
    // rectangles a composition of the changes composed).
    std::vector<ScreenRect> changedRects;
    // The desktop as last composed, and the rectangles where it changed.
    GumpLooks looks;
    DirtyRectList changedArea;

    // The tooltip memory: the gump and text last seen under the pointer and
    // when that pair was first seen.
    CGump* tooltipGump = nullptr;
    WString tooltipText;
    uint32_t tooltipSince = 0;
    bool tooltipTablesOpened = false;

    bool allNamesOn = false;
    std::map<uint32_t, CGump*> allNames;
    std::map<uint32_t, uint32_t> masterGumps;
    std::map<uint32_t, MasterPosition> masterPositions;

    // The factory's state.
    int32_t cascadeX = 16;
    int32_t cascadeY = 16;
    std::vector<int32_t> minimiseCellsX;
    std::vector<int32_t> minimiseCellsY;
};

GumpManager& gumpManager();

// Start-up and exit: the start resets every record (and loads the skill
// groups); the shutdown destroys every gump left.
void gumpSystemStartup();
void gumpSystemShutdown();

// The back buffer the gumps are composed into, and the screen geometry. The
// program attaches the buffer and keeps the geometry current.
void gumpAttachBackBuffer(BackBuffer* buffer);
void gumpSetScreen(const GumpScreen& screen);
const GumpScreen& gumpScreen();
GumpSettings& gumpSettings();
// After the back buffer was created again: presentation may start.
void gumpBackBufferRecreated();
// Keeps the game area inside the screen: a negative offset becomes 0, one
// that pushes the game area past the right or bottom edge moves back by the
// excess. True when it changed.
bool clampGameViewOffset(int32_t& x, int32_t& y, const GumpScreen& screen);

// Makes `gump` the top of `parent`'s children, or of the desktop when parent
// is null. Unlinking happens only when a gump is destroyed.
void gumpLink(CGump* gump, CGump* parent);
void gumpUnlink(CGump* gump);

CGump* gumpListHead();
CGump* gumpListTail();

// Keyboard focus.
void gumpSetFocus(CGump* gump);
// Clears the focus and runs the old focus gump's focus-lost action (unless a
// parent is deleting its children); then refreshes the speech line when the
// player is in the world.
void gumpReleaseFocus();
CGump* gumpFocus();
CGump* gumpHovered();
void gumpSetHovered(CGump* gump);
// The modal gump; one found no longer valid counts as none and is cleared.
CGump* gumpModal();
void gumpSetModal(CGump* gump);
void gumpClearModalIf(CGump* gump);

// The gump under a screen point: with a modal gump only it is looked at.
// With passThrough an overhead text lets the point through unless it is an
// equipment popup or belongs to a mobile or a corpse.
CGump* gumpHitTest(int32_t x, int32_t y, CGump* excluded, bool passThrough);
// True for an equipment popup or an overhead text over a mobile or corpse.
bool gumpIsSpecialOwner(CGump* overheadText);

// Every game-tick update: expiry, the tick of every top-level gump, damage
// numbers, item properties, the end of the all-names overlay.
void gumpManagerUpdate();
void gumpExpireTimed();
// After the view moved.
void gumpUpdateOverheads();

// Composes every gump over `rect` (client pixels) into the back buffer; with
// `present` the frame is then shown and the back buffer gets back its world
// pixels.
void gumpRedrawRect(const ScreenRect& rect, bool present);
// Composes the gumps only where the screen may differ from the frame shown
// last, then presents the frame as gumpRedrawRect does: where gumps
// appeared, went, moved, changed their look (CGump::lookKey) or their order,
// where gumps are drawn from state the framework cannot see, and over
// `beneath` (client pixels), what changed under the gumps since (the world's
// redrawn rectangles, the pointer's boxes). The whole screen when nothing
// was composed before or the changes are too many.
void gumpRedrawChanged(std::span<const ScreenRect> beneath);
void gumpPresent(const ScreenRect& rect);
// The screen rectangles the last composition may have changed against the
// one before (gumps drawn now, and gumps drawn before that may have gone or
// moved), for a present that copies only what changed.
std::vector<ScreenRect> gumpChangedScreenRects();

// Close-all commands.
void gumpCloseAllClosable();
void gumpCloseAllClosableKinds();
void gumpCloseWorldGumps();
// Closes every window of a world object (the death screen), but the trade window.
void gumpCloseObjectGumps();
void gumpCloseAllButPersistent();
void genericGumpCloseById(uint32_t typeId);
void missileGumpsShiftBy(int32_t dx, int32_t dy);
void missileGumpsCloseAll();

// Tooltip text of an id: the gump tables by range, then the tooltip table,
// then (above 499999) the localized message; null when none.
const WString* gumpTooltipText(int32_t id);

// The all-names overlay: name plates over the objects on screen while on.
void showAllNames(bool on);
void allNamesForget(uint32_t serial, CGump* gump);
CGump* allNamesFind(uint32_t serial);
inline constexpr int32_t kMaxNamePlates = 100;

// The two master maps of server gumps.
void masterGumpSet(uint32_t typeId, uint32_t masterId);
void masterGumpStorePosition(uint32_t typeId, int32_t x, int32_t y);
MasterPosition masterGumpPosition(uint32_t typeId);
void masterGumpMapsClear();

// Asks the server for an object's name (a single click, or its property
// list through the item-property window).
void requestObjectName(WorldObject* object);
