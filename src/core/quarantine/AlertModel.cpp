#include "core/quarantine/AlertModel.h"

namespace quellstone::quarantine {

AlertModel::AlertModel(std::string title, std::string message, int screenWidth, int screenHeight, int width, int height)
    : title_(std::move(title)),
      message_(std::move(message)),
      width_(width),
      height_(height),
      left_(screenWidth - width),
      restingTop_(screenHeight),
      top_(screenHeight) {
    timers_[1] = {1, true};
    timers_[2] = {5000, false};
    timers_[3] = {1, false};
}

void AlertModel::Timer1Tick() {
    top_ -= kStep;
    if (restingTop_ - height_ > top_) {
        timers_[1].enabled = false;
        timers_[2].enabled = true;
    }
}

void AlertModel::Timer2Tick() {
    timers_[2].enabled = false;
    timers_[3].enabled = true;
}

void AlertModel::Timer3Tick() {
    top_ += kStep;
    // "At or below" rather than "exactly at": a position that ever lost step
    // with the 30-twip grid would otherwise slide on for ever.
    if (top_ >= restingTop_) {
        top_ = restingTop_;
        timers_[3].enabled = false;
        closed_ = true;
    }
}

}  // namespace quellstone::quarantine
