#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellstone::autostart {

// How a command line is split into words.
// - Plain (service managers, desktop launchers): blanks separate words;
//   double quotes, single quotes and a backslash keep blanks in a word.
// - Shell (cron, a script given to a shell): as Plain, and an unquoted
//   ; & | < > ( ) also ends a word; a word of those characters is its own.
enum class CommandSyntax { Plain, Shell };

struct CommandWord {
    std::string text;
    bool bare = true;  // written without quotes or backslashes
};

// The words of a command, one at a time. An unterminated quote runs to the end.
class CommandWords {
public:
    CommandWords(std::string_view command, CommandSyntax syntax) : rest_(command), syntax_(syntax) {}

    // The next word; nullopt when only blanks are left.
    std::optional<CommandWord> Next();
    // What follows the last word read.
    [[nodiscard]] std::string_view Rest() const { return rest_; }

private:
    void ReadDoubleQuoted(std::string& text);

    std::string_view rest_;
    CommandSyntax syntax_;
};

// The programs a command starts: its first word with the characters of
// `prefixChars` taken off its front, and when that word is a shell, what the
// shell runs: the first word of the script it is given with -c (read the same
// way, nested shells included) or else the script file it is named. In Shell
// syntax leading variable assignments ("NAME=value prog") are passed over.
std::vector<std::string> ProgramsOfCommand(std::string_view command, CommandSyntax syntax,
                                           std::string_view prefixChars = {});

}  // namespace quellstone::autostart
