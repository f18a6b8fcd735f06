#pragma once

#include <string_view>
#include <vector>

#include "core/autostart/StartedProgram.h"

namespace quellstone::autostart {

// A user's table (five time fields, then the command) or the system's
// (/etc/crontab and /etc/cron.d: five time fields, the user, the command).
enum class CronTableKind { User, System };

// The programs a cron table starts. A job line is its time fields (or one
// "@reboot", "@daily", ... word), in the system table the user, then the
// command; the command ends at an unescaped "%" (the rest is its input) and
// is read as a shell reads it: its first word is a program, and so is what a
// shell in it runs (see ProgramsOfCommand). Blank lines, "#" comments and
// "NAME=value" settings start nothing; nor does a line cron would refuse
// (too few fields, a time field of characters no schedule uses).
std::vector<StartedProgram> ParseCronTable(std::string_view text, CronTableKind kind);

}  // namespace quellstone::autostart
