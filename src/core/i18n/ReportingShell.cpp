#include "core/i18n/ReportingShell.h"

#include "core/text/DisplayEscape.h"
#include "core/text/FillIn.h"

namespace quellstone::i18n {

bool ReportingShell::OpenWithDefaultAction(const std::string& target) {
    if (shell_.OpenWithDefaultAction(target)) return true;
    // A path holds whatever bytes its folders hold: it is shown escaped.
    dialogs_.ShowMessage(text::FillIn(texts_.Text(TextId::NothingOpens), {text::EscapeForDisplay(target)}),
                         ports::MessageIcon::Warning, ports::MessageButtons::Ok);
    return false;
}

}  // namespace quellstone::i18n
