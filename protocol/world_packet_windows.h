#pragma once
// The windows that the world packets open, refresh and close but that are
// built above this layer (status bars and the target bar, the shop, name
// plates, context menus, the help system, the spellbook, the race change,
// the equipment popup, the course map, the house designer, the messenger's
// mail, the party, damage numbers and the death fade). The handlers parse
// every field and hand plain values over; each base class does nothing,
// which is what runs until its window exists (app/service_defaults.cpp lists
// them). Reached through service<S>() of core/installed_service.h.
//
// Main thread only. The installed objects are not owned.

#include "core/installed_service.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CGump;

// The status values of one mobile as packet 0x11 delivers them; the status
// window keeps a copy of the whole record.
struct StatusRecord {
    std::string name; // at most 29 characters
    uint8_t kind = 0;
    uint16_t strength = 0;
    uint16_t dexterity = 0;
    uint16_t intelligence = 0;
    uint16_t hits = 0;
    uint16_t maxHits = 0;
    uint16_t stamina = 0;
    uint16_t maxStamina = 0;
    uint16_t mana = 0;
    uint16_t maxMana = 0;
    uint32_t gold = 0;
    uint16_t valueB = 0;
    uint16_t maxValueB = 0;
    uint16_t valueA = 0;
    uint16_t statCap = 0;
    uint8_t followers = 0;
    uint8_t maxFollowers = 0;
    std::array<uint16_t, 5> extended {};
    uint16_t rangeHigh = 0;
    uint16_t rangeLow = 0;
    uint32_t tithing = 0;
};

// The process-wide record packet 0x11 fills.
StatusRecord& statusRecord();

// Status bars, the target bar, the shop's gold and the name plates.
class StatusWindows {
public:
    virtual ~StatusWindows() = default;
    // Every status window owned by the mobile takes a copy of the record,
    // opens its name entry when `rename` is set and redraws; with the
    // player's record the open shop takes the gold and its bill refreshes.
    virtual void statusRecordArrived(uint32_t /*serial*/, const StatusRecord&, bool /*rename*/, bool /*isPlayer*/) { }
    // Target bars showing the mobile take its hits.
    virtual void targetBarHits(uint32_t /*serial*/, int32_t /*hits*/, int32_t /*maxHits*/) { }
    // Every target bar closes (a status record of an unknown serial).
    virtual void closeTargetBars() { }
    // The target gumps of kinds 1, 2 and 3 close when they show `serial`
    // (the object is being deleted).
    virtual void closeTargetBarsShowing(uint32_t /*serial*/) { }
    // The first status window of the mobile takes its six vital values.
    virtual void vitalValuesChanged(uint32_t /*serial*/, const std::array<int32_t, 6>& /*hitsManaStamina*/) { }
    // Strength, dexterity and intelligence lock states 0..2 of the mobile's status window.
    virtual void statLocksChanged(uint32_t /*serial*/, uint8_t, uint8_t, uint8_t) { }
    // The name plate of the all-names overlay shows the name.
    virtual void showNamePlateName(uint32_t /*serial*/, std::string_view /*name*/) { }
    // The combatant target bar shows the mobile.
    virtual void showCombatant(uint32_t /*serial*/) { }
    // The last-target bar shows the mobile (the player answered a target
    // cursor with it).
    virtual void showLastTarget(uint32_t /*serial*/) { }
    // The paladin spellbooks redraw (the tithing value changed).
    virtual void redrawTithingBooks() { }
    // The party table's row of the member takes the name.
    virtual void partyMemberName(uint32_t /*serial*/, std::string_view /*name*/) { }
    // The skill window's request flag is cleared (a new login).
    virtual void clearSkillWindowRequest() { }
};

// One entry of a context menu.
struct ContextMenuEntry {
    uint16_t tag = 0;
    uint32_t textId = 0; // the localized message number
    uint16_t flags = 0;
    uint16_t hue = 0; // flags & 0x20
};

// The equipment-information popup of servers without property lists.
struct EquipInfo {
    uint32_t serial = 0;
    uint32_t nameText = 0;
    // A crafter entry was given (its name may be empty).
    bool hasCrafter = false;
    std::string crafter;
    bool identified = true;
    // Text number and value of up to ten attributes.
    std::vector<std::pair<uint32_t, uint16_t>> attributes;
};

// The windows of the general information packet's sub-commands.
class GeneralInfoWindows {
public:
    virtual ~GeneralInfoWindows() = default;
    // The messenger's mail sender, kind text "Help Email".
    virtual void composeMail(const std::u16string& /*address*/, const std::u16string& /*name*/,
        const std::u16string& /*subject*/, const std::u16string& /*body*/)
    {
    }
    // The party sub-protocol's payload (after the sub-command word).
    virtual void partyMessage(std::span<const uint8_t>) { }
    virtual void contextMenu(uint32_t /*serial*/, const std::vector<ContextMenuEntry>&) { }
    // Help control: command 1 opens `topic` (force flag), 2 resets the page
    // state, 3 places the window by keypad position, 4 and 5 set flags.
    virtual void helpControl(uint8_t /*command*/, uint32_t /*topic*/, uint8_t /*value*/) { }
    // Bit j of byte i marks spell first + 8 i + j present.
    virtual void spellbookContent(uint32_t /*serial*/, uint16_t /*graphic*/, uint16_t /*firstSpell*/,
        const std::array<uint8_t, 8>& /*bits*/)
    {
    }
    virtual void spellToggle(uint16_t /*spell*/, bool /*highlighted*/) { }
    // The armed weapon ability goes back to none; the book and icons redraw.
    virtual void resetWeaponAbility() { }
    // A rising damage number over the mobile (hue 52 for the player, else 33).
    virtual void showDamage(uint32_t /*serial*/, uint16_t /*damage*/, uint16_t /*hue*/) { }
    // Any open race-change window closes; a new one opens when `open`.
    virtual void raceChange(bool /*open*/, uint8_t /*first*/, uint8_t /*second*/) { }
    // The popup composes and shows itself.
    virtual void showEquipInfo(const EquipInfo&) { }
};

// The house designer's part of the house packets.
class HouseDesignWindows {
public:
    virtual ~HouseDesignWindows() = default;
    // The designed house, or 0 when the player designs none.
    virtual uint32_t designedHouse() { return 0; }
    // A new revision of the designed house: floors refreshed, the pieces
    // above the player hidden, the window redrawn.
    virtual void designRevised() { }
    virtual void addComponent(uint32_t /*house*/, uint16_t /*graphic*/, int32_t, int32_t, int32_t) { }
    virtual void removeComponent(uint32_t /*house*/, uint16_t /*graphic*/, int32_t, int32_t, int32_t) { }
    virtual void beginCustomizing(uint32_t /*house*/) { }
    virtual void endCustomizing(uint32_t /*house*/) { }
};

// What a fight and a death show beyond the world model.
class WorldEventWindows {
public:
    virtual ~WorldEventWindows() = default;
    // The player died: the dragged item's window closes, every window
    // attached to a world object and every overhead text closes, and the
    // world fades out ("You are dead.", then the resurrection choice).
    virtual void playerDied() { }
    // The course map window of a map item.
    virtual void openCourseMap(uint32_t /*serial*/, uint16_t /*art*/, const std::array<uint16_t, 6>& /*area*/) { }
    // The container window of the bank box closes (the player was moved).
    virtual void closeBankBox() { }
    // The spellbook window of the book (redrawn when one is open); the
    // window, or null when none shows.
    virtual CGump* openSpellbook(uint32_t /*serial*/) { return nullptr; }
};

template <> struct ServiceFallback<StatusWindows> {
    using Type = StatusWindows;
};
template <> struct ServiceFallback<GeneralInfoWindows> {
    using Type = GeneralInfoWindows;
};
template <> struct ServiceFallback<HouseDesignWindows> {
    using Type = HouseDesignWindows;
};
template <> struct ServiceFallback<WorldEventWindows> {
    using Type = WorldEventWindows;
};
