#pragma once

#include "core/app/Context.h"
#include "core/ports/Dialogs.h"
#include "core/settings/ProgramPaths.h"

namespace quellstone::app {

// Once the main window is up, and after each scan: when a downloaded database
// was ignored at start-up, or refused when it was read again, says so in one warning message (its path, the database
// used instead, the reason) and forgets the reason, so it is never said twice. True when the warning was shown.
bool WarnOfIgnoredDatabase(Context& context, const settings::ProgramPaths& paths, ports::Dialogs& dialogs);

}  // namespace quellstone::app
