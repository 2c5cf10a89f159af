#pragma once
// Whole files read and replaced through the file manager: a name is found on
// the search paths (or recorded where it is first created), read in one go,
// and replaced by writing a new file beside it and renaming it over the old
// one, so that a failed write never leaves half a file. Main thread only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Settings-style text lines keep at most this many characters.
constexpr size_t kMaxTextLineLength = 254;

// One line of a text held in memory: at most kMaxTextLineLength characters of
// it, where it starts and where the next line starts. CR, LF, CR LF and LF CR
// end a line; a final line without a line end counts.
struct TextLineSpan {
    std::string_view text;
    size_t begin = 0;
    size_t next = 0;
};
bool nextTextLine(const std::string& bytes, size_t at, TextLineSpan& line);
std::vector<std::string> splitTextLines(const std::string& bytes);

// False when no search path gives the file; an existing empty file is read.
// A file of more than `maximum` bytes is not ours: it is passed over with a
// line on standard error, read no further than the bound, and gives false.
bool readManagedFile(const std::string& name, std::string& bytes, size_t maximum = SIZE_MAX);
// The real path the file manager finds for a name, or with `create` the one
// where it makes it (its folder must exist).
std::optional<std::string> managedRealPath(const std::string& name, bool create);
// Replaces the whole file; false (the old file untouched) when it cannot be
// made or written.
bool writeManagedFile(const std::string& name, const std::string& bytes);
// A save that failed for good (a read-only folder, a full disk): the old file
// was kept, and the player is told so in the system-message area, with the
// same line on standard error.
void reportSaveFailure(const std::string& name);
// writeManagedFile, with the failure reported.
bool saveManagedFile(const std::string& name, const std::string& bytes);
