#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/ports/FileStore.h"
#include "core/scan/SignatureIndex.h"

namespace quellstone::scan {

inline constexpr std::string_view kDatabaseFileName = "bdts.dll";
// The section of the database that names files and folders.
inline constexpr std::string_view kSignatureSection = "Scanfiles";
// The section that names files and folders by where they are (PathPattern.h).
inline constexpr std::string_view kPathSection = "Scanpaths";

// The signature database the whole program uses: which file is in use, and
// its signature section loaded as an index that scans look names up in.
class SignatureDatabase {
public:
    SignatureDatabase(ports::FileStore& files, std::string programFolder);

    // The database in use: the program folder's bdts.dll until UseDatabase
    // names another (a verified, newer downloaded database).
    [[nodiscard]] std::string DefaultPath() const;

    // Makes `path` the database in use.
    void UseDatabase(std::string path);

    // Why the bytes read from `path` must not be used; empty when they may.
    using LoadCheck = std::function<std::string(const std::string& path, std::string_view bytes)>;

    // Every load of a file other than the program folder's database passes
    // `check` first; a refused database in use is replaced by the program
    // folder's for this load and every later one, and the reason is kept
    // for TakeRefusal.
    void SetLoadCheck(LoadCheck check);

    // Why the last refused load was refused, once; empty when none was.
    std::string TakeRefusal();

    // The signature section of the database in use, loaded again only when
    // the file's size, modification time or inode changed. A walk keeps the
    // index it was given even if a later call loads another.
    std::shared_ptr<const SignatureIndex> IndexInUse();

    // The signature section of the file at `path` (a database named on the
    // command line), with the same rules.
    std::shared_ptr<const SignatureIndex> IndexOf(const std::string& path);

    // Looks up the file name of `fullPath` in the database in use and
    // returns the detection name as stored (empty when clean).
    std::string LookupSignature(std::string_view fullPath);

private:
    ports::FileStore* files_;
    std::string programDatabasePath_;
    std::string databasePath_;
    LoadCheck loadCheck_;
    std::string refusal_;

    std::shared_ptr<const SignatureIndex> index_;
    std::string indexPath_;
    std::optional<ports::FileStamp> indexStamp_;
};

}  // namespace quellstone::scan
