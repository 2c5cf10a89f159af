#include "world/world_settings.h"

WorldSettings& worldObjectSettings()
{
    static WorldSettings settings;
    return settings;
}
