#include "platform/FlockInstanceLock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quellstone::platform {

bool FlockInstanceLock::TryAcquire() {
    if (fd_) return true;
    // O_NOFOLLOW and the owner check keep another user's planted file or link
    // in a shared folder from standing in for ours.
    UniqueFd fd(::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0 || st.st_uid != ::getuid() || !S_ISREG(st.st_mode)) {
        // The lock cannot be taken at all; running unguarded beats refusing to start.
        return true;
    }
    int result = 0;
    do {
        result = ::flock(fd.get(), LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) return ClassifyFlockError(errno) != FlockRefusal::AnotherInstance;
    fd_ = std::move(fd);
    return true;
}

FlockRefusal ClassifyFlockError(int error) {
    return error == EWOULDBLOCK ? FlockRefusal::AnotherInstance : FlockRefusal::RunUnguarded;
}

std::string InstanceLockPath(const EnvironmentReader& environment) {
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    if (!runtime.empty() && runtime.front() == '/') return runtime + "/Quellstone.lock";
    return "/tmp/Quellstone-" + std::to_string(::getuid()) + ".lock";
}

}  // namespace quellstone::platform
