#include "cli/HelpText.h"

#include <algorithm>

namespace quellstone::cli {

std::string Wrap(std::span<const std::string> words, std::size_t indent) {
    std::string text;
    std::size_t column = indent;
    for (const std::string& word : words) {
        if (column > indent && column + 1 + word.size() > kHelpWidth) {
            text += '\n';
            text.append(indent, ' ');
            column = indent;
        } else if (column > indent) {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
    }
    return text;
}

std::string Wrap(std::string_view paragraph, std::size_t indent) {
    std::vector<std::string> words;
    for (std::size_t start = 0; start < paragraph.size();) {
        const std::size_t end = std::min(paragraph.find(' ', start), paragraph.size());
        if (end > start) words.emplace_back(paragraph.substr(start, end - start));
        start = end + 1;
    }
    return Wrap(words, indent);
}

void WriteTable(std::ostream& out, std::span<const TableRow> rows) {
    std::size_t widest = 0;
    for (const TableRow& row : rows) widest = std::max(widest, row.name.size());
    const std::size_t column = 2 + widest + 2;
    for (const TableRow& row : rows) {
        out << "  " << row.name << std::string(column - 2 - row.name.size(), ' ') << Wrap(row.text, column) << '\n';
    }
}

std::string ArgumentSynopsis(const Argument& argument) {
    const std::string name(argument.name);
    switch (argument.count) {
        case Argument::Count::One: return name;
        case Argument::Count::Optional: return "[" + name + "]";
        case Argument::Count::OneOrMore: return name + "...";
        case Argument::Count::AnyNumber: return "[" + name + "...]";
    }
    return name;
}

std::string OptionSynopsis(const Option& option) {
    std::string text = "[--" + std::string(option.name);
    if (!option.valueName.empty()) text += " " + std::string(option.valueName);
    return text + "]";
}

std::vector<std::string> ActionSynopsis(const Action& action, std::span<const Option> options) {
    std::vector<std::string> words{std::string(action.name)};
    for (const std::string_view name : action.options) {
        const auto option = std::ranges::find(options, name, &Option::name);
        if (option != options.end()) words.push_back(OptionSynopsis(*option));
    }
    for (const Argument& argument : action.arguments) words.push_back(ArgumentSynopsis(argument));
    return words;
}

}  // namespace quellstone::cli
