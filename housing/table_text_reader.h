#pragma once
// Reading the house-design text tables. They are read the way a C stream reads
// them in text mode: each read takes one line of at most 254 characters (a
// longer line goes on in the next read, which counts as a line of its own),
// and a row is a run of whitespace-separated decimal numbers. Every read is
// bounded by the input bytes; nothing here copies into a fixed buffer.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace housing {

// Longest piece of a line one read takes (the reader's 256-byte buffer less
// the terminator and one spare byte).
inline constexpr size_t kMaxReadLength = 254;

// Splits `bytes` into the reads a text stream would give, with CR LF taken as
// one line feed. The line feed stays on the read that ends with it. The read
// that meets the end of the bytes is included even when empty.
std::vector<std::string_view> splitTableReads(std::string_view bytes);

// Scans up to `count` decimal numbers from `line` into `out`, stopping at the
// first one that does not convert (no digits, or outside the signed 32-bit
// range) and at a NUL byte. Returns how many converted; the rest of `out` is
// left as it was.
int scanNumbers(std::string_view line, std::span<int32_t> out);

// Skips one blank-free word at the start of `line` (after leading blanks).
// Returns the rest of the line after the word, and sets `found` to false when
// the line holds no word.
std::string_view skipWord(std::string_view line, bool& found);

} // namespace housing
