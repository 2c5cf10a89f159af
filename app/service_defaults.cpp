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
#include "mahjong/mahjong_packets.h"
#include "messenger/messenger_services.h"
#include "protocol/property_revisions.h"
#include "protocol/protocol_services.h"
#include "protocol/world_packet_windows.h"
#include "text/html_document.h"
#include "windows/damage_and_name_windows.h"
#include "windows/speech_services.h"
#include "windows/window_services.h"
#include "world/house_designer_view.h"
#include "world/map_view.h"
#include "world/mobile_services.h"
#include "world/walking.h"
#include "world/world_services.h"

void installServiceDefaults()
{
    // One line per service still waiting for its window or service, grouped
    // by the layer that declares the interface.

    // world/: the windows that show world objects (game windows): the
    // container windows' parts of the spellbook, bulletin board and shop
    // windows, the map windows, and the status bars, bulletin lines, mahjong
    // table and trade window of the object views (the game windows' wiring
    // passes these on)...
    installWorldService(&doNothingWorldService<ContainerViews>());
    installWorldService(&doNothingWorldService<MapWindows>());
    installWorldService(&doNothingWorldService<ObjectViews>());
    // (The highlight sources of the mobile drawing are the session's,
    // app/mobile_wiring.cpp, where the GM tools' customer stays none; the
    // effects fixed on mobiles are the missile gumps',
    // app/walking_effects_wiring.cpp.)
    // ...targeted commands (view range, war mode and targeting)...
    installWorldService(&doNothingWorldService<TargetedCommands>());
    // ...the radar window, and the house designer the drawing and the step
    // test ask...
    installWorldService(&doNothingWorldService<RadarView>());
    installWorldService(&doNothingWorldService<HouseDesignerView>());
    // (The bank box that closes on the next step is the game windows'.)
    // data/settings_services.h
    static NoWindowSettings windowSettingsDefault; // help pop-ups, tooltips, item properties, party, edge windows
    installWindowSettings(&windowSettingsDefault);

    // data/client_services.h (the game state is the world's, app/world_wiring.cpp; of it only
    // clearing the world view's highlighted object waits for the world view)
    static NoWindowNotices windowNoticesDefault; // waiting box, ability icons, status window, placement
                                                 // preview, skill groups and macros (the game windows'
                                                 // services show the paperdoll's war button, the system
                                                 // text's journal step the system messages)
    installWindowNotices(&windowNoticesDefault);

    // gump/: what the gump framework asks of windows and subsystems to come.
    installServiceDefault<WorldEffects>(); // the graphical effects stepped per frame
    installServiceDefault<MenubarWindow>(); // the menubar
    installServiceDefault<ItemProperties>(); // the item-property window
    installServiceDefault<PropertyListWindows>(); // shop and bill rows, the item-property window, the mahjong
                                                  // table and the player's strength, as property lists arrive
    installServiceDefault<HtmlViewMessenger>(); // the GM page-queue tools of HTML views (the messenger's
                                                // links: messenger/messenger_links.cpp)
    installServiceDefault<SkillGroups>(); // the skill window's groups
    installServiceDefault<FactoryWindows>(); // the windows opened by kind: text, status, shop, amount,
                                              // options, radar, ability book (the game windows' wiring
                                              // makes the paperdolls and containers)
    installServiceDefault<DesktopWindows>(); // the windows the desktop file restores beyond the factory's: fighting
                                             // style, icons, chat, GM chat, item-property anchor, skill
                                             // names (the messenger's: messenger/messenger_links.cpp)

    // app/: what the pointer asks of the world and of popups to come.
    installServiceDefault<PointerWorld>(); // the help-text and context popups, the highlighted window
                                            // (the game windows' wiring adds the world under the pointer)
    // app/lifecycle_services.h: what start-up, the tick and shutdown call in subsystems to come.
    installServiceDefault<SpellTables>(); // the spell table (start-up)
    installServiceDefault<MacroRunner>(); // the macro list (start-up, exit), the macro step and the macro
                                          // delay countdown (every frame)
    installServiceDefault<WeaponAbilities>(); // their start state, and the ability windows (every frame)

    // windows/window_services.h: what the game windows ask of parts to come. (Walking and the path
    // search are the world's, installed by app/walking_effects_wiring.cpp; the yes/no questions the
    // front end's box, app/front_end_wiring.cpp; the game area's placement the main window's,
    // app/game_windows_wiring.cpp.)
    installServiceDefault<SkillWindow>(); // the skill window opened by the next skill list

    // protocol/: what the session and login packets reach above them.
    // The world entry's steps: app/desktop_wiring.cpp installs the desktop file's; the macros, the world
    // view and the game area's layout stay the base's do-nothing steps.
    installPropertyListRevisions(propertyCacheRevisions()); // the real property-list cache (not a default)
    // protocol/world_packet_windows.h: what the world packets show in windows still to come.
    // Of these two only the name plates' names and the damage numbers are real; the rest of each stays
    // its base's do-nothing form.
    installService<StatusWindows>(&namePlateNameWindows()); // status bars, target bar, shop gold, party
                                                            // names, paladin books, the skill window's
                                                            // request flag
    installService<GeneralInfoWindows>(&damageNumberWindows()); // party, context menu, help, spellbook
                                                                // contents and highlights, weapon ability,
                                                                // race change, equipment popup
    installServiceDefault<HouseDesignWindows>(); // the house designer's revisions, edits and customizing
    installServiceDefault<WorldEventWindows>(); // the death screen's windows, course map, spellbook (the
                                                // game windows close the bank box)

    // The network wiring installs the main window's ClientShell; one of its
    // operations stays the do-nothing default: the shard menu (the platform
    // layer has no pop-up menu). It also installs the shard sessions' world over
    // the world objects (protocol/shard_world_state.h); the facet a session
    // keeps and the land tiles whose tile data the edit server replaces wait
    // for the map.

    // windows/speech_services.h: what the speech line, incoming speech and the journal reach. (The text
    // windows are the game windows' overhead texts and typed line, windows/game_window_services.cpp.)
    installServiceDefault<PartyState>(); // the party table, its invitation and its window (the party
                                         // packets and window are not built: nobody is ever a member)

    // messenger/: the GM chat window that "/i", "/m" and "/e" lines and the chat request's prompt reach, and
    // the resize handle of the messenger windows' grips (the game windows' resize outline).
    installServiceDefault<GmChatWindows>();
    installServiceDefault<ResizeHandles>();

    // mahjong/: the board window over the table model.
    mahjong::installMahjongBoards(mahjong::doNothingMahjongBoards());
}
