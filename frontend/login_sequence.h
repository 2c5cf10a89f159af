#pragma once
// The steps that carry a player from the login window to the world, as the
// front end runs them: the account login (connecting first when no login
// connection is open), the play and create requests with their client
// information block, the way back from the character selection to the shard
// list, and the disconnect that is flushed before a connection is closed.
// The network half (choosing and connecting to a login server, the account
// login packet, the reconnect after the relay) is protocol/login_road.h.
// Every step shows its progress in the current waiting box, which the next
// step replaces. Main thread only.

#include "net/client_packets.h"

#include <array>
#include <cstdint>
#include <string>

class AcctLoginGump;
class CGump;
struct NewCharacterRecord;

// The login arrow and Enter in the login window.
void logIn(AcctLoginGump& window);
// "Verifying Account... " and the account login on the current connection.
void beginAccountLogin();

// The 30-byte block of the play and create requests: the map-file mask (low
// byte first) at 5, the settings sync flag at 9, the login count after its
// increment (big-endian) at 10 and the profession at 14. Each call counts one
// more login and stores the count (ClientLogin) before the request goes.
std::array<uint8_t, kClientInfoSize> nextClientInfoBlock(uint8_t syncFlag, uint8_t profession);

// The play request for `name` in the server's slot `slot`.
void sendPlayCharacter(const std::string& name, int32_t slot);
// The create request from the creation record; `startLocationWindow` is
// hidden behind the waiting box.
void sendCreateCharacter(const NewCharacterRecord& record, CGump* startLocationWindow);
// The one record of the character being created.
NewCharacterRecord& newCharacterRecord();

// The back button of the character selection: connect to a login server
// again and log in, so that the road starts again at the shard list.
void reconnectFromCharacterSelection();

// Sends the disconnect packet and flushes everything queued on the current
// connection with the socket blocking, so that nothing is lost when the
// connection is closed right after.
void sendDisconnectAndFlush();

// What the remember rule writes: with `remember` the scrambled password and
// "yes" (the empty text in internet-game-room mode), else "no" and nothing.
void storeRememberedPassword(bool remember, const std::string& password);
