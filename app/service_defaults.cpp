#include "app/service_defaults.h"

#include "app/gump_desktop.h"
#include "app/lifecycle_services.h"
#include "data/client_services.h"
#include "data/settings_services.h"
#include "frontend/front_end_shell.h"
#include "gump/desktop_services.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "gump/property_cache.h"
#include "messenger/messenger_services.h"
#include "protocol/property_revisions.h"
#include "protocol/protocol_services.h"
#include "protocol/world_packet_windows.h"
#include "text/html_document.h"
#include "windows/damage_and_name_windows.h"
#include "windows/speech_services.h"
#include "windows/window_services.h"
#include "world/map_view.h"
#include "world/mobile_services.h"
#include "world/walking.h"
#include "world/world_services.h"

void installServiceDefaults()
{
    // One line per service still waiting for its window or service, grouped
    // by the layer that declares the interface.

    // world/: the windows that show world objects (game windows): the
    // container windows' parts of the spellbook and shop windows, and the
    // status bars, mahjong table and trade window of the object views (the
    // game windows' and the reading windows' wiring pass these on)...
    installWorldService(&doNothingWorldService<ContainerViews>());
    installWorldService(&doNothingWorldService<ObjectViews>());
    // (The highlight sources of the mobile drawing are the session's,
    // app/mobile_wiring.cpp, the GM tools' customer among them; the
    // effects fixed on mobiles are the missile gumps',
    // app/walking_effects_wiring.cpp.)
    // ...and the radar window. (The house designer the drawing and the step
    // test ask is housing's, installed by housing/house_design_services.cpp.)
    installWorldService(&doNothingWorldService<RadarView>());
    // (The bank box that closes on the next step is the game windows'.)
    // data/settings_services.h
    static NoWindowSettings windowSettingsDefault; // tooltips, party, edge windows (the help pop-ups'
                                                    // values are theirs, app/settings_wiring.cpp; the game
                                                    // windows' wiring passes the item-property mode on)
    installWindowSettings(&windowSettingsDefault);

    // data/client_services.h (the game state is the world's, app/world_wiring.cpp; of it only
    // clearing the world view's highlighted object waits for the world view)
    static NoWindowNotices windowNoticesDefault; // waiting box, ability icons, status window and macros
                                                 // (the game windows' services show the paperdoll's war
                                                 // button and clear the placement preview, the system
                                                 // text's journal step the system messages)
    installWindowNotices(&windowNoticesDefault);

    // gump/: what the gump framework asks of windows and subsystems to come.
    installServiceDefault<WorldEffects>(); // the graphical effects stepped per frame
    installServiceDefault<PropertyListWindows>(); // the player's strength, as property
                                                  // lists arrive (the shop and bill rows are
                                                  // windows/trade_window_services.cpp's; the game windows'
                                                  // wiring shows the item-property window's; the mahjong
                                                  // board's seat strips are mahjong/mahjong_board_gump.cpp's)
    installServiceDefault<FactoryWindows>(); // the windows opened by kind: options, radar (the
                                              // game windows' wiring makes the journal, paperdolls,
                                              // containers, status gumps, shops and amount choosers)
    installServiceDefault<DesktopWindows>(); // the windows the desktop file restores beyond the factory's:
                                             // icons, skill names (the messenger's, chat and GM chat included:
                                             // messenger/messenger_links.cpp; the game windows' wiring keeps
                                             // the item-property window's place)

    // app/: what the pointer asks of the world and of popups to come.
    installServiceDefault<PointerWorld>(); // the highlighted window (the game windows' wiring adds the
                                            // world under the pointer, the help-text popup and the
                                            // context menu)
    // app/lifecycle_services.h: what start-up, the tick and shutdown call in subsystems to come.

    // windows/window_services.h: what the game windows ask of parts to come. (Walking and the path
    // search are the world's, installed by app/walking_effects_wiring.cpp; the yes/no questions the
    // front end's box, app/front_end_wiring.cpp; the game area's placement the main window's,
    // app/game_windows_wiring.cpp.)
    // (The resize outline of the bulletin message window's grip is the game windows', app/game_windows_wiring.cpp.)
    // (The combat ability book opened by kind and the desktop file's fighting style window are the spell
    // windows', windows/spell_window_services.cpp.)
    // (What the macros reach in windows is app/macro_wiring.cpp's; the spell names they read and write are the
    // spell table's, app/game_windows_wiring.cpp.)

    // protocol/: what the session and login packets reach above them.
    // The world entry's steps: app/desktop_wiring.cpp installs the desktop file's, app/game_windows_wiring.cpp
    // the macros', the world view's, the speech line's, the main window's and the item-property window's.
    installPropertyListRevisions(propertyCacheRevisions()); // the real property-list cache (not a default)
    // protocol/world_packet_windows.h: what the world packets show in windows still to come.
    // Of these two the name plates' names and the damage numbers are real here; the game windows'
    // wiring puts the status bars, target bars, race change and equipment popup in front
    // (windows/status_window_services.h), the shop's gold and the context menu
    // (windows/trade_window_services.h); the rest of each stays its base's do-nothing form.
    installService<StatusWindows>(&namePlateNameWindows()); // party names, paladin books, the skill
                                                            // window's request flag
    installService<GeneralInfoWindows>(&damageNumberWindows()); // mail, party, help, weapon ability
    installServiceDefault<WorldEventWindows>(); // the death screen's windows (the game windows close the bank
                                                // box and open spellbooks, the reading windows open the course map)

    // The network wiring installs the main window's ClientShell (its shard
    // menu is the client's own pop-up at the pointer) and the shard sessions' world over
    // the world objects (protocol/shard_world_state.h); the land tiles whose
    // tile data the edit server replaces wait for the map.

    // windows/speech_services.h: what the speech line, incoming speech and the journal reach. (The text
    // windows are the game windows' overhead texts and typed line, windows/game_window_services.cpp; the
    // party table is the status windows', windows/status_window_services.cpp.)

    // (The resize handle of the messenger and chat windows' grips is app/messenger_wiring.cpp's.)
}
