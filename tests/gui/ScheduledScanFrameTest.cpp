// The Information frame's line for the last scan the timer started.
#include <chrono>
#include <filesystem>

#include "core/text/LanguageFormat.h"
#include "core/text/TimeText.h"
#include "gui/DesktopFixture.h"

namespace quellstone::gui {
namespace {

TEST_F(DesktopWindowsTest, TheInformationFrameShowsTheLastScheduledScanAndItsLaterResult) {
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

    // The timer's next scan ends while the window is open; going back to the frame shows it.
    quellstone::testing::WriteFile(resultFile,
                                   "[ScheduledScan]\nEnded=1765238400\nScanned=900\nDetections=1\nFinished=0\n");
    QTest::mouseClick(Find(main, "scanLink"), Qt::LeftButton);
    QTest::mouseClick(Find(main, "informationLink"), Qt::LeftButton);
    EXPECT_EQ(line->text(), QString::fromStdString(when + ", 1 Fund (vor dem Ende abgebrochen)"));
}

}  // namespace
}  // namespace quellstone::gui
