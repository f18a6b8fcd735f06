#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quellstone::platform {

// How a program run to its end went.
struct ProcessResult {
    bool started = false;
    int startError = 0;   // errno of the start when it failed (ENOENT: not found on PATH)
    int exitStatus = -1;  // -1 when it was ended by a signal
    std::string out;      // its standard output, at most kMaxProcessOutput bytes
    std::string err;      // its standard error, likewise
};

// Output beyond this is read and dropped, so a chatty program cannot fill the memory.
inline constexpr std::size_t kMaxProcessOutput = 1024 * 1024;

// Runs `argv[0]`, found on PATH as a shell would find it but without a shell
// (no word splitting, no expansions), with `argv` as its arguments, standard
// input from /dev/null, and waits for it while collecting both outputs.
ProcessResult RunProcess(const std::vector<std::string>& argv);

}  // namespace quellstone::platform
