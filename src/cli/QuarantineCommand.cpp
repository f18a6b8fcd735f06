#include "cli/QuarantineCommand.h"

#include "cli/JsonText.h"
#include "core/quarantine/QuarantineManager.h"
#include "core/text/DisplayEscape.h"
#include "platform/PosixFileOperations.h"
#include "platform/PosixFileStore.h"
#include "platform/SilentDialogs.h"
#include "platform/UserFolders.h"

namespace quellstone::cli {

std::string_view QuarantineCommand::Help() const {
    return "Usage: quellstone-cli quarantine list [--json]\n"
           "       quellstone-cli quarantine restore NAME [DEST]\n"
           "       quellstone-cli quarantine delete NAME\n"
           "\n"
           "The quarantine keeps an exact copy of each file removed while the\n"
           "quarantine switch was on, as NAME.arc in\n"
           "$XDG_DATA_HOME/Orvanta/Quellstone/Archiwum (else ~/.local/share/...),\n"
           "with a record NAME.arc.info of where the file was, what it was\n"
           "detected as and when it was removed.\n"
           "\n"
           "  list      one line per archive: name, detection name, size in bytes,\n"
           "            original path, time of removal (separated by tabs);\n"
           "            --json: one JSON object per line with those fields\n"
           "  restore   copies archive NAME back, then deletes the archive: without\n"
           "            DEST to its original path (never replacing a file there);\n"
           "            DEST a file (replaced only by a complete copy), or a folder\n"
           "            to restore into under the original name\n"
           "  delete    deletes archive NAME for good\n"
           "\n"
           "NAME is an archive's name as listed; a path (with \"/\") or \"..\" is refused.\n"
           "A target inside the quarantine folder is refused.\n"
           "Exit status: 0 done, 2 error.\n";
}

namespace {

void PrintJsonRow(std::ostream& out, const quarantine::QuarantineRow& row) {
    std::string line = "{\"name\": ";
    AppendJsonString(line, row.name);
    line += ", \"detection\": ";
    AppendJsonString(line, row.detection);
    line += ", \"size\": ";
    line += row.size.empty() ? "null" : row.size;
    line += ", \"original_path\": ";
    if (row.originalPath.empty()) {
        line += "null";
    } else {
        AppendJsonString(line, row.originalPath);
    }
    line += ", \"removed_at\": ";
    if (row.removedAt.empty()) {
        line += "null";
    } else {
        AppendJsonString(line, row.removedAt);
    }
    out << line << "}\n";
}

std::string_view RestoreFailure(quarantine::RestoreOutcome outcome) {
    using quarantine::RestoreOutcome;
    switch (outcome) {
        case RestoreOutcome::NoOriginalPath: return "it has no record of its original path; give DEST";
        case RestoreOutcome::TargetTaken: return "a file is already there";
        case RestoreOutcome::InsideQuarantine: return "the target lies in the quarantine folder";
        case RestoreOutcome::NoArchive: return "there is no such archive";
        case RestoreOutcome::Restored:
        case RestoreOutcome::Failed: break;
    }
    return "the copy could not be made";
}

}  // namespace

int QuarantineCommand::Run(const std::vector<std::string>& args, CommandIo& io) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        io.out << Help();
        return kExitClean;
    }
    const std::string action = args.empty() ? "" : args[0];
    const bool json = action == "list" && args.size() == 2 && args[1] == "--json";
    const bool valid = (action == "list" && (args.size() == 1 || json)) ||
                       (action == "restore" && (args.size() == 2 || args.size() == 3)) ||
                       (action == "delete" && args.size() == 2);
    if (!valid) {
        io.err << "quellstone-cli quarantine: expected list [--json], restore NAME [DEST] or delete NAME\n";
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
            if (json) {
                PrintJsonRow(io.out, row);
                continue;
            }
            io.out << text::EscapeForDisplay(row.name) << '\t' << text::EscapeForDisplay(row.detection) << '\t'
                   << row.size << '\t' << text::EscapeForDisplay(row.originalPath) << '\t'
                   << text::EscapeForDisplay(row.removedAt) << '\n';
        }
        return kExitClean;
    }
    const std::string& name = args[1];
    if (fileOperations.KindOf(manager.ArchivePath(name)) != ports::EntryKind::RegularFile) {
        io.err << "quellstone-cli quarantine: no archive named " << text::EscapeForDisplay(name) << "\n";
        return kExitError;
    }
    if (action == "delete") {
        if (manager.DeleteArchive(name)) return kExitClean;
        io.err << "quellstone-cli quarantine: could not delete " << text::EscapeForDisplay(name) << "\n";
        return kExitError;
    }
    const std::optional<std::string> target = args.size() == 3 ? std::optional(args[2]) : std::nullopt;
    const quarantine::RestoreOutcome outcome = manager.RestoreTo(name, target);
    if (outcome == quarantine::RestoreOutcome::Restored) return kExitClean;
    io.err << "quellstone-cli quarantine: could not restore " << text::EscapeForDisplay(name);
    if (target) io.err << " to " << text::EscapeForDisplay(*target);
    io.err << ": " << RestoreFailure(outcome) << " (the archive is kept)\n";
    return kExitError;
}

}  // namespace quellstone::cli
