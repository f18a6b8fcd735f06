#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Command.h"

namespace quellstone::cli {

using CommandList = std::vector<std::unique_ptr<Command>>;

// The program's help: what it does, its commands and its own options.
void WriteProgramUsage(std::ostream& out, const CommandList& commands);

// Runs quellstone-cli with `args` (those after the program's name): the
// program's own options, or the command that the first argument names.
int RunProgram(const std::vector<std::string>& args, const CommandList& commands, std::ostream& out, std::ostream& err);

}  // namespace quellstone::cli
