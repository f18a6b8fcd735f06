#pragma once

#include "core/ports/EventPump.h"

namespace quellstone::cli {

// The event pump of a command-line wait: there is no window to keep alive,
// so a yield does nothing (Ctrl-C is handled by the stop signal instead).
class NoEvents final : public ports::EventPump {
public:
    void ProcessPendingEvents() override {}
};

}  // namespace quellstone::cli
