#include "core/update/Version.h"

#include "core/update/BuildVersion.h"

namespace quellstone::update {

std::string VersionText(const Version& version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor) + std::to_string(version.revision);
}

Version BuildVersion() {
    return {kBuildMajor, kBuildMinor, kBuildRevision};
}

std::string ProgramVersionLine() {
    return "Quellstone " + VersionText(BuildVersion());
}

}  // namespace quellstone::update
