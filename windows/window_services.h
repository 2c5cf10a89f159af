#pragma once
// What the world view, the overhead texts, the drag picture, the container
// windows and the paperdoll ask of parts of the program built elsewhere: the
// player's walking and the path search, the party, the journal and the
// translation service, the yes/no question box, the desktop file's pending
// positions and the skill window. Each is a small interface reached through
// service<S>() (core/installed_service.h) with a do-nothing form that answers
// "nothing there"; app/service_defaults.cpp installs the do-nothing forms
// until the real ones exist. Directions are screen directions 0..7 (0 up the
// screen) unless named otherwise. Main thread only.

#include "core/installed_service.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// The player's walking: step requests, the queue of unanswered steps, and the
// path search over the cells round the player.
class PlayerWalking {
public:
    virtual ~PlayerWalking() = default;
    // Stops following, then asks for one step when the queue is idle;
    // run -1 runs or walks by the pointer's distance from the centre.
    virtual void manualWalkStep(int32_t screenDirection, int32_t run) = 0;
    virtual void requestStep(int32_t screenDirection, int32_t run, bool fromPath) = 0;
    // Steps asked for and not answered yet, oldest first.
    virtual std::vector<PendingStep> pendingSteps() = 0;
    // The server's position is awaited before any further step.
    virtual bool isAwaitingResync() = 0;
    // Every step asked for has been shown.
    virtual bool allStepsPerformed() = 0;
    // The cells from `start` to the goal (both included), searching at most
    // `limit` cells; the goal counts as reached within `near` cells. False
    // when no path was found.
    virtual bool findPath(const PathCell& start, const PathCell& goal, int32_t limit, int32_t near,
        std::vector<PathCell>& path)
        = 0;
};

class NoPlayerWalking final : public PlayerWalking {
public:
    void manualWalkStep(int32_t, int32_t) override { }
    void requestStep(int32_t, int32_t, bool) override { }
    std::vector<PendingStep> pendingSteps() override { return {}; }
    bool isAwaitingResync() override { return false; }
    bool allStepsPerformed() override { return true; }
    bool findPath(const PathCell&, const PathCell&, int32_t, int32_t, std::vector<PathCell>&) override { return false; }
};

// The party: who is in it, and its window.
class PartyMembership {
public:
    virtual ~PartyMembership() = default;
    virtual bool isPartyMember(uint32_t serial) = 0;
    virtual void openPartyWindow() = 0;
};

class NoPartyMembership final : public PartyMembership {
public:
    bool isPartyMember(uint32_t) override { return false; }
    void openPartyWindow() override { }
};

// The journal every overhead text is also written to, and the translation of
// a clicked text.
class TextJournal {
public:
    virtual ~TextJournal() = default;
    virtual void addJournalLine(std::string_view text, uint16_t hue) = 0;
    virtual void addJournalLineUnicode(std::u16string_view text, uint16_t hue) = 0;
    // Asks for `text` (in `languageCode`) to be translated for the object
    // `serial`; false when translation is off or refuses the language.
    virtual bool requestTranslation(std::string_view languageCode, std::u16string_view text, uint32_t serial) = 0;
};

class NoTextJournal final : public TextJournal {
public:
    void addJournalLine(std::string_view, uint16_t) override { }
    void addJournalLineUnicode(std::u16string_view, uint16_t) override { }
    bool requestTranslation(std::string_view, std::u16string_view, uint32_t) override { return false; }
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

// Positions the desktop file keeps for windows that open after it was read.
class DesktopPositions {
public:
    virtual ~DesktopPositions() = default;
    // Takes the first pending entry of `recordType`; false when none waits.
    virtual bool takePendingPosition(int32_t recordType, int32_t& x, int32_t& y, bool& minimised) = 0;
    // Writes the desktop file now (before a log-out question).
    virtual void writeDesktop() = 0;
};

class NoDesktopPositions final : public DesktopPositions {
public:
    bool takePendingPosition(int32_t, int32_t&, int32_t&, bool&) override { return false; }
    void writeDesktop() override { }
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

template <> struct ServiceFallback<PlayerWalking> { using Type = NoPlayerWalking; };
template <> struct ServiceFallback<PartyMembership> { using Type = NoPartyMembership; };
template <> struct ServiceFallback<TextJournal> { using Type = NoTextJournal; };
template <> struct ServiceFallback<YesNoQuestions> { using Type = NoYesNoQuestions; };
template <> struct ServiceFallback<DesktopPositions> { using Type = NoDesktopPositions; };
template <> struct ServiceFallback<SkillWindow> { using Type = NoSkillWindow; };
template <> struct ServiceFallback<GameViewPlacement> { using Type = NoGameViewPlacement; };
