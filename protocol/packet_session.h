#pragma once
// The session and connection of the packet being handled. The dispatcher
// makes the packet's session current before it calls a handler; whatever a
// handler answers, refuses or closes, it does on that session's own
// connection, never on the connection the player sees by accident: a shard
// logging in behind the shown one can end its own login and no other.
// Main thread only.

#include <string>

class GameConnection;
class PacketBuffer;

// The connection the packet came on: the current session's, or the current
// game connection for a packet fed to the dispatcher outside a session.
GameConnection* packetConnection();
// Whether the packet came from the shard the player sees (or from no
// session at all).
bool fromShownShard();
// Queues a built packet on the packet's connection.
bool queueOnSessionConnection(const PacketBuffer& packet);
// Closes the packet's connection; the next pump pass finds it closed and
// ends its session.
void closePacketConnection();
// A refusal of the login of a shard behind the shown one: the player reads
// it as a system message naming that shard, and that shard's connection
// closes; the shown shard's road, flags and screens are left as they are.
// False (nothing done) when the packet came from the shown shard.
bool endBackgroundLogin(const std::u16string& reason);
// Whether a packet of the login road (a shard list, a character list) is
// taken: always before the world is entered; once it is, only from a
// further shard logging in behind the shown one, never over the world the
// player sees.
bool loginRoadPacketAllowed();
