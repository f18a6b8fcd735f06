#pragma once

#include <string>
#include <string_view>

#include "core/ports/FileStore.h"

namespace quellstone::settings {

// The fixed names of the program's files and of the system's folders.
inline constexpr std::string_view kDatabaseFileName = "bdts.dll";
inline constexpr std::string_view kVendorFileName = "vendor.ini";
inline constexpr std::string_view kSystemFolder = "/usr";     // the quick scan's folder
inline constexpr std::string_view kProgramsFolder = "/opt/";  // a whole-computer scan's first folder
inline constexpr std::string_view kSystemDataFolder = "/var/lib/quellstone";

// languages/<folder>/<file>: where the language files and the documents of
// each language live, relative to the program folder.
std::string LanguageDocumentRelative(std::string_view folder, std::string_view file);

// The folders every file of the program hangs off, and the paths built from
// them. None of the folders ends in "/" (the root, "/", excepted).
struct ProgramPaths {
    std::string programFolder;    // the program's read-only data: database, languages and their documents
    std::string dataFolder;       // the user's local application-data folder
    std::string systemFolder;     // the quick scan's folder and the default chosen folder
    std::string programsFolder;   // where installed programs live: first folder of a whole-computer scan
    std::string homeFolder = {};  // the user's home folder, for the quick scan; "" when unknown
    std::string vendorFile = {};  // where vendor.ini is read; "" for the one in the program's data
    // The system's variable data: the database an administrator's update installs for every user.
    std::string systemDataFolder = std::string(kSystemDataFolder);

    [[nodiscard]] std::string ProductDataFolder() const { return dataFolder + "/Orvanta/Quellstone"; }
    [[nodiscard]] std::string QuarantineFolder() const { return ProductDataFolder() + "/Archiwum"; }
    // The paths of this system: the system folders above, and the program's
    // and the user's data folders as found at start-up.
    static ProgramPaths OnThisSystem(std::string programFolder, std::string dataFolder) {
        return {std::move(programFolder), std::move(dataFolder), std::string(kSystemFolder),
                std::string(kProgramsFolder)};
    }

    [[nodiscard]] std::string SignatureDatabase() const { return InProgramFolder(kDatabaseFileName); }
    [[nodiscard]] std::string VendorFile() const {
        return vendorFile.empty() ? InProgramFolder(kVendorFileName) : vendorFile;
    }
    // The system folder without a trailing "/" (the root stays "/").
    [[nodiscard]] std::string SystemFolder() const;

private:
    [[nodiscard]] std::string InProgramFolder(std::string_view name) const {
        return programFolder + "/" + std::string(name);
    }
};

// Makes the quarantine folder with every missing folder above it, so that
// quarantine works on a fresh account. True when the folder exists afterwards.
bool CreateQuarantineFolder(ports::FileStore& files, const ProgramPaths& paths);

}  // namespace quellstone::settings
