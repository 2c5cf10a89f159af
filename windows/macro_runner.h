#pragma once
// Running the player's macros: a key press that matches a macro starts it;
// every frame of the game tick the runner performs one action, holds on Delay
// and WaitForTarg, and retries LastTarget until a target cursor is up. Also
// the memory of what the actions reuse (the weapon put away per hand, the
// mobile TargetNext chose, the Arm/Disarm pause). The windows and abilities
// other parts of the program build are reached through MacroWindows. Main
// thread only.

#include "windows/macro_files.h"

#include <cstdint>

class CGump;

namespace macro {

// What the actions ask of windows and subsystems the program adds through
// its own wiring; each does nothing until one is installed.
class MacroWindows {
public:
    virtual ~MacroWindows() = default;
    virtual void pasteClipboard() { }
    // The weapon abilities: toggles the current weapon's primary or secondary.
    virtual void toggleWeaponAbility(bool /*primary*/) { }
    // The spell code: a cast request; the last spell cast (-1 none); a
    // spellbook of a book kind opened, or its open window.
    virtual void castSpell(int32_t /*spell*/) { }
    virtual int32_t lastSpell() { return -1; }
    virtual void openSpellbook(int32_t /*bookKind*/) { }
    virtual CGump* findSpellbook(int32_t /*bookKind*/) { return nullptr; }
    // The mail's message list window: shown (asking for its list), or found.
    virtual void showMessageList() { }
    virtual CGump* findMessageList() { return nullptr; }
    // The party window and the party chat window.
    virtual void showPartyWindow() { }
    virtual CGump* findPartyWindow() { return nullptr; }
    virtual void showPartyChat() { }
    virtual CGump* findPartyChat() { return nullptr; }
};

// The last skill used, for LastSkill (-1 none); the skill window and the
// skill icons set it.
int32_t& lastSkillUsed();

struct MacroRunState {
    bool running = false;
    int32_t macro = 0;
    // The list's generation when the macro started: a reload ends it.
    uint32_t generation = 0;
    int32_t step = 0;
    bool delayActive = false;
    int32_t delayLength = 0;
    int32_t delayCounter = 0;
    int32_t waitForTarget = 0;
    // Failed attempts; more than ten stop the macro. Success and new starts
    // leave it as it is, so that it counts over the whole run of the program.
    int32_t retries = 0;
};
MacroRunState& macroRunState();

struct MacroMemory {
    // The weapon put away per hand (index 1 left, 2 right; 0 none).
    uint32_t rememberedWeapon[3] = { 0, 0, 0 };
    uint32_t nextTarget = 0;
    // Frames left before Arm/Disarm acts again.
    int32_t armCooldown = 0;
};
MacroMemory& macroMemory();

inline constexpr int32_t kArmCooldownFrames = 22;
inline constexpr int32_t kMaxRetries = 10;
inline constexpr int32_t kMaxWaitForTargetFrames = 100;

// The first macro of the list bound to the key and the three modifiers is
// started; false when none is.
bool startMacroForKey(uint16_t virtualKey, bool control, bool alt, bool shift);
// While a macro runs, only its Delay and WaitForTarg are cancelled; else
// macro n (0-based) starts at its first action.
void startMacro(int32_t n);
// One frame of the game tick.
void runMacroStep();
// The Arm/Disarm pause, lowered once per frame.
void lowerMacroDelay();
// Performs one action; false only when LastTarget finds no target cursor.
bool executeMacroAction(const MacroRecord& macro, int32_t step);

void openGumpByName(int32_t window);
CGump* findGumpByName(int32_t window);
void requestAllNames();
void toggleArmDisarm(int32_t hand);
void targetNext();

} // namespace macro

template <>
struct ServiceFallback<macro::MacroWindows> {
    using Type = macro::MacroWindows;
};
