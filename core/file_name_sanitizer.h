#pragma once
// Turns account, shard and character names into names usable as folder and
// file names of the per-character files, and keeps server text out of the
// settings lines. Byte names (the client's code page); a folder name goes to
// the file system as UTF-8.

#include <string>

// Splits the name at the delimiters \ / : * ? " < > | and '.', drops the
// empty pieces and joins them with a '_' after each ("a.b" -> "a_b_"); a name
// without delimiters only has a trailing blank turned into '_'. A name made
// of delimiters only becomes empty. Control bytes, the bidirectional controls
// (U+061C, U+200E, U+200F, U+202A..U+202E, U+2066..U+2069) and bytes that are
// not valid UTF-8 are delimiters too: a name from the server can neither
// break a line nor turn a folder name around nor give the file system a name
// that is not text.
void sanitizeFileName(std::string& name);

// The control bytes: below 0x20, and 0x7F.
bool isControlByte(char c);
// Server text where it enters: the control bytes go.
void removeControlBytes(std::string& text);
