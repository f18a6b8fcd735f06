#include "core/app/Version.h"

#include "core/app/BuildVersion.h"

namespace quellstone::app {

std::string VersionText(const Version& version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor) + std::to_string(version.revision);
}

Version BuildVersion() {
    return {kBuildMajor, kBuildMinor, kBuildRevision};
}

}  // namespace quellstone::app
