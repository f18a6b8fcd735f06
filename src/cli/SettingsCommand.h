#pragma once

#include "cli/Command.h"

namespace quellstone::cli {

// quellstone-cli settings get SECTION NAME | set SECTION NAME VALUE | delete SECTION NAME
// on the product key HKEY_CURRENT_USER\SOFTWARE\Orvanta\Quellstone\SECTION (text values).
class SettingsCommand final : public Command {
public:
    [[nodiscard]] std::string_view Name() const override { return "settings"; }
    [[nodiscard]] std::string_view Summary() const override { return "Read, change or delete a stored setting"; }
    [[nodiscard]] std::string_view Help() const override;
    int Run(const std::vector<std::string>& args, CommandIo& io) override;
};

// quellstone-cli stats: the statistics as stored.
class StatsCommand final : public Command {
public:
    [[nodiscard]] std::string_view Name() const override { return "stats"; }
    [[nodiscard]] std::string_view Summary() const override { return "Show the scan and removal statistics"; }
    [[nodiscard]] std::string_view Help() const override;
    int Run(const std::vector<std::string>& args, CommandIo& io) override;
};

}  // namespace quellstone::cli
