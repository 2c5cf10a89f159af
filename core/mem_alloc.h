#pragma once
// The plain heap the gump and control code allocates from.

#include <cstddef>

// malloc; on failure the new handler's box is not involved, the caller gets null.
void* memAlloc(size_t size);
// Frees `p` unless it is null or the freed-memory marker.
void memFree(void* p);
