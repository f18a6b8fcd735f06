#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/ports/FileOperations.h"
#include "core/ports/FileStore.h"
#include "core/settings/ProgramPaths.h"
#include "core/settings/SettingsStore.h"

namespace quellstone::quarantine {

inline constexpr std::string_view kArchiveExtension = ".arc";

// The archive name for a file name that `taken` archives already use the
// plain form of: "a.exe" gives "a.exe.arc", then "a (2).exe.arc",
// "a (3).exe.arc", ... (the number goes before the first extension).
std::string ArchiveName(std::string_view fileName, int number);

// The file name an archive stands for: every ".arc" removed, as the
// quarantine list has always done ("a.arcade.arc" gives "aade").
std::string StripArchiveExtension(std::string_view archiveName);

// The original name behind a numbered archive ("a (2).exe" gives "a.exe");
// nullopt when the name carries no number.
std::optional<std::string> WithoutArchiveNumber(std::string_view name);

enum class RemovalOutcome {
    Removed,      // this removal deleted the file
    AlreadyGone,  // nothing was there any more (deleted by hand, or by another removal)
    NotRemoved    // the file is still there
};

// Why a file was not removed (or, for Gone, why there was nothing to remove).
// With quarantine on, every problem but Gone means no backup, so no delete.
enum class RemovalProblem {
    None,
    Folder,          // a folder is never removed
    NoPermission,    // the system refused to reach, copy or delete it
    SymbolicLink,    // a link where the scan found a regular file: not opened through it
    NotRegularFile,  // quarantine is on and a FIFO, device or socket is never copied
    NoSpace,         // quarantine is on and the copy found no room (full disk, quota, file-size limit)
    CopyFailed,      // quarantine is on and no complete copy with its record could be made
    Gone,            // nothing is there any more
    Changed,         // another file has taken the name since the scan
    // Of what a scan finds beside files:
    SharedFile,       // a line of a file that holds other entries too (a cron table): edited by hand only
    ProcessRunning,   // a process the user chose to leave running
    ProcessNotEnded,  // a process that could not be ended (no permission, or it did not end)
};

// The outcome of removing one detected file.
struct Removal {
    RemovalOutcome outcome = RemovalOutcome::NotRemoved;
    std::optional<std::string> archive;  // the archive's name, when one was kept
    RemovalProblem problem = RemovalProblem::None;
    // Of a symbolic link, its target text: the link was removed (and kept),
    // never the file it points to.
    std::optional<std::string> linkTarget{};

    [[nodiscard]] bool Gone() const { return outcome != RemovalOutcome::NotRemoved; }
};

// Removes detected files, each copied into the quarantine first when the
// quarantine switch is on (see QuarantineCopiesOn: anything but a stored "0"). With the switch on, a file is
// deleted only once its archive copy is complete: a user who asked for a
// backup never loses a file without one. Removals with the switch on hold the
// quarantine folder's lock from the first look at the file to its delete, so
// two removals at once (two command lines, or one and the window) archive a
// file at most once; the later one finds it already gone.
//
// A detection that is a symbolic link is removed as a link: its target text
// is read without following it, kept in the archive's record (the archive
// holds the same text), and the link itself is deleted. What it points to is
// never opened, copied or deleted.
class Remover {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    // `fileStore` creates the quarantine folder when it is missing and writes the archives' records.
    Remover(
        ports::FileOperations& files, ports::FileStore& fileStore, settings::SettingsStore& store,
        settings::ProgramPaths paths, Clock clock = [] { return std::chrono::system_clock::now(); })
        : files_(files), fileStore_(fileStore), store_(store), paths_(std::move(paths)), clock_(std::move(clock)) {}

    [[nodiscard]] bool QuarantineOn();
    // Removes the entry that a scan found; `detection` goes into the archive's record.
    Removal Remove(const ports::ReachablePath& location, std::string_view detection = {});
    // The same for an entry named by a plain path, with no link followed on the way.
    Removal Remove(const std::string& path, std::string_view detection = {}) {
        return Remove(ports::ReachablePath::FromRoot(path), detection);
    }

    // Raises the stored total of removed objects by one and returns it.
    std::int64_t CountRemoved();

private:
    // An archive made, or why none was.
    struct Archived {
        std::optional<std::string> name;
        RemovalProblem problem = RemovalProblem::None;
    };
    // Copies the file into the quarantine, its record put in place first; a
    // link (`linkTarget` set) is kept as its target text.
    Archived Archive(const ports::ReachablePath& location, const ports::EntryIdentity& identity,
                     std::string_view detection, const std::optional<std::string>& linkTarget);
    // A free number for `fileName`'s archive (the lowest one while the
    // numbers have no gaps), found with a number of looks that grows with the
    // logarithm of the archives already there.
    std::optional<int> FreeArchiveNumber(std::string_view fileName);
    void DiscardArchive(const std::string& name);
    // Why an entry that is there could not be removed.
    [[nodiscard]] RemovalProblem ProblemWith(const ports::ReachablePath& location, RemovalProblem otherwise);

    ports::FileOperations& files_;
    ports::FileStore& fileStore_;
    settings::SettingsStore& store_;
    settings::ProgramPaths paths_;
    Clock clock_;
    bool sweptUnfinishedCopies_ = false;  // once per remover: a pass over many files sweeps once
};

}  // namespace quellstone::quarantine
