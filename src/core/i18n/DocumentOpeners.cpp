#include "core/i18n/DocumentOpeners.h"

#include "core/i18n/LanguageFile.h"
#include "core/settings/ProgramPaths.h"

namespace quellstone::i18n {

void OpenDocument(ports::Shell& shell, const std::string& target) {
    // Told to the user by the shell (ReportingShell); nothing here could act on it.
    [[maybe_unused]] const bool started = shell.OpenWithDefaultAction(target);
}

bool DocumentOpeners::LanguageIs(std::string_view name) {
    return store_.Read(settings::keys::kLanguage) == name;
}

void DocumentOpeners::OpenPage(const LocalisedAddress& address) {
    if (LanguageIs("English")) OpenDocument(shell_, address.english);
    if (LanguageIs("Polish")) OpenDocument(shell_, address.polish);
    if (LanguageIs("Deutsch")) OpenDocument(shell_, address.deutsch);
}

void DocumentOpeners::OpenLocalDocument(std::string_view file) {
    // The documents live in the language folders, addressed in lower case and
    // found on disk without regard to letter case.
    const auto open = [&](std::string_view folder) {
        const std::string relative = settings::LanguageDocumentRelative(folder, file);
        const std::string found = FindIgnoringCase(tree_, programFolder_, relative);
        OpenDocument(shell_, found.empty() ? programFolder_ + "/" + relative : found);
    };
    if (LanguageIs("English")) open("english");
    if (LanguageIs("Polish")) open("polish");
    if (LanguageIs("Deutsch")) open("deutsch");
}

}  // namespace quellstone::i18n
