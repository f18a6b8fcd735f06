#include "platform/XdgOpenShell.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace quellstone::platform {

bool XdgOpenShell::OpenWithDefaultAction(const std::string& target) {
    // "--" would be taken as the target by xdg-open; a target that starts with
    // "-" is made into a path so it cannot pass for an option.
    const std::string argument = target.starts_with('-') ? "./" + target : target;
    std::vector<char*> argv{const_cast<char*>("xdg-open"), const_cast<char*>(argument.c_str()), nullptr};

    // A child that spawns the opener and exits at once: the opener is adopted
    // by init, so it is never waited for and never left as a zombie.
    const pid_t middle = ::fork();
    if (middle < 0) return false;
    if (middle == 0) {
        ::setsid();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        pid_t opener = 0;
        const int spawned = ::posix_spawnp(&opener, "xdg-open", &actions, nullptr, argv.data(), environ);
        ::_exit(spawned == 0 ? 0 : 1);
    }
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace quellstone::platform
