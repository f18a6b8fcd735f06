#pragma once

#include <string>
#include <string_view>

#include "core/i18n/VendorAddresses.h"
#include "core/ports/DirectoryTree.h"
#include "core/ports/Shell.h"
#include "core/settings/SettingsStore.h"

namespace quellstone::i18n {

// Hands a path or web address to the desktop's default action. What a
// failure means to the user is the shell's to say: the desktop program hands
// every opener a ReportingShell, which names what could not be opened.
void OpenDocument(ports::Shell& shell, const std::string& target);

// Opens the program's documents and the vendor's pages in the stored
// language. Each opener reads the language afresh for each of English,
// Polish and Deutsch in turn (compared exactly, letter case included) and
// opens that language's variant; with any other language nothing opens.
class DocumentOpeners {
public:
    DocumentOpeners(settings::SettingsStore& store, ports::Shell& shell, ports::DirectoryTree& tree,
                    std::string programFolder, VendorAddresses addresses)
        : store_(store),
          shell_(shell),
          tree_(tree),
          programFolder_(std::move(programFolder)),
          addresses_(std::move(addresses)) {}

    void OpenHomePage() { OpenPage(addresses_.home); }
    void OpenStatisticsPage() { OpenPage(addresses_.statistics); }
    void OpenUpdatePage() { OpenPage(addresses_.update); }
    void OpenSupportPage() { OpenPage(addresses_.support); }
    void OpenContactPage() { OpenPage(addresses_.contact); }
    void OpenForum() { OpenPage({addresses_.forum, addresses_.forum, addresses_.forum}); }
    void OpenReadme() { OpenLocalDocument("readme.txt"); }
    void OpenLicenseText() { OpenLocalDocument("license.txt"); }

    [[nodiscard]] const VendorAddresses& Addresses() const { return addresses_; }

private:
    void OpenPage(const LocalisedAddress& address);
    void OpenLocalDocument(std::string_view file);
    [[nodiscard]] bool LanguageIs(std::string_view name);

    settings::SettingsStore& store_;
    ports::Shell& shell_;
    ports::DirectoryTree& tree_;
    std::string programFolder_;
    VendorAddresses addresses_;
};

}  // namespace quellstone::i18n
