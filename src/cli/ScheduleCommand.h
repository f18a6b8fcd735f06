#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli schedule enable | disable | status [--system]: the daily
// scan of the home folder, through the user's systemd (systemctl --user), or
// with --system the system's daily update and scan of the whole computer.
class ScheduleCommand final : public Command {
public:
    ScheduleCommand();

protected:
    int Execute(const ParsedArguments& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
