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

// Whole-file access for the program's small text files (INI files, language
// files, the settings file), and the folders that hold the program's files.
class FileStore {
public:
    virtual ~FileStore() = default;

    // Reads a regular file whole. Anything else (a folder, a FIFO, a device)
    // is Failed without being opened for reading, so it can never block.
    virtual FileContent ReadFile(const std::string& path) = 0;

    // Replaces the file's content so that a crash at any moment leaves either
    // the old or the new content; creates the file when it is missing.
    virtual bool ReplaceFile(const std::string& path, std::string_view content) = 0;

    virtual std::optional<FileStamp> Stamp(const std::string& path) = 0;

    // Creates the folder and every missing folder above it; true when it exists afterwards.
    virtual bool CreateFolders(const std::string& path) = 0;
};

}  // namespace quellstone::ports
