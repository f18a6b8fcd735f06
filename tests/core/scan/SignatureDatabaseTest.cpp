#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/ini/Ini.h"
#include "core/scan/SignatureDatabase.h"
#include "core/text/UpperCase.h"
#include "support/FakeFileStore.h"

namespace quellstone::scan {
namespace {

using quellstone::testing::FakeFileStore;

class SignatureDatabaseTest : public ::testing::Test {
protected:
    SignatureDatabaseTest() : database(files, "/opt/quellstone") {}
    std::string Find(std::string_view name) { return std::string(database.IndexInUse()->Find(text::UpperCase(name))); }

    FakeFileStore files;
    SignatureDatabase database;
};

TEST_F(SignatureDatabaseTest, LooksNamesUpWithoutRegardToCase) {
    files.Put("/opt/quellstone/bdts.dll",
              "[Other]\nstray.exe=Not.Here\n"
              "[Scanfiles]\nSETUP.EXE=Trojan.X\nsetup.exe=Trojan.Second\nclean.exe=\n"
              "\xC5\xBC\xC3\xB3\xC5\x82w.exe=Trojan.Zolw\n"
              "\xC9\x90.exe=Trojan.Longer\n\xC4\xB1.exe=Trojan.Shorter\n");
    EXPECT_EQ(Find("setup.exe"), "Trojan.X");  // as stored; the first line of a key wins
    EXPECT_EQ(Find("Setup.Exe"), "Trojan.X");
    EXPECT_EQ(Find("clean.exe"), "");                                 // nothing after "=": clean
    EXPECT_EQ(Find("stray.exe"), "");                                 // outside the signature section
    EXPECT_EQ(Find("\xC5\xBB\xC3\x93\xC5\x81W.EXE"), "Trojan.Zolw");  // ŻÓŁW.EXE
    // Keys whose upper case takes more bytes (ɐ, U+0250 to U+2C6F) or fewer (ı to I).
    EXPECT_EQ(Find("\xE2\xB1\xAF.exe"), "Trojan.Longer");
    EXPECT_EQ(Find("\xC9\x90.EXE"), "Trojan.Longer");
    EXPECT_EQ(Find("I.exe"), "Trojan.Shorter");
    EXPECT_EQ(database.IndexInUse()->LoadStatus(), SignatureIndex::Status::Loaded);
}

TEST_F(SignatureDatabaseTest, LookupSignatureUsesTheFileNameOfAPath) {
    files.Put("/opt/quellstone/bdts.dll", "[Scanfiles]\nX.EXE=Backdoor.Mixed.Case\n");
    files.Put("/elsewhere/other.dll", "[Scanfiles]\nX.EXE=Named.Other\n");
    EXPECT_EQ(database.IndexOf("/elsewhere/other.dll")->Find("X.EXE"), "Named.Other");
    // The database in use, whichever file was loaded last.
    EXPECT_EQ(database.LookupSignature("/home/u/a/b/x.exe"), "Backdoor.Mixed.Case");
    EXPECT_EQ(database.LookupSignature("x.exe"), "Backdoor.Mixed.Case");
}

TEST_F(SignatureDatabaseTest, ReloadsOnlyWhenTheFileChanges) {
    files.Put("/opt/quellstone/bdts.dll", "[Scanfiles]\na.exe=First\n");
    EXPECT_EQ(Find("a.exe"), "First");
    const int readsAfterLoad = files.reads;
    EXPECT_EQ(Find("a.exe"), "First");
    EXPECT_EQ(files.reads, readsAfterLoad);
    files.Put("/opt/quellstone/bdts.dll", "[Scanfiles]\na.exe=Second\n");
    EXPECT_EQ(Find("a.exe"), "Second");
}

TEST_F(SignatureDatabaseTest, ReportsAMissingFileOrSection) {
    EXPECT_EQ(Find("a.exe"), "");
    EXPECT_EQ(database.IndexInUse()->LoadStatus(), SignatureIndex::Status::Unreadable);
    files.Put("/opt/quellstone/bdts.dll", "[Settings]\na.exe=x\n");
    EXPECT_EQ(database.IndexInUse()->LoadStatus(), SignatureIndex::Status::NoSection);
}

TEST_F(SignatureDatabaseTest, EmptyKeysAndADatabaseLargerThanTheFirstSizingAgreeWithAKeyedRead) {
    // Past the entries the tables are first sized for, they grow while the
    // file is read; the first line of a key must still win, and empty keys
    // (nothing, or only blanks, before "=") are keys like any other.
    std::string content = "[Scanfiles]\n=Trojan.NoName\n \t=Trojan.Blank\n";
    constexpr int kEntries = 140'000;
    for (int i = 0; i < kEntries; ++i) content += "k" + std::to_string(i) + ".exe=Trojan." + std::to_string(i) + "\n";
    content += "K0.EXE=Trojan.Later\n[Other]\n";
    content.append(200'000, '\n');  // blank lines count for the sizing but hold no entry
    files.Put("/opt/quellstone/bdts.dll", content);
    const auto index = database.IndexInUse();
    EXPECT_EQ(index->Size(), std::size_t{kEntries} + 1);
    ini::Ini keyed(files);
    keyed.SetPath(database.DefaultPath());
    keyed.SetSection("Scanfiles");
    for (const std::string name : {"", " ", "k0.exe", "k69999.exe", "k139999.exe", "k140000.exe"}) {
        keyed.SetKey(text::UpperCase(name));
        EXPECT_EQ(index->Find(text::UpperCase(name)), keyed.Value()) << "name '" << name << "'";
    }
    EXPECT_EQ(Find("k0.exe"), "Trojan.0");
    EXPECT_EQ(Find("k139999.exe"), "Trojan.139999");
}

TEST_F(SignatureDatabaseTest, TheIndexAgreesWithAKeyedReadOnRandomFiles) {
    // Random lines built from the pieces that the rules treat specially.
    const std::vector<std::string> pieces = {"a",     "A",  "b",    "\xC5\xBC", "\xC5\xBB", "=",         " ",
                                             "\t",    "\"", "'",    "[",        "]",        "scanfiles", "SCANFILES",
                                             "other", ";",  "\xFF", "x.exe",    "\xC9\x90", "\xC4\xB1"};
    std::mt19937 random(20261208);
    for (int round = 0; round < 200; ++round) {
        std::string content;
        std::vector<std::string> names;
        for (int line = 0; line < 30; ++line) {
            std::string text;
            const int count = static_cast<int>(random() % 8);
            for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
            content += text + (random() % 2 ? "\n" : "\r\n");
            names.push_back(text.substr(0, text.find('=')));
        }
        names.push_back("x.exe");
        files.Put("/opt/quellstone/bdts.dll", content);
        const auto index = database.IndexInUse();
        ini::Ini keyed(files);
        keyed.SetPath(database.DefaultPath());
        keyed.SetSection("Scanfiles");
        for (const std::string& name : names) {
            keyed.SetKey(text::UpperCase(name));
            ASSERT_EQ(index->Find(text::UpperCase(name)), keyed.Value()) << "name " << name << " in\n" << content;
        }
    }
}

}  // namespace
}  // namespace quellstone::scan
