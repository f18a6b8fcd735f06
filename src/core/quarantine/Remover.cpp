#include "core/quarantine/Remover.h"

#include "core/quarantine/QuarantineRecord.h"
#include "core/settings/QuarantineCopies.h"
#include "core/settings/Statistics.h"
#include "core/text/PathText.h"
#include "core/text/TimeText.h"

namespace quellstone::quarantine {

namespace {
// Enough numbered names for any real quarantine; past it a removal with
// quarantine on fails rather than overwrite an archive.
constexpr int kMostArchivesPerName = 1 << 20;
// Another program taking the chosen name between the look and the copy is
// rare; after this many tries the removal gives up and keeps the file.
constexpr int kArchiveAttempts = 4;
// A file name may take all 255 bytes a name can have; its archive adds a
// number, ".arc" and the record's ".info". Longer names are cut to this
// (the record keeps the whole name), or a long name would be a way past removal.
constexpr std::size_t kLongestArchiveStem = 200;

// Why a copy into the quarantine failed, as a removal reports it.
RemovalProblem ProblemOfCopy(ports::CopyResult result) {
    using ports::CopyResult;
    switch (result) {
        case CopyResult::SourceMissing: return RemovalProblem::Gone;
        case CopyResult::SourceDenied: return RemovalProblem::NoPermission;
        case CopyResult::SourceIsFolder: return RemovalProblem::Folder;
        case CopyResult::SourceIsLink: return RemovalProblem::SymbolicLink;
        case CopyResult::SourceNotRegular: return RemovalProblem::NotRegularFile;
        case CopyResult::SourceChanged: return RemovalProblem::Changed;
        case CopyResult::NoSpace: return RemovalProblem::NoSpace;
        case CopyResult::Copied:
        case CopyResult::TargetTaken:
        case CopyResult::Failed: break;
    }
    return RemovalProblem::CopyFailed;
}

// The name an archive is made from: the file's name, cut at a character's
// start when it is too long to carry the archive's additions.
std::string_view ArchiveStem(std::string_view fileName) {
    if (fileName.size() <= kLongestArchiveStem) return fileName;
    std::size_t cut = kLongestArchiveStem;
    while (cut > 0 && (static_cast<unsigned char>(fileName[cut]) & 0xC0) == 0x80) --cut;
    return fileName.substr(0, cut);
}
}  // namespace

std::string ArchiveName(std::string_view fileName, int number) {
    std::string name(fileName);
    if (number > 1) {
        const std::size_t dot = name.find('.', 1);
        name.insert(dot == std::string::npos ? name.size() : dot, " (" + std::to_string(number) + ")");
    }
    name += kArchiveExtension;
    return name;
}

std::string StripArchiveExtension(std::string_view archiveName) {
    std::string name(archiveName);
    for (std::size_t at = name.find(kArchiveExtension); at != std::string::npos;
         at = name.find(kArchiveExtension, at)) {
        name.erase(at, kArchiveExtension.size());
    }
    return name;
}

std::optional<std::string> WithoutArchiveNumber(std::string_view name) {
    const std::size_t open = name.find(" (");
    if (open == std::string_view::npos) return std::nullopt;
    const std::size_t close = name.find(')', open);
    if (close == std::string_view::npos || close == open + 2) return std::nullopt;
    for (std::size_t i = open + 2; i < close; ++i) {
        if (name[i] < '0' || name[i] > '9') return std::nullopt;
    }
    const std::string_view rest = name.substr(close + 1);
    if (!rest.empty() && rest.front() != '.') return std::nullopt;
    return std::string(name.substr(0, open)) + std::string(rest);
}

bool Remover::QuarantineOn() {
    return settings::QuarantineCopiesOn(store_);
}

std::optional<int> Remover::FreeArchiveNumber(std::string_view fileName) {
    const auto taken = [&](int number) {
        return files_.KindOf(paths_.QuarantineFolder() + "/" + ArchiveName(fileName, number)).has_value();
    };
    if (!taken(1)) return 1;
    // Archives of one name are numbered without gaps unless some were
    // restored or deleted: double until a free number, then halve the gap.
    // Any free number will do; the copy never replaces a taken one.
    int low = 1;
    int high = 2;
    while (taken(high)) {
        low = high;
        if (high > kMostArchivesPerName / 2) return std::nullopt;
        high *= 2;
    }
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        (taken(middle) ? low : high) = middle;
    }
    return high;
}

Remover::Archived Remover::Archive(const ports::ReachablePath& location, const ports::EntryIdentity& identity,
                                   std::string_view detection, const std::optional<std::string>& linkTarget) {
    const std::string_view fileName = ArchiveStem(text::FileNameOf(location.below));
    const std::string start = location.startFolder.empty() ? "/" : location.startFolder;
    const std::string record = SerializeRecord(
        {location.FullPath(), std::string(detection), text::LocalTimeText(clock_()), start, linkTarget.value_or("")});
    for (int attempt = 0; attempt < kArchiveAttempts; ++attempt) {
        const std::optional<int> number = FreeArchiveNumber(fileName);
        if (!number) break;
        const std::string name = ArchiveName(fileName, *number);
        const std::string target = paths_.QuarantineFolder() + "/" + name;
        const std::string recordPath = paths_.QuarantineFolder() + "/" + RecordNameOf(name);
        // The record is in place before the archive is, so a removal killed at
        // any moment never leaves an archive that cannot go back where it came
        // from. It replaces a record left from an archive deleted by hand. An
        // archive without its record is no copy the user can rely on: no delete.
        if (!fileStore_.ReplaceFile(recordPath, record, ports::FileRole::Record)) break;
        // Only the file that was looked at is copied, never one put under its
        // name since. A link's archive holds its target text.
        const ports::CopyResult copied =
            linkTarget ? files_.WriteNewFile(ports::ReachablePath::InFolder(target), *linkTarget)
                       : files_.CopyFile(location, ports::ReachablePath::InFolder(target), false, identity);
        if (copied == ports::CopyResult::Copied) return {name, RemovalProblem::None};
        // The record describes nothing now, unless an archive took the name
        // meanwhile: better a record that names another file than an archive without one.
        if (!files_.KindOf(target)) files_.Remove(recordPath);
        // Taken between the look and the copy: look again; any other failure ends here.
        if (copied != ports::CopyResult::TargetTaken) return {std::nullopt, ProblemOfCopy(copied)};
    }
    return {std::nullopt, RemovalProblem::CopyFailed};
}

void Remover::DiscardArchive(const std::string& name) {
    const std::string folder = paths_.QuarantineFolder() + "/";
    // The archive first: if it stays, so does its record.
    if (files_.Remove(folder + name)) files_.Remove(folder + RecordNameOf(name));
}

RemovalProblem Remover::ProblemWith(const ports::ReachablePath& location, RemovalProblem otherwise) {
    // Asked only once something failed: a removal that works costs no extra look.
    if (files_.KindOf(location.FullPath()) == ports::EntryKind::Folder) return RemovalProblem::Folder;
    return otherwise;
}

Removal Remover::Remove(const ports::ReachablePath& location, std::string_view detection) {
    Removal result;
    const auto fail = [&](RemovalProblem problem) {
        result.problem = problem;
        return result;
    };
    std::unique_ptr<ports::FolderLock> lock;
    const bool keepCopy = QuarantineOn();
    if (keepCopy) {
        if (!fileStore_.CreateFolders(paths_.QuarantineFolder())) return fail(RemovalProblem::CopyFailed);
        lock = files_.LockFolder(paths_.QuarantineFolder());
        if (!lock) return fail(RemovalProblem::CopyFailed);
        // A removal killed during its copy left a temporary file; no other
        // copy can be under way while the lock is held.
        if (!sweptUnfinishedCopies_) files_.RemoveUnfinishedCopies(paths_.QuarantineFolder());
        sweptUnfinishedCopies_ = true;
    }
    // Which file the name stands for now: the one that is archived and deleted.
    const ports::EntryLookup found = files_.Find(location);
    if (found.presence == ports::Presence::Missing) {
        result.outcome = RemovalOutcome::AlreadyGone;  // deleted since the scan: nothing to keep, nothing lost
        return fail(RemovalProblem::Gone);
    }
    if (found.presence != ports::Presence::Present) return fail(RemovalProblem::NoPermission);
    if (found.kind == ports::EntryKind::SymbolicLink) {
        // Read now, so that the record and the row can say where it pointed.
        result.linkTarget = files_.ReadLink(location, found.identity);
        if (!result.linkTarget) {
            if (files_.Find(location).presence != ports::Presence::Missing) return fail(RemovalProblem::Changed);
            result.outcome = RemovalOutcome::AlreadyGone;
            return fail(RemovalProblem::Gone);
        }
    }
    if (keepCopy) {
        const Archived archived = Archive(location, found.identity, detection, result.linkTarget);
        result.archive = archived.name;
        // Gone between the look and the copy: nothing to keep, nothing lost.
        if (archived.problem == RemovalProblem::Gone) result.outcome = RemovalOutcome::AlreadyGone;
        // No backup, no delete.
        if (!result.archive) return fail(archived.problem);
    }
    const ports::RemoveResult removed = files_.RemoveIfSame(location, found.identity);
    switch (removed) {
        case ports::RemoveResult::Removed: result.outcome = RemovalOutcome::Removed; break;
        case ports::RemoveResult::Missing:
            // Deleted by someone else between the look and the delete: the
            // copy, if one was made, is the user's only one now; it stays.
            result.outcome = RemovalOutcome::AlreadyGone;
            result.problem = RemovalProblem::Gone;
            break;
        case ports::RemoveResult::Changed:
        case ports::RemoveResult::Failed: {
            const bool changed = removed == ports::RemoveResult::Changed;
            // The file stays where it was, so its copy would only be a second
            // one: taken out again, and a retry starts from a clean quarantine.
            if (result.archive) DiscardArchive(*result.archive);
            result.archive.reset();
            result.problem = changed ? RemovalProblem::Changed : ProblemWith(location, RemovalProblem::NoPermission);
            break;
        }
    }
    return result;
}

std::int64_t Remover::CountRemoved() {
    return store_.RaiseCount(settings::keys::kTotalObjectsRemoved);
}

}  // namespace quellstone::quarantine
