#pragma once

#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>

#include "core/i18n/DocumentOpeners.h"
#include "core/i18n/LanguageTable.h"
#include "core/ports/Dialogs.h"
#include "core/ports/EventPump.h"
#include "core/ports/HttpClient.h"
#include "core/windows/TimerState.h"

namespace quellstone::windows {

// What both update windows share: the version file's address, the HTTP
// client, the event pump of the wait, and where a newer version sends the user.
struct UpdatePorts {
    ports::HttpClient& http;
    ports::EventPump& pump;
    ports::Dialogs& dialogs;
    i18n::DocumentOpeners& openers;
    std::string serverAddress;
    const i18n::LanguageTable& texts;
    std::stop_token quit;  // the program is closing: a running check returns
};

// The manual update window: shows that it is busy checking, checks on the
// first tick of its check timer, then asks about a newer version (the update
// page on Yes), says that this is the newest version, or says why the server
// could not be reached or why its answer did not do, and closes. Cancel, or closing it any other way
// (Escape, the title bar), cancels a running request.
class UpdateWindowModel {
public:
    explicit UpdateWindowModel(UpdatePorts ports) : ports_(std::move(ports)) {}

    void Load();
    // The check timer starts the check; the progress timer paces the bar.
    void CheckTick();
    void ProgressTick();
    void CancelClicked();
    void Close();

    [[nodiscard]] const std::string& Info() const { return info_; }
    [[nodiscard]] const std::string& CancelCaption() const { return cancelCaption_; }
    [[nodiscard]] int Progress() const { return progress_; }
    [[nodiscard]] static constexpr int ProgressMaximum() { return 10; }
    [[nodiscard]] const TimerState& CheckTimer() const { return checkTimer_; }
    [[nodiscard]] const TimerState& ProgressTimer() const { return progressTimer_; }
    [[nodiscard]] ModelTimers Timers();
    [[nodiscard]] bool Closed() const { return closed_; }
    // The window shows a busy indicator until it closes: how long the server
    // takes is unknown, so no share of the work can be shown.
    [[nodiscard]] bool Busy() const { return !closed_; }
    [[nodiscard]] bool Checking() const { return checking_; }
    [[nodiscard]] int RequestsMade() const { return requests_; }

private:
    UpdatePorts ports_;
    std::string info_;
    std::string cancelCaption_;
    int progress_ = 0;
    TimerState checkTimer_;
    TimerState progressTimer_;
    std::unique_ptr<ports::HttpRequest> request_;
    bool checking_ = false;
    bool closed_ = false;
    int requests_ = 0;
};

// The silent check: invisible, loaded once after start-up; speaks up only
// when a newer version exists.
class SilentUpdateModel {
public:
    explicit SilentUpdateModel(UpdatePorts ports) : ports_(std::move(ports)) {}

    [[nodiscard]] const TimerState& Timer() const { return timer_; }
    [[nodiscard]] ModelTimers Timers();
    void TimerTick();
    [[nodiscard]] bool Closed() const { return closed_; }
    void Close();

private:
    UpdatePorts ports_;
    TimerState timer_{600, true};
    std::unique_ptr<ports::HttpRequest> request_;
    bool checking_ = false;
    bool closed_ = false;
};

// What one check found.
struct CheckOutcome {
    enum class Kind {
        Newer,        // the user was asked; a Yes opened the update page
        Newest,       // the server's version is not newer than this one
        Unreachable,  // no response came: no connection, a time-out, an unknown host...
        Failed,       // the server answered, with a status other than 200 or no version number
        Quit,         // the program is closing: nothing more is shown
    };
    Kind kind = Kind::Failed;
    std::string reason;    // Unreachable, Failed: why, in the user's language, ready to show
    std::string detail{};  // and in the transport's or the server's own words, raw (see WithDetails)
};

// One check: downloads the version file and, when its version is newer, asks
// the user (naming both versions) and opens the update page on Yes.
CheckOutcome CheckAndAsk(UpdatePorts& ports, ports::HttpRequest& request);

}  // namespace quellstone::windows
