#pragma once
// The messenger as the layers below reach it: the network pump's poll, the
// return to the login screen and the account number the login road learns
// (MessengerLink), the messenger links of HTML views, the desktop layout's
// web page and "Messages" records and the stores the layout's writing drops,
// the general information packet's help mail and help control, the help
// links of HTML views, the "Messages" window the
// macros open and the question box other windows put over themselves. Each service the
// messenger takes only in part passes the rest on to the one installed
// before it. Installed at start-up for the program's run (tests: for the
// life of one object); main thread only.

#include <memory>

class MessengerServices {
public:
    MessengerServices();
    ~MessengerServices();
    MessengerServices(const MessengerServices&) = delete;
    MessengerServices& operator=(const MessengerServices&) = delete;

private:
    struct Objects;
    std::unique_ptr<Objects> m_objects;
};

// The return to the login screen: the connection is made anew, the stores
// empty and the account number is unknown again.
void restartMessenger();
