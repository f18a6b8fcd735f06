#pragma once

#include <functional>
#include <string>

#include "core/settings/ProgramPaths.h"
#include "platform/InstallLayout.h"

namespace quellstone::platform {

// Reads an environment variable; "" when it is not set.
using EnvironmentReader = std::function<std::string(const char*)>;
EnvironmentReader ProcessEnvironment();

// $XDG_DATA_HOME, else ~/.local/share; created when missing.
std::string UserDataFolder(const EnvironmentReader& environment);

// $XDG_CONFIG_HOME/Orvanta/registry.reg, else ~/.config/Orvanta/registry.reg.
std::string SettingsFilePath(const EnvironmentReader& environment);

// $XDG_CONFIG_HOME/systemd/user, else ~/.config/systemd/user: the user's own
// systemd units, which the user's service manager reads first.
std::string UserUnitFolder(const EnvironmentReader& environment);

// The program's folders on Linux: its data and vendor.ini as `layout` found
// them, the user data folder, /usr as the system folder, /opt/ as the
// programs folder, and /var/lib/quellstone (or $QUELLSTONE_STATE_DIRECTORY
// when it is absolute) as the system's data.
settings::ProgramPaths LinuxProgramPaths(const EnvironmentReader& environment, const InstallLayout& layout);

// Makes `folder`, when it is a folder of root's (not a link), readable and
// enterable by every user (0755): a folder made under a strict umask would
// hide the system's database from everyone but root.
void OpenFolderToEveryone(const std::string& folder);
// The same with the executable's folder; both programs refuse to start when
// it cannot be found, so it is known wherever this is called.
settings::ProgramPaths LinuxProgramPaths(const EnvironmentReader& environment);

}  // namespace quellstone::platform
