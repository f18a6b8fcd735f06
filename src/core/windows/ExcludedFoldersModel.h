#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/i18n/LanguageTable.h"
#include "core/ports/Dialogs.h"
#include "core/settings/SettingsStore.h"

namespace quellstone::windows {

// The settings frame's list of folders that scans leave out: the stored list
// as the frame shows it, the selected row, and the add and remove buttons.
// Every change reads the stored list afresh and writes it back at once.
class ExcludedFoldersModel {
public:
    // `homeFolder`: where the picker opens while no folder is selected ("" for the root).
    ExcludedFoldersModel(const i18n::LanguageTable& texts, settings::SettingsStore& store, ports::Dialogs& dialogs,
                         std::string homeFolder = {})
        : texts_(texts), store_(store), dialogs_(dialogs), homeFolder_(std::move(homeFolder)) {}

    // Reads the stored list; nothing is selected.
    void Load();

    // The folders as stored (bytes), and each as shown.
    [[nodiscard]] const std::vector<std::string>& Folders() const { return folders_; }
    [[nodiscard]] std::vector<std::string> ShownFolders() const;

    [[nodiscard]] std::optional<std::size_t> Selected() const { return selected_; }
    void SelectionChanged(std::optional<std::size_t> row);
    [[nodiscard]] bool RemoveEnabled() const { return selected_.has_value(); }

    // Asks for a folder and adds it, selected; one already in the list is
    // only selected. A folder whose name holds a control character is
    // refused with a message. Cancelling the picker changes nothing.
    void AddClicked();
    // Removes the selected folder; the row after it (or the new last one) is selected then.
    // A list that cannot be stored is said so, and the stored one is shown again.
    void RemoveClicked();

private:
    // Writes the list; on failure shows a message and the stored list again, nothing selected.
    bool Store();

    const i18n::LanguageTable& texts_;
    settings::SettingsStore& store_;
    ports::Dialogs& dialogs_;
    std::string homeFolder_;
    std::vector<std::string> folders_;
    std::optional<std::size_t> selected_;
};

}  // namespace quellstone::windows
