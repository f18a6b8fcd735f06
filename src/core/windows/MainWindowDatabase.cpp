// The main window's signature database: the information frame's database
// line and the database update's progress and result.
#include "core/scan/SignatureDatabase.h"
#include "core/scan/SignatureIndex.h"
#include "core/text/FillIn.h"
#include "core/update/DatabaseFacts.h"
#include "core/update/DatabaseInUse.h"
#include "core/update/UpdateCheck.h"
#include "core/windows/MainWindowModel.h"
#include "core/windows/UpdateFailureText.h"

namespace quellstone::windows {

namespace {

using T = i18n::TextId;
using C = MainControl;

}  // namespace

update::DatabaseProblem MainWindowModel::ShowDatabaseFacts() {
    const std::string path = shared_.signatures.DefaultPath();
    const update::DatabaseFacts facts = update::ReadDatabaseFacts(path, ports_.files);
    // Which of the three databases it is: the shipped one, the system's or the user's own.
    const T source = path == update::SystemDatabasePath(paths_) ? T::DatabaseOfTheSystem
                     : path == update::UserDatabasePath(paths_) ? T::DatabaseOfTheUser
                                                                : T::DatabaseShipped;
    SetCaption(C::DatabaseVersion,
               text::FillIn(shared_.texts.Text(T::DatabaseAndSource),
                            {update::DatabaseFactsText(facts, shared_.texts), shared_.texts.Text(source)}));
    databaseUsable_ = facts.problem == update::DatabaseProblem::None;
    // Never "loaded" for a database that is not there: a scan with it would find nothing.
    SetCaption(C::DatabaseLoaded, databaseUsable_ ? shared_.texts.Text(T::DatabaseLoaded)
                                                  : update::DatabaseProblemText(facts.problem, path, shared_.texts));
    return facts.problem;
}

std::shared_ptr<const scan::SignatureIndex> MainWindowModel::DatabaseReadyForScan() {
    // The index the scan will use, loaded now when the file changed.
    std::shared_ptr<const scan::SignatureIndex> index = shared_.signatures.IndexInUse();
    if (index->LoadStatus() == scan::SignatureIndex::Status::Loaded) return index;
    // Read a moment later, the file may have come back; the scan still does not start on a failed load.
    update::DatabaseProblem problem = ShowDatabaseFacts();
    if (problem == update::DatabaseProblem::None) problem = update::DatabaseProblem::Unreadable;
    ports_.dialogs.ShowMessage(
        text::FillIn(shared_.texts.Text(T::ScanCannotStart),
                     {update::DatabaseProblemText(problem, shared_.signatures.DefaultPath(), shared_.texts)}),
        ports::MessageIcon::Error, ports::MessageButtons::Ok);
    return nullptr;
}

MainWindowModel::Action MainWindowModel::DatabaseUpdateClicked() {
    SetCurrentFrame(Frame::Information);
    return Action::UpdateDatabase;
}

void MainWindowModel::RefuseDatabaseUpdateDuringScan() {
    ports_.dialogs.ShowMessage(shared_.texts.Text(T::DatabaseUpdateDuringScan), ports::MessageIcon::Information,
                               ports::MessageButtons::Ok);
}

void MainWindowModel::ShowDatabaseUpdating() {
    SetCaption(C::DatabaseUpdateStatus, shared_.texts.Text(T::DatabaseUpdating));
}

void MainWindowModel::ShowDatabaseUpdateResult(const update::DatabaseUpdateResult& result) {
    using Outcome = update::DatabaseUpdateOutcome;
    const std::string version = result.version ? update::DatabaseVersionText(*result.version) : "";
    std::string shown;
    // What went wrong in the words of the network, the server or the checks; a
    // missing key or server says all there is to say.
    std::string_view detail;
    switch (result.outcome) {
        case Outcome::Installed: shown = text::FillIn(shared_.texts.Text(T::DatabaseInstalled), {version}); break;
        case Outcome::AlreadyNewest:
            shown = text::FillIn(shared_.texts.Text(T::DatabaseAlreadyNewest), {version});
            break;
        default:
            shown = text::FillIn(shared_.texts.Text(T::DatabaseUpdateFailed),
                                 {DatabaseUpdateFailureReason(result, shared_.texts)});
            if (result.outcome != Outcome::NoKey && result.outcome != Outcome::NoServer) detail = result.detail;
            break;
    }
    // The frame's line says what came of it; the message adds the details.
    SetCaption(C::DatabaseUpdateStatus, shown);
    ShowDatabaseFacts();
    // A closing program says nothing more.
    if (result.outcome == Outcome::Cancelled) return;
    ports_.dialogs.ShowMessage(WithDetails(shown, detail, shared_.texts),
                               result.Succeeded() ? ports::MessageIcon::Information : ports::MessageIcon::Warning,
                               ports::MessageButtons::Ok);
}

}  // namespace quellstone::windows
