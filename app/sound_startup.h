#pragma once
// Sound, music and film in the running program: their start-up steps and
// clean-ups, their loop and tick steps, the music and sound switches of the
// window's commands, the video window and the redraw of a playing film. Main
// thread only.

#include <cstdint>
#include <functional>

class GameTick;
class MainLoop;
namespace platform {
class Window;
}

// The sound layer's first state, its ties to the world (the player's place
// for music and placed sounds, the world's sounds on the channels), the
// settings' switches and volumes on the channels and the music, and the
// clean-ups of music and sound (music's runs first at exit), before the main
// window exists.
void initSoundLayer();
// Opens the audio device, the eight channels and the MIDI synthesizer, and
// starts music; MIDI completions arrive as music-notify messages on `window`.
void startSoundAndMusic(platform::Window& window);
// updateSound after each message and pump, and music and sound in each frame.
void wireSoundSteps(MainLoop& loop, GameTick& tick);
// The window's music (40073) and sound (40074) commands; false for others.
bool runSoundCommand(uint16_t command);
// Films are shown in video windows on the gump desktop; while one is open,
// each tick pass that is not a game frame calls `redrawScreen` (compose the
// whole screen and present it), so the film keeps its pace.
void wireVideoWindow(GameTick& tick, std::function<void()> redrawScreen);
// The shutdown step: the film closes, nothing posts to the window any more,
// and the tick's music, sound and film steps are unwired.
void stopSoundAndVideoOutput(GameTick& tick);
