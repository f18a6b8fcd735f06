#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/ports/Dialogs.h"
#include "core/ports/FileOperations.h"
#include "core/scan/SignatureDatabase.h"
#include "core/settings/ProgramPaths.h"

namespace quellstone::quarantine {

// One archive of the quarantine list.
struct QuarantineRow {
    std::string name;       // the archive's file name, ".arc" included
    std::string detection;  // the database's value for the file it stands for
    std::string size;       // in bytes, as decimal text; empty when unreadable
};

// The quarantine frame's list and its two links: delete an archive for good,
// or restore it to a place the user picks.
class QuarantineManager {
public:
    QuarantineManager(ports::FileOperations& files, scan::SignatureDatabase& signatures, ports::Dialogs& dialogs,
                      settings::ProgramPaths paths)
        : files_(files), signatures_(signatures), dialogs_(dialogs), paths_(std::move(paths)) {}

    // Lists every file of the quarantine folder whose name ends in ".arc"
    // (any letter case), in name order.
    void Rebuild();
    [[nodiscard]] const std::vector<QuarantineRow>& Rows() const { return rows_; }

    // Deletes the archive of `row` for good; the row goes when the file did.
    bool Delete(std::optional<std::size_t> row);
    // Restores `row`'s archive to a file the user names, then deletes the archive.
    bool Restore(std::optional<std::size_t> row, std::string_view dialogTitle);
    // Restores an archive to `target`: a file path (a file there is replaced,
    // and only by a complete copy), or a folder to restore into under the
    // original name (where an existing file of that name is never replaced).
    bool RestoreTo(const std::string& archiveName, std::string target);

    [[nodiscard]] std::string ArchivePath(const std::string& archiveName) const {
        return paths_.QuarantineFolder() + "/" + archiveName;
    }
    // The detection name shown for an archive; a numbered archive ("a (2).exe.arc")
    // shows the detection of the name it was numbered from.
    std::string DetectionOf(const std::string& archiveName);

private:
    // Copies the archive to `target`, then deletes it; never onto the archive itself.
    bool CopyOut(const std::string& archiveName, const std::string& target, bool replace);

    ports::FileOperations& files_;
    scan::SignatureDatabase& signatures_;
    ports::Dialogs& dialogs_;
    settings::ProgramPaths paths_;
    std::vector<QuarantineRow> rows_;
};

// Whether a name given for an archive is a plain file name in the quarantine
// folder: not empty, no "/", not "." or "..".
bool IsPlainFileName(std::string_view name);

}  // namespace quellstone::quarantine
