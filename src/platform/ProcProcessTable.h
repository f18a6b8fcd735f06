#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <utility>

#include "core/ports/ProcessTable.h"

namespace quellstone::platform {

// The running processes as the proc file system under `procRoot` lists them.
//
// Everything there is the process's own say and may be hostile: names with
// line feeds or bytes that are no UTF-8, a rewritten command line of any
// length, a name that holds ") (". Each file is read through a descriptor of
// the process's folder, so all details come from the same process even if its
// PID is reused meanwhile, and at most kMaxProcFileRead bytes of each.
//
// Stop() signals through a pidfd where the kernel offers one, so the start
// time checked is that of the very process signalled; on older kernels it
// falls back to kill(), where a PID reused between the check and the signal
// cannot be ruled out.
class ProcProcessTable final : public ports::ProcessTable {
public:
    explicit ProcProcessTable(std::string procRoot = "/proc") : root_(std::move(procRoot)) {}
    ports::ProcessList List() override;
    ports::StopOutcome Stop(const ports::RunningProcess& process, std::chrono::milliseconds grace) override;

private:
    std::string root_;
};

// What is read of one file under /proc/PID at most; the rest is ignored.
inline constexpr std::size_t kMaxProcFileRead = 64 * 1024;

// How long Stop() waits for a process to end after SIGKILL.
inline constexpr std::chrono::milliseconds kKillWait{5000};

}  // namespace quellstone::platform
