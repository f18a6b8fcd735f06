#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli update-check [--server URL]
class UpdateCheckCommand final : public Command {
public:
    UpdateCheckCommand();

protected:
    int Execute(const ParsedArguments& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
