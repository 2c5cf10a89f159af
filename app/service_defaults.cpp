#include "app/service_defaults.h"

#include "data/client_services.h"

void installServiceDefaults()
{
    // One line per service that has no real form in this program, grouped by
    // the layer that declares the interface. Every other service is
    // installed where its family is wired: the window factory, the desktop
    // file's windows, the container, object and world event views by the
    // game windows' chains (app/game_windows_wiring.cpp,
    // windows/*_services.cpp), the window settings by app/settings_wiring.cpp,
    // the property lists' pointer and strength by the desktop
    // (app/gump_desktop.cpp) and their revisions by
    // app/gump_controls_wiring.cpp, the graphical effects by
    // app/mobile_wiring.cpp.

    // (The internet game rooms' accounting library has no form on this
    // platform: platform/accounting_service.cpp answers that it is not
    // there.)

    // data/client_services.h: clearing the weapon abilities' highlight list
    // on a war-mode request. No window of this program keeps such a list (the
    // ability book and icons show the abilities themselves), so there is
    // nothing to clear; the game windows' services show the waiting box, the
    // war mode, the placement preview and the reloads, and the system text's
    // journal step the system messages.
    static NoWindowNotices windowNoticesDefault;
    installWindowNotices(&windowNoticesDefault);
}
