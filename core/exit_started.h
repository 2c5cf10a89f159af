#pragma once
// Set by the first clean-up at process exit: from then on the data-file
// lookups and the music code return at once instead of touching what the
// later clean-ups are tearing down. Main thread only.

bool isExitStarted();
void markExitStarted();
// Clears the flag again (tests only).
void clearExitStarted();
