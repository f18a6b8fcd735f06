#include "core/app/IgnoredDatabaseWarning.h"

#include "core/text/DisplayEscape.h"
#include "core/text/FillIn.h"
#include "core/update/DatabaseInUse.h"

namespace quellstone::app {

bool WarnOfIgnoredDatabase(Context& context, const settings::ProgramPaths& paths, ports::Dialogs& dialogs) {
    // A database refused when it was read again (changed since it was chosen).
    if (context.ignoredDatabaseReason.empty()) context.ignoredDatabaseReason = context.signatures.TakeRefusal();
    if (context.ignoredDatabaseReason.empty()) return false;
    const std::string reason = std::move(context.ignoredDatabaseReason);
    context.ignoredDatabaseReason.clear();
    const std::string refused =
        context.ignoredDatabasePath.empty() ? update::UserDatabasePath(paths) : context.ignoredDatabasePath;
    using i18n::TextId;
    std::string message =
        text::FillIn(context.languageText.Text(TextId::DownloadedDatabaseIgnored),
                     {text::EscapeForDisplay(refused), text::EscapeForDisplay(context.signatures.DefaultPath())});
    message += '\r';
    message += text::FillIn(context.languageText.Text(TextId::DownloadedDatabaseReason), reason);
    dialogs.ShowMessage(message, ports::MessageIcon::Warning, ports::MessageButtons::Ok);
    return true;
}

}  // namespace quellstone::app
