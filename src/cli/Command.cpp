#include "cli/Command.h"

#include <getopt.h>

#include <algorithm>
#include <optional>
#include <span>
#include <sstream>
#include <utility>

#include "cli/HelpText.h"
#include "core/text/DisplayEscape.h"

namespace quellstone::cli {

namespace {

// What getopt_long returns for an option without a short name: above every character.
constexpr int kLongOnlyCode = 256;

int CodeOf(std::span<const Option> options, const Option& option) {
    if (option.shortName != 0) return static_cast<unsigned char>(option.shortName);
    return kLongOnlyCode + static_cast<int>(&option - options.data());
}

const Option* FindByCode(std::span<const Option> options, int code) {
    const auto found =
        std::ranges::find_if(options, [&](const Option& option) { return CodeOf(options, option) == code; });
    return found == options.end() ? nullptr : &*found;
}

// What is wrong with the word getopt_long stopped at (`code` ':' or '?').
std::string Problem(std::span<const Option> options, int code, std::string_view word) {
    const Option* option = FindByCode(options, optopt);
    if (option != nullptr) {
        const std::string name = "--" + std::string(option->name);
        return code == ':' ? name + " needs a " + std::string(option->valueName) : name + " takes no value";
    }
    if (optopt != 0) return "unknown option -" + text::EscapeForDisplay(std::string(1, static_cast<char>(optopt)));
    return "unknown option " + text::EscapeForDisplay(word);
}

struct ParseOutcome {
    ParsedArguments parsed;
    std::string error;  // the first problem met; empty when there was none
};

// An option table in getopt_long's terms; it points into itself, so it stays where it is made.
class GetoptTable {
public:
    explicit GetoptTable(std::span<const Option> options) {
        for (const Option& option : options) names_.emplace_back(option.name);
        for (std::size_t i = 0; i < options.size(); ++i) {
            const bool hasValue = !options[i].valueName.empty();
            long_.push_back(
                {names_[i].c_str(), hasValue ? required_argument : no_argument, nullptr, CodeOf(options, options[i])});
            if (options[i].shortName == 0) continue;
            short_ += options[i].shortName;
            if (hasValue) short_ += ':';
        }
        long_.push_back({nullptr, 0, nullptr, 0});
    }
    GetoptTable(const GetoptTable&) = delete;
    GetoptTable& operator=(const GetoptTable&) = delete;

    [[nodiscard]] const char* ShortOptions() const { return short_.c_str(); }
    [[nodiscard]] const ::option* LongOptions() const { return long_.data(); }

private:
    std::vector<std::string> names_;  // getopt_long wants NUL-ended names
    std::vector<::option> long_;
    // "-": arguments come back in place as code 1, whatever POSIXLY_CORRECT says;
    // ":": getopt_long writes no messages and tells a missing value (':') apart.
    std::string short_ = "-:";
};

// The option that `word` names in full ("--db", "--db=FILE", "-h"), or null.
const Option* NamedOption(std::span<const Option> options, std::string_view word) {
    if (word.starts_with("--")) {
        const std::string_view name =
            word.substr(2, word.find('=') == std::string_view::npos ? word.npos : word.find('=') - 2);
        for (const Option& option : options) {
            if (option.name == name) return &option;
        }
        return nullptr;
    }
    if (word.size() != 2 || word[0] != '-') return nullptr;
    for (const Option& option : options) {
        if (option.shortName == word[1]) return &option;
    }
    return nullptr;
}

// Sorts `args` into options and arguments with glibc's getopt_long, which
// also accepts "--db=FILE" and "-h". A long option must be named in full:
// "--r" is no shorthand for "--remove". With `dashWordsArePlain` (commands
// with actions, whose arguments are names and values that may begin with
// "-": "settings set S N -1", an archive named "-x.exe.arc"), a word that
// names none of the options is an argument; otherwise it is an error.
ParseOutcome ParseOptions(std::span<const Option> options, const std::vector<std::string>& args,
                          bool dashWordsArePlain) {
    const GetoptTable table(options);
    // getopt_long takes a writable argv led by a program name: a copy of `args`.
    std::vector<std::string> words{"quellstone-cli"};
    words.insert(words.end(), args.begin(), args.end());
    ParseOutcome outcome;
    // Words getopt_long must not read as options are handed to it as "x" and
    // taken back by position: an argument, or a value that begins with "-".
    std::vector<std::optional<std::string>> plain(words.size());
    bool valueNext = false;  // the word before was an option that takes its value from this one
    for (std::size_t i = 1; i < words.size() && words[i] != "--"; ++i) {
        const std::string& word = words[i];
        const bool value = std::exchange(valueNext, false);
        if (value || word.size() < 2 || word[0] != '-') continue;
        const Option* option = NamedOption(options, word);
        if (option != nullptr) {
            valueNext = !option->valueName.empty() && word.find('=') == std::string::npos;
            continue;
        }
        // A short-option cluster of a command without actions is left to getopt_long.
        if (!dashWordsArePlain && !word.starts_with("--")) continue;
        if (!dashWordsArePlain && outcome.error.empty())
            outcome.error = "unknown option " + text::EscapeForDisplay(word);
        plain[i] = word;
        words[i] = "x";
    }
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());
    const bool anyPlain = std::any_of(plain.begin(), plain.end(), [](const auto& word) { return word.has_value(); });
    const auto original = [&](const char* text) -> std::string {
        if (!anyPlain) return text;
        for (std::size_t i = 0; i < argv.size(); ++i) {
            if (argv[i] == text && plain[i]) return *plain[i];
        }
        return text;
    };

    optind = 0;  // glibc starts afresh at 0, forgetting what an earlier parse left behind
    for (int code;
         (code = ::getopt_long(argc, argv.data(), table.ShortOptions(), table.LongOptions(), nullptr)) != -1;) {
        if (code == 1) {
            outcome.parsed.positional.push_back(original(optarg));
        } else if (const Option* option = code == ':' || code == '?' ? nullptr : FindByCode(options, code)) {
            outcome.parsed.options[std::string(option->name)].push_back(optarg != nullptr ? original(optarg) : "");
        } else if (outcome.error.empty()) {
            outcome.error = Problem(options, code, argv[optind - 1]);
        }
    }
    // After "--" everything is an argument.
    for (int i = optind; i < argc; ++i) outcome.parsed.positional.emplace_back(argv[i]);
    return outcome;
}

// Why `given` arguments do not fit `expected`, or empty.
std::string CheckCount(std::span<const Argument> expected, const std::vector<std::string>& given) {
    std::vector<std::string_view> required;
    std::size_t most = 0;
    bool unbounded = false;
    for (const Argument& argument : expected) {
        using Count = Argument::Count;
        if (argument.count == Count::One || argument.count == Count::OneOrMore) required.push_back(argument.name);
        if (argument.count == Count::One || argument.count == Count::Optional) ++most;
        if (argument.count == Count::OneOrMore || argument.count == Count::AnyNumber) unbounded = true;
    }
    if (given.size() < required.size()) return "missing " + std::string(required[given.size()]);
    if (!unbounded && given.size() > most) return "unexpected argument " + text::EscapeForDisplay(given[most]);
    return {};
}

// "expected list [--json], restore NAME [DEST] or delete NAME"
std::string ExpectedActions(const CommandDefinition& definition) {
    std::string text = "expected ";
    for (std::size_t i = 0; i < definition.actions.size(); ++i) {
        if (i > 0) text += i + 1 == definition.actions.size() ? " or " : ", ";
        const std::vector<std::string> words = ActionSynopsis(definition.actions[i], definition.options);
        for (std::size_t w = 0; w < words.size(); ++w) text += (w > 0 ? " " : "") + words[w];
    }
    return text;
}

// One usage line per action, or one for a command without actions; each wrapped under its first word.
void WriteUsage(std::ostream& out, const CommandDefinition& definition) {
    const std::string program = "quellstone-cli " + std::string(definition.name) + " ";
    const std::size_t indent = std::string_view("Usage: ").size() + program.size();
    if (definition.actions.empty()) {
        std::vector<std::string> words;
        for (const Option& option : definition.options) {
            if (option.name != "help") words.push_back(OptionSynopsis(option));
        }
        for (const Argument& argument : definition.arguments) words.push_back(ArgumentSynopsis(argument));
        out << "Usage: " << program << Wrap(words, indent) << '\n';
    }
    for (const Action& action : definition.actions) {
        out << (&action == definition.actions.data() ? "Usage: " : "       ") << program
            << Wrap(ActionSynopsis(action, definition.options), indent) << '\n';
    }
}

}  // namespace

std::string ParsedArguments::Value(std::string_view option) const {
    const auto found = options.find(option);
    return found == options.end() || found->second.empty() ? std::string() : found->second.back();
}

Command::Command(CommandDefinition definition) : definition_(std::move(definition)) {
    definition_.options.push_back({"help", "", "Show this help", 'h'});
}

int Command::Run(const std::vector<std::string>& args, CommandIo& io) {
    ParseOutcome outcome = ParseOptions(definition_.options, args, !definition_.actions.empty());
    // --help answers whatever else the line holds.
    if (outcome.parsed.Has("help")) {
        io.out << Help();
        return kExitOk;
    }
    const std::string problem = outcome.error.empty() ? CheckArguments(outcome.parsed) : outcome.error;
    if (!problem.empty()) {
        Error(io) << problem << '\n';
        return kExitError;
    }
    return Execute(outcome.parsed, io);
}

std::ostream& Command::Error(CommandIo& io) const {
    return io.err << "quellstone-cli " << definition_.name << ": ";
}

std::string Command::CheckArguments(ParsedArguments& parsed) const {
    if (definition_.actions.empty()) return CheckCount(definition_.arguments, parsed.positional);
    const auto action = parsed.positional.empty()
                            ? definition_.actions.end()
                            : std::ranges::find(definition_.actions, parsed.positional.front(), &Action::name);
    if (action == definition_.actions.end()) return ExpectedActions(definition_);
    parsed.action = parsed.positional.front();
    parsed.positional.erase(parsed.positional.begin());
    for (const auto& [name, values] : parsed.options) {
        if (std::ranges::find(action->options, name) == action->options.end()) {
            return "--" + name + " does not go with " + parsed.action;
        }
    }
    return CheckCount(action->arguments, parsed.positional);
}

std::string Command::Help() const {
    std::ostringstream out;
    WriteUsage(out, definition_);
    if (!definition_.description.empty()) out << '\n' << definition_.description;
    if (!definition_.actions.empty()) {
        std::vector<TableRow> rows;
        for (const Action& action : definition_.actions) rows.push_back({std::string(action.name), action.help});
        out << "\nActions:\n";
        WriteTable(out, rows);
    }
    std::vector<TableRow> rows;
    for (const Option& option : definition_.options) {
        std::string name = option.shortName != 0 ? std::string{'-', option.shortName, ',', ' '} : "    ";
        name += "--" + std::string(option.name);
        if (!option.valueName.empty()) name += " " + std::string(option.valueName);
        rows.push_back({std::move(name), option.help});
    }
    out << "\nOptions:\n";
    WriteTable(out, rows);
    if (!definition_.details.empty()) out << '\n' << definition_.details;
    return out.str();
}

}  // namespace quellstone::cli
