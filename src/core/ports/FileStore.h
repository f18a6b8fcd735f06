#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/ports/DirectoryTree.h"

namespace quellstone::ports {

// What identifies one version of a file on disk: another file under the name,
// a changed size or modification time means the content may have changed.
struct FileStamp {
    EntryIdentity identity;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;

    bool operator==(const FileStamp&) const = default;
};

enum class ReadStatus { Ok, Missing, Failed };

struct FileContent {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
};

// What a file read or replaced through FileStore is; it decides how the
// file's own name is taken and how large the file may be.
enum class FileRole {
    // A file the program keeps (settings, INI and language files, the
    // database): a link at its name is followed, so it is read through the
    // link and replaced at the link's target (the link stays), and the new
    // file keeps the old one's permissions.
    ProgramFile,
    // A small record the program writes (a quarantine record beside its
    // archive, a scan's result, which root writes for every user): a link at
    // its name is never followed (reading one fails), a replacement puts a
    // new file (mode 0644) in the place of whatever is under the name, and
    // much smaller files only are read. The temporary file of a replacement
    // killed half-way in the quarantine is one
    // FileOperations::RemoveUnfinishedCopies clears.
    Record,
};

// Whole files: reads, crash-safe replacement, moves in one step, and the
// folders that hold the program's files.
class FileStore {
public:
    virtual ~FileStore() = default;

    // Reads a regular file whole. Anything else (a folder, a FIFO, a device)
    // is Failed without being opened, so it can never block; so is a file
    // too large for its role.
    virtual FileContent ReadFile(const std::string& path, FileRole role) = 0;
    FileContent ReadFile(const std::string& path) { return ReadFile(path, FileRole::ProgramFile); }

    // Replaces the file's content so that a crash at any moment leaves either
    // the old or the new content; the new file and its folder are flushed to
    // disk before it returns. Creates the file when it is missing.
    virtual bool ReplaceFile(const std::string& path, std::string_view content, FileRole role) = 0;
    bool ReplaceFile(const std::string& path, std::string_view content) {
        return ReplaceFile(path, content, FileRole::ProgramFile);
    }

    // Moves a file over another in one step: a crash at any moment leaves
    // `to` as it was or as the moved file, and once it returns true the move
    // is on disk. Both paths are in the same folder; `to` is replaced when it exists.
    virtual bool RenameOver(const std::string& from, const std::string& to) = 0;
    // Deletes the temporary files that replacements of `path` (as a program
    // file) left in its folder when their process was killed.
    virtual void RemoveTemporariesOf(const std::string& path) = 0;

    virtual std::optional<FileStamp> Stamp(const std::string& path) = 0;

    // Creates the folder and every missing folder above it; true when it exists afterwards.
    virtual bool CreateFolders(const std::string& path) = 0;
};

}  // namespace quellstone::ports
