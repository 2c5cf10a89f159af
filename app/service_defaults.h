#pragma once
// Lower layers call some windows and services through an interface that the
// program installs at start-up. Where the real window or service is not built
// yet, its explicit do-nothing default is installed here, one line each, so
// that what remains to be built is visible in one place. When the real one
// lands, its subsystem installs it at start-up and its line leaves this file.

void installServiceDefaults();
