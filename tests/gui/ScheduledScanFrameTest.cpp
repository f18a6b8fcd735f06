// The Information frame's lines for the last scans the timers started: the
// user's own and the system's scan of the whole computer.
#include <chrono>
#include <filesystem>

#include "core/text/LanguageFormat.h"
#include "core/text/TimeText.h"
#include "gui/DesktopFixture.h"

namespace quellstone::gui {
namespace {

TEST_F(DesktopWindowsTest, TheInformationFrameShowsTheLastScheduledScansAndTheirLaterResults) {
    StoreLanguage("Deutsch");
    const std::string folder = dir / "data/Orvanta/Quellstone";
    std::filesystem::create_directories(folder);
    const std::string resultFile = folder + "/scheduled-scan.ini";
    quellstone::testing::WriteFile(resultFile,
                                   "[ScheduledScan]\nEnded=1765238400\nScanned=900\nDetections=2\nFinished=1\n");
    const std::string when =
        text::LocalTimeText(std::chrono::system_clock::time_point(std::chrono::seconds(1765238400)),
                            text::FormatOf("Deutsch").dateTimePattern);

    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    EXPECT_EQ(Find<QLabel>(main, "scheduledScanCaption")->text(), QString::fromUtf8("Letzter geplanter Scan:"));
    auto* line = Find<QLabel>(main, "scheduledScanLabel");
    EXPECT_TRUE(line->isVisibleTo(&main));
    EXPECT_EQ(line->text(), QString::fromStdString(when + ", 2 Funde"));
    // The system's scan of the whole computer has a line only once there is one.
    auto* systemLine = Find<QLabel>(main, "systemScanLabel");
    EXPECT_FALSE(systemLine->isVisibleTo(&main));
    EXPECT_FALSE(Find<QLabel>(main, "systemScanCaption")->isVisibleTo(&main));
    std::filesystem::create_directories(dir / "system");
    quellstone::testing::WriteFile(dir / "system/scheduled-scan.ini",
                                   "[ScheduledScan]\nEnded=1765238400\nScanned=612904\nDetections=0\nFinished=1\n");

    // The timer's next scan ends while the window is open; going back to the frame shows it.
    quellstone::testing::WriteFile(resultFile,
                                   "[ScheduledScan]\nEnded=1765238400\nScanned=900\nDetections=1\nFinished=0\n");
    QTest::mouseClick(Find(main, "scanLink"), Qt::LeftButton);
    QTest::mouseClick(Find(main, "informationLink"), Qt::LeftButton);
    EXPECT_EQ(line->text(), QString::fromStdString(when + ", 1 Fund (vor dem Ende abgebrochen)"));
    EXPECT_TRUE(systemLine->isVisibleTo(&main));
    EXPECT_EQ(systemLine->text(), QString::fromStdString(when + ", 0 Funde"));
    EXPECT_EQ(Find<QLabel>(main, "systemScanCaption")->text(), QString::fromUtf8("Letzter geplanter Scan (alle Benutzer):"));
}

}  // namespace
}  // namespace quellstone::gui
