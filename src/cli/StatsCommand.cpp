#include "cli/StatsCommand.h"

#include "cli/DatabaseChoice.h"
#include "core/i18n/BuiltInEnglish.h"
#include "core/i18n/LanguageFile.h"
#include "core/settings/SettingsStore.h"
#include "core/settings/Statistics.h"
#include "core/text/DisplayEscape.h"
#include "platform/PosixDirectoryTree.h"
#include "platform/PosixFileStore.h"
#include "platform/RegFileSettingsBackend.h"
#include "platform/SilentDialogs.h"
#include "platform/UserFolders.h"

namespace quellstone::cli {

namespace {

// The last whole-computer scan as stored; while none is, the word for
// "never" in the stored language, as the main window shows it. The stored
// value is left as it is.
std::string LastSystemScanText(settings::SettingsStore& store, ports::FileStore& files,
                               const std::string& programFolder) {
    const settings::SettingKey& key = settings::keys::kLastSystemScan;
    std::string stored = store.Read(key.section, key.name, "");
    if (!stored.empty()) return stored;
    platform::PosixDirectoryTree tree;
    platform::SilentDialogs dialogs;
    i18n::LanguageLoader languages(store, files, tree, dialogs, programFolder);
    i18n::LanguageTable texts;
    // A language file that cannot be read gives the built-in English texts;
    // which file it was is the window's to say, not one line of statistics.
    languages.LoadTexts(languages.StoredLanguage(), texts);
    const std::string& never = texts.Text(i18n::TextId::Never);
    return never.empty() ? i18n::BuiltInEnglishTexts().Text(i18n::TextId::Never) : never;
}

}  // namespace

StatsCommand::StatsCommand()
    : Command({
          .name = "stats",
          .summary = "Show the scan and removal statistics",
          .options = {{"reset", "", "Set the statistics back to 0, 0 and \"-\" (the quarantine is not touched)"}},
          .description = "Shows the statistics as stored: scans started, objects removed and the\n"
                         "date of the last whole-computer scan (while there is none, the word for\n"
                         "\"never\" in the language chosen in the settings).\n",
      }) {}

int StatsCommand::Execute(const ParsedArguments& args, CommandIo& io) {
    platform::PosixFileStore files;
    platform::RegFileSettingsBackend backend(files, platform::SettingsFilePath(platform::ProcessEnvironment()));
    settings::SettingsStore store(backend);
    using namespace settings;
    if (args.Has("reset")) ResetStatistics(store);
    io.out << "Scans started: " << text::EscapeForDisplay(store.Read(settings::keys::kTotalScans)) << '\n'
           << "Objects removed: " << text::EscapeForDisplay(store.Read(settings::keys::kTotalObjectsRemoved)) << '\n'
           << "Last system scan: " << text::EscapeForDisplay(LastSystemScanText(store, files, io.layout.dataFolder))
           << '\n'
           << DatabaseInUseLine(io.layout) << '\n';
    return kExitOk;
}

}  // namespace quellstone::cli
