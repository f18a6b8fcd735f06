#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "core/scan/SignatureDatabase.h"
#include "core/scan/SignatureIndex.h"
#include "core/update/DatabaseCheck.h"
#include "core/update/DatabaseVersion.h"

namespace quellstone::update {
namespace {

using Kind = DatabaseFinding::Kind;

// Line, kind and the line that wins over it.
using Expected = std::tuple<std::size_t, Kind, std::size_t>;

struct CheckCase {
    std::string text;
    std::vector<Expected> findings;
    std::size_t names;
    std::size_t patterns;
    std::size_t skipped;
};

// Every case is also loaded as a scan loads it: the counts must agree with
// the index, and the version with what an update reads.
TEST(DatabaseCheck, ReportsEverySkippedOrShadowedLineAndCountsAsTheScanLoads) {
    const CheckCase cases[] = {
        {"; head\r\n[Database]\r\nVersion=2026.12.9\r\n[Scanfiles]\r\nA.EXE=T.a\r\n\r\n; c\r\nB.EXE=T.b\r\n"
         "[Scanpaths]\r\n/tmp/*/x=T.x\r\n",
         {},
         2,
         1,
         0},
        {"[Scanfiles]\nA.EXE=T\na.exe=U\nB.EXE=\njunk\n; c=d\n=T\n[SCANFILES]\nC.EXE=T\nC=\"\"\n",
         {{3, Kind::RepeatedName, 2},
          {4, Kind::EmptyDetection, 0},
          {5, Kind::NotAnEntry, 0},
          {6, Kind::CommentEntry, 0},
          {7, Kind::EmptyName, 0},
          {8, Kind::RepeatedSection, 1}},
         4,
         0,
         0},
        {"[Scanpaths]\n/tmp/a=T\nrel/x=T\n/tmp//./a/=U\n/opt/b=\n/opt/x=T\n/opt/*.KO=T\nno equals\n/opt/y=T\n"
         "[Scanfiles]\nX=T\nKO=T\nY=\nZ=" +
             std::string(1024, 'z') +
             "\n"
             "[Database]\nVersion=2026..1\n[Database]\nVersion=2026.1\n",
         {{3, Kind::RelativePattern, 0},
          {4, Kind::RepeatedPattern, 2},
          {5, Kind::EmptyDetection, 0},
          {6, Kind::NameEntryWins, 11},
          {8, Kind::NotAnEntry, 0},
          {13, Kind::EmptyDetection, 0},
          {14, Kind::LongDetection, 0},
          {16, Kind::NotAVersion, 0},
          {17, Kind::RepeatedSection, 15}},
         4,
         5,
         1},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        const DatabaseCheckResult result = CheckDatabase(c.text);
        std::vector<Expected> found;
        for (const DatabaseFinding& f : result.findings) found.emplace_back(f.line, f.kind, f.earlierLine);
        EXPECT_EQ(found, c.findings);
        EXPECT_TRUE(result.hasNameSection);
        EXPECT_EQ(result.names, c.names);
        EXPECT_EQ(result.patterns, c.patterns);
        EXPECT_EQ(result.skippedPatterns, c.skipped);

        const scan::SignatureIndex index =
            scan::SignatureIndex::Build(c.text, scan::kSignatureSection, scan::kPathSection);
        const auto repeatedPatterns =
            std::ranges::count(result.findings, Kind::RepeatedPattern, &DatabaseFinding::kind);
        EXPECT_EQ(index.Size(), result.names);
        EXPECT_EQ(index.PathEntries(), result.patterns + static_cast<std::size_t>(repeatedPatterns));
        EXPECT_EQ(index.SkippedPathKeys(), result.skippedPatterns);
        EXPECT_EQ(update::DatabaseVersionOf(c.text).has_value(), result.versionValid);
    }
    EXPECT_FALSE(CheckDatabase("[Database]\nVersion=1\n[Scanpaths]\n/x=T\n").hasNameSection);
}

}  // namespace
}  // namespace quellstone::update
