#pragma once
// The film module's entry: FFmpeg's decoders live in a module of their own
// (vardun_video.so) that the program loads the first time a film that exists
// is opened. The module links no part of the program; the entry hands it the
// process clock and returns a new player. Main thread only.

#include "platform/clock.h"
#include "platform/video_player.h"

inline constexpr const char* kVideoModuleName = "vardun_video.so";
inline constexpr const char* kVideoModuleEntry = "vardunOpenVideoModule";

extern "C" platform::VideoPlayer* vardunOpenVideoModule(platform::Clock& (*programClock)());
