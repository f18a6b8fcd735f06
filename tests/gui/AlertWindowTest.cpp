// The alert shows the folders a scan went through as they are named.
#include <QLabel>

#include "gui/DesktopFixture.h"
#include "gui/quarantine/AlertWindow.h"

namespace quellstone::gui {
namespace {

TEST(AlertWindow, FolderNamesShowAsWrittenNeitherAsMarkupNorAsAccelerators) {
    ManualTickers tickers;
    // Folders joined by carriage returns, as the scan window hands them over.
    const std::string folders = "/tmp/<b>x</b>\r/home/u/R&D\r/srv/a&&b <i>";
    AlertWindow alert("Scan finished: 2 & <b>more</b>", folders, tickers);
    const auto* message = alert.findChild<QLabel*>(QStringLiteral("messageLabel"));
    const auto* title = alert.findChild<QLabel*>(QStringLiteral("titleLabel"));
    ASSERT_TRUE(message && title);
    EXPECT_EQ(message->text(), QStringLiteral("/tmp/<b>x</b>\n/home/u/R&D\n/srv/a&&b <i>"));
    EXPECT_EQ(message->textFormat(), Qt::PlainText);
    EXPECT_EQ(title->text(), QStringLiteral("Scan finished: 2 & <b>more</b>"));
    EXPECT_EQ(title->textFormat(), Qt::PlainText);
}

}  // namespace
}  // namespace quellstone::gui
