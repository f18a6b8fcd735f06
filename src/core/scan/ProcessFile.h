#pragma once

#include "core/ports/ProcessTable.h"

namespace quellstone::scan {

// Whether removing a detected process also removes the file it runs: only
// when that file is what named it (`byFile`; a process named by its own name
// or first argument may run an interpreter or any program it borrowed), the
// file is still there, and its path means the same file here as in the
// process (not one in a container or a chroot).
constexpr bool RemovesFileOf(const ports::RunningProcess& process, bool byFile) {
    return byFile && process.sharesOurRoot && !process.executable.empty() && !process.executableDeleted;
}

}  // namespace quellstone::scan
