#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/autostart/AutostartReader.h"
#include "core/ports/ProcessTable.h"
#include "core/scan/DetectionCategory.h"
#include "core/scan/ProcessFile.h"
#include "core/scan/SignatureIndex.h"

namespace quellstone::app {

// The detection that names a running process, if any: the file it runs, by
// its name and its path (also when the file was deleted), then the name it
// gives itself, then the file name of its first argument. `byFile`: named
// by the file it runs, so that removing the process may remove that file;
// by its name or first argument, the file may be an interpreter or any
// program the process borrowed, which stays.
struct ProcessMatch {
    std::string_view detection;  // empty when clean
    bool byFile = false;
};
ProcessMatch DetectProcess(const scan::SignatureIndex& index, const ports::RunningProcess& process);

// The detection that names a program started by itself (by its file name, and
// by its path when the entry gives an absolute one); empty when clean.
std::string_view DetectStartedProgram(const scan::SignatureIndex& index, std::string_view program);

// A process as reports name it: the file it runs ("... (deleted)" when it was
// removed), else its first argument, else its own name.
std::string ProcessShownPath(const ports::RunningProcess& process);

// How many processes and autostart entries a scan looked at, and how many of
// each it could not read (no error: a user may not inspect every process).
struct SystemCheckCounts {
    bool processesChecked = false;
    bool processesUnknown = false;  // not even the list of processes could be read
    bool autostartChecked = false;
    std::size_t processes = 0;
    std::size_t processesNotRead = 0;
    std::size_t autostartEntries = 0;
    std::size_t autostartNotRead = 0;
};

}  // namespace quellstone::app
