#pragma once
// Facts about the running process and starting other programs. Main thread only.

#include <string>

namespace platform {

// The file name (no directory) of the program that started this process;
// empty when it cannot be found.
std::string parentProcessName();

// Hands `url` to the desktop's URL opener as one argument of its own, without
// a shell, and does not wait for it. Refuses an empty text, one that could be
// taken for an option (a leading '-') and one with control characters.
bool openUrl(const std::string& url);

} // namespace platform
