#include "app/service_defaults.h"

#include "app/gump_desktop.h"
#include "data/client_services.h"
#include "data/settings_services.h"
#include "frontend/front_end_shell.h"
#include "gump/desktop_services.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "gump/property_cache.h"
#include "mahjong/mahjong_packets.h"
#include "protocol/protocol_services.h"
#include "text/html_document.h"
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
    // ...the highlight sources of the mobile drawing (target cursor, the
    // combatant and marked serials of the session, the GM tools' customer)
    // and the effects fixed on mobiles...
    installWorldService(&doNothingWorldService<MobileHighlights>());
    installWorldService(&doNothingWorldService<AttachedEffects>());
    // ...targeted commands (view range, war mode and targeting)...
    installWorldService(&doNothingWorldService<TargetedCommands>());
    // ...the radar window, and the house designer the drawing and the step
    // test ask...
    installWorldService(&doNothingWorldService<RadarView>());
    installWorldService(&doNothingWorldService<HouseDesignerView>());
    // ...the container window that closes on the next step and the windows
    // that close when their object is out of reach (game windows)...
    installWorldService(&doNothingWorldService<StepClosedWindows>());
    // data/settings_services.h
    static NoSoundSettings soundSettingsDefault; // sound and music (effect channels, MIDI, streams)
    installSoundSettings(&soundSettingsDefault);
    static NoWindowSettings windowSettingsDefault; // help pop-ups, tooltips, item properties, party, edge windows
    installWindowSettings(&windowSettingsDefault);
    static NoWorldSettings worldSettingsDefault; // circle of transparency, multi design cache
    installWorldSettings(&worldSettingsDefault);

    // data/client_services.h (the game state is the world's, app/world_wiring.cpp; of it only
    // clearing the world view's highlighted object waits for the world view)
    static NoWindowNotices windowNoticesDefault; // waiting box, ability icons, status window, placement
                                                 // preview, skill groups and macros (the game windows'
                                                 // wiring shows the paperdoll, the journal the system text)
    installWindowNotices(&windowNoticesDefault);

    // gump/: what the gump framework asks of windows and subsystems to come.
    installServiceDefault<GameSession>(); // the in-world flag and the server's features (sessions, front end)
    installServiceDefault<WorldEffects>(); // the graphical effects stepped per frame
    installServiceDefault<MenubarWindow>(); // the menubar
    installServiceDefault<ItemProperties>(); // the item-property window
    installServiceDefault<PropertyListWindows>(); // shop and bill rows, the item-property window, the mahjong
                                                  // table and the player's strength, as property lists arrive
    installServiceDefault<HtmlViewMessenger>(); // messenger links and the GM page-queue tools of HTML views
    installServiceDefault<SkillGroups>(); // the skill window's groups
    installServiceDefault<FactoryWindows>(); // the windows opened by kind: text, status, shop, amount,
                                              // options, radar, ability book (the game windows' wiring
                                              // makes the paperdolls and containers)
    installServiceDefault<DesktopWindows>(); // the windows the desktop file restores beyond the factory's: fighting
                                             // style, icons, chat, messenger, item-property anchor, skill names

    // text/: "?Topic" and the other help links of HTML documents (the help windows).
    installServiceDefault<HtmlHelpLinks>();

    // app/: what the pointer asks of the world and of popups to come.
    installServiceDefault<PointerWorld>(); // the help-text and context popups, the highlighted window
                                            // (the game windows' wiring adds the world under the pointer)

    // windows/: what the world view, overhead texts and game windows ask of
    // parts to come.
    installServiceDefault<PlayerWalking>(); // walking: step requests, the step queue, the path search
    installServiceDefault<PartyMembership>(); // the party table and its window
    installServiceDefault<TextJournal>(); // the journal and the translation of a clicked text
    installServiceDefault<YesNoQuestions>(); // the yes/no question box (attack, target and log-out questions)
    installServiceDefault<DesktopPositions>(); // the desktop file's pending paperdoll position, its write
    installServiceDefault<SkillWindow>(); // the skill window opened by the next skill list

    // protocol/: what the session and login packets reach above them.
    // The world entry's steps: app/desktop_wiring.cpp installs the desktop file's; the macros, the world
    // view and the game area's layout stay the base's do-nothing steps.
    installMessengerLink(doNothingMessengerLink()); // messenger connection and mail store
    installPropertyListRevisions(doNothingPropertyListRevisions()); // gump framework: property-list cache

    // The network wiring installs the main window's ClientShell; two of its
    // operations stay the do-nothing defaults: the shard menu (the platform
    // layer has no pop-up menu) and the hourly hardware report (the hardware
    // survey is not built). It also installs the shard sessions' world over
    // the world objects (protocol/shard_world_state.h); the facet a session
    // keeps and the land tiles whose tile data the edit server replaces wait
    // for the map.

    // frontend/: character creation (profession, stats and skills, appearance,
    // start location), which the character selection's New button opens.
    installServiceDefault<CharacterCreation>();
    // windows/speech_services.h: what the speech line, incoming speech and the journal show through
    // windows built elsewhere.
    installServiceDefault<TextWindows>(); // overhead text: the typed line, system lines, texts over objects
    installServiceDefault<PartyState>(); // the party table and its invitation (party window and packets)
    installServiceDefault<KeyboardWalking>(); // walking: the navigation keys of the speech line

    // mahjong/: the board window over the table model.
    mahjong::installMahjongBoards(mahjong::doNothingMahjongBoards());
}
