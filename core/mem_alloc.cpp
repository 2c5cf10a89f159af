#include "core/mem_alloc.h"

#include "core/live_object.h"

#include <cstdlib>

void* memAlloc(size_t size) { return std::malloc(size); }

void memFree(void* p)
{
    if (!p || p == freedMarker())
        return;
    std::free(p);
}
