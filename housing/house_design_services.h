#pragma once
// The house designer brought into the running program: the world asks it
// about design mode (drawing, walking, the placement preview), the house
// packets reach it (revisions, component edits, the start and end of design
// mode, whole designs), and its window is the house design window. The
// designer's tables are read as it is installed.
// Installed at start-up and removed at shutdown; main thread only.

namespace housing {

void installHouseDesignServices();
void uninstallHouseDesignServices();
// Escape while designing: the design window drops the chosen tool.
void cancelHouseDesignTool();

} // namespace housing
