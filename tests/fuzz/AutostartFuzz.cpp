// Fuzz target for the autostart parsers: any bytes as a unit file, a cron
// table of either kind, a desktop autostart file and a preload list. Each
// must name programs that are not empty, on lines of the text, in line
// order, and no more of them than one file may give. Built for libFuzzer
// with -DQUELLSTONE_FUZZ=ON (clang), and otherwise run over generated inputs
// by FuzzDriver.cpp.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/autostart/CronTable.h"
#include "core/autostart/DesktopEntry.h"
#include "core/autostart/PreloadList.h"
#include "core/autostart/StartedProgram.h"
#include "core/autostart/UnitFile.h"

namespace {

using quellstone::autostart::StartedProgram;

void Check(const std::vector<StartedProgram>& found, std::size_t lines, const char* format) {
    const bool sane =
        found.size() <= quellstone::autostart::kMaxProgramsPerFile &&
        std::ranges::all_of(found, [&](const StartedProgram& p) { return p.line >= 1 && p.line <= lines; }) &&
        std::ranges::none_of(found, [](const StartedProgram& p) { return p.program.empty(); }) &&
        std::ranges::is_sorted(found, {}, &StartedProgram::line);
    if (!sane) {
        std::fprintf(stderr, "the %s parser gave an entry it cannot have found\n", format);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellstone::autostart;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::size_t lines = static_cast<std::size_t>(std::ranges::count(text, '\n')) + 1;
    Check(ParseUnitFile(text), lines, "unit file");
    Check(ParseCronTable(text, CronTableKind::User), lines, "user cron table");
    Check(ParseCronTable(text, CronTableKind::System), lines, "system cron table");
    Check(ParseDesktopEntry(text), lines, "desktop entry");
    Check(ParsePreloadList(text), lines, "preload list");
    return 0;
}
