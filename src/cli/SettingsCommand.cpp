#include "cli/SettingsCommand.h"

#include "core/settings/SettingsStore.h"
#include "core/settings/Statistics.h"
#include "core/text/DisplayEscape.h"
#include "platform/PosixFileStore.h"
#include "platform/RegFileSettingsBackend.h"
#include "platform/UserFolders.h"

namespace quellstone::cli {

namespace {

bool WantsHelp(const std::vector<std::string>& args) {
    return !args.empty() && (args[0] == "--help" || args[0] == "-h");
}

}  // namespace

std::string_view SettingsCommand::Help() const {
    return "Usage: quellstone-cli settings get SECTION NAME\n"
           "       quellstone-cli settings set SECTION NAME VALUE\n"
           "       quellstone-cli settings delete SECTION NAME\n"
           "\n"
           "Reads, stores or deletes the text value NAME of SECTION under\n"
           "HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone in the settings file\n"
           "$XDG_CONFIG_HOME/Orvanta/registry.reg (else ~/.config/Orvanta/registry.reg).\n"
           "Names match without regard to letter case. The program's own values:\n"
           "  Settings curLang      interface language: English, Polish or Deutsch\n"
           "  Settings Quarintine   1 keeps a copy of each removed file in quarantine\n"
           "  Status   TotalScans, TotalObjectsRemoved, LastSystemScan\n"
           "\n"
           "Exit status: 0 done, 1 no such value (get, delete), 2 error.\n";
}

int SettingsCommand::Run(const std::vector<std::string>& args, CommandIo& io) {
    if (WantsHelp(args)) {
        io.out << Help();
        return kExitClean;
    }
    const std::string action = args.empty() ? "" : args[0];
    const std::size_t expected = action == "set" ? 4 : 3;
    if ((action != "get" && action != "set" && action != "delete") || args.size() != expected) {
        io.err << "quellstone-cli settings: expected get SECTION NAME, set SECTION NAME VALUE or delete SECTION NAME\n";
        return kExitError;
    }
    const std::string& section = args[1];
    const std::string& name = args[2];
    if (section.empty() || name.empty() || section.find_first_of("\\/") != std::string::npos) {
        io.err << "quellstone-cli settings: SECTION and NAME must not be empty, and SECTION is one key name\n";
        return kExitError;
    }

    platform::PosixFileStore files;
    platform::RegFileSettingsBackend backend(files, platform::SettingsFilePath(platform::ProcessEnvironment()));
    settings::SettingsStore store(backend);
    const std::string keyPath = settings::BuildKeyPath(settings::kBasePath, settings::kAppName, section);
    const std::string root = settings::RootKeyName(settings::kHkeyCurrentUser);

    if (action == "get") {
        const std::optional<ports::SettingsBackend::Value> stored = backend.Query(root, keyPath, name);
        if (!stored) {
            io.err << "quellstone-cli settings: " << text::EscapeForDisplay(section) << " "
                   << text::EscapeForDisplay(name) << " is not set\n";
            return kExitDetections;
        }
        io.out << text::EscapeForDisplay(settings::ToText(settings::QueryValue(backend, root, keyPath, name))) << '\n';
        return kExitClean;
    }
    if (action == "set") {
        // The store itself reports nothing on failure; here the user must know.
        if (!store.WriteSetting(settings::kAppName, section, name, args[3])) {
            io.err << "quellstone-cli settings: could not write " << text::EscapeForDisplay(backend.Path()) << "\n";
            return kExitError;
        }
        return kExitClean;
    }
    if (!backend.Query(root, keyPath, name)) {
        io.err << "quellstone-cli settings: " << text::EscapeForDisplay(section) << " " << text::EscapeForDisplay(name)
               << " is not set\n";
        return kExitDetections;
    }
    if (!store.DeleteSetting(settings::kAppName, section, name)) {
        io.err << "quellstone-cli settings: could not write " << text::EscapeForDisplay(backend.Path()) << "\n";
        return kExitError;
    }
    return kExitClean;
}

std::string_view StatsCommand::Help() const {
    return "Usage: quellstone-cli stats [--reset]\n"
           "\n"
           "Shows the statistics as stored: scans started, objects removed and the\n"
           "date of the last whole-computer scan. --reset sets them back to 0, 0\n"
           "and \"-\" (the quarantine is not touched).\n";
}

int StatsCommand::Run(const std::vector<std::string>& args, CommandIo& io) {
    if (WantsHelp(args)) {
        io.out << Help();
        return kExitClean;
    }
    const bool reset = !args.empty() && args[0] == "--reset";
    // The first argument beyond an optional --reset is the unexpected one.
    if (const std::size_t allowed = reset ? 1 : 0; args.size() > allowed) {
        io.err << "quellstone-cli stats: unexpected argument " << text::EscapeForDisplay(args[allowed]) << "\n";
        return kExitError;
    }
    platform::PosixFileStore files;
    platform::RegFileSettingsBackend backend(files, platform::SettingsFilePath(platform::ProcessEnvironment()));
    settings::SettingsStore store(backend);
    using namespace settings;
    if (reset) ResetStatistics(store);
    io.out << "Scans started: " << text::EscapeForDisplay(store.Read(settings::keys::kTotalScans)) << '\n'
           << "Objects removed: " << text::EscapeForDisplay(store.Read(settings::keys::kTotalObjectsRemoved)) << '\n'
           << "Last system scan: " << text::EscapeForDisplay(store.Read(settings::keys::kLastSystemScan)) << '\n';
    return kExitClean;
}

}  // namespace quellstone::cli
