#include "platform/ThreadPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

void lowerThisThreadPriority()
{
    // Linux threads of normal processes all run under SCHED_OTHER, where Qt's thread
    // priorities have no effect, and Qt's idle priority (SCHED_IDLE) gets no processor at all
    // while anything else runs; a higher nice value for this one thread is the "lowest
    // priority" here. Threads it starts inherit it.
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    ::setpriority(PRIO_PROCESS, tid, 10);
}
