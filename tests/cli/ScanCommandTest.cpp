#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliRunner.h"
#include "cli/QuarantineCommand.h"
#include "cli/ScanCommand.h"
#include "cli/ScanOutput.h"
#include "cli/SettingsCommand.h"
#include "cli/StatsCommand.h"
#include "cli/UpdateCheckCommand.h"
#include "core/text/Utf8.h"
#include "support/FakeFileOperations.h"
#include "support/MemorySettingsBackend.h"
#include "support/TempDir.h"

namespace quellstone::cli {
namespace {

using quellstone::testing::WriteFile;
using ::testing::HasSubstr;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Reads one JSON string value starting at the opening quote, undoing the
// escapes (\udcXX back to the byte XX), as a reader with the surrogate-escape
// rule would.
std::string JsonStringAt(const std::string& line, std::size_t quote) {
    std::string out;
    for (std::size_t i = quote + 1; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] != '\\') {
            out += line[i];
            continue;
        }
        const char kind = line[++i];
        if (kind == 'u') {
            const auto value = static_cast<char32_t>(std::stoul(line.substr(i + 1, 4), nullptr, 16));
            i += 4;
            if (value >= 0xDC80 && value <= 0xDCFF) {
                out += static_cast<char>(value & 0xFF);
            } else {
                text::AppendUtf8(out, value);
            }
        } else {
            out += kind == 'n' ? '\n' : kind == 't' ? '\t' : kind == 'r' ? '\r' : kind;
        }
    }
    return out;
}

std::string JsonField(const std::string& line, const std::string& field) {
    return JsonStringAt(line, line.find('"', line.find("\"" + field + "\":") + field.size() + 3));
}

class ScanCommandTest : public quellstone::testing::CliScanTest {};

TEST_F(ScanCommandTest, ReportsDetectionsAndExitsOneOrZero) {
    auto clean = Run({"scan", "--db", db, tree});
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_THAT(clean.out, HasSubstr("Scanned entries: 0\nDetections: 0\n"));

    WriteFile(tree + "/quellstone-test.exe");
    WriteFile(tree + "/harmless.txt");
    auto found = Run({"scan", "--db=" + db, tree + "/"});
    EXPECT_EQ(found.status, 1) << found.err;
    EXPECT_EQ(Lines(found.out)[0], tree + "/quellstone-test.exe: TEST.FILE.QUELLSTONE FOUND");
    EXPECT_THAT(found.out, HasSubstr("Scanned entries: 2\nDetections: 1\n"));

    // A file named on the command line is looked up by its own name.
    auto single = Run({"scan", "--db", db, tree + "/quellstone-test.exe", tree + "/harmless.txt"});
    EXPECT_EQ(single.status, 1);
    EXPECT_THAT(single.out, HasSubstr("Scanned entries: 2\nDetections: 1\n"));
}

TEST_F(ScanCommandTest, OddBytesAreEscapedInTextAndRoundTripInJson) {
    // A database key cannot hold a line break, so the odd bytes sit in the folders' names.
    const std::vector<std::string> folders = {"odd\xff\x01", "new\nline", "back\\slash",
                                              "za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87"};
    for (const std::string& folder : folders) {
        ::mkdir((tree + "/" + folder).c_str(), 0755);
        WriteFile(tree + "/" + folder + "/QUELLSTONE-TEST.EXE");
    }

    auto text = Run({"scan", "--db", db, tree});
    EXPECT_EQ(text.status, 1);
    EXPECT_THAT(text.out, HasSubstr(tree + "/odd\\xff\\x01/QUELLSTONE-TEST.EXE: TEST.FILE.QUELLSTONE FOUND\n"));
    EXPECT_THAT(text.out, HasSubstr(tree + "/new\\x0aline/QUELLSTONE-TEST.EXE: TEST.FILE.QUELLSTONE FOUND\n"));
    EXPECT_THAT(text.out, HasSubstr(tree + "/back\\\\slash/QUELLSTONE-TEST.EXE: TEST.FILE.QUELLSTONE FOUND\n"));
    EXPECT_THAT(text.out, HasSubstr(tree + "/" + folders[3] + "/QUELLSTONE-TEST.EXE: TEST.FILE.QUELLSTONE FOUND\n"));

    auto json = Run({"scan", "--json", "--db", db, tree});
    EXPECT_EQ(json.status, 1);
    const std::vector<std::string> lines = Lines(json.out);
    ASSERT_EQ(lines.size(), 5u);
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(text::IsValidUtf8(lines[i]));
        EXPECT_EQ(JsonField(lines[i], "detection"), "TEST.FILE.QUELLSTONE");
        paths.push_back(JsonField(lines[i], "path"));
    }
    for (const std::string& folder : folders) {
        EXPECT_THAT(paths, ::testing::Contains(tree + "/" + folder + "/QUELLSTONE-TEST.EXE"));
    }
    EXPECT_THAT(lines[4],
                ::testing::StartsWith(
                    "{\"summary\": {\"scanned\": 8, \"detections\": 4, \"unreadable_folders\": 0, \"seconds\": "));
}

TEST_F(ScanCommandTest, ErrorsExitTwo) {
    const auto absent = Run({"scan", "--db", dir / "absent.db", "--json", dir / "absent"});
    EXPECT_EQ(absent.status, 2);  // nothing to scan: not even the database is read, but the output names it
    EXPECT_THAT(absent.out, ::testing::StartsWith("{\"missing\": \"" + dir / "absent\"}\n{\"summary\": "));
    // A missing PATH does not keep the others from being scanned; the run still fails.
    WriteFile(tree + "/quellstone-test.exe");
    const auto partly = Run({"scan", "--db", db, "--json", dir / "absent", tree});
    EXPECT_EQ(partly.status, 2);
    EXPECT_THAT(partly.err, HasSubstr("/absent: No such file or directory\n"));
    EXPECT_THAT(partly.out, HasSubstr("{\"missing\": \"" + dir / "absent\"}\n"));
    EXPECT_THAT(partly.out, HasSubstr("\"detection\": \"TEST.FILE.QUELLSTONE\""));
    EXPECT_EQ(Run({"scan", "--db", dir / "absent.db", tree}).status, 2);
    WriteFile(dir / "settings.ini", "[Settings]\ncurLang=Polish\n");
    auto wrongFile = Run({"scan", "--db", dir / "settings.ini", tree});
    EXPECT_EQ(wrongFile.status, 2);
    EXPECT_THAT(wrongFile.err, HasSubstr("no [Scanfiles] section"));
    EXPECT_EQ(Run({"scan", "--db", db}).status, 2);
    EXPECT_EQ(Run({"scan", "--frobnicate", tree}).status, 2);
    EXPECT_EQ(Run({"scan", "--db"}).status, 2);
    EXPECT_EQ(Run({"unknown-command"}).status, 2);
    EXPECT_EQ(Run({}).status, 2);
}

TEST_F(ScanCommandTest, HelpVersionAndTheShippedDatabase) {
    auto version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_THAT(version.out, ::testing::StartsWith("Quellstone 1.05\nDatabase in use: "));
    EXPECT_THAT(version.out, HasSubstr("/bdts.dll (shipped with the program)\n"));
    auto help = Run({"scan", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, HasSubstr("Usage: quellstone-cli scan"));
    // The summaries line up after the longest command's name.
    EXPECT_THAT(Run({"--help"}).out, HasSubstr("  update-check     Ask the update server"));
    EXPECT_THAT(Run({"--help"}).out, HasSubstr("  update-database  Download and install"));

    // Without --db the program folder's database is used, and it holds the test entry.
    WriteFile(tree + "/QUELLSTONE-TEST.EXE");
    auto shipped = Run({"scan", tree});
    EXPECT_EQ(shipped.status, 1) << shipped.err;
    EXPECT_THAT(shipped.out, HasSubstr("QUELLSTONE-TEST.EXE: TEST.FILE.QUELLSTONE FOUND"));
}

TEST(RemovalReasons, EveryNotRemovedSaysWhyAndFailsTheRun) {
    using ports::CopyResult;
    using ports::EntryKind;
    const std::string path = "/a/evil.exe";
    struct Case {
        std::optional<EntryKind> kind;  // what is at the path; nothing: gone since the scan
        std::optional<CopyResult> copy;
        const char* quarantine;
        std::string reason;  // empty: no failure
    };
    const std::vector<Case> cases = {
        {EntryKind::Folder, {}, "1", "a folder"},
        {EntryKind::Unknown, {}, "1", "permission denied"},
        {EntryKind::Other, {}, "1", "not a regular file"},
        {EntryKind::RegularFile, CopyResult::NoSpace, "1", "no space for the copy"},
        {EntryKind::RegularFile, CopyResult::Failed, "1", "copy into quarantine failed"},
        {EntryKind::RegularFile, CopyResult::SourceChanged, "1", "changed since the scan"},
        {EntryKind::RegularFile, {}, "0", "permission denied"},  // no copy asked for, and the delete refused
        {std::nullopt, {}, "1", ""},
    };
    for (const Case& c : cases) {
        testing::FakeFileStore folders;  // the quarantine folder is made here
        testing::FakeFileOperations files(folders);
        if (c.kind == EntryKind::RegularFile) files.files[path] = "x";
        if (c.kind && c.kind != EntryKind::RegularFile) files.others[path] = *c.kind;
        files.copyFailure = c.copy;
        files.undeletable.insert(path);
        testing::MemorySettingsBackend backend;
        settings::SettingsStore store(backend);
        store.Write("Settings", "Quarintine", c.quarantine);
        quarantine::Remover remover(files, folders, store, {"/prog", "/data", "/usr", "/opt/", ""});
        const quarantine::Removal removal = remover.Remove(path);
        std::ostringstream text, json, err;
        ScanOutput textOutput(text, err, ScanOutput::Format::Text),
            jsonOutput(json, err, ScanOutput::Format::JsonLines);
        textOutput.AddRemoval(path, removal);
        jsonOutput.AddRemoval(path, removal);
        const bool failed = !c.reason.empty();
        EXPECT_EQ(text.str(), path + (failed ? ": NOT REMOVED (" + c.reason + ")\n" : ": ALREADY GONE\n"));
        EXPECT_THAT(json.str(), ::testing::EndsWith(failed ? ", \"reason\": \"" + c.reason + "\"}\n"
                                                           : ", \"already_gone\": true}\n"));
        EXPECT_EQ(textOutput.RemovalsFailed(), failed ? 1u : 0u) << c.reason;
    }
    // A link goes as a link, and its line says where it pointed.
    std::ostringstream text, err;
    ScanOutput(text, err, ScanOutput::Format::Text)
        .AddRemoval(path, {quarantine::RemovalOutcome::Removed, "evil.exe.arc", {}, "/usr/bin/x"});
    EXPECT_EQ(text.str(), path + ": REMOVED (symbolic link to /usr/bin/x) (kept in quarantine as evil.exe.arc)\n");
}

// The command base, in process: a command that keeps what it was given.
class RecordingCommand final : public Command {
public:
    explicit RecordingCommand(CommandDefinition definition) : Command(std::move(definition)) {}
    std::optional<ParsedArguments> given;

protected:
    int Execute(const ParsedArguments& args, CommandIo&) override {
        given = args;
        return kExitFound;
    }
};

RecordingCommand PlainCommand() {
    return RecordingCommand({.name = "plain",
                             .options = {{"db", "FILE", "Use FILE"}, {"json", "", "Write JSON"}},
                             .arguments = {{"FIRST"}, {"REST", Argument::Count::AnyNumber}}});
}

RecordingCommand ActionCommand() {
    using Count = Argument::Count;
    return RecordingCommand({.name = "acts",
                             .options = {{"json", "", "Write JSON"}},
                             .actions = {{"get", {}, {{"NAME"}}, "Prints NAME"},
                                         {"put", {"json"}, {{"NAME"}, {"VALUE", Count::Optional}}, "Stores VALUE"}}});
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome RunCommand(Command& command, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    CommandIo io{out, err, "", {}};
    const int status = command.Run(args, io);
    return {status, out.str(), err.str()};
}

TEST(CommandBase, OptionsGoAnywhereAndDoubleDashEndsThem) {
    RecordingCommand command = PlainCommand();
    const Outcome ran = RunCommand(command, {"a", "--db", "x.db", "-", "--json", "--db=y.db", "--", "--json", "-h"});
    EXPECT_EQ(ran.status, kExitFound);
    ASSERT_TRUE(command.given);
    EXPECT_EQ(command.given->positional, (std::vector<std::string>{"a", "-", "--json", "-h"}));
    EXPECT_EQ(command.given->options.at("db"), (std::vector<std::string>{"x.db", "y.db"}));
    EXPECT_EQ(command.given->Value("db"), "y.db");
    EXPECT_TRUE(command.given->Has("json"));

    // getopt_long keeps its state between calls: each parse starts afresh,
    // whatever the one before ended on.
    EXPECT_EQ(RunCommand(command, {"a", "-x"}).status, kExitError);
    command.given.reset();
    EXPECT_EQ(RunCommand(command, {"b", "--db", "c"}).status, kExitFound);
    ASSERT_TRUE(command.given);
    EXPECT_EQ(command.given->positional, std::vector<std::string>{"b"});
    EXPECT_EQ(command.given->Value("db"), "c");
    EXPECT_FALSE(command.given->Has("json"));
}

TEST(CommandBase, UsageErrorsNameTheProblemAndRunNothing) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> plainCases = {
        {{"--frobnicate", "a"}, "quellstone-cli plain: unknown option --frobnicate\n"},
        {{"a", "-x"}, "quellstone-cli plain: unknown option -x\n"},
        {{"a", "--db"}, "quellstone-cli plain: --db needs a FILE\n"},
        {{"--json=yes", "a"}, "quellstone-cli plain: --json takes no value\n"},
        {{"a", "--js"}, "quellstone-cli plain: unknown option --js\n"},  // no shorthand for a long name
        {{}, "quellstone-cli plain: missing FIRST\n"},
    };
    const std::vector<std::pair<std::vector<std::string>, std::string>> actionCases = {
        {{}, "quellstone-cli acts: expected get NAME or put [--json] NAME [VALUE]\n"},
        {{"drop", "a"}, "quellstone-cli acts: expected get NAME or put [--json] NAME [VALUE]\n"},
        {{"get"}, "quellstone-cli acts: missing NAME\n"},
        {{"get", "a", "b\n"}, "quellstone-cli acts: unexpected argument b\\x0a\n"},
        {{"put", "a", "b", "c"}, "quellstone-cli acts: unexpected argument c\n"},
        {{"get", "--json", "a"}, "quellstone-cli acts: --json does not go with get\n"},
    };
    for (auto [make, cases] : {std::pair(&PlainCommand, plainCases), std::pair(&ActionCommand, actionCases)}) {
        for (const auto& [args, message] : cases) {
            RecordingCommand command = make();
            const Outcome ran = RunCommand(command, args);
            EXPECT_EQ(ran.status, kExitError) << message;
            EXPECT_EQ(ran.err, message);
            EXPECT_EQ(ran.out, "");
            EXPECT_FALSE(command.given) << message;
        }
    }
    // The arguments of an action are names and values: one that begins with
    // "-" but names no option is an argument ("settings set S N -1").
    RecordingCommand dashes = ActionCommand();
    EXPECT_EQ(RunCommand(dashes, {"put", "-x.exe.arc", "-1"}).status, kExitFound);
    ASSERT_TRUE(dashes.given);
    EXPECT_EQ(dashes.given->positional, (std::vector<std::string>{"-x.exe.arc", "-1"}));
    EXPECT_FALSE(dashes.given->Has("json"));

    RecordingCommand command = ActionCommand();
    EXPECT_EQ(RunCommand(command, {"put", "a", "--json"}).status, kExitFound);
    ASSERT_TRUE(command.given);
    EXPECT_EQ(command.given->action, "put");
    EXPECT_EQ(command.given->positional, std::vector<std::string>{"a"});
}

TEST(CommandBase, HelpOfEachCommandListsItsOptions) {
    const std::vector<std::pair<std::unique_ptr<Command>, std::vector<std::string>>> commands = [] {
        std::vector<std::pair<std::unique_ptr<Command>, std::vector<std::string>>> list;
        list.emplace_back(std::make_unique<ScanCommand>(),
                          std::vector<std::string>{"--db FILE", "--json", "--remove", "--hidden", "--exclude PATH",
                                                   "--quick", "--whole-computer"});
        list.emplace_back(std::make_unique<QuarantineCommand>(), std::vector<std::string>{"--json"});
        list.emplace_back(std::make_unique<SettingsCommand>(), std::vector<std::string>{});
        list.emplace_back(std::make_unique<StatsCommand>(), std::vector<std::string>{"--reset"});
        list.emplace_back(std::make_unique<UpdateCheckCommand>(), std::vector<std::string>{"--server URL"});
        return list;
    }();
    for (const auto& [command, options] : commands) {
        // --help wins over anything else on the line, a mistake included.
        const Outcome help = RunCommand(*command, {"--frobnicate", "--help"});
        EXPECT_EQ(help.status, kExitOk);
        EXPECT_EQ(help.err, "");
        EXPECT_THAT(help.out, ::testing::StartsWith("Usage: quellstone-cli " + std::string(command->Name()) + " "));
        EXPECT_EQ(RunCommand(*command, {"-h"}).out, help.out);
        for (const std::string& option : options) EXPECT_THAT(help.out, HasSubstr("\n      " + option + "  "));
        EXPECT_THAT(help.out, HasSubstr("\n  -h, --help  "));
        for (const std::string& line : Lines(help.out)) EXPECT_LE(line.size(), 79u) << line;
    }
}

// A detected process is left running unless --stop-processes is given; then
// it is asked to end and the file that named it goes into the quarantine.
TEST_F(ScanCommandTest, RemovalEndsADetectedProcessOnlyWhenAskedAndQuarantinesItsFile) {
    const std::string name = "qs-miner-" + std::to_string(::getpid());  // no other process runs such a file
    const std::string program = dir / name;
    std::filesystem::copy_file("/bin/sleep", program);
    WriteFile(db, "[Scanfiles]\n" + name + "=Miner.Test\n");
    int ready[2];
    ASSERT_EQ(::pipe2(ready, O_CLOEXEC), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl(program.c_str(), name.c_str(), "600", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 0);  // the write end closed: the child runs the program
    ::close(ready[0]);

    const auto left = Run({"scan", "--processes", "--remove", "--db", db});
    EXPECT_EQ(left.status, 2);
    EXPECT_THAT(left.out, HasSubstr("process " + std::to_string(child) + " " + program +
                                    ": NOT REMOVED (a running process: --stop-processes ends it)"));
    EXPECT_EQ(::kill(child, 0), 0);

    const auto ended = Run({"scan", "--processes", "--remove", "--stop-processes", "--db", db});
    EXPECT_THAT(ended.out, HasSubstr(": REMOVED (kept in quarantine as " + name + ".arc)"));
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_FALSE(std::filesystem::exists(program));
}

}  // namespace
}  // namespace quellstone::cli
