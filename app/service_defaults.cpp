#include "app/service_defaults.h"

#include "app/gump_desktop.h"
#include "audio/audio_services.h"
#include "audio/video_playback.h"
#include "data/client_services.h"
#include "data/settings_services.h"
#include "gump/gump_services.h"
#include "world/house_designer_view.h"
#include "world/map_view.h"
#include "world/walking.h"
#include "world/world_services.h"

void installServiceDefaults()
{
    // One line per service still waiting for its window or service, grouped
    // by the layer that declares the interface.

    // audio: the player's position, war mode and facet (world) and the
    // server's feature word (front end): no player, no feature.
    static NoAudioServices noAudioServices;
    installAudioServices(&noAudioServices);
    // audio: the video window's place in the window list and its focus (gump
    // framework) and the main menu that follows the film (front end).
    static NoVideoWindowServices noVideoWindowServices;
    installVideoWindowServices(&noVideoWindowServices);
    // world/: the windows that show world objects (game windows)...
    installWorldService(&doNothingWorldService<ContainerViews>());
    installWorldService(&doNothingWorldService<PaperdollViews>());
    installWorldService(&doNothingWorldService<MapWindows>());
    installWorldService(&doNothingWorldService<ObjectViews>());
    installWorldService(&doNothingWorldService<OverheadTextViews>());
    installWorldService(&doNothingWorldService<DragViews>());
    installWorldService(&doNothingWorldService<WorldMessages>());
    // ...targeted commands (view range, war mode and targeting)...
    installWorldService(&doNothingWorldService<TargetedCommands>());
    // ...sound effects...
    installWorldService(&doNothingWorldService<WorldSounds>());
    // ...the radar window, and the house designer the drawing and the step
    // test ask...
    installWorldService(&doNothingWorldService<RadarView>());
    installWorldService(&doNothingWorldService<HouseDesignerView>());
    // ...the container window that closes on the next step and the windows
    // that close when their object is out of reach (game windows)...
    installWorldService(&doNothingWorldService<StepClosedWindows>());
    // ...and the world's own later part: mobile animation stepping.
    installWorldService(&doNothingWorldService<MobileAnimator>());
    // data/settings_services.h
    static NoSoundSettings soundSettingsDefault; // sound and music (effect channels, MIDI, streams)
    installSoundSettings(&soundSettingsDefault);
    static NoWindowSettings windowSettingsDefault; // help pop-ups, tooltips, item properties, party, edge windows
    installWindowSettings(&windowSettingsDefault);
    static NoWorldSettings worldSettingsDefault; // circle of transparency, multi design cache
    installWorldSettings(&worldSettingsDefault);
    static NoTranslationSettings translationSettingsDefault; // the translation-server client
    installTranslationSettings(&translationSettingsDefault);

    // data/client_services.h
    static NoWindowNotices windowNoticesDefault; // system text, waiting box, ability icons, status and
                                                 // paperdoll, placement preview, skill groups and macros
    installWindowNotices(&windowNoticesDefault);

    // gump/: what the gump framework asks of windows and subsystems to come.
    installServiceDefault<GameSession>(); // the in-world flag and the server's features (sessions, front end)
    installServiceDefault<SpeechLine>(); // the speech entry line
    installServiceDefault<GumpWorld>(); // the world objects gumps show
    installServiceDefault<WorldEffects>(); // the graphical effects stepped per frame
    installServiceDefault<MenubarWindow>(); // the menubar
    installServiceDefault<TooltipWindow>(); // the hover tooltip
    installServiceDefault<NamePlates>(); // the name plates of the all-names overlay
    installServiceDefault<ItemProperties>(); // the item-property window and property lists
    installServiceDefault<SkillGroups>(); // the skill window's groups
    installServiceDefault<FactoryWindows>(); // the windows opened by kind: text, status, paperdoll, shop,
                                              // amount, options, radar, ability book, container
    installServiceDefault<FrontEnd>(); // the front end's waiting box record and the logout

    // app/: what the pointer asks of the world and of popups to come.
    installServiceDefault<PointerWorld>(); // the help-text and context popups, the world under the pointer
}
