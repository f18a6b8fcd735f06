#pragma once

#include <string>

#include "core/i18n/LanguageTable.h"
#include "core/ports/Dialogs.h"
#include "core/ports/Shell.h"

namespace quellstone::i18n {

// The desktop's default action, with a message in the user's language when
// nothing could be started for a document or web page: without it, a click
// on a link or a menu item that opens nothing would look like a click the
// program ignored. Every opener of the desktop program goes through it.
class ReportingShell final : public ports::Shell {
public:
    ReportingShell(ports::Shell& shell, ports::Dialogs& dialogs, const LanguageTable& texts)
        : shell_(shell), dialogs_(dialogs), texts_(texts) {}

    // False, after the message naming `target`, when the action could not be started.
    bool OpenWithDefaultAction(const std::string& target) override;

private:
    ports::Shell& shell_;
    ports::Dialogs& dialogs_;
    const LanguageTable& texts_;
};

}  // namespace quellstone::i18n
