#pragma once
// The game windows' side of the mahjong board: its journal log and the amount
// chooser of a score transfer. Installed at start-up, removed at shutdown.

void installBoardPartsWindows();
void uninstallBoardPartsWindows();
