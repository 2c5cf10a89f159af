#pragma once
// The network steps of the login road: choosing and connecting to a login
// server, the account login, and the reconnect to the game server that the
// relay packet asks for. The screens that start these steps and show their
// progress belong to the front end (LoginScreens). Main thread only.

#include <cstdint>

class GameConnection;

// Connects to a login server, starting at a random entry of the list and
// trying each once (the first twice). On success the connection gets a new
// session that becomes the current one. True when connected (or already).
bool connectLoginServer();
// Chooses the address and port of the current login-server entry (or of the
// edit server); false when there is none to connect to.
bool loginServerAddress(bool useBackupList);
// The address and port chosen last.
uint32_t chosenLoginAddress();
uint16_t chosenLoginPort();

// Queues the account login (0x80, or 0xCF in internet-game-room mode) with
// the login session's account, password and next-login key.
bool sendAccountLogin(GameConnection& connection);

// The reconnect to the game server after a relay: run by the pump on the
// pass after the relay marked the session.
void deferredGameConnect(uint32_t address, uint16_t port);

// The message texts of the road.
inline constexpr const char16_t* kAttachFailedText = u"The client could not attach to the game server. It must have "
                                                     u"been taken down, please wait a few minutes and try again.";
inline constexpr const char16_t* kConnectionLostText = u"Connection lost";
inline constexpr int32_t kRelayRefusedCliloc = 3000015;
inline constexpr int32_t kGameConnectAttempts = 3;
