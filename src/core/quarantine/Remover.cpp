#include "core/quarantine/Remover.h"

#include "core/scan/SignatureDatabase.h"
#include "core/settings/Statistics.h"

namespace quellstone::quarantine {

namespace {
// Enough numbered names for any real quarantine; past it a removal with
// quarantine on fails rather than overwrite an archive.
constexpr int kMostArchivesPerName = 10000;
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
    // A settings file that cannot be read might hold "on": keep a copy to be safe.
    if (!store_.Readable()) return true;
    return store_.Read(settings::kSettingsSection, kQuarantineSetting, "0") == "1";
}

std::optional<std::string> Remover::Archive(const std::string& path) {
    if (!files_.CreateFolders(paths_.QuarantineFolder())) return std::nullopt;
    const std::string_view fileName = scan::FileNameOf(path);
    for (int number = 1; number <= kMostArchivesPerName; ++number) {
        const std::string name = ArchiveName(fileName, number);
        const std::string target = paths_.QuarantineFolder() + "/" + name;
        if (files_.TypeOf(target) != ports::EntryType::Missing) continue;
        if (files_.CopyFile(path, target, false)) return name;
        // Taken between the look and the copy: try the next number; any other failure ends here.
        if (files_.TypeOf(target) == ports::EntryType::Missing) return std::nullopt;
    }
    return std::nullopt;
}

Removal Remover::Remove(const std::string& path) {
    Removal result;
    // Which file the name stands for now: the one that is archived and deleted.
    const std::optional<ports::EntryIdentity> identity = files_.IdentityOf(path);
    // Already gone (deleted by hand after the scan): nothing to keep, nothing lost.
    if (!identity) {
        result.removed = files_.TypeOf(path) == ports::EntryType::Missing;
        return result;
    }
    if (QuarantineOn()) {
        result.archive = Archive(path);
        if (!result.archive) return result;  // no backup, no delete
    }
    // Deleted only while the name still stands for the same file; a failed
    // delete shows in the check below.
    [[maybe_unused]] const bool deleted = files_.RemoveIfSame(path, *identity);
    result.removed = files_.TypeOf(path) == ports::EntryType::Missing;
    return result;
}

std::int64_t Remover::CountRemoved() {
    return store_.RaiseCount(settings::kStatusSection, settings::kTotalObjectsRemoved);
}

}  // namespace quellstone::quarantine
