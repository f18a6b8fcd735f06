#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli scan [--db FILE] [--json] [--remove] [--hidden] [--exclude PATH]... [--stored-exclusions]
//                     PATH... | --quick | --whole-computer
class ScanCommand final : public Command {
public:
    ScanCommand();

protected:
    int Execute(const ParsedArguments& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
