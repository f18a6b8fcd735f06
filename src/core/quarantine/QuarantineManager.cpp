#include "core/quarantine/QuarantineManager.h"

#include <algorithm>

#include "core/quarantine/Remover.h"
#include "core/scan/FolderWalk.h"
#include "core/text/NaturalOrder.h"
#include "core/text/PathText.h"
#include "core/text/UpperCase.h"

namespace quellstone::quarantine {

bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::optional<QuarantineRecord> QuarantineManager::RecordOf(const std::string& archiveName) {
    const ports::FileContent text =
        records_.ReadFile(ArchivePath(RecordNameOf(archiveName)), ports::FileRole::Record);
    if (text.status != ports::ReadStatus::Ok) return std::nullopt;
    return ParseRecord(text.bytes);
}

std::string QuarantineManager::DetectionOf(const std::string& archiveName,
                                           const std::optional<QuarantineRecord>& record) {
    const std::string original = StripArchiveExtension(archiveName);
    std::string detection = signatures_.LookupSignature(original);
    if (detection.empty()) {
        if (const auto unnumbered = WithoutArchiveNumber(original))
            detection = signatures_.LookupSignature(*unnumbered);
    }
    if (detection.empty() && record) detection = record->detection;
    return detection;
}

std::string QuarantineManager::DetectionOf(const std::string& archiveName) {
    return DetectionOf(archiveName, RecordOf(archiveName));
}

std::string QuarantineManager::OriginalNameOf(const std::string& archiveName) {
    if (const std::optional<QuarantineRecord> record = RecordOf(archiveName)) {
        const std::string_view name = text::FileNameOf(record->originalPath);
        if (IsPlainFileName(name)) return std::string(name);
    }
    // Without a record the name is read back from the archive's own name.
    const std::string original = StripArchiveExtension(archiveName);
    return WithoutArchiveNumber(original).value_or(original);
}

bool IsArchiveName(std::string_view name) {
    return name.size() >= kArchiveExtension.size() &&
           text::EqualsIgnoringCase(name.substr(name.size() - kArchiveExtension.size()), kArchiveExtension);
}

std::size_t QuarantineManager::CountArchives() {
    const std::vector<std::string> names = files_.ListFiles(paths_.QuarantineFolder());
    return static_cast<std::size_t>(
        std::ranges::count_if(names, [](const std::string& name) { return IsArchiveName(name); }));
}

void QuarantineManager::Rebuild() {
    rows_.clear();
    std::vector<std::string> names = files_.ListFiles(paths_.QuarantineFolder());
    std::erase_if(names, [](const std::string& name) { return !IsArchiveName(name); });
    // Name order as a file list shows it: letters without regard to case,
    // "a (2).exe.arc" before "a (10).exe.arc". Each name upper-cased once.
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names) keyed.emplace_back(text::NaturalKey(name), std::move(name));
    std::ranges::sort(
        keyed, [](const auto& a, const auto& b) { return text::NaturalLess(a.first, a.second, b.first, b.second); });
    rows_.reserve(keyed.size());
    for (const auto& [key, name] : keyed) {
        const std::optional<std::uint64_t> size = files_.SizeOf(ArchivePath(name));
        const std::optional<QuarantineRecord> record = RecordOf(name);
        rows_.push_back({name, DetectionOf(name, record), size ? std::to_string(*size) : std::string(),
                         record ? record->originalPath : std::string(), record ? record->removedAt : std::string(),
                         record ? record->linkTarget : std::string()});
    }
}

bool QuarantineManager::DeleteArchive(const std::string& archiveName) {
    // Under the quarantine's lock, so a removal cannot take the name between the two deletes.
    const std::unique_ptr<ports::FolderLock> lock = files_.LockFolder(paths_.QuarantineFolder());
    return RemoveArchiveAndRecord(archiveName);
}

bool QuarantineManager::RemoveArchiveAndRecord(const std::string& archiveName) {
    // The archive first: one that stays keeps its record, and a record of nothing is no use.
    const bool removed = files_.Remove(ArchivePath(archiveName));
    if (removed || !files_.KindOf(ArchivePath(archiveName))) files_.Remove(ArchivePath(RecordNameOf(archiveName)));
    return removed;
}

bool QuarantineManager::Delete(std::optional<std::size_t> row) {
    if (!row || *row >= rows_.size() || rows_[*row].name.empty()) return false;
    const std::string name = rows_[*row].name;
    if (!DeleteArchive(name)) return false;
    DropRow(name);
    return true;
}

void QuarantineManager::DropRow(const std::string& archiveName) {
    std::erase_if(rows_, [&](const QuarantineRow& row) { return row.name == archiveName; });
}

std::string QuarantineManager::LinkTextAt(const QuarantineRecord& record, const std::string& target) {
    const std::string original = text::FolderOf(record.originalPath);
    if (record.linkTarget.starts_with('/') || text::FolderOf(target) == original) return record.linkTarget;
    // Elsewhere a relative link would point at another file: it is written out from its own folder.
    const std::string absolute = scan::LexicallyAbsolute(record.linkTarget, original);
    return absolute.empty() ? "/" : absolute;
}

RestoreOutcome QuarantineManager::CopyOut(const std::string& archiveName, const std::string& target,
                                          const ports::ReachablePath& reach, bool replace) {
    // A restore into the quarantine folder would replace another archive or
    // leave an unlisted copy; onto the archive itself it would delete the only copy.
    if (files_.SameFile(text::FolderOf(target), paths_.QuarantineFolder()) ||
        files_.SameFile(target, paths_.QuarantineFolder()) || files_.SameFile(ArchivePath(archiveName), target)) {
        return RestoreOutcome::InsideQuarantine;
    }
    if (!replace && files_.KindOf(target)) return RestoreOutcome::TargetTaken;
    // Under the quarantine's lock, so a removal cannot reuse the name while the archive goes.
    const std::unique_ptr<ports::FolderLock> lock = files_.LockFolder(paths_.QuarantineFolder());
    // A link comes back as the link it was, pointing where it pointed; its target is not looked at.
    const std::optional<QuarantineRecord> record = RecordOf(archiveName);
    // The quarantine folder's own path may go through links; the archive itself is never followed.
    const ports::CopyResult copied =
        record && !record->linkTarget.empty()
            ? files_.CreateLink(reach, LinkTextAt(*record, target), replace)
            : files_.CopyFile(ports::ReachablePath::InFolder(ArchivePath(archiveName)), reach, replace, std::nullopt);
    if (copied == ports::CopyResult::TargetTaken) return RestoreOutcome::TargetTaken;
    if (copied != ports::CopyResult::Copied) return RestoreOutcome::Failed;
    // The file is back: the archive and its record go. An archive that cannot
    // be deleted stays listed, which loses nothing.
    RemoveArchiveAndRecord(archiveName);
    return RestoreOutcome::Restored;
}

RestoreOutcome QuarantineManager::RestoreTo(const std::string& archiveName, std::optional<std::string> target) {
    if (!IsPlainFileName(archiveName) || files_.KindOf(ArchivePath(archiveName)) != ports::EntryKind::RegularFile)
        return RestoreOutcome::NoArchive;
    if (!target) {
        const std::optional<QuarantineRecord> record = RecordOf(archiveName);
        if (!record) return RestoreOutcome::NoOriginalPath;
        // Reached as removal reached it: no link followed below the scan's start folder.
        return CopyOut(archiveName, record->originalPath, record->OriginalLocation(), false);
    }
    if (target->empty()) return RestoreOutcome::Failed;
    if (files_.ResolvesToFolder(*target)) {
        // Into a folder (a link to one included) under the original name,
        // never over a file that is already there.
        const std::string inFolder = PathInFolder(*target, archiveName);
        return CopyOut(archiveName, inFolder, ports::ReachablePath::InFolder(inFolder), false);
    }
    return CopyOut(archiveName, *target, ports::ReachablePath::InFolder(*target), true);
}

std::string QuarantineManager::PathInFolder(const std::string& folder, const std::string& archiveName) {
    return folder + (folder.ends_with('/') ? "" : "/") + OriginalNameOf(archiveName);
}

Restored QuarantineManager::RestoreIntoFolder(const std::string& archiveName, const std::string& folder) {
    const std::string path = PathInFolder(folder, archiveName);
    // Never as a file named like the folder: each archive would replace the one before.
    if (folder.empty() || !files_.ResolvesToFolder(folder)) return {RestoreOutcome::Failed, path};
    return {RestoreTo(archiveName, folder), path};
}

std::optional<Restored> QuarantineManager::Restore(std::optional<std::size_t> row, std::string_view dialogTitle,
                                                   std::string_view acceptButton) {
    if (!row || *row >= rows_.size() || rows_[*row].name.empty()) return std::nullopt;
    // Taken before the question: the list may be rebuilt while the dialog is open.
    const std::string name = rows_[*row].name;
    const std::optional<QuarantineRecord> record = RecordOf(name);
    const std::string suggested = record ? record->originalPath : OriginalNameOf(name);
    const std::optional<std::string> target = dialogs_.ChooseSaveFile(dialogTitle, suggested, acceptButton);
    if (!target) return std::nullopt;
    // A folder named in the dialog is restored into, under the original name.
    const std::string path =
        !target->empty() && files_.ResolvesToFolder(*target) ? PathInFolder(*target, name) : *target;
    const Restored restored{RestoreTo(name, *target), path};
    if (restored.outcome == RestoreOutcome::Restored) DropRow(name);
    return restored;
}

}  // namespace quellstone::quarantine
