#include "app/service_defaults.h"

#include "audio/audio_services.h"
#include "audio/video_playback.h"
#include "world/mobile_services.h"
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
    // ...the highlight sources of the mobile drawing (target cursor, the
    // combatant and marked serials of the session, the GM tools' customer),
    // the worn-layer rules of the paperdoll with the character list's flag,
    // and the effects fixed on mobiles...
    installWorldService(&doNothingWorldService<MobileHighlights>());
    installWorldService(&doNothingWorldService<EquipmentRules>());
    installWorldService(&doNothingWorldService<AttachedEffects>());
    // ...targeted commands (view range, war mode and targeting)...
    installWorldService(&doNothingWorldService<TargetedCommands>());
    // ...sound effects...
    installWorldService(&doNothingWorldService<WorldSounds>());
    // ...and the world's own later parts: the light pass, recorded effect
    // sequences, path search, multi component lists.
    installWorldService(&doNothingWorldService<WorldLights>());
    installWorldService(&doNothingWorldService<AnimationRecorder>());
    installWorldService(&doNothingWorldService<FollowPaths>());
    installWorldService(&doNothingWorldService<MultiComponents>());
}
