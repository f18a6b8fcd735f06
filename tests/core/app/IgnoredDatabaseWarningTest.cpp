#include <gtest/gtest.h>

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
}

}  // namespace
}  // namespace quellstone::app
