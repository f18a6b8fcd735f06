#pragma once

#include "core/ports/Shell.h"

namespace quellstone::platform {

// Runs "xdg-open TARGET" directly (no shell, so the target is never
// interpreted) in a detached process that is not waited for.
class XdgOpenShell final : public ports::Shell {
public:
    bool OpenWithDefaultAction(const std::string& target) override;
};

}  // namespace quellstone::platform
