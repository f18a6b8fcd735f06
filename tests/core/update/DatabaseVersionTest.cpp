#include <gtest/gtest.h>

#include "core/update/DatabaseVersion.h"

namespace quellstone::update {
namespace {

using V = DatabaseVersion;

TEST(DatabaseVersion, ParsesDottedNumbersOnly) {
    EXPECT_EQ(ParseDatabaseVersion("2026.12.9"), (V{2026, 12, 9}));
    EXPECT_EQ(ParseDatabaseVersion("2026.12.9.1"), (V{2026, 12, 9, 1}));
    EXPECT_EQ(ParseDatabaseVersion("7"), (V{7}));
    EXPECT_EQ(ParseDatabaseVersion("2026.012.09"), (V{2026, 12, 9}));
    EXPECT_EQ(ParseDatabaseVersion("4294967295"), (V{4294967295u}));
    for (const char* text : {"", ".", "2026.", ".2026", "2026..12", "2026.12.9a", "2026-12-9", " 2026", "v1",
                             "4294967296", "99999999999999999999999", "1.+2"})
        EXPECT_FALSE(ParseDatabaseVersion(text).has_value()) << text;
}

TEST(DatabaseVersion, ComparesNumericallyElementByElement) {
    EXPECT_TRUE(IsNewerDatabase({2026, 12, 10}, V{2026, 12, 9}));
    EXPECT_TRUE(IsNewerDatabase({2026, 12, 10}, V{2026, 9, 30}));  // 12 > 9 although "12" < "9" as text
    EXPECT_TRUE(IsNewerDatabase({2026, 12, 9, 1}, V{2026, 12, 9}));
    EXPECT_TRUE(IsNewerDatabase({2027}, V{2026, 12, 31}));
    EXPECT_TRUE(IsNewerDatabase({1}, std::nullopt));
    EXPECT_FALSE(IsNewerDatabase({2026, 12, 9}, V{2026, 12, 9}));
    EXPECT_FALSE(IsNewerDatabase({2026, 12, 9, 0}, V{2026, 12, 9}));
    EXPECT_FALSE(IsNewerDatabase({2026, 12, 9}, V{2026, 12, 9, 1}));
    EXPECT_FALSE(IsNewerDatabase({2026, 2, 1}, V{2026, 12, 1}));
    EXPECT_EQ(DatabaseVersionText({2026, 12, 9}), "2026.12.9");
}

TEST(DatabaseVersion, ReadsTheVersionAndTheScanSectionWithTheIniRules) {
    EXPECT_EQ(DatabaseVersionOf("[Database]\nVersion=2026.12.9\n[Scanfiles]\nA.EXE=x\n"), (V{2026, 12, 9}));
    // Case-insensitive names, blanks and quotes dropped, CR LF, first line wins,
    // only the first [Database] section counts.
    EXPECT_EQ(DatabaseVersionOf("; c\r\n[DATABASE]\r\n  version = \"2026.1.2\"\r\nVersion=2027.1.1\r\n"
                                "[Database]\r\nVersion=2028.1.1\r\n"),
              (V{2026, 1, 2}));
    EXPECT_EQ(DatabaseVersionOf("\xEF\xBB\xBF[Database]\nVersion=3\n"), (V{3}));
    EXPECT_FALSE(DatabaseVersionOf("[Scanfiles]\nVersion=2026.1.1\n").has_value());
    EXPECT_FALSE(DatabaseVersionOf("[Database]\n;Version=2026.1.1\n").has_value());
    EXPECT_FALSE(DatabaseVersionOf("[Database]\nVersion=next week\n").has_value());
    EXPECT_FALSE(DatabaseVersionOf("").has_value());

    EXPECT_TRUE(HasScanSection("[Database]\nVersion=1\n[scanfiles]\n"));
    EXPECT_TRUE(HasScanSection("[ Scanfiles ]\nA=b"));
    EXPECT_FALSE(HasScanSection("[Database]\nScanfiles=1\n; [Scanfiles]\n"));
    EXPECT_FALSE(HasScanSection("[Scanfiles2]\n"));
}

}  // namespace
}  // namespace quellstone::update
