#include "world/world_settings.h"

WorldSettings& worldSettings()
{
    static WorldSettings settings;
    return settings;
}
