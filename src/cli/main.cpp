#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/QuarantineCommand.h"
#include "cli/ScanCommand.h"
#include "cli/SettingsCommand.h"
#include "cli/UpdateCheckCommand.h"
#include "core/update/Version.h"
#include "core/text/DisplayEscape.h"
#include "platform/ExecutableFolder.h"

namespace {

using quellstone::cli::Command;

std::vector<std::unique_ptr<Command>> AllCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<quellstone::cli::ScanCommand>());
    commands.push_back(std::make_unique<quellstone::cli::QuarantineCommand>());
    commands.push_back(std::make_unique<quellstone::cli::SettingsCommand>());
    commands.push_back(std::make_unique<quellstone::cli::StatsCommand>());
    commands.push_back(std::make_unique<quellstone::cli::UpdateCheckCommand>());
    return commands;
}

void PrintUsage(std::ostream& out, const std::vector<std::unique_ptr<Command>>& commands) {
    out << "Usage: quellstone-cli COMMAND [ARGS]\n"
           "\n"
           "Quellstone looks the name of every file and folder up in its signature\n"
           "database of trojan and backdoor file names.\n"
           "\n"
           "Commands:\n";
    for (const auto& command : commands) {
        const std::size_t width = std::max<std::size_t>(command->Name().size() + 2, 14);
        out << "  " << command->Name() << std::string(width - command->Name().size(), ' ') << command->Summary()
            << '\n';
    }
    out << "\n"
           "Options:\n"
           "  --help      Show this help\n"
           "  --version   Show the version\n"
           "\n"
           "Run 'quellstone-cli COMMAND --help' for the options of a command.\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto commands = AllCommands();

    if (args.empty()) {
        PrintUsage(std::cerr, commands);
        return quellstone::cli::kExitError;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        PrintUsage(std::cout, commands);
        return quellstone::cli::kExitClean;
    }
    if (args[0] == "--version") {
        std::cout << "Quellstone " << quellstone::update::VersionText(quellstone::update::BuildVersion()) << '\n';
        return quellstone::cli::kExitClean;
    }
    for (const auto& command : commands) {
        if (command->Name() != args[0]) continue;
        // Every command reads the program folder (database, vendor.ini): without it, nothing runs.
        const std::optional<std::string> folder = quellstone::platform::ExecutableFolder();
        if (!folder) {
            std::cerr << "quellstone-cli: " << quellstone::platform::kNoProgramFolderMessage << '\n';
            return quellstone::cli::kExitError;
        }
        quellstone::cli::CommandIo io{std::cout, std::cerr, *folder};
        const int status = command->Run(std::vector<std::string>(args.begin() + 1, args.end()), io);
        std::cout.flush();
        // Output that could not be written (a full disk, a closed pipe) is a failure, whatever was found.
        if (!std::cout) {
            std::cerr << "quellstone-cli: could not write the output\n";
            return quellstone::cli::kExitError;
        }
        return status;
    }
    std::cerr << "quellstone-cli: unknown command '" << quellstone::text::EscapeForDisplay(args[0])
              << "' (see quellstone-cli --help)\n";
    return quellstone::cli::kExitError;
}
