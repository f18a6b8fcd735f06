#include "core/autostart/UnitFile.h"

#include <array>
#include <optional>
#include <string>

#include "core/autostart/CommandWords.h"
#include "core/ini/IniFormat.h"
#include "core/text/Trim.h"

namespace quellstone::autostart {

namespace {

// The keys whose values are commands. Other keys that begin with "Exec"
// (ExecPaths=, ExecSearchPath=) name folders, not programs.
constexpr std::array<std::string_view, 8> kCommandKeys = {"ExecCondition", "ExecStartPre", "ExecStart",
                                                          "ExecStartPost", "ExecReload",   "ExecStop",
                                                          "ExecStopPre",   "ExecStopPost"};

// What the service manager reads from the front of a command's first word.
constexpr std::string_view kCommandPrefixes = "@-:+!";

bool IsCommandKey(std::string_view key) {
    for (const std::string_view known : kCommandKeys) {
        if (key == known) return true;
    }
    return false;
}

void AddCommand(std::string_view command, std::size_t line, std::vector<StartedProgram>& out) {
    for (std::string& program : ProgramsOfCommand(command, CommandSyntax::Plain, kCommandPrefixes)) {
        if (out.size() >= kMaxProgramsPerFile) return;
        out.push_back({line, std::move(program)});
    }
}

void AddLine(std::string_view line, std::size_t number, std::vector<StartedProgram>& out) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || !IsCommandKey(text::Trim(line.substr(0, equals)))) return;
    const std::string_view value = line.substr(equals + 1);
    // Commands are split at a lone, unquoted ";".
    CommandWords words(value, CommandSyntax::Plain);
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = value.size() - words.Rest().size();
        const std::optional<CommandWord> word = words.Next();
        if (word && !(word->bare && word->text == ";")) continue;
        AddCommand(value.substr(start, at - start), number, out);
        if (!word) return;
        start = value.size() - words.Rest().size();
    }
}

bool IsComment(std::string_view line) {
    return line.starts_with('#') || line.starts_with(';');
}

}  // namespace

std::vector<StartedProgram> ParseUnitFile(std::string_view text) {
    std::vector<StartedProgram> found;
    std::string joined;
    std::size_t number = 0;
    std::size_t firstLine = 0;
    bool continued = false;
    ini::ForEachLine(text, [&](std::string_view raw) {
        ++number;
        if (found.size() >= kMaxProgramsPerFile) return;
        const std::string_view line = text::Trim(raw);
        if (IsComment(line) || (!continued && line.empty())) return;
        if (!continued) {
            joined.clear();
            firstLine = number;
        }
        continued = line.ends_with('\\');
        joined += continued ? line.substr(0, line.size() - 1) : line;
        if (continued) {
            joined += ' ';
        } else {
            AddLine(joined, firstLine, found);
        }
    });
    if (continued && found.size() < kMaxProgramsPerFile) AddLine(joined, firstLine, found);
    return found;
}

}  // namespace quellstone::autostart
