#include "core/update/UpdateWindowModel.h"

#include "core/app/Version.h"
#include "core/update/UpdateCheck.h"

namespace quellstone::update {

bool CheckAndAsk(app::Context& context, UpdatePorts& ports, ports::HttpRequest& request, bool& downloaded) {
    const std::string local = app::VersionText(app::BuildVersion());
    std::string body;
    downloaded = Pobierz(request, ports.pump, VersionFileAddress(ports.serverAddress), body, context.quit.get_token());
    // A body that is no version number is a failed check, like no answer at all.
    const VersionVerdict verdict = downloaded ? CompareVersions(body, local) : VersionVerdict::NotAVersion;
    downloaded = verdict != VersionVerdict::NotAVersion;
    if (verdict != VersionVerdict::Newer) return false;
    if (ports.dialogs.ShowMessage(context.languageText.Text(144), ports::MessageIcon::Question,
                                  ports::MessageButtons::YesNo,
                                  ports::MessageAnswer::Yes) == ports::MessageAnswer::Yes &&
        !context.quit.stop_requested()) {  // a dialog ended by quitting is no Yes
        ports.openers.OpenUpdatePage();
    }
    return true;
}

void UpdateWindowModel::Load() {
    info_ = context_.languageText.Text(145);
    cancelCaption_ = context_.languageText.Text(147);
    progress_ = 0;
    timers_[1] = {900, true};
    timers_[2] = {700, true};
}

void UpdateWindowModel::Timer1Tick() {
    if (checking_ || closed_) return;  // one check at a time
    checking_ = true;
    timers_[1].enabled = false;
    request_ = ports_.http.NewRequest();
    ++requests_;
    bool downloaded = false;
    const bool newer = CheckAndAsk(context_, ports_, *request_, downloaded);
    checking_ = false;
    if (closed_) return;  // cancelled while the request ran
    if (!newer) {
        ports_.dialogs.ShowMessage(context_.languageText.Text(146), ports::MessageIcon::Information,
                                   ports::MessageButtons::Ok);
    }
    Close();
}

void UpdateWindowModel::Timer2Tick() {
    if (progress_ >= 100) {
        timers_[2].enabled = false;
        return;
    }
    // The bar refuses a value beyond its maximum and keeps the one it has.
    if (progress_ + 10 <= ProgressMaximum()) progress_ += 10;
}

void UpdateWindowModel::CancelClicked() {
    timers_[1].enabled = false;
    timers_[2].enabled = false;
    Close();
}

void UpdateWindowModel::Close() {
    if (request_) request_->Cancel();
    timers_[1].enabled = false;
    timers_[2].enabled = false;
    closed_ = true;
}

void SilentUpdateModel::TimerTick() {
    if (checking_ || closed_) return;
    checking_ = true;
    timer_.enabled = false;
    request_ = ports_.http.NewRequest();
    bool downloaded = false;
    // Nothing is shown unless a newer version exists.
    [[maybe_unused]] const bool newer = CheckAndAsk(context_, ports_, *request_, downloaded);
    checking_ = false;
    Close();
}

void SilentUpdateModel::Close() {
    if (request_) request_->Cancel();
    timer_.enabled = false;
    closed_ = true;
}

}  // namespace quellstone::update
