#pragma once
// The packet dispatcher: every framed server packet of a connection comes
// here. It makes the packet's shard session the current one, keeps a
// background shard to the few kinds it may deliver, counts the packet, acts
// on the pause packet itself and calls the handler that a subsystem
// registered for the id. Handlers read the packet in place with the checked
// get-primitives; the pointer is valid only during the call.
//
// Main thread only. Handlers are registered at start-up (tests register and
// clear their own).

#include <cstdint>

class GameConnection;

using PacketHandler = void (*)(const uint8_t* packet);

// What the dispatcher does with an id.
enum class PacketRoute : uint8_t {
    Ignored, // no handler exists for this id: dropped silently
    Pause, // 0x33, handled by the dispatcher itself
    Handler, // a handler exists for it (registered, or still to come)
};

// The first and last id the dispatcher looks at; others are dropped.
inline constexpr uint8_t kFirstDispatchedId = 0x0B;
inline constexpr uint8_t kLastDispatchedId = 0xDD;
inline constexpr uint8_t kPausePacketId = 0x33;

PacketRoute packetRoute(uint8_t id);
// The ids a logged-in background shard may deliver.
bool isSecondaryWhitelisted(uint8_t id);

// Registers `handler` for an id routed to a handler, replacing any earlier
// one; false (and nothing registered) for any other id.
bool registerPacketHandler(uint8_t id, PacketHandler handler);
PacketHandler registeredPacketHandler(uint8_t id);
void clearPacketHandlers();

// Packets of ids whose handler is not registered yet are dropped, counted
// here, and reported once per id.
uint32_t unregisteredPacketCount(uint8_t id);
void clearUnregisteredPacketCounts();

// The dispatcher's whole step for one packet of `connection`.
void dispatchGamePacket(GameConnection& connection, const uint8_t* packet);
