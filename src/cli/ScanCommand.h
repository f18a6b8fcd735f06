#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli scan [--db FILE] [--json] [--remove] [--skip-hidden] [--exclude PATH]... [--stored-exclusions]
//                     PATH... | --quick | --whole-computer [--network]
class ScanCommand final : public Command {
public:
    ScanCommand();

protected:
    int Execute(const ParsedArguments& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
