#pragma once
// The terrain block check: once the server turns it on, map blocks whose
// contents differ from the stored block digests are reported to the server.
// It stays on for the rest of the run. Main thread only.

void setTerrainBlockCheck(bool on);
bool terrainBlockCheck();
