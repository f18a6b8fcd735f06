#pragma once

#include "core/ports/ProcessTable.h"

namespace quellstone::scan {

// Whether removing a detected process also removes the file it runs: only
// when that file is what named it (`byFile`; a process named by its own name
// or first argument may run an interpreter or any program it borrowed), the
// file is still there, and its path names that very file here too (not in
// a container, a chroot or another mount namespace).
constexpr bool RemovesFileOf(const ports::RunningProcess& process, bool byFile) {
    return byFile && process.executableHere && !process.executable.empty() && !process.executableDeleted;
}

}  // namespace quellstone::scan
