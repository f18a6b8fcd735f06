#pragma once

#include <cstddef>
#include <string>

namespace quellstone::autostart {

// A program a file starts, as the file writes it (an absolute path or a bare
// name looked up in the search path), and the line that names it (from 1).
struct StartedProgram {
    std::size_t line = 0;
    std::string program;

    bool operator==(const StartedProgram&) const = default;
};

// The most programs taken from one file: a file that names more is cut
// there, so a hostile file cannot grow a scan's list without end.
inline constexpr std::size_t kMaxProgramsPerFile = 1024;

}  // namespace quellstone::autostart
