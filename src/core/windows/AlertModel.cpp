#include "core/windows/AlertModel.h"

namespace quellstone::windows {

AlertModel::AlertModel(std::string title, std::string message, int screenWidth, int screenHeight, int width, int height)
    : title_(std::move(title)),
      message_(std::move(message)),
      screenWidth_(screenWidth),
      width_(width),
      height_(height),
      left_(screenWidth - width),
      restingTop_(screenHeight),
      top_(screenHeight) {
    slideInTimer_ = {1, true};
    holdTimer_ = {5000, false};
    slideOutTimer_ = {1, false};
}

void AlertModel::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    left_ = screenWidth_ - width;
}

ModelTimers AlertModel::Timers() {
    return {{"alert.slideIn", slideInTimer_, [this] { SlideInTick(); }},
            {"alert.hold", holdTimer_, [this] { HoldTick(); }},
            {"alert.slideOut", slideOutTimer_, [this] { SlideOutTick(); }}};
}

void AlertModel::SlideInTick() {
    top_ -= kStep;
    if (restingTop_ - height_ > top_) {
        slideInTimer_.enabled = false;
        holdTimer_.enabled = true;
    }
}

void AlertModel::HoldTick() {
    holdTimer_.enabled = false;
    slideOutTimer_.enabled = true;
}

void AlertModel::SlideOutTick() {
    top_ += kStep;
    // "At or below" rather than "exactly at": a position that ever lost step
    // with the 30-twip grid would otherwise slide on for ever.
    if (top_ >= restingTop_) {
        top_ = restingTop_;
        slideOutTimer_.enabled = false;
        closed_ = true;
    }
}

}  // namespace quellstone::windows
