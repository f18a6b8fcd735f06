#include <gtest/gtest.h>

#include <chrono>

#include "core/text/TimeText.h"
#include "core/windows/MainWindowFixture.h"

namespace quellstone::windows {
namespace {

using C = MainControl;

constexpr const char* kResultFile = "/home/u/.local/share/Orvanta/Quellstone/scheduled-scan.ini";
constexpr std::int64_t kEnded = 1765238400;

std::string ResultFile(std::uint64_t detections, bool finished) {
    return "[ScheduledScan]\nEnded=" + std::to_string(kEnded) +
           "\nScanned=500\nDetections=" + std::to_string(detections) + "\nFinished=" + (finished ? "1" : "0") + "\n";
}

std::string EndedText() {
    return text::LocalTimeText(std::chrono::system_clock::time_point(std::chrono::seconds(kEnded)));
}

TEST_F(MainWindowModelTest, TheInformationFrameShowsTheLastScheduledScan) {
    MainWindowModel& m = Model();
    EXPECT_EQ(m.Caption(C::ScheduledScanCaption), "T350");
    EXPECT_EQ(m.Caption(C::ScheduledScanStatus), "T225");  // never

    // The timer's scan ends while the window is open: the frame shows it when it is shown again.
    files.Put(kResultFile, ResultFile(3, true));
    m.LinkClicked(NavigationLink::Information);  // shown already: not read again
    EXPECT_EQ(m.Caption(C::ScheduledScanStatus), "T225");
    m.LinkClicked(NavigationLink::Scan);
    m.LinkClicked(NavigationLink::Information);
    EXPECT_EQ(m.Caption(C::ScheduledScanStatus), "T351 " + EndedText() + " 3");

    files.Put(kResultFile, ResultFile(1, true));
    m.MenuChosen(MenuItem::Settings);
    m.MenuChosen(MenuItem::Information);
    EXPECT_EQ(m.Caption(C::ScheduledScanStatus), "T352 " + EndedText());

    files.Put(kResultFile, ResultFile(0, false));
    EXPECT_EQ(Model().Caption(C::ScheduledScanStatus), "T353 T351 " + EndedText() + " 0");

    // A failed scan says so rather than showing its zero counts as a clean result.
    files.Put(kResultFile, ResultFile(0, false) + "Outcome=failed\n");
    EXPECT_EQ(Model().Caption(C::ScheduledScanStatus), "T390 " + EndedText());

    files.Put(kResultFile, "[ScheduledScan]\nEnded=soon\n");
    EXPECT_EQ(Model().Caption(C::ScheduledScanStatus), "T225");
}

}  // namespace
}  // namespace quellstone::windows
