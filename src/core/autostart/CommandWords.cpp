#include "core/autostart/CommandWords.h"

#include <algorithm>
#include <array>

#include "core/text/PathText.h"

namespace quellstone::autostart {

namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";
constexpr std::string_view kShellOperators = ";&|<>()";

// Shells that run a script given with -c, or a script file named after their options.
constexpr std::array<std::string_view, 10> kShells = {"sh",   "bash", "dash", "zsh", "ksh",
                                                      "mksh", "ash",  "fish", "csh", "tcsh"};

// A shell inside a shell's script inside ...: deeper nesting is not followed.
constexpr int kMaxShellNesting = 4;

bool IsShell(std::string_view program) {
    const std::string_view name = text::FileNameOf(program);
    for (const std::string_view shell : kShells) {
        if (name == shell) return true;
    }
    return false;
}

// "NAME=value", which a shell takes as a variable for the command after it.
bool IsAssignment(const CommandWord& word) {
    const std::size_t equals = word.text.find('=');
    if (equals == 0 || equals == std::string::npos) return false;
    const auto name = std::string_view(word.text).substr(0, equals);
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    return letter(name.front()) && std::ranges::all_of(name, [&](char c) { return letter(c) || digit(c); });
}

// "(" opens a subshell; the command inside is the one that runs.
bool IsSubshellStart(const CommandWord& word) {
    return word.bare && word.text == "(";
}

// What a shell runs, read from the words after its name: the script given
// with -c (`isScript`), the script file named after the options, or nothing.
struct ShellTarget {
    std::string word;
    bool isScript = false;
};

std::optional<ShellTarget> ShellTargetOf(CommandWords& words) {
    bool takesScript = false;
    bool optionsEnded = false;
    while (auto word = words.Next()) {
        const std::string& text = word->text;
        if (word->bare && !text.empty() && kShellOperators.find(text.front()) != std::string_view::npos) break;
        const bool option = !optionsEnded && text.size() > 1 && (text.front() == '-' || text.front() == '+');
        if (!option) return ShellTarget{text, takesScript};
        if (text == "--") {
            optionsEnded = true;
        } else if (!text.starts_with("--")) {
            if (text.find('c') != std::string::npos) takesScript = true;
            // "-o name" and "+O name" set a named option: the name is no script.
            if ((text.back() == 'o' || text.back() == 'O') && !words.Next()) break;
        }
    }
    return std::nullopt;
}

void AddPrograms(std::string_view command, CommandSyntax syntax, std::string_view prefixChars, int nesting,
                 std::vector<std::string>& out) {
    CommandWords words(command, syntax);
    std::optional<CommandWord> first = words.Next();
    while (syntax == CommandSyntax::Shell && first && (IsAssignment(*first) || IsSubshellStart(*first))) {
        first = words.Next();
    }
    if (!first) return;
    std::string program = std::move(first->text);
    program.erase(0, program.find_first_not_of(prefixChars));
    if (program.empty()) return;
    const bool shell = IsShell(program);
    out.push_back(std::move(program));
    if (!shell || nesting >= kMaxShellNesting) return;
    const std::optional<ShellTarget> target = ShellTargetOf(words);
    if (!target) return;
    if (target->isScript) {
        AddPrograms(target->word, CommandSyntax::Shell, {}, nesting + 1, out);
    } else if (!target->word.empty() && target->word != "-") {  // "-": the script comes on its input
        out.push_back(target->word);
    }
}

}  // namespace

std::optional<CommandWord> CommandWords::Next() {
    const std::size_t start = rest_.find_first_not_of(kBlanks);
    if (start == std::string_view::npos) {
        rest_ = {};
        return std::nullopt;
    }
    rest_.remove_prefix(start);
    CommandWord word;
    const bool shell = syntax_ == CommandSyntax::Shell;
    if (shell && kShellOperators.find(rest_.front()) != std::string_view::npos) {
        const std::size_t end = std::min(rest_.find_first_not_of(kShellOperators), rest_.size());
        word.text = rest_.substr(0, end);
        rest_.remove_prefix(end);
        return word;
    }
    while (!rest_.empty()) {
        const char c = rest_.front();
        if (kBlanks.find(c) != std::string_view::npos) break;
        if (shell && kShellOperators.find(c) != std::string_view::npos) break;
        rest_.remove_prefix(1);
        if (c == '\'') {
            word.bare = false;
            const std::size_t close = std::min(rest_.find('\''), rest_.size());
            word.text += rest_.substr(0, close);
            rest_.remove_prefix(std::min(close + 1, rest_.size()));
        } else if (c == '"') {
            word.bare = false;
            ReadDoubleQuoted(word.text);
        } else if (c == '\\' && !rest_.empty()) {
            word.bare = false;
            word.text += rest_.front();
            rest_.remove_prefix(1);
        } else {
            word.text += c;
        }
    }
    return word;
}

// Reads up to the closing double quote (which it takes). A backslash keeps
// the character after it; a shell keeps the backslash too unless that
// character is one it would treat specially.
void CommandWords::ReadDoubleQuoted(std::string& text) {
    while (!rest_.empty()) {
        const char c = rest_.front();
        rest_.remove_prefix(1);
        if (c == '"') return;
        if (c == '\\' && !rest_.empty()) {
            const char next = rest_.front();
            rest_.remove_prefix(1);
            if (syntax_ == CommandSyntax::Shell && std::string_view("$`\"\\\n").find(next) == std::string_view::npos) {
                text += '\\';
            }
            text += next;
        } else {
            text += c;
        }
    }
}

std::vector<std::string> ProgramsOfCommand(std::string_view command, CommandSyntax syntax,
                                           std::string_view prefixChars) {
    std::vector<std::string> programs;
    AddPrograms(command, syntax, prefixChars, 0, programs);
    return programs;
}

}  // namespace quellstone::autostart
