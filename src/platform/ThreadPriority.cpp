#include "platform/ThreadPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace quellstone::platform {

namespace {

// From the kernel's ioprio interface, which glibc does not wrap.
constexpr int kIoPriorityWhoProcess = 1;  // IOPRIO_WHO_PROCESS: a thread, by its id
constexpr int kIoPriorityClassIdle = 3;   // IOPRIO_CLASS_IDLE
constexpr int kIoPriorityClassShift = 13;

}  // namespace

bool LowerThreadPriority() {
    constexpr int kLowNice = 10;
    const auto thread = static_cast<id_t>(::gettid());
    // Linux keeps the nice value per thread: PRIO_PROCESS with a thread id sets that thread's only.
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, thread);
    const bool niced = (current == -1 && errno != 0) ? false
                       : current >= kLowNice         ? true
                                                     : ::setpriority(PRIO_PROCESS, thread, kLowNice) == 0;
    const bool idle = ::syscall(SYS_ioprio_set, kIoPriorityWhoProcess, static_cast<int>(thread),
                                kIoPriorityClassIdle << kIoPriorityClassShift) == 0;
    return niced && idle;
}

}  // namespace quellstone::platform
