#pragma once

#include <string>

namespace quellstone::ports {

// Moves a file over another in one step: a crash at any moment leaves the
// target as it was or as the moved file, and once the call returns true the
// move is on disk (the folder is flushed too).
class FileRenamer {
public:
    virtual ~FileRenamer() = default;
    // Both paths are in the same folder; `to` is replaced when it exists.
    virtual bool RenameOver(const std::string& from, const std::string& to) = 0;
    // Deletes the temporary files an interrupted replacement of `path` left
    // in its folder (its name, ".tmp-" and the random letters).
    virtual void RemoveTemporariesOf(const std::string& path) = 0;
};

}  // namespace quellstone::ports
