#pragma once

#include <string_view>
#include <vector>

#include "core/autostart/StartedProgram.h"

namespace quellstone::autostart {

// The programs a service manager's unit file (or a drop-in of one) starts:
// those of every command key (ExecStart=, ExecStartPre=, ExecStop=, ...) in
// any section. A value may hold several commands separated by a lone ";".
// Each command's first word, after its unquoting and without the prefixes
// that change how it runs (@ - : + ! !!), is a program; a shell's script is
// followed (see ProgramsOfCommand). A line ending in a backslash goes on in
// the next one and is reported at its first line; lines beginning with # or
// ; are comments, also within a continued line.
std::vector<StartedProgram> ParseUnitFile(std::string_view text);

}  // namespace quellstone::autostart
