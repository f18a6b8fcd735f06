#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellstone::ports {

// What an entry is. A listing reports Unknown when the file system does not
// say without the entry being read.
enum class EntryKind : std::uint8_t { Unknown, Folder, RegularFile, SymbolicLink, Other };

// The entries of one folder in listing order. Names are kept as bytes in one
// buffer so that listing a folder costs no allocation per entry once the
// listing object has grown to size.
class DirectoryListing {
public:
    void Clear() {
        names_.clear();
        items_.clear();
    }
    void Add(std::string_view name, EntryKind kind) {
        items_.push_back({static_cast<std::uint32_t>(names_.size()), static_cast<std::uint32_t>(name.size()), kind});
        names_.append(name);
    }
    [[nodiscard]] std::size_t Size() const { return items_.size(); }
    [[nodiscard]] std::string_view Name(std::size_t i) const {
        return std::string_view(names_).substr(items_[i].offset, items_[i].length);
    }
    [[nodiscard]] EntryKind Kind(std::size_t i) const { return items_[i].kind; }
    // The memory the listing holds.
    [[nodiscard]] std::size_t Bytes() const { return names_.capacity() + items_.capacity() * sizeof(Item); }

private:
    struct Item {
        std::uint32_t offset;
        std::uint32_t length;
        EntryKind kind;
    };
    std::string names_;
    std::vector<Item> items_;
};

// Which file or folder an entry is: its device and its inode on that device.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FolderIdentity&) const = default;
};

// The same identity for an entry of any kind: the same name may come to stand for another file.
using EntryIdentity = FolderIdentity;

// An entry as the system reports it, read without following a link.
struct EntryStatus {
    EntryKind kind = EntryKind::Other;  // never Unknown
    std::uint64_t device = 0;           // the file system the entry itself lives on
    std::uint32_t mode = 0;             // the permission bits (07777)
    std::uint64_t inode = 0;            // with `device`, which file or folder the entry is

    [[nodiscard]] FolderIdentity Identity() const { return {device, inode}; }
    bool operator==(const EntryStatus&) const = default;
};

// When a folder's entries last changed, as far as its times tell: its
// modification time (an entry added, removed or renamed) and its status-change
// time, in nanoseconds. Two equal stamps of one folder, the first of them
// settled, mean the folder lists the same entries. A stamp is not settled when
// it was read so soon after the change it records that a further change could
// leave the same times (the times a file system stores are coarser than the
// clock); a listing taken under such a stamp can only be trusted by listing again.
struct FolderStamp {
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool settled = false;

    [[nodiscard]] bool SameTimes(const FolderStamp& other) const {
        return modifiedNs == other.modifiedNs && changedNs == other.changedNs;
    }
};

// An open folder. Entries are named relative to it, so a walk reaches folders
// whose full path is longer than the system accepts.
class Directory {
public:
    virtual ~Directory() = default;

    // Appends every entry the folder lists, in the order the file system
    // returns them, names that begin with "." ("." and ".." included) as well.
    // Returns false when the folder could not be read to the end; the entries
    // read so far stay. Each call lists the folder afresh.
    virtual bool List(DirectoryListing& out) = 0;

    // The folder's stamp as it was opened, before any listing.
    [[nodiscard]] virtual FolderStamp OpenedStamp() const = 0;

    // The folder's stamp now; nullopt when it cannot be read.
    virtual std::optional<FolderStamp> CurrentStamp() = 0;

    // The entry's status, read without following a link; nullopt when it
    // cannot be read.
    virtual std::optional<EntryStatus> Status(std::string_view name) = 0;

    // Opens a subfolder without following a link; nullptr when that is not
    // possible (a link, not a folder, no permission).
    virtual std::unique_ptr<Directory> OpenSubfolder(std::string_view name) = 0;

    // Opens the folder that holds this one; nullptr when that is not possible.
    virtual std::unique_ptr<Directory> OpenParent() = 0;

    [[nodiscard]] virtual FolderIdentity Identity() const = 0;
};

// What a path named to a scan leads to.
struct PathFound {
    enum class Kind : std::uint8_t { Folder, Other, Missing, Unreadable };
    Kind kind = Kind::Missing;
    std::string reason;  // why it cannot be reached, as the system says it (Missing and Unreadable)
};

class DirectoryTree {
public:
    virtual ~DirectoryTree() = default;

    // Opens the folder at `path` (links in the path itself are followed, as the
    // user named it); nullptr when it is not a folder or cannot be opened.
    // The folders it gives may be used from several threads at once, each
    // folder listed by one thread at a time.
    virtual std::unique_ptr<Directory> OpenFolder(const std::string& path) = 0;

    // The absolute path of the folder at `path` with every link resolved, as
    // the mount table names places; nullopt when it cannot be told.
    virtual std::optional<std::string> CanonicalPath(const std::string& /*path*/) { return std::nullopt; }

    // What is at `path`, links followed as the user named it; a link that
    // leads nowhere is Other (its own name can still be looked up).
    virtual PathFound Look(const std::string& path) = 0;

    // The folder relative paths start from; nullopt when it cannot be told.
    virtual std::optional<std::string> CurrentFolder() = 0;
};

}  // namespace quellstone::ports
