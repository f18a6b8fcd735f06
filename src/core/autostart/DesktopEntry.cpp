#include "core/autostart/DesktopEntry.h"

#include <string>

#include "core/autostart/CommandWords.h"
#include "core/ini/IniFormat.h"
#include "core/text/Trim.h"

namespace quellstone::autostart {

namespace {

// A desktop file's value with its escapes (\s \n \t \r \\) turned into what
// they stand for; the command's own quoting is read afterwards.
std::string Unescaped(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's': out += ' '; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case '\\': out += '\\'; break;
            default: out += '\\'; out += value[i];
        }
    }
    return out;
}

}  // namespace

std::vector<StartedProgram> ParseDesktopEntry(std::string_view text) {
    std::vector<StartedProgram> found;
    std::size_t number = 0;
    bool inEntry = false;
    ini::ForEachLine(text, [&](std::string_view raw) {
        ++number;
        if (found.size() >= kMaxProgramsPerFile) return;
        const std::string_view line = text::Trim(raw);
        if (line.starts_with('[')) {
            inEntry = line == "[Desktop Entry]";
            return;
        }
        const std::size_t equals = line.find('=');
        if (!inEntry || equals == std::string_view::npos || text::Trim(line.substr(0, equals)) != "Exec") return;
        const std::string command = Unescaped(line.substr(equals + 1));
        for (std::string& program : ProgramsOfCommand(command, CommandSyntax::Plain)) {
            if (found.size() >= kMaxProgramsPerFile) return;
            found.push_back({number, std::move(program)});
        }
    });
    return found;
}

}  // namespace quellstone::autostart
