// The database update from the information frame, against a real HTTP server
// on 127.0.0.1 and a program folder whose vendor.ini names it and a key made
// for the test run.
#include <unistd.h>

#include <QLabel>

#include "core/update/DatabaseInUse.h"
#include "gui/DesktopFixture.h"
#include "support/MinisignSigner.h"

namespace quellstone::gui {
namespace {

using quellstone::testing::HttpResponse;
using quellstone::testing::WriteFile;

class DatabaseUpdateWindowTest : public DesktopWindowsTest {
protected:
    DatabaseUpdateWindowTest() {
        std::filesystem::create_directories(program);
        std::filesystem::copy(std::filesystem::path(QUELLSTONE_PROGRAM_DIR) / "languages", program + "/languages",
                              std::filesystem::copy_options::recursive);
        WriteFile(program + "/bdts.dll", "[Scanfiles]\nOLD.EXE=Trojan.Old\nOLDER.EXE=Trojan.Older\n");
        WriteFile(program + "/vendor.ini",
                  "[Update]\nServer=" + server.Address() + "\nPublicKey=" + key.PublicKeyText() + "\n");
        StoreLanguage("English");
    }
    ApplicationSetup ProgramSetup() {
        ApplicationSetup setup = AppSetup();
        setup.paths.programFolder = program;
        return setup;
    }
    void ServeSigned(const std::string& database, const std::string& signedBytes) {
        server.routes["/updates/bdts.dll"] = HttpResponse("200 OK", database);
        server.routes["/updates/bdts.dll.minisig"] = HttpResponse("200 OK", key.Sign(signedBytes));
    }
    static QString LabelText(MainWindow& main, const char* name) { return Find<QLabel>(main, name)->text(); }
    // Where an update installs: root's serve every user.
    std::string InstalledPath() {
        return ::geteuid() == 0 ? update::SystemDatabasePath(ProgramSetup().paths)
                                : update::UserDatabasePath(ProgramSetup().paths);
    }

    TestHttpServer server;
    quellstone::testing::MinisignKey key = quellstone::testing::MinisignKey::Generate();
    const std::string program = dir / "program";
    platform::CurlHttpClient curl{std::chrono::seconds(60)};
};

TEST_F(DatabaseUpdateWindowTest, TheLinkInstallsTheNewerDatabaseAndTheFrameShowsIt) {
    const std::string database =
        "[Database]\nVersion=2026.12.9\n[Scanfiles]\nA.EXE=Trojan.A\nB.EXE=Trojan.B\n"
        "C.EXE=Trojan.C\n";
    ServeSigned(database, database);
    Application application(ProgramSetup(), dialogs, shell, curl);
    MainWindow& main = StartToMainWindow(application);
    EXPECT_TRUE(LabelText(main, "databaseVersionLabel").startsWith(QStringLiteral("2 entries, ")));

    // While the download waits, the frame says so, and a second click starts no second update.
    server.pieces = 2;
    server.hold = true;
    QString busy;
    QTimer::singleShot(0, &main, [&] {
        busy = LabelText(main, "databaseUpdateStatus");
        QTest::mouseClick(Find(main, "databaseUpdateLink"), Qt::LeftButton);
        server.Release();
    });
    QTest::mouseClick(Find(main, "databaseUpdateLink"), Qt::LeftButton);
    EXPECT_EQ(busy, QStringLiteral("Updating the database..."));
    EXPECT_EQ(server.Connections(), 2);  // the database and its signature, once

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "The database was updated to version 2026.12.9.");
    EXPECT_EQ(dialogs.shown[0].icon, ports::MessageIcon::Information);
    EXPECT_EQ(LabelText(main, "databaseUpdateStatus"),
              QStringLiteral("The database was updated to version 2026.12.9."));
    EXPECT_TRUE(LabelText(main, "databaseVersionLabel").startsWith(QStringLiteral("2026.12.9 (3 entries, ")))
        << LabelText(main, "databaseVersionLabel").toStdString();
    EXPECT_EQ(application.SharedContext().signatures.DefaultPath(), InstalledPath());

    // The next scan looks names up in the new database.
    std::filesystem::create_directories(dir / "tree");
    WriteFile(dir / "tree/b.exe", "payload");
    ScanFolderFromWindow(application, main, dir / "tree");
    ASSERT_NE(application.ScanModel(), nullptr);
    ASSERT_EQ(application.ScanModel()->Results().Rows().size(), 1u);
}

TEST_F(DatabaseUpdateWindowTest, ARefusedDatabaseIsReportedAndTheOneInUseStays) {
    const std::string database = "[Database]\nVersion=2026.12.9\n[Scanfiles]\nA.EXE=Trojan.A\n";
    ServeSigned(database + "B.EXE=Trojan.B\n", database);  // the signature covers other bytes
    Application application(ProgramSetup(), dialogs, shell, curl);
    MainWindow& main = StartToMainWindow(application);
    QTest::mouseClick(Find(main, "databaseUpdateLink"), Qt::LeftButton);

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.starts_with("The database could not be updated: the signature"))
        << dialogs.shown[0].text;
    EXPECT_EQ(dialogs.shown[0].icon, ports::MessageIcon::Warning);
    EXPECT_TRUE(LabelText(main, "databaseVersionLabel").startsWith(QStringLiteral("2 entries, ")));
    EXPECT_EQ(application.SharedContext().signatures.DefaultPath(), program + "/bdts.dll");
    EXPECT_FALSE(std::filesystem::exists(InstalledPath()));
}

TEST_F(DatabaseUpdateWindowTest, ADatabaseAnotherProcessInstalledIsTakenUpWhenItIsAlreadyTheNewest) {
    const std::string database = "[Database]\nVersion=2026.12.9\n[Scanfiles]\nA.EXE=Trojan.A\n";
    ServeSigned(database, database);
    Application application(ProgramSetup(), dialogs, shell, curl);
    MainWindow& main = StartToMainWindow(application);
    // Installed by the command line while the window was open.
    const std::string userPath = InstalledPath();
    std::filesystem::create_directories(std::filesystem::path(userPath).parent_path());
    WriteFile(userPath, database);
    WriteFile(userPath + std::string(update::kSignatureSuffix), key.Sign(database));

    QTest::mouseClick(Find(main, "databaseUpdateLink"), Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].icon, ports::MessageIcon::Information);
    EXPECT_EQ(application.SharedContext().signatures.DefaultPath(), userPath);
    EXPECT_TRUE(LabelText(main, "databaseVersionLabel").startsWith(QStringLiteral("2026.12.9 (1 entries, ")))
        << LabelText(main, "databaseVersionLabel").toStdString();
}

TEST_F(DatabaseUpdateWindowTest, ADatabaseRewrittenAfterStartIsNotUsedAndIsWarnedOfOnce) {
    const std::string database = "[Database]\nVersion=2026.12.9\n[Scanfiles]\nA.EXE=Trojan.A\n";
    const std::string userPath = update::UserDatabasePath(ProgramSetup().paths);
    std::filesystem::create_directories(std::filesystem::path(userPath).parent_path());
    WriteFile(userPath, database);
    WriteFile(userPath + std::string(update::kSignatureSuffix), key.Sign(database));
    Application application(ProgramSetup(), dialogs, shell, curl);
    MainWindow& main = StartToMainWindow(application);
    ASSERT_EQ(application.SharedContext().signatures.DefaultPath(), userPath);
    EXPECT_TRUE(dialogs.shown.empty());

    // Rewritten behind the window's back; the old signature stays.
    WriteFile(userPath, database + "PLANTED.EXE=Trojan.Planted\nOLD.EXE=Harmless\n");
    std::filesystem::create_directories(dir / "tree");
    WriteFile(dir / "tree/old.exe", "payload");
    WriteFile(dir / "tree/planted.exe", "payload");
    ScanFolderFromWindow(application, main, dir / "tree");
    ASSERT_NE(application.ScanModel(), nullptr);
    const auto& rows = application.ScanModel()->Results().Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].detection, "TROJAN.OLD");  // as the program folder's database says
    EXPECT_EQ(application.SharedContext().signatures.DefaultPath(), program + "/bdts.dll");
    const auto warnings = std::ranges::count_if(
        dialogs.shown, [](const auto& shown) { return shown.icon == ports::MessageIcon::Warning; });
    EXPECT_EQ(warnings, 1);

    ScanFolderFromWindow(application, main, dir / "tree");
    EXPECT_EQ(std::ranges::count_if(dialogs.shown,
                                    [](const auto& shown) { return shown.icon == ports::MessageIcon::Warning; }),
              1);
}

}  // namespace
}  // namespace quellstone::gui
