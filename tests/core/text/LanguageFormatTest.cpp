#include <gtest/gtest.h>

#include "core/text/FillIn.h"
#include "core/text/LanguageFormat.h"

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
    EXPECT_EQ(LocalTimeText(when, FormatOf("Deutsch")), "09.12.2026 12:05:07");
    EXPECT_EQ(LocalTimeText(when, FormatOf("Polish")), "09.12.2026 12:05:07");
    EXPECT_EQ(LocalTimeText(when, FormatOf("English")), "2026-12-09 12:05:07");
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
}

}  // namespace
}  // namespace quellstone::text
