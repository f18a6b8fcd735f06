#include "core/autostart/PreloadList.h"

#include <algorithm>
#include <string>

#include "core/ini/IniFormat.h"

namespace quellstone::autostart {

namespace {

constexpr std::string_view kSeparators = " \t\r\v\f:";

}  // namespace

std::vector<StartedProgram> ParsePreloadList(std::string_view text) {
    std::vector<StartedProgram> found;
    std::size_t number = 0;
    ini::ForEachLine(text, [&](std::string_view line) {
        ++number;
        line = line.substr(0, line.find('#'));
        while (found.size() < kMaxProgramsPerFile) {
            const std::size_t start = line.find_first_not_of(kSeparators);
            if (start == std::string_view::npos) return;
            line.remove_prefix(start);
            const std::size_t end = std::min(line.find_first_of(kSeparators), line.size());
            found.push_back({number, std::string(line.substr(0, end))});
            line.remove_prefix(end);
        }
    });
    return found;
}

}  // namespace quellstone::autostart
