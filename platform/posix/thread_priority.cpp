#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform {

bool lowerCurrentThreadPriority()
{
    // On Linux the nice value belongs to the thread named by its id, so this
    // changes only the caller. 19 is the lowest priority and needs no
    // privilege.
    pid_t thread = pid_t(syscall(SYS_gettid));
    return setpriority(PRIO_PROCESS, id_t(thread), 19) == 0;
}

bool raiseCurrentThreadPriority()
{
    pid_t thread = pid_t(syscall(SYS_gettid));
    // -1 is a valid nice value: only errno tells a failure.
    errno = 0;
    int nice = getpriority(PRIO_PROCESS, id_t(thread));
    if (errno != 0)
        return false;
    return setpriority(PRIO_PROCESS, id_t(thread), std::max(nice - 2, -20)) == 0;
}

} // namespace platform
