#include "core/windows/UpdateWindowModel.h"

#include "core/text/FillIn.h"
#include "core/update/UpdateCheck.h"
#include "core/update/Version.h"
#include "core/windows/UpdateFailureText.h"

namespace quellstone::windows {

using T = i18n::TextId;

namespace {

// How much of the server's version a question shows.
constexpr std::size_t kMaxVersionChars = 32;

}  // namespace

CheckOutcome CheckAndAsk(UpdatePorts& ports, ports::HttpRequest& request) {
    const std::string local = update::VersionText(update::BuildVersion());
    std::string body;
    update::DownloadFailure failure;
    const bool downloaded = update::DownloadVersionFile(
        request, ports.pump, update::VersionFileAddress(ports.serverAddress), body, ports.quit, failure);
    if (ports.quit.stop_requested()) return {CheckOutcome::Kind::Quit, {}};
    if (!downloaded) {
        return {failure.answered ? CheckOutcome::Kind::Failed : CheckOutcome::Kind::Unreachable,
                DownloadFailureReason(failure, ports.texts), failure.text};
    }
    // A body that is no version number is a failed check, like a status other than 200.
    const update::VersionVerdict verdict = update::CompareVersions(body, local);
    if (verdict == update::VersionVerdict::NotAVersion) {
        return {CheckOutcome::Kind::Failed, ports.texts.Text(T::UpdateAnswerNotAVersion)};
    }
    if (verdict == update::VersionVerdict::NotNewer) return {CheckOutcome::Kind::Newest, {}};
    const std::string remote = update::ServerTextForDisplay(body, kMaxVersionChars);
    const std::string question = text::FillIn(ports.texts.Text(T::UpdateVersions), {local, remote}) + "\r\r" +
                                 ports.texts.Text(T::NewerVersionQuestion);
    if (ports.dialogs.ShowMessage(question, ports::MessageIcon::Question, ports::MessageButtons::YesNo,
                                  ports::MessageAnswer::Yes) == ports::MessageAnswer::Yes &&
        !ports.quit.stop_requested()) {  // a dialog ended by quitting is no Yes
        ports.openers.OpenUpdatePage();
    }
    return {CheckOutcome::Kind::Newer, {}};
}

void UpdateWindowModel::Load() {
    info_ = ports_.texts.Text(T::CheckingForUpdates);
    cancelCaption_ = ports_.texts.Text(T::CancelButton);
    progress_ = 0;
    checkTimer_ = {900, true};
    progressTimer_ = {700, true};
}

ModelTimers UpdateWindowModel::Timers() {
    return {{"update.check", checkTimer_, [this] { CheckTick(); }},
            {"update.progress", progressTimer_, [this] { ProgressTick(); }}};
}

ModelTimers SilentUpdateModel::Timers() {
    return {{"update.silent", timer_, [this] { TimerTick(); }}};
}

void UpdateWindowModel::CheckTick() {
    if (checking_ || closed_) return;  // one check at a time
    checking_ = true;
    checkTimer_.enabled = false;
    request_ = ports_.http.NewRequest();
    ++requests_;
    const CheckOutcome outcome = CheckAndAsk(ports_, *request_);
    checking_ = false;
    if (closed_) return;  // cancelled while the request ran
    if (outcome.kind == CheckOutcome::Kind::Newest) {
        ports_.dialogs.ShowMessage(
            text::FillIn(ports_.texts.Text(T::NewestVersion), {update::VersionText(update::BuildVersion())}),
            ports::MessageIcon::Information, ports::MessageButtons::Ok);
    } else if (outcome.kind == CheckOutcome::Kind::Unreachable || outcome.kind == CheckOutcome::Kind::Failed) {
        const T message =
            outcome.kind == CheckOutcome::Kind::Unreachable ? T::UpdateServerUnreachable : T::UpdateCheckFailed;
        ports_.dialogs.ShowMessage(
            WithDetails(text::FillIn(ports_.texts.Text(message), outcome.reason), outcome.detail, ports_.texts),
            ports::MessageIcon::Warning, ports::MessageButtons::Ok);
    }
    Close();
}

void UpdateWindowModel::ProgressTick() {
    if (progress_ >= 100) {
        progressTimer_.enabled = false;
        return;
    }
    // The bar refuses a value beyond its maximum and keeps the one it has.
    if (progress_ + 10 <= ProgressMaximum()) progress_ += 10;
}

void UpdateWindowModel::CancelClicked() {
    checkTimer_.enabled = false;
    progressTimer_.enabled = false;
    Close();
}

void UpdateWindowModel::Close() {
    if (request_) request_->Cancel();
    checkTimer_.enabled = false;
    progressTimer_.enabled = false;
    closed_ = true;
}

void SilentUpdateModel::TimerTick() {
    if (checking_ || closed_) return;
    checking_ = true;
    timer_.enabled = false;
    request_ = ports_.http.NewRequest();
    // Nothing is shown unless a newer version exists.
    [[maybe_unused]] const CheckOutcome outcome = CheckAndAsk(ports_, *request_);
    checking_ = false;
    Close();
}

void SilentUpdateModel::Close() {
    if (request_) request_->Cancel();
    timer_.enabled = false;
    closed_ = true;
}

}  // namespace quellstone::windows
