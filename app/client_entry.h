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
// The file name of the program that started the client; empty when unknown.
const std::string& launcherName();
