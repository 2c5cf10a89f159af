#include "app/service_defaults.h"

#include "app/gump_desktop.h"
#include "data/client_services.h"
#include "data/settings_services.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "gump/property_cache.h"
#include "mahjong/mahjong_packets.h"
#include "protocol/property_revisions.h"
#include "protocol/protocol_services.h"
#include "protocol/world_packet_windows.h"
#include "text/html_document.h"
#include "world/house_designer_view.h"
#include "world/map_view.h"
#include "world/mobile_services.h"
#include "world/walking.h"
#include "world/world_services.h"

void installServiceDefaults()
{
    // One line per service still waiting for its window or service, grouped
    // by the layer that declares the interface.

    // audio: the main menu that follows a film (front end) is still a
    // do-nothing inside the real video windows (windows/video_gump.cpp).
    // world/: the windows that show world objects (game windows)...
    installWorldService(&doNothingWorldService<ContainerViews>());
    installWorldService(&doNothingWorldService<PaperdollViews>());
    installWorldService(&doNothingWorldService<MapWindows>());
    installWorldService(&doNothingWorldService<ObjectViews>());
    installWorldService(&doNothingWorldService<OverheadTextViews>());
    installWorldService(&doNothingWorldService<DragViews>());
    installWorldService(&doNothingWorldService<WorldMessages>());
    // ...the highlight sources of the mobile drawing (target cursor, the
    // combatant and marked serials of the session, the GM tools' customer),
    // the worn-layer rules of the paperdoll with the character list's flag,
    // and the effects fixed on mobiles...
    installWorldService(&doNothingWorldService<MobileHighlights>());
    installWorldService(&doNothingWorldService<EquipmentRules>());
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
    static NoTranslationSettings translationSettingsDefault; // the translation-server client
    installTranslationSettings(&translationSettingsDefault);

    // data/client_services.h (the game state is the world's, app/world_wiring.cpp; of it only
    // clearing the world view's highlighted object waits for the world view)
    static NoWindowNotices windowNoticesDefault; // system text, waiting box, ability icons, status and
                                                 // paperdoll, placement preview, skill groups and macros
    installWindowNotices(&windowNoticesDefault);

    // gump/: what the gump framework asks of windows and subsystems to come.
    installServiceDefault<GameSession>(); // the in-world flag and the server's features (sessions, front end)
    installServiceDefault<SpeechLine>(); // the speech entry line
    installServiceDefault<GumpWorld>(); // the world objects gumps show
    installServiceDefault<WorldEffects>(); // the graphical effects stepped per frame
    installServiceDefault<MenubarWindow>(); // the menubar
    installServiceDefault<NamePlates>(); // the name plates of the all-names overlay
    installServiceDefault<ItemProperties>(); // the item-property window
    installServiceDefault<PropertyListWindows>(); // shop and bill rows, the item-property window, the mahjong
                                                  // table and the player's strength, as property lists arrive
    installServiceDefault<HtmlViewMessenger>(); // messenger links and the GM page-queue tools of HTML views
    installServiceDefault<SkillGroups>(); // the skill window's groups
    installServiceDefault<FactoryWindows>(); // the windows opened by kind: text, status, paperdoll, shop,
                                              // amount, options, radar, ability book, container
    installServiceDefault<FrontEnd>(); // the front end's waiting box record and the logout

    // text/: "?Topic" and the other help links of HTML documents (the help windows).
    installServiceDefault<HtmlHelpLinks>();

    // app/: what the pointer asks of the world and of popups to come.
    installServiceDefault<PointerWorld>(); // the help-text and context popups, the world under the pointer

    // protocol/: what the session and login packets reach above them.
    installLoginScreens(doNothingLoginScreens()); // front end: login, shard list, character selection, message box
    installWorldEntrySteps(doNothingWorldEntrySteps()); // game windows, world view, macros, desktop file
    installUnthrottledSpeech(doNothingUnthrottledSpeech()); // speech entry: speech sent past the spam budget
    installMessengerLink(doNothingMessengerLink()); // messenger connection and mail store
    installPropertyListRevisions(propertyCacheRevisions()); // the real property-list cache (not a default)
    installIgrSessions(doNothingIgrSessions()); // front end: internet-game-room sessions
    // protocol/world_packet_windows.h: what the world packets show in windows still to come.
    installServiceDefault<StatusWindows>(); // status bars, target bar, shop gold, name plates, party names,
                                            // paladin books, the skill window's request flag
    installServiceDefault<GeneralInfoWindows>(); // mail, party, context menu, help, spellbook contents and
                                                 // highlights, weapon ability, damage numbers, race change,
                                                 // equipment popup
    installServiceDefault<HouseDesignWindows>(); // the house designer's revisions, edits and customizing
    installServiceDefault<WorldEventWindows>(); // the death screen's windows, course map, bank box, spellbook

    // The network wiring installs the main window's ClientShell; two of its
    // operations stay the do-nothing defaults: the shard menu (the platform
    // layer has no pop-up menu) and the hourly hardware report (the hardware
    // survey is not built). It also installs the shard sessions' world over
    // the world objects (protocol/shard_world_state.h); the facet a session
    // keeps and the land tiles whose tile data the edit server replaces wait
    // for the map.

    // mahjong/: the board window over the table model.
    mahjong::installMahjongBoards(mahjong::doNothingMahjongBoards());
}
