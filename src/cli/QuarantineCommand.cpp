#include "cli/QuarantineCommand.h"

#include "core/quarantine/QuarantineManager.h"
#include "core/text/DisplayEscape.h"
#include "platform/PosixFileOperations.h"
#include "platform/PosixFileStore.h"
#include "platform/SilentDialogs.h"
#include "platform/UserFolders.h"

namespace quellstone::cli {

std::string_view QuarantineCommand::Help() const {
    return "Usage: quellstone-cli quarantine list\n"
           "       quellstone-cli quarantine restore NAME DEST\n"
           "       quellstone-cli quarantine delete NAME\n"
           "\n"
           "The quarantine keeps an exact copy of each file removed while the\n"
           "quarantine switch was on, as NAME.arc in\n"
           "$XDG_DATA_HOME/Orvanta/Quellstone/Archiwum (else ~/.local/share/...).\n"
           "\n"
           "  list      one line per archive: name, detection name, size in bytes\n"
           "            (separated by tabs)\n"
           "  restore   copies archive NAME to DEST (a file, replaced only by a\n"
           "            complete copy, or a folder to restore into under the\n"
           "            original name), then deletes the archive\n"
           "  delete    deletes archive NAME for good\n"
           "\n"
           "NAME is an archive's name as listed; a path (with \"/\") or \"..\" is refused.\n"
           "Exit status: 0 done, 2 error.\n";
}

int QuarantineCommand::Run(const std::vector<std::string>& args, CommandIo& io) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        io.out << Help();
        return kExitClean;
    }
    const std::string action = args.empty() ? "" : args[0];
    const std::size_t expected = action == "list" ? 1 : action == "restore" ? 3 : action == "delete" ? 2 : 0;
    if (expected == 0 || args.size() != expected) {
        io.err << "quellstone-cli quarantine: expected list, restore NAME DEST or delete NAME\n";
        return kExitError;
    }
    if (action != "list" && !quarantine::IsPlainFileName(args[1])) {
        io.err << "quellstone-cli quarantine: " << text::EscapeForDisplay(args[1])
               << " is not the name of an archive in the quarantine folder\n";
        return kExitError;
    }

    const platform::EnvironmentReader environment = platform::ProcessEnvironment();
    platform::PosixFileStore files;
    platform::PosixFileOperations fileOperations;
    const settings::ProgramPaths paths = platform::LinuxProgramPaths(environment);
    scan::SignatureDatabase signatures(files, io.programFolder);
    platform::SilentDialogs dialogs;  // restore takes its target as an argument
    quarantine::QuarantineManager manager(fileOperations, signatures, dialogs, paths);

    if (action == "list") {
        manager.Rebuild();
        for (const quarantine::QuarantineRow& row : manager.Rows()) {
            io.out << text::EscapeForDisplay(row.name) << '\t' << text::EscapeForDisplay(row.detection) << '\t'
                   << row.size << '\n';
        }
        return kExitClean;
    }
    const std::string& name = args[1];
    if (fileOperations.TypeOf(manager.ArchivePath(name)) != ports::EntryType::RegularFile) {
        io.err << "quellstone-cli quarantine: no archive named " << text::EscapeForDisplay(name) << "\n";
        return kExitError;
    }
    if (action == "delete") {
        if (fileOperations.Remove(manager.ArchivePath(name))) return kExitClean;
        io.err << "quellstone-cli quarantine: could not delete " << text::EscapeForDisplay(name) << "\n";
        return kExitError;
    }
    if (manager.RestoreTo(name, args[2])) return kExitClean;
    io.err << "quellstone-cli quarantine: could not restore " << text::EscapeForDisplay(name) << " to "
           << text::EscapeForDisplay(args[2]) << " (the archive is kept)\n";
    return kExitError;
}

}  // namespace quellstone::cli
