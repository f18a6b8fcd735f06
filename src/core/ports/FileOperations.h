#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quellstone::ports {

// What an entry on disk is, read without following a symbolic link.
enum class EntryType { Missing, RegularFile, SymbolicLink, Folder, Other };

// Which file an entry is: the same name may come to stand for another file.
struct EntryIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const EntryIdentity&) const = default;
};

// File operations for removing detections and managing the quarantine.
// Copies never leave a partial file behind and never open anything but a
// regular file, so a FIFO or a device cannot hang them.
class FileOperations {
public:
    virtual ~FileOperations() = default;

    virtual EntryType TypeOf(const std::string& path) = 0;
    // The size of a regular file; nullopt for anything else.
    virtual std::optional<std::uint64_t> SizeOf(const std::string& path) = 0;
    // Copies a regular file (reached without following a link anywhere in
    // its path) to `target` through a
    // temporary file in the target's folder that is flushed and renamed into
    // place. With `replace` false an existing target makes it fail.
    virtual bool CopyFile(const std::string& source, const std::string& target, bool replace) = 0;
    // Removes a file, link or other non-folder entry (a link as a link).
    virtual bool Remove(const std::string& path) = 0;
    // The identity of the entry at `path`, reached without following a link
    // anywhere in the path; nullopt when there is none.
    virtual std::optional<EntryIdentity> IdentityOf(const std::string& path) = 0;
    // Removes the entry at `path`, reached as IdentityOf reaches it, only while
    // it is still `expected`.
    virtual bool RemoveIfSame(const std::string& path, const EntryIdentity& expected) = 0;
    // The names of the regular files in a folder, in no particular order.
    virtual std::vector<std::string> ListFiles(const std::string& folder) = 0;
    // Creates the folder and every missing folder above it.
    virtual bool CreateFolders(const std::string& path) = 0;
    // Whether the path leads to a folder, following links.
    virtual bool ResolvesToFolder(const std::string& path) = 0;
    // Whether both paths lead to the same file (links and other names followed).
    virtual bool SameFile(const std::string& a, const std::string& b) = 0;
};

}  // namespace quellstone::ports
