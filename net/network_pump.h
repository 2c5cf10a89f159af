#pragma once
// The network pump the main loop runs once per pass, and the keep-alive the
// game tick runs once per frame. The pump deletes the connections scheduled
// for deletion, closes what the shard menu asked to close, runs deferred
// reconnects, and moves bytes on every session's connection that is ready.
// Main thread only.

#include <cstdint>
#include <span>

// One pump pass. Waits at most `maxWaitMs` for a connection to become ready,
// or one of `alsoWakeOn` (descriptors of the caller's, such as the window's)
// to become readable. Returns true when it waited on connections; false when
// there was nothing to wait on, so the caller waits for window input instead.
bool pollConnections(uint32_t maxWaitMs, std::span<const int32_t> alsoWakeOn = {});

// Sends the keep-alive 0x73 on the current connection once the player is in
// the world, or on a game-server connection, after 61 seconds or more.
void sendKeepAlive();
inline constexpr uint32_t kKeepAliveSeconds = 60;

// Set once the player is in the world; cleared when the login road picks a
// login server.
bool inWorldFlag();
void setInWorldFlag(bool on);

// Set when the program is about to quit: from then on a closed connection
// reports no loss.
bool appQuitting();
void setAppQuitting(bool on);
