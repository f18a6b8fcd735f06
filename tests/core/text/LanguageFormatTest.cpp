#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "core/text/FillIn.h"
#include "core/text/LanguageFormat.h"
#include "core/text/TimeText.h"

namespace quellstone::text {
namespace {

using namespace std::chrono_literals;

TEST(LanguageFormat, CommaLanguagesWriteDayMonthYearAndOthersTheIsoForm) {
    EXPECT_EQ(DecimalText(0.44, FormatOf("English")), "0.4");
    EXPECT_EQ(DecimalText(0.44, FormatOf("Deutsch")), "0,4");
    EXPECT_EQ(DecimalText(12.34, FormatOf("polish")), "12,3");      // as stored by hand
    EXPECT_EQ(DecimalText(1234.0, FormatOf("Klingon")), "1234.0");  // unknown: the point

    // Local noon of a fixed day, so no time zone moves it to another date.
    std::tm noon{};
    noon.tm_year = 2026 - 1900;
    noon.tm_mon = 11;
    noon.tm_mday = 9;
    noon.tm_hour = 12;
    noon.tm_min = 5;
    noon.tm_sec = 7;
    noon.tm_isdst = -1;
    const auto when = std::chrono::system_clock::from_time_t(std::mktime(&noon));
    EXPECT_EQ(LocalTimeText(when, FormatOf("Deutsch").dateTimePattern), "09.12.2026 12:05:07");
    EXPECT_EQ(LocalTimeText(when, FormatOf("Polish").dateTimePattern), "09.12.2026 12:05:07");
    EXPECT_EQ(LocalTimeText(when, FormatOf("English").dateTimePattern), "2026-12-09 12:05:07");
    EXPECT_EQ(LocalTimeText(when), "2026-12-09 12:05:07");  // the quarantine's records
}

TEST(LanguageFormat, AStoredDateIsShownInTheLanguagesFormAndAnythingElseAsItIs) {
    const struct {
        const char* stored;
        const char* language;
        const char* shown;
    } cases[] = {
        {"2026-12-08", "Deutsch", "08.12.2026"},
        {"2026-12-08 20:15:03", "Polish", "08.12.2026 20:15:03"},
        {"2026-12-08 20:15:03", "English", "2026-12-08 20:15:03"},
        {"12/09/26", "Deutsch", "12/09/26"},  // an older stored form
        {"-", "Deutsch", "-"},                // after a reset
        {"2026-13-08", "Deutsch", "2026-13-08"},
        {"2026-12-08 24:00:00", "Deutsch", "2026-12-08 24:00:00"},
        {"2026-12-08x", "Deutsch", "2026-12-08x"},
        {"", "Deutsch", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(StoredTimeInLanguage(c.stored, FormatOf(c.language)), c.shown) << c.stored;
}

TEST(LanguageFormat, EveryNameOfALanguageGivesItsCode) {
    EXPECT_EQ(FormatOf("English").code, "en");
    EXPECT_EQ(FormatOf("Deutsch").code, "de");
    EXPECT_EQ(FormatOf("GERMAN").code, "de");
    EXPECT_EQ(FormatOf("Polish").code, "pl");
    EXPECT_EQ(FormatOf("polski").code, "pl");
    EXPECT_EQ(FormatOf("Klingon").code, "");
    EXPECT_EQ(FormatOf("").code, "");
}

// Qt hands the desktop's locale to the C library at start; the English report
// must still write "0.4" on a German desktop.
TEST(LanguageFormat, TheCLibrarysLocaleDoesNotChangeTheSeparator) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "pl_PL.UTF-8", "pl_PL.utf8", "de_DE", "pl_PL"}) {
        if ((comma = std::setlocale(LC_ALL, name))) break;
    }
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma on this machine";
    const std::string english = DecimalText(0.44, FormatOf("English"));
    const std::string german = DecimalText(1234.56, FormatOf("Deutsch"));
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(english, "0.4");
    EXPECT_EQ(german, "1234,6");
}

TEST(LanguageFormat, ElapsedTimeReadsLikeAClock) {
    EXPECT_EQ(ElapsedText(0s), "0:00");
    EXPECT_EQ(ElapsedText(42s), "0:42");
    EXPECT_EQ(ElapsedText(12min + 5s), "12:05");
    EXPECT_EQ(ElapsedText(1h + 2min + 3s), "1:02:03");
    EXPECT_EQ(ElapsedText(-5s), "0:00");  // a clock set back during the scan
}

TEST(FillIn, PutsTheValueAtTheMarkOrAfterATextWithout) {
    EXPECT_EQ(FillIn("Scan finished: %1 detections", "3"), "Scan finished: 3 detections");
    EXPECT_EQ(FillIn("%1 and %1", "x"), "x and x");
    EXPECT_EQ(FillIn("Removed:", "2"), "Removed: 2");
    EXPECT_EQ(FillIn("100%", "2"), "100% 2");
    // A translation that forgot one of two marks still names both values.
    EXPECT_EQ(FillIn("Your version: %1", {"1.05", "1.06"}), "Your version: 1.05 1.06");
}

TEST(FillIn, PutsEachValueInItsSlotOnce) {
    EXPECT_EQ(FillIn("You have %1, %2 is out", {"1.05", "1.06"}), "You have 1.05, 1.06 is out");
    EXPECT_EQ(FillIn("%2 before %1", {"a", "b"}), "b before a");
    // A value is never read for slots itself: a server's "%2" stays as sent.
    EXPECT_EQ(FillIn("reason: %1 (%2)", {"%2%1", "x"}), "reason: %2%1 (x)");
    EXPECT_EQ(FillIn("Delete %1?", "%1 %2"), "Delete %1 %2?");
    // A slot with no value, a lone "%" and "%0" stay as written.
    EXPECT_EQ(FillIn("100% %0 %1 %3 %", {"a"}), "100% %0 a %3 %");
}

}  // namespace
}  // namespace quellstone::text
