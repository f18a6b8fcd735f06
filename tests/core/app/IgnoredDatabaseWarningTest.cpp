#include <gtest/gtest.h>

#include <algorithm>

#include "core/app/IgnoredDatabaseWarning.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileStore.h"
#include "support/NumberedTexts.h"

namespace quellstone::app {
namespace {

using namespace quellstone::testing;

TEST(IgnoredDatabaseWarning, IsShownOnceWithBothPathsAndTheReasonAndOnlyWhenDue) {
    FakeFileStore files;
    FakeDialogs dialogs;
    Context context(files, "/prog");
    FillWithNumbers(context.languageText);
    context.languageText.Set(360, "Ignored %1\rusing %2");
    context.languageText.Set(361, "Reason: %1");
    const settings::ProgramPaths paths{"/prog", "/data", "/usr", "/opt/"};

    EXPECT_FALSE(WarnOfIgnoredDatabase(context, paths, dialogs));
    EXPECT_TRUE(dialogs.shown.empty());

    context.ignoredDatabaseReason = "the signature does not match the file";
    EXPECT_TRUE(WarnOfIgnoredDatabase(context, paths, dialogs));
    EXPECT_FALSE(WarnOfIgnoredDatabase(context, paths, dialogs));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              "Ignored /data/Orvanta/Quellstone/bdts.dll\rusing /prog/bdts.dll\r"
              "Reason: the signature does not match the file");
    EXPECT_EQ(dialogs.shown[0].icon, ports::MessageIcon::Warning);

    // Paths with line breaks in their names cannot add lines to the message.
    const settings::ProgramPaths oddPaths{"/prog\rx", "/data\ny\r", "/usr", "/opt/"};
    Context odd(files, "/prog\rx");
    FillWithNumbers(odd.languageText);
    odd.languageText.Set(360, "Ignored %1 using %2");
    odd.languageText.Set(361, "Reason: %1");
    odd.ignoredDatabaseReason = "changed";
    ASSERT_TRUE(WarnOfIgnoredDatabase(odd, oddPaths, dialogs));
    const std::string& text = dialogs.shown.back().text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 1) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos) << text;
}

TEST(IgnoredDatabaseWarning, TellsOfADatabaseRefusedWhenItWasReadAgainOnce) {
    FakeFileStore files;
    files.Put("/data/Orvanta/Quellstone/bdts.dll", "[Scanfiles]\nNEW.EXE=Trojan.New\n");
    files.Put("/prog/bdts.dll", "[Scanfiles]\nOLD.EXE=Trojan.Old\n");
    FakeDialogs dialogs;
    Context context(files, "/prog");
    FillWithNumbers(context.languageText);
    context.languageText.Set(360, "Ignored %1 using %2");
    context.languageText.Set(361, "Reason: %1");
    const settings::ProgramPaths paths{"/prog", "/data", "/usr", "/opt/"};
    context.signatures.UseDatabase("/data/Orvanta/Quellstone/bdts.dll");
    context.signatures.SetLoadCheck([](const std::string&, std::string_view) { return std::string("changed"); });

    EXPECT_EQ(context.signatures.LookupSignature("/x/old.exe"), "Trojan.Old");
    EXPECT_TRUE(WarnOfIgnoredDatabase(context, paths, dialogs));
    EXPECT_FALSE(WarnOfIgnoredDatabase(context, paths, dialogs));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Ignored /data/Orvanta/Quellstone/bdts.dll using /prog/bdts.dll\rReason: changed");
}

}  // namespace
}  // namespace quellstone::app
