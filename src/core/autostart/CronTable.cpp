#include "core/autostart/CronTable.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "core/autostart/CommandWords.h"
#include "core/ini/IniFormat.h"
#include "core/text/Trim.h"

namespace quellstone::autostart {

namespace {

constexpr std::string_view kFieldBlanks = " \t";

// The one-word schedules that stand for the five time fields.
constexpr std::array<std::string_view, 8> kNamedSchedules = {"@reboot", "@yearly", "@annually", "@monthly",
                                                             "@weekly", "@daily",  "@midnight", "@hourly"};

// Numbers, ranges, lists, steps, "*" and the names of months and weekdays.
bool IsTimeField(std::string_view field) {
    for (const char c : field) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '*' && c != ',' && c != '-' && c != '/') return false;
    }
    return true;
}

bool IsNamedSchedule(std::string_view field) {
    for (const std::string_view known : kNamedSchedules) {
        if (field == known) return true;
    }
    return false;
}

// Takes the first field off `line`; empty when none is left.
std::string_view TakeField(std::string_view& line) {
    line = text::Trim(line, kFieldBlanks);
    const std::size_t end = std::min(line.find_first_of(kFieldBlanks), line.size());
    const std::string_view field = line.substr(0, end);
    line.remove_prefix(end);
    return field;
}

// "NAME=value" (blanks allowed around "="): the name holds no blank.
bool IsSetting(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view name = text::Trim(line.substr(0, equals), kFieldBlanks);
    return !name.empty() && name.find_first_of(kFieldBlanks) == std::string_view::npos;
}

// The command as the shell gets it: up to the first unescaped "%", with "\%" as "%".
std::string CommandPart(std::string_view rest) {
    std::string command;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%') break;
        if (rest[i] == '\\' && i + 1 < rest.size() && rest[i + 1] == '%') ++i;
        command += rest[i];
    }
    return command;
}

// What follows the schedule (and the user) of a job line; nullopt for a line that is no job.
std::optional<std::string_view> CommandOf(std::string_view line, CronTableKind kind) {
    const std::string_view first = TakeField(line);
    if (first.starts_with('@')) {
        if (!IsNamedSchedule(first)) return std::nullopt;
    } else {
        if (!IsTimeField(first)) return std::nullopt;
        for (int i = 1; i < 5; ++i) {
            const std::string_view field = TakeField(line);
            if (field.empty() || !IsTimeField(field)) return std::nullopt;
        }
    }
    if (kind == CronTableKind::System && TakeField(line).empty()) return std::nullopt;
    return text::Trim(line, kFieldBlanks);
}

}  // namespace

std::vector<StartedProgram> ParseCronTable(std::string_view text, CronTableKind kind) {
    std::vector<StartedProgram> found;
    std::size_t number = 0;
    ini::ForEachLine(text, [&](std::string_view raw) {
        ++number;
        if (found.size() >= kMaxProgramsPerFile) return;
        const std::string_view line = text::Trim(raw, kFieldBlanks);
        if (line.empty() || line.starts_with('#') || IsSetting(line)) return;
        const std::optional<std::string_view> command = CommandOf(line, kind);
        if (!command) return;
        for (std::string& program : ProgramsOfCommand(CommandPart(*command), CommandSyntax::Shell)) {
            if (found.size() >= kMaxProgramsPerFile) return;
            found.push_back({number, std::move(program)});
        }
    });
    return found;
}

}  // namespace quellstone::autostart
