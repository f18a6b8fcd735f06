// The alert shows the folders a scan went through as they are named.
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <fstream>
#include <iterator>

#include "core/i18n/LanguageFile.h"
#include "core/text/FillIn.h"
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

TEST(AlertWindow, IsAsWideAsItsTitleInEveryLanguageAndSlidesInWhole) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (const char* language : {"English", "Deutsch", "Polish"}) {
        SCOPED_TRACE(language);
        std::ifstream file(std::string(QUELLSTONE_PROGRAM_DIR) + "/languages/" + language + "/" + language + ".txt");
        i18n::LanguageTable texts;
        i18n::ApplyLanguageText(std::string(std::istreambuf_iterator<char>(file), {}), texts);
        const std::string title = text::FillIn(texts.Text(i18n::TextId::AlertScanFinished), {"1234567"});
        ManualTickers tickers;
        AlertWindow alert(title, "/home/user/Documents\r/tmp", tickers);
        alert.show();
        const auto* titleLabel = alert.findChild<QLabel*>(QStringLiteral("titleLabel"));
        EXPECT_LE(titleLabel->sizeHint().width(), titleLabel->width());
        // Slid in, the whole window is on the screen at its right edge.
        while (tickers.Fire("alert.slideIn")) {
        }
        EXPECT_EQ(alert.geometry().right(), screen.right());
        EXPECT_LE(alert.geometry().bottom(), screen.bottom());
    }
}

}  // namespace
}  // namespace quellstone::gui
