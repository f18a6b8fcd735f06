#include "platform/ProcessRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "platform/UniqueFd.h"

extern char** environ;

namespace quellstone::platform {

namespace {

// A pipe whose ends the child does not inherit unless they are placed on its 1 or 2.
bool OpenPipe(UniqueFd& readEnd, UniqueFd& writeEnd) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    readEnd.Reset(ends[0]);
    writeEnd.Reset(ends[1]);
    return true;
}

// Reads both pipes until both are closed by the child.
void Collect(UniqueFd& outPipe, UniqueFd& errPipe, std::string& out, std::string& err) {
    std::array<char, 4096> buffer{};
    while (outPipe || errPipe) {
        std::array<pollfd, 2> watched{{{outPipe.get(), POLLIN, 0}, {errPipe.get(), POLLIN, 0}}};
        if (::poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        for (std::size_t i = 0; i < watched.size(); ++i) {
            if (watched[i].fd < 0 || watched[i].revents == 0) continue;
            UniqueFd& pipe = i == 0 ? outPipe : errPipe;
            std::string& text = i == 0 ? out : err;
            const ssize_t got = ::read(pipe.get(), buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                pipe.Reset();
                continue;
            }
            const std::size_t room = kMaxProcessOutput - std::min(text.size(), kMaxProcessOutput);
            text.append(buffer.data(), std::min(static_cast<std::size_t>(got), room));
        }
    }
}

// The file actions and their clean-up, so every way out destroys them.
class FileActions {
public:
    FileActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
};

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv) {
    ProcessResult result;
    if (argv.empty()) {
        result.startError = EINVAL;
        return result;
    }
    UniqueFd outRead, outWrite, errRead, errWrite;
    if (!OpenPipe(outRead, outWrite) || !OpenPipe(errRead, errWrite)) {
        result.startError = errno;
        return result;
    }
    FileActions actions;
    ::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(actions.get(), outWrite.get(), 1);
    ::posix_spawn_file_actions_adddup2(actions.get(), errWrite.get(), 2);

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, args[0], actions.get(), nullptr, args.data(), environ);
    outWrite.Reset();
    errWrite.Reset();
    if (spawned != 0) {
        result.startError = spawned;
        return result;
    }
    result.started = true;
    Collect(outRead, errRead, result.out, result.err);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return result;
    }
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    return result;
}

}  // namespace quellstone::platform
