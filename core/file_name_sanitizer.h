#pragma once
// Turns account, shard and character names into names usable as folder and
// file names of the per-character files. Byte names (the client's code page).

#include <string>

// Splits the name at the delimiters \ / : * ? " < > | and '.', drops the
// empty pieces and joins them with a '_' after each ("a.b" -> "a_b_"); a name
// without delimiters only has a trailing blank turned into '_'. A name made
// of delimiters only becomes empty.
void sanitizeFileName(std::string& name);
