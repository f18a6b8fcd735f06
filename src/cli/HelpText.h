#pragma once

#include <cstddef>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Command.h"

namespace quellstone::cli {

// Help texts are laid out in lines of at most this many columns.
inline constexpr std::size_t kHelpWidth = 79;

// `words` joined by blanks into lines that fit kHelpWidth when each starts at
// column `indent`; the lines after the first are indented by `indent` blanks.
// A word longer than a line gets a line of its own.
std::string Wrap(std::span<const std::string> words, std::size_t indent);
// The same for a paragraph, broken at its blanks.
std::string Wrap(std::string_view paragraph, std::size_t indent);

struct TableRow {
    std::string name;
    std::string_view text;
};
// Two columns: each name two blanks in, each text wrapped in a column of its
// own beside the longest name.
void WriteTable(std::ostream& out, std::span<const TableRow> rows);

// How usage lines show an argument or option: "NAME", "[DEST]", "PATH...", "[--db FILE]".
std::string ArgumentSynopsis(const Argument& argument);
std::string OptionSynopsis(const Option& option);
// An action with its options and arguments: "list [--json]", "restore NAME [DEST]".
std::vector<std::string> ActionSynopsis(const Action& action, std::span<const Option> options);

}  // namespace quellstone::cli
