#pragma once

#include <string>
#include <string_view>

namespace quellstone::cli {

inline constexpr std::string_view kServiceUnitName = "quellstone-scan.service";
inline constexpr std::string_view kTimerUnitName = "quellstone-scan.timer";

// `path` as one word of an ExecStart= line: in double quotes, with "\" and
// "\"" escaped, and "%" and "$" doubled so that systemd neither expands
// specifiers nor variables in it.
std::string ExecStartWord(std::string_view path);

// The service unit with `program` (quellstone-cli's absolute path) in its ExecStart.
std::string ServiceUnitText(std::string_view program);
std::string TimerUnitText();

}  // namespace quellstone::cli
