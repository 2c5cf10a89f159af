#pragma once
// Handlers of the server packets that start graphical effects (0x70, 0xC0,
// 0xC7), sounds (0x54) and music (0x6D), set the player's personal light
// (0x4E), the weather (0x65) and the game time (0x5B), and switch effect
// sequencing on and off (0x7B). They only parse and forward: the effects are
// built by the effect factories, sounds and music by the audio layer, and
// while a sequence is recorded the effects, sounds and animations are
// recorded instead. Main thread only.

#include <cstdint>

void handleGraphicalEffect(const uint8_t* packet);
void handleHuedEffect(const uint8_t* packet);
void handleParticleEffect(const uint8_t* packet);
void handlePlaySound(const uint8_t* packet);
void handlePlayMusic(const uint8_t* packet);
void handlePersonalLight(const uint8_t* packet);
void handleWeather(const uint8_t* packet);
void handleGameTime(const uint8_t* packet);
void handleSequence(const uint8_t* packet);

// Sound ids above this are dropped after the remap.
inline constexpr int32_t kHighestServerSound = 1488;
// The music word's id that means "stop", and the id it is passed as.
inline constexpr uint16_t kMusicStopWord = 0xFFF;
inline constexpr uint16_t kMusicStopId = 0xFFFF;
