#pragma once

#include <chrono>
#include <vector>

#include "core/ports/ProcessTable.h"

namespace quellstone::testing {

// A process table that lists what the test puts into it and records each
// Stop(); a process stopped with the outcome Stopped leaves the list.
class FakeProcessTable final : public ports::ProcessTable {
public:
    struct StopCall {
        ports::RunningProcess process;
        std::chrono::milliseconds grace;
    };

    ports::ProcessList list;
    ports::StopOutcome outcome = ports::StopOutcome::Stopped;
    std::vector<StopCall> stops;

    ports::ProcessList List() override { return list; }
    ports::StopOutcome Stop(const ports::RunningProcess& process, std::chrono::milliseconds grace) override {
        stops.push_back({process, grace});
        if (outcome == ports::StopOutcome::Stopped) std::erase(list.processes, process);
        return outcome;
    }
};

}  // namespace quellstone::testing
