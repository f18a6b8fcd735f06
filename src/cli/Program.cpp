#include "cli/Program.h"

#include <optional>

#include "cli/DatabaseChoice.h"
#include "cli/HelpText.h"
#include "core/text/DisplayEscape.h"
#include "core/update/Version.h"
#include "platform/ExecutableFolder.h"

namespace quellstone::cli {

void WriteProgramUsage(std::ostream& out, const CommandList& commands) {
    out << "Usage: quellstone-cli COMMAND [ARGS]\n"
           "\n"
           "Quellstone looks the name of every file and folder up in its signature\n"
           "database of trojan and backdoor file names.\n"
           "\n"
           "Commands:\n";
    std::vector<TableRow> rows;
    for (const auto& command : commands) rows.push_back({std::string(command->Name()), command->Summary()});
    WriteTable(out, rows);
    out << "\n"
           "Options:\n";
    const std::vector<TableRow> options{{"-h, --help", "Show this help"}, {"    --version", "Show the version"}};
    WriteTable(out, options);
    out << "\n"
           "Run 'quellstone-cli COMMAND --help' for the options of a command. Options\n"
           "may come before or after the arguments; after \"--\" every word is an\n"
           "argument, also one that begins with \"-\".\n";
}

int RunProgram(const std::vector<std::string>& args, const CommandList& commands, std::ostream& out,
               std::ostream& err) {
    if (args.empty()) {
        WriteProgramUsage(err, commands);
        return kExitError;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        WriteProgramUsage(out, commands);
        return kExitOk;
    }
    if (args[0] == "--version") {
        out << update::ProgramVersionLine() << '\n';
        // Which database scans use, when the program can find its own.
        if (const std::optional<std::string> folder = platform::ExecutableFolder())
            out << DatabaseInUseLine(platform::FindInstallLayout(*folder)) << '\n';
        return kExitOk;
    }
    for (const auto& command : commands) {
        if (command->Name() != args[0]) continue;
        // Every command reads the program folder (database, vendor.ini): without it, nothing runs.
        const std::optional<std::string> folder = platform::ExecutableFolder();
        if (!folder) {
            err << "quellstone-cli: " << platform::kNoProgramFolderMessage << '\n';
            return kExitError;
        }
        CommandIo io{out, err, *folder, platform::FindInstallLayout(*folder)};
        const int status = command->Run(std::vector<std::string>(args.begin() + 1, args.end()), io);
        out.flush();
        // Output that could not be written (a full disk, a closed pipe) is a failure, whatever was found.
        if (!out) {
            err << "quellstone-cli: could not write the output\n";
            return kExitError;
        }
        return status;
    }
    err << "quellstone-cli: unknown command '" << text::EscapeForDisplay(args[0]) << "' (see quellstone-cli --help)\n";
    return kExitError;
}

}  // namespace quellstone::cli
