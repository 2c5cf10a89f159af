#include "protocol/login_refusal_tables.h"

#include <array>

namespace {

constexpr std::array<LoginDenialRow, 10> kDenials = { {
    { 0, 3000033, true },
    { 1, 3000034, false },
    { 2, 3000035, false },
    { 3, 3000036, false },
    { 5, 1043324, false },
    { 6, 1043325, false },
    { 7, 1043326, false },
    { 9, 1062849, false },
    { kDenialRebuildsMenu, 0, false },
    // Every other reason.
    { 0xFF, 3000037, true },
} };

constexpr std::array<const char16_t*, 6> kDeleteRefusals = {
    u"That character password is invalid.",
    u"That character does not exist.",
    u"That character is being played right now.",
    u"That character is not old enough to delete. The character must be 7 days old before it can be deleted.",
    u"That character is currently queued for backup and cannot be deleted.",
    u"Couldn't carry out your request.",
};

constexpr std::array<LoginErrorRow, 8> kLoginErrors = { {
    { 0, LoginErrorAction::NoCharacter, 3000007, 3000008 },
    { 1, LoginErrorAction::CharacterBlocked, 3000009, 3000009 },
    { 2, LoginErrorAction::Plain, 3000006, 3000006 },
    { 5, LoginErrorAction::Idle, 3000012, 3000012 },
    { 6, LoginErrorAction::Plain, 3000013, 3000013 },
    { 7, LoginErrorAction::Transfer, 3000005, 3000005 },
    { 9, LoginErrorAction::ForcedLogout, 1062848, 1062848 },
    { 10, LoginErrorAction::Timeout, 3000611, 3000611 },
} };

// Reasons 3, 4, 8 and 11 and above.
constexpr LoginErrorRow kOtherLoginError { 0xFF, LoginErrorAction::Plain, 3000014, 3000014 };

} // namespace

const LoginDenialRow& loginDenialRow(uint8_t reason)
{
    for (const LoginDenialRow& row : kDenials) {
        if (row.reason == reason)
            return row;
    }
    return kDenials.back();
}

const char16_t* deleteRefusalText(uint8_t reason)
{
    return reason < kDeleteRefusals.size() - 1 ? kDeleteRefusals[reason] : kDeleteRefusals.back();
}

const LoginErrorRow& loginErrorRow(uint8_t reason)
{
    for (const LoginErrorRow& row : kLoginErrors) {
        if (row.reason == reason)
            return row;
    }
    return kOtherLoginError;
}
