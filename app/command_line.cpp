#include "app/command_line.h"

#include <cstdio>
#include <cstring>

bool isKnownCommandLine(int argc, const char* const* argv)
{
    if (argc <= 1)
        return true;
    return argc == 3 && argv && argv[1] && argv[2] && std::strcmp(argv[1], "-r") == 0 && argv[2][0] != '\0';
}

int refuseCommandLine()
{
    std::fputs("usage: vardun [-r DATA_DIRECTORY]\n", stderr);
    std::fflush(stderr);
    return kUsageExitCode;
}
