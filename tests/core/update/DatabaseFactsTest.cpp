// The information frame's database line: version, entry count and date.
#include <gtest/gtest.h>

#include <ctime>

#include "core/update/DatabaseFacts.h"
#include "support/FakeFileStore.h"

namespace quellstone::update {
namespace {

// Noon, local time, of a day: the same date in every time zone's reading.
std::chrono::system_clock::time_point LocalNoon(int year, int month, int day) {
    std::tm noon{};
    noon.tm_year = year - 1900;
    noon.tm_mon = month - 1;
    noon.tm_mday = day;
    noon.tm_hour = 12;
    noon.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&noon));
}

i18n::LanguageTable Texts(const std::string& language) {
    i18n::LanguageTable texts;
    texts.SetLanguage(language);
    texts.Set(static_cast<int>(i18n::TextId::DatabaseVersionEntriesAndDate), "%1 (%2 entries, %3)");
    texts.Set(static_cast<int>(i18n::TextId::DatabaseEntriesAndDate), "%1 entries, %2");
    texts.Set(static_cast<int>(i18n::TextId::DatabaseUnreadable), "cannot be read");
    return texts;
}

TEST(DatabaseFacts, CountsTheKeysALookupSeesAndReadsTheVersion) {
    testing::FakeFileStore files;
    // The [Database] keys, another section's keys, a repeated key and a
    // comment are no entries; letter case does not make two keys.
    files.Put("/db",
              "[Database]\nVersion=2026.12.9\n[Scanfiles]\nA.EXE=Trojan.A\n; comment\nb.exe=Trojan.B\n"
              "B.EXE=Trojan.B2\n[Other]\nC.EXE=Trojan.C\n");
    const DatabaseFacts facts = ReadDatabaseFacts("/db", files);
    EXPECT_TRUE(facts.readable);
    EXPECT_EQ(facts.entries, 2u);
    ASSERT_TRUE(facts.version);
    EXPECT_EQ(DatabaseVersionText(*facts.version), "2026.12.9");
    EXPECT_TRUE(facts.modified);

    files.Put("/plain", "[SCANFILES]\nA.EXE=Trojan.A\n");
    EXPECT_FALSE(ReadDatabaseFacts("/plain", files).version);
    EXPECT_EQ(ReadDatabaseFacts("/plain", files).entries, 1u);
    EXPECT_FALSE(ReadDatabaseFacts("/missing", files).readable);
}

TEST(DatabaseFacts, TheLineNamesVersionCountAndTheDayAsTheLanguageWritesIt) {
    DatabaseFacts facts{true, DatabaseVersion{2026, 12, 9}, 97, LocalNoon(2026, 12, 9)};
    EXPECT_EQ(DatabaseFactsText(facts, Texts("English")), "2026.12.9 (97 entries, 2026-12-09)");
    EXPECT_EQ(DatabaseFactsText(facts, Texts("Deutsch")), "2026.12.9 (97 entries, 09.12.2026)");
    facts.version.reset();
    EXPECT_EQ(DatabaseFactsText(facts, Texts("Polish")), "97 entries, 09.12.2026");
    EXPECT_EQ(DatabaseFactsText(DatabaseFacts{}, Texts("English")), "cannot be read");
}

}  // namespace
}  // namespace quellstone::update
