#include "core/exit_started.h"

namespace {

bool g_exitStarted = false;

} // namespace

bool isExitStarted() { return g_exitStarted; }

void markExitStarted() { g_exitStarted = true; }

void clearExitStarted() { g_exitStarted = false; }
