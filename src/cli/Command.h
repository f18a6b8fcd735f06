#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/InstallLayout.h"

namespace quellstone::cli {

// Exit statuses of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFound = 1;  // detections found, a newer version, a value that is not set
inline constexpr int kExitError = 2;
// Stopped by `signal`: 128 plus its number, as a shell reports it (130 for Ctrl-C).
constexpr int kExitInterrupted(int signal) {
    return 128 + signal;
}

struct CommandIo {
    std::ostream& out;
    std::ostream& err;
    std::string executableFolder;    // this quellstone-cli's folder
    platform::InstallLayout layout;  // its data and vendor.ini
};

// One option of a command: --name, or --name VALUE when it has a value name.
struct Option {
    std::string_view name;       // without the dashes: "db"
    std::string_view valueName;  // "FILE"; empty for a switch
    std::string_view help;       // one paragraph; the help text wraps it
    char shortName = 0;          // 'h' for -h; 0 for none
};

// One positional argument as the usage line names it.
struct Argument {
    enum class Count { One, Optional, OneOrMore, AnyNumber };
    std::string_view name;  // "PATH"
    Count count = Count::One;
};

// A word that picks what a command does ("quarantine restore NAME [DEST]"),
// with the options and arguments that go with it.
struct Action {
    std::string_view name;
    std::vector<std::string_view> options;  // names of the options it takes, --help aside
    std::vector<Argument> arguments;
    std::string_view help;  // one paragraph; the help text wraps it
};

// Everything the command line knows of a command: the parser, the checks
// and the --help text all come from here.
struct CommandDefinition {
    std::string_view name{};
    std::string_view summary{};  // one line for the program's command list
    std::vector<Option> options{};
    std::vector<Argument> arguments{};  // of a command without actions
    std::vector<Action> actions{};      // when given, the first argument names one of them
    std::string_view description{};     // text after the usage lines, as written
    std::string_view details{};         // text after the options, as written
};

// What the parser found on a valid command line.
struct ParsedArguments {
    std::string action;                                                    // of a command with actions
    std::vector<std::string> positional;                                   // the arguments, after the action
    std::map<std::string, std::vector<std::string>, std::less<>> options;  // each given one, with its values

    [[nodiscard]] bool Has(std::string_view option) const { return options.contains(option); }
    // The value given last; empty when the option was not given.
    [[nodiscard]] std::string Value(std::string_view option) const;
};

// One subcommand of quellstone-cli. The base parses the arguments against
// the definition (options before, between or after the arguments; "--" ends the
// options), answers --help, reports unknown options and missing or extra
// arguments; a command implements only its action.
class Command {
public:
    explicit Command(CommandDefinition definition);
    virtual ~Command() = default;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    [[nodiscard]] std::string_view Name() const { return definition_.name; }
    [[nodiscard]] std::string_view Summary() const { return definition_.summary; }
    [[nodiscard]] std::string Help() const;

    // `args` are the arguments after the subcommand's name.
    int Run(const std::vector<std::string>& args, CommandIo& io);

protected:
    // Runs the command on arguments that passed every check of the definition.
    virtual int Execute(const ParsedArguments& args, CommandIo& io) = 0;
    // Starts a line on the error stream: "quellstone-cli NAME: ".
    std::ostream& Error(CommandIo& io) const;

private:
    // Why `parsed` does not fit the definition, or empty; takes the action word off the arguments.
    [[nodiscard]] std::string CheckArguments(ParsedArguments& parsed) const;

    CommandDefinition definition_;
};

}  // namespace quellstone::cli
