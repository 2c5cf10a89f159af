#pragma once
// The client's one entry function: start-up, the main loop and shutdown.

int clientMain(int argc, char** argv);
