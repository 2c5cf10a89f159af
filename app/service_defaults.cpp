#include "app/service_defaults.h"

#include "app/lifecycle_services.h"
#include "data/client_services.h"
#include "gump/desktop_services.h"
#include "gump/gump_services.h"
#include "protocol/world_packet_windows.h"
#include "world/world_services.h"

void installServiceDefaults()
{
    // One line per service still waiting for its window or service, grouped
    // by the layer that declares the interface. Every other service is
    // installed where its family is wired: the container, object and world
    // event views by the game windows' chains (app/game_windows_wiring.cpp,
    // windows/*_services.cpp), the window settings by app/settings_wiring.cpp,
    // the property lists' pointer and strength by the desktop
    // (app/gump_desktop.cpp) and their revisions by
    // app/gump_controls_wiring.cpp, the graphical effects by
    // app/mobile_wiring.cpp.

    // (The internet game rooms' accounting library has no form on this
    // platform: platform/accounting_service.cpp answers that it is not
    // there.)

    // data/client_services.h: the ability icons (the game windows' services
    // show the waiting box, the war mode, the placement preview and the
    // reloads; the system text's journal step the system messages).
    static NoWindowNotices windowNoticesDefault;
    installWindowNotices(&windowNoticesDefault);

    // gump/: the windows opened by kind: the ability book (the game windows'
    // wiring makes the journal, paperdolls, containers, status gumps, shops,
    // amount choosers, the options window and the radar)...
    installServiceDefault<FactoryWindows>();
    // ...and the fighting style the desktop file restores (the icons, the
    // skill names, the macros and the messenger's windows are their
    // families').
    installServiceDefault<DesktopWindows>();

    // protocol/world_packet_windows.h: the death screen's windows (the game
    // windows close the bank box and open spellbooks, the reading windows
    // open the course map).
    installServiceDefault<WorldEventWindows>();
}
