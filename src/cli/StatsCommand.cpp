#include "cli/StatsCommand.h"

#include "core/settings/SettingsStore.h"
#include "core/settings/Statistics.h"
#include "core/text/DisplayEscape.h"
#include "platform/PosixFileStore.h"
#include "platform/RegFileSettingsBackend.h"
#include "platform/UserFolders.h"

namespace quellstone::cli {

StatsCommand::StatsCommand()
    : Command({
          .name = "stats",
          .summary = "Show the scan and removal statistics",
          .options = {{"reset", "", "Set the statistics back to 0, 0 and \"-\" (the quarantine is not touched)"}},
          .description = "Shows the statistics as stored: scans started, objects removed and the\n"
                         "date of the last whole-computer scan.\n",
      }) {}

int StatsCommand::Execute(const ParsedArguments& args, CommandIo& io) {
    platform::PosixFileStore files;
    platform::RegFileSettingsBackend backend(files, platform::SettingsFilePath(platform::ProcessEnvironment()));
    settings::SettingsStore store(backend);
    using namespace settings;
    if (args.Has("reset")) ResetStatistics(store);
    io.out << "Scans started: " << text::EscapeForDisplay(store.Read(settings::keys::kTotalScans)) << '\n'
           << "Objects removed: " << text::EscapeForDisplay(store.Read(settings::keys::kTotalObjectsRemoved)) << '\n'
           << "Last system scan: " << text::EscapeForDisplay(store.Read(settings::keys::kLastSystemScan)) << '\n';
    return kExitOk;
}

}  // namespace quellstone::cli
