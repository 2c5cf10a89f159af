#pragma once
// What the world view, the drag picture, the container windows, the
// paperdoll and the speech line ask of parts of the program above or beside
// them: the player's walking and the path search (the world's, installed by
// the walking wiring), the yes/no question box (the front end's), the skill
// window, the hue picker and the tips window the server opens, and where the
// game area lies in the main window. Each is a small
// interface reached through service<S>() (core/installed_service.h) with a
// do-nothing form that answers "nothing there"; app/ installs the real ones
// and app/service_defaults.cpp the do-nothing forms of those not built yet. Directions are screen directions 0..7 (0 up the
// screen) unless named otherwise. Main thread only.

#include "core/installed_service.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CGump;

// One cell of a searched path.
struct PathCell {
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
};

// A step the player asked for that the server has not answered yet.
struct PendingStep {
    // Protocol direction 0..7 (0 north).
    int32_t direction = 0;
    int32_t z = 0;
    // The step moves the player (it was asked facing that way already);
    // otherwise it only turns.
    bool moves = false;
};

// The player's walking (world/walking.h) and the path search and walk
// (world/path_search.h, world/path_walk.h), as the world view, the drag
// picture and the speech line's navigation keys reach them.
class PlayerWalking {
public:
    virtual ~PlayerWalking() = default;
    // Stops following, then asks for one step when walking is idle; run -1
    // runs or walks by the pointer's distance from the centre.
    virtual void walkByPointer(int32_t screenDirection, int32_t run) = 0;
    // A navigation key: `keyFlags` bit 0x40000000 marks a key repeat, which
    // steps only when walking is idle; the control key runs.
    virtual void walkByKey(int32_t screenDirection, uint32_t keyFlags, bool controlHeld) = 0;
    // Steps asked for and not answered yet, oldest first.
    virtual std::vector<PendingStep> pendingSteps() = 0;
    // The server's position is awaited before any further step.
    virtual bool isAwaitingResync() = 0;
    // A new step would be taken now: not awaiting the server and every step
    // asked for has been shown.
    virtual bool isWalkIdle() = 0;
    // Searches a path from `start` to `goal` (at most `limit` cells; the goal
    // counts as reached within `near` cells) and walks it. False when none
    // was found; a walk in progress has stopped then too.
    virtual bool walkPathTo(const PathCell& start, const PathCell& goal, int32_t limit, int32_t near) = 0;
};

class NoPlayerWalking final : public PlayerWalking {
public:
    void walkByPointer(int32_t, int32_t) override { }
    void walkByKey(int32_t, uint32_t, bool) override { }
    std::vector<PendingStep> pendingSteps() override { return {}; }
    bool isAwaitingResync() override { return false; }
    bool isWalkIdle() override { return true; }
    bool walkPathTo(const PathCell&, const PathCell&, int32_t, int32_t) override { return false; }
};

// What a yes/no question answers.
enum class QuestionKind : uint8_t {
    // Target the remembered object (yes) or cancel the target (no).
    HarmfulTarget,
    // Attack the remembered mobile (yes) or only close (no).
    Attack,
    // Log out (yes) or stay (no).
    Logout,
};

// The yes/no question box.
class YesNoQuestions {
public:
    virtual ~YesNoQuestions() = default;
    virtual void ask(QuestionKind kind, std::string_view text, uint32_t serial) = 0;
};

class NoYesNoQuestions final : public YesNoQuestions {
public:
    void ask(QuestionKind, std::string_view, uint32_t) override { }
};

// The skill window: the next full skill list opens it.
class SkillWindow {
public:
    virtual ~SkillWindow() = default;
    virtual void setSkillGumpRequested(bool requested) = 0;
};

class NoSkillWindow final : public SkillWindow {
public:
    void setSkillGumpRequested(bool) override { }
};

// The skill icons: a usable skill dragged out of the skill window becomes an
// icon centred on the screen point (x, y), holding the pointer capture.
class SkillIcons {
public:
    virtual ~SkillIcons() = default;
    virtual void createSkillIcon(int32_t skill, int32_t x, int32_t y) = 0;
};

class NoSkillIcons final : public SkillIcons {
public:
    void createSkillIcon(int32_t, int32_t, int32_t) override { }
};

// Where the game area lies inside the client area (the main window keeps
// it); moving it redraws the whole screen.
class GameViewPlacement {
public:
    virtual ~GameViewPlacement() = default;
    virtual void setGameViewOffset(int32_t x, int32_t y) = 0;
};

class NoGameViewPlacement final : public GameViewPlacement {
public:
    void setGameViewOffset(int32_t, int32_t) override { }
};

// The spell code: the party bars' quick spells cast a spell by its number.
class SpellCasting {
public:
    virtual ~SpellCasting() = default;
    virtual void castSpell(int32_t spell) = 0;
};

class NoSpellCasting final : public SpellCasting {
public:
    void castSpell(int32_t) override { }
};

// The conference chat window: the menubar's chat button raises it, or asks
// the server to open chat when it is not open.
class ConferenceChat {
public:
    virtual ~ConferenceChat() = default;
    virtual void openOrRaiseChat() = 0;
};

class NoConferenceChat final : public ConferenceChat {
public:
    void openOrRaiseChat() override { }
};

// The context-help window: the menubar's "< ? >" button raises it, or opens
// it on the current help page.
class ContextHelpWindow {
public:
    virtual ~ContextHelpWindow() = default;
    virtual void openOrRaiseContextHelp() = 0;
};

class NoContextHelpWindow final : public ContextHelpWindow {
public:
    void openOrRaiseContextHelp() override { }
};

// The resize outline of windows with a grip: it follows the pointer within
// the window's limits and resizes the window on release.
class WindowResizing {
public:
    virtual ~WindowResizing() = default;
    virtual void startResize(CGump* window) = 0;
};

class NoWindowResizing final : public WindowResizing {
public:
    void startResize(CGump*) override { }
};

// The resize outline a window's grip opens: it follows the pointer within
// the limits and calls the target's resize on release.
class ResizeFrames {
public:
    virtual ~ResizeFrames() = default;
    virtual void openResizeFrame(CGump* target, int32_t minWidth, int32_t minHeight, int32_t maxWidth,
        int32_t maxHeight)
        = 0;
};

class NoResizeFrames final : public ResizeFrames {
public:
    void openResizeFrame(CGump*, int32_t, int32_t, int32_t, int32_t) override { }
};

// The real one: the resize outline of windows/resize_gump.h.
ResizeFrames& resizeOutlineFrames();

// The tips window the server opens (0xA6) with its lines, at (x, y), then
// docked outside the game area when asked.
class TipsWindows {
public:
    virtual ~TipsWindows() = default;
    virtual void openTips(const std::vector<std::string>& lines, int32_t x, int32_t y, bool dockOutside) = 0;
};

class NoTipsWindows final : public TipsWindows {
public:
    void openTips(const std::vector<std::string>&, int32_t, int32_t, bool) override { }
};

template <> struct ServiceFallback<PlayerWalking> { using Type = NoPlayerWalking; };
template <> struct ServiceFallback<TipsWindows> { using Type = NoTipsWindows; };
template <> struct ServiceFallback<YesNoQuestions> { using Type = NoYesNoQuestions; };
template <> struct ServiceFallback<SkillWindow> { using Type = NoSkillWindow; };
template <> struct ServiceFallback<SkillIcons> { using Type = NoSkillIcons; };
template <> struct ServiceFallback<GameViewPlacement> { using Type = NoGameViewPlacement; };
template <> struct ServiceFallback<SpellCasting> { using Type = NoSpellCasting; };
template <> struct ServiceFallback<ConferenceChat> { using Type = NoConferenceChat; };
template <> struct ServiceFallback<ContextHelpWindow> { using Type = NoContextHelpWindow; };
template <> struct ServiceFallback<WindowResizing> { using Type = NoWindowResizing; };
template <> struct ServiceFallback<ResizeFrames> { using Type = NoResizeFrames; };
