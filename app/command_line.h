#pragma once
// The client's command line: nothing, or "-r DIR" to name the data directory
// (read by the file manager). Anything else is refused before anything
// starts, with a one-line usage on standard error.

// The exit code of a refused command line.
inline constexpr int kUsageExitCode = 2;

// True for the arguments after argv[0] that the client reads.
bool isKnownCommandLine(int argc, const char* const* argv);
// Writes the usage line to standard error; returns kUsageExitCode.
int refuseCommandLine();
