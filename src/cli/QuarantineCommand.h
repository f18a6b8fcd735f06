#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli quarantine list [--json] | restore NAME [DEST] | delete NAME
class QuarantineCommand final : public Command {
public:
    QuarantineCommand();

protected:
    int Execute(const ParsedArguments& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
