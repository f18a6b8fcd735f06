#include <gtest/gtest.h>

#include <string>

#include "core/ini/Ini.h"
#include "support/FakeFileStore.h"

namespace quellstone::ini {
namespace {

using quellstone::testing::FakeFileStore;

class IniTest : public ::testing::Test {
protected:
    Ini Open(const std::string& section, const std::string& key) {
        Ini ini(files);
        ini.SetPath("/db.ini");
        ini.SetSection(section);
        ini.SetKey(key);
        return ini;
    }
    std::string Read(const std::string& section, const std::string& key) { return Open(section, key).Value(); }

    FakeFileStore files;
};

TEST_F(IniTest, ReadsWithTheProfileRules) {
    files.Put("/db.ini",
              "key=outside any section\r\n"
              "[Other]\r\n"
              "setup.exe=Wrong.Section\r\n"
              "  [ scanfiles ]  \r\n"
              "; a comment line\r\n"
              "  Setup.EXE  =  Trojan.X  \r\n"
              "SETUP.EXE=Second.Line\r\n"
              "quoted=\"  spaced value \"\r\n"
              "single='x'\r\n"
              "half=\"open\r\n"
              "empty=\r\n"
              "not an entry\r\n"
              "[SCANFILES]\r\n"
              "late=In.Second.Section\r\n");
    EXPECT_EQ(Read("SCANFILES", "setup.exe"), "Trojan.X");  // first section, first key, trimmed
    EXPECT_EQ(Read("Scanfiles", "quoted"), "  spaced value ");
    EXPECT_EQ(Read("Scanfiles", "single"), "x");
    EXPECT_EQ(Read("Scanfiles", "half"), "\"open");
    EXPECT_EQ(Read("Scanfiles", "empty"), "");
    EXPECT_EQ(Read("Scanfiles", "late"), "");  // only the first section of a name counts
    EXPECT_EQ(Read("Scanfiles", "key"), "");   // a key outside the section does not count
    EXPECT_EQ(Read("Other", "SETUP.EXE"), "Wrong.Section");
}

TEST_F(IniTest, AbsentFileSectionOrKeyGivesTheDefault) {
    Ini fresh = Open("Scanfiles", "absent");
    EXPECT_EQ(fresh.Value(), "");
    fresh.SetDefault("fallback");
    EXPECT_EQ(fresh.Value(), "fallback");
    files.Put("/db.ini", "[Scanfiles]\nother=1\n");
    EXPECT_EQ(fresh.Value(), "fallback");
    fresh.SetSection("Missing");
    EXPECT_EQ(fresh.Value(), "fallback");
    files.unreadable.insert("/db.ini");
    fresh.SetSection("Scanfiles");
    EXPECT_EQ(fresh.Value(), "fallback");
}

TEST_F(IniTest, LongValuesAreCutTo1023Characters) {
    files.Put("/db.ini", "[s]\nlong=" + std::string(2000, 'v') + "\n");
    EXPECT_EQ(Read("s", "long"), std::string(1023, 'v'));

    std::string polish;
    for (int i = 0; i < 1500; ++i) polish += "\xC5\xBC";  // ż, two bytes each
    files.Put("/db.ini", "[s]\npolish=" + polish + "\n");
    EXPECT_EQ(Read("s", "polish"), polish.substr(0, 1023 * 2));
}

TEST_F(IniTest, ReadsWindows1250Files) {
    files.Put("/db.ini", "[s]\n\xA3\xF3\x64\x9F=Mi\xB9\x73to\n");  // Łódź=Miąsto
    EXPECT_EQ(Read("s", "\xC5\x81\xC3\xB3\x64\xC5\xBA"), "Mi\xC4\x85sto");
    EXPECT_EQ(Read("S", "\xC5\x82\xC3\x93\x44\xC5\xB9"), "Mi\xC4\x85sto");  // łÓDŹ: same key without regard to case
}

TEST_F(IniTest, WritesCreateFileSectionAndKeyAndKeepTheRest) {
    Ini ini = Open("Settings", "curLang");
    std::string value = "Polish";
    ini.SetValue(value);
    EXPECT_NE(ini.LastReturnCode(), 0);
    EXPECT_EQ(files.files["/db.ini"], "[Settings]\ncurLang=Polish\n");

    files.Put("/db.ini", "; kept comment\r\n[Settings]\r\nCURLANG = English\r\nother=1\r\n\r\n[Next]\r\nx=y\r\n");
    value = "Deutsch";
    ini.SetValue(value);
    ini.SetKey("Quarintine");
    value = "1";
    ini.SetValue(value);
    EXPECT_EQ(files.files["/db.ini"],
              "; kept comment\r\n[Settings]\r\nCURLANG=Deutsch\r\nother=1\r\nQuarintine=1\r\n\r\n[Next]\r\nx=y\r\n");
}

TEST_F(IniTest, WritingRemovesNulCharactersAlsoFromTheCallersText) {
    Ini ini = Open("s", "k");
    std::string value("a\0b\0c", 5);
    ini.SetValue(value);
    EXPECT_EQ(value, "abc");
    EXPECT_EQ(ini.Value(), "abc");
}

TEST_F(IniTest, RefusesWritesThatWouldChangeTheFileStructure) {
    files.Put("/db.ini", "[s]\nk=old\n");
    const std::string before = files.files["/db.ini"];
    Ini ini = Open("s", "k");
    for (std::string value : {"new\n[Injected]", "new\rx=1"}) {
        ini.SetValue(value);
        EXPECT_EQ(ini.LastReturnCode(), 0);
    }
    std::string value = "v";
    for (const char* key : {"a=b", "[x]", "", " ", "line\nbreak"}) {
        ini.SetKey(key);
        ini.SetValue(value);
        EXPECT_EQ(ini.LastReturnCode(), 0) << key;
    }
    ini.SetKey("k");
    ini.SetSection("bad]name");
    ini.SetValue(value);
    EXPECT_EQ(ini.LastReturnCode(), 0);
    EXPECT_EQ(files.files["/db.ini"], before);
}

TEST_F(IniTest, FailedWritesReportZeroAndLeaveTheFile) {
    files.Put("/db.ini", "[s]\nk=old\n");
    Ini ini = Open("s", "k");
    std::string value = "new";
    files.failWrites = true;
    ini.SetValue(value);
    EXPECT_EQ(ini.LastReturnCode(), 0);
    files.failWrites = false;
    ini.SetValue(value);
    EXPECT_NE(ini.LastReturnCode(), 0);
    // A file that exists but cannot be read is never replaced by one holding only the new entry.
    files.unreadable.insert("/db.ini");
    value = "newer";
    ini.SetValue(value);
    EXPECT_EQ(ini.LastReturnCode(), 0);
    EXPECT_EQ(files.files["/db.ini"], "[s]\nk=new\n");
}

TEST_F(IniTest, DeletesValuesAndSections) {
    files.Put("/db.ini", "[a]\nk=1\nk=2\nj=3\n[b]\nx=1\n[a]\nk=late\n");
    Ini ini = Open("A", "K");
    ini.DeleteValue();
    EXPECT_NE(ini.LastReturnCode(), 0);
    EXPECT_EQ(ini.Value(), "2");
    ini.SetSection("b");
    ini.DeleteSection();
    EXPECT_NE(ini.LastReturnCode(), 0);
    EXPECT_EQ(files.files["/db.ini"], "[a]\nk=2\nj=3\n[a]\nk=late\n");
    ini.SetSection("absent");
    ini.DeleteSection();
    EXPECT_EQ(ini.LastReturnCode(), 0);
}

TEST_F(IniTest, SectionKeyNamesAreNulSeparatedAndCutToTheBuffer) {
    files.Put("/db.ini", "[s]\nfirst=1\n\nsecond=2\n[t]\n");
    Ini ini = Open("s", "");
    EXPECT_EQ(ini.IniSection(), std::string("first\0second\0", 13));
    ini.SetSection("t");
    EXPECT_EQ(ini.IniSection(), "");
    ini.SetSection("absent");
    EXPECT_EQ(ini.IniSection(), "");
    ini.SetDefault("none");
    EXPECT_EQ(ini.IniSection(), "none");

    std::string many = "[s]\n";
    for (int i = 0; i < 40; ++i) many += "key" + std::to_string(100 + i) + "=x\n";
    files.Put("/db.ini", many);
    ini.SetSection("s");
    const std::string names = ini.IniSection();
    EXPECT_EQ(names.size(), 253u);
    EXPECT_TRUE(names.starts_with(std::string("key100\0key101\0", 14)));
}

TEST_F(IniTest, SectionWriteReplacesTheEntries) {
    files.Put("/db.ini", "[s]\nold=1\n[t]\nx=1\n");
    Ini ini = Open("s", "");
    ini.SetIniSection(std::string("a=1\0b=2\0", 8));
    EXPECT_NE(ini.LastReturnCode(), 0);
    EXPECT_EQ(files.files["/db.ini"], "[s]\na=1\nb=2\n[t]\nx=1\n");
    ini.SetIniSection(std::string("no equals sign\0", 15));
    EXPECT_EQ(ini.LastReturnCode(), 0);
}

}  // namespace
}  // namespace quellstone::ini
