#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quellstone::cli {

// Exit statuses of every subcommand.
inline constexpr int kExitClean = 0;
inline constexpr int kExitDetections = 1;
inline constexpr int kExitError = 2;
inline constexpr int kExitSignalBase = 128;  // plus the signal's number (130 for Ctrl-C)

struct CommandIo {
    std::ostream& out;
    std::ostream& err;
    std::string programFolder;
};

// One subcommand of quellstone-cli: its name, a one-line summary for the
// command list, its full help text, and the code that runs it.
class Command {
public:
    virtual ~Command() = default;
    [[nodiscard]] virtual std::string_view Name() const = 0;
    [[nodiscard]] virtual std::string_view Summary() const = 0;
    [[nodiscard]] virtual std::string_view Help() const = 0;
    // `args` are the arguments after the subcommand's name.
    virtual int Run(const std::vector<std::string>& args, CommandIo& io) = 0;
};

}  // namespace quellstone::cli
