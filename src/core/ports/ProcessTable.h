#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quellstone::ports {

// A running process as the system describes it. Every text is bytes as the
// system gives them, neither decoded nor checked.
struct RunningProcess {
    int pid = 0;
    std::string name{};  // the process's own name (/proc/PID/comm), which it may change at will
    // The path of the file it runs, as seen from the process's root, without
    // the " (deleted)" the system adds to a file that was removed; empty when
    // it could not be read.
    std::string executable{};
    bool executableDeleted = false;  // the file it runs was removed (or never had a name, as a memfd)
    std::string firstArgument{};     // argv[0], up to its first NUL byte; the process may have rewritten it
    // When the process started, in the system's clock ticks since boot: it
    // tells this process from a later one that was given the same PID.
    std::uint64_t startTime = 0;
    // `executable` names, for this program, the very file the process runs;
    // false when it was deleted, and for a process in a container, a chroot
    // or another mount namespace, where the same path is another file here.
    bool executableHere = true;

    bool operator==(const RunningProcess&) const = default;
};

// The processes running at the time of a listing.
//
// Kernel threads run no file and are left out; so are processes that have
// ended and wait for their parent to collect them, and those that end before
// they are reached.
//
// `notRead` counts the processes that could not be inspected in full, which
// is an ordinary outcome for a user who is not root, not an error:
//  - those left out because not even their name and start time could be read
//    (the system does not let the user see them, or they ended while being
//    read), and
//  - those listed with an empty `executable`: their name is known, but the
//    file they run is hidden from the user.
// So a caller can say "N processes could not be inspected" with N = notRead,
// and still look up every listed process by its name.
struct ProcessList {
    std::vector<RunningProcess> processes;  // in PID order
    std::size_t notRead = 0;
    bool listed = true;  // false: the system's list of processes could not be read at all
};

// How an attempt to end a process went.
enum class StopOutcome {
    Stopped,       // it ended after our signal
    AlreadyGone,   // it had ended before, or its PID now belongs to another process, which was left alone
    NotPermitted,  // the user may not signal it
    Failed,        // it was signalled but did not end, or the system refused for another reason
};

// The running processes, and the means to end one.
class ProcessTable {
public:
    virtual ~ProcessTable() = default;
    virtual ProcessList List() = 0;
    // Ends `process` if it is still the same process (same PID and start
    // time): asks it to end (SIGTERM) and, when it has not ended after
    // `grace`, ends it by force (SIGKILL). Returns once it has ended, or
    // after a bounded wait when even the force does not end it at once.
    virtual StopOutcome Stop(const RunningProcess& process, std::chrono::milliseconds grace) = 0;
};

}  // namespace quellstone::ports
