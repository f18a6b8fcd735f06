#include "core/quarantine/QuarantineManager.h"

#include <algorithm>

#include "core/quarantine/Remover.h"
#include "core/text/UpperCase.h"

namespace quellstone::quarantine {

bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::string QuarantineManager::DetectionOf(const std::string& archiveName) {
    const std::string original = StripArchiveExtension(archiveName);
    std::string detection = signatures_.LookupSignature(original);
    if (detection.empty()) {
        if (const auto unnumbered = WithoutArchiveNumber(original))
            detection = signatures_.LookupSignature(*unnumbered);
    }
    return detection;
}

void QuarantineManager::Rebuild() {
    rows_.clear();
    std::vector<std::string> names = files_.ListFiles(paths_.QuarantineFolder());
    std::erase_if(names, [](const std::string& name) {
        return name.size() < kArchiveExtension.size() ||
               !text::EqualsIgnoringCase(std::string_view(name).substr(name.size() - kArchiveExtension.size()),
                                         kArchiveExtension);
    });
    // Name order, letters without regard to case, as a file list shows them.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string upperA = text::UpperCase(a), upperB = text::UpperCase(b);
        return upperA != upperB ? upperA < upperB : a < b;
    });
    for (const std::string& name : names) {
        const std::optional<std::uint64_t> size = files_.SizeOf(ArchivePath(name));
        rows_.push_back({name, DetectionOf(name), size ? std::to_string(*size) : std::string()});
    }
}

bool QuarantineManager::Delete(std::optional<std::size_t> row) {
    if (!row || *row >= rows_.size() || rows_[*row].name.empty()) return false;
    if (!files_.Remove(ArchivePath(rows_[*row].name))) return false;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*row));
    return true;
}

bool QuarantineManager::CopyOut(const std::string& archiveName, const std::string& target, bool replace) {
    // Restoring an archive onto itself (or a link to it) would delete the only copy.
    if (files_.SameFile(ArchivePath(archiveName), target)) return false;
    if (!files_.CopyFile(ArchivePath(archiveName), target, replace)) return false;
    return files_.Remove(ArchivePath(archiveName));
}

bool QuarantineManager::RestoreTo(const std::string& archiveName, std::string target) {
    if (!IsPlainFileName(archiveName) || target.empty()) return false;
    if (files_.ResolvesToFolder(target)) {
        // Into a folder (a link to one included) under the original name,
        // never over a file that is already there.
        const std::string original = StripArchiveExtension(archiveName);
        target += (target.ends_with('/') ? "" : "/") + WithoutArchiveNumber(original).value_or(original);
        return CopyOut(archiveName, target, false);
    }
    return CopyOut(archiveName, target, true);
}

bool QuarantineManager::Restore(std::optional<std::size_t> row, std::string_view dialogTitle) {
    if (!row || *row >= rows_.size() || rows_[*row].name.empty()) return false;
    const std::string original = StripArchiveExtension(rows_[*row].name);
    const std::optional<std::string> target =
        dialogs_.ChooseSaveFile(dialogTitle, WithoutArchiveNumber(original).value_or(original));
    if (!target || target->empty() || files_.ResolvesToFolder(*target)) return false;
    if (!CopyOut(rows_[*row].name, *target, true)) return false;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*row));
    return true;
}

}  // namespace quellstone::quarantine
