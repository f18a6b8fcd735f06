#pragma once

#include <string_view>
#include <vector>

#include "core/autostart/StartedProgram.h"

namespace quellstone::autostart {

// The libraries the dynamic loader's preload list (/etc/ld.so.preload) puts
// into every program: each word of the file, words separated by blanks, line
// ends or ":"; a "#" begins a comment that runs to the end of its line.
std::vector<StartedProgram> ParsePreloadList(std::string_view text);

}  // namespace quellstone::autostart
