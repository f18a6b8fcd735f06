#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli update-check [--server URL]
class UpdateCheckCommand final : public Command {
public:
    [[nodiscard]] std::string_view Name() const override { return "update-check"; }
    [[nodiscard]] std::string_view Summary() const override { return "Ask the update server for a newer version"; }
    [[nodiscard]] std::string_view Help() const override;
    int Run(const std::vector<std::string>& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
