#pragma once

#include <functional>
#include <string>

namespace quellstone::platform {

// Where the programs find their read-only data and their configuration, from
// the folder they run from. Installed (a package, "cmake --install" with any
// prefix, a package unpacked anywhere), the data is in
// <prefix>/share/quellstone and vendor.ini in /etc/quellstone for the prefix
// /usr, else <prefix>/etc/quellstone. Run from the build folder, the data
// lies beside the programs. A vendor.ini in the configuration folder takes
// precedence over one beside the data.
struct InstallLayout {
    std::string dataFolder;  // bdts.dll, languages/<language>/...
    std::string vendorFile;  // the update server, its key and the vendor's addresses
};

// `executableFolder`: absolute, without a trailing "/". `exists` tells whether
// a file is there (the real file system unless given).
using FileExists = std::function<bool(const std::string& path)>;
InstallLayout FindInstallLayout(const std::string& executableFolder, const FileExists& exists = {});

}  // namespace quellstone::platform
