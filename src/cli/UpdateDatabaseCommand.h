#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli update-database [--server URL]
class UpdateDatabaseCommand final : public Command {
public:
    UpdateDatabaseCommand();

protected:
    int Execute(const ParsedArguments& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
