#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "core/i18n/DocumentOpeners.h"
#include "core/i18n/LanguageFile.h"
#include "support/FakeDesktop.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileStore.h"
#include "support/MemorySettingsBackend.h"

namespace quellstone::i18n {
namespace {

using ::testing::ElementsAre;
using namespace quellstone::testing;

LanguageTable Parse(std::string_view text) {
    LanguageTable table;
    ApplyLanguageText(text, table);
    return table;
}

TEST(LanguageText, ReadsNumberedLines) {
    const LanguageTable table = Parse(
        "; 205 a comment, even with digits\r\n"
        "205 Kwarantanna\r\n"
        "0105Word\n"               // three characters give 10; the fourth is skipped unread
        "   |zero\n"               // no digits: entry 0
        "     \n"                  // spaces only: skipped
        "\t\t\n"                   // tabs are not blank: a short line, entry 0 set to ""
        "201 first\n201 second\n"  // the later line wins
        "202 line_break__twice\n"
        "-5 negative\n"
        "1.5 rounds to even\n"
        "2.5 rounds to even too\n"
        "&HF hex\n"
        "99\n"  // shorter than five characters: an empty entry
        "300  kept  as  is  \n");
    EXPECT_EQ(table.Text(205), "Kwarantanna");
    EXPECT_EQ(table.Text(10), "Word");
    EXPECT_EQ(table.Text(0), "");
    EXPECT_EQ(table.Text(201), "second");
    EXPECT_EQ(table.Text(202), "line\rbreak\r\rtwice");
    EXPECT_EQ(table.Text(2), "rounds to even too");
    EXPECT_EQ(table.Text(1), "");
    EXPECT_EQ(table.Text(15), "hex");
    EXPECT_EQ(table.Text(99), "");
    EXPECT_EQ(table.Text(300), " kept  as  is  ");
    // A number outside 0..999 sets no entry at all.
    for (int entry = 0; entry < LanguageTable::kSize; ++entry) EXPECT_NE(table.Text(entry), "negative") << entry;
    // A line without digits is entry 0, before the tab line above overwrote it.
    EXPECT_EQ(Parse("   |zero\n").Text(0), "zero");
}

TEST(LanguageText, CountsCharactersNotBytes) {
    // Polish letters take two bytes each in UTF-8 but one character position.
    const LanguageTable table = Parse("236\xC5\xBC&Dalej >>\n");
    EXPECT_EQ(table.Text(236), "&Dalej >>");
}

TEST(LanguageText, ALongTextIsCutAtACharacterBoundary) {
    const std::string ascii(kMaxTextChars + 10, 'a');
    EXPECT_EQ(Parse("101 " + ascii + "\n").Text(101), ascii.substr(0, kMaxTextChars));
    // Two-byte letters: the cut counts characters and keeps each sequence whole.
    std::string polish;
    for (std::size_t i = 0; i < kMaxTextChars + 3; ++i) polish += "\xC5\xBC";
    const std::string cut = Parse("102 " + polish + "\n").Text(102);
    EXPECT_EQ(cut.size(), 2 * kMaxTextChars);
    EXPECT_EQ(cut, polish.substr(0, 2 * kMaxTextChars));
    // Every "_" of a text at the limit is still a line break.
    EXPECT_EQ(Parse("103 " + std::string(kMaxTextChars, '_')).Text(103), std::string(kMaxTextChars, '\r'));
}

class LanguageLoaderTest : public ::testing::Test {
protected:
    LanguageLoaderTest() : store(backend), loader(store, files, tree, dialogs, "/prog") {
        auto& languages = tree.Root().Folder("prog").Folder("LANGUAGES");
        languages.Folder("english").File("English.txt");
        languages.Folder("Polish").File("polish.TXT");
        files.Put("/prog/LANGUAGES/english/English.txt", "100 Starting\n");
        files.Put("/prog/LANGUAGES/Polish/polish.TXT", "100 Uruchamianie\xA5\n");  // Windows-1250 "Ą"
    }
    MemorySettingsBackend backend;
    settings::SettingsStore store;
    FakeFileStore files;
    FakeDirectoryTree tree;
    FakeDialogs dialogs;
    LanguageLoader loader;
};

TEST_F(LanguageLoaderTest, FirstStartSaysSoOnceAndLoadsEnglish) {
    LanguageTable first;
    loader.LoadLanguage(first);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Error: Failed loading selected language.");
    EXPECT_EQ(dialogs.shown[0].icon, ports::MessageIcon::Error);
    EXPECT_EQ(store.Read("Settings", "curLang", ""), "English");
    EXPECT_EQ(first.Text(100), "Starting");

    LanguageTable second;
    loader.LoadLanguage(second);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(second.Text(100), "Starting");
}

TEST_F(LanguageLoaderTest, FindsTheFileWhateverTheLetterCase) {
    store.Write("Settings", "curLang", "Polish");
    LanguageTable table;
    loader.LoadLanguage(table);
    EXPECT_EQ(table.Text(100), "Uruchamianie\xC4\x84");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(LanguageLoaderTest, AFileThatCannotBeUsedGivesTheBuiltInEnglishTextsAndSaysSoOnce) {
    const std::string polish = "/prog/LANGUAGES/Polish/polish.TXT";
    // the stored language, the Polish file ("-": cannot be read), the file a message names ("": none)
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"Klingon", "", "/prog/languages/Klingon/Klingon.txt"},
        {"Polish", "-", polish},
        {"Polish", "100 Uruchamianie\n" + std::string(kMaxLanguageFileBytes, ';'), polish},
        {"Polish", "; comments only\n\n999\n", polish},
        {"Polish", "100 Uruchamianie\n", ""},  // the entries it lacks stay empty
    };
    for (const auto& [language, polishText, unread] : cases) {
        store.Write("Settings", "curLang", language);
        files.Put(polish, polishText);
        files.unreadable = {polishText == "-" ? polish : ""};
        dialogs.shown.clear();
        LanguageTable table;
        loader.LoadLanguage(table);
        EXPECT_EQ(table.Text(100), unread.empty() ? "Uruchamianie" : "Starting Quellstone, please wait...") << language;
        EXPECT_EQ(table.Text(TextId::Never), unread.empty() ? "" : "Never");
        EXPECT_EQ(table.Language(), unread.empty() ? "Polish" : "English");
        ASSERT_EQ(dialogs.shown.size(), unread.empty() ? 0u : 1u) << language;
        if (!unread.empty()) {
            EXPECT_EQ(dialogs.shown[0].text,
                      "The language file " + unread + " could not be read, so Quellstone shows its texts in English.");
        }
    }
    LanguageTable table;
    EXPECT_EQ(loader.ReadLanguageFile("", table), 1);
    EXPECT_EQ(loader.ReadLanguageFile("/prog/none.txt", table), 1);
}

TEST_F(LanguageLoaderTest, AFileOverTheSizeLimitLoadsNothing) {
    const std::string path = "/prog/LANGUAGES/english/English.txt";
    std::string text = "100 Starting\n;";
    text.resize(kMaxLanguageFileBytes, 'x');  // exactly at the limit: loaded
    files.Put(path, text);
    LanguageTable atLimit;
    EXPECT_EQ(loader.ReadLanguageFile(path, atLimit), 0);
    EXPECT_EQ(atLimit.Text(100), "Starting");

    text += 'x';  // one byte over: treated as a file that cannot be read
    files.Put(path, text);
    const int readsBefore = files.reads;
    LanguageTable overLimit;
    EXPECT_EQ(loader.ReadLanguageFile(path, overLimit), 0);
    EXPECT_EQ(overLimit.Text(100), "");
    EXPECT_EQ(files.reads, readsBefore);  // not even read into memory
}

TEST(DocumentOpeners, OpenTheStoredLanguagesVariantOnly) {
    MemorySettingsBackend backend;
    settings::SettingsStore store(backend);
    FakeShell shell;
    FakeDirectoryTree tree;
    tree.Root().Folder("prog").Folder("languages").Folder("Polish").File("readme.txt");
    DocumentOpeners openers(store, shell, tree, "/prog", VendorAddresses::Defaults());

    store.Write("Settings", "curLang", "Polish");
    openers.OpenReadme();
    openers.OpenLicenseText();  // not on disk: the plain path is handed over, the desktop says nothing
    openers.OpenHomePage();
    openers.OpenForum();
    EXPECT_THAT(shell.opened, ElementsAre("/prog/languages/Polish/readme.txt", "/prog/languages/polish/license.txt",
                                          "http://www.orvanta.example/pl/", "http://forum.orvanta.example/"));

    shell.opened.clear();
    store.Write("Settings", "curLang", "english");
    openers.OpenReadme();
    openers.OpenUpdatePage();
    EXPECT_TRUE(shell.opened.empty());

    store.Write("Settings", "curLang", "Deutsch");
    openers.OpenForum();
    openers.OpenContactPage();
    EXPECT_THAT(shell.opened, ElementsAre("http://forum.orvanta.example/", "http://www.orvanta.example/de/contact/"));
}

TEST(VendorAddresses, FileOverridesDefaultsKeyByKey) {
    FakeFileStore files;
    EXPECT_EQ(VendorAddresses::Load(files, "/prog/vendor.ini").updateServer, "http://update.orvanta.example/");
    files.Put("/prog/vendor.ini", "[Update]\nServer=http://127.0.0.1:8080/\n[Web]\nForum=http://f.example/\n");
    const VendorAddresses addresses = VendorAddresses::Load(files, "/prog/vendor.ini");
    EXPECT_EQ(addresses.updateServer, "http://127.0.0.1:8080/");
    EXPECT_EQ(addresses.forum, "http://f.example/");
    EXPECT_EQ(addresses.support.deutsch, "http://www.orvanta.example/de/support/");
}

TEST(VendorAddresses, UpdateKeyIsReadTrimmedAndHasNoBuiltInDefault) {
    FakeFileStore files;
    EXPECT_EQ(VendorAddresses::Load(files, "/prog/vendor.ini").updatePublicKey, "");
    files.Put("/prog/vendor.ini", "[Update]\n; the vendor's key\nPublicKey=  RWQkey+/=  \n");
    EXPECT_EQ(VendorAddresses::Load(files, "/prog/vendor.ini").updatePublicKey, "RWQkey+/=");
    files.Put("/prog/vendor.ini", "[Update]\nPublicKey=\n");
    EXPECT_EQ(VendorAddresses::Load(files, "/prog/vendor.ini").updatePublicKey, "");
}

}  // namespace
}  // namespace quellstone::i18n
