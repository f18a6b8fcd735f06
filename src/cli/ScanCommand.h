#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli scan [--db FILE] [--json] PATH...
class ScanCommand final : public Command {
public:
    [[nodiscard]] std::string_view Name() const override { return "scan"; }
    [[nodiscard]] std::string_view Summary() const override {
        return "Scan folders for files and folders named like known trojans";
    }
    [[nodiscard]] std::string_view Help() const override;
    int Run(const std::vector<std::string>& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
