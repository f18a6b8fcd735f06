#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/ports/Dialogs.h"
#include "core/ports/FileOperations.h"
#include "core/quarantine/QuarantineRecord.h"
#include "core/scan/SignatureDatabase.h"
#include "core/settings/ProgramPaths.h"

namespace quellstone::quarantine {

// One archive of the quarantine list.
struct QuarantineRow {
    std::string name;          // the archive's file name, ".arc" included
    std::string detection;     // the database's value for the file it stands for, else the recorded one
    std::string size;          // in bytes, as decimal text; empty when unreadable
    std::string originalPath;  // from the archive's record; empty without one
    std::string removedAt;     // from the archive's record
    std::string linkTarget;    // from the record: the target text of a symbolic link kept as one
};

enum class RestoreOutcome {
    Restored,
    NoArchive,         // no such archive
    NoOriginalPath,    // no target given and no record of where the file was
    TargetTaken,       // a file is already at the target, which must not be replaced
    InsideQuarantine,  // the target lies in the quarantine folder
    Failed             // the copy could not be made; the archive is kept
};

// What a restore did, and the file it made or would have made.
struct Restored {
    RestoreOutcome outcome;
    std::string path;
};

// The quarantine frame's list and its two links: delete an archive for good,
// or restore it to a place the user picks.
class QuarantineManager {
public:
    // `records` reads the archives' records.
    QuarantineManager(ports::FileOperations& files, ports::FileStore& records, scan::SignatureDatabase& signatures,
                      ports::Dialogs& dialogs, settings::ProgramPaths paths)
        : files_(files), records_(records), signatures_(signatures), dialogs_(dialogs), paths_(std::move(paths)) {}

    // Lists every file of the quarantine folder whose name ends in ".arc"
    // (any letter case), in name order (letter case aside, numbers by value).
    void Rebuild();
    // How many archives the quarantine folder holds now, without reading their records.
    [[nodiscard]] std::size_t CountArchives();
    [[nodiscard]] const std::vector<QuarantineRow>& Rows() const { return rows_; }

    // Deletes the archive of `row` (and its record) for good; the row goes when the file did.
    bool Delete(std::optional<std::size_t> row);
    // Deletes an archive and its record by name.
    bool DeleteArchive(const std::string& archiveName);
    // Restores `row`'s archive where the user says in the save dialog (it
    // starts at the original path when that is recorded, and its accept
    // button reads `acceptButton`): as RestoreTo does with that target.
    // nullopt when there was no such row or the dialog was cancelled.
    std::optional<Restored> Restore(std::optional<std::size_t> row, std::string_view dialogTitle,
                                    std::string_view acceptButton);
    // Restores an archive to `target`: a file path (a file there is replaced,
    // and only by a complete copy), or a folder to restore into under the
    // original name (where an existing file of that name is never replaced).
    // Without a target, to the recorded original path, never replacing a file there.
    // An archive whose record holds a link target comes back as that link.
    RestoreOutcome RestoreTo(const std::string& archiveName, std::optional<std::string> target);
    // Restores an archive into `folder` under its original name, never over a
    // file there; Failed when `folder` is no folder (any more).
    Restored RestoreIntoFolder(const std::string& archiveName, const std::string& folder);

    [[nodiscard]] std::string ArchivePath(const std::string& archiveName) const {
        return paths_.QuarantineFolder() + "/" + archiveName;
    }
    // The detection name shown for an archive; a numbered archive ("a (2).exe.arc")
    // shows the detection of the name it was numbered from, and an archive
    // whose name the database does not know shows the detection it was removed as.
    std::string DetectionOf(const std::string& archiveName);
    // The archive's record; nullopt when it has none.
    std::optional<QuarantineRecord> RecordOf(const std::string& archiveName);

private:
    // Deletes an archive, then its record; false when the archive stays.
    bool RemoveArchiveAndRecord(const std::string& archiveName);
    // Takes an archive's row out of the list, wherever it is now.
    void DropRow(const std::string& archiveName);
    // The name a restore into a folder gives the file.
    std::string OriginalNameOf(const std::string& archiveName);
    // The file a restore into `folder` makes.
    std::string PathInFolder(const std::string& folder, const std::string& archiveName);
    // Copies the archive to `target` (or makes the link it stands for), then deletes it and its record.
    // `target` names the place for the checks; `reach` is how the copy gets there.
    RestoreOutcome CopyOut(const std::string& archiveName, const std::string& target, const ports::ReachablePath& reach,
                           bool replace);
    std::string DetectionOf(const std::string& archiveName, const std::optional<QuarantineRecord>& record);
    // The text of a link restored at `target`: as it was, unless it is
    // relative and `target` lies in another folder than the original.
    static std::string LinkTextAt(const QuarantineRecord& record, const std::string& target);

    ports::FileOperations& files_;
    ports::FileStore& records_;
    scan::SignatureDatabase& signatures_;
    ports::Dialogs& dialogs_;
    settings::ProgramPaths paths_;
    std::vector<QuarantineRow> rows_;
};

// Whether a file of the quarantine folder is an archive: its name ends in ".arc", in any letter case.
bool IsArchiveName(std::string_view name);

// Whether a name given for an archive is a plain file name in the quarantine
// folder: not empty, no "/", not "." or "..".
bool IsPlainFileName(std::string_view name);

}  // namespace quellstone::quarantine
