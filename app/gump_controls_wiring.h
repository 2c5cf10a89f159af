#pragma once
// The gump controls in the running program: the hover tooltip window the
// gump manager opens, and the property-list requests paced once per frame.
// Main thread only.

class GameTick;

void wireGumpControls(GameTick& tick);
void unwireGumpControls(GameTick& tick);
