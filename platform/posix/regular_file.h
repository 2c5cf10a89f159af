#pragma once
// Opening a path that must name a regular file, shared by the POSIX file
// code. The open never waits: a named pipe in the file's place would block it
// until a writer came. Whatever is opened is looked at before it is used.

#include <string>
#include <sys/stat.h>

namespace platform {

// A descriptor opened with open(2) `flags` (no truncation; close-on-exec and
// no controlling terminal are added) on the regular file at `path`, with its
// status in `info`, in blocking mode again. -1 with errno set otherwise:
// EISDIR for a directory, ENXIO for any other file that is not a regular one.
int openRegularDescriptor(const std::string& path, int flags, struct stat& info);

} // namespace platform
