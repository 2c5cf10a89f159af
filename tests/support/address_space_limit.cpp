#include "support/address_space_limit.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

namespace test {

void limitAddressSpaceGrowth(size_t bytes)
{
    size_t pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%zu", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + bytes;
    rlimit bound { limit, RLIM_INFINITY };
    setrlimit(RLIMIT_AS, &bound);
}

} // namespace test
