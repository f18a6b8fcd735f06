#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli settings get SECTION NAME | set SECTION NAME VALUE | delete SECTION NAME
// on the product key HKEY_CURRENT_USER\SOFTWARE\Orvanta\Quellstone\SECTION (text values).
class SettingsCommand final : public Command {
public:
    SettingsCommand();

protected:
    int Execute(const ParsedArguments& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
