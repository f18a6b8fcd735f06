#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/DirectoryTree.h"

namespace quellstone::ports {

// How an entry is reached. The start folder is opened as it is named, links
// followed (a scan's start folder as the user gave it, "/home" behind a link
// included) and, when its identity is known, must still be that very folder;
// below it, every folder is entered without following a link, and the entry
// itself is never followed. So a folder swapped for a link after a scan
// leads nowhere, while the links the user's own paths go through still work.
struct ReachablePath {
    std::string startFolder;  // "" is the root
    std::optional<EntryIdentity> startIdentity;
    std::string below;  // "/"-separated, relative to the start folder; never empty

    [[nodiscard]] std::string FullPath() const {
        if (startFolder.empty()) return "/" + below;
        return (startFolder.ends_with('/') ? startFolder : startFolder + "/") + below;
    }
    // An entry named by a plain path: its folder as named (links followed),
    // the entry itself not followed. For files whose folder the program
    // chose itself, such as the quarantine's archives.
    static ReachablePath InFolder(std::string_view path);
    // An entry named by a plain path with no link followed anywhere on the way.
    static ReachablePath FromRoot(std::string_view path);
};

inline ReachablePath ReachablePath::InFolder(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {".", std::nullopt, std::string(path)};
    return {std::string(path.substr(0, slash)), std::nullopt, std::string(path.substr(slash + 1))};
}

inline ReachablePath ReachablePath::FromRoot(std::string_view path) {
    if (!path.starts_with('/')) return {".", std::nullopt, std::string(path)};
    return {"", std::nullopt, std::string(path.substr(1))};
}

// Whether an entry was found, and which file it is.
enum class Presence { Present, Missing, Unreachable };
struct EntryLookup {
    Presence presence = Presence::Missing;
    EntryIdentity identity;
    EntryKind kind = EntryKind::Unknown;  // of an entry that is present, its link not followed
};

enum class RemoveResult {
    Removed,
    Missing,  // nothing is there (any more)
    Changed,  // another file has taken the name, or the way to it changed
    Failed    // it is there and could not be removed
};

// How a copy ended. The source's failures are told apart, so that a removal
// can say why a detection was not copied into the quarantine.
enum class CopyResult {
    Copied,
    SourceMissing,  // nothing is at the source (any more)
    SourceDenied,   // the system refused to open the source
    SourceIsFolder,
    SourceIsLink,      // a symbolic link is never followed, nor copied
    SourceNotRegular,  // a FIFO, device or socket is never opened for reading
    SourceChanged,     // another file than the expected one, or the way to it changed
    TargetTaken,       // a file is at the target and was not to be replaced
    NoSpace,           // the disk is full, a quota or a file-size limit was reached
    Failed             // any other failure
};

// Held while the quarantine is being changed; released when destroyed.
class FolderLock {
public:
    virtual ~FolderLock() = default;
};

// File operations for removing detections and managing the quarantine
// (its records are read and written through FileStore). Copies never leave a
// partial file behind and never open anything but a regular file, so a FIFO
// or a device cannot hang them.
class FileOperations {
public:
    virtual ~FileOperations() = default;

    // What is at `path`, read without following a link at its own name;
    // nullopt when nothing is there, Unknown when something is there that
    // cannot be read.
    virtual std::optional<EntryKind> KindOf(const std::string& path) = 0;
    // The size of a regular file; nullopt for anything else.
    virtual std::optional<std::uint64_t> SizeOf(const std::string& path) = 0;
    // Copies a regular file to `target` through a temporary file in the
    // target's folder that is flushed and renamed into place. With `replace`
    // false an existing target makes it fail. With `expectedSource`, only
    // that very file is copied (the one a removal looked at, not another one
    // put under its name since). A copy that fails leaves nothing of itself behind.
    virtual CopyResult CopyFile(const ReachablePath& source, const ReachablePath& target, bool replace,
                                const std::optional<EntryIdentity>& expectedSource) = 0;
    // Writes a new regular file holding `bytes`, placed like a copy (a
    // temporary file flushed and renamed); an entry already at `target`
    // makes it fail with TargetTaken and stays.
    virtual CopyResult WriteNewFile(const ReachablePath& target, std::string_view bytes) = 0;
    // The target text of the symbolic link at `path`, read without following
    // it, while the link is still `expected`; nullopt when it is gone, is
    // another entry now, or cannot be read.
    virtual std::optional<std::string> ReadLink(const ReachablePath& path, const EntryIdentity& expected) = 0;
    // Makes a symbolic link at `at` holding `targetText`, which is neither
    // followed nor checked. With `replace` false an entry already there makes
    // it fail with TargetTaken; with it true a file or link there is replaced
    // in one step. Copied when the link is in place.
    virtual CopyResult CreateLink(const ReachablePath& at, std::string_view targetText, bool replace) = 0;
    // Removes a file, link or other non-folder entry (a link as a link).
    virtual bool Remove(const std::string& path) = 0;
    // Looks for the entry; Unreachable when the way to it cannot be taken
    // (a start folder that is another folder now, a folder on the way that
    // became a link, no permission, a name the system refuses).
    virtual EntryLookup Find(const ReachablePath& path) = 0;
    // Removes the entry only while it is still `expected`.
    virtual RemoveResult RemoveIfSame(const ReachablePath& path, const EntryIdentity& expected) = 0;
    // The names of the regular files in a folder, in no particular order.
    virtual std::vector<std::string> ListFiles(const std::string& folder) = 0;
    // Whether the path leads to a folder, following links.
    virtual bool ResolvesToFolder(const std::string& path) = 0;
    // Whether both paths lead to the same file (links and other names followed).
    virtual bool SameFile(const std::string& a, const std::string& b) = 0;

    // An exclusive lock on a folder, shared by every process of the user;
    // waits for it. nullptr when the folder cannot be locked.
    virtual std::unique_ptr<FolderLock> LockFolder(const std::string& folder) = 0;
    // Deletes the temporary files that copies and record replacements into
    // `folder` left behind when their process was killed. Call only while
    // holding the folder's lock.
    virtual void RemoveUnfinishedCopies(const std::string& folder) = 0;
};

}  // namespace quellstone::ports
