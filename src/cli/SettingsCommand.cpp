#include "cli/SettingsCommand.h"

#include "core/settings/SettingsStore.h"
#include "core/text/DisplayEscape.h"
#include "platform/PosixFileStore.h"
#include "platform/RegFileSettingsBackend.h"
#include "platform/UserFolders.h"

namespace quellstone::cli {

namespace {

CommandDefinition SettingsDefinition() {
    return {
        .name = "settings",
        .summary = "Read, change or delete a stored setting",
        .actions =
            {
                {"get", {}, {{"SECTION"}, {"NAME"}}, "Prints the value"},
                {"set", {}, {{"SECTION"}, {"NAME"}, {"VALUE"}}, "Stores VALUE"},
                {"delete", {}, {{"SECTION"}, {"NAME"}}, "Deletes the value"},
            },
        .description =
            "Reads, stores or deletes the text value NAME of SECTION under\n"
            "HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone in the settings file\n"
            "$XDG_CONFIG_HOME/Orvanta/registry.reg (else ~/.config/Orvanta/registry.reg).\n"
            "Names match without regard to letter case. The program's own values:\n"
            "  Settings curLang      interface language: English, Polish or Deutsch\n"
            "  Settings Quarintine   0 deletes removed files without a copy; anything\n"
            "                        else, or no value, keeps a copy in quarantine\n"
            "  Settings ScanHidden   0 leaves hidden entries out of the window's scans\n"
            "  Settings ScanNetwork  1 walks network and FUSE file systems in the\n"
            "                        window's whole-computer scans\n"
            "  Status   TotalScans, TotalObjectsRemoved, LastSystemScan\n",
        .details = "Exit status: 0 done, 1 no such value (get, delete), 2 error.\n",
    };
}

}  // namespace

SettingsCommand::SettingsCommand() : Command(SettingsDefinition()) {}

int SettingsCommand::Execute(const ParsedArguments& args, CommandIo& io) {
    const std::string& section = args.positional[0];
    const std::string& name = args.positional[1];
    if (section.empty() || name.empty() || section.find_first_of("\\/") != std::string::npos) {
        Error(io) << "SECTION and NAME must not be empty, and SECTION is one key name\n";
        return kExitError;
    }
    platform::PosixFileStore files;
    platform::RegFileSettingsBackend backend(files, platform::SettingsFilePath(platform::ProcessEnvironment()));
    settings::SettingsStore store(backend);
    const std::string keyPath = settings::BuildKeyPath(settings::kBasePath, settings::kAppName, section);
    const std::string root = settings::RootKeyName(settings::kHkeyCurrentUser);

    if (args.action != "set" && !backend.Query(root, keyPath, name)) {
        Error(io) << text::EscapeForDisplay(section) << " " << text::EscapeForDisplay(name) << " is not set\n";
        return kExitFound;
    }
    if (args.action == "get") {
        io.out << text::EscapeForDisplay(settings::ToText(settings::QueryValue(backend, root, keyPath, name))) << '\n';
        return kExitOk;
    }
    // The store itself reports nothing on failure; here the user must know.
    const bool written = args.action == "set"
                             ? store.WriteSetting(settings::kAppName, section, name, args.positional[2])
                             : store.DeleteSetting(settings::kAppName, section, name);
    if (!written) {
        Error(io) << "could not write " << text::EscapeForDisplay(backend.Path()) << "\n";
        return kExitError;
    }
    return kExitOk;
}

}  // namespace quellstone::cli
