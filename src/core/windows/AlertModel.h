#pragma once

#include <array>
#include <string>

#include "core/windows/TimerState.h"

namespace quellstone::windows {

// A passing notice that slides up out of the bottom edge of the screen at its
// right-hand side, stays five seconds, slides back down and closes. Positions
// are in twips (15 to a pixel at 96 dots per inch) and move in steps of 30.
// kWidth and kHeight are the least size; the window grows to fit its text.
class AlertModel {
public:
    static constexpr int kStep = 30;
    static constexpr int kWidth = 2775;
    static constexpr int kHeight = 2175;

    AlertModel(std::string title, std::string message, int screenWidth, int screenHeight, int width = kWidth,
               int height = kHeight);

    // The window's real size, once its text is laid out: it stays at the
    // screen's right edge and slides up until all of it is in sight.
    void Resize(int width, int height);

    void SlideInTick();
    void HoldTick();
    void SlideOutTick();

    [[nodiscard]] int Left() const { return left_; }
    [[nodiscard]] int Top() const { return top_; }
    [[nodiscard]] int Width() const { return width_; }
    [[nodiscard]] int Height() const { return height_; }
    [[nodiscard]] bool Closed() const { return closed_; }
    [[nodiscard]] const std::string& Title() const { return title_; }
    [[nodiscard]] const std::string& Message() const { return message_; }
    [[nodiscard]] const TimerState& SlideInTimer() const { return slideInTimer_; }
    [[nodiscard]] const TimerState& HoldTimer() const { return holdTimer_; }
    [[nodiscard]] const TimerState& SlideOutTimer() const { return slideOutTimer_; }
    [[nodiscard]] ModelTimers Timers();

private:
    std::string title_;
    std::string message_;
    int screenWidth_;
    int width_;
    int height_;
    int left_;
    int restingTop_;  // just below the screen: where a notice starts and ends
    int top_;
    bool closed_ = false;
    TimerState slideInTimer_;
    TimerState holdTimer_;
    TimerState slideOutTimer_;
};

}  // namespace quellstone::windows
