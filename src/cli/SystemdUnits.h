#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellstone::cli {

inline constexpr std::string_view kServiceUnitName = "quellstone-scan.service";
inline constexpr std::string_view kTimerUnitName = "quellstone-scan.timer";
// The system's database update; the system's scan shares the names above.
inline constexpr std::string_view kUpdateTimerUnitName = "quellstone-update.timer";

// Why systemd could not run `program` as the command of an ExecStart= line,
// in words for a message; nullopt when it can. A unit file is read line by
// line as UTF-8, so a control character or a byte that is not UTF-8 would
// change or break the unit; systemd refuses a command path holding a quote
// or a backslash even when it is quoted and escaped; and a path that is not
// absolute could read as a prefix ("-", "@", ...) or be looked up elsewhere.
std::optional<std::string_view> ExecStartRefusal(std::string_view program);

// `program` as the command word of an ExecStart= line: in double quotes, so
// that spaces and ";" are part of it, with "\" and "\"" escaped and "%"
// doubled so that systemd expands no specifier in it. "$" stays as it is:
// systemd expands no variable in the path of the program it runs.
std::string ExecStartWord(std::string_view program);

// The service unit with `program` (quellstone-cli's absolute path) in its
// ExecStart; `program` must have passed ExecStartRefusal.
std::string ServiceUnitText(std::string_view program);
std::string TimerUnitText();

}  // namespace quellstone::cli
