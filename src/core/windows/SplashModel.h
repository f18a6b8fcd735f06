#pragma once

#include <functional>
#include <string>

#include "core/i18n/LanguageFile.h"
#include "core/i18n/LanguageTable.h"
#include "core/ports/Dialogs.h"
#include "core/ports/InstanceLock.h"
#include "core/windows/TimerState.h"

namespace quellstone::windows {

// The start-up window: loads the interface texts, refuses a second
// instance, shows a notice for three ticks of 300 ms and hands over to the
// main window.
class SplashModel {
public:
    enum class TickResult { Nothing, HandOver };

    SplashModel(i18n::LanguageTable& texts, i18n::LanguageLoader& languages, ports::InstanceLock& lock,
                ports::Dialogs& dialogs)
        : texts_(texts), languages_(languages), lock_(lock), dialogs_(dialogs) {}

    // Loads the language; false when another instance runs: then
    // `raiseRunning` asks that instance to come to the front before entry 101
    // tells the user, so the window the user wants is in sight while the
    // message is read, and the program ends, leaving that instance alone.
    bool Initialise(const std::function<void()>& raiseRunning = {});
    void Load();
    // On the third tick the window closes and hands over to the main window.
    TickResult Tick();

    [[nodiscard]] const std::string& Notice() const { return notice_; }
    [[nodiscard]] const TimerState& Timer() const { return timer_; }
    [[nodiscard]] bool Closed() const { return closed_; }
    void Close() {
        closed_ = true;
        timer_.enabled = false;
    }

private:
    i18n::LanguageTable& texts_;
    i18n::LanguageLoader& languages_;
    ports::InstanceLock& lock_;
    ports::Dialogs& dialogs_;
    std::string notice_;
    TimerState timer_;
    int ticks_ = 0;
    bool closed_ = false;
};

}  // namespace quellstone::windows
