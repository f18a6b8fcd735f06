#include "core/windows/SplashModel.h"

namespace quellstone::windows {

using T = i18n::TextId;

bool SplashModel::Initialise(const std::function<void()>& raiseRunning) {
    languages_.LoadLanguage(texts_);
    if (lock_.TryAcquire()) return true;
    if (raiseRunning) raiseRunning();
    dialogs_.ShowMessage(texts_.Text(T::AlreadyRunning), ports::MessageIcon::Error, ports::MessageButtons::Ok);
    return false;
}

void SplashModel::Load() {
    timer_ = {300, true};
    ticks_ = 0;
    notice_ = texts_.Text(T::StartingNotice);
}

SplashModel::TickResult SplashModel::Tick() {
    ++ticks_;
    if (ticks_ != 3) return TickResult::Nothing;
    Close();
    return TickResult::HandOver;
}

}  // namespace quellstone::windows
