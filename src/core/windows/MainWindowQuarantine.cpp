// The main window's quarantine: the frame's list, its delete and restore
// links, and the information frame's count of archives.
#include <algorithm>

#include "core/text/DisplayEscape.h"
#include "core/text/FillIn.h"
#include "core/windows/MainWindowModel.h"

namespace quellstone::windows {

namespace {

using T = i18n::TextId;
using C = MainControl;
using quarantine::RestoreOutcome;

// Why a restore failed, as the language says it.
T ReasonOf(RestoreOutcome outcome) {
    switch (outcome) {
        case RestoreOutcome::NoArchive: return T::RestoreNoArchive;
        case RestoreOutcome::TargetTaken: return T::RestoreTargetTaken;
        case RestoreOutcome::InsideQuarantine: return T::RestoreInsideQuarantine;
        case RestoreOutcome::Restored:  // not a failure; never asked for
        case RestoreOutcome::NoOriginalPath:
        case RestoreOutcome::Failed: break;
    }
    return T::RestoreCopyFailed;
}

// Lines of a message, one per entry.
std::string Lines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) joined += (joined.empty() ? "" : "\r") + line;
    return joined;
}

}  // namespace

const std::vector<quarantine::QuarantineRow>& MainWindowModel::QuarantineRows() const {
    static const std::vector<quarantine::QuarantineRow> kNone;
    return ports_.quarantine ? ports_.quarantine->Rows() : kNone;
}

void MainWindowModel::ReloadQuarantine() {
    if (ports_.quarantine) {
        ports_.quarantine->Rebuild();
        SetCaption(C::QuarantinedStatus, std::to_string(ports_.quarantine->Rows().size()));
    }
    if (hooks_.rebuildQuarantineList) hooks_.rebuildQuarantineList();
}

void MainWindowModel::ShowQuarantineCount() {
    SetCaption(C::QuarantinedStatus, std::to_string(ports_.quarantine ? ports_.quarantine->CountArchives() : 0));
}

void MainWindowModel::QuarantineFolderChanged() {
    // A list that is not shown is rebuilt when its frame is entered.
    if (currentFrame_ == Frame::Quarantine) {
        ReloadQuarantine();
    } else {
        ShowQuarantineCount();
    }
}

std::vector<std::string> MainWindowModel::SelectedArchives(const std::vector<std::size_t>& selected) const {
    std::vector<std::size_t> rows = selected;
    std::ranges::sort(rows);
    const auto [first, last] = std::ranges::unique(rows);
    rows.erase(first, last);
    std::vector<std::string> names;
    for (const std::size_t row : rows) {
        if (row < QuarantineRows().size() && !QuarantineRows()[row].name.empty())
            names.push_back(QuarantineRows()[row].name);
    }
    return names;
}

void MainWindowModel::QuarantineDeleteClicked(const std::vector<std::size_t>& selected) {
    // By name, taken before the question: the list may change while it is open.
    const std::vector<std::string> archives = SelectedArchives(selected);
    if (!ports_.quarantine || archives.empty()) return;
    const std::string question =
        archives.size() == 1
            ? text::FillIn(shared_.texts.Text(T::DeleteForGoodQuestion), {text::EscapeForDisplay(archives[0])})
            : text::FillIn(shared_.texts.Text(T::DeleteArchivesQuestion), {std::to_string(archives.size())});
    if (ports_.dialogs.ShowMessage(question, ports::MessageIcon::Question, ports::MessageButtons::YesNo,
                                   ports::MessageAnswer::No) != ports::MessageAnswer::Yes) {
        return;
    }
    for (const std::string& archive : archives) {
        // What failed shows below, from the folder as it is now.
        [[maybe_unused]] const bool deleted = ports_.quarantine->DeleteArchive(archive);
    }
    ReloadQuarantine();
    // An archive another program took meanwhile is gone as asked; one still listed was not deleted.
    std::vector<std::string> kept;
    for (const quarantine::QuarantineRow& row : QuarantineRows()) {
        if (std::ranges::find(archives, row.name) != archives.end()) kept.push_back(text::EscapeForDisplay(row.name));
    }
    if (kept.empty()) return;
    ports_.dialogs.ShowMessage(text::FillIn(shared_.texts.Text(T::NotDeleted), {Lines(kept)}),
                               ports::MessageIcon::Warning, ports::MessageButtons::Ok);
}

void MainWindowModel::QuarantineRestoreClicked(const std::vector<std::size_t>& selected) {
    const std::vector<std::string> archives = SelectedArchives(selected);
    if (!ports_.quarantine || archives.empty()) return;
    if (archives.size() == 1) {
        // The row the name stands at; SelectedArchives kept only rows of the list.
        const auto row = std::ranges::find(QuarantineRows(), archives[0], &quarantine::QuarantineRow::name);
        RestoreOne(static_cast<std::size_t>(row - QuarantineRows().begin()));
    } else {
        RestoreSeveral(archives);
    }
}

void MainWindowModel::RestoreOne(std::size_t row) {
    const std::string archive = QuarantineRows()[row].name;
    const std::string& restore = shared_.texts.Text(T::Restore);
    const std::optional<quarantine::Restored> restored = ports_.quarantine->Restore(row, restore, restore);
    ReloadQuarantine();
    if (!restored) return;  // cancelled
    if (restored->outcome == RestoreOutcome::Restored) {
        ports_.dialogs.ShowMessage(
            text::FillIn(shared_.texts.Text(T::RestoredTo), {text::EscapeForDisplay(restored->path)}),
            ports::MessageIcon::Information, ports::MessageButtons::Ok);
        return;
    }
    const std::string line = text::EscapeForDisplay(archive) + ": " + shared_.texts.Text(ReasonOf(restored->outcome));
    ports_.dialogs.ShowMessage(text::FillIn(shared_.texts.Text(T::NotRestored), {line}), ports::MessageIcon::Warning,
                               ports::MessageButtons::Ok);
}

void MainWindowModel::RestoreSeveral(const std::vector<std::string>& archives) {
    const std::string question =
        text::FillIn(shared_.texts.Text(T::RestoreArchivesQuestion), {std::to_string(archives.size())});
    if (ports_.dialogs.ShowMessage(question, ports::MessageIcon::Question, ports::MessageButtons::YesNo,
                                   ports::MessageAnswer::No) != ports::MessageAnswer::Yes) {
        return;
    }
    const std::string folder =
        ports_.dialogs.ChooseFolder(shared_.texts.Text(T::RestoreFolderTitle), paths_.homeFolder);
    if (folder.empty()) return;  // cancelled
    std::size_t restoredCount = 0;
    std::vector<std::string> failed;
    for (const std::string& archive : archives) {
        const quarantine::Restored restored = ports_.quarantine->RestoreIntoFolder(archive, folder);
        if (restored.outcome == RestoreOutcome::Restored) {
            ++restoredCount;
        } else {
            failed.push_back(text::EscapeForDisplay(archive) + ": " + shared_.texts.Text(ReasonOf(restored.outcome)));
        }
    }
    ReloadQuarantine();
    std::vector<std::string> said;
    if (restoredCount > 0) {
        said.push_back(text::FillIn(shared_.texts.Text(T::RestoredIntoFolder),
                                    {std::to_string(restoredCount), text::EscapeForDisplay(folder)}));
    }
    if (!failed.empty()) said.push_back(text::FillIn(shared_.texts.Text(T::NotRestored), {Lines(failed)}));
    // What went where, then what did not, a blank line between them.
    std::string message = said[0];
    if (said.size() > 1) message += "\r\r" + said[1];
    ports_.dialogs.ShowMessage(message, failed.empty() ? ports::MessageIcon::Information : ports::MessageIcon::Warning,
                               ports::MessageButtons::Ok);
}

}  // namespace quellstone::windows
