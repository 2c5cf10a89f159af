#include "world/seasons.h"

#include "world/season_tables.h"

#include <algorithm>

namespace {

int32_t g_season = 1;

int32_t substitute(std::span<const SeasonSubstitution> table, int32_t id)
{
    auto it = std::lower_bound(table.begin(), table.end(), id,
        [](const SeasonSubstitution& entry, int32_t value) { return entry.from < value; });
    return it != table.end() && it->from == id ? it->to : id;
}

} // namespace

void setSeason(int32_t season)
{
    if (season >= 0 && season <= 4)
        g_season = season;
}

int32_t getSeason()
{
    return g_season;
}

int32_t getSeasonAtPlayer(int32_t playerX)
{
    return g_season == 4 && playerX > 6143 ? 1 : g_season;
}

int32_t landTileForSeason(int32_t landId)
{
    if (landId < 0 || landId > 16383 || g_season == 4)
        return landId;
    return substitute(seasonLandSubstitutions(g_season), landId);
}

int32_t itemGraphicForSeason(int32_t graphic, int32_t playerX)
{
    if (g_season == 4 && playerX >= 6144)
        return graphic;
    return substitute(seasonItemSubstitutions(g_season), graphic);
}
