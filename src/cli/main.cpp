#include <signal.h>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/DatabaseCheckCommand.h"
#include "cli/Program.h"
#include "cli/QuarantineCommand.h"
#include "cli/ScanCommand.h"
#include "cli/ScheduleCommand.h"
#include "cli/SettingsCommand.h"
#include "cli/StatsCommand.h"
#include "cli/UpdateCheckCommand.h"
#include "cli/UpdateDatabaseCommand.h"

namespace {

// Every command of quellstone-cli, in the order its help lists them.
quellstone::cli::CommandList AllCommands() {
    quellstone::cli::CommandList commands;
    commands.push_back(std::make_unique<quellstone::cli::ScanCommand>());
    commands.push_back(std::make_unique<quellstone::cli::QuarantineCommand>());
    commands.push_back(std::make_unique<quellstone::cli::SettingsCommand>());
    commands.push_back(std::make_unique<quellstone::cli::StatsCommand>());
    commands.push_back(std::make_unique<quellstone::cli::UpdateCheckCommand>());
    commands.push_back(std::make_unique<quellstone::cli::UpdateDatabaseCommand>());
    commands.push_back(std::make_unique<quellstone::cli::ScheduleCommand>());
    commands.push_back(std::make_unique<quellstone::cli::DatabaseCheckCommand>());
    return commands;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // A write past the file-size limit fails with EFBIG, which a removal
    // reports as no space for its copy, instead of killing the program.
    ::signal(SIGXFSZ, SIG_IGN);
    return quellstone::cli::RunProgram(std::vector<std::string>(argv + 1, argv + argc), AllCommands(), std::cout,
                                       std::cerr);
}
