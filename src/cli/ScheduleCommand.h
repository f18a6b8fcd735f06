#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli schedule enable | disable | status: the daily scan of the
// home folder, through the user's systemd (systemctl --user).
class ScheduleCommand final : public Command {
public:
    ScheduleCommand();

protected:
    int Execute(const ParsedArguments& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
