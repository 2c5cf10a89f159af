#pragma once
// The running program starts with the splash screen, which is modal until the
// main menu follows it. Scenarios about other parts of the desktop take it
// away first, before it hands over to the intro film or the main menu.

#include "gump/gump_manager.h"

namespace app_test {

inline void closeStartupScreens() { gumpCloseAllClosable(); }

} // namespace app_test
