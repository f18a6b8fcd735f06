#include "core/app/SplashModel.h"

namespace quellstone::app {

bool SplashModel::Initialise() {
    languages_.LoadLanguage(context_.languageText);
    if (lock_.TryAcquire()) return true;
    dialogs_.ShowMessage(context_.languageText.Text(101), ports::MessageIcon::Error, ports::MessageButtons::Ok);
    return false;
}

void SplashModel::Load() {
    timer_ = {300, true};
    ticks_ = 0;
    notice_ = context_.languageText.Text(100);
}

SplashModel::TickResult SplashModel::Tick() {
    ++ticks_;
    if (ticks_ != 3) return TickResult::Nothing;
    Close();
    return TickResult::HandOver;
}

}  // namespace quellstone::app
