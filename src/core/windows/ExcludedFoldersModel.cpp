#include "core/windows/ExcludedFoldersModel.h"

#include <algorithm>

#include "core/settings/ScanExclusions.h"
#include "core/text/DisplayEscape.h"
#include "core/text/FillIn.h"

namespace quellstone::windows {

using T = i18n::TextId;

void ExcludedFoldersModel::Load() {
    folders_ = settings::ExcludedFolders(store_);
    selected_.reset();
}

std::vector<std::string> ExcludedFoldersModel::ShownFolders() const {
    std::vector<std::string> shown;
    shown.reserve(folders_.size());
    for (const std::string& folder : folders_) shown.push_back(text::EscapeForDisplay(folder));
    return shown;
}

void ExcludedFoldersModel::SelectionChanged(std::optional<std::size_t> row) {
    selected_ = row && *row < folders_.size() ? row : std::nullopt;
}

bool ExcludedFoldersModel::Store() {
    if (settings::StoreExcludedFolders(store_, folders_)) return true;
    // Scans read the stored list: show that one, not the one that was lost.
    Load();
    dialogs_.ShowMessage(texts_.Text(T::ScanChoiceNotSaved), ports::MessageIcon::Warning, ports::MessageButtons::Ok);
    return false;
}

void ExcludedFoldersModel::AddClicked() {
    // The selection, else the home folder, where most folders worth leaving out are.
    const std::string start = selected_ ? folders_[*selected_] : homeFolder_.empty() ? std::string("/") : homeFolder_;
    const std::string chosen = dialogs_.ChooseFolder(texts_.Text(T::ChooseExcludedFolderTitle), start);
    if (chosen.empty()) return;
    if (!settings::UsableExcludedFolder(chosen)) {
        dialogs_.ShowMessage(text::FillIn(texts_.Text(T::ExcludedFolderRefused), text::EscapeForDisplay(chosen)),
                             ports::MessageIcon::Warning, ports::MessageButtons::Ok);
        return;
    }
    const std::string folder = settings::ExcludedFolderForm(chosen);
    folders_ = settings::ExcludedFolders(store_);
    auto found = std::ranges::find(folders_, folder);
    if (found == folders_.end()) {
        folders_.push_back(folder);
        if (!Store()) return;
        found = folders_.end() - 1;
    }
    selected_ = static_cast<std::size_t>(found - folders_.begin());
}

void ExcludedFoldersModel::RemoveClicked() {
    if (!selected_) return;
    // By name: the stored list may have changed since it was shown.
    const std::string folder = folders_[*selected_];
    const std::size_t row = *selected_;
    folders_ = settings::ExcludedFolders(store_);
    std::erase(folders_, folder);
    if (!Store()) return;
    selected_ = folders_.empty() ? std::nullopt : std::optional(std::min(row, folders_.size() - 1));
}

}  // namespace quellstone::windows
