// The scan window's report: the course of the scan, what became of each
// detection, and saving it; texts read "T<number>".
#include <gtest/gtest.h>

#include <iterator>

#include "core/windows/ScanReport.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileStore.h"
#include "support/NumberedTexts.h"

namespace quellstone::windows {
namespace {

using namespace quellstone::testing;
using namespace std::chrono_literals;
using quarantine::RemovalProblem;
constexpr std::size_t npos = std::string::npos;

class ScanReportTest : public ::testing::Test {
protected:
    ScanReportTest() : results(texts), report(texts, course, results, dialogs, files) {
        FillWithNumbers(texts);
        course.started = std::chrono::system_clock::time_point(std::chrono::hours(24 * 365 * 50));
    }

    i18n::LanguageTable texts;
    ScanCourse course;
    ScanResults results;
    FakeDialogs dialogs;
    FakeFileStore files;
    ScanReport report;
};

TEST_F(ScanReportTest, TellsTheCourseOfTheScanAsTheLanguageWritesNumbersAndDates) {
    EXPECT_NE(report.Text().find("\nT275\n"), npos);  // still running
    course.ended = true;
    course.finished = course.started + 400ms;
    texts.SetLanguage("English");
    EXPECT_EQ(report.Text().find("T275"), npos);
    EXPECT_NE(report.Text().find("T268 0.4 s\nT269\n"), npos);  // ran to its end: no stop lines
    texts.SetLanguage("Deutsch");
    const std::string german = report.Text();
    EXPECT_NE(german.find("T268 0,4 s\n"), npos);
    // Day, month and year with points: "T266 31.12.2019 ..." in some time zone.
    const std::size_t started = german.find("T266 ");
    ASSERT_NE(started, npos);
    EXPECT_EQ(german.substr(started + 5 + 2, 1), ".");
    EXPECT_EQ(german.substr(started + 5 + 5, 1), ".");
    texts.SetLanguage("Polish");
    course.stopped = true;
    course.stoppedIn = "/home/b\xe9z";
    EXPECT_NE(report.Text().find("T268 0,4 s\nT316\nT317 /home/b\\xe9z\n"), npos);
}

TEST_F(ScanReportTest, ListsEveryDetectionThenWhatBecameOfIt) {
    const struct {
        const char* path;
        ResultState state;
        RemovalProblem problem;
        const char* archive;
        const char* linkTarget;
    } rows[] = {
        {"/a/removed.exe", ResultState::Removed, RemovalProblem::None, "", ""},
        {"/a/b\xe9z.exe", ResultState::NotRemoved, RemovalProblem::NoPermission, "", ""},
        {"/a/kept.exe", ResultState::Removed, RemovalProblem::None, "kept.exe.arc", "../lib/x"},
        {"/a/by-hand.exe", ResultState::Removed, RemovalProblem::Gone, "", ""},
        {"/a/vanished.exe", ResultState::Removed, RemovalProblem::Gone, "vanished.exe.arc", ""},
        {"/a/unticked.exe", ResultState::Detected, RemovalProblem::None, "", ""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        results.Add("TROJAN.X", rows[i].path, ports::ReachablePath::FromRoot(rows[i].path));
        results.SetOutcome(i, rows[i].state, rows[i].problem, rows[i].archive, rows[i].linkTarget);
    }
    const std::string text = report.Text();
    const std::size_t detections = text.find("T271 6\n");
    ASSERT_NE(detections, npos) << text;
    // A file gone since the scan is listed apart: neither removed by the pass nor a failure.
    EXPECT_EQ(text.substr(detections),
              "T271 6\n"
              "  TROJAN.X  /a/removed.exe\n"
              "  TROJAN.X  /a/b\\xe9z.exe\n"
              "  TROJAN.X  /a/kept.exe\n"
              "  TROJAN.X  /a/by-hand.exe\n"
              "  TROJAN.X  /a/vanished.exe\n"
              "  TROJAN.X  /a/unticked.exe\n"
              "T276\n"
              "  /a/removed.exe\n"
              "  /a/kept.exe -> ../lib/x  (T278 kept.exe.arc)\n"
              "T288:\n"
              "  /a/by-hand.exe\n"
              "  /a/vanished.exe  (T278 vanished.exe.arc)\n"
              "T277\n"
              "  /a/b\\xe9z.exe  (T311)\n");
}

// A partial scan never reads as complete: the report says what the scan's
// choices and the system left out, before what was looked up.
TEST_F(ScanReportTest, SaysWhatTheScanLeftOut) {
    std::string hundred;
    for (int i = 0; i < 100; ++i) hundred += "  /u/" + std::to_string(i) + "\n";
    const struct {
        std::optional<ScanScope> scope;  // none: the launcher told the report nothing
        int ignored;                     // detections in categories not reported
        int unreadable;                  // folders in the scanned trees that could not be read
        std::string expected;            // the report from its folders on
    } cases[] = {
        {std::nullopt, 2, 0, "T269\nT270 0\nT271 0\nT183 2\n  T272\n"},
        {ScanScope{false, {"/home/u/big", "/mnt/b\xe9z"}, {false, true}}, 0, 0,
         "T269\nT413\nT414\n  /home/u/big\n  /mnt/b\\xe9z\nT415 T416 0\nT270 0\nT271 0\n  T272\n"},
        {ScanScope{true, {}, {false, false}}, 3, 0, "T269\nT412\nT415 T416, T417 3\nT270 0\nT271 0\n  T272\n"},
        {ScanScope{}, 0, 102, "T269\nT412\nT270 0\nT281 102\n" + hundred + "  T418 2\nT271 0\n  T272\n"},
    };
    for (const auto& c : cases) {
        ScanResults counted(texts);
        ScanReport scope(texts, course, counted, dialogs, files);
        if (c.scope) scope.SetScope(*c.scope);
        for (int i = 0; i < c.ignored; ++i) counted.CountIgnored();
        for (int i = 0; i < c.unreadable; ++i) scope.AddUnreadableFolder("/u/" + std::to_string(i));
        const std::string text = scope.Text();
        EXPECT_EQ(text.substr(text.find("T269\n")), c.expected);
    }
}

TEST_F(ScanReportTest, IsSavedWhereTheUserChoseOnly) {
    dialogs.saveAnswer = "/reports/scan.txt";
    EXPECT_TRUE(report.SaveClicked());
    EXPECT_EQ(dialogs.saveSuggested, "quellstone-report.txt");
    EXPECT_EQ(files.files["/reports/scan.txt"], report.Text());
    files.files.clear();
    for (const std::optional<std::string>& cancelled : {std::optional<std::string>(), std::optional<std::string>("")}) {
        dialogs.saveAnswer = cancelled;
        EXPECT_FALSE(report.SaveClicked());
    }
    EXPECT_TRUE(files.files.empty());
}

}  // namespace
}  // namespace quellstone::windows
