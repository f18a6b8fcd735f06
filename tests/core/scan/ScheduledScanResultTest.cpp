#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/scan/ScheduledScanResult.h"
#include "support/FakeFileStore.h"

namespace quellstone::scan {
namespace {

using quellstone::testing::FakeFileStore;

constexpr const char* kPath = "/home/u/.local/share/Orvanta/Quellstone/scheduled-scan.ini";

TEST(ScheduledScanResult, ReadsBackWhatWasWrittenAndCreatesTheFolder) {
    FakeFileStore files;
    for (const ScheduledScanResult& written :
         {ScheduledScanResult{1765238400, 120345, 2, ScanEnd::Finished}, ScheduledScanResult{0, 0, 0, ScanEnd::Stopped},
          ScheduledScanResult{1765238400, 0, 0, ScanEnd::Failed},
          ScheduledScanResult{253402300799, 18446744073709551615u, 18446744073709551615u, ScanEnd::Finished}}) {
        ASSERT_TRUE(WriteScheduledScanResult(files, kPath, written));
        EXPECT_EQ(ReadScheduledScanResult(files, kPath), written);
    }
    EXPECT_TRUE(files.folders.contains("/home/u/.local/share/Orvanta/Quellstone"));
}

TEST(ScheduledScanResult, AFailedWriteSaysSo) {
    FakeFileStore files;
    files.failWrites = true;
    EXPECT_FALSE(WriteScheduledScanResult(files, kPath, {1, 1, 0, ScanEnd::Finished}));
}

TEST(ScheduledScanResult, ReadsAFileEditedByHandAsTheIniRulesDo) {
    FakeFileStore files;
    files.Put(kPath,
              "; kept by the scheduled scan\r\n[Other]\r\nEnded=x\r\n[scheduledscan]\r\n Finished = 0 \r\n"
              "Detections=3\r\nScanned=10\r\nEnded=1765238400\r\nComment=anything\r\n");
    EXPECT_EQ(ReadScheduledScanResult(files, kPath), (ScheduledScanResult{1765238400, 10, 3, ScanEnd::Stopped}));
}

TEST(ScheduledScanResult, TheOutcomeDecidesAndAFileWithoutOneEndsByFinished) {
    FakeFileStore files;
    const std::string counts = "[ScheduledScan]\nEnded=1765238400\nScanned=10\nDetections=0\n";
    // Older versions wrote no Outcome: Finished alone tells finished from stopped.
    files.Put(kPath, counts + "Finished=1\n");
    EXPECT_EQ(ReadScheduledScanResult(files, kPath)->end, ScanEnd::Finished);
    files.Put(kPath, counts + "Finished=0\n");
    EXPECT_EQ(ReadScheduledScanResult(files, kPath)->end, ScanEnd::Stopped);
    // A failed scan is written with Finished=0 too, so older readers never call it clean.
    files.Put(kPath, counts + "Finished=0\nOutcome=failed\n");
    EXPECT_EQ(ReadScheduledScanResult(files, kPath)->end, ScanEnd::Failed);
    files.Put(kPath, counts + "Outcome=stopped\n");
    EXPECT_EQ(ReadScheduledScanResult(files, kPath)->end, ScanEnd::Stopped);
    ASSERT_TRUE(WriteScheduledScanResult(files, kPath, {1765238400, 0, 0, ScanEnd::Failed}));
    EXPECT_NE(files.files.at(kPath).find("Finished=0"), std::string::npos);
    for (const char* word : {"Outcome=", "Outcome=Failed", "Outcome=clean"}) {
        files.Put(kPath, counts + "Finished=1\n" + word + "\n");
        EXPECT_EQ(ReadScheduledScanResult(files, kPath), std::nullopt) << word;
    }
}

TEST(ScheduledScanResult, MissingOrGarbledContentIsNoResult) {
    const std::string good = "Ended=1765238400\nScanned=10\nDetections=3\nFinished=1\n";
    const std::vector<std::string> broken = {
        "",
        "garbage\x01\xff\n",
        good,  // no section
        "[ScheduledScan]\nScanned=10\nDetections=3\nFinished=1\n",
        "[ScheduledScan]\nEnded=1765238400\nDetections=3\nFinished=1\n",
        "[ScheduledScan]\nEnded=1765238400\nScanned=10\nFinished=1\n",
        "[ScheduledScan]\nEnded=1765238400\nScanned=10\nDetections=3\n",
        "[ScheduledScan]\nEnded=-5\nScanned=10\nDetections=3\nFinished=1\n",
        "[ScheduledScan]\nEnded=+5\nScanned=10\nDetections=3\nFinished=1\n",
        "[ScheduledScan]\nEnded=1765238400.5\nScanned=10\nDetections=3\nFinished=1\n",
        "[ScheduledScan]\nEnded=253402300800\nScanned=10\nDetections=3\nFinished=1\n",
        "[ScheduledScan]\nEnded=99999999999999999999999\nScanned=10\nDetections=3\nFinished=1\n",
        "[ScheduledScan]\nEnded=1765238400\nScanned=18446744073709551616\nDetections=3\nFinished=1\n",
        "[ScheduledScan]\nEnded=1765238400\nScanned=ten\nDetections=3\nFinished=1\n",
        "[ScheduledScan]\nEnded=1765238400\nScanned=10\nDetections=0x3\nFinished=1\n",
        "[ScheduledScan]\nEnded=1765238400\nScanned=10\nDetections=3\nFinished=yes\n",
        "[ScheduledScan]\nEnded=1765238400\nScanned=10\nDetections=3\nFinished=\n",
        "[ScheduledScan]\nEnded=1765238400\nScanned=10\nDetections=11\nFinished=1\n",  // more found than looked at
        "[ScheduledScan]\nEnded=1765238400\nEnded=oops\nScanned=10\nDetections=3\nFinished=1\n",
        "[ScheduledScan]\nEnded=\xd9\xa1\xd9\xa2\nScanned=10\nDetections=3\nFinished=1\n",  // Arabic-Indic digits
    };
    for (const std::string& content : broken) {
        FakeFileStore files;
        files.Put(kPath, content);
        EXPECT_EQ(ReadScheduledScanResult(files, kPath), std::nullopt) << content;
    }
    FakeFileStore files;
    EXPECT_EQ(ReadScheduledScanResult(files, kPath), std::nullopt);  // missing
    files.Put(kPath, "[ScheduledScan]\n" + good);
    files.unreadable.insert(kPath);
    EXPECT_EQ(ReadScheduledScanResult(files, kPath), std::nullopt);
}

}  // namespace
}  // namespace quellstone::scan
