#pragma once
// The reason tables of the refusal packets: which message each reason shows
// and what it does besides.

#include <cstdint>

// 0x82: the account login refused.
struct LoginDenialRow {
    uint8_t reason;
    int32_t cliloc; // 0: no message (the main menu is rebuilt at once)
    bool returnToMenu;
};
// The row of a reason; reasons without a row of their own share the last one.
const LoginDenialRow& loginDenialRow(uint8_t reason);
inline constexpr uint8_t kDenialRebuildsMenu = 254;

// 0x85: a character deletion refused.
const char16_t* deleteRefusalText(uint8_t reason);

// 0x53: the game server refused the login.
enum class LoginErrorAction : uint8_t {
    Plain, // the message over the character selection
    NoCharacter, // 0: another message and the way back without a selection
    CharacterBlocked, // 1: the selected character goes
    Idle, // 5: over the main menu, the road ends
    Transfer, // 7: nothing is closed first
    ForcedLogout, // 9: the desktop is written, the road ends
    Timeout, // 10: the road ends
};

struct LoginErrorRow {
    uint8_t reason;
    LoginErrorAction action;
    int32_t cliloc; // with a character selection window
    int32_t clilocWithout; // without one (the main menu is covered instead)
};
const LoginErrorRow& loginErrorRow(uint8_t reason);
