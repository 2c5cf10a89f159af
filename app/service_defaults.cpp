#include "app/service_defaults.h"

#include "world/world_services.h"

void installServiceDefaults()
{
    // One line per service still waiting for its window or service, grouped
    // by the layer that declares the interface.

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
    // ...and the world's own later parts: the light pass, mobile animation
    // stepping, path search, multi component lists.
    installWorldService(&doNothingWorldService<WorldLights>());
    installWorldService(&doNothingWorldService<MobileAnimator>());
    installWorldService(&doNothingWorldService<FollowPaths>());
    installWorldService(&doNothingWorldService<MultiComponents>());
}
