#include "core/app/SystemChecks.h"

#include "core/text/PathText.h"
#include "core/text/UpperCase.h"

namespace quellstone::app {

namespace {

// `path` is looked up by its file name, and by itself when it is absolute.
std::string_view DetectPath(const scan::SignatureIndex& index, std::string_view path) {
    if (path.empty()) return {};
    const std::string upper = text::UpperCase(scan::LookupKeyOf(text::FileNameOf(path)));
    return path.starts_with('/') ? index.Find(upper, path) : index.Find(upper);
}

}  // namespace

ProcessMatch DetectProcess(const scan::SignatureIndex& index, const ports::RunningProcess& process) {
    if (const std::string_view found = DetectPath(index, process.executable); !found.empty()) return {found, true};
    if (!process.name.empty()) {
        if (const std::string_view found = index.Find(text::UpperCase(scan::LookupKeyOf(process.name)));
            !found.empty()) {
            return {found, false};
        }
    }
    return {DetectPath(index, process.firstArgument), false};
}

std::string_view DetectStartedProgram(const scan::SignatureIndex& index, std::string_view program) {
    return DetectPath(index, program);
}

std::string ProcessShownPath(const ports::RunningProcess& process) {
    if (!process.executable.empty()) return process.executable + (process.executableDeleted ? " (deleted)" : "");
    return process.firstArgument.empty() ? process.name : process.firstArgument;
}

}  // namespace quellstone::app
