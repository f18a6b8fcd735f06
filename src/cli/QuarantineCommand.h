#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli quarantine list [--json] | restore NAME [DEST] | delete NAME
class QuarantineCommand final : public Command {
public:
    [[nodiscard]] std::string_view Name() const override { return "quarantine"; }
    [[nodiscard]] std::string_view Summary() const override { return "List, restore or delete quarantined files"; }
    [[nodiscard]] std::string_view Help() const override;
    int Run(const std::vector<std::string>& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
