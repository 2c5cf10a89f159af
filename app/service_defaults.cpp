#include "app/service_defaults.h"

#include "audio/audio_services.h"
#include "audio/video_playback.h"
#include "world/house_designer_view.h"
#include "world/map_view.h"
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
    // ...the radar window, missile effects and the walking state the map
    // view resets, and the house designer the drawing asks...
    installWorldService(&doNothingWorldService<MapViewServices>());
    installWorldService(&doNothingWorldService<HouseDesignerView>());
    // ...and the world's own later parts: the light pass, mobile animation
    // stepping, path search.
    installWorldService(&doNothingWorldService<WorldLights>());
    installWorldService(&doNothingWorldService<MobileAnimator>());
    installWorldService(&doNothingWorldService<FollowPaths>());
}
