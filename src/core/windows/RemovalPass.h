#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/i18n/LanguageTable.h"
#include "core/ports/Dialogs.h"
#include "core/quarantine/Remover.h"
#include "core/windows/ScanResults.h"

namespace quellstone::windows {

// What the removal pass changes on the main window.
struct MainWindowCounters {
    std::function<void()> raiseQuarantined;              // one more object in quarantine
    std::function<void(std::int64_t)> showRemovedTotal;  // the stored count of removed objects
};

// The removal pass over a result list: the question before it, the rows'
// outcomes as it goes, and the account of what it did.
class RemovalPass {
public:
    RemovalPass(const i18n::LanguageTable& texts, ports::Dialogs& dialogs, ScanResults& results)
        : texts_(texts), dialogs_(dialogs), results_(results) {}

    // Whether a pass may start: none runs, and a ticked row is still detected.
    [[nodiscard]] bool Ready() const;
    // Asks first (how many files, and whether copies are kept); when the user
    // agrees, calls `begin`, removes every ticked, still detected row's file
    // (copied into the quarantine first when the switch is on) and says what
    // happened. False when it removed nothing: not ready, or the user said no.
    //
    // A process is ended first, when the user agrees to a question that names
    // it, through `processes` (null: it is left running), and then its file
    // is removed like any other. A line of a file other entries share is
    // never edited.
    bool Run(quarantine::Remover& remover, const MainWindowCounters& counters, const std::function<void()>& begin = {},
             ports::ProcessTable* processes = nullptr);
    // "NAPRAWIONY" once a pass has run.
    [[nodiscard]] const std::string& ResultMark() const { return mark_; }

private:
    [[nodiscard]] bool Confirm(quarantine::Remover& remover);
    // Ends the process of a row when the user agrees; the problem left when it is still running.
    [[nodiscard]] quarantine::RemovalProblem EndProcess(const ResultRow& row, ports::ProcessTable* processes);
    // What the pass did with the files of `handled` (row indices).
    [[nodiscard]] std::string Summary(const std::vector<std::size_t>& handled) const;
    [[nodiscard]] const std::string& Text(i18n::TextId id) const { return texts_.Text(id); }

    const i18n::LanguageTable& texts_;
    ports::Dialogs& dialogs_;
    ScanResults& results_;
    bool running_ = false;
    std::string mark_;
};

}  // namespace quellstone::windows
