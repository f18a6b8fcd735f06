#pragma once

#include <string>

namespace quellstone::update {

struct Version {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// The version as the program shows and compares it: major, ".", then minor
// and revision in decimal with nothing between them (1.0.5 gives "1.05",
// 2.1.12 gives "2.112").
std::string VersionText(const Version& version);

// The version this program was built as.
Version BuildVersion();

// The program's name and version as its version output and reports begin:
// "Quellstone 1.05".
std::string ProgramVersionLine();

}  // namespace quellstone::update
