#pragma once
// File names as the client's data uses them: written for a case-insensitive
// file system, with either separator. resolvePath finds the real file on ours.
// Directory listings are cached per directory; call forgetDirectoryCache after
// creating files behind the resolver's back. Main thread only.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace platform {

// Turns every backslash into a slash.
std::string normalizeSeparators(std::string path);

// Resolves `path` (relative to the working directory, or absolute), matching
// each component case-insensitively where no exact match exists. Returns the
// real path, or nullopt when some component exists under no spelling. The
// last component may be missing when `allowMissingLeaf` is set (a file about
// to be created): it is then kept as given.
std::optional<std::string> resolvePath(const std::string& path, bool allowMissingLeaf = false);
void forgetDirectoryCache();

bool fileExists(const std::string& realPath);
bool isDirectory(const std::string& realPath);
// Size in bytes, or -1.
int64_t fileSize(const std::string& realPath);
// The directory part of a slash-separated path: "." when it has none, "/"
// for a name at the root.
std::string parentDirectory(const std::string& path);
// Creates the directory and its parents; true when it exists afterwards.
bool makeDirectories(const std::string& realPath);

// Opens a regular file with a stdio mode ("rb", "r+b", "wb", "ab", ...)
// without ever waiting, and refuses anything else: a named pipe in a file's
// place would block the open until a writer came, a device would give
// endless bytes. Null with errno set on failure: EISDIR for a directory,
// ENXIO for any other file that is not a regular one. "w" empties only a
// regular file.
FILE* openRegularFile(const std::string& realPath, const char* mode);

// Replaces the whole file at `path` with `bytes`: they are written to a new
// file beside it, flushed to the disk and renamed over it, so that a crash
// leaves either the old file or the new one, never a part. A symbolic link is
// kept: the file it names is the one replaced. The file is created when
// missing; its directory must exist.
bool replaceFileContents(const std::string& path, const std::string& bytes);

// Absolute path of the running program, or empty.
std::string executablePath();
// The user's configuration directory for this program (created on demand).
std::string configDirectory();

} // namespace platform
