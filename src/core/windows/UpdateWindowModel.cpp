#include "core/windows/UpdateWindowModel.h"

#include "core/update/UpdateCheck.h"
#include "core/update/Version.h"

namespace quellstone::windows {

using T = i18n::TextId;

bool CheckAndAsk(UpdatePorts& ports, ports::HttpRequest& request, bool& downloaded) {
    const std::string local = update::VersionText(update::BuildVersion());
    std::string body;
    downloaded = update::DownloadVersionFile(request, ports.pump, update::VersionFileAddress(ports.serverAddress), body,
                                             ports.quit);
    // A body that is no version number is a failed check, like no answer at all.
    const update::VersionVerdict verdict =
        downloaded ? update::CompareVersions(body, local) : update::VersionVerdict::NotAVersion;
    downloaded = verdict != update::VersionVerdict::NotAVersion;
    if (verdict != update::VersionVerdict::Newer) return false;
    if (ports.dialogs.ShowMessage(ports.texts.Text(T::NewerVersionQuestion), ports::MessageIcon::Question,
                                  ports::MessageButtons::YesNo,
                                  ports::MessageAnswer::Yes) == ports::MessageAnswer::Yes &&
        !ports.quit.stop_requested()) {  // a dialog ended by quitting is no Yes
        ports.openers.OpenUpdatePage();
    }
    return true;
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
    bool downloaded = false;
    const bool newer = CheckAndAsk(ports_, *request_, downloaded);
    checking_ = false;
    if (closed_) return;  // cancelled while the request ran
    if (!newer) {
        ports_.dialogs.ShowMessage(ports_.texts.Text(T::NoNewerVersion), ports::MessageIcon::Information,
                                   ports::MessageButtons::Ok);
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
    bool downloaded = false;
    // Nothing is shown unless a newer version exists.
    [[maybe_unused]] const bool newer = CheckAndAsk(ports_, *request_, downloaded);
    checking_ = false;
    Close();
}

void SilentUpdateModel::Close() {
    if (request_) request_->Cancel();
    timer_.enabled = false;
    closed_ = true;
}

}  // namespace quellstone::windows
