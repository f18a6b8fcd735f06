// The main window's database update: where it shows and what it says.
#include <tuple>

#include "core/windows/MainWindowFixture.h"

namespace quellstone::windows {
namespace {

using C = MainControl;
using Outcome = update::DatabaseUpdateOutcome;

TEST_F(MainWindowModelTest, TheDatabaseUpdateComesForwardOnTheInformationFrame) {
    MainWindowModel& m = Model();
    m.LinkClicked(NavigationLink::Scan);
    EXPECT_EQ(m.MenuChosen(MenuItem::UpdateDatabase), MainWindowModel::Action::UpdateDatabase);
    EXPECT_EQ(m.CurrentFrame(), Frame::Information);
    m.LinkClicked(NavigationLink::Settings);
    EXPECT_EQ(m.DatabaseUpdateClicked(), MainWindowModel::Action::UpdateDatabase);
    EXPECT_EQ(m.CurrentFrame(), Frame::Information);
    EXPECT_EQ(m.Caption(C::DatabaseUpdateLink), "T340");
    EXPECT_EQ(m.Caption(C::MenuUpdateDatabase), "T340");
}

TEST_F(MainWindowModelTest, TheDatabaseUpdateSaysWhatCameOfItAndTheDatabaseLineFollows) {
    context.languageText.Set(342, "installed %1");
    context.languageText.Set(343, "newest %1");
    context.languageText.Set(344, "failed: %1");
    context.languageText.Set(345, "%1 (%2 entries)");
    context.languageText.Set(485, "%1, %2");
    MainWindowModel& m = Model();
    m.ShowDatabaseUpdating();
    EXPECT_EQ(m.Caption(C::DatabaseUpdateStatus), "T341");

    // The window's database changed on disk: the line reads it again.
    files.Put("/prog/bdts.dll", "[Database]\nVersion=2026.12.9\n[Scanfiles]\nA.EXE=Trojan.A\n");
    m.ShowDatabaseUpdateResult({Outcome::Installed, update::DatabaseVersion{2026, 12, 9}, {}});
    EXPECT_EQ(m.Caption(C::DatabaseUpdateStatus), "installed 2026.12.9");
    EXPECT_TRUE(m.Caption(C::DatabaseVersion).starts_with("2026.12.9 (1 entries)")) << m.Caption(C::DatabaseVersion);
    EXPECT_TRUE(m.Caption(C::DatabaseVersion).ends_with(", T486")) << m.Caption(C::DatabaseVersion);  // shipped
    m.ShowDatabaseUpdateResult({Outcome::AlreadyNewest, update::DatabaseVersion{2026, 12, 9}, {}});
    EXPECT_EQ(m.Caption(C::DatabaseUpdateStatus), "newest 2026.12.9");

    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].icon, ports::MessageIcon::Information);

    // A failure is named in the user's language on the frame; the message adds
    // the English details (their first line, escaped), unless the name says all.
    const update::DownloadFailure refused{true, ports::HttpFailure::None, "500", "HTTP/1.1 500"};
    const std::tuple<update::DatabaseUpdateResult, std::string, std::string> failures[] = {
        {{Outcome::Refused, std::nullopt, "http://x/ answered HTTP/1.1 500 \x1b[31m\nsecond", refused},
         "failed: T453 500",
         "\rT455 http://x/ answered HTTP/1.1 500 \\x1b[31m"},
        {{Outcome::NoKey, std::nullopt, "no update key is configured"}, "failed: T461", ""},
    };
    for (const auto& [result, caption, details] : failures) {
        dialogs.shown.clear();
        m.ShowDatabaseUpdateResult(result);
        EXPECT_EQ(m.Caption(C::DatabaseUpdateStatus), caption);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text, caption + details);
        EXPECT_EQ(dialogs.shown[0].icon, ports::MessageIcon::Warning);
    }
    dialogs.shown.clear();

    // A program that is closing says nothing more.
    m.ShowDatabaseUpdateResult({Outcome::Cancelled, std::nullopt, "cancelled"});
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace quellstone::windows
