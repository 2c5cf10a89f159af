#pragma once
// What the gump framework asks of the layers above it and of windows built
// later: one small interface per service, reached through service<S>() of
// core/installed_service.h. Each has a do-nothing form (No...) that answers
// "nothing there" (null, false, 0). The program installs the real pointer and
// presenter at start-up (app/); app/service_defaults.cpp installs the
// do-nothing form of each service whose window or subsystem does not exist
// yet. Main thread only.

#include "core/installed_service.h"
#include "core/wide_string.h"
#include "gfx/screen_rect.h"

#include <cstdint>
#include <vector>

class CGump;
class WorldObject;

// The pointer, its capture and the cursor (the application shell's pointer
// and mouse-button code). The capture belongs to the mouse-button code; the
// framework only sets, drops and forgets it.
class GumpPointer {
public:
    virtual ~GumpPointer() = default;
    // Null drops the capture.
    virtual void setPointerCapture(CGump* gump) = 0;
    virtual void clearPointerCaptureIf(CGump* gump) = 0;
    virtual CGump* pointerCapture() = 0;
    // The mouse-button code's record of the gump pressed last.
    virtual void forgetPressedGump(CGump* gump) = 0;
    // The hot point in client pixels.
    virtual void pointerPosition(int32_t& x, int32_t& y) = 0;
    // Where the last left-button press was (client pixels).
    virtual void pressPosition(int32_t& x, int32_t& y) { pointerPosition(x, y); }
    // Two values of the current cursor kind; the tooltip's placement uses
    // the first.
    virtual void cursorOffsets(int32_t& first, int32_t& second) = 0;
    virtual void setCursorKind(int32_t kind) = 0;
    virtual void setCursorForGumpType(int32_t code) = 0;
    virtual void beginBusyCursor() = 0;
    virtual void endBusyCursor() = 0;
    virtual bool isControlHeld() = 0;
    virtual bool isShiftHeld() = 0;
    virtual bool isAltHeld() { return false; }
    // The screen direction 0..7 from the game area's centre to the pointer;
    // -1 outside the game area unless `ignoreBounds`.
    virtual int32_t pointerDirection(bool) { return -1; }
    // The object under the last left press (0 for none), and whether a
    // mouse button is down now.
    virtual uint32_t pressedObjectSerial() { return 0; }
    virtual bool isButtonHeld() { return false; }
};

class NoGumpPointer final : public GumpPointer {
public:
    void setPointerCapture(CGump* gump) override { m_capture = gump; }
    void clearPointerCaptureIf(CGump* gump) override
    {
        if (m_capture == gump)
            m_capture = nullptr;
    }
    CGump* pointerCapture() override { return m_capture; }
    void forgetPressedGump(CGump*) override { }
    void pointerPosition(int32_t& x, int32_t& y) override { x = y = -1; }
    void cursorOffsets(int32_t& first, int32_t& second) override { first = second = 0; }
    void setCursorKind(int32_t) override { }
    void setCursorForGumpType(int32_t) override { }
    void beginBusyCursor() override { }
    void endBusyCursor() override { }
    bool isControlHeld() override { return false; }
    bool isShiftHeld() override { return false; }

private:
    CGump* m_capture = nullptr;
};

// The screen the gumps are composed into and how a composed frame is shown
// (the application shell's back buffer and present step).
class GumpPresenter {
public:
    virtual ~GumpPresenter() = default;
    // Shows the back buffer (blitBackBufferToWindow); `rect` is the part the
    // composition just covered, in client pixels.
    virtual void presentBackBuffer(const ScreenRect& rect) = 0;
};

class NoGumpPresenter final : public GumpPresenter {
public:
    void presentBackBuffer(const ScreenRect&) override { }
};

// Whether the player is in the world, and the features of the session.
class GameSession {
public:
    virtual ~GameSession() = default;
    virtual bool isInWorld() = 0;
    // The server sends object property lists (its feature flag, or an edit
    // server).
    virtual bool hasObjectPropertyLists() = 0;
};

class NoGameSession final : public GameSession {
public:
    bool isInWorld() override { return false; }
    bool hasObjectPropertyLists() override { return false; }
};

// The speech entry line, whose caret follows the keyboard focus.
class SpeechLine {
public:
    virtual ~SpeechLine() = default;
    virtual void refresh() = 0;
};

class NoSpeechLine final : public SpeechLine {
public:
    void refresh() override { }
};

// The world objects a gump may show. A gump keeps its owner as an opaque
// pointer; everything it learns about it comes through here.
class GumpWorld {
public:
    virtual ~GumpWorld() = default;
    virtual bool isValidObject(WorldObject* object) = 0;
    virtual bool isPlayer(WorldObject* object) = 0;
    virtual bool isMobile(WorldObject* object) = 0;
    virtual bool isCorpse(WorldObject* object) = 0;
    virtual bool isContainer(WorldObject* object) = 0;
    virtual bool isLiftableItem(WorldObject* object) = 0;
    virtual uint32_t serialOf(WorldObject* object) = 0;
    // The container or mobile the object lies in or is worn by, or null.
    virtual WorldObject* parentObject(WorldObject* object) = 0;
    // The object forgets `gump` as its open window (and, for a container, as
    // its open container window) when it is that gump.
    virtual void forgetOpenGump(WorldObject* object, CGump* gump) = 0;
    // The objects the all-names overlay labels: each qualifying object's
    // serial and screen bounds, meeting `gameArea` (client pixels).
    struct NameCandidate {
        uint32_t serial = 0;
        ScreenRect bounds;
    };
    virtual std::vector<NameCandidate> nameCandidates(const ScreenRect& gameArea) = 0;
};

class NoGumpWorld final : public GumpWorld {
public:
    bool isValidObject(WorldObject*) override { return false; }
    bool isPlayer(WorldObject*) override { return false; }
    bool isMobile(WorldObject*) override { return false; }
    bool isCorpse(WorldObject*) override { return false; }
    bool isContainer(WorldObject*) override { return false; }
    bool isLiftableItem(WorldObject*) override { return false; }
    uint32_t serialOf(WorldObject*) override { return 0; }
    WorldObject* parentObject(WorldObject*) override { return nullptr; }
    void forgetOpenGump(WorldObject*, CGump*) override { }
    std::vector<NameCandidate> nameCandidates(const ScreenRect&) override { return {}; }
};

// The running graphical effects, stepped once per presented frame.
class WorldEffects {
public:
    virtual ~WorldEffects() = default;
    virtual void stepEffects() = 0;
};

class NoWorldEffects final : public WorldEffects {
public:
    void stepEffects() override { }
};

// The menubar kept on top of the desktop. The created gump is not linked yet.
class MenubarWindow {
public:
    virtual ~MenubarWindow() = default;
    virtual CGump* createMenubar() = 0;
};

class NoMenubarWindow final : public MenubarWindow {
public:
    CGump* createMenubar() override { return nullptr; }
};

// The hover tooltip: a gump showing `text` at (x, y), sized to it. The
// framework links it, places it and destroys it after one composition.
class TooltipWindow {
public:
    virtual ~TooltipWindow() = default;
    virtual CGump* createTooltip(int32_t x, int32_t y, const WString& text) = 0;
};

class NoTooltipWindow final : public TooltipWindow {
public:
    CGump* createTooltip(int32_t, int32_t, const WString&) override { return nullptr; }
};

// Name plates of the all-names overlay; the created plate is not linked or
// placed yet.
class NamePlates {
public:
    virtual ~NamePlates() = default;
    virtual CGump* createNamePlate(uint32_t serial) = 0;
};

class NoNamePlates final : public NamePlates {
public:
    CGump* createNamePlate(uint32_t) override { return nullptr; }
};

// The item-property window (the property lists themselves are the
// framework's own, gump/property_cache.h).
class ItemProperties {
public:
    virtual ~ItemProperties() = default;
    virtual void hideItemProperties() = 0;
    virtual void tickItemProperties() = 0;
    virtual void showItemProperties(uint32_t serial, bool onClick, bool flag) = 0;
};

class NoItemProperties final : public ItemProperties {
public:
    void hideItemProperties() override { }
    void tickItemProperties() override { }
    void showItemProperties(uint32_t, bool, bool) override { }
};

// The skill window's stored groups, loaded when the gump system starts.
class SkillGroups {
public:
    virtual ~SkillGroups() = default;
    virtual void loadSkillGroups() = 0;
};

class NoSkillGroups final : public SkillGroups {
public:
    void loadSkillGroups() override { }
};

// The windows the factory opens by kind (gumpOpenByKind). Every create
// answers null while its window does not exist; a created gump is not linked
// yet (the factory links it).
class FactoryWindows {
public:
    virtual ~FactoryWindows() = default;
    virtual CGump* createTextWindow(int32_t x, int32_t y) = 0;
    // The status gump of a mobile: the full page (the player's) or a bar.
    virtual CGump* createStatusBar(WorldObject* owner, bool fullPage) = 0;
    // Moves an existing status bar into the party part of the bar table.
    virtual void reslotStatusBar(CGump* bar) = 0;
    virtual CGump* createPaperdoll(WorldObject* owner, int32_t x, int32_t y) = 0;
    virtual CGump* createShop(WorldObject* vendor, int32_t x, int32_t y) = 0;
    virtual CGump* createStackChooser(WorldObject* item, int32_t x, int32_t y) = 0;
    // The options window singleton, and whether its record exists (options
    // windows open without it are strays).
    virtual CGump* optionsWindow() = 0;
    virtual bool hasOptionsRecord() = 0;
    virtual CGump* createOptionsWindow() = 0;
    virtual CGump* createRadar(int32_t face, int32_t x, int32_t y) = 0;
    // The radar's 16-bit size value (above 100: the large face).
    virtual int32_t radarSizeValue(CGump* radar) = 0;
    virtual CGump* createAbilityBook(int32_t x, int32_t y) = 0;
    virtual CGump* createContainer(WorldObject* owner, int32_t art, int32_t x, int32_t y, int32_t width, int32_t height)
        = 0;
};

class NoFactoryWindows : public FactoryWindows {
public:
    CGump* createTextWindow(int32_t, int32_t) override { return nullptr; }
    CGump* createStatusBar(WorldObject*, bool) override { return nullptr; }
    void reslotStatusBar(CGump*) override { }
    CGump* createPaperdoll(WorldObject*, int32_t, int32_t) override { return nullptr; }
    CGump* createShop(WorldObject*, int32_t, int32_t) override { return nullptr; }
    CGump* createStackChooser(WorldObject*, int32_t, int32_t) override { return nullptr; }
    CGump* optionsWindow() override { return nullptr; }
    bool hasOptionsRecord() override { return false; }
    CGump* createOptionsWindow() override { return nullptr; }
    CGump* createRadar(int32_t, int32_t, int32_t) override { return nullptr; }
    int32_t radarSizeValue(CGump*) override { return 0; }
    CGump* createAbilityBook(int32_t, int32_t) override { return nullptr; }
    CGump* createContainer(WorldObject*, int32_t, int32_t, int32_t, int32_t, int32_t) override { return nullptr; }
};

// The front end's part in the waiting gump: its record of the current box
// and the return to the main menu.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;
    virtual void logoutToMainMenu() = 0;
    // The front end forgets `gump` when it is its current waiting box.
    virtual void forgetWaitingGump(CGump* gump) = 0;
};

class NoFrontEnd final : public FrontEnd {
public:
    void logoutToMainMenu() override { }
    void forgetWaitingGump(CGump*) override { }
};

template <> struct ServiceFallback<GumpPointer> { using Type = NoGumpPointer; };
template <> struct ServiceFallback<GumpPresenter> { using Type = NoGumpPresenter; };
template <> struct ServiceFallback<GameSession> { using Type = NoGameSession; };
template <> struct ServiceFallback<SpeechLine> { using Type = NoSpeechLine; };
template <> struct ServiceFallback<GumpWorld> { using Type = NoGumpWorld; };
template <> struct ServiceFallback<WorldEffects> { using Type = NoWorldEffects; };
template <> struct ServiceFallback<MenubarWindow> { using Type = NoMenubarWindow; };
template <> struct ServiceFallback<TooltipWindow> { using Type = NoTooltipWindow; };
template <> struct ServiceFallback<NamePlates> { using Type = NoNamePlates; };
template <> struct ServiceFallback<ItemProperties> { using Type = NoItemProperties; };
template <> struct ServiceFallback<SkillGroups> { using Type = NoSkillGroups; };
template <> struct ServiceFallback<FactoryWindows> { using Type = NoFactoryWindows; };
template <> struct ServiceFallback<FrontEnd> { using Type = NoFrontEnd; };
