#include "platform/InstallLayout.h"

#include <sys/stat.h>

#include <string_view>

#include "core/settings/ProgramPaths.h"

namespace quellstone::platform {

namespace {

bool RegularFileThere(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The folder above `folder` ("/usr/bin" gives "/usr", "/bin" gives "").
std::string Parent(std::string_view folder) {
    const std::size_t slash = folder.rfind('/');
    return std::string(folder.substr(0, slash == std::string_view::npos ? 0 : slash));
}

}  // namespace

InstallLayout FindInstallLayout(const std::string& executableFolder, const FileExists& exists) {
    const FileExists& there = exists ? exists : FileExists(RegularFileThere);
    const std::string prefix = Parent(executableFolder);
    const std::string installedData = prefix + "/share/quellstone";
    const std::string dataFolder =
        there(installedData + "/" + std::string(settings::kDatabaseFileName)) ? installedData : executableFolder;
    // The prefix /usr keeps its configuration in /etc, as /usr of a package unpacked elsewhere does beside it.
    const std::string_view base = std::string_view(prefix).ends_with("/usr")
                                      ? std::string_view(prefix).substr(0, prefix.size() - 4)
                                      : std::string_view(prefix);
    const std::string configured = std::string(base) + "/etc/quellstone/" + std::string(settings::kVendorFileName);
    return {dataFolder, there(configured) ? configured : dataFolder + "/" + std::string(settings::kVendorFileName)};
}

}  // namespace quellstone::platform
