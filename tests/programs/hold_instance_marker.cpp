// Holds an instance marker for a test running in another process:
//   hold_instance_marker acquire|join <name>
// prints "held" (or "refused") on standard output once it has tried, then
// waits until it is killed or its standard input closes.

#include "platform/instance_marker.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    bool already = false;
    std::unique_ptr<platform::InstanceMarker> marker;
    if (std::strcmp(argv[1], "acquire") == 0)
        marker = platform::InstanceMarker::acquire(argv[2], already);
    else if (std::strcmp(argv[1], "join") == 0)
        marker = platform::InstanceMarker::join(argv[2], already);
    else
        return 2;
    std::printf("%s %d\n", marker ? "held" : "refused", already ? 1 : 0);
    std::fflush(stdout);
    char byte;
    while (read(STDIN_FILENO, &byte, 1) > 0) { }
    return marker ? 0 : 1;
}
