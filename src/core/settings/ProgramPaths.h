#pragma once

#include <string>
#include <string_view>

#include "core/ports/FileStore.h"

namespace quellstone::settings {

// The folders every file of the program hangs off, and the paths built from
// them. None of the folders ends in "/" (the root, "/", excepted).
struct ProgramPaths {
    std::string programFolder;   // the executable's folder: database, languages, vendor.ini
    std::string dataFolder;      // the user's local application-data folder
    std::string windowsFolder;   // the system folder: quick scan, default chosen folder
    std::string programsFolder;  // where installed programs live: first folder of a whole-computer scan

    [[nodiscard]] std::string ProductDataFolder() const { return dataFolder + "/Orvanta/Quellstone"; }
    [[nodiscard]] std::string QuarantineFolder() const { return ProductDataFolder() + "/Archiwum"; }
    [[nodiscard]] std::string SignatureDatabase() const { return programFolder + "/bdts.dll"; }
    [[nodiscard]] std::string VendorFile() const { return programFolder + "/vendor.ini"; }
    // languages/<name>/<name>.txt below the program folder.
    [[nodiscard]] std::string LanguageFileRelative(std::string_view name) const;

    // The system folder with ("/usr/") or without ("/usr") a trailing "/".
    [[nodiscard]] std::string WinDir(bool addSlash) const;
};

// Makes the quarantine folder with every missing folder above it, so that
// quarantine works on a fresh account. True when the folder exists afterwards.
bool CreateQuarantineFolder(ports::FileStore& files, const ProgramPaths& paths);

}  // namespace quellstone::settings
