#pragma once
// Brings walking, the path search, the weather, the light pass and the
// graphical effects into the running program: their start-up steps (with
// their clean-ups at exit), the services the world reaches them through, the
// frame steps of the game tick, and the settings the light pass reads each
// frame. Main thread only.

class BackBuffer;
class GameTick;

// Start-up steps, each registering its clean-up: the path search's state,
// the weather, the light files.
void startPathSearch();
void startWeather();
void startLightFiles();
// Installs the world's services of these parts (the effects fixed on mobiles,
// which the mobile drawing draws, among them) and the windows' walking
// (PlayerWalking), and wires the tick's walk, path-walk and weather steps.
void wireWalkingAndEffects(GameTick& tick);
// Shutdown: the steps unwired, every recorded sequence and effect gone.
void unwireWalkingAndEffects(GameTick& tick);
// Before each world frame: the light pass follows the settings and the back
// buffer's pixel format.
void refreshLightPassSettings(const BackBuffer& buffer);
