#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli stats [--reset]: the statistics as stored.
class StatsCommand final : public Command {
public:
    StatsCommand();

protected:
    int Execute(const ParsedArguments& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
