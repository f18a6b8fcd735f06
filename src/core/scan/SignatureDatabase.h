#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/ini/Ini.h"
#include "core/ports/FileStore.h"
#include "core/scan/SignatureIndex.h"

namespace quellstone::scan {

inline constexpr std::string_view kDatabaseFileName = "bdts.dll";
// The launcher names the section in capitals, the quarantine view as written;
// section names match without regard to case, so both name the same section.
inline constexpr std::string_view kScanSection = "SCANFILES";
inline constexpr std::string_view kLookupSection = "Scanfiles";

// The signature database shared by the whole program: the one INI accessor
// whose file and section the main window and the launcher set, and the loaded
// signature section that scans look names up in.
class SignatureDatabase {
public:
    SignatureDatabase(ports::FileStore& files, std::string programFolder);

    // The shared accessor; its Path and Section select what IndexForScan loads.
    ini::Ini& Accessor() { return accessor_; }

    // The database in use: the program folder's bdts.dll until UseDatabase
    // names another (a verified, newer downloaded database).
    [[nodiscard]] std::string DefaultPath() const;

    // Makes `path` the database in use, for lookups and for whoever points the
    // accessor at DefaultPath() from now on.
    void UseDatabase(std::string path);

    // Why the bytes read from `path` must not be used; empty when they may.
    using LoadCheck = std::function<std::string(const std::string& path, std::string_view bytes)>;

    // Every load of a file other than the program folder's database passes
    // `check` first; a refused file is replaced by the program folder's
    // database for this load and every later one, and the reason is kept
    // for TakeRefusal.
    void SetLoadCheck(LoadCheck check);

    // Why the last refused load was refused, once; empty when none was.
    std::string TakeRefusal();

    // The signature section of the accessor's file and section, loaded again
    // only when the file's size, modification time or inode changed. A walk
    // keeps the index it started with even if a lookup elsewhere loads another.
    std::shared_ptr<const SignatureIndex> IndexForScan();

    // Looks up the file name of `fullPath` in the database in use
    // and returns the detection name as stored (empty when clean). Sets the
    // accessor's Path, Section and Key as a keyed read through it would.
    std::string LookupSignature(std::string_view fullPath);

private:
    ports::FileStore* files_;
    std::string programDatabasePath_;
    std::string databasePath_;
    LoadCheck loadCheck_;
    std::string refusal_;
    ini::Ini accessor_;

    std::shared_ptr<const SignatureIndex> index_;
    std::string indexPath_;
    std::string indexSection_;
    std::optional<ports::FileStamp> indexStamp_;
};

}  // namespace quellstone::scan
