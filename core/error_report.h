#pragma once
// Error reports. The client has no error codes and no log file: a condition it
// cannot go on from is a fatal report (a message box captioned "fatal: ", then
// the process ends with a non-zero code through the orderly exit, so the
// registered clean-ups run). Error, message and plain reports only format
// their text. Main thread only.

#include <cstdint>

void reporterOpen();
void reporterClose();
// How many other copies of the client were running when the reporter opened.
int32_t reporterInstanceCount();

[[noreturn]] void reportFatal(const char* format, ...) __attribute__((format(printf, 1, 2)));
void reportError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void reportMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
void reportPlain(const char* format, ...) __attribute__((format(printf, 1, 2)));
