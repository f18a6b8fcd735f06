#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli database check FILE: the lines of a signature database that
// a scan skips or never reaches, with its version and entry counts.
class DatabaseCheckCommand final : public Command {
public:
    DatabaseCheckCommand();

protected:
    int Execute(const ParsedArguments& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
