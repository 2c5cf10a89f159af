#pragma once
// What the speech code and the journal ask of windows and subsystems built
// elsewhere: the text windows (the typed line, texts over objects and in the
// system-message area), the party table and the death fade. Walking by key
// goes through PlayerWalking (windows/window_services.h).
// The base class of each interface is its do-nothing form; the program
// installs the real ones at start-up and app/service_defaults.cpp lists the
// do-nothing forms still in place. Main thread only; installed objects are
// owned by the installer.
//
// The journal line of every text shown through TextWindows is written by the
// caller (windows/system_text.h) before the window is made; a text window
// never writes it again.

#include "core/installed_service.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class CGump;
class PacketBuffer;
class StaticObject;

// The windows that show text for a time: the system-message area at the lower
// left of the game area, texts over world objects, and the typed speech line.
class TextWindows {
public:
    virtual ~TextWindows() = default;
    // A byte text (in the ASCII font `font`) in the system-message area.
    virtual void showSystemText(std::string_view, uint16_t /*hue*/, uint16_t /*font*/) { }
    // A UTF-16 text over `owner`, or in the system-message area when it is
    // null. `language` is the text's language code ("enu"); `extra` is the
    // container or paperdoll window that shows the owner, or null.
    virtual void showUnicodeText(
        StaticObject* /*owner*/, std::u16string_view, uint16_t /*hue*/, uint16_t /*font*/, std::string_view, CGump*)
    {
    }
    // The typed line at the bottom of the game area: made on the first call,
    // its text, hue and font replaced by later ones. `unicode` selects the
    // Unicode font; otherwise the text holds bytes (one per unit) in the
    // ASCII font `font`.
    virtual void showSpeechLine(std::u16string_view, uint16_t /*hue*/, uint16_t /*font*/, bool /*unicode*/) { }
};

// The party table: ten slots, slot 0 the leader, the invitation that waits
// for an answer, and the party window.
class PartyState {
public:
    static constexpr int32_t kSlots = 10;
    virtual ~PartyState() = default;
    // 0 for an empty slot.
    virtual uint32_t memberSerial(int32_t /*slot*/) { return 0; }
    virtual std::string memberName(int32_t /*slot*/) { return {}; }
    virtual bool isInvitationPending() { return false; }
    virtual void clearInvitation() { }
    // The leader whose invitation waits, and the player's loot flag: the
    // accept request carries both.
    virtual uint32_t invitingLeader() { return 0; }
    virtual uint8_t lootFlag() { return 0; }
    // The party window (the own paperdoll's party icon opens it).
    virtual void openPartyWindow() { }
    // The party chat (the Open macro opens it beside the party window).
    virtual void openPartyChat() { }
};

// `serial` stands in one of the party's slots (0 never does).
bool isPartyMember(uint32_t serial);

// The fade of the game area after the player's death; no speech is shown
// while it runs.
class DeathFade {
public:
    virtual ~DeathFade() = default;
    virtual bool isRunning() { return false; }
};

template <> struct ServiceFallback<TextWindows> {
    using Type = TextWindows;
};
template <> struct ServiceFallback<PartyState> {
    using Type = PartyState;
};
template <> struct ServiceFallback<DeathFade> {
    using Type = DeathFade;
};

// Where the speech code's packets go: the current game connection, unless a
// test installs a recorder (an empty function restores the connection).
using SpeechPacketSender = std::function<bool(const PacketBuffer&)>;
SpeechPacketSender installSpeechPacketSender(SpeechPacketSender sender);
bool sendSpeechPacket(const PacketBuffer& packet);
