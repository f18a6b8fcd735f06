#include "cli/QuarantineCommand.h"

#include "cli/DatabaseChoice.h"
#include "cli/JsonText.h"
#include "core/quarantine/QuarantineManager.h"
#include "core/text/DisplayEscape.h"
#include "platform/PosixFileOperations.h"
#include "platform/PosixFileStore.h"
#include "platform/SilentDialogs.h"
#include "platform/UserFolders.h"

namespace quellstone::cli {

namespace {

CommandDefinition QuarantineDefinition() {
    using Count = Argument::Count;
    return {
        .name = "quarantine",
        .summary = "List, restore or delete quarantined files",
        .options = {{"json", "", "With list: one JSON object per archive, with the same fields"}},
        .actions =
            {
                {"list",
                 {"json"},
                 {},
                 "One line per archive: name, detection name, size in bytes, original path, time of removal "
                 "(separated by tabs), and for a symbolic link kept as one, \"link to\" and its target"},
                {"restore",
                 {},
                 {{"NAME"}, {"DEST", Count::Optional}},
                 "Copies archive NAME back, then deletes the archive: without DEST to its original path (never "
                 "replacing a file there); DEST a file (replaced only by a complete copy), or a folder to restore "
                 "into under the original name"},
                {"delete", {}, {{"NAME"}}, "Deletes archive NAME for good"},
            },
        .description =
            "The quarantine keeps an exact copy of each file removed while the\n"
            "quarantine switch was on (of a symbolic link, the link: restored, it\n"
            "points where it pointed), as NAME.arc in\n"
            "$XDG_DATA_HOME/Orvanta/Quellstone/Archiwum (else ~/.local/share/...),\n"
            "with a record NAME.arc.info of where the file was, what it was\n"
            "detected as and when it was removed.\n",
        .details =
            "NAME is an archive's name as listed; a path (with \"/\") or \"..\" is refused.\n"
            "A target inside the quarantine folder is refused.\n"
            "Exit status: 0 done, 2 error.\n",
    };
}

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
    line += ", \"link_target\": ";
    if (row.linkTarget.empty()) {
        line += "null";
    } else {
        AppendJsonString(line, row.linkTarget);
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

// One line per archive in name order: tab-separated text, or JSON.
void List(quarantine::QuarantineManager& manager, bool json, std::ostream& out) {
    manager.Rebuild();
    for (const quarantine::QuarantineRow& row : manager.Rows()) {
        if (json) {
            PrintJsonRow(out, row);
            continue;
        }
        out << text::EscapeForDisplay(row.name) << '\t' << text::EscapeForDisplay(row.detection) << '\t' << row.size
            << '\t' << text::EscapeForDisplay(row.originalPath) << '\t' << text::EscapeForDisplay(row.removedAt);
        if (!row.linkTarget.empty()) out << "\tlink to " << text::EscapeForDisplay(row.linkTarget);
        out << '\n';
    }
}

}  // namespace

QuarantineCommand::QuarantineCommand() : Command(QuarantineDefinition()) {}

int QuarantineCommand::Execute(const ParsedArguments& args, CommandIo& io) {
    if (args.action != "list" && !quarantine::IsPlainFileName(args.positional[0])) {
        Error(io) << text::EscapeForDisplay(args.positional[0])
                  << " is not the name of an archive in the quarantine folder\n";
        return kExitError;
    }
    const platform::EnvironmentReader environment = platform::ProcessEnvironment();
    platform::PosixFileStore files;
    platform::PosixFileOperations fileOperations;
    scan::SignatureDatabase signatures(files, io.layout.dataFolder);
    platform::SilentDialogs dialogs;  // restore takes its target as an argument
    quarantine::QuarantineManager manager(fileOperations, files, signatures, dialogs,
                                          platform::LinuxProgramPaths(environment, io.layout));
    if (args.action == "list") {
        UseDatabaseInUse(signatures, io);  // the detection names come from it
        List(manager, args.Has("json"), io.out);
        return kExitOk;
    }
    const std::string& name = args.positional[0];
    if (fileOperations.KindOf(manager.ArchivePath(name)) != ports::EntryKind::RegularFile) {
        Error(io) << "no archive named " << text::EscapeForDisplay(name) << "\n";
        return kExitError;
    }
    if (args.action == "delete") {
        if (manager.DeleteArchive(name)) return kExitOk;
        Error(io) << "could not delete " << text::EscapeForDisplay(name) << "\n";
        return kExitError;
    }
    const std::optional<std::string> target =
        args.positional.size() == 2 ? std::optional(args.positional[1]) : std::nullopt;
    const quarantine::RestoreOutcome outcome = manager.RestoreTo(name, target);
    if (outcome == quarantine::RestoreOutcome::Restored) return kExitOk;
    Error(io) << "could not restore " << text::EscapeForDisplay(name);
    if (target) io.err << " to " << text::EscapeForDisplay(*target);
    io.err << ": " << RestoreFailure(outcome) << " (the archive is kept)\n";
    return kExitError;
}

}  // namespace quellstone::cli
