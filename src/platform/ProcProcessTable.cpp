#include "platform/ProcProcessTable.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>

#include "platform/UniqueFd.h"

namespace quellstone::platform {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// The flag in /proc/PID/stat that marks a kernel thread (PF_KTHREAD).
constexpr unsigned long kKernelThread = 0x00200000;
// What the kernel appends to the path of a file that was removed.
constexpr std::string_view kDeletedSuffix = " (deleted)";
// How often a process is looked at while waiting for its end without a pidfd.
constexpr milliseconds kCheckInterval{10};

struct DirCloser {
    void operator()(DIR* folder) const { ::closedir(folder); }
};

// At most kMaxProcFileRead bytes of the regular file `name` in the folder
// `dir` (or AT_FDCWD); nothing when it cannot be opened or is no regular file,
// so a FIFO or a device planted in its place neither blocks nor floods.
std::optional<std::string> ReadAt(int dir, const char* name) {
    const UniqueFd file(::openat(dir, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    struct stat status {};
    if (!file || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    std::string bytes;
    std::array<char, 4096> buffer{};
    while (bytes.size() < kMaxProcFileRead) {
        const std::size_t wanted = std::min(buffer.size(), kMaxProcFileRead - bytes.size());
        const ssize_t got = ::read(file.get(), buffer.data(), wanted);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        bytes.append(buffer.data(), static_cast<std::size_t>(got));
    }
    return bytes;
}

// The target of the symbolic link `name` in the folder `dir`.
std::optional<std::string> LinkAt(int dir, const char* name) {
    std::string target(256, '\0');
    while (true) {
        const ssize_t got = ::readlinkat(dir, name, target.data(), target.size());
        if (got < 0) return std::nullopt;
        // A target that fills the buffer may have been cut short.
        if (static_cast<std::size_t>(got) < target.size()) {
            target.resize(static_cast<std::size_t>(got));
            return target;
        }
        if (target.size() >= kMaxProcFileRead) return std::nullopt;
        target.resize(target.size() * 4);
    }
}

template <typename Number>
std::optional<Number> NumberOf(std::string_view text) {
    Number number{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return number;
}

// The PID a folder of /proc is named after; nothing for the other names.
std::optional<int> PidOf(std::string_view folder) {
    if (folder.empty() || folder.front() < '1' || folder.front() > '9') return std::nullopt;
    return NumberOf<int>(folder);
}

// What is needed of /proc/PID/stat.
struct StatFields {
    char state = '?';
    unsigned long flags = 0;
    std::uint64_t startTime = 0;

    [[nodiscard]] bool Ended() const { return state == 'Z' || state == 'X'; }
};

// The process's name in the second field may hold blanks and parentheses of
// its own, so the fields are counted from the last ')'.
std::optional<StatFields> ParseStat(std::string_view text) {
    const std::size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string_view::npos) return std::nullopt;
    // Fields 3 (state) to 22 (start time).
    std::array<std::string_view, 20> fields;
    std::size_t count = 0;
    std::size_t at = nameEnd + 1;
    while (count < fields.size()) {
        at = text.find_first_not_of(" \n", at);
        if (at == std::string_view::npos) break;
        const std::size_t end = std::min(text.find_first_of(" \n", at), text.size());
        fields[count++] = text.substr(at, end - at);
        at = end;
    }
    if (count < fields.size() || fields[0].size() != 1) return std::nullopt;
    const auto flags = NumberOf<unsigned long>(fields[6]);
    const auto startTime = NumberOf<std::uint64_t>(fields[19]);
    if (!flags || !startTime) return std::nullopt;
    return StatFields{fields[0][0], *flags, *startTime};
}

// Whether `path` names, here, the very file the process runs: a file may
// really be called "... (deleted)", and a process in a container or another
// mount namespace runs a file its path does not name here.
bool NamesRunningFile(int processDir, const std::string& path) {
    struct stat running {};
    struct stat named {};
    return ::fstatat(processDir, "exe", &running, 0) == 0 && ::stat(path.c_str(), &named) == 0 &&
           running.st_dev == named.st_dev && running.st_ino == named.st_ino;
}

enum class Reading { Listed, ListedWithoutFile, LeftOut, NotRead };

// Reads the process of the folder `folder` under the proc root `root`.
Reading ReadProcess(int root, const char* folder, ports::RunningProcess& process) {
    const UniqueFd dir(::openat(root, folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
    if (!dir) return errno == ENOENT || errno == ENOTDIR || errno == ELOOP ? Reading::LeftOut : Reading::NotRead;
    const std::optional<std::string> stat = ReadAt(dir.get(), "stat");
    const std::optional<StatFields> fields = stat ? ParseStat(*stat) : std::nullopt;
    if (!fields) return Reading::NotRead;
    if ((fields->flags & kKernelThread) != 0 || fields->Ended()) return Reading::LeftOut;
    std::optional<std::string> name = ReadAt(dir.get(), "comm");
    if (!name) return Reading::NotRead;
    // The kernel ends the name with a line feed; one inside is the process's own.
    if (name->ends_with('\n')) name->pop_back();
    process.name = std::move(*name);
    process.startTime = fields->startTime;
    if (const std::optional<std::string> arguments = ReadAt(dir.get(), "cmdline"))
        process.firstArgument = arguments->substr(0, arguments->find('\0'));
    std::optional<std::string> executable = LinkAt(dir.get(), "exe");
    if (!executable) {
        process.executableHere = false;
        return Reading::ListedWithoutFile;
    }
    if (executable->ends_with(kDeletedSuffix) && !NamesRunningFile(dir.get(), *executable)) {
        executable->resize(executable->size() - kDeletedSuffix.size());
        process.executableDeleted = true;
    }
    process.executable = std::move(*executable);
    process.executableHere = !process.executableDeleted && NamesRunningFile(dir.get(), process.executable);
    return Reading::Listed;
}

// A process to be ended, held by a pidfd where the kernel offers one.
class Target {
public:
    Target(const std::string& root, const ports::RunningProcess& process)
        : statPath_(root + "/" + std::to_string(process.pid) + "/stat"),
          pid_(process.pid),
          startTime_(process.startTime),
          pidfd_(static_cast<int>(::syscall(SYS_pidfd_open, process.pid, 0))),
          openError_(pidfd_ ? 0 : errno) {}

    // Whether the process has ended, waits for its parent, or its PID now
    // names another process. Checked after the pidfd is open, so a pidfd
    // never holds a process other than the one checked.
    [[nodiscard]] bool Gone() const {
        if (openError_ == ESRCH) return true;
        const std::optional<std::string> stat = ReadAt(AT_FDCWD, statPath_.c_str());
        const std::optional<StatFields> fields = stat ? ParseStat(*stat) : std::nullopt;
        return !fields || fields->startTime != startTime_ || fields->Ended();
    }

    // 0 when `signal` was sent, else the errno.
    [[nodiscard]] int Send(int signal) const {
        const long sent =
            pidfd_ ? ::syscall(SYS_pidfd_send_signal, pidfd_.get(), signal, nullptr, 0) : ::kill(pid_, signal);
        return sent == 0 ? 0 : errno;
    }

    // Whether the process ends within `limit`.
    [[nodiscard]] bool WaitForEnd(milliseconds limit) const {
        const steady_clock::time_point deadline = steady_clock::now() + limit;
        while (true) {
            const milliseconds left = std::chrono::ceil<milliseconds>(deadline - steady_clock::now());
            if (pidfd_) {
                // The pidfd becomes readable once the process has ended.
                pollfd watched{pidfd_.get(), POLLIN, 0};
                const auto timeout = static_cast<int>(std::clamp<milliseconds::rep>(left.count(), 0, INT_MAX));
                const int ready = ::poll(&watched, 1, timeout);
                if (ready >= 0) return ready > 0;
                if (errno != EINTR) return Gone();
            } else {
                if (Gone()) return true;
                if (left <= milliseconds::zero()) return false;
                std::this_thread::sleep_for(std::min(left, kCheckInterval));
            }
        }
    }

private:
    std::string statPath_;
    int pid_;
    std::uint64_t startTime_;
    UniqueFd pidfd_;
    int openError_;
};

}  // namespace

ports::ProcessList ProcProcessTable::List() {
    ports::ProcessList list;
    const std::unique_ptr<DIR, DirCloser> folder(::opendir(root_.c_str()));
    if (!folder) {
        list.listed = false;
        return list;
    }
    while (const dirent* entry = ::readdir(folder.get())) {
        const std::optional<int> pid = PidOf(entry->d_name);
        if (!pid) continue;
        ports::RunningProcess process;
        process.pid = *pid;
        switch (ReadProcess(::dirfd(folder.get()), entry->d_name, process)) {
            case Reading::Listed: list.processes.push_back(std::move(process)); break;
            case Reading::ListedWithoutFile:
                list.processes.push_back(std::move(process));
                ++list.notRead;
                break;
            case Reading::LeftOut: break;
            case Reading::NotRead: ++list.notRead; break;
        }
    }
    std::ranges::sort(list.processes, {}, &ports::RunningProcess::pid);
    return list;
}

ports::StopOutcome ProcProcessTable::Stop(const ports::RunningProcess& process, milliseconds grace) {
    if (process.pid <= 0) return ports::StopOutcome::Failed;
    const Target target(root_, process);
    if (target.Gone()) return ports::StopOutcome::AlreadyGone;
    switch (target.Send(SIGTERM)) {
        case 0: break;
        case ESRCH: return ports::StopOutcome::AlreadyGone;
        case EPERM: return ports::StopOutcome::NotPermitted;
        default: return ports::StopOutcome::Failed;
    }
    if (target.WaitForEnd(grace)) return ports::StopOutcome::Stopped;
    const int killError = target.Send(SIGKILL);
    if (killError == ESRCH) return ports::StopOutcome::Stopped;
    if (killError != 0) return ports::StopOutcome::Failed;
    return target.WaitForEnd(kKillWait) ? ports::StopOutcome::Stopped : ports::StopOutcome::Failed;
}

}  // namespace quellstone::platform
