#pragma once
// CGump: the base of every window and control on the desktop. A gump is a
// rectangle at a position relative to its parent (the screen for a top-level
// gump), with either pixel pages of its own or a gump-art image as its face,
// an optional owner world object, links into the gump tree and a kind. The
// gump manager (gump_manager.h) keeps the top-level gumps in one z-ordered
// list and calls the virtual operations below for input, per-update steps and
// drawing.
//
// Ownership: the manager owns every top-level gump, a gump owns its children
// and its pages; a gump is destroyed with delete (closeGump), which unlinks
// it, deletes its children and clears every framework record of it.
// Deletion safety: any handler may destroy its own gump, its parent or any
// other gump. Code that calls out (callbacks, a parent's operations, another
// gump's handler) and then wants to go on keeps a GumpHandle and stops when
// the handle comes back empty. Stored gump pointers are checked with
// isValidGump before use. Coordinates are pixels; pixels are 16-bit 5-5-5,
// 0 transparent in colour-keyed pages. Main thread only.

#include "core/live_object.h"
#include "core/wide_string.h"
#include "gfx/blit_target.h"
#include "gfx/screen_rect.h"
#include "text/text_surface.h"

#include <bitset>
#include <cstdint>
#include <vector>

class WorldObject;
class GumpCanvas;

// The tag of the gump tree's live-object registry.
struct GumpTree { };

// What kind of gump this is; a gump may be of several kinds (a spellbook is
// also a book). The manager and windows tell gumps apart by these.
enum class GumpKind : uint8_t {
    GenericGump,
    WorldView,
    GameAreaEdge,
    SpeechLine,
    Paperdoll,
    PartyGump,
    ContextHelp,
    OverheadText,
    DamageNumbers,
    DragGump,
    ChatWindow,
    GmChatWindow,
    ChatControl,
    MessengerWindow,
    // The messenger's "Messages" window and its web page window.
    MessengerList,
    MessengerWebPage,
    ControlGump,
    ContainerGump,
    TextWindow,
    Thumb,
    StackGump,
    ShopGump,
    BillGump,
    Button,
    StatusGump,
    TargetGump,
    SkillGump,
    CourseGump,
    CharCreation,
    RaceChange,
    OptionsGump,
    ToggleControl,
    InputControl,
    UnicodeInputControl,
    Book,
    Spellbook,
    AbilityBook,
    MacroCommand,
    BulletinBoard,
    BulletinLine,
    BulletinMessage,
    FightingStyle,
    Missile,
    Sign,
    HuePicker,
    EditList,
    UnicodeEditList,
    SpellIcon,
    SkillIcon,
    AbilityIcon,
    WaitingGump,
    Radar,
    Trade,
    Tooltip,
    Profile,
    Escalate,
    PointerGump,
    SkillLock,
    EquipInfo,
    HouseDesign,
    ItemProperties,
    ListBox,
    MahjongBoard,
    TextGump,
    NamePlate,
    AcctLogin,
    Count,
};

inline constexpr int32_t kNoTooltip = -123;

// One pixel page: width x height pixels, rows `width` apart (the page's row
// stride is always its width, so drawing and hit tests read the same pixel).
struct GumpPage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint16_t> pixels;

    bool isAllocated() const { return !pixels.empty(); }
    // Allocates width x height pixels of 0 (nothing for an empty size).
    void allocate(int32_t pageWidth, int32_t pageHeight);
    void release();
    uint16_t pixel(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    BlitTarget target() { return BlitTarget::surface(pixels.data(), width, height, width); }
    TextSurface surface() { return { pixels.data(), width, width, height }; }
};

class CGump : public LiveObject<GumpTree> {
public:
    CGump();
    // A gump at (x, y) of width x height with `pageCount` unallocated pages;
    // the restore and minimised positions start at (x, y). It is not linked:
    // gumpLink puts it into the tree.
    CGump(int32_t x, int32_t y, WorldObject* owner, int32_t pageCount, int32_t width, int32_t height);
    CGump(const CGump&) = delete;
    CGump& operator=(const CGump&) = delete;
    virtual ~CGump();

    // Relinks the gump at the top of its list (see gump.cpp for the rules).
    virtual void bringToFront(bool keepFocus);
    // The deepest gump under the local point, or null when the point misses.
    virtual CGump* findChildAt(int32_t x, int32_t y, CGump* excluded);
    // Copies the back-buffer pixels under the gump aside, to be put back after
    // the frame is shown.
    virtual void saveUnder(GumpCanvas& canvas);
    // Draws the gump and its children into the canvas, inside its clip.
    virtual void draw(GumpCanvas& canvas);
    // A number that changes whenever the gump's own pixels change, for the
    // composition that redraws only what changed (its place, visibility and
    // order are compared apart); false, the default, for a gump drawn from
    // state the framework cannot see, which every composition redraws. A
    // gump whose draw shows no more than its art face or its current page,
    // and that calls markLookChanged() whenever it draws into its pages,
    // answers faceLookKey(). A class that draws more must answer for itself,
    // never through a base that answers true: classes opt in where they are
    // final or their draw is.
    virtual bool lookKey(uint64_t& key);
    // False for a gump that has no pixels of its own and whose draw only
    // draws its children: a composition saves and redraws only where its
    // children are, not its whole rectangle.
    virtual bool hasOwnFace() const;
    // The pixel-exact hit test, in local coordinates.
    virtual bool containsPoint(int32_t x, int32_t y);

    // Input, in local coordinates. The release goes to the gump that holds
    // the pointer capture, wherever the pointer is.
    virtual void onLeftDown(int32_t x, int32_t y);
    virtual void onLeftUp(int32_t x, int32_t y);
    virtual void onRightDown(int32_t x, int32_t y);
    virtual void onRightUp(int32_t x, int32_t y);
    virtual void onMouseOver(int32_t x, int32_t y);
    virtual void onMouseLeave();
    virtual void onDrag(int32_t x, int32_t y);
    // Each pointer update, for the hovered and for the captured gump.
    virtual void onHoverTick();
    // A key for the focus gump: characters as their codes, navigation keys
    // as GumpKey::kKeyBase plus the virtual-key code (gump/entry_core.h).
    virtual void onKey(uint32_t code);

    // Reports of child controls.
    virtual void onSlider(int32_t position, int32_t range, CGump* thumb);
    virtual void onSliderReleased(int32_t position, int32_t range, CGump* thumb);
    virtual void onControlChanged(CGump* control);
    virtual void onTab();
    virtual void onEnter();
    virtual void onEscape();
    virtual void onControlPressed(CGump* control);
    virtual void onControlReleased(CGump* control);
    virtual void onControlActivated(CGump* control);
    virtual void onCommand(int32_t commandId);
    virtual void onChoiceListClosed();

    virtual void resize(int32_t width, int32_t height, bool flag);
    virtual void objectHelpAt(int32_t x, int32_t y);
    // The per-update step of every top-level gump.
    virtual void tick();
    // Notification between messenger windows; false asks the sender to stop.
    virtual bool onMessengerEvent(int32_t code, int32_t first, int32_t second);
    // The tooltip text at a local point; empty for none.
    virtual WString getTooltipText(int32_t x, int32_t y);
    virtual bool acceptsItemDrop();
    // The gump lives in game-view coordinates: the game view's offset is
    // added to its screen position.
    virtual bool isInGameView();
    // The house design window's parameterless commands (0..28).
    virtual void designCommand(int32_t command);
    virtual void refreshLayout();
    // Pages drawn and hit-tested with colour key 0.
    virtual bool isColourKeyed();
    virtual bool isClosableByCloseAll();
    // The family's own action: entries and books redraw without a caret,
    // overhead texts follow their owner, choice lists pick the hovered row.
    virtual void kindAction();
    // The kind's action when it loses the keyboard focus (commit a text,
    // redraw without a caret). Not run while a parent deletes its children.
    virtual void onFocusLost();

    // Operations the manager runs on gumps of particular kinds; the base
    // does nothing.
    // An overhead text or timed popup whose life has ended.
    virtual bool hasExpired(uint32_t now);
    // The gump an overhead text is attached to, or null.
    virtual CGump* attachedGump();
    // The window raised together with this one (a shop's bill).
    virtual CGump* partnerGump();
    // After the view moved: overhead texts, damage numbers and name plates
    // place themselves over their owner again.
    virtual void followView();
    // One rise step of damage numbers, every update.
    virtual void riseStep();
    // Status windows redraw from their record just before a frame is shown.
    virtual void refreshBeforePresent();
    // A missile gump moves with the view.
    virtual void shiftMissile(int32_t dx, int32_t dy);
    // A close-all that closes a server-described gump lets it reply first.
    virtual void replyBeforeCloseAll();
    // The server closes its gumps of a type id; true when this one closes.
    virtual bool closeIfMatches(uint32_t typeId);
    // A gump this one refers to is being destroyed.
    virtual void forgetGump(CGump* dying);
    // The kind that is told the pointer left it by onMouseOver(-1, -1).
    virtual bool wantsLeaveNotice();
    // The serial of the item under a local point of a container window, 0
    // for none (and for every other kind).
    virtual uint32_t itemSerialAt(int32_t x, int32_t y);
    // While a status window carries attached bar pieces, their outer bounds
    // (screen pixels) replace the gump's own for the keep-on-screen rule.
    virtual bool attachedBarBounds(ScreenRect& bounds);

    const char* typeName() const { return m_typeName; }
    bool is(GumpKind kind) const { return m_kinds.test(size_t(kind)); }

    // Position relative to the parent, size and the rest of the record.
    int32_t x() const { return m_x; }
    int32_t y() const { return m_y; }
    void setLocation(int32_t x, int32_t y) { m_x = x, m_y = y; }
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    void setSize(int32_t width, int32_t height) { m_width = width, m_height = height; }
    int32_t minimisedWidth() const { return m_minimisedWidth; }
    int32_t minimisedHeight() const { return m_minimisedHeight; }
    void setMinimisedSize(int32_t width, int32_t height) { m_minimisedWidth = width, m_minimisedHeight = height; }
    int32_t artId() const { return m_artId; }
    void setArtId(int32_t art) { m_artId = art; }
    int32_t tooltipId() const { return m_tooltipId; }
    void setTooltipId(int32_t id) { m_tooltipId = id; }
    uint8_t group() const { return m_group; }
    void setGroup(uint8_t group) { m_group = group; }
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }
    bool isMinimised() const { return m_minimised; }
    bool wasDrawn() const { return m_drawn; }
    bool isNoHit() const { return m_noHit; }
    void setNoHit(bool noHit) { m_noHit = noHit; }
    int32_t lastCommandId() const { return m_lastCommandId; }
    void setLastCommandId(int32_t id) { m_lastCommandId = id; }
    int32_t spareWord() const { return m_spareWord; }
    void setSpareWord(int32_t value) { m_spareWord = value; }
    uint32_t serial() const { return m_serial; }
    void setSerial(uint32_t serial) { m_serial = serial; }
    WorldObject* owner() const { return m_owner; }
    void setOwner(WorldObject* owner) { m_owner = owner; }
    uint32_t ownerSerial() const { return m_ownerSerial; }
    void setOwnerSerial(uint32_t serial) { m_ownerSerial = serial; }
    int32_t dragAnchorX() const { return m_dragAnchorX; }
    int32_t dragAnchorY() const { return m_dragAnchorY; }
    void setDragAnchor(int32_t x, int32_t y) { m_dragAnchorX = x, m_dragAnchorY = y; }
    void setSizeLimits(int32_t minWidth, int32_t minHeight, int32_t maxWidth, int32_t maxHeight);
    int32_t minWidth() const { return m_minWidth; }
    int32_t minHeight() const { return m_minHeight; }
    int32_t maxWidth() const { return m_maxWidth; }
    int32_t maxHeight() const { return m_maxHeight; }
    int32_t restoreX() const { return m_restoreX; }
    int32_t restoreY() const { return m_restoreY; }
    int32_t minimisedX() const { return m_minimisedX; }
    int32_t minimisedY() const { return m_minimisedY; }
    void setMinimisedPosition(int32_t x, int32_t y) { m_minimisedX = x, m_minimisedY = y; }
    // A button that stays on its parent's minimised face (title-bar buttons).
    bool showsWhileParentMinimised() const { return m_showsWhileParentMinimised; }
    void setShowsWhileParentMinimised(bool shows) { m_showsWhileParentMinimised = shows; }
    int32_t minimiseCellX() const { return m_minimiseCellX; }
    int32_t minimiseCellY() const { return m_minimiseCellY; }

    // Pages.
    int32_t currentPage() const { return m_currentPage; }
    void setCurrentPage(int32_t page) { m_currentPage = page; }
    int32_t pageCount() const { return int32_t(m_pages.size()); }
    void setPageCount(int32_t count);
    // Null outside the page table.
    GumpPage* page(int32_t index);
    // The pixels of page 0, or null while it is not allocated.
    uint16_t* pagePixels();

    // Links; the manager keeps them.
    CGump* parent() const { return m_parent; }
    CGump* next() const { return m_next; }
    CGump* previous() const { return m_previous; }
    CGump* firstChild() const { return m_firstChild; }
    CGump* lastChild() const { return m_lastChild; }

    // Screen position: the gump's and each valid ancestor's position added;
    // once more the game view's offset when any of them lives in game-view
    // coordinates.
    void localToScreen(int32_t& x, int32_t& y);
    void screenToLocal(int32_t& x, int32_t& y);
    // The gump's rectangle on the screen (its minimised size while minimised).
    ScreenRect screenRect();
    // The screen rectangle the gump and its visible children cover, clamped
    // to the screen: what a composition saves and lets the gump draw into.
    ScreenRect composedBounds();

    // Moves by (dx, dy). With moveSelf the gump moves (children follow, their
    // positions being relative); without it only the rectangles are
    // reported. The old and new rectangles (and those of attached overhead
    // texts) are added to `dirty` (may be null), clipped to the screen.
    // keepOnScreen keeps at least 50 pixels (or the whole gump) on screen.
    void moveBy(int32_t dx, int32_t dy, bool moveSelf, ScreenRect* dirty, bool keepOnScreen);
    void moveTo(int32_t x, int32_t y, bool moveSelf, ScreenRect* dirty, bool keepOnScreen);
    void keepInsideParent();
    void clampToScreen();
    void placeOutsideGameArea();
    void minimize();
    void restore();

    // Draws a nine-piece frame into page 0 (see gump.cpp); a zero art id
    // leaves its piece out. hueB, else hueA, draws through a hue.
    void drawNinePatchFrame(int32_t x, int32_t y, int32_t width, int32_t height, const int32_t arts[9],
        bool colourKeyed, int32_t hueA, int32_t hueB);

    // Deletes the children now, first to last. A class whose children call
    // back into it while they die calls this in its own destructor.
    void deleteChildren();

    uint64_t instanceId() const { return m_instanceId; }

    // The look of the art face, or of the current page as last drawn (see
    // markLookChanged): what lookKey answers for a gump drawn as the base
    // draws it.
    uint64_t faceLookKey();
    // After drawing into a page: the pixels of a gump that answers lookKey
    // changed.
    void markLookChanged() { ++m_lookVersion; }
    // Calls `visit` with the screen rectangle of every part of the gump a
    // composition draws: its composed bounds, or, without a face of its own,
    // each visible child's.
    template <typename Visit>
    void forEachPaintedArea(Visit visit);

protected:
    void setTypeName(const char* name) { m_typeName = name; }
    void addKind(GumpKind kind) { m_kinds.set(size_t(kind)); }
    void setRestorePosition(int32_t x, int32_t y) { m_restoreX = x, m_restoreY = y; }
    // A window created in its minimised form, where it stands, without a cell
    // of the minimise grid.
    void startMinimised() { m_minimised = true; }
    // The current page at the gump's screen position, colour-keyed or
    // opaque, never past the page's own size.
    void drawPage(GumpCanvas& canvas);
    void drawChildren(GumpCanvas& canvas);
    // The controls that keep their face in page 0: it is blitted colour-keyed
    // at the gump's screen position, and hit by its rectangle.
    void drawOwnBuffer(GumpCanvas& canvas);
    bool containsPointInBuffer(int32_t x, int32_t y);
    // The child list from the bottom up, stopping at an invalid child.
    template <typename Visit>
    void forEachChildBottomUp(Visit visit);

private:
    friend void gumpLink(CGump* gump, CGump* parent);
    friend void gumpUnlink(CGump* gump);
    void keepOnScreen(const ScreenRect& before, int32_t& dx, int32_t& dy);

    uint64_t m_instanceId;
    uint64_t m_lookVersion = 0;
    const char* m_typeName = "normal gump";
    std::bitset<size_t(GumpKind::Count)> m_kinds;
    int32_t m_lastCommandId = 0;
    int32_t m_spareWord = 0;
    int32_t m_currentPage = 0;
    std::vector<GumpPage> m_pages;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_minimisedWidth = 0;
    int32_t m_minimisedHeight = 0;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_minWidth = -1;
    int32_t m_minHeight = -1;
    int32_t m_maxWidth = -1;
    int32_t m_maxHeight = -1;
    WorldObject* m_owner = nullptr;
    uint32_t m_ownerSerial = 0;
    CGump* m_next = nullptr;
    CGump* m_previous = nullptr;
    CGump* m_firstChild = nullptr;
    CGump* m_parent = nullptr;
    CGump* m_lastChild = nullptr;
    int32_t m_artId = -1;
    uint8_t m_group = 0;
    bool m_drawn = false;
    bool m_minimised = false;
    uint32_t m_serial = 0;
    bool m_visible = true;
    int32_t m_dragAnchorX = 0;
    int32_t m_dragAnchorY = 0;
    int32_t m_restoreX = 0;
    int32_t m_restoreY = 0;
    int32_t m_minimisedX = 0;
    int32_t m_minimisedY = 0;
    int32_t m_minimiseCellX = 0;
    int32_t m_minimiseCellY = 0;
    int32_t m_tooltipId = kNoTooltip;
    bool m_noHit = false;
    bool m_showsWhileParentMinimised = false;
};

// A live gump whose mark is intact.
bool isValidGump(const CGump* gump);

// Destroys a gump (and its children) at once; nothing for an invalid one.
void closeGump(CGump* gump);

// A gump pointer that knows when its gump is gone, even when another gump
// has since been made at the same address.
class GumpHandle {
public:
    GumpHandle() = default;
    explicit GumpHandle(CGump* gump);
    // The gump while it lives, else null.
    CGump* get() const;
    explicit operator bool() const { return get() != nullptr; }

private:
    CGump* m_gump = nullptr;
    uint64_t m_instanceId = 0;
};

// Rectangle helpers of the framework. An accumulator whose four values are
// all 0 counts as empty and takes `r`; otherwise it grows to hold `r`.
void rectUnion(ScreenRect& accumulator, const ScreenRect& r);
bool rectIntersects(const ScreenRect& a, const ScreenRect& b);
// Each edge of `a` clamped into `b`; meaningful only for overlapping ones.
void rectIntersection(const ScreenRect& a, const ScreenRect& b, ScreenRect& out);

// Copies `rows` rows of `width` pixels, skipping 0; steps in pixels.
void blitRowsColourKeyed(int32_t rows, int32_t width, uint16_t* destination, const uint16_t* source,
    int32_t destinationStep, int32_t sourceStep);

template <typename Visit>
void CGump::forEachChildBottomUp(Visit visit)
{
    for (CGump* child = m_lastChild; child;) {
        if (!isValidGump(child))
            return;
        CGump* above = child->m_previous;
        visit(child);
        child = above;
    }
}

template <typename Visit>
void CGump::forEachPaintedArea(Visit visit)
{
    if (hasOwnFace()) {
        visit(composedBounds());
        return;
    }
    forEachChildBottomUp([&visit](CGump* child) {
        if (child->isVisible())
            visit(child->composedBounds());
    });
}
