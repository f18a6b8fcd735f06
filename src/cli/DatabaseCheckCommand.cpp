#include "cli/DatabaseCheckCommand.h"

#include <string>
#include <utility>

#include "core/text/DisplayEscape.h"
#include "core/text/Utf8.h"
#include "core/update/DatabaseCheck.h"
#include "platform/PosixFileStore.h"

namespace quellstone::cli {

namespace {

CommandDefinition DatabaseDefinition() {
    return {
        .name = "database",
        .summary = "Check a signature database for lines a scan skips",
        .actions =
            {
                {"check",
                 {},
                 {{"FILE"}},
                 "Prints each line of FILE that a scan skips or never reaches as FILE:LINE: warning: ..., then "
                 "the version, the number of entries of each section and the number of warnings"},
            },
        .description =
            "For the keeper of a signature database (bdts.dll). FILE is read as a scan\n"
            "reads it: only the first section of a name counts, and in [Scanfiles] the\n"
            "first line of a name wins. Warned of: a second [Scanfiles], [Scanpaths]\n"
            "or [Database] section; a line without \"=\"; a name or pattern given\n"
            "again; an entry without a detection name; a [Scanpaths] key that is not\n"
            "an absolute path; a pattern a [Scanfiles] entry always wins over; a\n"
            "[Database] Version that is not a version.\n",
        .details =
            "Exit status: 0 no warnings, 1 warnings, 2 FILE cannot be read or has no\n"
            "[Scanfiles] section.\n",
    };
}

}  // namespace

DatabaseCheckCommand::DatabaseCheckCommand() : Command(DatabaseDefinition()) {}

int DatabaseCheckCommand::Execute(const ParsedArguments& args, CommandIo& io) {
    const std::string& path = args.positional[0];
    const std::string shownPath = text::EscapeForDisplay(path);
    platform::PosixFileStore files;
    ports::FileContent content = files.ReadFile(path);
    if (content.status != ports::ReadStatus::Ok) {
        Error(io) << "cannot read " << shownPath << '\n';
        return kExitError;
    }
    const update::DatabaseCheckResult result = update::CheckDatabase(text::DecodeTextFile(std::move(content.bytes)));
    if (!result.hasNameSection) {
        Error(io) << shownPath << " is not a signature database (it has no [Scanfiles] section)\n";
        return kExitError;
    }
    for (const update::DatabaseFinding& finding : result.findings) {
        io.out << shownPath << ':' << finding.line << ": warning: " << update::DescribeFinding(finding) << '\n';
    }
    io.out << "Version: "
           << (!result.version
                   ? std::string("none")
                   : text::EscapeForDisplay(*result.version) + (result.versionValid ? "" : " (not a version)"))
           << '\n'
           << "[Scanfiles] names: " << result.names << '\n'
           << "[Scanpaths] patterns: " << result.patterns << ", keys skipped: " << result.skippedPatterns << '\n'
           << "Warnings: " << result.findings.size() << '\n';
    return result.findings.empty() ? kExitOk : kExitFound;
}

}  // namespace quellstone::cli
