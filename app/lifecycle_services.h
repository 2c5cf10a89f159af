#pragma once
// What start-up, the game tick and shutdown call in subsystems that come
// into the program through their own wiring: the spell table, the macros and
// the weapon abilities of the game windows, the help system and the
// messenger's connection object. The program calls each at its fixed place
// in start-up, the tick and shutdown; each subsystem installs its real
// service before start-up calls it (the start-up test checks that none is
// left to its do-nothing form). Main thread only.

#include "core/installed_service.h"

// The spell table behind the spellbooks and the spell icons, built once at
// start-up.
class SpellTables {
public:
    virtual ~SpellTables() = default;
    virtual void initSpellTables() { }
};

// The macro list: read with the start-up settings and freed at exit; every
// frame the running macro takes its step and the delay countdown of the
// macro memory (the Arm/Disarm pause) is lowered by one while above 0.
class MacroRunner {
public:
    virtual ~MacroRunner() = default;
    virtual void loadMacros() { }
    virtual void freeMacros() { }
    virtual void runMacroStep() { }
    virtual void lowerMacroDelay() { }
};

// The weapon abilities: their start state, and every frame the ability
// windows follow the weapon in the player's hands.
class WeaponAbilities {
public:
    virtual ~WeaponAbilities() = default;
    virtual void initWeaponAbilities() { }
    virtual void updateWeaponAbilities() { }
};

// The messenger's connection object: made anew at start-up (an old one is
// deleted first) and deleted at shutdown.
class MessengerSocket {
public:
    virtual ~MessengerSocket() = default;
    virtual void replaceMessengerSocket() { }
    virtual void deleteMessengerSocket() { }
};

template <>
struct ServiceFallback<SpellTables> {
    using Type = SpellTables;
};
template <>
struct ServiceFallback<MacroRunner> {
    using Type = MacroRunner;
};
template <>
struct ServiceFallback<WeaponAbilities> {
    using Type = WeaponAbilities;
};
template <>
struct ServiceFallback<MessengerSocket> {
    using Type = MessengerSocket;
};
