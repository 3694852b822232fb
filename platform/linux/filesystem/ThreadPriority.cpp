#include "platform/linux/filesystem/ThreadPriority.h"

#include <linux/ioprio.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace {

// glibc has no wrappers for these two.
int setIoPriority(int value) {
    return static_cast<int>(::syscall(SYS_ioprio_set, IOPRIO_WHO_PROCESS, ::gettid(), value));
}

int ioPriority() {
    return static_cast<int>(::syscall(SYS_ioprio_get, IOPRIO_WHO_PROCESS, ::gettid()));
}

}  // namespace

bool moveCurrentThreadToBackground() {
    // With PRIO_PROCESS and a thread id, Linux changes that one thread.
    const bool niced =
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kBackgroundNice) == 0;
    const bool idled = setIoPriority(IOPRIO_PRIO_VALUE(IOPRIO_CLASS_IDLE, 0)) == 0;
    return niced && idled;
}

ThreadPriority currentThreadPriority() {
    ThreadPriority priority;
    errno = 0;
    priority.nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
    const int io = ioPriority();
    priority.ioClass = io < 0 ? 0 : static_cast<int>(IOPRIO_PRIO_CLASS(io));
    return priority;
}
