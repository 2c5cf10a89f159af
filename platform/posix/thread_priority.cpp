#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

bool lowerCurrentThreadPriority()
{
    // On Linux the nice value belongs to the thread named by its id, so this
    // changes only the caller. 19 is the lowest priority and needs no
    // privilege.
    pid_t thread = pid_t(syscall(SYS_gettid));
    return setpriority(PRIO_PROCESS, id_t(thread), 19) == 0;
}

} // namespace platform
