#pragma once
// The messenger's "Messages" window as the game windows' actions reach it:
// the macro actions Open, Close and Minimize with the argument "Mail" and the
// window search by name. The messenger installs the real form at start-up
// (app/messenger_wiring.cpp); the fallback opens nothing. Main thread only.

#include "core/installed_service.h"

class CGump;

class MailWindows {
public:
    virtual ~MailWindows() = default;
    // Asks for the mail list, then raises the window (restoring it when
    // minimised) or opens it.
    virtual void showMessageList() { }
    // The open "Messages" window, or null.
    virtual CGump* messageListWindow() { return nullptr; }
};

template <>
struct ServiceFallback<MailWindows> {
    using Type = MailWindows;
};
