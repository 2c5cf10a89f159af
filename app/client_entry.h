#pragma once
// The client's one entry function: start-up, the main loop and shutdown.

#include "app/main_window.h"

#include <cstdint>
#include <string>

// Runs the client; returns the exit code (the quit message's code).
int clientMain(int argc, char** argv);

// Bit i set when the map file of facet i is in the client directory; facet 1
// shares facet 0's file, so bit 1 follows bit 0.
uint32_t computeMapFileMask();
// The mask computed at start-up.
uint32_t mapFileMask();
// The splash picture for the language and the server features: 274 for
// Japanese, else 271, 272 with feature 0x40, 273 with 0x80, 277 with 0x100
// (the last that applies).
int32_t splashPictureFor(const std::string& languageCode, uint32_t serverFeatures);
// The file name of the program that started the client; empty when unknown.
const std::string& launcherName();
