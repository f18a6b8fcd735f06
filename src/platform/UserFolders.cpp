#include "platform/UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/ExecutableFolder.h"
#include "platform/PosixFileStore.h"

namespace quellstone::platform {

namespace {

// Whether `folder` -- or, while it does not exist, the folder above it -- is
// a folder of root's, not a link, that no one else may write to.
bool OwnedByRootAlone(const std::string& folder) {
    std::string checked = folder;
    struct stat status {};
    if (::lstat(checked.c_str(), &status) != 0) {
        const std::size_t slash = checked.rfind('/');
        checked = slash == 0 ? "/" : checked.substr(0, slash);
        if (::lstat(checked.c_str(), &status) != 0) return false;
    }
    return S_ISDIR(status.st_mode) && status.st_uid == 0 && (status.st_mode & 022) == 0;
}

std::string HomeFolder(const EnvironmentReader& environment) {
    std::string home = environment("HOME");
    if (!home.empty()) return home;
    // Without $HOME (a service, a cron job) the password database knows it.
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "/";
}

// An XDG base folder: the variable when it holds an absolute path, else the
// fallback below the home folder.
std::string BaseFolder(const EnvironmentReader& environment, const char* variable, const char* fallback) {
    std::string folder = environment(variable);
    if (folder.empty() || folder.front() != '/') folder = HomeFolder(environment) + fallback;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

}  // namespace

EnvironmentReader ProcessEnvironment() {
    return [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
}

std::string UserDataFolder(const EnvironmentReader& environment) {
    std::string folder = BaseFolder(environment, "XDG_DATA_HOME", "/.local/share");
    PosixFileStore files;
    // Created when missing; a failure shows later, when something is stored there.
    [[maybe_unused]] const bool created = files.CreateFolders(folder);
    return folder;
}

std::string SettingsFilePath(const EnvironmentReader& environment) {
    return BaseFolder(environment, "XDG_CONFIG_HOME", "/.config") + "/Orvanta/registry.reg";
}

std::string UserUnitFolder(const EnvironmentReader& environment) {
    return BaseFolder(environment, "XDG_CONFIG_HOME", "/.config") + "/systemd/user";
}

void OpenFolderToEveryone(const std::string& folder) {
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != 0) return;
    if ((status.st_mode & 0755) == 0755) return;
    // A folder that stays closed leaves every other user with the shipped
    // database and a warning, which says why: nothing more to do here.
    [[maybe_unused]] const int opened = ::chmod(folder.c_str(), status.st_mode | 0755);
}

settings::ProgramPaths LinuxProgramPaths(const EnvironmentReader& environment, const InstallLayout& layout) {
    settings::ProgramPaths paths = settings::ProgramPaths::OnThisSystem(layout.dataFolder, UserDataFolder(environment));
    paths.homeFolder = HomeFolder(environment);
    paths.vendorFile = layout.vendorFile;
    // The system's data elsewhere, for a test or a relocated system; only an
    // absolute folder, and for root only one no other user could have chosen
    // (an environment kept through sudo): root's own, under a folder of root's.
    if (const std::string state = environment("QUELLSTONE_STATE_DIRECTORY");
        state.starts_with('/') && (::geteuid() != 0 || OwnedByRootAlone(state)))
        paths.systemDataFolder = state;
    return paths;
}

settings::ProgramPaths LinuxProgramPaths(const EnvironmentReader& environment) {
    return LinuxProgramPaths(environment, FindInstallLayout(ExecutableFolder().value_or(std::string())));
}

}  // namespace quellstone::platform
