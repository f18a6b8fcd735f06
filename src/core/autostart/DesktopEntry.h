#pragma once

#include <string_view>
#include <vector>

#include "core/autostart/StartedProgram.h"

namespace quellstone::autostart {

// The programs a desktop session's autostart file starts: what each Exec=
// key of the [Desktop Entry] group runs (its first word, quotes honoured, and
// what a shell in it runs; see ProgramsOfCommand). Keys of other groups start
// nothing. An entry is reported even when it says it is not to be started
// (Hidden=true, X-GNOME-Autostart-enabled=false, OnlyShowIn=...): desktops
// differ in which of these they obey, another file can override them, and a
// planted file that names a known trojan is worth showing either way.
std::vector<StartedProgram> ParseDesktopEntry(std::string_view text);

}  // namespace quellstone::autostart
