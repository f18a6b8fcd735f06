#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>

#include "cli/ScanOutput.h"
#include "platform/SystemdJournal.h"
#include "support/FakeJournal.h"

namespace quellstone::cli {
namespace {

// The entries a scan sends, in either output format: the MESSAGE is the
// escaped text line, the QUELLSTONE_ values are the names' own bytes.
TEST(ScanJournal, SendsEachKindOfDetectionAndTheEndWithItsFields) {
    const std::string odd = "/e\nx %s";  // a newline and a format directive
    const std::string head =
        "MESSAGE_ID=0fcf22c0f76e4514b560f1f716444807|PRIORITY=4|SYSLOG_IDENTIFIER=quellstone-cli|"
        "QUELLSTONE_DETECTION=T|QUELLSTONE_KIND=";
    const std::vector<std::pair<std::function<void(ScanOutput&)>, std::string>> cases = {
        {[&](ScanOutput& output) { output.AddDetection("T", odd); },
         "MESSAGE=/e\\x0ax %s: T FOUND|" + head + "file|QUELLSTONE_PATH=" + odd + "|"},
        {[&](ScanOutput& output) { output.ProcessFound("T", {.pid = 47, .name = "ev", .executable = odd}, true); },
         "MESSAGE=process 47 /e\\x0ax %s: T FOUND|" + head + "process|QUELLSTONE_PATH=" + odd +
             "|QUELLSTONE_PID=47|QUELLSTONE_PROCESS_NAME=ev|"},
        {[&](ScanOutput& output) { output.AutostartFound("T", {.file = "/etc/cron.d/x", .line = 3, .program = odd}); },
         "MESSAGE=autostart /etc/cron.d/x:3 -> /e\\x0ax %s: T FOUND|" + head + "autostart|QUELLSTONE_PATH=" + odd +
             "|QUELLSTONE_FILE=/etc/cron.d/x|QUELLSTONE_LINE=3|"},
        {[&](ScanOutput& output) {
             output.LookedUp("a");
             output.AddDetection("T", "/a");
             output.AddRemoval("/a", {quarantine::RemovalOutcome::Removed, std::nullopt, {}});
             output.WriteSummary(1.5);
             output.JournalSummary(1);
         },
         "MESSAGE=Scan ended: 1 entries scanned, 1 detections, exit status 1|"
         "MESSAGE_ID=c3ce1da19b1a48eca3b063c8aaed5854|PRIORITY=5|SYSLOG_IDENTIFIER=quellstone-cli|"
         "QUELLSTONE_ENTRIES=1|QUELLSTONE_DETECTIONS=1|QUELLSTONE_IGNORED=0|QUELLSTONE_UNREADABLE_FOLDERS=0|"
         "QUELLSTONE_PATHS_NOT_SCANNED=0|QUELLSTONE_EXIT_STATUS=1|QUELLSTONE_REMOVED=1|"
         "QUELLSTONE_NOT_REMOVED=0|QUELLSTONE_SECONDS=1.500|"},
    };
    for (const auto& [report, expected] : cases) {
        for (const bool refused : {false, true}) {
            std::ostringstream out, err;
            testing::FakeJournal journal;
            journal.refuses = refused;
            ScanOutput output(out, err, refused ? ScanOutput::Format::JsonLines : ScanOutput::Format::Text);
            output.SendToJournal(journal);
            report(output);
            std::string sent;
            for (const auto& [name, value] : journal.entries.empty() ? ports::JournalFields{} : journal.entries.back())
                sent += name + "=" + value + "|";
            EXPECT_EQ(sent, refused ? "" : expected);
            // A journal that takes nothing is said once (the last case sends two entries).
            EXPECT_EQ(err.str(), refused ? "quellstone-cli scan: the systemd journal did not take an entry (is "
                                           "systemd-journald running?); the results are written here only\n"
                                         : "");
        }
    }
}

TEST(JournalStream, NamesStandardOutputOrErrorOnlyWhenWellFormed) {
    using platform::StreamIdentity;
    const std::array both = {std::optional<StreamIdentity>({8, 306630}), std::optional<StreamIdentity>({8, 306631})};
    const std::array onlyErr = {std::optional<StreamIdentity>(), both[1]};  // standard output not looked at
    for (const char* value : {"8:306630", "8:306631"}) EXPECT_TRUE(platform::NamesJournalStream(value, both)) << value;
    for (const char* value : {"8:306632", "9:306630", "", "8", "8:", ":306630", "8:306630x", " 8:306630", "+8:306630",
                              "-8:306630", "8:306630:1", "8:99999999999999999999999"}) {
        EXPECT_FALSE(platform::NamesJournalStream(value, both)) << value;
    }
    EXPECT_FALSE(platform::NamesJournalStream("8:306630", onlyErr));
    EXPECT_TRUE(platform::NamesJournalStream("8:306631", onlyErr));
}

// An entry sent through libsystemd, read back with journalctl.
TEST(SystemdJournal, KeepsAnEntryWithItsFieldsAsSent) {
    if (!std::filesystem::exists("/run/systemd/journal/socket")) GTEST_SKIP() << "no systemd journal runs here";
    // journalctl --sync makes the entry readable before the query; only root may ask for it.
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to have journald write out its entries (journalctl --sync)";
    std::random_device random;
    char id[33];
    std::snprintf(id, sizeof id, "%08x%08x%08x%08x", random(), random(), random(), random());
    ASSERT_TRUE(
        platform::SystemdJournal().Send({{"MESSAGE", "%s"}, {"QUELLSTONE_TEST_ID", id}, {"QUELLSTONE_X", "a b"}}));
    ASSERT_EQ(std::system("journalctl --sync"), 0);
    FILE* pipe = ::popen((std::string("journalctl -o json QUELLSTONE_TEST_ID=") + id).c_str(), "r");
    ASSERT_TRUE(pipe);
    std::string json;
    for (std::array<char, 4096> buffer{}; std::fgets(buffer.data(), buffer.size(), pipe);) json += buffer.data();
    ::pclose(pipe);
    EXPECT_NE(json.find("\"MESSAGE\":\"%s\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"QUELLSTONE_X\":\"a b\""), std::string::npos) << json;
}

}  // namespace
}  // namespace quellstone::cli
