#include "world/terrain_check.h"

namespace {

bool g_terrainBlockCheck = false;

} // namespace

void setTerrainBlockCheck(bool on) { g_terrainBlockCheck = on; }

bool terrainBlockCheck() { return g_terrainBlockCheck; }
